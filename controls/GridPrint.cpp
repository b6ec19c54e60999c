// Printing of the grid: the whole grid page after page, each page with a header (the window's title and the
// date), the fixed rows as column headings, as many whole rows as fit and a footer with the page number.
// The grid is printed at the size it has on the screen, scaled down when it is wider than the paper.
#include "controls/DataGrid.h"

#include <QDate>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace {

// A font of the grid's on-screen pixel size, so the printer's scale sizes it like the cells.
QFont PrintFont(const QFont& font) {
    QFont print = font;
    print.setPixelSize(std::max(QFontInfo(font).pixelSize(), 1));
    return print;
}

} // namespace

bool CDataGrid::Print(QPrinter* printer) {
    if (!printer)
        return false;
    EndEditing();
    m_CellTip.Hide();
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    OnBeginPrinting(painter, *printer);
    const int pages = static_cast<int>(m_Print.pages.size());
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            printer->newPage();
        OnPrint(painter, page);
    }
    OnEndPrinting(painter);
    painter.end();
    return true;
}

void CDataGrid::OnBeginPrinting(QPainter& painter, QPrinter& printer) {
    const QSizeF paper = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    // Screen pixels to printer pixels, narrower when the grid would not fit across the paper.
    double scale = static_cast<double>(printer.resolution()) / std::max(logicalDpiX(), 1);
    if (GetVirtualWidth() * scale > paper.width() && GetVirtualWidth() > 0)
        scale = paper.width() / GetVirtualWidth();
    m_Print.scale = scale;
    m_Print.page = QSize(static_cast<int>(paper.width() / scale), static_cast<int>(paper.height() / scale));
    m_Print.font = PrintFont(font());
    painter.setFont(m_Print.font);
    const int line = QFontMetrics(m_Print.font, painter.device()).height();
    m_Print.headerHeight = 2 * line;
    m_Print.footerHeight = 2 * line;
    const int body =
        m_Print.page.height() - m_Print.headerHeight - m_Print.footerHeight - GetFixedRowHeight();
    m_Print.pages = PrintPageRows(body);
    m_Print.date = QDate::currentDate().toString(Qt::ISODate);
}

void CDataGrid::OnPrint(QPainter& painter, int page) {
    if (page < 1 || page > static_cast<int>(m_Print.pages.size()))
        return;
    painter.save();
    painter.scale(m_Print.scale, m_Print.scale);
    PrintHeader(painter, page);
    int y = m_Print.headerHeight;
    PrintColumnHeadings(painter, y);
    const auto [first, last] = m_Print.pages[static_cast<size_t>(page - 1)];
    for (int row = first; row <= last; ++row)
        PrintRow(painter, row, y);
    PrintFooter(painter, page);
    painter.restore();
}

void CDataGrid::OnEndPrinting(QPainter&) {
    m_Print = {};
}

void CDataGrid::PrintHeader(QPainter& painter, int) {
    painter.setFont(m_Print.font);
    painter.setPen(Qt::black);
    const int line = m_Print.headerHeight / 2;
    const QRect text(0, 0, m_Print.page.width(), line);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, window()->windowTitle());
    painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter, m_Print.date);
    painter.drawLine(0, line + line / 4, m_Print.page.width() - 1, line + line / 4);
}

void CDataGrid::PrintFooter(QPainter& painter, int page) {
    painter.setFont(m_Print.font);
    painter.setPen(Qt::black);
    const int line = m_Print.footerHeight / 2;
    const int top = m_Print.page.height() - m_Print.footerHeight;
    painter.drawLine(0, top + line / 2, m_Print.page.width() - 1, top + line / 2);
    painter.drawText(QRect(0, top + line, m_Print.page.width(), line), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Page %1 of %2").arg(page).arg(m_Print.pages.size()));
}

void CDataGrid::PrintColumnHeadings(QPainter& painter, int& y) {
    for (int row = 0; row < GetFixedRowCount(); ++row)
        PrintRow(painter, row, y);
}

void CDataGrid::PrintRow(QPainter& painter, int row, int& y) {
    const int height = GetRowHeight(row);
    if (height <= 0)
        return;
    int x = 0;
    for (int col = 0; col < GetColumnCount(); ++col) {
        const int width = GetColumnWidth(col);
        if (width <= 0)
            continue;
        if (CDataGridCellBase* cell = GetCell(row, col)) {
            painter.save();
            painter.setFont(PrintFont(cell->GetFont() ? *cell->GetFont() : font()));
            cell->PrintCell(painter, row, col, QRect(x, y, width, height));
            painter.restore();
        }
        x += width;
    }
    y += height;
}
