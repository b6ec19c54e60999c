#include "screens/ExtIvrScrDlg.h"

CTK_ExtIvrScrDlg::CTK_ExtIvrScrDlg(int side, const QRect& screen, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_nSide(side) {
    setGeometry(screen);
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, Qt::black);
    setPalette(look);
}

CTK_ExtIvrScrDlg::~CTK_ExtIvrScrDlg() {
    DestroyWindow();
}

LRESULT CTK_ExtIvrScrDlg::WindowProc(UINT, WPARAM, LPARAM) {
    return 0;
}

void CTK_ExtIvrScrDlg::SetDisplay(int mode, const QString& countText) {
    m_nMode = mode;
    m_strCount = countText;
    update();
}
