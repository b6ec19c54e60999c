// How well a rendered text reads: the contrast ratio of two colours, and of the text drawn in a box against
// what lies behind it, measured from the pixels of a screenshot.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

// The relative luminance of a colour as the accessibility guidelines define it.
inline double Luminance(QRgb colour) {
    static const std::array<double, 256> channel = [] {
        std::array<double, 256> table{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            table[i] = v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    return 0.2126 * channel[qRed(colour)] + 0.7152 * channel[qGreen(colour)] +
           0.0722 * channel[qBlue(colour)];
}

inline double ContrastOfLuminances(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The contrast ratio of two colours: 1 for equal colours, 21 for black and white.
inline double Contrast(QColor a, QColor b) {
    return ContrastOfLuminances(Luminance(a.rgb()), Luminance(b.rgb()));
}

// How well the text drawn in a box reads: the contrast of its most distinct pixel against the box's edge,
// which is what lies behind the text. 1 when nothing is drawn there.
inline double InkContrast(const QImage& shot, const QRect& box) {
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> edge;
    for (int x = box.left(); x <= box.right(); ++x)
        edge.insert(edge.end(), {image.pixel(x, box.top()), image.pixel(x, box.bottom())});
    std::sort(edge.begin(), edge.end(),
              [](QRgb a, QRgb b) { return QColor(a).lightness() < QColor(b).lightness(); });
    const double behind = Luminance(edge[edge.size() / 2]);
    double best = 1;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = box.left(); x <= box.right(); ++x)
            best = std::max(best, ContrastOfLuminances(Luminance(line[x]), behind));
    }
    return best;
}
