// The written match log in other programs: python3-xlrd reads its cells and merged ranges, python3-olefile
// finds its stream, and LibreOffice converts it to CSV with the values (a Korean name included).
#include "app/FileWriter.h"
#include "platform/CompoundFile.h"
#include "records/ExcelBook.h"
#include "records/MatchLog.h"
#include "records/MatchRecords.h"
#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstring>

namespace {

std::string SourceTemplate(const char* name) {
    QFile file(QString::fromUtf8(BELVANTA_SOURCE_DIR "/resources/home/Log/") + QString::fromUtf8(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// Debian's python3 carries the readers; a python3 earlier on the PATH may not.
QString Python() {
    return QFile::exists(QStringLiteral("/usr/bin/python3"))
               ? QStringLiteral("/usr/bin/python3")
               : QStandardPaths::findExecutable(QStringLiteral("python3"));
}

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ProgramRun RunProgram(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = "timed out or did not start";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

class ExcelReadersTest : public TestCourt, public ::testing::Test {
protected:
    void SetUp() override {
        home.write("Log/Log file.xls", SourceTemplate("Log file.xls"));
        std::strcpy(md->szContestNo, "B7");
        std::strcpy(md->aPlayer[0].szName, "SMITH Anna");
        std::strcpy(md->aPlayer[0].szNationCode, "GBR");
        std::strcpy(md->aPlayer[1].szName, "김민서");
        std::strcpy(md->aPlayer[1].szNationCode, "KOR");
        md->nRound = 3;
        md->nCurRound = 1;
        md->aSide[0].nScore = 4;
        md->aSide[0].nRoundScore[0] = 4;
        md->aSide[0].nTechTally[2][0] = 4;
        ASSERT_EQ(OpenMatchLog(u"readers.xls"), 1);
        WriteMatchLogHeader();
        LogMatchEvent(1, 0, u"2:00", 0, 0, 0, 0);
        LogMatchEvent(1, 9, u"1:30", 0, 1, 2, 1, 3);
        LogMatchEvent(1, 23, u"1:10", 1, 6, 1, 0);
        WriteMatchLogRoundScores(0);
        WriteMatchLogRoundScores(10);
        CloseMatchLog();
        ASSERT_TRUE(TheFileWriter().WaitIdle(20000));
        path = home.file("Log/readers.xls");
    }

    std::string path;
};

TEST_F(ExcelReadersTest, XlrdReadsCellsAndMergedRanges) {
    const QString python = Python();
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed (scripts/setup installs python3-xlrd)";
    const char* script = R"(
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
print(book.nsheets)
for name, row, col in [(0, 3, 3), (0, 13, 3), (2, 5, 2), (2, 6, 2), (2, 6, 7), (2, 6, 9), (2, 7, 12), (1, 5, 1), (1, 5, 4), (1, 25, 20)]:
    print(repr(book.sheet_by_index(name).cell_value(row, col)))
print(sorted(book.sheet_by_index(0).merged_cells)[:2])
print(book.sheet_by_index(2).merged_cells)
)";
    const ProgramRun run = RunProgram(
        python, {QStringLiteral("-c"), QString::fromUtf8(script), QString::fromStdString(path)}, 60000);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "3\n"
                       "'B7'\n"
                       "'김민서'\n"
                       "'Start round 1'\n"
                       "'Blue body point'\n"
                       "2.0\n"
                       "'Body'\n"
                       "'-1'\n"
                       "'SMITH Anna - GBR'\n"
                       "4.0\n"
                       "4.0\n"
                       "[(1, 2, 1, 4), (3, 4, 1, 3)]\n"
                       "[(1, 2, 1, 4), (3, 4, 7, 12), (3, 4, 12, 17)]\n");
}

TEST_F(ExcelReadersTest, OlefileFindsTheWorkbookStream) {
    const QString python = Python();
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed (scripts/setup installs python3-olefile)";
    const char* script = R"(
import sys, olefile
print(olefile.isOleFile(sys.argv[1]))
ole = olefile.OleFileIO(sys.argv[1])
print(ole.listdir())
print(len(ole.openstream('Workbook').read()))
)";
    const ProgramRun run = RunProgram(
        python, {QStringLiteral("-c"), QString::fromUtf8(script), QString::fromStdString(path)}, 60000);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::uint8_t> stream;
    ASSERT_EQ(platform::ReadCompoundStream(path, "Workbook", stream), platform::CompoundResult::Ok);
    EXPECT_EQ(run.out, "True\n[['Workbook']]\n" + std::to_string(stream.size()) + "\n");
}

TEST_F(ExcelReadersTest, LibreOfficeConvertsEverySheetToCsv) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (scripts/setup installs libreoffice-calc-nogui)";
    const QString out = QString::fromStdString(home.file("csv"));
    const QString profile = QStringLiteral("file://") + QString::fromStdString(home.file("lo-profile"));
    // Comma, double quote, UTF-8, from row 1; every sheet to its own file.
    const ProgramRun run =
        RunProgram(soffice,
                   {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                    QStringLiteral("--convert-to"),
                    QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,"
                                   "false,-1"),
                    QStringLiteral("--outdir"), out, QString::fromStdString(path)},
                   240000);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto lines = [&](const char* sheet) {
        QFile file(out + QStringLiteral("/readers-") + QString::fromUtf8(sheet) + QStringLiteral(".csv"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << sheet << "\n" << run.out << run.err;
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    };
    const QStringList match = lines("Match");
    ASSERT_GT(match.size(), 13);
    EXPECT_EQ(match[3].toStdString(), ",Contest No.,,B7");
    EXPECT_EQ(match[13].toStdString(), ",Red player,,김민서");
    const QStringList events = lines("Events");
    ASSERT_GT(events.size(), 7);
    EXPECT_TRUE(events[5].startsWith(QStringLiteral(",1,Start round 1,2:00,"))) << events[5].toStdString();
    EXPECT_TRUE(events[6].contains(QStringLiteral(",Blue body point,1:30,"))) << events[6].toStdString();
    EXPECT_TRUE(events[6].endsWith(QStringLiteral(",2,1,Body,,,,,,,"))) << events[6].toStdString();
    EXPECT_TRUE(events[7].contains(QStringLiteral(",-1,"))) << events[7].toStdString();
    const QStringList rounds = lines("Round scores");
    ASSERT_GT(rounds.size(), 26);
    EXPECT_EQ(rounds[5].toStdString(), "Round 1,SMITH Anna - GBR,0,0,4,0,0,0,(+0),0,(+0),0,(+0),0,,,,,,,4");
    EXPECT_TRUE(rounds[6].startsWith(QStringLiteral(",김민서 - KOR,"))) << rounds[6].toStdString();
}

} // namespace
