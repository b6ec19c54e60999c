// The grid printed to a PDF file and read back with pdftotext: pages, headings on every page, header and
// footer, every row once and whole; and the page split without a printer.
#include "controls/DataGrid.h"

#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Prints grid to a PDF on A4 and returns pdftotext's reading, one text per page; imageLines gets
// pdfimages' list of the pictures in it, one line each.
QStringList PrintAndRead(CDataGrid& grid, int* imageLines = nullptr) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("grid.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    EXPECT_TRUE(grid.Print(&printer));
    QProcess read;
    read.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(read.waitForFinished(60000));
    EXPECT_EQ(read.exitCode(), 0) << read.readAllStandardError().toStdString();
    QStringList pages = QString::fromUtf8(read.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    if (imageLines) {
        QProcess list;
        list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        EXPECT_TRUE(list.waitForFinished(60000));
        // Two lines of column titles come first.
        *imageLines =
            static_cast<int>(
                QString::fromUtf8(list.readAllStandardOutput()).trimmed().split(QLatin1Char('\n')).size()) -
            2;
    }
    return pages;
}

TEST(GridPrintTest, EveryRowPrintsOnceUnderTheHeadingsOfEachPage) {
    CDataGrid grid;
    grid.setWindowTitle(QStringLiteral("Division levels"));
    grid.SetRowCount(121);
    grid.SetColumnCount(4);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    const char* headings[] = {"No.", "Division", "Weight", "Athlete"};
    for (int col = 0; col < 4; ++col)
        grid.SetItemText(0, col, QString::fromLatin1(headings[col]));
    for (int row = 1; row < 121; ++row) {
        grid.SetItemText(row, 0, QString::number(row));
        grid.SetItemText(row, 1, QStringLiteral("Senior"));
        grid.SetItemText(row, 2, QStringLiteral("-68kg"));
        grid.SetItemText(row, 3, QStringLiteral("Athlete %1").arg(row, 3, 10, QLatin1Char('0')));
        grid.SetRowHeight(row, row % 3 ? 20 : 34);
    }
    grid.SetItemText(50, 3, QStringLiteral("Hidden athlete"));
    grid.SetRowHeight(50, 0);
    grid.resize(400, 300);

    const QStringList pages = PrintAndRead(grid);
    ASSERT_GE(pages.size(), 2) << "120 rows do not fit one page";
    int next = 1;
    for (int page = 0; page < pages.size(); ++page) {
        SCOPED_TRACE(page + 1);
        const QString& text = pages[page];
        EXPECT_TRUE(text.contains(QStringLiteral("Division levels"))) << "header";
        EXPECT_TRUE(text.contains(QStringLiteral("Division"))) << "headings";
        EXPECT_TRUE(text.contains(QStringLiteral("Athlete")));
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.size())));
        // The rows of this page follow on from the last page's, in order, each once.
        int at = 0;
        while (next <= 120) {
            if (next == 50) {
                ++next;
                continue;
            }
            const int found =
                text.indexOf(QStringLiteral("Athlete %1").arg(next, 3, 10, QLatin1Char('0')), at);
            if (found < 0)
                break;
            at = found;
            ++next;
        }
        EXPECT_GT(at, 0) << "every page has rows";
    }
    EXPECT_EQ(next, 121) << "every row printed, in order";
    EXPECT_FALSE(pages.join(QString()).contains(QStringLiteral("Hidden athlete")));
}

TEST(GridPrintTest, AGridWiderThanThePaperIsScaledToFitAcross) {
    CDataGrid grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(20);
    grid.SetFixedRowCount(1);
    for (int col = 0; col < 20; ++col) {
        grid.SetColumnWidth(col, 150);
        grid.SetItemText(0, col, QStringLiteral("Col%1").arg(col, 2, 10, QLatin1Char('0')));
        grid.SetItemText(1, col, QStringLiteral("v%1").arg(col));
    }
    const QStringList pages = PrintAndRead(grid);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Col19"))) << "the last column is on the paper";
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Page 1 of 1")));
}

TEST(GridPrintTest, CellPicturesArePrintedWhereTheyFitWhole) {
    CImageList images(16, 16);
    QPixmap badge(16, 16);
    badge.fill(Qt::blue);
    images.Add(badge);
    for (const auto& [height, printed] : {std::pair{26, 1}, std::pair{14, 0}}) {
        SCOPED_TRACE(height);
        CDataGrid grid;
        grid.SetImageList(&images);
        grid.SetRowCount(2);
        grid.SetColumnCount(2);
        grid.SetFixedRowCount(1);
        grid.SetItemText(1, 1, QStringLiteral("Kim Min-jun"));
        grid.GetCell(1, 1)->SetImage(0);
        grid.SetRowHeight(1, height);
        int pictures = -1;
        const QStringList pages = PrintAndRead(grid, &pictures);
        ASSERT_EQ(pages.size(), 1);
        EXPECT_TRUE(pages[0].contains(QStringLiteral("Kim Min-jun")));
        EXPECT_EQ(pictures, printed);
    }
}

TEST(GridPrintPages, WholeRowsFillAPageAndHiddenRowsAreLeftOut) {
    const struct {
        std::vector<int> heights; // of the scrollable rows, under one fixed row
        int page;
        std::vector<std::pair<int, int>> pages;
    } cases[] = {
        {{20, 20, 20}, 50, {{1, 2}, {3, 3}}},         {{20, 20, 10}, 50, {{1, 3}}},
        {{20, 80, 20}, 50, {{1, 1}, {2, 2}, {3, 3}}}, // taller than a page: one of its own
        {{20, 0, 20, 20}, 40, {{1, 3}, {4, 4}}},      {{}, 50, {{1, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        CGridModel grid;
        grid.SetRowCount(static_cast<int>(c.heights.size()) + 1);
        grid.SetColumnCount(2);
        grid.SetFixedRowCount(1);
        for (size_t i = 0; i < c.heights.size(); ++i)
            grid.SetRowHeight(static_cast<int>(i) + 1, c.heights[i]);
        EXPECT_EQ(grid.PrintPageRows(c.page), c.pages);
    }
}

} // namespace
