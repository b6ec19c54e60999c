#include "controls/GridModel.h"

#include <QGuiApplication>
#include <QPalette>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace {

COLORREF RefOf(const QColor& colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
}

int Sum(const std::vector<int>& sizes, int from, int to) {
    int total = 0;
    for (int i = std::max(from, 0); i < to && i < static_cast<int>(sizes.size()); ++i)
        total += sizes[i];
    return total;
}

} // namespace

CGridModel::CGridModel()
    : m_cellDefault(std::make_unique<CDataGridDefaultCell>()),
      m_cellFixedColDef(std::make_unique<CDataGridDefaultCell>()),
      m_cellFixedRowDef(std::make_unique<CDataGridDefaultCell>()),
      m_cellFixedRowColDef(std::make_unique<CDataGridDefaultCell>()) {
    const QPalette palette = QGuiApplication::palette();
    m_crGridBkColour = RefOf(palette.color(QPalette::Dark));
    for (CDataGridDefaultCell* cell : {m_cellDefault.get(), m_cellFixedColDef.get(), m_cellFixedRowDef.get(),
                                       m_cellFixedRowColDef.get()}) {
        cell->SetGrid(this);
        cell->SetTextClr(RefOf(palette.color(QPalette::WindowText)));
        cell->SetBackClr(RefOf(palette.color(QPalette::Button)));
    }
    m_cellDefault->SetBackClr(RefOf(palette.color(QPalette::Base)));
    RememberSystemColours(palette);
}

void CGridModel::RememberSystemColours(const QPalette& palette) {
    m_crWindowText = RefOf(palette.color(QPalette::WindowText));
    m_crWindowColour = RefOf(palette.color(QPalette::Base));
    m_crShadow = RefOf(palette.color(QPalette::Dark));
}

void CGridModel::OnSysColorChange(const QPalette& palette) {
    for (CDataGridDefaultCell* cell : {m_cellDefault.get(), m_cellFixedColDef.get(), m_cellFixedRowDef.get(),
                                       m_cellFixedRowColDef.get()}) {
        if (cell->GetTextClr() == m_crWindowText)
            cell->SetTextClr(RefOf(palette.color(QPalette::WindowText)));
        if (cell->GetBackClr() == m_crWindowColour)
            cell->SetBackClr(RefOf(palette.color(QPalette::Base)));
    }
    if (m_crGridBkColour == m_crShadow)
        m_crGridBkColour = RefOf(palette.color(QPalette::Dark));
    RememberSystemColours(palette);
    Refresh();
}

CGridModel::~CGridModel() {
    for (Row& row : m_RowData)
        for (CDataGridCellBase*& cell : row) {
            delete cell;
            cell = nullptr;
        }
}

// ---- counts ----

CDataGridCellBase* CGridModel::CreateCell(int row, int col) {
    auto* cell = new CDataGridCell;
    cell->SetGrid(this);
    cell->SetCoords(row, col);
    UINT state = 0;
    if (col < m_nFixedCols)
        state |= DGIS_FIXED | DGIS_FIXEDCOL;
    if (row < m_nFixedRows)
        state |= DGIS_FIXED | DGIS_FIXEDROW;
    cell->SetState(state);
    cell->SetFormat(cell->GetDefaultCell() ? cell->GetDefaultCell()->GetFormat() : kDefaultFormat);
    return cell;
}

void CGridModel::DestroyCell(int row, int col) {
    SetItemState(row, col, 0);
    delete m_RowData[row][col];
    m_RowData[row][col] = nullptr;
}

bool CGridModel::SetRowCount(int rows) {
    if (rows < 0 || rows == m_nRows)
        return rows >= 0;
    if (rows < m_nFixedRows)
        m_nFixedRows = rows;
    if (m_idCurrentCell.row >= rows)
        SetFocusCell(-1, -1);
    if (rows < m_nRows) {
        for (int row = rows; row < m_nRows; ++row)
            for (int col = 0; col < m_nCols; ++col)
                DestroyCell(row, col);
        m_RowData.resize(rows);
        m_arRowHeights.resize(rows);
        m_nRows = rows;
    } else {
        const int height = m_cellDefault->GetHeight();
        for (int row = m_nRows; row < rows; ++row) {
            m_RowData.emplace_back(m_nCols, nullptr);
            m_arRowHeights.push_back(height);
            m_nRows = row + 1;
            for (int col = 0; col < m_nCols; ++col)
                m_RowData[row][col] = CreateCell(row, col);
        }
    }
    SetModified();
    ResetScrollBars();
    Refresh();
    return true;
}

bool CGridModel::SetColumnCount(int cols) {
    if (cols < 0 || cols == m_nCols)
        return cols >= 0;
    if (cols < m_nFixedCols)
        m_nFixedCols = cols;
    if (m_idCurrentCell.col >= cols)
        SetFocusCell(-1, -1);
    if (cols < m_nCols) {
        for (int row = 0; row < m_nRows; ++row) {
            for (int col = cols; col < m_nCols; ++col)
                DestroyCell(row, col);
            m_RowData[row].resize(cols);
        }
        m_arColWidths.resize(cols);
    } else {
        const int width = m_cellFixedColDef->GetWidth();
        for (int row = 0; row < m_nRows; ++row) {
            m_RowData[row].resize(cols, nullptr);
        }
        m_arColWidths.resize(cols, width);
        const int old = m_nCols;
        m_nCols = cols;
        for (int row = 0; row < m_nRows; ++row)
            for (int col = old; col < cols; ++col)
                m_RowData[row][col] = CreateCell(row, col);
    }
    m_nCols = cols;
    SetModified();
    ResetScrollBars();
    Refresh();
    return true;
}

bool CGridModel::SetFixedRowCount(int fixedRows) {
    if (fixedRows < 0)
        return false;
    if (fixedRows == m_nFixedRows)
        return true;
    ClearPreviousSelection();
    ResetSelection();
    if (fixedRows > m_nRows && !SetRowCount(fixedRows))
        return false;
    for (int row = 0; row < m_nRows; ++row) {
        const bool wasFixed = row < m_nFixedRows;
        const bool isFixed = row < fixedRows;
        if (wasFixed == isFixed)
            continue;
        for (int col = 0; col < m_nCols; ++col) {
            if (isFixed)
                SetCellBits(row, col, DGIS_FIXED | DGIS_FIXEDROW);
            else
                ClearCellBits(row, col, col < m_nFixedCols ? DGIS_FIXEDROW : DGIS_FIXED | DGIS_FIXEDROW);
        }
    }
    m_nFixedRows = fixedRows;
    Refresh();
    return true;
}

bool CGridModel::SetFixedColumnCount(int fixedCols) {
    if (fixedCols < 0)
        return false;
    if (fixedCols == m_nFixedCols)
        return true;
    ClearPreviousSelection();
    ResetSelection();
    if (fixedCols > m_nCols && !SetColumnCount(fixedCols))
        return false;
    if (m_idCurrentCell.col < fixedCols)
        SetFocusCell(-1, -1);
    for (int col = 0; col < m_nCols; ++col) {
        const bool wasFixed = col < m_nFixedCols;
        const bool isFixed = col < fixedCols;
        if (wasFixed == isFixed)
            continue;
        for (int row = 0; row < m_nRows; ++row) {
            if (isFixed)
                SetCellBits(row, col, DGIS_FIXED | DGIS_FIXEDCOL);
            else
                ClearCellBits(row, col, row < m_nFixedRows ? DGIS_FIXEDCOL : DGIS_FIXED | DGIS_FIXEDCOL);
        }
    }
    m_nFixedCols = fixedCols;
    Refresh();
    return true;
}

bool CGridModel::DeleteRow(int row) {
    if (row < 0 || row >= m_nRows)
        return false;
    ClearPreviousSelection();
    ResetSelection();
    for (int col = 0; col < m_nCols; ++col)
        DestroyCell(row, col);
    m_RowData.erase(m_RowData.begin() + row);
    m_arRowHeights.erase(m_arRowHeights.begin() + row);
    --m_nRows;
    if (row < m_nFixedRows)
        --m_nFixedRows;
    if (m_idCurrentCell.row == row)
        m_idCurrentCell = {};
    else if (m_idCurrentCell.row > row)
        --m_idCurrentCell.row;
    ResetScrollBars();
    SetSortColumn(-1);
    SetModified();
    return true;
}

void CGridModel::DeleteNonFixedRows() {
    ClearPreviousSelection();
    ResetSelection();
    for (int row = m_nRows - 1; row >= m_nFixedRows; --row)
        DeleteRow(row);
}

void CGridModel::DeleteAllItems() {
    ClearPreviousSelection();
    ResetSelection();
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col)
            DestroyCell(row, col);
    m_RowData.clear();
    m_arRowHeights.clear();
    m_arColWidths.clear();
    m_nRows = m_nCols = m_nFixedRows = m_nFixedCols = 0;
    ResetScrollBars();
    SetModified();
}

// ---- cells ----

CDataGridCellBase* CGridModel::GetCell(int row, int col) const {
    return IsValid(row, col) ? m_RowData[row][col] : nullptr;
}

bool CGridModel::SetCell(int row, int col, CDataGridCellBase* cell) {
    if (!IsValid(row, col) || !cell)
        return false;
    CDataGridCellBase*& place = m_RowData[row][col];
    if (place != cell) {
        // The old cell leaves the selection before it goes.
        SetItemState(row, col, 0);
        delete place;
        place = cell;
    }
    cell->SetCoords(row, col);
    return true;
}

QString CGridModel::GetItemText(int row, int col) const {
    const CDataGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetText() : QString();
}

bool CGridModel::SetItemText(int row, int col, const QString& text) {
    CDataGridCellBase* cell = GetCell(row, col);
    if (!cell)
        return false;
    cell->SetText(text);
    SetModified(true, row, col);
    return true;
}

UINT CGridModel::GetItemState(int row, int col) const {
    const CDataGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetState() : 0;
}

bool CGridModel::SetItemState(int row, int col, UINT state) {
    CDataGridCellBase* cell = GetCell(row, col);
    if (!cell)
        return false;
    const bool selected = IsCellSelected(row, col);
    if ((state & DGIS_SELECTED) && !selected)
        m_SelectedCellMap[Key(row, col)] = {row, col};
    else if (!(state & DGIS_SELECTED) && selected)
        m_SelectedCellMap.erase(Key(row, col));
    cell->SetState(state);
    return true;
}

bool CGridModel::SetItemFormat(int row, int col, UINT format) {
    CDataGridCellBase* cell = GetCell(row, col);
    if (cell)
        cell->SetFormat(format);
    return cell != nullptr;
}

bool CGridModel::SetItemBkColour(int row, int col, COLORREF colour) {
    CDataGridCellBase* cell = GetCell(row, col);
    if (cell)
        cell->SetBackClr(colour);
    return cell != nullptr;
}

bool CGridModel::SetItemFgColour(int row, int col, COLORREF colour) {
    CDataGridCellBase* cell = GetCell(row, col);
    if (cell)
        cell->SetTextClr(colour);
    return cell != nullptr;
}

void CGridModel::SetModified(bool modified, int row, int col) {
    if (col < 0 || col == m_nSortColumn)
        SetSortColumn(-1);
    if (IsValid(row, col)) {
        CDataGridCellBase* cell = m_RowData[row][col];
        if (modified)
            cell->SetState(cell->GetState() | DGIS_MODIFIED);
        else
            cell->SetState(cell->GetState() & ~DGIS_MODIFIED);
    }
    m_bModified = modified || m_bModified;
    if (!modified && row < 0)
        m_bModified = false;
}

bool CGridModel::IsValid(const CCellRange& range) const {
    return range.IsValid() && range.maxRow < m_nRows && range.maxCol < m_nCols;
}

bool CGridModel::IsCellEditable(int row, int col) const {
    return m_bEditable && IsValid(row, col) && !(GetItemState(row, col) & DGIS_READONLY);
}

bool CGridModel::IsCellSelected(int row, int col) const {
    return m_bEnableSelection && (GetItemState(row, col) & DGIS_SELECTED);
}

CDataGridDefaultCell* CGridModel::GetDefaultCell(bool fixedRow, bool fixedCol) const {
    if (fixedRow && fixedCol)
        return m_cellFixedRowColDef.get();
    if (fixedRow)
        return m_cellFixedRowDef.get();
    if (fixedCol)
        return m_cellFixedColDef.get();
    return m_cellDefault.get();
}

void CGridModel::SetFont(const QFont& font) {
    for (CDataGridDefaultCell* cell :
         {m_cellDefault.get(), m_cellFixedColDef.get(), m_cellFixedRowDef.get(), m_cellFixedRowColDef.get()})
        cell->SetFont(&font);
    Refresh();
}

void CGridModel::ClearCellBits(int row, int col, UINT bits) {
    if (CDataGridCellBase* cell = GetCell(row, col))
        SetItemState(row, col, cell->GetState() & ~bits);
}

void CGridModel::SetCellBits(int row, int col, UINT bits) {
    if (CDataGridCellBase* cell = GetCell(row, col))
        SetItemState(row, col, cell->GetState() | bits);
}

// ---- sizes and layout ----

int CGridModel::GetRowHeight(int row) const {
    return row >= 0 && row < m_nRows ? m_arRowHeights[row] : -1;
}

int CGridModel::GetColumnWidth(int col) const {
    return col >= 0 && col < m_nCols ? m_arColWidths[col] : -1;
}

bool CGridModel::SetRowHeight(int row, int height) {
    if (row < 0 || row >= m_nRows || height < 0)
        return false;
    m_arRowHeights[row] = height;
    ResetScrollBars();
    return true;
}

bool CGridModel::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_nCols || width < 0)
        return false;
    m_arColWidths[col] = width;
    ResetScrollBars();
    return true;
}

int CGridModel::GetFixedRowHeight() const {
    return Sum(m_arRowHeights, 0, m_nFixedRows);
}
int CGridModel::GetFixedColumnWidth() const {
    return Sum(m_arColWidths, 0, m_nFixedCols);
}
int CGridModel::GetVirtualHeight() const {
    return Sum(m_arRowHeights, 0, m_nRows);
}
int CGridModel::GetVirtualWidth() const {
    return Sum(m_arColWidths, 0, m_nCols);
}

void CGridModel::SetScrollPos(int horizontal, int vertical) {
    m_nHScrollPos = std::max(horizontal, 0);
    m_nVScrollPos = std::max(vertical, 0);
}

CCellID CGridModel::GetTopleftNonFixedCell() const {
    CCellID cell{m_nFixedRows, m_nFixedCols};
    int sum = 0;
    if (m_nVScrollPos > 0) {
        int row = m_nFixedRows;
        while (row < m_nRows - 1 && sum < m_nVScrollPos)
            sum += m_arRowHeights[row++];
        cell.row = row;
    }
    if (m_nHScrollPos > 0) {
        sum = 0;
        int col = m_nFixedCols;
        int before = 0;
        while (col < m_nCols && sum < m_nHScrollPos) {
            before = sum;
            sum += m_arColWidths[col++];
        }
        // A column scrolled off only in part stays the first visible one.
        cell.col = before - m_nHScrollPos < 0 && sum != m_nHScrollPos ? col - 1 : col;
    }
    return cell;
}

int CGridModel::HPartialOffset() const {
    if (m_nHScrollPos <= 0)
        return 0;
    int sum = 0;
    int before = 0;
    for (int col = m_nFixedCols; col < m_nCols && sum < m_nHScrollPos; ++col) {
        before = sum;
        sum += m_arColWidths[col];
    }
    return sum == m_nHScrollPos ? 0 : std::min(before - m_nHScrollPos, 0);
}

CCellRange CGridModel::GetVisibleNonFixedCellRange() const {
    const CCellID topLeft = GetTopleftNonFixedCell();
    int bottom = GetFixedRowHeight();
    int row = topLeft.row;
    int lastRow = topLeft.row - 1;
    for (; row < m_nRows && bottom < m_clientSize.height(); ++row) {
        lastRow = row;
        bottom += m_arRowHeights[row];
    }
    int right = GetFixedColumnWidth() + HPartialOffset();
    int lastCol = topLeft.col - 1;
    for (int col = topLeft.col; col < m_nCols && right < m_clientSize.width(); ++col) {
        lastCol = col;
        right += m_arColWidths[col];
    }
    return {topLeft.row, topLeft.col, std::min(lastRow, m_nRows - 1), std::min(lastCol, m_nCols - 1)};
}

bool CGridModel::GetCellOrigin(int row, int col, QPoint& origin) const {
    if (!IsValid(row, col))
        return false;
    const CCellID topLeft = GetTopleftNonFixedCell();
    int x;
    if (col < m_nFixedCols) {
        x = Sum(m_arColWidths, 0, col);
    } else {
        if (col < topLeft.col)
            return false;
        x = GetFixedColumnWidth() + HPartialOffset() + Sum(m_arColWidths, topLeft.col, col);
    }
    int y;
    if (row < m_nFixedRows) {
        y = Sum(m_arRowHeights, 0, row);
    } else {
        if (row < topLeft.row)
            return false;
        y = GetFixedRowHeight() + Sum(m_arRowHeights, topLeft.row, row);
    }
    origin = {x, y};
    return true;
}

bool CGridModel::GetCellRect(int row, int col, QRect& rect) const {
    QPoint origin;
    if (!GetCellOrigin(row, col, origin))
        return false;
    rect = QRect(origin, QSize(m_arColWidths[col], m_arRowHeights[row]));
    return true;
}

CCellID CGridModel::GetCellFromPt(QPoint point, bool allowFixed) const {
    CCellID cell;
    const CCellID topLeft = GetTopleftNonFixedCell();
    if (!allowFixed && !IsValid(topLeft))
        return cell;
    if (point.x() < 0 || point.y() < 0)
        return cell;
    const int fixedWidth = GetFixedColumnWidth();
    if (point.x() < fixedWidth) {
        if (allowFixed) {
            int x = 0;
            for (int col = 0; col < m_nFixedCols; ++col) {
                x += m_arColWidths[col];
                if (point.x() < x) {
                    cell.col = col;
                    break;
                }
            }
        }
    } else {
        int x = fixedWidth + HPartialOffset();
        for (int col = topLeft.col; col < m_nCols; ++col) {
            x += m_arColWidths[col];
            if (point.x() < x) {
                cell.col = col;
                break;
            }
        }
    }
    const int fixedHeight = GetFixedRowHeight();
    if (point.y() < fixedHeight) {
        if (allowFixed) {
            int y = 0;
            for (int row = 0; row < m_nFixedRows; ++row) {
                y += m_arRowHeights[row];
                if (point.y() < y) {
                    cell.row = row;
                    break;
                }
            }
        }
    } else {
        int y = fixedHeight;
        for (int row = topLeft.row; row < m_nRows; ++row) {
            y += m_arRowHeights[row];
            if (point.y() < y) {
                cell.row = row;
                break;
            }
        }
    }
    if (cell.row < 0 || cell.col < 0)
        return {};
    return cell;
}

bool CGridModel::IsCellVisible(int row, int col) const {
    const CCellRange visible = GetVisibleNonFixedCellRange();
    const bool rowVisible = row < m_nFixedRows || (row >= visible.minRow && row <= visible.maxRow);
    const bool colVisible = col < m_nFixedCols || (col >= visible.minCol && col <= visible.maxCol);
    return IsValid(row, col) && rowVisible && colVisible;
}

CGridModel::ScrollBars CGridModel::ComputeScrollBars(int vBarWidth, int hBarHeight) const {
    ScrollBars bars;
    const int fixedHeight = GetFixedRowHeight();
    const int fixedWidth = GetFixedColumnWidth();
    const int width = m_clientSize.width();
    int bottom = m_clientSize.height();
    if (width <= fixedWidth || bottom <= fixedHeight)
        return bars;
    const int scrollHeight = GetVirtualHeight() - fixedHeight;
    const int scrollWidth = GetVirtualWidth() - fixedWidth;
    int availableHeight = bottom - fixedHeight;
    const int availableWidth =
        availableHeight < scrollHeight ? width - vBarWidth - fixedWidth : width - fixedWidth;
    if (availableWidth < scrollWidth)
        availableHeight -= hBarHeight;
    bars.vertical = availableHeight < scrollHeight;
    bars.vMax = bars.vertical ? scrollHeight - 1 : 0;
    bars.horizontal = availableWidth < scrollWidth;
    bars.hMax = bars.horizontal ? scrollWidth : 0;
    bars.hPage = bars.hMax > 0 ? availableWidth : 0;
    bars.vPage = bars.vMax > 0 ? availableHeight : 0;
    return bars;
}

bool CGridModel::AutoSizeColumn(int col, UINT style, bool resetScrollBars) {
    if (col < 0 || col >= m_nCols || m_arColWidths[col] == 0)
        return false;
    if (style == 0)
        style = m_nAutoSizeColumnStyle;
    const int first = style & kAutoSizeHeader ? 0 : m_nFixedRows;
    const int last = style & kAutoSizeData ? m_nRows - 1 : m_nFixedRows - 1;
    int width = 0;
    for (int row = first; row <= last; ++row)
        if (const CDataGridCellBase* cell = GetCell(row, col))
            width = std::max(width, cell->GetCellExtent().width());
    m_arColWidths[col] = width;
    if (resetScrollBars)
        ResetScrollBars();
    return true;
}

bool CGridModel::AutoSizeRow(int row, bool resetScrollBars) {
    if (row < 0 || row >= m_nRows || m_arRowHeights[row] == 0)
        return false;
    int height = 0;
    for (int col = 0; col < m_nCols; ++col)
        if (const CDataGridCellBase* cell = GetCell(row, col))
            height = std::max(height, cell->GetCellExtent().height());
    m_arRowHeights[row] = height;
    if (resetScrollBars)
        ResetScrollBars();
    return true;
}

void CGridModel::AutoSizeColumns() {
    for (int col = 0; col < m_nCols; ++col)
        if (m_arColWidths[col] > 0)
            AutoSizeColumn(col, 0, false);
    ResetScrollBars();
}

int CGridModel::LineScrollPos(bool vertical, bool forward, int maximum) const {
    const CCellID topLeft = GetTopleftNonFixedCell();
    const std::vector<int>& sizes = vertical ? m_arRowHeights : m_arColWidths;
    const int count = vertical ? m_nRows : m_nCols;
    const int fixed = vertical ? m_nFixedRows : m_nFixedCols;
    const int first = vertical ? topLeft.row : topLeft.col;
    const int pos = vertical ? m_nVScrollPos : m_nHScrollPos;
    // Steps count from where the first shown row starts: a row scrolled past only in part is not shown,
    // so after a page step or a thumb drag the top row's start lies beyond the position. Columns show in
    // part: the partial offset says how much of the first one is scrolled off.
    const int base = vertical ? Sum(sizes, fixed, first) : pos;
    const int offset = vertical ? 0 : HPartialOffset();
    if (forward) {
        if (pos >= maximum)
            return pos;
        int index = first;
        while (index < count && sizes[index] == 0)
            ++index;
        if (index >= count)
            return pos;
        return base + sizes[index] + (index == first ? offset : 0);
    }
    if (pos <= 0)
        return pos;
    if (offset < 0)
        return std::max(pos + offset, 0);
    int index = first - 1;
    while (index >= fixed && sizes[index] == 0)
        --index;
    if (index < fixed)
        return pos;
    return std::max(base - sizes[index], 0);
}

std::vector<std::pair<int, int>> CGridModel::PrintPageRows(int height) const {
    std::vector<std::pair<int, int>> pages;
    int first = -1;
    int last = -1;
    int used = 0;
    for (int row = m_nFixedRows; row < m_nRows; ++row) {
        const int rowHeight = m_arRowHeights[row];
        if (rowHeight <= 0)
            continue;
        if (first >= 0 && used + rowHeight > height) {
            pages.emplace_back(first, last);
            first = -1;
            used = 0;
        }
        if (first < 0)
            first = row;
        last = row;
        used += rowHeight;
    }
    if (first >= 0)
        pages.emplace_back(first, last);
    if (pages.empty())
        pages.emplace_back(m_nFixedRows, m_nFixedRows - 1);
    return pages;
}

// ---- drag and drop ----

DWORD CGridModel::OnDragEnter(const QMimeData*, DWORD, QPoint) {
    return DROPEFFECT_NONE;
}

DWORD CGridModel::OnDragOver(const QMimeData*, DWORD keyState, QPoint point) {
    const CCellID cell = GetCellFromPt(point);
    if (!IsValid(cell) || IsCellFixed(cell.row, cell.col)) {
        OnDragLeave();
        return DROPEFFECT_NONE;
    }
    if (!(cell == m_LastDragOverCell)) {
        OnDragLeave();
        m_LastDragOverCell = cell;
        SetCellBits(cell.row, cell.col, DGIS_DROPHILITED);
        RedrawCell(cell.row, cell.col);
    }
    return keyState & MK_CONTROL ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CGridModel::OnDragLeave() {
    const CCellID last = m_LastDragOverCell;
    m_LastDragOverCell = {};
    if (!IsValid(last))
        return;
    ClearCellBits(last.row, last.col, DGIS_DROPHILITED);
    RedrawCell(last.row, last.col);
}

BOOL CGridModel::OnDrop(const QMimeData*, DWORD, QPoint) {
    m_MouseMode = MOUSE_NOTHING;
    OnDragLeave();
    return FALSE;
}

// ---- focus and selection ----

CCellID CGridModel::SetFocusCell(int row, int col) {
    const CCellID previous = m_idCurrentCell;
    if (row != -1 && row < m_nFixedRows)
        row = m_nFixedRows;
    if (col != -1 && col < m_nFixedCols)
        col = m_nFixedCols;
    const CCellID cell{row, col};
    if (cell == previous)
        return previous;
    if (IsValid(previous)) {
        ClearCellBits(previous.row, previous.col, DGIS_FOCUSED);
        RedrawCell(previous.row, previous.col);
    }
    m_idCurrentCell = cell;
    if (IsValid(cell)) {
        SetCellBits(cell.row, cell.col, DGIS_FOCUSED);
        RedrawCell(cell.row, cell.col);
    }
    return previous;
}

void CGridModel::SetSelectedRange(const CCellRange& given, bool /*forceRepaint*/, bool selectCells) {
    if (!m_bEnableSelection)
        return;
    CCellRange range = given;
    const auto raise = [](int& value, int first) {
        if (value >= 0 && value < first)
            value = first;
    };
    raise(range.minRow, m_nFixedRows);
    raise(range.maxRow, m_nFixedRows);
    raise(range.minCol, m_nFixedCols);
    raise(range.maxCol, m_nFixedCols);

    if (selectCells) {
        const std::map<DWORD, CCellID> old = m_SelectedCellMap;
        for (const auto& [key, cell] : old) {
            if (!IsValid(cell)) {
                m_SelectedCellMap.erase(key);
                continue;
            }
            ClearCellBits(cell.row, cell.col, DGIS_SELECTED);
            if (!range.InRange(cell.row, cell.col))
                RedrawCell(cell.row, cell.col);
        }
        for (const auto& [key, cell] : m_PrevSelectedCellMap)
            if (IsValid(cell))
                SetCellBits(cell.row, cell.col, DGIS_SELECTED);
    }
    if (range.minRow < 0 || range.minCol < 0)
        return;
    for (int row = range.minRow; row <= range.maxRow && row < m_nRows; ++row)
        for (int col = range.minCol; col <= range.maxCol && col < m_nCols; ++col) {
            const UINT before = GetItemState(row, col);
            if (selectCells)
                SetCellBits(row, col, DGIS_SELECTED);
            else
                ClearCellBits(row, col, DGIS_SELECTED);
            if (GetItemState(row, col) != before)
                RedrawCell(row, col);
        }
}

void CGridModel::ResetSelection() {
    SetSelectedRange({-1, -1, -1, -1});
    SetFocusCell(-1, -1);
}

void CGridModel::SelectAllCells() {
    if (m_bEnableSelection)
        SetSelectedRange({m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1});
}

void CGridModel::SelectRows(CCellID cell) {
    if (!m_bEnableSelection || !IsValid(m_SelectionStartCell))
        return;
    SetSelectedRange({std::min(m_SelectionStartCell.row, cell.row), m_nFixedCols,
                      std::max(m_SelectionStartCell.row, cell.row), m_nCols - 1});
}

void CGridModel::SelectColumns(CCellID cell) {
    if (!m_bEnableSelection || !IsValid(m_SelectionStartCell))
        return;
    SetSelectedRange({m_nFixedRows, std::min(m_SelectionStartCell.col, cell.col), m_nRows - 1,
                      std::max(m_SelectionStartCell.col, cell.col)});
}

void CGridModel::SelectCells(CCellID cell) {
    if (!m_bEnableSelection || !IsValid(m_SelectionStartCell) || !IsValid(cell))
        return;
    SetSelectedRange(
        {std::min(m_SelectionStartCell.row, cell.row), std::min(m_SelectionStartCell.col, cell.col),
         std::max(m_SelectionStartCell.row, cell.row), std::max(m_SelectionStartCell.col, cell.col)});
}

void CGridModel::OnSelecting(CCellID cell) {
    switch (m_MouseMode) {
    case MOUSE_SELECT_ALL:
        SelectAllCells();
        break;
    case MOUSE_SELECT_COL:
        SelectColumns(cell);
        break;
    case MOUSE_SELECT_ROW:
        SelectRows(cell);
        break;
    case MOUSE_SELECT_CELLS:
        SelectCells(cell);
        break;
    default:
        break;
    }
}

CCellRange CGridModel::GetSelectedCellRange() const {
    if (m_SelectedCellMap.empty())
        return {};
    CCellRange range{m_nRows, m_nCols, -1, -1};
    for (const auto& [key, cell] : m_SelectedCellMap) {
        range.minRow = std::min(range.minRow, cell.row);
        range.minCol = std::min(range.minCol, cell.col);
        range.maxRow = std::max(range.maxRow, cell.row);
        range.maxCol = std::max(range.maxCol, cell.col);
    }
    return range;
}

void CGridModel::RememberSelection(bool keep) {
    m_PrevSelectedCellMap.clear();
    if (keep)
        m_PrevSelectedCellMap = m_SelectedCellMap;
}

void CGridModel::ClearListMode() {
    ClearPreviousSelection();
    ResetSelection();
    SetSortColumn(-1);
    m_bListMode = false;
    m_bFixedColumnSelection = false;
    Refresh();
}

void CGridModel::DisableSelection() {
    ClearPreviousSelection();
    ResetSelection();
    m_bEnableSelection = false;
    for (const auto& [key, cell] : m_SelectedCellMap)
        if (CDataGridCellBase* c = GetCell(cell.row, cell.col))
            c->SetState(c->GetState() & ~DGIS_SELECTED);
    m_SelectedCellMap.clear();
    m_idCurrentCell = {};
}

// ---- navigation ----

CCellID CGridModel::KeyTarget(int key, bool shift, bool ctrl, bool* passOn) const {
    if (passOn)
        *passOn = false;
    const CCellID from = m_idCurrentCell;
    CCellID to = from;
    if (!IsValid(from))
        return to;
    const auto nextRow = [&](int row) {
        for (int r = row + 1; r < m_nRows; ++r)
            if (m_arRowHeights[r] > 0)
                return r;
        return -1;
    };
    const auto previousRow = [&](int row) {
        for (int r = row - 1; r >= m_nFixedRows; --r)
            if (m_arRowHeights[r] > 0)
                return r;
        return -1;
    };
    const auto nextCol = [&](int col) {
        for (int c = col + 1; c < m_nCols; ++c)
            if (m_arColWidths[c] > 0)
                return c;
        return -1;
    };
    const auto previousCol = [&](int col) {
        for (int c = col - 1; c >= m_nFixedCols; --c)
            if (m_arColWidths[c] > 0)
                return c;
        return -1;
    };
    switch (key) {
    case VK_DOWN:
        if (const int r = nextRow(from.row); r >= 0)
            to.row = r;
        break;
    case VK_UP:
        if (const int r = previousRow(from.row); r >= 0)
            to.row = r;
        break;
    case VK_RIGHT:
        if (const int c = nextCol(from.col); c >= 0)
            to.col = c;
        break;
    case VK_LEFT:
        if (const int c = previousCol(from.col); c >= 0)
            to.col = c;
        break;
    case VK_TAB:
        if (!shift) {
            if (const int c = nextCol(from.col); c >= 0) {
                to.col = c;
            } else if (const int r = nextRow(from.row); r >= 0) {
                to = {r, m_nFixedCols};
                if (m_arColWidths[m_nFixedCols] == 0 && nextCol(m_nFixedCols) >= 0)
                    to.col = nextCol(m_nFixedCols);
            } else if (passOn) {
                *passOn = true;
            }
        } else {
            if (const int c = previousCol(from.col); c >= 0) {
                to.col = c;
            } else if (const int r = previousRow(from.row); r >= 0) {
                to = {r, m_nCols - 1};
            } else if (passOn) {
                *passOn = true;
            }
        }
        break;
    case VK_HOME:
        if (ctrl)
            to.row = m_nFixedRows;
        for (int c = m_nFixedCols; c < m_nCols; ++c)
            if (m_arColWidths[c] > 0) {
                to.col = c;
                break;
            }
        break;
    case VK_END:
        if (ctrl)
            for (int r = m_nRows - 1; r >= m_nFixedRows; --r)
                if (m_arRowHeights[r] > 0) {
                    to.row = r;
                    break;
                }
        for (int c = m_nCols - 1; c >= m_nFixedCols; --c)
            if (m_arColWidths[c] > 0) {
                to.col = c;
                break;
            }
        break;
    default:
        break;
    }
    return to;
}

// ---- sorting ----

void CGridModel::SetSortColumn(int col) {
    if (m_nSortColumn >= 0)
        RedrawCell(0, m_nSortColumn);
    m_nSortColumn = col;
    if (col >= 0)
        RedrawCell(0, col);
}

int CGridModel::CompareCellText(const CDataGridCellBase* cell1, const CDataGridCellBase* cell2, LPARAM) {
    if (!cell1 || !cell2)
        return 0;
    const QString a = cell1->GetText();
    const QString b = cell2->GetText();
    const int c = QString::compare(a, b, Qt::CaseSensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool CGridModel::SortItems(int col, bool ascending, LPARAM data) {
    SetSortColumn(col);
    m_bAscending = ascending;
    ClearPreviousSelection();
    ResetSelection();
    return SortItems(m_pfnCompare ? m_pfnCompare : &CompareCellText, col, ascending, data, m_nFixedRows, -1);
}

bool CGridModel::SortItems(GridCompareFunc compare, int col, bool ascending, LPARAM data, int low, int high) {
    if (col < 0 || col >= m_nCols)
        return false;
    if (high == -1)
        high = m_nRows - 1;
    if (low < 0)
        low = m_nFixedRows;
    if (low >= high)
        return false;
    SortRows(compare, col, ascending, data, low, high);
    return true;
}

void CGridModel::SortRows(GridCompareFunc compare, int col, bool ascending, LPARAM data, int low, int high) {
    const CDataGridCellBase* pivot = m_RowData[(low + high) / 2][col];
    int i = high;
    int j = low;
    while (i >= j) {
        if (ascending) {
            while (j < high && compare(m_RowData[j][col], pivot, data) < 0)
                ++j;
            while (i > low && compare(m_RowData[i][col], pivot, data) > 0)
                --i;
        } else {
            while (j < high && compare(m_RowData[j][col], pivot, data) > 0)
                ++j;
            while (i > low && compare(m_RowData[i][col], pivot, data) < 0)
                --i;
        }
        if (i >= j) {
            if (compare(m_RowData[j][col], m_RowData[i][col], data) != 0) {
                std::swap(m_RowData[j], m_RowData[i]);
                std::swap(m_arRowHeights[j], m_arRowHeights[i]);
            }
            --i;
            ++j;
        }
    }
    if (low < i)
        SortRows(compare, col, ascending, data, low, i);
    if (j < high)
        SortRows(compare, col, ascending, data, j, high);
}

// ---- editing and the clipboard ----

bool CGridModel::ValidateEdit(int row, int col, const QString& text) {
    CDataGridCellBase* cell = GetCell(row, col);
    return !cell || cell->ValidateEdit(text);
}

void CGridModel::OnEndEditCell(int row, int col, const QString& text) {
    CDataGridCellBase* cell = GetCell(row, col);
    if (!cell)
        return;
    const QString old = cell->GetText();
    if (text != old) {
        SetItemText(row, col, text);
        if (ValidateEdit(row, col, text) && SendMessageToParent(row, col, DGN_ENDLABELEDIT) >= 0) {
            SetModified(true, row, col);
            RedrawCell(row, col);
        } else {
            cell->SetText(old);
        }
    }
    cell->OnEndEdit();
}

bool CGridModel::SetItemTextChecked(int row, int col, const QString& text) {
    if (!IsCellEditable(row, col))
        return false;
    if (SendMessageToParent(row, col, DGN_BEGINLABELEDIT) < 0)
        return false;
    CDataGridCellBase* cell = GetCell(row, col);
    const QString old = cell->GetText();
    if (text == old)
        return true;
    SetItemText(row, col, text);
    if (ValidateEdit(row, col, text) && SendMessageToParent(row, col, DGN_ENDLABELEDIT) >= 0) {
        SetModified(true, row, col);
        RedrawCell(row, col);
        return true;
    }
    cell->SetText(old);
    return false;
}

std::optional<QString> CGridModel::CopyTextFromGrid() const {
    const CCellRange range = GetSelectedCellRange();
    if (!IsValid(range))
        return std::nullopt;
    QString text;
    for (int row = range.minRow; row <= range.maxRow; ++row) {
        if (m_arRowHeights[row] <= 0)
            continue;
        for (int col = range.minCol; col <= range.maxCol; ++col) {
            if (m_arColWidths[col] <= 0)
                continue;
            const CDataGridCellBase* cell = GetCell(row, col);
            if (cell && (cell->GetState() & DGIS_SELECTED))
                text += cell->GetText();
            if (col != range.maxCol)
                text += QLatin1Char('\t');
        }
        if (row != range.maxRow)
            text += QStringLiteral("\r\n");
    }
    return text;
}

void CGridModel::CutSelectedText() {
    if (!m_bEditable)
        return;
    const std::map<DWORD, CCellID> selected = m_SelectedCellMap;
    for (const auto& [key, cell] : selected)
        SetItemTextChecked(cell.row, cell.col, QString());
}

bool CGridModel::PasteTextToGrid(CCellID target, const QString& text, bool selectPastedCells) {
    if (!IsValid(target) || !m_bEditable || (GetItemState(target.row, target.col) & DGIS_READONLY))
        return false;
    QStringList lines = text.split(QLatin1Char('\n'));
    // Text copied from a grid or a spreadsheet ends its last line with a line break; that makes no row.
    if (lines.size() > 1 && lines.back().trimmed().isEmpty())
        lines.removeLast();
    int row = target.row;
    int maxRow = target.row;
    int maxCol = target.col;
    for (const QString& line : lines) {
        while (row < m_nRows && m_arRowHeights[row] <= 0)
            ++row;
        if (row >= m_nRows)
            break;
        int col = target.col;
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("[\t,]")));
        for (const QString& field : fields) {
            while (col < m_nCols && m_arColWidths[col] <= 0)
                ++col;
            if (col >= m_nCols)
                break;
            SetItemTextChecked(row, col, field.trimmed());
            ClearCellBits(row, col, DGIS_SELECTED);
            maxCol = std::max(maxCol, col);
            ++col;
        }
        maxRow = std::max(maxRow, row);
        ++row;
    }
    if (selectPastedCells) {
        SetSelectedRange({target.row, target.col, maxRow, maxCol}, true, true);
    } else {
        ResetSelection();
        Refresh();
    }
    return true;
}
