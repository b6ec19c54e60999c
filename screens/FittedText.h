// A one-line text fitted to the width of its box: its font shrunk a pixel at a time until the text fits,
// never below a floor; a text still too wide at the floor is elided at its end. Long names on the public
// scoreboard stay whole where they can and never run into the next box. UI thread (font metrics).
#pragma once

#include <QFont>
#include <QString>

struct FittedText {
    QFont font;
    QString text;
};

// The font keeps its face and weight; floorPixels below 1 counts as 1, and a font already below the floor
// keeps its size.
FittedText FitText(const QString& text, const QFont& font, int width, int floorPixels);
