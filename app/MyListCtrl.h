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

    // Even rows: brown text on a near-white background; odd rows: black text on a pale blue one.
    static COLORREF OnGetCellTextColor(int row, int column);
    static COLORREF OnGetCellBkColor(int row, int column);

    // Scrolls to the last row once the list has laid out the rows just added. The layout waits for the
    // event loop, so the handler that adds a row does not wait for it, and a burst of rows is laid out once.
    void ShowLastRow();

protected:
    void updateGeometries() override;

private:
    bool m_bShowLastRow = false; // at the next layout
};
