#include "app/ListScrollBar.h"

#include <QEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {

const QColor kGroove(226, 238, 244);
const QColor kEdge(196, 212, 222); // the line on the rows' side
const QColor kHandle(160, 184, 198);
const QColor kHandleHovered(130, 158, 176);
const QColor kHandlePressed(100, 130, 152);
const QColor kArrow(64, 84, 100);
const QColor kArrowDisabled(170, 184, 194);

// A solid triangle in the middle of an arrow's box, pointing to where its line scrolls.
void DrawArrow(QPainter& painter, const QRect& box, Qt::ArrowType direction, const QColor& colour) {
    const int half = std::max(2, std::min(box.width(), box.height()) / 4);
    const QPoint c = box.center();
    QPolygon triangle;
    switch (direction) {
    case Qt::UpArrow:
        triangle << QPoint(c.x() - half, c.y() + half / 2) << QPoint(c.x() + half, c.y() + half / 2)
                 << QPoint(c.x(), c.y() - half / 2 - 1);
        break;
    case Qt::DownArrow:
        triangle << QPoint(c.x() - half, c.y() - half / 2) << QPoint(c.x() + half, c.y() - half / 2)
                 << QPoint(c.x(), c.y() + half / 2 + 1);
        break;
    case Qt::LeftArrow:
        triangle << QPoint(c.x() + half / 2, c.y() - half) << QPoint(c.x() + half / 2, c.y() + half)
                 << QPoint(c.x() - half / 2 - 1, c.y());
        break;
    default:
        triangle << QPoint(c.x() - half / 2, c.y() - half) << QPoint(c.x() - half / 2, c.y() + half)
                 << QPoint(c.x() + half / 2 + 1, c.y());
        break;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(triangle);
}

} // namespace

CListScrollBar::CListScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

bool CListScrollBar::event(QEvent* event) {
    const bool handled = QScrollBar::event(event);
    // Every pixel is filled below. Polishing the scroll bar clears this, so it is set again after
    // each polish.
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
    const bool vertical = orientation() == Qt::Vertical;

    QPainter painter(this);
    painter.fillRect(rect(), kGroove);
    painter.fillRect(vertical ? QRect(0, 0, 1, height()) : QRect(0, 0, width(), 1), kEdge);
    const bool enabled = isEnabled() && minimum() < maximum();
    if (enabled) {
        const QRect handle = place(QStyle::SC_ScrollBarSlider);
        QColor colour = kHandle;
        if (active(QStyle::SC_ScrollBarSlider))
            colour = option.state & QStyle::State_Sunken ? kHandlePressed : kHandleHovered;
        painter.fillRect(vertical ? handle.adjusted(3, 1, -2, -1) : handle.adjusted(1, 3, -1, -2), colour);
    }
    const struct {
        QStyle::SubControl part;
        Qt::ArrowType direction;
    } arrows[] = {
        {QStyle::SC_ScrollBarSubLine, vertical ? Qt::UpArrow : Qt::LeftArrow},
        {QStyle::SC_ScrollBarAddLine, vertical ? Qt::DownArrow : Qt::RightArrow},
    };
    for (const auto& arrow : arrows) {
        const QRect box = place(arrow.part);
        if (enabled && active(arrow.part) && (option.state & QStyle::State_Sunken))
            painter.fillRect(box.adjusted(vertical ? 1 : 0, vertical ? 0 : 1, 0, 0), kHandle);
        DrawArrow(painter, box, arrow.direction, enabled ? kArrow : kArrowDisabled);
    }
}
