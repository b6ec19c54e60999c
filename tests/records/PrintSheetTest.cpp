// The page model's units and offsets, and the printed result sheet written to PDF files on A4 and Letter,
// rendered with pdftoppm and read back with pdftotext.
#include "records/PrintSheet.h"
#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "records/PageModel.h"
#include "records/PrintFlow.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QProcess>

#include <string>

namespace {

TEST(PageModel, UnitsAndOffset) {
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    struct Case {
        double widthInches;
        bool landscape;
        int offset;
    };
    const Case cases[] = {
        {8.0, false, 0}, {7.5, false, 0}, {8.5, false, 150}, {11.0, true, 150}, {10.9, true, 0}};
    for (const Case& c : cases) {
        CPage page(painter, QRect(0, 0, static_cast<int>(c.widthInches * 600), 6600), 600, 600, c.landscape);
        EXPECT_EQ(page.Offset(), c.offset) << c.widthInches;
    }
    CPage page(painter, QRect(0, 0, 4800, 6600), 600, 600);
    EXPECT_EQ(page.Row(0), 0);
    EXPECT_EQ(page.Row(-1.5), 0);
    EXPECT_EQ(page.Column(-0.1), 0);
    EXPECT_EQ(page.Row(1.25), 750);
    // 10 pt text at 1.4 spacing: the next row lies 33 pixels below the text's 83 pixels.
    const double next = page.PrintText(1.0, 1.0, PageText::SingleLine, 10, u"Point");
    EXPECT_EQ(static_cast<int>(next * 600 + 0.5), 600 + 83 + 33);
    // Past the bottom of the printable area nothing is drawn.
    EXPECT_EQ(page.PrintText(11.5, 1.0, PageText::SingleLine, 10, u"lost"), 0);
    EXPECT_EQ(page.SetFontFace(u"굴림"), u"Times New Roman");
    EXPECT_EQ(page.SetFontSize(8), 10);
    EXPECT_TRUE(CPage::FamiliesOf(u"굴림").contains(QStringLiteral("Noto Sans CJK KR")));
    EXPECT_TRUE(CPage::FamiliesOf(u"바탕").contains(QStringLiteral("Noto Serif CJK KR")));
    EXPECT_TRUE(CPage::FamiliesOf(u"Arial").contains(QStringLiteral("Noto Sans CJK KR")));
}

TEST(PrintSheet, JudgeCodes) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {{u"1", u"V1"}, {u"2", u"V2"}, {u"3", u"H3"},
                                                                 {u"4", u"H4"}, {u"5", u"H5"}, {u"7", u"?"},
                                                                 {u"", u"?"},   {u"12", u"?"}};
    for (const auto& [code, text] : cases)
        EXPECT_EQ(std::u16string(JudgeCodeText(code)), text);
}

TTK_DbTemp Row(const char16_t* round, const char16_t* rtime, const char16_t* point, const char16_t* itemvalid,
               const char16_t* ptime, int dbindex) {
    TTK_DbTemp r{round, rtime, u"0", u"0", point, u"0", u"0", u"0", u"0", u"0", itemvalid, u"", ptime, u""};
    r.dbindex = QString::number(dbindex).toStdU16String();
    return r;
}

class PrintedSheet : public ::testing::Test {
protected:
    void SetUp() override {
        CreateMatchData();
        g_pMatchData->nMatchTime = 120;
        std::u16string* s = g_strResultRow;
        s[1] = u"012";
        s[2] = u"13";
        s[3] = u"7";
        s[14] = u"O'NEIL";
        s[15] = u"김민수";
        s[16] = u"O'NEIL (PTF)";
        s[17] = u"IRL";
        s[18] = u"none";
        s[19] = u"-58kg";
        s[20] = u"Senior";
        s[21] = u"M";
        s[22] = u"2024-05-06 10:30";
        s[24] = u"O";
        s[25] = u"X";
        s[28] = u"Dublin";
    }
    void TearDown() override {
        FreeMatchData();
        for (auto& slot : g_strResultRow)
            slot.clear();
    }

    // Prints to a PDF on the paper, then returns pdftotext's reading (-layout) of it.
    std::string PrintAndRead(QPageSize::PageSizeId paper, int& pages) {
        const QString pdf = QString::fromStdString(home.file("sheet.pdf"));
        QFile::remove(pdf);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(paper));
        printer.setPageOrientation(QPageLayout::Landscape); // the sheet forces portrait
        pages = PrintResultSheet(printer);
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
        QProcess render;
        render.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                      QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                      pdf, QString::fromStdString(home.file("page"))});
        EXPECT_TRUE(render.waitForFinished(60000));
        EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        QImage first;
        for (const char* name : {"page-1.png", "page-01.png", "page-001.png"})
            if (first.isNull())
                first.load(QString::fromStdString(home.file(name)));
        EXPECT_FALSE(first.isNull());
        EXPECT_EQ(first.width() < first.height(), true) << "portrait";
        QProcess read;
        read.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        EXPECT_TRUE(read.waitForFinished(60000));
        return QString::fromUtf8(read.readAllStandardOutput()).toStdString();
    }

    TempHome home;
};

TEST_F(PrintedSheet, NamesScoresAndEventsOnA4AndLetter) {
    *g_pChungLog = {Row(u"1", u"1:30", u"2", u"TRUE", u"200", 1),
                    Row(u"1", u"1:10", u"10", u"FALSE", u"0", 3)};
    (*g_pChungLog)[0].vest = u"2"; // a vest hit shows its precise time
    TTK_DbTemp judged = Row(u"2", u"0:45", u"0", u"TRUE", u"0", 2);
    judged.judge1 = u"3";
    judged.judge2 = u"7";
    *g_pHongLog = {judged};
    for (const auto paper : {QPageSize::A4, QPageSize::Letter}) {
        int pages = 0;
        const std::string text = PrintAndRead(paper, pages);
        EXPECT_EQ(pages, 1);
        for (const char* expected : {"GAME RESULT",
                                     "( PAGE 1/1 )",
                                     "-58kg : Senior (M)",
                                     "O'NEIL (CHUNG)",
                                     "김민수 (HONG)",
                                     "< Dublin >",
                                     "IRL",
                                     "Game No.012",
                                     "2024-05-06 10:30",
                                     "13",
                                     "O'NEIL",
                                     "(PTF)",
                                     "Point of Head",
                                     "* Head Gear ( O )",
                                     "* e-Socks ( X )",
                                     "CHUNG (JUDGE)",
                                     "1:29.80",
                                     "1:30",
                                     "@",
                                     "H3",
                                     "?",
                                     "Jud3"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected << " on paper " << paper << "\n"
                                                              << text;
        EXPECT_EQ(text.find("none"), std::string::npos);
    }
}

TEST_F(PrintedSheet, LongMatchesGoOnMorePagesThatFitThePaper) {
    g_pChungLog->clear();
    for (int i = 0; i < 31; ++i)
        g_pChungLog->push_back(Row(u"1", u"1:00", u"1", u"TRUE", u"0", i + 1));
    g_pChungLog->back().rtime = u"0:07";
    int pages = 0;
    std::string text = PrintAndRead(QPageSize::A4, pages);
    EXPECT_EQ(pages, 2);
    EXPECT_NE(text.find("( PAGE 2/2 )"), std::string::npos);
    // The 31st row starts page 2.
    EXPECT_GT(text.find("0:07"), text.find("( PAGE 2/2 )"));

    // Letter is shorter: its pages hold fewer rows, all of them on the paper.
    text = PrintAndRead(QPageSize::Letter, pages);
    const double height = QPageSize(QPageSize::Letter).size(QPageSize::Inch).height() - 0.4;
    const int perPage = ResultRowsPerPage(height);
    EXPECT_LT(perPage, 30);
    EXPECT_EQ(pages, (31 + perPage - 1) / perPage);
    EXPECT_NE(text.find("0:07"), std::string::npos);

    // No silent cut: 601 rows print on 21 pages.
    g_pChungLog->clear();
    for (int i = 0; i < 601; ++i)
        g_pChungLog->push_back(Row(u"1", u"1:00", u"1", u"TRUE", u"0", i + 1));
    g_pChungLog->back().rtime = u"0:03";
    text = PrintAndRead(QPageSize::A4, pages);
    EXPECT_EQ(pages, 21);
    EXPECT_NE(text.find("( PAGE 21/21 )"), std::string::npos);
    EXPECT_NE(text.find("0:03"), std::string::npos);
}

} // namespace
