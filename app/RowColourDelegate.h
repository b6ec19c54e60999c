// The event lists' cells: each painted in the colours of its row, whatever the items themselves say, and
// its text drawn from glyphs laid out once. A list repaints rows after every scoring event; laying out,
// eliding and shaping the same few texts again at each paint was most of its cost.
//
// Thread: user-interface thread only.
#pragma once

#include <QCache>
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStyledItemDelegate>

class RowColourDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Draws what the style draws for a text cell (background, selection, text, focus frame) in the row's
    // colours.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // What makes two cells' texts lay out alike.
    struct TextKey {
        QString text;
        QFont font;
        QSize size; // the cell's
        int alignment = 0;
        int direction = 0;
        int elide = 0;
        bool operator==(const TextKey&) const = default;
    };

private:
    // A text as the style lays it out in its cell: elided to fit, aligned, its glyphs shaped.
    struct KeptText {
        QPointF origin; // of the layout, from the cell's top left corner
        QList<QGlyphRun> runs;
    };
    const KeptText& Kept(const QStyleOptionViewItem& option) const;

    // The texts of the rows a list shows and has just shown; an older one is laid out again if it returns.
    mutable QCache<TextKey, KeptText> m_kept{512};
};

size_t qHash(const RowColourDelegate::TextKey& key, size_t seed = 0) noexcept;
