// A one-line text fitted to the width of its box: its font shrunk a pixel at a time until the text fits,
// never below a floor; a text still too wide at the floor is elided at its end. Long names on the public
// scoreboard and the operator screen stay whole where they can and never run into the next box. UI thread
// (font metrics).
#pragma once

#include <QFont>
#include <QSize>
#include <QString>

struct FittedText {
    QFont font;
    QString text;
};

// The font keeps its face and weight; floorPixels below 1 counts as 1, and a font already below the floor
// keeps its size.
FittedText FitText(const QString& text, const QFont& font, int width, int floorPixels);

// The same for a text drawn as one line in a box of the given size with the given Qt alignment flags, as a
// label draws it: the font shrinks until the drawn glyphs, letters of other scripts drawn in a fallback face
// included, lie at least margin pixels inside the box on every side. A panel lower than its font's line
// (Hangul and Chinese letters are taller than Latin capitals) so shows the whole of each letter.
FittedText FitTextInBox(const QString& text, const QFont& font, QSize box, int flags, int floorPixels,
                        int margin);
