// The owner-drawn menu that every owner-drawn button carries as its optional drop-down menu. Items are drawn
// by the menu itself with an image column on the left, in a flat look (tinted image column, light selection
// box) or a classic look (raised and sunken image frames), and it answers keyboard mnemonics itself. This
// program gives no button menu items, so only the measuring, mnemonic and drawing entry points are reached.
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

class QPainter;

// Menu flags as the menu keeps them for each item.
namespace MenuFlags {
constexpr UINT ByPosition = 0x0400;
constexpr UINT Separator = 0x0800;
constexpr UINT Popup = 0x0010;
constexpr UINT OwnerDraw = 0x0100;
constexpr UINT Checked = 0x0008;
constexpr UINT Disabled = 0x0002;
} // namespace MenuFlags

struct COwnerMenuItem {
    QString text;
    int image = -1;
    UINT commandId = 0;
    UINT flags = 0;
};

class COwnerMenu {
public:
    COwnerMenu();
    ~COwnerMenu();
    COwnerMenu(const COwnerMenu&) = delete;
    COwnerMenu& operator=(const COwnerMenu&) = delete;

    // Appends an item: command id 0 makes a separator; MF_OWNERDRAW is always added. A popup item brings its
    // submenu (owned by this menu from then on).
    void AppendItem(const QString& text, UINT flags, UINT commandId, std::unique_ptr<COwnerMenu> popup = {});
    // The item whose text holds "&" followed by the character (case-insensitive): 0x20000 + its index
    // (execute it), or 0 when none does or flags lack MF_POPUP.
    static long FindMnemonic(QChar character, UINT flags, const COwnerMenu* menu);
    // Whether a menu was made by a COwnerMenu and not yet destroyed.
    static bool IsOwnMenu(const COwnerMenu* menu);
    // Frees every item and submenu; the menu is empty afterwards.
    void Destroy();

    int ItemCount() const { return static_cast<int>(m_items.size()); }
    const COwnerMenuItem& Item(int index) const { return m_items[static_cast<std::size_t>(index)]; }
    bool IsEmpty() const { return m_items.empty(); }

    // The flat look unless the surface has a palette or the classic theme is on (and draw mode is not 1).
    static bool FlatLook(bool surfaceHasPalette, bool classicTheme, int drawMode);
    // The item's size: separators are 0 wide and max((extra + image height) / 2, menu height / 2) high;
    // other items text width + image width + extra + 8 (flat look or draw mode 1) or text width + 2 x image
    // width + 1, and max(image height + extra, menu height) high. extra is 7 flat, 4 classic.
    QSize MeasureItem(int index, bool flat, int drawMode, int textWidth, int menuHeight) const;
    // Draws an item in the flat look: window background, lightened image column, a light selection box.
    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const;

    // Each channel c becomes c + (255 - c) x f (0 < f <= 1); any other factor leaves the colour.
    static QColor Lighten(QColor colour, double factor);

    static constexpr int kImageWidth = 16;
    static constexpr int kImageHeight = 15;

private:
    std::vector<COwnerMenuItem> m_items;
    std::vector<std::unique_ptr<COwnerMenu>> m_submenus;
};
