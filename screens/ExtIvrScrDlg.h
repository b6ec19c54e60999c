// The public video-replay screen: a frameless top-level window over the public-screen rectangle that tells
// the audience about a video-replay request, a decision's outcome or the Kye-Shi count with a full-screen
// picture chosen by its mode, and a count text over it in the modes that have one. The operator view
// creates it (only with two or more monitors), owns it and deletes it when the request ends.
//
// Thread: user-interface thread only (a MessageWindow's handle may be read from any thread).
#pragma once

#include "platform/WindowMessages.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

class CTK_ExtIvrScrDlg : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    // mode: the picture (below); screen: the public-screen rectangle. A top-level window even with a parent.
    // The picture size follows nDisplayResolution at construction.
    CTK_ExtIvrScrDlg(int mode, const QRect& screen, QWidget* parent = nullptr);
    ~CTK_ExtIvrScrDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The PNG of a mode at a size: 0 Chung's request accepted, 1 Hong's accepted, 2 Chung's rejected, 3
    // Hong's rejected, 4 Chung's request, 5 Hong's request, 7 the referee's request rejected, 8 the referee's
    // accepted, 9 the referee's request; 0 (no picture) for mode 6 and any other.
    static int PictureId(int mode, bool small);
    // Where the count text goes: below the picture's caption, inside the window at either size.
    static QRect CountRect(bool small);

    // A new mode (its picture drawn at once) and the count text, which only the requests (4, 5 and 9) keep.
    void SetDisplay(int mode, const QString& countText);

    int Mode() const { return m_nMode; }
    const QString& CountText() const { return m_strCount; }
    bool Small() const { return m_bSmall; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nMode;
    bool m_bSmall;
    QString m_strCount;
    QImage m_picture; // of the current mode; null draws nothing
};
