#include "app/AppGlobals.h"
#include "app/HttpSinks.h"
#include "app/MatchData.h"
#include "app/MatchTitle.h"
#include "app/PngResource.h"
#include "app/TextConvert.h"
#include "app/TextLogs.h"
#include "app/VariantText.h"
#include "resources/ImageIds.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <thread>

namespace {

std::string Utf8(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

// ---------------------------------------------------------------------------------------------------------
// Database values as text

struct VariantCase {
    const char* name;
    DbVariant value;
    std::u16string text;
};

TEST(VariantToStringTest, EveryTypeGivesItsText) {
    const VariantCase cases[] = {
        {"null", DbVariant(), u""},
        {"int32", DbVariant::int32(-7), u"-7"},
        {"int32 lowest", DbVariant::int32(std::numeric_limits<std::int32_t>::min()), u"-2147483648"},
        // Kept whole: cutting to the low 32 bits would print 705032704 and -705032704.
        {"int64", DbVariant::int64(5000000000), u"5000000000"},
        {"int64 negative", DbVariant::int64(-5000000000), u"-5000000000"},
        {"real half", DbVariant::real(0.5), u"0.5"},
        {"real whole", DbVariant::real(3.0), u"3"},
        {"real negative", DbVariant::real(-2.25), u"-2.25"},
        {"real large", DbVariant::real(1e20), u"1e+20"},
        {"real small", DbVariant::real(1e-5), u"1e-05"},
        // "%g" would round these to 1.23457e+06 and -12345.7.
        {"real beyond six digits", DbVariant::real(1234567.0), u"1234567"},
        {"real keeps its scale", DbVariant::real(-12345.67), u"-12345.67"},
        {"real money", DbVariant::real(1000000.05), u"1000000.05"},
        {"text", DbVariant::text("\xED\x83\x9C\xEA\xB6\x8C\xEB\x8F\x84 A"), u"\uD0DC\uAD8C\uB3C4 A"},
        {"text empty", DbVariant::text(""), u""},
        {"true", DbVariant::boolean(true), u"TRUE"},
        {"false", DbVariant::boolean(false), u"FALSE"},
        {"date", DbVariant::dateTime({2024, 3, 7, 9, 5, 1}), u"2024-03-07/09:05:01"},
        {"date end of year", DbVariant::dateTime({1999, 12, 31, 23, 59, 59}), u"1999-12-31/23:59:59"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8(VariantToString(c.value)), Utf8(c.text)) << c.name;
}

// ---------------------------------------------------------------------------------------------------------
// Code pages

// "태권도 똠 -58kg": 똠 is one of the code page 949 extensions beyond EUC-KR, and its second byte is the
// ASCII letter 'c', so a converter that split characters by bytes would show it.
const std::u16string kHangul = u"\uD0DC\uAD8C\uB3C4 \uB620 -58kg";
const std::string kHangul949 = "\xC5\xC2\xB1\xC7\xB5\xB5 \x8C\x63 -58kg";
const std::string kHangulUtf8 = "\xED\x83\x9C\xEA\xB6\x8C\xEB\x8F\x84 \xEB\x98\xA0 -58kg";

TEST(TextConvertTest, HangulRoundTripsThroughCodePage949) {
    EXPECT_EQ(WideToCp949(kHangul), kHangul949);
    EXPECT_EQ(Utf8(Cp949ToWide(kHangul949)), Utf8(kHangul));
    EXPECT_EQ(Utf8(Cp949ToWide(WideToCp949(kHangul))), Utf8(kHangul));
}

TEST(TextConvertTest, AnsiAndUtf8RoundTrip) {
    EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi(kHangulUtf8)), kHangulUtf8);
    EXPECT_EQ(AnsiToUtf8(""), "");
    EXPECT_EQ(Utf8ToAnsi(""), "");
}

TEST(TextConvertTest, DamagedTextStillConverts) {
    // A lead byte cut off at the end of the text, and a character code page 949 cannot hold.
    EXPECT_EQ(Utf8(Cp949ToWide("AB\xC5")), "AB\xEF\xBF\xBD");
    EXPECT_EQ(WideToCp949(u"A\U0001F600B"), "A?B");
    EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi("ok\xFF")), "ok\xEF\xBF\xBD");
}

TEST(TextConvertTest, FieldTextStopsAtTheZeroOrTheFieldEnd) {
    char field[4] = {'a', '\0', 'b', 'c'};
    EXPECT_EQ(FieldText(field), "a");
    const char full[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(FieldText(full), "wxyz");
}

// ---------------------------------------------------------------------------------------------------------
// Match title

struct TitleCase {
    const char* name;
    int competitionType;
    int supplier;
    int connected;
    const char* gender;
    const char* phase;
    const char* weightClass;
    const char* weight;
    std::u16string title;
    std::u16string matchWeight;
};

void Put(char (&field)[260], const std::string& text) {
    ASSERT_LT(text.size(), sizeof field);
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), text.size());
}

std::unique_ptr<MatchData> RecordFor(const TitleCase& c) {
    auto md = std::make_unique<MatchData>();
    md->nCompetitionType = c.competitionType;
    md->nOvrSupplier = c.supplier;
    md->bOvrConnected = c.connected;
    Put(md->szGender, c.gender);
    Put(md->szPhase, c.phase);
    Put(md->szWeightClass, c.weightClass);
    Put(md->szWeight, c.weight);
    return md;
}

TEST(TextLogTest, AppendsWholeUtf16LeCharactersOnly) {
    TempHome home;
    const QString path = QString::fromStdString(home.file("log.txt"));
    EXPECT_FALSE(AppendUtf16LeLog(path, u"A", true)) << "no file: the log is off";
    EXPECT_FALSE(QFile::exists(path));

    home.write("log.txt", std::string("B\0", 2));
    EXPECT_TRUE(AppendUtf16LeLog(path, u"\uAE40\r\n", true));
    EXPECT_EQ(home.read("log.txt"), std::string("B\0\x40\xAE\r\0\n\0", 8));

    // Half a character left by a failed write is cut off, so what follows is not shifted.
    home.write("log.txt", std::string("B\0C", 3));
    EXPECT_TRUE(AppendUtf16LeLog(path, u"D", true));
    EXPECT_EQ(home.read("log.txt"), std::string("B\0D\0", 4));

    EXPECT_FALSE(AppendUtf16LeLog(QStringLiteral("/dev/full"), u"D", true)) << "a refused write is seen";
}

TEST(TextLogTest, OnlyAPlainNameMayComeFromAContestNumber) {
    for (const char* safe : {"117", "A-12", "", "x.y"})
        EXPECT_TRUE(IsSafeFileNamePart(safe)) << safe;
    for (const char* unsafe : {"..", "../etc", "a/b", "a\\b", "1..2", "a\tb"})
        EXPECT_FALSE(IsSafeFileNamePart(unsafe)) << unsafe;
}

TEST(MatchTitleTest, RulesGenderAndPhase) {
    const std::string longWeight(200, 'k');
    const std::u16string longMarked = u"k" + std::u16string(1, u'W') + std::u16string(199, u'k');
    const TitleCase cases[] = {
        // Plain matches: phase, class, gender text, weight.
        {"individual female", 0, 0, 0, "F", "Final", "-58kg", "58", u"Final -58kg W 58", u"58"},
        {"individual male", 0, 0, 0, "M", "Final", "-58kg", "58", u"Final -58kg M 58", u"58"},
        {"no gender", 0, 0, 0, "", "Final", "-58kg", "58", u"Final -58kg  58", u"58"},
        {"team mixed", 1, 0, 0, "x", "Final", "Team", "", u"Final Team Mixed ", u""},
        {"team mixed wins over F", 1, 0, 0, "Fx", "Final", "Team", "", u"Final Team Mixed ", u""},
        {"team female", 1, 0, 0, "F", "Final", "Team", "", u"Final Team Female ", u""},
        {"team male", 1, 0, 0, "M", "Final", "Team", "", u"Final Team Male ", u""},
        {"supplier 7 connected drops gender", 0, 7, 1, "F", "Final", "-58kg", "58", u"Final -58kg  58",
         u"58"},
        {"supplier 7 offline keeps gender", 0, 7, 0, "F", "Final", "-58kg", "58", u"Final -58kg W 58", u"58"},
        // Record texts are UTF-8; bytes that are not (a field never converted at its border) are not
        // guessed at but shown as replacement characters.
        {"Hangul class", 0, 0, 0, "F", "Final", "\xED\x83\x9C\xEA\xB6\x8C\xEB\x8F\x84", "58",
         u"Final \uD0DC\uAD8C\uB3C4 W 58", u"58"},
        {"damaged class", 0, 0, 0, "F", "Final", "A\xC5", "58", u"Final A\uFFFD W 58", u"58"},
        // Supplier 3 connected: the phase is a number of contestants; no gender.
        {"round of 16", 0, 3, 1, "F", "16", "-58kg", "58", u"Round of 16 -58kg 58", u"58"},
        {"final", 0, 3, 1, "F", "2", "-58kg", "58", u"Final -58kg 58", u"58"},
        {"semi-final", 0, 3, 1, "F", "4", "-58kg", "58", u"Semi-final -58kg 58", u"58"},
        {"quarter-final", 0, 3, 1, "F", "8", "-58kg", "58", u"Quater-final -58kg 58", u"58"},
        {"phase 0", 0, 3, 1, "F", "0", "-58kg", "58", u" -58kg 58", u"58"},
        {"phase not a number", 0, 3, 1, "F", "Final", "-58kg", "58", u" -58kg 58", u"58"},
        {"phase too large", 0, 3, 1, "F", "99999999999", "-58kg", "58", u" -58kg 58", u"58"},
        {"supplier 3 offline", 0, 3, 0, "F", "16", "-58kg", "58", u"16 -58kg W 58", u"58"},
        // Supplier 8 (WT) connected: no gender.
        {"WT individual", 0, 8, 1, "F", "Final", "-58kg", "58", u"Final -58kg 58", u"58"},
        {"WT type 2 empties the weight", 2, 8, 1, "F", "Final", "-58kg", "58", u"Final -58kg 58", u""},
        // Type 2: the gender letter goes into the weight.
        {"type 2 after the blank", 2, 0, 0, "F", "Final", "Cadet", "Under 58kg", u"Final Cadet Under W58kg",
         u"Under W58kg"},
        {"type 2 without blank", 2, 0, 0, "M", "Final", "Cadet", "58kg", u"Final Cadet 5M8kg", u"5M8kg"},
        {"type 2 without weight", 2, 0, 0, "F", "Final", "Cadet", "", u"", u""},
        {"type 2 without gender", 2, 0, 0, "", "Final", "Cadet", "58kg", u"Final Cadet 58kg", u"58kg"},
        {"type 2 before supplier 3", 2, 3, 1, "F", "16", "Cadet", "58kg", u"16 Cadet 58kg", u"58kg"},
        {"type 2 long weight", 2, 0, 0, "F", "Final", "Cadet", longWeight.c_str(),
         u"Final Cadet " + longMarked, longMarked},
    };
    for (const auto& c : cases) {
        const auto md = RecordFor(c);
        const MatchTitle got = ComposeMatchTitle(*md);
        EXPECT_EQ(Utf8(got.title), Utf8(c.title)) << c.name;
        EXPECT_EQ(Utf8(got.weight), Utf8(c.matchWeight)) << c.name;
    }
}

TEST(MatchTitleTest, BuildMatchTitleReplacesTheWeightOfThePreviousMatch) {
    ASSERT_EQ(CreateMatchData(), 1);
    Put(g_pMatchData->szPhase, "Final");
    Put(g_pMatchData->szWeightClass, "-58kg");
    Put(g_pMatchData->szGender, "F");
    Put(g_pMatchData->szWeight, "58");
    EXPECT_EQ(Utf8(BuildMatchTitle()), "Final -58kg W 58");
    EXPECT_EQ(Utf8(g_strMatchWeight), "58");

    g_pMatchData->nCompetitionType = 2;
    Put(g_pMatchData->szWeight, "");
    EXPECT_EQ(Utf8(BuildMatchTitle()), "");
    EXPECT_EQ(Utf8(g_strMatchWeight), "");
    FreeMatchData();
}

// ---------------------------------------------------------------------------------------------------------
// HTTP write sinks

class HttpSinkTest : public ::testing::Test {
protected:
    void SetUp() override { g_strHttpResp.reset(); }
    void TearDown() override { g_strHttpResp.reset(); }
};

TEST_F(HttpSinkTest, BodyAppendsToTheReplyText) {
    char first[] = "abc";
    char second[] = "wxyz";
    EXPECT_EQ(WtApiWriteBody(first, 1, 3, nullptr), 3u);
    EXPECT_EQ(WtApiWriteBody(second, 2, 2, nullptr), 4u);
    EXPECT_EQ(g_strHttpResp.take(), "abcwxyz");
    EXPECT_EQ(g_strHttpResp.take(), std::nullopt);

    // An empty body still leaves a reply text, empty.
    EXPECT_EQ(WtApiWriteBody(first, 1, 0, nullptr), 0u);
    EXPECT_EQ(g_strHttpResp.peek(), "");
}

TEST_F(HttpSinkTest, ClearIfPresentKeepsNoTextAsNoText) {
    g_strHttpResp.clearIfPresent();
    EXPECT_EQ(g_strHttpResp.peek(), std::nullopt);
    g_strHttpResp.assign("HTTP Response Code : 404");
    g_strHttpResp.clearIfPresent();
    EXPECT_EQ(g_strHttpResp.peek(), "");
}

TEST_F(HttpSinkTest, BodyFromTwoThreadsLosesNothing) {
    constexpr int kWrites = 2000;
    const auto writer = [] {
        char byte[] = "x";
        for (int i = 0; i < kWrites; ++i)
            WtApiWriteBody(byte, 1, 1, nullptr);
    };
    std::thread post(writer);
    writer();
    post.join();
    EXPECT_EQ(g_strHttpResp.take()->size(), 2u * kWrites);
}

TEST_F(HttpSinkTest, BodyRefusesASizeThatOverflows) {
    char byte[] = "x";
    EXPECT_EQ(WtApiWriteBody(byte, std::numeric_limits<std::size_t>::max(), 2, nullptr), 0u);
    EXPECT_EQ(g_strHttpResp.peek(), std::nullopt);
}

TEST(HttpStatusSinkTest, GrowsAndStaysZeroTerminated) {
    HttpReplyChunk chunk;
    char none[] = "";
    EXPECT_EQ(WtApiWriteStatus(none, 1, 0, &chunk), 0u);
    ASSERT_NE(chunk.data, nullptr);
    EXPECT_EQ(chunk.size, 0u);
    EXPECT_EQ(chunk.data[0], '\0');

    // Zero bytes inside the reply are kept; the length, not the terminator, says where it ends.
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        std::string piece = "{\"n\":" + std::to_string(i) + "}";
        piece.push_back('\0');
        expected += piece;
        EXPECT_EQ(WtApiWriteStatus(piece.data(), 1, piece.size(), &chunk), piece.size());
        ASSERT_EQ(chunk.size, expected.size());
        EXPECT_EQ(chunk.data[chunk.size], '\0');
    }
    EXPECT_EQ(chunk.text(), expected);

    HttpReplyChunk moved(std::move(chunk));
    EXPECT_EQ(moved.text(), expected);
    EXPECT_EQ(chunk.data, nullptr);
    EXPECT_EQ(chunk.size, 0u);
}

TEST(HttpStatusSinkTest, ReportsWhenTheBlockCannotGrow) {
    HttpReplyChunk chunk;
    char reply[] = "200 OK";
    ASSERT_EQ(WtApiWriteStatus(reply, 1, 6, &chunk), 6u);

    const std::size_t most = std::numeric_limits<std::size_t>::max();
    struct {
        const char* name;
        std::size_t size;
        std::size_t count;
    } const cases[] = {
        {"length plus terminator overflows", 1, most - 6},
        {"size times count overflows", most / 2, 3},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(WtApiWriteStatus(reply, c.size, c.count, &chunk), 0u) << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "not enough memory (realloc returned NULL)\n")
            << c.name;
        EXPECT_EQ(chunk.text(), "200 OK") << c.name;
    }
}

// ---------------------------------------------------------------------------------------------------------
// PNG resources

TEST(PngResourceTest, KnownIdGivesThePicture) {
    const auto image = LoadPngResource(IDB_PNG_PROBE);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), QSize(4, 3));
    EXPECT_EQ(image->pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(image->pixelColor(1, 2), QColor(0, 0, 255));
    EXPECT_EQ(image->pixelColor(3, 1).alpha(), 0);
}

TEST(PngResourceTest, MissingIdGivesNull) {
    EXPECT_EQ(LoadPngResource(0), nullptr);
    EXPECT_EQ(LoadPngResource(-1), nullptr);
    EXPECT_EQ(LoadPngResource(424242), nullptr);
}

TEST(PngResourceTest, MissingOrUndecodableFileGivesNull) {
    QFile probe(":/images/probe.png");
    ASSERT_TRUE(probe.open(QIODevice::ReadOnly));
    const QByteArray png = probe.readAll();

    TempHome home;
    home.write("garbage.png", "this is not a picture");
    home.write("truncated.png", png.left(png.size() / 2).toStdString());
    home.write("empty.png", "");
    for (const char* name : {"garbage.png", "truncated.png", "empty.png", "absent.png"})
        EXPECT_EQ(LoadPngFile(QString::fromStdString(home.file(name))), nullptr) << name;
    EXPECT_EQ(LoadPngFile(":/images/absent.png"), nullptr);
}

} // namespace
