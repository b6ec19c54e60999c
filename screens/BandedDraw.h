// Pictures drawn one band of rows at a time. Under a repaint region of many rectangles, Qt hands a draw of
// about a hundred rows or more to its painting threads and waits for them; those threads run at the
// normal priority, below the UI thread's scoring priority, and on a busy machine the UI thread waited for
// them in the middle of a burst of points.
//
// Thread: the painter's.
#pragma once

#include <QPoint>
#include <QRect>

class QImage;
class QPainter;

// The `source` part of `image` drawn unscaled with its top left at `at`; an empty part draws nothing.
void DrawInBands(QPainter& painter, QPoint at, const QImage& image, const QRect& source);
// The image drawn over `target`: in bands when it has the target's size, scaled by the painter otherwise.
void DrawInBands(QPainter& painter, const QRect& target, const QImage& image);
