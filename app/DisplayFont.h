// The bold display face of the scoreboards, the winner screens and the match dialogs. The face they were
// drawn for is not free to ship, so every one of them uses this substitute (Debian's fonts-liberation2).
#pragma once

#include <QFont>
#include <QString>

inline constexpr const char* kDisplayFace = "Liberation Sans";

// The display face, bold (weight 700), with the given character height in pixels.
inline QFont DisplayFont(int pixelHeight) {
    QFont font(QString::fromLatin1(kDisplayFace));
    font.setPixelSize(pixelHeight);
    font.setWeight(QFont::Bold);
    return font;
}
