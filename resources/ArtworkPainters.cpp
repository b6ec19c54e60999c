#include "resources/ArtworkPainters.h"

#include "resources/Artwork.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace ArtworkPaint {

namespace {

const QColor kWhite(255, 255, 255);
const QColor kPanel = QColor::fromRgba(ArtworkColours::Panel);
const QColor kPanelEdge = QColor::fromRgba(ArtworkColours::PanelEdge);
const QColor kYellow = QColor::fromRgba(ArtworkColours::Yellow);
const QColor kGreen(46, 160, 67);
const QColor kGrey(120, 126, 138);

QImage Blank(QSize size, QColor fill = Qt::transparent) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void Smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// The bold sans face of the pictures (Liberation Sans, Helvetica's metrics).
QFont Bold(int pixels) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(1, pixels));
    font.setBold(true);
    return font;
}

// The largest bold font up to `pixels` in which the text fits the width.
QFont Fitting(const QString& text, int pixels, int width) {
    QFont font = Bold(pixels);
    while (font.pixelSize() > 6 && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

void Text(QPainter& p, const QRectF& rect, const QString& text, QColor colour, int pixels,
          int flags = Qt::AlignCenter) {
    p.setPen(colour);
    p.setFont(Fitting(text, pixels, static_cast<int>(rect.width())));
    p.drawText(rect, flags | Qt::TextSingleLine, text);
}

} // namespace

QColor SideColour(Side side) {
    switch (side) {
    case Side::Chung:
        return QColor::fromRgba(ArtworkColours::Chung);
    case Side::Hong:
        return QColor::fromRgba(ArtworkColours::Hong);
    case Side::Alert:
        return QColor(170, 80, 0);
    case Side::Neutral:
        break;
    }
    return QColor(58, 66, 84);
}

QImage OperatorBackground(QSize size) {
    QImage image = Blank(size, QColor(24, 28, 38));
    QPainter p(&image);
    Smooth(p);
    const int w = size.width(), h = size.height();
    // The header band with the device icons and the match title.
    QLinearGradient header(0, 0, 0, 76);
    header.setColorAt(0, QColor(44, 52, 68));
    header.setColorAt(1, QColor(30, 36, 48));
    p.fillRect(0, 0, w, 76, header);
    // Each side's half is tinted in its colour, so the operator never mixes them up.
    const QColor chung = SideColour(Side::Chung), hong = SideColour(Side::Hong);
    QColor tint = chung;
    tint.setAlpha(40);
    p.fillRect(QRect(0, 76, w / 2, h - 76), tint);
    tint = hong;
    tint.setAlpha(40);
    p.fillRect(QRect(w / 2, 76, w - w / 2, h - 76), tint);
    // Side bars under the header.
    p.fillRect(0, 76, w / 2, 4, chung);
    p.fillRect(w / 2, 76, w - w / 2, 4, hong);
    // The judge grid wells at the outer edges.
    p.setPen(QPen(kPanelEdge, 1));
    p.setBrush(QColor(16, 19, 26));
    p.drawRoundedRect(QRectF(4.5, 160.5, 112, 254), 6, 6);
    p.drawRoundedRect(QRectF(w - 126.5, 160.5, 122, 254), 6, 6);
    // The score-correction tray.
    p.setBrush(QColor(16, 19, 26, 200));
    p.drawRoundedRect(QRectF(8.5, 484.5, w - 17, 90), 8, 8);
    return image;
}

QImage PublicBackground(QSize size, bool reversed, bool roundWin, bool oneJudge) {
    QImage image = Blank(size, QColor(8, 10, 16));
    QPainter p(&image);
    Smooth(p);
    const int w = size.width(), h = size.height();
    const double k = w / 1920.0;
    QColor left = SideColour(reversed ? Side::Hong : Side::Chung);
    QColor right = SideColour(reversed ? Side::Chung : Side::Hong);
    if (roundWin && oneJudge) {
        left = left.darker(260);
        right = right.darker(260);
    }
    const auto half = [&](QRectF rect, QColor colour, bool toRight) {
        QLinearGradient g(rect.topLeft(), rect.topRight());
        g.setColorAt(toRight ? 1 : 0, colour.darker(170));
        g.setColorAt(toRight ? 0 : 1, colour);
        p.fillRect(rect, g);
    };
    const double top = 200 * k;
    half(QRectF(0, top, w * 0.38, h - top), left, false);
    half(QRectF(w * 0.62, top, w * 0.38, h - top), right, true);
    // Header band for the title, the contest and the round.
    QLinearGradient header(0, 0, 0, top);
    header.setColorAt(0, QColor(30, 34, 46));
    header.setColorAt(1, QColor(14, 16, 22));
    p.fillRect(QRectF(0, 0, w, top), header);
    p.fillRect(QRectF(0, top - 6 * k, w / 2.0, 6 * k), left);
    p.fillRect(QRectF(w / 2.0, top - 6 * k, w / 2.0, 6 * k), right);
    // The centre column behind the clock.
    p.fillRect(QRectF(w * 0.38, top, w * 0.24, h - top), QColor(12, 14, 20));
    if (roundWin) {
        // The round table wells.
        p.setPen(QPen(QColor(255, 255, 255, 60), 2 * k));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(250 * k, 290 * k, 520 * k, 300 * k), 10 * k, 10 * k);
        p.drawRoundedRect(QRectF(w - 770 * k, 290 * k, 520 * k, 300 * k), 10 * k, 10 * k);
    }
    return image;
}

QImage CentrePanel(QSize size) {
    QImage image = Blank(size);
    QPainter p(&image);
    Smooth(p);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(2, 2, -2, -2);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(40, 44, 56));
    g.setColorAt(1, QColor(10, 12, 18));
    p.setBrush(g);
    p.setPen(QPen(QColor(255, 255, 255, 90), 3));
    p.drawRoundedRect(r, size.height() / 10.0, size.height() / 10.0);
    return image;
}

QImage Banner(QSize size, Side side, const char* caption, const char* subcaption) {
    QImage image = Blank(size, QColor(10, 12, 18));
    QPainter p(&image);
    Smooth(p);
    const QRectF all(QPointF(0, 0), QSizeF(size));
    const QColor colour = SideColour(side);
    QRadialGradient glow(all.center(), std::max(size.width(), size.height()) * 0.7);
    glow.setColorAt(0, colour);
    glow.setColorAt(1, colour.darker(300));
    p.fillRect(all, glow);
    const double edge = std::max(3.0, size.height() / 40.0);
    p.setPen(QPen(kWhite, edge));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(edge, edge, -edge, -edge));
    const bool twoLines = subcaption && *subcaption;
    const double h = size.height();
    const BannerLines lines = BannerLayout(size, twoLines);
    if (!twoLines) {
        Text(p, lines.caption, QString::fromUtf8(caption), kWhite, static_cast<int>(h * 0.5));
        return image;
    }
    const QRectF first = lines.caption, second = lines.subcaption;
    const QString top = QString::fromUtf8(caption);
    const QFont big = Fitting(top, static_cast<int>(first.height() * 0.8), static_cast<int>(first.width()));
    Text(p, first, top, kWhite, big.pixelSize());
    Text(p, second, QString::fromUtf8(subcaption), kYellow,
         std::min(static_cast<int>(second.height() * 0.8), big.pixelSize() * 3 / 4));
    return image;
}

BannerLines BannerLayout(QSize size, bool twoLines) {
    const double w = size.width(), h = size.height();
    const double margin = std::min(w, h) * 0.1;
    if (!twoLines)
        return {QRectF(margin, 0, w - 2 * margin, h), {}};
    // A full screen keeps its lower third free for the count some screens write there; a flat banner uses
    // its whole height. The second line is never larger than the first.
    if (w > 4 * h)
        return {QRectF(margin, h * 0.1, w - 2 * margin, h * 0.5),
                QRectF(margin, h * 0.6, w - 2 * margin, h * 0.3)};
    return {QRectF(margin, h * 0.12, w - 2 * margin, h * 0.3),
            QRectF(margin, h * 0.44, w - 2 * margin, h * 0.16)};
}

QImage CorrectionButton(QSize size, Side side, bool add, const char* word) {
    // White ground: white is the transparent colour of the buttons, so the button's own colour shows there.
    QImage image = Blank(size, kWhite);
    QPainter p(&image);
    Smooth(p);
    const QColor colour = SideColour(side);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(colour, 2));
    p.setBrush(add ? colour : QColor(250, 250, 250));
    p.drawRoundedRect(r, 6, 6);
    // Text in a near-white for the filled face: pure white would let the button background through.
    const QColor ink = add ? QColor(254, 254, 254) : colour;
    const double signWidth = size.height() * 0.62;
    Text(p, QRectF(r.left() + 2, r.top(), signWidth, r.height()),
         add ? QStringLiteral("+") : QStringLiteral("\u2212"), ink, static_cast<int>(size.height() * 0.7));
    Text(p, QRectF(r.left() + signWidth, r.top(), r.width() - signWidth - 3, r.height()),
         QString::fromUtf8(word), ink, static_cast<int>(size.height() * 0.36));
    return image;
}

QImage CommandButton(QSize size, Side side, const char* caption) {
    QImage image = Blank(size, kWhite);
    QPainter p(&image);
    Smooth(p);
    const QColor colour = SideColour(side);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, colour.lighter(125));
    g.setColorAt(1, colour.darker(115));
    p.setPen(QPen(colour.darker(150), 2));
    p.setBrush(g);
    p.drawRoundedRect(r, 8, 8);
    Text(p, r.adjusted(4, 0, -4, 0), QString::fromUtf8(caption), QColor(254, 254, 254),
         static_cast<int>(size.height() * 0.42));
    return image;
}

namespace {

void Gear(QPainter& p, QPointF c, double r) {
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a = M_PI * i / teeth;
        const double rr = i % 2 == 0 ? r : r * 0.78;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    path.addEllipse(c, r * 0.32, r * 0.32);
    path.setFillRule(Qt::OddEvenFill);
    p.drawPath(path);
}

void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& b, QColor colour) {
    const double w = b.width(), h = b.height();
    const QPointF c = b.center();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const QPen line(colour, std::max(1.5, w / 14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (glyph) {
    case Glyph::ReceiverOpen:
    case Glyph::ReceiverClosed: {
        p.drawRoundedRect(QRectF(b.left() + w * 0.12, b.top() + h * 0.42, w * 0.76, h * 0.46), 4, 4);
        p.setPen(line);
        p.drawLine(QPointF(b.left() + w * 0.72, b.top() + h * 0.42),
                   QPointF(b.left() + w * 0.82, b.top() + h * 0.08));
        p.setPen(Qt::NoPen);
        const bool open = glyph == Glyph::ReceiverOpen;
        p.setBrush(open ? QColor(80, 230, 110) : QColor(240, 70, 70));
        p.drawEllipse(QPointF(b.left() + w * 0.3, b.top() + h * 0.65), w * 0.08, w * 0.08);
        if (!open) {
            p.setPen(QPen(QColor(240, 70, 70), w / 10, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(b.left() + w * 0.5, b.top() + h * 0.55),
                       QPointF(b.left() + w * 0.75, b.top() + h * 0.78));
            p.drawLine(QPointF(b.left() + w * 0.75, b.top() + h * 0.55),
                       QPointF(b.left() + w * 0.5, b.top() + h * 0.78));
        }
        break;
    }
    case Glyph::JudgeWired:
    case Glyph::JudgeWireless: {
        // A hand-held judge device: a body with two buttons.
        const QRectF body(b.left() + w * 0.08, b.top() + h * 0.15, w * 0.5, h * 0.75);
        p.drawRoundedRect(body, w * 0.08, w * 0.08);
        p.setBrush(SideColour(Side::Chung).lighter(130));
        p.drawEllipse(QPointF(body.center().x(), body.top() + body.height() * 0.32), body.width() * 0.22,
                      body.width() * 0.22);
        p.setBrush(SideColour(Side::Hong).lighter(130));
        p.drawEllipse(QPointF(body.center().x(), body.top() + body.height() * 0.7), body.width() * 0.22,
                      body.width() * 0.22);
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        if (glyph == Glyph::JudgeWired) {
            QPainterPath cable(QPointF(body.right(), body.center().y()));
            cable.cubicTo(QPointF(b.left() + w * 0.8, body.top()), QPointF(b.left() + w * 0.8, body.bottom()),
                          QPointF(b.right() - w * 0.04, body.center().y()));
            p.drawPath(cable);
        } else {
            for (int i = 1; i <= 2; ++i)
                p.drawArc(QRectF(body.right() - w * 0.12 * i, body.center().y() - h * 0.18 * i, w * 0.24 * i,
                                 h * 0.36 * i),
                          -50 * 16, 100 * 16);
        }
        break;
    }
    case Glyph::Trunk: {
        QPainterPath vest;
        vest.moveTo(b.left() + w * 0.3, b.top() + h * 0.08);
        vest.lineTo(b.left() + w * 0.42, b.top() + h * 0.2);
        vest.lineTo(b.left() + w * 0.58, b.top() + h * 0.2);
        vest.lineTo(b.left() + w * 0.7, b.top() + h * 0.08);
        vest.lineTo(b.left() + w * 0.92, b.top() + h * 0.25);
        vest.lineTo(b.left() + w * 0.84, b.top() + h * 0.92);
        vest.lineTo(b.left() + w * 0.16, b.top() + h * 0.92);
        vest.lineTo(b.left() + w * 0.08, b.top() + h * 0.25);
        vest.closeSubpath();
        p.drawPath(vest);
        break;
    }
    case Glyph::Head: {
        QPainterPath helmet;
        helmet.moveTo(b.left() + w * 0.12, b.top() + h * 0.62);
        helmet.cubicTo(b.left() + w * 0.1, b.top() + h * 0.05, b.right() - w * 0.1, b.top() + h * 0.05,
                       b.right() - w * 0.12, b.top() + h * 0.62);
        helmet.lineTo(b.right() - w * 0.2, b.top() + h * 0.92);
        helmet.lineTo(b.right() - w * 0.36, b.top() + h * 0.92);
        helmet.lineTo(b.right() - w * 0.36, b.top() + h * 0.6);
        helmet.lineTo(b.left() + w * 0.36, b.top() + h * 0.6);
        helmet.lineTo(b.left() + w * 0.36, b.top() + h * 0.92);
        helmet.lineTo(b.left() + w * 0.2, b.top() + h * 0.92);
        helmet.closeSubpath();
        p.drawPath(helmet);
        break;
    }
    case Glyph::Punch: {
        // A fist: four knuckles over a palm.
        const double k = std::min(w, h);
        const QRectF palm(c.x() - k * 0.36, c.y() - k * 0.1, k * 0.72, k * 0.46);
        p.drawRoundedRect(palm, k * 0.1, k * 0.1);
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(QRectF(palm.left() + i * k * 0.18, c.y() - k * 0.34, k * 0.17, k * 0.3),
                              k * 0.07, k * 0.07);
        break;
    }
    case Glyph::Registration: {
        p.drawRoundedRect(QRectF(b.left() + w * 0.18, b.top() + h * 0.12, w * 0.64, h * 0.8), 3, 3);
        p.setPen(QPen(kWhite, std::max(1.5, w / 16)));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(b.left() + w * 0.3, b.top() + h * (0.35 + 0.18 * i)),
                       QPointF(b.left() + w * 0.7, b.top() + h * (0.35 + 0.18 * i)));
        break;
    }
    case Glyph::Configuration:
        Gear(p, c, std::min(w, h) * 0.42);
        break;
    case Glyph::EquipmentTest: {
        p.drawEllipse(QRectF(b.left() + w * 0.1, b.top() + h * 0.1, w * 0.8, h * 0.8));
        p.setPen(QPen(kWhite, std::max(2.0, w / 9), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick(QPointF(b.left() + w * 0.3, c.y()));
        tick.lineTo(b.left() + w * 0.45, b.top() + h * 0.66);
        tick.lineTo(b.left() + w * 0.72, b.top() + h * 0.34);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
        break;
    }
    case Glyph::KyeShi: {
        const double k = std::min(w, h);
        p.drawRect(QRectF(c.x() - k * 0.13, c.y() - k * 0.4, k * 0.26, k * 0.8));
        p.drawRect(QRectF(c.x() - k * 0.4, c.y() - k * 0.13, k * 0.8, k * 0.26));
        break;
    }
    case Glyph::Finish: {
        const double k = std::min(w, h);
        p.setPen(line);
        p.drawLine(QPointF(b.left() + w * 0.2, b.top() + h * 0.1),
                   QPointF(b.left() + w * 0.2, b.bottom() - h * 0.05));
        p.setPen(Qt::NoPen);
        const double cell = k * 0.16;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                if ((row + col) % 2 == 0)
                    p.drawRect(QRectF(b.left() + w * 0.22 + col * cell, b.top() + h * 0.12 + row * cell, cell,
                                      cell));
        p.setPen(QPen(colour, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(b.left() + w * 0.22, b.top() + h * 0.12, cell * 4, cell * 3));
        break;
    }
    case Glyph::Undo: {
        p.setPen(QPen(colour, std::max(2.0, w / 8), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(b.left() + w * 0.2, b.top() + h * 0.22, w * 0.6, h * 0.6), 90 * 16, -250 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        QPainterPath head(QPointF(b.left() + w * 0.3, b.top() + h * 0.08));
        head.lineTo(b.left() + w * 0.56, b.top() + h * 0.22);
        head.lineTo(b.left() + w * 0.32, b.top() + h * 0.4);
        head.closeSubpath();
        p.drawPath(head);
        break;
    }
    case Glyph::VideoReplay: {
        p.drawRoundedRect(QRectF(b.left() + w * 0.08, b.top() + h * 0.28, w * 0.58, h * 0.46), 3, 3);
        QPainterPath lens(QPointF(b.left() + w * 0.66, c.y()));
        lens.lineTo(b.right() - w * 0.06, b.top() + h * 0.26);
        lens.lineTo(b.right() - w * 0.06, b.top() + h * 0.76);
        lens.closeSubpath();
        p.drawPath(lens);
        break;
    }
    case Glyph::Palette: {
        p.setBrush(SideColour(Side::Chung));
        p.drawRoundedRect(QRectF(b.left() + w * 0.08, b.top() + h * 0.2, w * 0.5, h * 0.5), 3, 3);
        p.setBrush(SideColour(Side::Hong));
        p.drawRoundedRect(QRectF(b.left() + w * 0.42, b.top() + h * 0.38, w * 0.5, h * 0.5), 3, 3);
        break;
    }
    case Glyph::Monitor: {
        p.drawRoundedRect(QRectF(b.left() + w * 0.08, b.top() + h * 0.14, w * 0.84, h * 0.56), 3, 3);
        p.drawRect(QRectF(c.x() - w * 0.06, b.top() + h * 0.7, w * 0.12, h * 0.12));
        p.drawRect(QRectF(c.x() - w * 0.22, b.top() + h * 0.8, w * 0.44, h * 0.07));
        break;
    }
    case Glyph::Reverse: {
        p.setPen(QPen(colour, std::max(2.0, w / 10), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(b.left() + w * 0.15, b.top() + h * 0.35),
                   QPointF(b.right() - w * 0.2, b.top() + h * 0.35));
        p.drawLine(QPointF(b.left() + w * 0.2, b.top() + h * 0.65),
                   QPointF(b.right() - w * 0.15, b.top() + h * 0.65));
        p.setPen(Qt::NoPen);
        QPainterPath right(QPointF(b.right() - w * 0.05, b.top() + h * 0.35));
        right.lineTo(b.right() - w * 0.28, b.top() + h * 0.2);
        right.lineTo(b.right() - w * 0.28, b.top() + h * 0.5);
        right.closeSubpath();
        QPainterPath left(QPointF(b.left() + w * 0.05, b.top() + h * 0.65));
        left.lineTo(b.left() + w * 0.28, b.top() + h * 0.5);
        left.lineTo(b.left() + w * 0.28, b.top() + h * 0.8);
        left.closeSubpath();
        p.drawPath(right);
        p.drawPath(left);
        break;
    }
    case Glyph::Hand: {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(kWhite);
        QPainterPath hand(QPointF(b.left() + w * 0.35, b.top() + h * 0.05));
        hand.lineTo(b.left() + w * 0.45, b.top() + h * 0.05);
        hand.lineTo(b.left() + w * 0.45, b.top() + h * 0.45);
        hand.lineTo(b.left() + w * 0.8, b.top() + h * 0.5);
        hand.lineTo(b.left() + w * 0.75, b.top() + h * 0.9);
        hand.lineTo(b.left() + w * 0.35, b.top() + h * 0.9);
        hand.lineTo(b.left() + w * 0.18, b.top() + h * 0.6);
        hand.lineTo(b.left() + w * 0.35, b.top() + h * 0.55);
        hand.closeSubpath();
        p.drawPath(hand);
        break;
    }
    case Glyph::AppIcon: {
        p.setBrush(SideColour(Side::Chung));
        p.drawPie(b.adjusted(1, 1, -1, -1), 90 * 16, 180 * 16);
        p.setBrush(SideColour(Side::Hong));
        p.drawPie(b.adjusted(1, 1, -1, -1), -90 * 16, 180 * 16);
        break;
    }
    }
}

} // namespace

QImage Icon(QSize size, Glyph glyph, QColor colour, bool dim) {
    QImage image = Blank(size);
    QPainter p(&image);
    Smooth(p);
    if (dim)
        colour = QColor(150, 156, 166);
    const double pad = std::min(size.width(), size.height()) * 0.06;
    DrawGlyph(p, glyph, QRectF(QPointF(0, 0), QSizeF(size)).adjusted(pad, pad, -pad, -pad), colour);
    if (dim) {
        // The "off" face of a toggle is also crossed out lightly, so on and off differ in shape, not only
        // tone.
        p.setPen(QPen(QColor(90, 96, 108), std::max(1.5, size.width() / 16.0), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(size.width() * 0.15, size.height() * 0.85),
                   QPointF(size.width() * 0.85, size.height() * 0.15));
    }
    return image;
}

QImage Mark(QSize size, Side side, const char* text) {
    QImage image = Blank(size);
    QPainter p(&image);
    Smooth(p);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(kYellow, std::max(1.5, size.height() / 16.0)));
    p.setBrush(SideColour(side));
    if (size.width() > size.height() * 1.4)
        p.drawRoundedRect(r, size.height() / 3.0, size.height() / 3.0);
    else
        p.drawEllipse(r);
    Text(p, r, QString::fromUtf8(text), kWhite, static_cast<int>(size.height() * 0.55));
    return image;
}

QImage Tile(QSize size, QColor fill, const char* text) {
    QImage image = Blank(size);
    QPainter p(&image);
    Smooth(p);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, fill.lighter(115));
    g.setColorAt(1, fill.darker(110));
    p.setPen(QPen(fill.darker(160), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, size.width() / 6.0, size.width() / 6.0);
    if (text && *text)
        Text(p, r, QString::fromUtf8(text), Qt::black, static_cast<int>(size.height() * 0.5));
    return image;
}

QImage HitBox(QSize size, Glyph part, bool reached) {
    QImage image = Blank(size);
    QPainter p(&image);
    Smooth(p);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);
    const QColor fill = reached ? kGreen : QColor(70, 74, 84);
    p.setPen(QPen(reached ? kGreen.lighter(150) : kGrey, std::max(1.0, size.width() / 25.0)));
    p.setBrush(fill);
    p.drawRoundedRect(r, size.width() / 8.0, size.width() / 8.0);
    // The body part faintly at the top; the level is written over the lower part by the screens.
    QColor ghost = kWhite;
    ghost.setAlpha(reached ? 150 : 90);
    const double k = size.width() * 0.5;
    DrawGlyph(p, part, QRectF(r.center().x() - k / 2, r.top() + size.height() * 0.06, k, k), ghost);
    return image;
}

QImage ReplayCard(QSize size) {
    QImage image = Blank(size);
    QPainter p(&image);
    Smooth(p);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(2, 2, -2, -2);
    p.setPen(QPen(kWhite, 2));
    p.setBrush(QColor(30, 34, 46, 230));
    p.drawRoundedRect(r, size.height() / 8.0, size.height() / 8.0);
    const double k = size.height() * 0.42;
    DrawGlyph(p, Glyph::VideoReplay, QRectF(r.center().x() - k / 2, r.top() + size.height() * 0.06, k, k),
              kYellow);
    return image;
}

QImage SideLabel(QSize size, Side side) {
    QImage image = Blank(size, SideColour(side));
    QPainter p(&image);
    Smooth(p);
    Text(p, QRectF(QPointF(0, 0), QSizeF(size)),
         side == Side::Chung ? QStringLiteral("CHUNG") : QStringLiteral("HONG"), kWhite,
         static_cast<int>(size.height() * 0.7));
    return image;
}

QImage Lamp(QSize size, bool on) {
    QImage image = Blank(size, kWhite);
    QPainter p(&image);
    Smooth(p);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(2, 2, -2, -2);
    QRadialGradient g(r.center() - QPointF(r.width() / 6, r.height() / 6), r.width() / 1.5);
    const QColor base = on ? QColor(40, 200, 70) : QColor(150, 150, 150);
    g.setColorAt(0, base.lighter(160));
    g.setColorAt(1, base.darker(130));
    p.setPen(QPen(base.darker(200), 1));
    p.setBrush(g);
    p.drawEllipse(r);
    return image;
}

QImage CheckStrip() {
    QImage image = Blank(QSize(48, 16), QColor(255, 0, 255));
    QPainter p(&image);
    for (int i = 1; i <= 2; ++i) {
        const QRect box(16 * i + 2, 2, 12, 12);
        p.fillRect(box, kWhite);
        p.setPen(QColor(60, 60, 60));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        if (i == 2) {
            p.setPen(QPen(QColor(20, 20, 20), 2));
            p.drawLine(box.left() + 2, box.top() + 6, box.left() + 5, box.top() + 9);
            p.drawLine(box.left() + 5, box.top() + 9, box.left() + 10, box.top() + 2);
        }
    }
    return image;
}

QImage Indicator(QSize size, Side side, bool lit) {
    QImage image = Blank(size);
    QPainter p(&image);
    Smooth(p);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(2, 2, -2, -2);
    const QColor colour = SideColour(side);
    p.setPen(QPen(lit ? kYellow : kGrey, 3));
    p.setBrush(lit ? colour : colour.darker(250));
    p.drawRoundedRect(r, size.height() / 5.0, size.height() / 5.0);
    const double k = size.height() * 0.8;
    DrawGlyph(p, Glyph::Punch, QRectF(r.left() + size.height() * 0.1, r.center().y() - k / 2, k, k),
              lit ? kWhite : kGrey);
    Text(p, QRectF(r.left() + k, r.top(), r.width() - k - 4, r.height()), QStringLiteral("PUNCH"),
         lit ? kWhite : kGrey, static_cast<int>(size.height() * 0.4));
    return image;
}

} // namespace ArtworkPaint
