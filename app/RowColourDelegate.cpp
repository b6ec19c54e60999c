#include "app/RowColourDelegate.h"

#include "app/ColorRef.h"
#include "app/MyListCtrl.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QTextOption>
#include <QWidget>

namespace {

const QStyle* StyleOf(const QStyleOptionViewItem& option) {
    return option.widget ? option.widget->style() : QApplication::style();
}

// The colour group the style paints a cell in: a list in an inactive window shows its selection paler.
QPalette::ColorGroup GroupOf(const QStyleOptionViewItem& option) {
    const bool enabled = option.widget ? option.widget->isEnabled() : option.state & QStyle::State_Enabled;
    if (!enabled)
        return QPalette::Disabled;
    return option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}

} // namespace

size_t qHash(const RowColourDelegate::TextKey& key, size_t seed) noexcept {
    return qHashMulti(seed, key.text, key.font, key.size.width(), key.size.height(), key.alignment,
                      key.direction, key.elide);
}

const RowColourDelegate::KeptText& RowColourDelegate::Kept(const QStyleOptionViewItem& option) const {
    TextKey key{option.text,
                option.font,
                option.rect.size(),
                static_cast<int>(option.displayAlignment),
                static_cast<int>(option.direction),
                static_cast<int>(option.textElideMode)};
    if (const KeptText* kept = m_kept.object(key))
        return *kept;

    // As the style lays a cell's text out: inside its focus frame's margins, on one line, elided when it
    // does not fit, and centred on the cell's height as one block.
    const int margin = StyleOf(option)->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
    const QRect textRect = QRect(QPoint(), option.rect.size()).adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(option.direction);
    textOption.setAlignment(QStyle::visualAlignment(option.direction, option.displayAlignment));
    const auto layOut = [&](QTextLayout& layout, const QString& text) {
        layout.setText(text);
        layout.setFont(option.font);
        layout.setTextOption(textOption);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF());
        layout.endLayout();
        return line;
    };
    QTextLayout layout;
    QTextLine line = layOut(layout, option.text);
    if (line.naturalTextWidth() > textRect.width())
        line =
            layOut(layout,
                   QFontMetrics(option.font).elidedText(option.text, option.textElideMode, textRect.width()));
    const QRect block =
        QStyle::alignedRect(option.direction, option.displayAlignment,
                            QSize(textRect.width(), static_cast<int>(line.height())), textRect);

    auto* kept = new KeptText{QPointF(textRect.x(), block.y()), layout.glyphRuns()};
    m_kept.insert(std::move(key), kept);
    return *kept;
}

void RowColourDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QPalette::ColorGroup group = GroupOf(cell);
    const bool selected = cell.state & QStyle::State_Selected;

    // A selected row is highlighted across its cells, as the lists show it.
    painter->fillRect(cell.rect,
                      selected
                          ? cell.palette.brush(group, QPalette::Highlight)
                          : QBrush(ColorFromRef(CMyListCtrl::OnGetCellBkColor(index.row(), index.column()))));
    if (!cell.text.isEmpty()) {
        const KeptText& text = Kept(cell);
        painter->setPen(selected
                            ? cell.palette.color(group, QPalette::HighlightedText)
                            : ColorFromRef(CMyListCtrl::OnGetCellTextColor(index.row(), index.column())));
        const QPointF origin = cell.rect.topLeft() + text.origin;
        for (const QGlyphRun& run : text.runs)
            painter->drawGlyphRun(origin, run);
    }
    if (cell.state & QStyle::State_HasFocus) {
        // The style's own frame, as it draws it around a current cell.
        const QStyle* style = StyleOf(cell);
        QStyleOptionFocusRect frame;
        frame.QStyleOption::operator=(cell);
        frame.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &cell, cell.widget);
        frame.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        frame.backgroundColor = cell.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, cell.widget);
    }
}
