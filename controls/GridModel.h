// What the grid control stores and decides, without a window: rows and columns with their fixed headers,
// one cell per position, row heights and column widths, the focus cell and the selection, sorting, the
// checked editing path, the clipboard texts and the layout arithmetic that turns rows and columns into
// pixels for the scroll positions and client size the window gives it. CDataGrid (controls/DataGrid.h) is the
// window on top; the hooks below (redraw, scroll bars, notifications) are what it overrides.
//
// Thread: user-interface thread only.
#pragma once

#include "controls/DataGridCell.h"
#include "controls/ImageList.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// A cell position; (-1, -1) is no cell.
struct CCellID {
    int row = -1;
    int col = -1;
    bool operator==(const CCellID&) const = default;
};

// A block of cells (minRow, minCol) .. (maxRow, maxCol); all -1 is no range.
struct CCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
    bool IsValid() const {
        return minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && minRow <= maxRow &&
               minCol <= maxCol;
    }
    bool InRange(int row, int col) const {
        return row >= minRow && row <= maxRow && col >= minCol && col <= maxCol;
    }
    bool operator==(const CCellRange&) const = default;
};

// Notification codes the grid sends its parent with the row and column.
constexpr int DGN_SELCHANGING = -100;
constexpr int DGN_SELCHANGED = -101;
constexpr int NM_CLICK = -2;
constexpr int NM_DBLCLK = -3;
constexpr int NM_RCLICK = -5;
constexpr int DGN_BEGINLABELEDIT = -175;
constexpr int DGN_ENDLABELEDIT = -176;

// Mouse modes of the grid.
enum GridMouseMode {
    MOUSE_NOTHING = 0,
    MOUSE_SELECT_ALL = 1,
    MOUSE_SELECT_COL = 2,
    MOUSE_SELECT_ROW = 3,
    MOUSE_SELECT_CELLS = 4,
    MOUSE_OVER_ROW_DIVIDE = 6,
    MOUSE_SIZING_ROW = 7,
    MOUSE_OVER_COL_DIVIDE = 8,
    MOUSE_SIZING_COL = 9,
    MOUSE_PREPARE_EDIT = 10,
    MOUSE_PREPARE_DRAG = 11,
    MOUSE_DRAGGING = 12,
};

// Drop effects and the key state of drag and drop.
constexpr DWORD DROPEFFECT_NONE = 0x0;
constexpr DWORD DROPEFFECT_COPY = 0x1;
constexpr DWORD DROPEFFECT_MOVE = 0x2;
constexpr DWORD DROPEFFECT_LINK = 0x4;
constexpr DWORD DROPEFFECT_SCROLL = 0x80000000;
constexpr DWORD MK_LBUTTON = 0x01;
constexpr DWORD MK_RBUTTON = 0x02;
constexpr DWORD MK_SHIFT = 0x04;
constexpr DWORD MK_CONTROL = 0x08;
constexpr DWORD MK_MBUTTON = 0x10;

// What auto-sizing measures: the header rows, the data rows.
constexpr UINT kAutoSizeHeader = 0x1;
constexpr UINT kAutoSizeData = 0x2;

// Compares two cells for sorting: negative, 0 or positive.
using GridCompareFunc = int (*)(const CDataGridCellBase* cell1, const CDataGridCellBase* cell2, LPARAM data);

// Keys the navigation understands (the values of the platform's virtual keys).
constexpr int VK_TAB = 0x09;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;

class QMimeData;
class QPalette;
class QWidget;

class CGridModel {
public:
    CGridModel();
    virtual ~CGridModel();
    CGridModel(const CGridModel&) = delete;
    CGridModel& operator=(const CGridModel&) = delete;

    // ---- counts ----
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    bool SetRowCount(int rows);
    bool SetColumnCount(int cols);
    bool SetFixedRowCount(int fixedRows);
    bool SetFixedColumnCount(int fixedCols);
    bool DeleteRow(int row);
    void DeleteNonFixedRows();
    void DeleteAllItems();

    // ---- cells ----
    CDataGridCellBase* GetCell(int row, int col) const;
    // Puts cell (the grid takes it) in place of the one at (row, col), which goes; false outside the grid.
    bool SetCell(int row, int col, CDataGridCellBase* cell);
    QString GetItemText(int row, int col) const;
    bool SetItemText(int row, int col, const QString& text);
    UINT GetItemState(int row, int col) const;
    // Keeps the selected-cell map in step with the selected bit.
    bool SetItemState(int row, int col, UINT state);
    bool SetItemFormat(int row, int col, UINT format);
    bool SetItemBkColour(int row, int col, COLORREF colour);
    bool SetItemFgColour(int row, int col, COLORREF colour);
    // Marks a cell (or, with -1s, the grid) modified; a change in the sort column ends the sort.
    void SetModified(bool modified = true, int row = -1, int col = -1);
    bool GetModified() const { return m_bModified; }
    bool IsValid(int row, int col) const { return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols; }
    bool IsValid(const CCellID& cell) const { return IsValid(cell.row, cell.col); }
    bool IsValid(const CCellRange& range) const;
    bool IsCellEditable(int row, int col) const;
    bool IsCellSelected(int row, int col) const;
    bool IsCellFixed(int row, int col) const { return row < m_nFixedRows || col < m_nFixedCols; }
    CDataGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const;
    // Gives the font to the four default cells, which measure their sizes from it.
    void SetFont(const QFont& font);
    // The pictures cells show by their image index; not owned, null for none.
    void SetImageList(const CImageList* list) { m_pImageList = list; }
    const CImageList* GetImageList() const { return m_pImageList; }

    // ---- sizes and layout ----
    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    bool SetRowHeight(int row, int height);
    bool SetColumnWidth(int col, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    int GetVirtualHeight() const;
    int GetVirtualWidth() const;
    // The window tells the model its client size and scroll positions (pixels from the first scrollable
    // row and column).
    void SetClientSize(QSize size) { m_clientSize = size; }
    QSize ClientSize() const { return m_clientSize; }
    void SetScrollPos(int horizontal, int vertical);
    int HScrollPos() const { return m_nHScrollPos; }
    int VScrollPos() const { return m_nVScrollPos; }
    int HPartialOffset() const;
    // The first scrollable cell shown; the visible scrollable range; pixels of a cell.
    CCellID GetTopleftNonFixedCell() const;
    CCellRange GetVisibleNonFixedCellRange() const;
    bool GetCellOrigin(int row, int col, QPoint& origin) const;
    bool GetCellRect(int row, int col, QRect& rect) const;
    CCellID GetCellFromPt(QPoint point, bool allowFixed = true) const;
    bool IsCellVisible(int row, int col) const;
    // Scroll bars the content needs in the client area (scroll bar sizes given), with their maxima.
    struct ScrollBars {
        bool horizontal = false;
        bool vertical = false;
        int hMax = 0;
        int vMax = 0;
        int hPage = 0;
        int vPage = 0;
    };
    ScrollBars ComputeScrollBars(int vBarWidth, int hBarHeight) const;
    // Sizes a column to its widest cell among the header rows (style bit 1), the data rows (bit 2) or both;
    // style 0 takes the grid's auto-size style. False for a column that does not exist or is hidden.
    bool AutoSizeColumn(int col, UINT style = 0, bool resetScrollBars = true);
    // Sizes a row to its highest cell.
    bool AutoSizeRow(int row, bool resetScrollBars = true);
    // Every column that is not hidden, with the grid's style.
    void AutoSizeColumns();
    void SetAutoSizeStyle(UINT style) { m_nAutoSizeColumnStyle = style; }
    UINT GetAutoSizeStyle() const { return m_nAutoSizeColumnStyle; }
    // The scroll position one line step leads to: down by the whole height of the top row (rows of height
    // 0 stepped over), up by the row above it; right so far that the next column's left edge lands on the
    // fixed columns, left back to a partly hidden first column's start or by the whole column before it.
    // A step forward only from below maximum; never below 0.
    int LineScrollPos(bool vertical, bool forward, int maximum) const;
    // The printed pages: first and last scrollable row of each page when a page holds height pixels of rows
    // under the fixed rows. Only whole rows go on a page (one taller than a page gets a page of its own);
    // rows of height 0 are not printed. A grid without such rows prints one page of headings.
    std::vector<std::pair<int, int>> PrintPageRows(int height) const;

    // ---- behaviour flags ----
    void SetEditable(bool on) { m_bEditable = on; }
    bool IsEditable() const { return m_bEditable; }
    void EnableSelection(bool on) { m_bEnableSelection = on; }
    bool IsSelectable() const { return m_bEnableSelection; }
    void SetFixedColumnSelection(bool on) { m_bFixedColumnSelection = on; }
    void SetFixedRowSelection(bool on) { m_bFixedRowSelection = on; }
    void SetHeaderSort(bool on) { m_bSortOnClick = on; }
    bool GetHeaderSort() const { return m_bSortOnClick; }
    void SetHandleTabKey(bool on) { m_bHandleTabKey = on; }
    bool GetHandleTabKey() const { return m_bHandleTabKey; }
    void SetRowResize(bool on) { m_bAllowRowResize = on; }
    void SetColumnResize(bool on) { m_bAllowColumnResize = on; }
    bool GetRowResize() const { return m_bAllowRowResize; }
    bool GetColumnResize() const { return m_bAllowColumnResize; }
    void EnableDragAndDrop(bool on) { m_bAllowDragAndDrop = on; }
    bool GetDragAndDrop() const { return m_bAllowDragAndDrop; }
    void EnableCellTips(bool on) { m_bCellTips = on; }
    bool GetCellTips() const { return m_bCellTips; }
    void SetCellTipTextClr(COLORREF colour) { m_crTTipFgClr = colour; }
    COLORREF GetCellTipTextClr() const { return m_crTTipFgClr; }
    void SetCellTipBackClr(COLORREF colour) { m_crTTipBkClr = colour; }
    COLORREF GetCellTipBackClr() const { return m_crTTipBkClr; }
    // The system colours changed: default text and window colours, and a grid background, that were the old
    // system ones become the new ones; colours the owner chose stay.
    void OnSysColorChange(const QPalette& palette);
    void SetGridBkColor(COLORREF colour) { m_crGridBkColour = colour; }
    COLORREF GetGridBkColor() const { return m_crGridBkColour; }
    COLORREF GetGridLineColor() const { return m_crGridLineColour; }

    // ---- focus and selection ----
    CCellID GetFocusCell() const { return m_idCurrentCell; }
    // Returns the previous focus cell. Rows and columns in the fixed area are raised to the first scrollable.
    CCellID SetFocusCell(int row, int col);
    void SetSelectedRange(const CCellRange& range, bool forceRepaint = false, bool selectCells = true);
    void ResetSelection();
    void SelectAllCells();
    void SelectRows(CCellID cell);
    void SelectColumns(CCellID cell);
    void SelectCells(CCellID cell);
    // Selects by the mouse mode, from the selection start cell to the given one.
    void OnSelecting(CCellID cell);
    CCellRange GetSelectedCellRange() const;
    int GetSelectedCount() const { return static_cast<int>(m_SelectedCellMap.size()); }
    void SetSelectionStart(CCellID cell) { m_SelectionStartCell = cell; }
    CCellID SelectionStart() const { return m_SelectionStartCell; }
    void SetMouseMode(int mode) { m_MouseMode = mode; }
    int MouseMode() const { return m_MouseMode; }
    // The selection before a Ctrl-drag began, kept to be added back.
    void RememberSelection(bool keep);
    // List mode off, selection and focus cleared, sort ended.
    void ClearListMode();
    // Selection off altogether, with the selection and focus cleared.
    void DisableSelection();

    // ---- navigation ----
    // The cell a navigation key leads to from the focus cell (arrows, Tab, Home, End); the focus cell itself
    // when the key leads nowhere. passOn is set when Tab leaves the grid's rows and the key goes on.
    CCellID KeyTarget(int key, bool shift, bool ctrl, bool* passOn = nullptr) const;

    // ---- sorting ----
    bool SortItems(int col, bool ascending, LPARAM data = 0);
    bool SortItems(GridCompareFunc compare, int col, bool ascending, LPARAM data = 0, int low = -1,
                   int high = -1);
    void SetCompareFunction(GridCompareFunc compare) { m_pfnCompare = compare; }
    static int CompareCellText(const CDataGridCellBase* cell1, const CDataGridCellBase* cell2, LPARAM data);
    int GetSortColumn() const { return m_nSortColumn; }
    bool GetSortAscending() const { return m_bAscending; }
    void SetSortColumn(int col);

    // ---- editing and the clipboard ----
    // Ends an edit of (row, col) with text: kept when the cell validates it and the parent does not refuse
    // it.
    void OnEndEditCell(int row, int col, const QString& text);
    bool ValidateEdit(int row, int col, const QString& text);
    // A change on the user's behalf (cut, paste): only in an editable grid and a cell that is not read-only.
    bool SetItemTextChecked(int row, int col, const QString& text);
    // The selected cells' texts, tab between columns and CR LF between rows of the selection's range (cells
    // not selected give empty fields); nothing when the range is not valid.
    std::optional<QString> CopyTextFromGrid() const;
    // Empties every selected cell through the checked path.
    void CutSelectedText();
    // Lines at "\n", fields at tab or comma, trimmed; from cell on, skipping hidden rows and columns.
    bool PasteTextToGrid(CCellID cell, const QString& text, bool selectPastedCells = true);

    // ---- drag and drop ----
    // Drag and drop of cell text is off in this program: nothing starts a drag, nothing is dropped. A drag
    // from elsewhere still shows which scrollable cell it is over (the drop-highlighted bit).
    virtual void OnBeginDrag() {}
    virtual DWORD OnDragEnter(const QMimeData* data, DWORD keyState, QPoint point);
    // Copy with Ctrl, else move, over a scrollable cell; no drop over a fixed cell or outside the cells.
    virtual DWORD OnDragOver(const QMimeData* data, DWORD keyState, QPoint point);
    virtual void OnDragLeave();
    virtual BOOL OnDrop(const QMimeData* data, DWORD dropEffect, QPoint point);
    CCellID LastDragOverCell() const { return m_LastDragOverCell; }

    // ---- hooks for the window ----
    virtual void RedrawCell(int /*row*/, int /*col*/) {}
    virtual void Refresh() {}
    virtual void ResetScrollBars() {}
    // Sends a notification to the parent; its answer (0 without a parent).
    virtual LRESULT SendMessageToParent(int /*row*/, int /*col*/, int /*code*/) { return 0; }
    // The window an in-place editor opens on (null without a window: nothing is edited then).
    virtual QWidget* EditParent() { return nullptr; }
    // An in-place editor ended with text and the key that ended it.
    virtual void OnEditorEnded(int row, int col, const QString& text, UINT key) {
        OnEndEditCell(row, col, text);
        (void)key;
    }
    // Creates and destroys the cell objects; the grid owns them.
    virtual CDataGridCellBase* CreateCell(int row, int col);
    virtual void DestroyCell(int row, int col);

protected:
    using Row = std::vector<CDataGridCellBase*>;
    std::vector<Row> m_RowData;
    std::vector<int> m_arRowHeights;
    std::vector<int> m_arColWidths;
    int m_MouseMode = MOUSE_NOTHING;
    CCellID m_LeftClickDownCell;

private:
    static DWORD Key(int row, int col) {
        return (static_cast<DWORD>(col) << 16) | (static_cast<DWORD>(row) & 0xFFFF);
    }
    void RememberSystemColours(const QPalette& palette);
    void ClearCellBits(int row, int col, UINT bits);
    void SetCellBits(int row, int col, UINT bits);
    void ClearPreviousSelection() { m_PrevSelectedCellMap.clear(); }
    void SortRows(GridCompareFunc compare, int col, bool ascending, LPARAM data, int low, int high);

    int m_nRows = 0;
    int m_nCols = 0;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;
    std::unique_ptr<CDataGridDefaultCell> m_cellDefault;
    std::unique_ptr<CDataGridDefaultCell> m_cellFixedColDef;
    std::unique_ptr<CDataGridDefaultCell> m_cellFixedRowDef;
    std::unique_ptr<CDataGridDefaultCell> m_cellFixedRowColDef;
    const CImageList* m_pImageList = nullptr;

    COLORREF m_crGridBkColour;
    // The system colours the defaults were taken from: window text, window, shadow.
    COLORREF m_crWindowText = 0;
    COLORREF m_crWindowColour = 0;
    COLORREF m_crShadow = 0;
    COLORREF m_crGridLineColour = RGB(192, 192, 192);
    bool m_bEditable = true;
    bool m_bModified = false;
    bool m_bAllowDragAndDrop = false;
    bool m_bEnableSelection = true;
    bool m_bFixedColumnSelection = true;
    bool m_bFixedRowSelection = true;
    bool m_bSortOnClick = false;
    bool m_bHandleTabKey = true;
    bool m_bCellTips = true;
    bool m_bAllowRowResize = true;
    bool m_bAllowColumnResize = true;
    bool m_bListMode = false;
    UINT m_nAutoSizeColumnStyle = kAutoSizeHeader | kAutoSizeData;
    COLORREF m_crTTipFgClr = CLR_DEFAULT;
    COLORREF m_crTTipBkClr = CLR_DEFAULT;
    CCellID m_LastDragOverCell;

    QSize m_clientSize;
    int m_nHScrollPos = 0;
    int m_nVScrollPos = 0;

    CCellID m_idCurrentCell;
    CCellID m_SelectionStartCell;
    std::map<DWORD, CCellID> m_SelectedCellMap;
    std::map<DWORD, CCellID> m_PrevSelectedCellMap;

    int m_nSortColumn = -1;
    bool m_bAscending = true;
    GridCompareFunc m_pfnCompare = nullptr;
};
