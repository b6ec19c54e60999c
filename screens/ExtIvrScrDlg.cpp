#include "screens/ExtIvrScrDlg.h"

#include "app/DisplayFont.h"
#include "app/MatchData.h"
#include "app/PngResource.h"

#include <QPainter>

CTK_ExtIvrScrDlg::CTK_ExtIvrScrDlg(int mode, const QRect& screen, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_nMode(-1),
      m_bSmall(g_pMatchData && g_pMatchData->nDisplayResolution == 1) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Video replay"));
    setGeometry(screen);
    SetDisplay(mode, QString());
}

CTK_ExtIvrScrDlg::~CTK_ExtIvrScrDlg() {
    DestroyWindow();
}

LRESULT CTK_ExtIvrScrDlg::WindowProc(UINT, WPARAM, LPARAM) {
    return 0;
}

int CTK_ExtIvrScrDlg::PictureId(int mode, bool small) {
    if (mode >= 0 && mode <= 5)
        return (small ? 848 : 838) + mode;
    switch (mode) {
    case 7:
        return 1026;
    case 8:
        return 1024;
    case 9:
        return 1028;
    default:
        return 0;
    }
}

QRect CTK_ExtIvrScrDlg::CountRect(bool small) {
    // At 1920 x 1080 below the caption; the small screen has it at 2/3 of that place, inside its 720 lines.
    return small ? QRect(400, 487, 480, 93) : QRect(600, 730, 720, 140);
}

void CTK_ExtIvrScrDlg::SetDisplay(int mode, const QString& countText) {
    if (mode != m_nMode) {
        // A new mode shows its own picture at once.
        m_nMode = mode;
        const int id = PictureId(mode, m_bSmall);
        const std::unique_ptr<QImage> picture = id ? LoadPngResource(id) : nullptr;
        m_picture = picture ? *picture : QImage();
        update();
    }
    const bool counts = mode == 4 || mode == 5 || mode == 9;
    m_strCount = counts ? countText : QString();
    update(CountRect(m_bSmall));
}

void CTK_ExtIvrScrDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), Qt::black);
    if (!m_picture.isNull())
        painter.drawImage(QRect(QPoint(0, 0), m_bSmall ? QSize(1280, 720) : QSize(1920, 1080)), m_picture);
    if (m_strCount.isEmpty())
        return;
    painter.setFont(DisplayFont(m_bSmall ? 67 : 100));
    painter.setPen(Qt::white);
    painter.drawText(CountRect(m_bSmall), Qt::AlignCenter | Qt::TextSingleLine, m_strCount);
}
