#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kKorean = 949;

// "태권도" in code page 949 and in UTF-8.
const std::string kTaekwondo949 = "\xC5\xC2\xB1\xC7\xB5\xB5";
const std::string kTaekwondoUtf8 = "\xED\x83\x9C\xEA\xB6\x8C\xEB\x8F\x84";

TEST(CodePage, HangulRoundTripsThroughKoreanCodePage) {
    EXPECT_EQ(MultiByteToWide(kTaekwondo949, kKorean), u"태권도");
    EXPECT_EQ(WideToMultiByte(u"태권도", kKorean), kTaekwondo949);
    EXPECT_EQ(ConvertCodePage(kTaekwondo949, kKorean, CP_UTF8), kTaekwondoUtf8);
    EXPECT_EQ(ConvertCodePage(kTaekwondoUtf8, CP_UTF8, kKorean), kTaekwondo949);
    EXPECT_EQ(MultiByteToWide("KOR " + kTaekwondo949 + " 1", kKorean), u"KOR 태권도 1");
}

TEST(CodePage, AsciiPassesThroughEveryCodePage) {
    const std::string ascii = "Court 1: Chung 12 - Hong 7 ~!@#";
    for (UINT codePage : {CP_ACP, CP_UTF8, kKorean}) {
        SCOPED_TRACE(codePage);
        EXPECT_EQ(MultiByteToWide(ascii, codePage), u"Court 1: Chung 12 - Hong 7 ~!@#");
        EXPECT_EQ(WideToMultiByte(u"Court 1: Chung 12 - Hong 7 ~!@#", codePage), ascii);
    }
    EXPECT_EQ(MultiByteToWide("", kKorean), u"");
    EXPECT_EQ(WideToMultiByte(u"", kKorean), "");
}

TEST(CodePage, SystemCodePageIsUtf8HereAndNamedDirectly) {
    // The tests run in a UTF-8 or C locale; both count as UTF-8.
    EXPECT_EQ(MultiByteToWide(kTaekwondoUtf8, CP_ACP), u"태권도");
    EXPECT_EQ(WideToMultiByte(u"태권도", CP_ACP), kTaekwondoUtf8);
}

TEST(CodePage, Utf8AndUtf16AgreeOnCharactersOutsideTheBasicPlane) {
    const std::u16string wide = u"a\u00E9\u20AC\U0001F600z"; // é, €, and an emoji as a surrogate pair
    const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    ASSERT_EQ(wide.size(), 6u);
    EXPECT_EQ(WideToMultiByte(wide, CP_UTF8), utf8);
    EXPECT_EQ(MultiByteToWide(utf8, CP_UTF8), wide);
}

struct BadBytes {
    const char* name;
    std::string bytes;
    UINT codePage;
    std::u16string wide;
};

TEST(CodePage, UndecodableBytesBecomeReplacementCharacters) {
    const BadBytes cases[] = {
        {"stray continuation", "a\x80z", CP_UTF8, u"a\uFFFDz"},
        {"invalid lead", "a\xFFz", CP_UTF8, u"a\uFFFDz"},
        {"overlong slash", "\xC0\xAF", CP_UTF8, u"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", CP_UTF8, u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", CP_UTF8, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"sequence cut by ASCII", "\xE2\x82z", CP_UTF8, u"\uFFFDz"},
        {"sequence cut at end", "ab\xF0\x9F\x98", CP_UTF8, u"ab\uFFFD"},
        {"Korean lead byte at end", "ab\xC5", kKorean, u"ab\uFFFD"},
        {"Korean invalid byte", "a\xFFz", kKorean, u"a\uFFFDz"},
        {"Korean lead with bad trail",
         "\xC5\x0A"
         "b",
         kKorean, u"\uFFFD\nb"},
    };
    for (const BadBytes& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MultiByteToWide(c.bytes, c.codePage), c.wide);
    }
}

TEST(CodePage, UnencodableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(WideToMultiByte(u"a\U0001F600b\u0E01c", kKorean), "a?b?c"); // emoji and a Thai letter
    EXPECT_EQ(WideToMultiByte(u"x\xD800y", CP_UTF8), "x?y");              // lone high surrogate
    EXPECT_EQ(WideToMultiByte(u"x\xDC00", CP_UTF8), "x?");                // lone low surrogate at the end
    EXPECT_EQ(WideToMultiByte(u"\xD800\xD800\xDC00", kKorean), "??");     // a pair after a lone surrogate
    EXPECT_EQ(ConvertCodePage("a\xFF" + kTaekwondoUtf8, CP_UTF8, kKorean), "a?" + kTaekwondo949);
}

TEST(CodePage, SameCodePageKeepsTheBytes) {
    const std::string damaged = "a\xFF\x80z";
    EXPECT_EQ(ConvertCodePage(damaged, kKorean, kKorean), damaged);
}

TEST(CodePage, UnknownCodePageConvertsToNothing) {
    EXPECT_EQ(MultiByteToWide("abc", 4242), u"");
    EXPECT_EQ(WideToMultiByte(u"abc", 4242), "");
}

TEST(CodePage, LongTextWithDamageConvertsWhole) {
    std::string bytes;
    std::u16string expected;
    for (int i = 0; i < 2000; ++i) {
        bytes += kTaekwondo949 + "\xFF";
        expected += u"태권도\uFFFD";
    }
    EXPECT_EQ(MultiByteToWide(bytes, kKorean), expected);
}

} // namespace
