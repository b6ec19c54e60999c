// A picture of the grid control, made offscreen: a table of athletes with the side's picture beside each
// name, a sorted column, a selected row and the cell tip open over a name too long for its cell; and the
// same table printed to a PDF file. Both go to the folder given (default: the current folder).
//
//   QT_QPA_PLATFORM=offscreen grid-shots OUTDIR
#include "controls/DataGrid.h"
#include "controls/ImageList.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>

#include <cstdio>

namespace {

// A round badge in the side's colour with its initial: the pictures of the table.
QPixmap Badge(const QColor& colour, QChar initial) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(150));
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString(initial));
    return pixmap;
}

void Fill(CDataGrid& grid) {
    const struct {
        const char* court;
        const char* name;
        const char* team;
        const char* score;
        int side;
    } rows[] = {
        {"1", "Alejandro Benítez Carrasco de la Fuente", "ESP", "12", 0},
        {"1", "Kim Min-jun", "KOR", "9", 1},
        {"2", "Aigerim Nurlanovna Zhaksylykova", "KAZ", "7", 0},
        {"2", "Léa Martin", "FRA", "15", 1},
        {"3", "Oluwaseun Adebayo-Okonkwo", "NGR", "4", 0},
        {"3", "Chen Yu", "TPE", "11", 1},
    };
    const int count = static_cast<int>(std::size(rows));
    grid.SetRowCount(count + 1);
    grid.SetColumnCount(5);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    const char* headers[] = {"No.", "Court", "Athlete", "Team", "Score"};
    for (int col = 0; col < 5; ++col)
        grid.SetItemText(0, col, QString::fromLatin1(headers[col]));
    for (int i = 0; i < count; ++i) {
        const int row = i + 1;
        grid.SetItemText(row, 0, QString::number(row));
        grid.SetItemText(row, 1, QString::fromUtf8(rows[i].court));
        grid.SetItemText(row, 2, QString::fromUtf8(rows[i].name));
        grid.SetItemText(row, 3, QString::fromUtf8(rows[i].team));
        grid.SetItemText(row, 4, QString::fromUtf8(rows[i].score));
        grid.GetCell(row, 2)->SetImage(rows[i].side);
        grid.SetItemFormat(row, 4, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    const int widths[] = {40, 64, 170, 50, 50};
    for (int col = 0; col < 5; ++col)
        grid.SetColumnWidth(col, widths[col]);
    for (int row = 0; row <= count; ++row)
        grid.SetRowHeight(row, 24);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

    CImageList images(16, 16);
    images.Add(Badge(QColor(0, 70, 200), QLatin1Char('C')));
    images.Add(Badge(QColor(210, 20, 30), QLatin1Char('H')));
    CDataGrid grid;
    grid.setWindowTitle(QStringLiteral("Court assignments"));
    grid.SetImageList(&images);
    Fill(grid);
    grid.SetHeaderSort(true);
    grid.SortItems(1, true);
    grid.resize(380, 230);
    grid.show();
    grid.activateWindow();
    grid.setFocus();
    grid.SetFocusCell(4, 3);
    grid.SetSelectedRange({4, 1, 4, 4});
    QApplication::processEvents();

    // The mouse rests on the long name of the first row: the tip shows it whole.
    QRect cell;
    grid.GetCellRect(1, 2, cell);
    QMouseEvent move(QEvent::MouseMove, cell.center(), grid.viewport()->mapToGlobal(cell.center()),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    QApplication::processEvents();

    // The tip is a window of its own: it is laid over the grid's picture where it stands on the screen.
    const CCellTip& tip = grid.CellTip();
    const QPoint tipAt = grid.mapFromGlobal(tip.geometry().topLeft());
    QImage shot(QSize(std::max(grid.width(), tipAt.x() + tip.width() + 8), grid.height()),
                QImage::Format_RGB32);
    shot.fill(QColor(236, 236, 236));
    {
        QPainter painter(&shot);
        painter.drawPixmap(0, 0, grid.grab());
        if (tip.isVisible())
            painter.drawPixmap(tipAt, const_cast<CCellTip&>(tip).grab());
    }
    bool ok = tip.isVisible();
    if (!ok)
        std::fprintf(stderr, "the cell tip did not open\n");
    ok = shot.save(out + QStringLiteral("/grid-title-tip.png")) && ok;

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out + QStringLiteral("/grid-print.pdf"));
    ok = grid.Print(&printer) && ok;
    if (!ok)
        std::fprintf(stderr, "a picture could not be written to %s\n", qPrintable(out));
    return ok ? 0 : 1;
}
