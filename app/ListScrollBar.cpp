#include "app/ListScrollBar.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace {

const QColor kGroove(226, 238, 244);
const QColor kEdge(196, 212, 222); // the line on the rows' side
const QColor kHandle(160, 184, 198);
const QColor kHandleHovered(130, 158, 176);
const QColor kHandlePressed(100, 130, 152);
const QColor kArrow(64, 84, 100);
const QColor kArrowDisabled(170, 184, 194);

// A solid triangle in the middle of an arrow's box, pointing up or down.
void DrawArrow(QPainter& painter, const QRect& box, bool up, const QColor& colour) {
    const int half = std::max(2, std::min(box.width(), box.height()) / 4);
    const QPoint c = box.center();
    const int base = up ? c.y() + half / 2 : c.y() - half / 2;
    const int tip = up ? c.y() - half / 2 - 1 : c.y() + half / 2 + 1;
    const QPoint triangle[] = {{c.x() - half, base}, {c.x() + half, base}, {c.x(), tip}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(triangle, 3);
}

} // namespace

CListScrollBar::CListScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

bool CListScrollBar::event(QEvent* event) {
    const bool handled = QScrollBar::event(event);
    // Every pixel is filled below. Set in the constructor, the attribute was gone by the first paint (the
    // scroll bar is polished meanwhile), so it is set after each polish.
    if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
        setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

void CListScrollBar::paintEvent(QPaintEvent*) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QStyle* s = style();
    const auto place = [&](QStyle::SubControl part) {
        return s->subControlRect(QStyle::CC_ScrollBar, &option, part, this);
    };
    const auto active = [&](QStyle::SubControl part) {
        return (option.activeSubControls & part) &&
               (option.state & (QStyle::State_Sunken | QStyle::State_MouseOver));
    };
    QPainter painter(this);
    painter.fillRect(rect(), kGroove);
    painter.fillRect(QRect(0, 0, 1, height()), kEdge);
    const bool enabled = isEnabled() && minimum() < maximum();
    if (enabled) {
        const QRect handle = place(QStyle::SC_ScrollBarSlider);
        QColor colour = kHandle;
        if (active(QStyle::SC_ScrollBarSlider))
            colour = option.state & QStyle::State_Sunken ? kHandlePressed : kHandleHovered;
        painter.fillRect(handle.adjusted(3, 1, -2, -1), colour);
    }
    for (const QStyle::SubControl part : {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine}) {
        const QRect box = place(part);
        if (enabled && active(part) && (option.state & QStyle::State_Sunken))
            painter.fillRect(box.adjusted(1, 0, 0, 0), kHandle);
        DrawArrow(painter, box, part == QStyle::SC_ScrollBarSubLine, enabled ? kArrow : kArrowDisabled);
    }
}
