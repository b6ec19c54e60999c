// The device-error pop-up: while a device does not report, a full-screen picture over the public scoreboard
// names the device. The operator view owns it (m_pDevErrDlg) and the device status check opens and closes it,
// so the picture always follows the current status.
//
// Thread: user-interface thread only.
#pragma once

#include <QDialog>
#include <QImage>

struct MatchData;

class CTK_DevErrDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 599;
    // Pictures 0..7: Chung head gear, Chung trunk, Hong head gear, Hong trunk, judge 1, 2, 3, receiver.
    static constexpr int kPictures = 8;
    static constexpr int kUnknownDevice = kPictures; // a lost-device bit no picture names

    CTK_DevErrDlg(int status, int left, int top, int right, int bottom, QWidget* parent = nullptr);

    // The picture of a device status: the first of the table that one of its bits names, every team member
    // included; kUnknownDevice for a status of other bits only; -1 for 0.
    static int PictureIndex(int status);
    // The picture's PNG id for the scoreboard resolution (0: 1920 x 1080, 1: 1280 x 720).
    static int PictureId(int index, int resolution);
    // What the drawn stand-in says when the picture cannot be loaded.
    static const char* DeviceText(int index);

    // The scoreboard's rectangle on the second monitor, from the match record.
    void PlaceOnScreen();
    int Status() const { return m_nStatus; }
    int Picture() const { return m_nPicture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nStatus;
    int m_nPicture;
    QImage m_image; // null when the picture could not be loaded; the stand-in is drawn instead
};
