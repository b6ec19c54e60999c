#include "devices/DevErrDlg.h"

#include "app/MatchData.h"
#include "app/PngResource.h"
#include "screens/ExtScrDlg.h"

#include <QPainter>

namespace {

// Bits of each picture: members 1..5 (bits 0..3, 7..22) and member 6 (bits 24..27) in the order Chung head,
// Chung trunk, Hong head, Hong trunk; then the judges and the receiver.
constexpr int kPictureBits[CTK_DevErrDlg::kPictures] = {
    0x1 | 0x80 | 0x800 | 0x8000 | 0x80000 | 0x1000000,
    0x2 | 0x100 | 0x1000 | 0x10000 | 0x100000 | 0x2000000,
    0x4 | 0x200 | 0x2000 | 0x20000 | 0x200000 | 0x4000000,
    0x8 | 0x400 | 0x4000 | 0x40000 | 0x400000 | 0x8000000,
    0x10,
    0x20,
    0x40,
    0x800000,
};

constexpr int kLargeFirstId = 622;
constexpr int kSmallFirstId = 694;

} // namespace

CTK_DevErrDlg::CTK_DevErrDlg(int status, int left, int top, int right, int bottom, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_nStatus(status),
      m_nPicture(PictureIndex(status)) {
    setWindowTitle(QStringLiteral("Device error"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (m_nPicture >= 0 && m_nPicture < kPictures && g_pMatchData)
        if (const auto image = LoadPngResource(PictureId(m_nPicture, g_pMatchData->nDisplayResolution)))
            m_image = *image;
    setGeometry(left, top, right - left, bottom - top);
}

int CTK_DevErrDlg::PictureIndex(int status) {
    if (status == 0)
        return -1;
    for (int i = 0; i < kPictures; ++i)
        if (status & kPictureBits[i])
            return i;
    return kUnknownDevice;
}

int CTK_DevErrDlg::PictureId(int index, int resolution) {
    return (resolution == 1 ? kSmallFirstId : kLargeFirstId) + index;
}

const char* CTK_DevErrDlg::DeviceText(int index) {
    static constexpr const char* kTexts[] = {
        "CHUNG HEAD GEAR", "CHUNG TRUNK PROTECTOR", "HONG HEAD GEAR", "HONG TRUNK PROTECTOR",
        "JUDGE 1 DEVICE",  "JUDGE 2 DEVICE",        "JUDGE 3 DEVICE", "RECEIVER",
    };
    return index >= 0 && index < kPictures ? kTexts[index] : "DEVICE";
}

void CTK_DevErrDlg::PlaceOnScreen() {
    if (!g_pMatchData)
        return;
    setGeometry(PublicScreenRect(*g_pMatchData));
}

void CTK_DevErrDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool small = g_pMatchData && g_pMatchData->nDisplayResolution == 1;
    const QRect area(0, 0, small ? 1280 : 1920, small ? 720 : 1080);
    if (!m_image.isNull()) {
        painter.drawImage(area, m_image);
        return;
    }
    // No picture to load: the same message drawn, so the pop-up never covers the scoreboard blank.
    painter.fillRect(area, QColor(20, 20, 28));
    const bool chung = m_nPicture == 0 || m_nPicture == 1;
    const bool hong = m_nPicture == 2 || m_nPicture == 3;
    const QColor band = chung ? QColor(11, 91, 178) : hong ? QColor(189, 31, 48) : QColor(90, 90, 100);
    const QRect bandRect(0, area.height() / 3, area.width(), area.height() / 3);
    painter.fillRect(bandRect, band);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(area.height() / 10);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(bandRect.adjusted(0, 0, 0, -bandRect.height() / 2), Qt::AlignCenter,
                     QString::fromLatin1(DeviceText(m_nPicture)));
    font.setPixelSize(area.height() / 16);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 0));
    painter.drawText(bandRect.adjusted(0, bandRect.height() / 2, 0, 0), Qt::AlignCenter,
                     QStringLiteral("COMMUNICATION ERROR"));
}
