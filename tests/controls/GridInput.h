// Mouse input to a grid's window and its open in-place editor, for the grid's offscreen tests.
#pragma once

#include "controls/CellEditor.h"
#include "controls/DataGrid.h"

#include <QApplication>
#include <QMouseEvent>

// A left-button press, release or double click at point (target's coordinates), or a move with buttons held.
inline void Mouse(QWidget* target, QEvent::Type type, QPoint point,
                  Qt::MouseButtons buttons = Qt::LeftButton) {
    QMouseEvent event(type, point, target->mapToGlobal(point),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A move without a button.
inline void Hover(QWidget* target, QPoint point) {
    Mouse(target, QEvent::MouseMove, point, Qt::NoButton);
}

// The grid's visible in-place editor, or null.
inline CCellEditor* Editor(CDataGrid& grid) {
    for (CCellEditor* edit : grid.viewport()->findChildren<CCellEditor*>())
        if (edit->isVisible())
            return edit;
    return nullptr;
}
