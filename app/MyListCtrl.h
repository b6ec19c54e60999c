// The operator view's event lists (1081 Chung, 1080 Hong): a read-only table whose rows alternate in colour
// and that never takes the keyboard focus.
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"

#include <QTableWidget>

class CMyListCtrl : public QTableWidget {
    Q_OBJECT
public:
    explicit CMyListCtrl(QWidget* parent = nullptr);
    ~CMyListCtrl() override;

    // Even rows: brown text on a near-white background; odd rows: black text on a pale blue one.
    static COLORREF OnGetCellTextColor(int row, int column);
    static COLORREF OnGetCellBkColor(int row, int column);

    // Scrolls to the last row once the list has laid out the rows just added. The layout waits for the
    // event loop, so the handler that adds a row does not wait for it, and a burst of rows is laid out once.
    void ShowLastRow();

    // The table lays its rows out again after every inserted row and then repaints all it shows. When rows
    // were only appended since the last layout, the rows shown keep their pixels (moved up by a blit when the
    // list scrolls to its newest row) and only the new rows are painted; any other change lays out and
    // repaints the whole list as the table does.
    void doItemsLayout() override;

protected:
    bool event(QEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void RowsInserted(int first, int last);
    void RowsChanged(int first);
    void WholeChanged() { m_bWholeLayout = true; }

    bool m_bShowLastRow = false; // at the next layout
    int m_nAppendedFrom = -1;    // the first row appended since the last layout; -1 none
    bool m_bWholeLayout = false; // something else changed since the last layout
    int m_nScrolledBy = 0;       // pixels the rows shown were moved up by during a layout
};
