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
};
