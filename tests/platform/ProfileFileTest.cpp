#include "platform/ProfileFile.h"

#include "platform/CodePage.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <climits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::u16string wide(const std::string& utf8) {
    return MultiByteToWide(utf8, CP_UTF8);
}

std::string utf16le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

class ProfileFile : public ::testing::Test {
protected:
    std::string path(const std::string& name = "ini/Rule.ini") const { return home.file(name); }
    std::u16string widePath(const std::string& name = "ini/Rule.ini") const { return wide(path(name)); }
    // Whether the file is on the disk once the writes given so far are.
    bool exists(const std::string& name = "ini/Rule.ini") const {
        EXPECT_TRUE(platform::flushProfileWrites(20000));
        return QFile::exists(QString::fromStdString(path(name)));
    }

    // Reads the way the program does: a buffer of 260 wide characters.
    std::u16string read(const char16_t* section, const char16_t* key, const char16_t* def = u"<default>",
                        const std::string& name = "ini/Rule.ini") const {
        char16_t buffer[260];
        const DWORD n = GetPrivateProfileStringW(section, key, def, buffer, 260, widePath(name).c_str());
        EXPECT_EQ(n, std::char_traits<char16_t>::length(buffer));
        return std::u16string(buffer, n);
    }

    TempHome home;
};

struct ReadCase {
    const char* name;
    std::string file;
    const char16_t* section;
    const char16_t* key;
    std::u16string expected;
};

TEST_F(ProfileFile, ReadsValuesByTheSettingsFileRules) {
    const ReadCase cases[] = {
        {"plain", "[Rule]\r\nRound=3\r\n", u"Rule", u"Round", u"3"},
        {"names ignore case", "[RULE]\r\nuse_punch=1\r\n", u"Rule", u"Use_PUnch", u"1"},
        {"names and value trimmed", "  [ Rule ]  \r\n\t Round \t=  3 \t\r\n", u"Rule", u"Round", u"3"},
        {"caller's names trimmed", "[Rule]\r\nRound=3\r\n", u" Rule ", u" Round ", u"3"},
        {"double quotes removed", "[P]\r\nName = \"  Kim  \"  \r\n", u"P", u"Name", u"  Kim  "},
        {"single quotes removed", "[P]\r\nName='Lee'\r\n", u"P", u"Name", u"Lee"},
        {"only one pair removed", "[P]\r\nName=\"\"x\"\"\r\n", u"P", u"Name", u"\"x\""},
        {"unbalanced quote kept", "[P]\r\nName=\"x\r\n", u"P", u"Name", u"\"x"},
        {"mixed quotes kept", "[P]\r\nName=\"x'\r\n", u"P", u"Name", u"\"x'"},
        {"value keeps later '='", "[P]\r\nUrl=a=b\r\n", u"P", u"Url", u"a=b"},
        {"empty value is not the default", "[Rule]\r\nRound=\r\n", u"Rule", u"Round", u""},
        {"first duplicate key wins", "[Rule]\r\nRound=3\r\nROUND=4\r\n", u"Rule", u"Round", u"3"},
        {"first duplicate section wins", "[Rule]\r\nRound=3\r\n[rule]\r\nRound=4\r\n", u"Rule", u"Round",
         u"3"},
        {"later duplicate section not searched", "[Rule]\r\nRound=3\r\n[Rule]\r\nCourt_No=5\r\n", u"Rule",
         u"Court_No", u"<default>"},
        {"missing section", "[Rule]\r\nRound=3\r\n", u"OVR", u"Round", u"<default>"},
        {"missing key", "[Rule]\r\nRound=3\r\n", u"Rule", u"Court_No", u"<default>"},
        {"key of another section", "[OVR]\r\nSupplier=2\r\n[Rule]\r\n", u"Rule", u"Supplier", u"<default>"},
        {"key before any section", "Round=3\r\n[Rule]\r\n", u"Rule", u"Round", u"<default>"},
        {"comment ignored", "[Rule]\r\n;Round=9\r\n  ; Round=8\r\nRound=3\r\n", u"Rule", u"Round", u"3"},
        {"comment only", "[Rule]\r\n;Round=9\r\n", u"Rule", u"Round", u"<default>"},
        {"line without '=' ignored", "[Rule]\r\nRound\r\nRound=3\r\n", u"Rule", u"Round", u"3"},
        {"comment after header", "[Rule] ; the rules\r\nRound=3\r\n", u"Rule", u"Round", u"3"},
        {"LF line ends", "[Rule]\nRound=3\n[OVR]\nSupplier=2\n", u"OVR", u"Supplier", u"2"},
        {"no line end at the end", "[Rule]\r\nRound=3", u"Rule", u"Round", u"3"},
        {"empty file", "", u"Rule", u"Round", u"<default>"},
        {"UTF-8 text", "[P]\r\nName=\xED\x83\x9C\xEA\xB6\x8C\r\n", u"P", u"Name", u"태권"},
        {"UTF-8 BOM", "\xEF\xBB\xBF[Rule]\r\nRound=3\r\n", u"Rule", u"Round", u"3"},
        {"UTF-16LE BOM", utf16le(u"[P]\r\nName = \"태권도\U0001F600\"\r\n"), u"P", u"Name",
         u"태권도\U0001F600"},
        {"UTF-16LE LF", utf16le(u"[Rule]\nRound=3\n"), u"rule", u"ROUND", u"3"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        home.write("ini/Rule.ini", c.file);
        EXPECT_EQ(read(c.section, c.key), c.expected);
    }
}

TEST_F(ProfileFile, MissingOrUnreadableFileGivesTheDefault) {
    EXPECT_EQ(read(u"Rule", u"Round"), u"<default>");
    EXPECT_EQ(read(u"Rule", u"Round", nullptr), u"");
    EXPECT_EQ(read(u"Rule", u"Round", u"x", "missing-folder/Rule.ini"), u"x");
    QDir().mkpath(QString::fromStdString(path("ini/Folder.ini")));
    EXPECT_EQ(read(u"Rule", u"Round", u"x", "ini/Folder.ini"), u"x");
    EXPECT_EQ(GetPrivateProfileIntW(u"Rule", u"Round", 7, widePath().c_str()), 7u);
}

TEST_F(ProfileFile, LongValuesAreTruncatedToTheBuffer) {
    const std::string value259(259, 'v');
    home.write("ini/Rule.ini", "[P]\r\nLong=" + std::string(400, 'w') + "\r\nFits=" + value259 + "\r\n");
    EXPECT_EQ(read(u"P", u"Fits"), wide(value259));

    char16_t buffer[12];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(GetPrivateProfileStringW(u"P", u"Long", u"", buffer, 10, widePath().c_str()), 9u);
    EXPECT_EQ(std::u16string(buffer, 10), std::u16string(9, u'w') + u'\0');
    EXPECT_EQ(buffer[10], u'#');

    // The default is truncated the same way; a zero-sized buffer is not touched.
    EXPECT_EQ(GetPrivateProfileStringW(u"P", u"None", u"abcdef", buffer, 4, widePath().c_str()), 3u);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(GetPrivateProfileStringW(u"P", u"Long", u"", buffer, 1, widePath().c_str()), 0u);
    EXPECT_EQ(buffer[0], u'\0');
    buffer[0] = u'#';
    EXPECT_EQ(GetPrivateProfileStringW(u"P", u"Long", u"", buffer, 0, widePath().c_str()), 0u);
    EXPECT_EQ(buffer[0], u'#');
}

TEST_F(ProfileFile, TruncationNeverSplitsACharacter) {
    home.write("ini/Rule.ini", "[P]\r\nName=ab\xF0\x9F\x98\x80\r\nKor=\xED\x83\x9C\xEA\xB6\x8C\r\n");
    char16_t wideBuffer[4];
    EXPECT_EQ(GetPrivateProfileStringW(u"P", u"Name", u"", wideBuffer, 4, widePath().c_str()), 2u);
    EXPECT_EQ(std::u16string(wideBuffer), u"ab");

    char narrow[6];
    EXPECT_EQ(GetPrivateProfileStringA("P", "Kor", "", narrow, 6, path().c_str()), 3u);
    EXPECT_EQ(std::string(narrow), "\xED\x83\x9C");
}

TEST_F(ProfileFile, ReadsNumbersAsTheProgramDoes) {
    home.write("ini/Rule.ini", "[Rule]\r\nRound= 12abc\r\nGap=-1\r\nEmpty=\r\nWord=abc\r\n");
    const std::u16string file = widePath();
    EXPECT_EQ(GetPrivateProfileIntW(u"Rule", u"Round", 5, file.c_str()), 12u);
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(u"Rule", u"Gap", 5, file.c_str())), -1);
    EXPECT_EQ(GetPrivateProfileIntW(u"Rule", u"Empty", 5, file.c_str()), 5u);
    EXPECT_EQ(GetPrivateProfileIntW(u"Rule", u"Word", 5, file.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileIntW(u"Rule", u"Missing", 5, file.c_str()), 5u);
}

TEST(WideToInt, FollowsTheRuntimeRules) {
    const struct {
        const char16_t* text;
        int expected;
    } cases[] = {
        {u"0", 0},
        {u"42", 42},
        {u" -12x", -12},
        {u"+7", 7},
        {u"", 0},
        {u"abc", 0},
        {u"\t\r\n 5", 5},
        {u"007", 7},
        {u"- 5", 0},
        {u"+-5", 0},
        {u"12 34", 12},
        {u"\uFF15", 0}, // a full-width digit is not a digit here
        {u"2147483647", INT_MAX},
        {u"2147483648", INT_MAX},
        {u"-2147483648", INT_MIN},
        {u"-2147483649", INT_MIN},
        {u"99999999999999999999999999", INT_MAX},
        {u"-99999999999999999999999999", INT_MIN},
        {nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text))
                            : "null");
        EXPECT_EQ(_wtoi(c.text), c.expected);
    }
}

struct WriteCase {
    const char* name;
    std::optional<std::string> before; // none: no file
    const char16_t* section;
    const char16_t* key;
    const char16_t* value;
    std::optional<std::string> after; // none: still no file
};

TEST_F(ProfileFile, WritesChangeOnlyWhatTheyName) {
    const WriteCase cases[] = {
        {"creates the file", std::nullopt, u"Rule", u"Round", u"3", "[Rule]\r\nRound=3\r\n"},
        {"fills an empty file", "", u"Rule", u"Round", u"3", "[Rule]\r\nRound=3\r\n"},
        {"new key keeps its spelling", std::nullopt, u"Rule", u"Use_PUnch", u"1",
         "[Rule]\r\nUse_PUnch=1\r\n"},
        {"replaces only the value",
         "; Belvanta\r\n[Rule]\r\nCourt_No=1\r\nRound = 3\r\n\r\n[OVR]\r\nSupplier=0\r\n", u"rule", u"ROUND",
         u"5", "; Belvanta\r\n[Rule]\r\nCourt_No=1\r\nRound = 5\r\n\r\n[OVR]\r\nSupplier=0\r\n"},
        {"existing key keeps its spelling", "[OVR]\r\nComminucation_Type=1\r\n", u"OVR",
         u"COMMINUCATION_TYPE", u"2", "[OVR]\r\nComminucation_Type=2\r\n"},
        {"quoted value replaced", "[P]\r\nName = \"old\"\r\n", u"P", u"Name", u"new",
         "[P]\r\nName = new\r\n"},
        {"comments and odd lines kept", "; top\r\n[Rule]\r\n; note\r\ngarbage line\r\nRound=3\r\n", u"Rule",
         u"Round", u"4", "; top\r\n[Rule]\r\n; note\r\ngarbage line\r\nRound=4\r\n"},
        {"bytes of other lines kept", "[Names]\r\nKor=\xC5\xC2\xFF\r\n[Rule]\r\nRound=3\r\n", u"Rule",
         u"Round", u"4", "[Names]\r\nKor=\xC5\xC2\xFF\r\n[Rule]\r\nRound=4\r\n"},
        {"first duplicate written", "[Rule]\r\nRound=3\r\nRound=4\r\n[Rule]\r\nRound=5\r\n", u"Rule",
         u"Round", u"6", "[Rule]\r\nRound=6\r\nRound=4\r\n[Rule]\r\nRound=5\r\n"},
        {"key added at the end of its section", "[Rule]\nRound=3\n\n[OVR]\nSupplier=0\n", u"Rule",
         u"Court_No", u"2", "[Rule]\nRound=3\nCourt_No=2\n\n[OVR]\nSupplier=0\n"},
        {"key added to an empty section", "[Rule]\r\n\r\n[OVR]\r\n", u"Rule", u"Round", u"3",
         "[Rule]\r\nRound=3\r\n\r\n[OVR]\r\n"},
        {"key added after a last line without line end", "[Rule]\r\nRound=3", u"Rule", u"Court_No", u"2",
         "[Rule]\r\nRound=3\r\nCourt_No=2\r\n"},
        {"section added in LF", "[Rule]\nRound=3", u"OVR", u"Supplier", u"1",
         "[Rule]\nRound=3\n\n[OVR]\nSupplier=1\n"},
        {"section added after a blank line", "[Rule]\r\nRound=3\r\n\r\n", u"OVR", u"Supplier", u"1",
         "[Rule]\r\nRound=3\r\n\r\n[OVR]\r\nSupplier=1\r\n"},
        {"UTF-8 BOM kept", "\xEF\xBB\xBF[Rule]\r\nRound=3\r\n", u"Rule", u"Round", u"4",
         "\xEF\xBB\xBF[Rule]\r\nRound=4\r\n"},
        {"UTF-8 value", std::nullopt, u"P", u"Name", u"태권도",
         "[P]\r\nName=\xED\x83\x9C\xEA\xB6\x8C\xEB\x8F\x84\r\n"},
        {"empty value", "[Rule]\r\nRound=3\r\n", u"Rule", u"Round", u"", "[Rule]\r\nRound=\r\n"},
        {"end blanks quoted", std::nullopt, u"P", u"Name", u" Kim ", "[P]\r\nName=\" Kim \"\r\n"},
        {"own quotes quoted", std::nullopt, u"P", u"Name", u"'x'", "[P]\r\nName=\"'x'\"\r\n"},
        {"deletes every copy of a key in its section",
         "[Rule]\r\nRound=3\r\nCourt_No=1\r\nround=4\r\n[OVR]\r\nRound=9\r\n", u"Rule", u"Round", nullptr,
         "[Rule]\r\nCourt_No=1\r\n[OVR]\r\nRound=9\r\n"},
        {"deletes every copy of a section", "[Rule]\r\nRound=3\r\n[OVR]\r\nSupplier=0\r\n[rule]\r\nX=1\r\n",
         u"Rule", nullptr, nullptr, "[OVR]\r\nSupplier=0\r\n"},
        {"deleting a missing key changes nothing", "[Rule]\r\nRound=3", u"Rule", u"Court_No", nullptr,
         "[Rule]\r\nRound=3"},
        {"deleting in a missing file creates nothing", std::nullopt, u"Rule", u"Round", nullptr,
         std::nullopt},
        {"deleting a missing section creates nothing", std::nullopt, u"Rule", nullptr, nullptr, std::nullopt},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(QString::fromStdString(path()));
        if (c.before)
            home.write("ini/Rule.ini", *c.before);
        EXPECT_EQ(WritePrivateProfileStringW(c.section, c.key, c.value, widePath().c_str()), TRUE);
        ASSERT_EQ(exists(), c.after.has_value());
        if (c.after) {
            EXPECT_EQ(home.read("ini/Rule.ini"), *c.after);
        }
    }
}

// A write returns before the disk has it: every read of the program sees it at once, and the file on the
// disk, replaced whole, holds it once the writes given so far are flushed.
TEST_F(ProfileFile, AWriteIsReadAtOnceAndReachesTheDiskBehindTheCaller) {
    home.write("ini/Rule.ini", "[Rule]\r\nRound=3\r\n");
    for (int round = 4; round <= 9; ++round) {
        const std::u16string value = QString::number(round).toStdU16String();
        ASSERT_EQ(WritePrivateProfileStringW(u"Rule", u"Round", value.c_str(), widePath().c_str()), TRUE);
        EXPECT_EQ(read(u"Rule", u"Round", u"x"), value);
        EXPECT_EQ(GetPrivateProfileIntW(u"Rule", u"Round", 0, widePath().c_str()), static_cast<UINT>(round));
    }
    ASSERT_EQ(WritePrivateProfileStringW(u"Rule", u"Court_No", u"2", widePath().c_str()), TRUE);
    EXPECT_EQ(read(u"Rule", u"Round", u"x"), u"9");
    ASSERT_TRUE(platform::flushProfileWrites(20000));
    EXPECT_EQ(home.read("ini/Rule.ini"), "[Rule]\r\nRound=9\r\nCourt_No=2\r\n");
    EXPECT_EQ(QDir(QString::fromStdString(path("ini"))).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList({QStringLiteral("Rule.ini")}))
        << "no temporary file left";
}

TEST_F(ProfileFile, WrittenValuesReadBack) {
    const char16_t* values[] = {u"3",        u"",    u" padded ",        u"\"quoted\"",
                                u"'single'", u"a=b", u"; not a comment", u"태권도\U0001F600"};
    for (const char16_t* value : values) {
        SCOPED_TRACE(std::u16string_view(value).size());
        ASSERT_EQ(WritePrivateProfileStringW(u"P", u"Key", value, widePath().c_str()), TRUE);
        EXPECT_EQ(read(u"P", u"Key"), value);
    }
    ASSERT_EQ(WritePrivateProfileStringW(u"P", u"Key", nullptr, widePath().c_str()), TRUE);
    EXPECT_EQ(read(u"P", u"Key"), u"<default>");
}

TEST_F(ProfileFile, Utf16FileIsWrittenBackAsUtf16) {
    home.write("ini/Rule.ini", utf16le(u"[Rule]\r\nRound=3\r\n; 규칙\r\n"));
    ASSERT_EQ(WritePrivateProfileStringW(u"Rule", u"Round", u"4", widePath().c_str()), TRUE);
    ASSERT_EQ(WritePrivateProfileStringW(u"Div", u"Name", u"남자", widePath().c_str()), TRUE);
    EXPECT_EQ(home.read("ini/Rule.ini"),
              utf16le(u"[Rule]\r\nRound=4\r\n; 규칙\r\n\r\n[Div]\r\nName=남자\r\n"));
    EXPECT_EQ(read(u"div", u"name"), u"남자");
}

TEST_F(ProfileFile, RefusesTextThatWouldBreakTheLines) {
    const std::string before = "[Rule]\r\nRound=3\r\n";
    home.write("ini/Rule.ini", before);
    const struct {
        const char16_t* section;
        const char16_t* key;
        const char16_t* value;
    } cases[] = {
        {u"Rule", u"Round", u"3\r\n[OVR]\r\nSupplier=9"},
        {u"Rule", u"Round", u"3\n"},
        {u"Rule", u"Court=No", u"1"},
        {u"Rule", u"[OVR]", u"1"},
        {u"Rule", u";Round", u"1"},
        {u"Rule", u"  ", u"1"},
        {u"Rule]x", u"Round", u"1"},
        {u"Ru\nle", nullptr, nullptr},
        {nullptr, u"Round", u"1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WritePrivateProfileStringW(c.section, c.key, c.value, widePath().c_str()), FALSE);
        EXPECT_EQ(home.read("ini/Rule.ini"), before);
    }
}

TEST_F(ProfileFile, WriteFailsWhenTheFileCannotBeReplaced) {
    EXPECT_EQ(
        WritePrivateProfileStringW(u"Rule", u"Round", u"3", widePath("no-such-folder/Rule.ini").c_str()),
        FALSE);
    EXPECT_FALSE(QDir(QString::fromStdString(path("no-such-folder"))).exists());

    // A folder where the file should be: it can be neither read nor replaced.
    QDir().mkpath(QString::fromStdString(path("ini/Folder.ini")));
    home.write("ini/Folder.ini/keep.txt", "x");
    EXPECT_EQ(WritePrivateProfileStringW(u"Rule", u"Round", u"3", widePath("ini/Folder.ini").c_str()), FALSE);
    EXPECT_EQ(home.read("ini/Folder.ini/keep.txt"), "x");
}

TEST_F(ProfileFile, ReplacesTheFileWholeKeepingModeAndLinks) {
    home.write("ini/Real.ini", "[Rule]\r\nRound=3\r\n");
    ASSERT_EQ(::chmod(path("ini/Real.ini").c_str(), 0640), 0);
    ASSERT_TRUE(QFile::link(QString::fromStdString(path("ini/Real.ini")), QString::fromStdString(path())));

    ASSERT_EQ(WritePrivateProfileStringW(u"Rule", u"Round", u"4", widePath().c_str()), TRUE);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path())).isSymLink());
    EXPECT_EQ(home.read("ini/Real.ini"), "[Rule]\r\nRound=4\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path("ini/Real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(QString::fromStdString(path("ini"))).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList({QStringLiteral("Real.ini"), QStringLiteral("Rule.ini")}));
}

TEST_F(ProfileFile, NarrowFormsReadAndWriteUtf8) {
    home.write(
        "Cfg/M001.ini",
        "[Match_Input]\r\nmatch=101\r\nblue_name = \"KIM \xED\x83\x9C\"\r\n[Timing]\r\nround_time=120\r\n");
    const std::string file = path("Cfg/M001.ini");
    char buffer[260];
    EXPECT_EQ(GetPrivateProfileStringA("MATCH_INPUT", "Blue_Name", "", buffer, 260, file.c_str()), 7u);
    EXPECT_EQ(std::string(buffer), "KIM \xED\x83\x9C");
    EXPECT_EQ(GetPrivateProfileStringA("Match_Input", "red_name", nullptr, buffer, 260, file.c_str()), 0u);
    EXPECT_EQ(std::string(buffer), "");
    EXPECT_EQ(GetPrivateProfileStringA("Timing", "rest_time", "60", buffer, 260, file.c_str()), 2u);
    EXPECT_EQ(std::string(buffer), "60");

    const std::string result = path("Result/M001-res.ini");
    ASSERT_EQ(WritePrivateProfileStringA("Match_Result", "winner", "Blue - \xED\x83\x9C - 7", result.c_str()),
              TRUE);
    EXPECT_EQ(home.read("Result/M001-res.ini"), "[Match_Result]\r\nwinner=Blue - \xED\x83\x9C - 7\r\n");
    EXPECT_EQ(WritePrivateProfileStringA("Match_Result", "winner", "x", path("none/x.ini").c_str()), FALSE);
}

TEST_F(ProfileFile, WritersOnManyThreadsLoseNothing) {
    constexpr int kThreads = 4, kKeys = 25;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([this, t] {
            for (int k = 0; k < kKeys; ++k) {
                const std::u16string key = wide("T" + std::to_string(t) + "_" + std::to_string(k));
                WritePrivateProfileStringW(u"Rule", key.c_str(), wide(std::to_string(k)).c_str(),
                                           widePath().c_str());
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    for (int t = 0; t < kThreads; ++t) {
        for (int k = 0; k < kKeys; ++k) {
            const std::u16string key = wide("T" + std::to_string(t) + "_" + std::to_string(k));
            EXPECT_EQ(read(u"Rule", key.c_str()), wide(std::to_string(k)));
        }
    }
}

} // namespace
