// The event lists' vertical scroll bar: flat, in the lists' own colours, and opaque, so the rows added during
// a round repaint it with a few solid fills instead of the style's gradients, and nothing behind it is
// painted again. The style still places its arrows, groove and handle, so the mouse and the keys work as on
// any scroll bar.
//
// Thread: user-interface thread only.
#pragma once

#include <QScrollBar>

class CListScrollBar final : public QScrollBar {
    Q_OBJECT
public:
    explicit CListScrollBar(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
