// The public video-replay screen: a frameless top-level window over the public-screen rectangle that tells
// the audience about a video-replay request. The operator view creates it (only with two or more monitors),
// owns it and deletes it when the request ends. Its drawing comes with the video-replay screens.
//
// Thread: user-interface thread only (a MessageWindow's handle may be read from any thread).
#pragma once

#include "platform/WindowMessages.h"

#include <QRect>
#include <QString>
#include <QWidget>

class CTK_ExtIvrScrDlg : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    // side: 0 Chung, 1 Hong; screen: the public-screen rectangle. A top-level window even with a parent.
    CTK_ExtIvrScrDlg(int side, const QRect& screen, QWidget* parent = nullptr);
    ~CTK_ExtIvrScrDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Display mode (2 Chung request rejected, 3 Hong request rejected, 4 Chung request, 5 Hong request,
    // 7 referee request, others the accepted results) and the count text, such as "Kye-Shi: 1:00".
    void SetDisplay(int mode, const QString& countText);

    int Side() const { return m_nSide; }
    int Mode() const { return m_nMode; }
    const QString& CountText() const { return m_strCount; }

private:
    int m_nSide;
    int m_nMode = 0;
    QString m_strCount;
};
