#include "controls/OwnerMenu.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <set>

namespace {

// Every menu made by a COwnerMenu and not yet destroyed.
std::set<const COwnerMenu*>& OwnMenus() {
    static std::set<const COwnerMenu*> menus;
    return menus;
}

} // namespace

COwnerMenu::COwnerMenu() {
    OwnMenus().insert(this);
}

COwnerMenu::~COwnerMenu() {
    Destroy();
    OwnMenus().erase(this);
}

void COwnerMenu::AppendItem(const QString& text, UINT flags, UINT commandId,
                            std::unique_ptr<COwnerMenu> popup) {
    COwnerMenuItem data;
    data.text = text;
    data.commandId = commandId;
    if (commandId == 0 && !(flags & MenuFlags::Popup)) {
        data.flags = (flags & MenuFlags::ByPosition) | MenuFlags::Separator | MenuFlags::OwnerDraw;
    } else {
        data.flags = flags | MenuFlags::OwnerDraw;
        if ((flags & MenuFlags::Popup) && popup)
            m_submenus.push_back(std::move(popup));
    }
    m_items.push_back(std::move(data));
}

long COwnerMenu::FindMnemonic(QChar character, UINT flags, const COwnerMenu* menu) {
    if (!menu || !IsOwnMenu(menu) || !(flags & MenuFlags::Popup))
        return 0;
    const QString key = QStringLiteral("&") + character.toLower();
    for (int i = 0; i < menu->ItemCount(); ++i)
        if (menu->Item(i).text.toLower().contains(key))
            return 0x20000 + i;
    return 0;
}

bool COwnerMenu::IsOwnMenu(const COwnerMenu* menu) {
    return OwnMenus().count(menu) != 0;
}

void COwnerMenu::Destroy() {
    m_submenus.clear();
    m_items.clear();
}

bool COwnerMenu::FlatLook(bool surfaceHasPalette, bool classicTheme, int drawMode) {
    if (surfaceHasPalette)
        return false;
    return !classicTheme || drawMode == 1;
}

QSize COwnerMenu::MeasureItem(int index, bool flat, int drawMode, int textWidth, int menuHeight) const {
    const int extra = flat ? 7 : 4;
    if (m_items[static_cast<std::size_t>(index)].flags & MenuFlags::Separator)
        return {0, std::max((extra + kImageHeight) / 2, menuHeight / 2)};
    const int width =
        flat || drawMode == 1 ? textWidth + kImageWidth + extra + 8 : textWidth + 2 * kImageWidth + 1;
    return {width, std::max(kImageHeight + extra, menuHeight)};
}

QColor COwnerMenu::Lighten(QColor colour, double factor) {
    if (factor <= 0 || factor > 1)
        return colour;
    const auto up = [factor](int c) { return static_cast<int>(c + (255 - c) * factor); };
    return QColor(up(colour.red()), up(colour.green()), up(colour.blue()));
}

void COwnerMenu::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const {
    const COwnerMenuItem& item = m_items[static_cast<std::size_t>(index)];
    const QPalette palette = QApplication::palette();
    painter.fillRect(rect, palette.color(QPalette::Base));
    const QRect column(rect.left(), rect.top(), kImageWidth + 7, rect.height());
    painter.fillRect(column, Lighten(palette.color(QPalette::Button), 0.25));
    if (item.flags & MenuFlags::Separator) {
        painter.setPen(palette.color(QPalette::Mid));
        const int y = rect.center().y();
        painter.drawLine(column.right() + 3, y, rect.right(), y);
        return;
    }
    if (selected) {
        const QColor highlight = palette.color(QPalette::Highlight);
        painter.setPen(highlight);
        painter.setBrush(Lighten(highlight, 0.85));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (item.flags & MenuFlags::Checked) {
        painter.setPen(QPen(palette.color(QPalette::Text), 1));
        const QPoint at(rect.left() + 5, rect.top() + 4);
        for (int i = 0; i < 7; ++i) {
            const int dy = i < 2 ? i : 4 - i;
            painter.drawLine(at.x() + i, at.y() + 2 + dy + 2, at.x() + i, at.y() + 4 + dy + 2);
        }
    }
    const bool disabled = (item.flags & MenuFlags::Disabled) != 0;
    QColor text =
        disabled ? palette.color(QPalette::Disabled, QPalette::Text) : palette.color(QPalette::Text);
    if (disabled && selected)
        text = Lighten(text, 0.4);
    painter.setPen(text);
    QString caption = item.text;
    painter.drawText(rect.adjusted(column.width() + 6, 0, -4, 0), Qt::AlignVCenter | Qt::TextShowMnemonic,
                     caption);
}
