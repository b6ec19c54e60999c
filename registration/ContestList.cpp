#include "registration/ContestList.h"

#include "app/ColorRef.h"

#include <QFont>
#include <QHeaderView>

#include <algorithm>

namespace {

struct Column {
    const char16_t* heading;
    int width;
};
constexpr Column kColumns[] = {
    {u"Class", 70},     {u"No.", 40},    {u"C. Name", 90}, {u"C.Nation.", 90}, {u"H. Name", 90},
    {u"H.Nation.", 90}, {u"Weight", 80}, {u"Gender", 47},  {u"C.MAC", 110},    {u"H.MAC", 110},
    {u"C.Team", 80},    {u"H.Team", 80}, {u"Phase", 70},
};
constexpr Column kTournamentTail[] = {{u"C.HMAC", 110}, {u"H.HMAC", 110}, {u"Phase", 70}};

constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kRed = 0x0000FF;

} // namespace

CMy_ListCtrl::CMy_ListCtrl(bool team, QWidget* parent) : QTableWidget(parent), m_bTeam(team) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    font.setBold(true);
    setFont(font);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    SetupColumns(false);
}

void CMy_ListCtrl::SetupColumns(bool tournament) {
    QStringList headings;
    std::vector<int> widths;
    for (const Column& c : kColumns) {
        headings << QString::fromUtf16(c.heading);
        widths.push_back(c.width);
    }
    if (tournament) {
        widths[1] = 100;
        headings.removeLast();
        widths.pop_back();
        for (const Column& c : kTournamentTail) {
            headings << QString::fromUtf16(c.heading);
            widths.push_back(c.width);
        }
    }
    setColumnCount(static_cast<int>(headings.size()));
    setHorizontalHeaderLabels(headings);
    for (int i = 0; i < static_cast<int>(widths.size()); ++i)
        setColumnWidth(i, widths[i]);
}

COLORREF CMy_ListCtrl::OnGetCellTextColor(int column, bool team) {
    switch (column) {
    case 2:
    case 3:
    case 8:
        return kBlue;
    case 4:
    case 5:
    case 9:
        return kRed;
    case 10:
    case 12:
        return team ? kBlue : 0;
    case 11:
    case 13:
        return team ? kRed : 0;
    default:
        return 0;
    }
}

COLORREF CMy_ListCtrl::OnGetCellBkColor(int, int) {
    return 0xFFFFFF;
}

void CMy_ListCtrl::SetRows(const std::vector<Registration::ContestRow>& rows) {
    clearContents();
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < columnCount() && c < Registration::ContestRow::kColumns; ++c)
            SetCell(r, c, rows[r].column[c]);
    }
    if (!rows.empty())
        scrollToItem(item(static_cast<int>(rows.size()) - 1, 0));
}

void CMy_ListCtrl::SetTournamentRow(const std::array<std::u16string, 15>& columns) {
    const int r = rowCount();
    setRowCount(r + 1);
    for (int c = 0; c < columnCount() && c < static_cast<int>(columns.size()); ++c)
        SetCell(r, c, columns[static_cast<std::size_t>(c)]);
    scrollToItem(item(r, 0));
}

void CMy_ListCtrl::SetCell(int row, int column, const std::u16string& text) {
    auto* cell = new QTableWidgetItem(QString::fromStdU16String(text));
    cell->setTextAlignment(Qt::AlignCenter);
    cell->setForeground(ColorFromRef(OnGetCellTextColor(column, m_bTeam)));
    cell->setBackground(ColorFromRef(OnGetCellBkColor(row, column)));
    setItem(row, column, cell);
}

Registration::ContestRow CMy_ListCtrl::Row(int row) const {
    Registration::ContestRow result;
    for (int c = 0; c < Registration::ContestRow::kColumns; ++c)
        if (const QTableWidgetItem* cell = item(row, c))
            result.column[c] = cell->text().toStdU16String();
    return result;
}

std::vector<int> CMy_ListCtrl::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.rbegin(), rows.rend());
    return rows;
}
