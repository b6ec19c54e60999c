// The drawing routines behind the picture catalogue (resources/Artwork.h). Each paints a whole picture of
// the given size; the catalogue says which routine and which words make each picture.
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

namespace ArtworkPaint {

enum class Side { Chung, Hong, Neutral, Alert };

QColor SideColour(Side side);

// Full-screen and panel backgrounds.
QImage OperatorBackground(QSize size);
QImage PublicBackground(QSize size, bool reversed, bool roundWin, bool oneJudge);
QImage CentrePanel(QSize size);

// A picture that names something in large letters: pop-ups, banners, device alarms.
QImage Banner(QSize size, Side side, const char* caption, const char* subcaption);
// Where a banner of the size writes its caption and, with a second line, the line under it.
struct BannerLines {
    QRectF caption, subcaption;
};
BannerLines BannerLayout(QSize size, bool twoLines);

// Button faces on white (white is the buttons' transparent colour).
QImage CorrectionButton(QSize size, Side side, bool add, const char* word);
QImage CommandButton(QSize size, Side side, const char* caption);

enum class Glyph {
    ReceiverOpen,
    ReceiverClosed,
    JudgeWired,
    JudgeWireless,
    Trunk,
    Head,
    Punch,
    Registration,
    Configuration,
    EquipmentTest,
    KyeShi,
    Finish,
    Undo,
    VideoReplay,
    Palette,
    Monitor,
    Reverse,
    Hand,
    AppIcon,
};
// An icon: the glyph in the colour, on a transparent (or, for button bitmaps, white) ground. `dim` greys it
// out (the "off" face of a toggle).
QImage Icon(QSize size, Glyph glyph, QColor colour, bool dim);

// Round marks: a disc in the side colour with a short text.
QImage Mark(QSize size, Side side, const char* text);
// A flat tile of one colour, for the judge rows and slot states.
QImage Tile(QSize size, QColor fill, const char* text);
// A hit-level box: the body part in the side-neutral colour of a reached hit (green) or a hit below the
// minimum (grey).
QImage HitBox(QSize size, Glyph part, bool reached);
// A video-replay card with room for its caption in the lower half.
QImage ReplayCard(QSize size);
// A side label bar: the side's name on its colour.
QImage SideLabel(QSize size, Side side);
// A link lamp: off (grey) or on (green), on white.
QImage Lamp(QSize size, bool on);
// The check list's header images: blank, unchecked box, checked box, each 16 wide, on magenta.
QImage CheckStrip();
// The punch indicator of a side: dim (punch below the minimum) or lit (punch scored).
QImage Indicator(QSize size, Side side, bool lit);

} // namespace ArtworkPaint
