#include "screens/OutlineCoverage.h"

#include <QHashFunctions>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cmath>
#include <cstring>

namespace {

// Rasterised in white over nothing: the alpha of each pixel is the rasteriser's coverage of it.
COutlineCoverage::Coverage Rasterise(const COutlineCoverage::Key& key) {
    COutlineCoverage::Coverage coverage;
    const QPainterPath path =
        key.face.pathForGlyph(key.index).translated(key.phaseX / 64.0, key.phaseY / 64.0);
    if (path.isEmpty())
        return coverage;
    // Room for half the pen and the antialiased edge on every side.
    const int margin = (key.pen + 1) / 2 + 2;
    const QRect pixels = path.boundingRect().toAlignedRect().adjusted(-margin, -margin, margin, margin);
    QImage white(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    white.fill(Qt::transparent);
    {
        QPainter p(&white);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-pixels.topLeft());
        if (key.pen > 0) {
            QPen pen(Qt::white, key.pen);
            pen.setJoinStyle(Qt::RoundJoin);
            p.strokePath(path, pen);
        } else {
            QPainterPath filled = path;
            filled.setFillRule(Qt::OddEvenFill);
            p.fillPath(filled, Qt::white);
        }
    }
    coverage.offset = pixels.topLeft();
    coverage.alpha = QImage(pixels.size(), QImage::Format_Alpha8);
    for (int y = 0; y < white.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(white.constScanLine(y));
        uchar* to = coverage.alpha.scanLine(y);
        for (int x = 0; x < white.width(); ++x)
            to[x] = static_cast<uchar>(qAlpha(from[x]));
    }
    return coverage;
}

} // namespace

std::size_t COutlineCoverage::KeyHash::operator()(const Key& key) const {
    return qHashMulti(0, key.face, key.index, key.phaseX, key.phaseY, key.pen);
}

const COutlineCoverage::Coverage& COutlineCoverage::Find(const Key& key) {
    if (const auto it = m_index.find(key); it != m_index.end()) {
        m_order.splice(m_order.begin(), m_order, it->second);
        return it->second->coverage;
    }
    Entry entry{key, Rasterise(key)};
    const auto bytes = static_cast<std::size_t>(entry.coverage.alpha.sizeInBytes());
    while (!m_order.empty() && m_bytes + bytes > kMaxBytes) {
        m_bytes -= static_cast<std::size_t>(m_order.back().coverage.alpha.sizeInBytes());
        m_index.erase(m_order.back().key);
        m_order.pop_back();
    }
    m_order.push_front(std::move(entry));
    m_index.emplace(key, m_order.begin());
    m_bytes += bytes;
    return m_order.front().coverage;
}
