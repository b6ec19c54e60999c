#include "controls/OwnerMenu.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuTest, LightenMovesEachChannelTowardsWhiteByTheFactor) {
    EXPECT_EQ(COwnerMenu::Lighten(QColor(0, 0, 0), 0.5), QColor(127, 127, 127));
    EXPECT_EQ(COwnerMenu::Lighten(QColor(100, 200, 0), 0.25), QColor(138, 213, 63));
    EXPECT_EQ(COwnerMenu::Lighten(QColor(10, 20, 30), 1.0), QColor(255, 255, 255));
    EXPECT_EQ(COwnerMenu::Lighten(QColor(10, 20, 30), 0.0), QColor(10, 20, 30)) << "other factors leave it";
    EXPECT_EQ(COwnerMenu::Lighten(QColor(10, 20, 30), 1.5), QColor(10, 20, 30));
}

TEST(MenuTest, MnemonicFindsTheItemWithAmpersandAndTheCharacter) {
    COwnerMenu menu;
    menu.AppendItem(QStringLiteral("&File"), 0, 100);
    menu.AppendItem(QString(), 0, 0); // a separator
    menu.AppendItem(QStringLiteral("E&xit"), 0, 101);
    EXPECT_EQ(COwnerMenu::FindMnemonic(u'x', MenuFlags::Popup, &menu), 0x20002);
    EXPECT_EQ(COwnerMenu::FindMnemonic(u'F', MenuFlags::Popup, &menu), 0x20000) << "case-insensitive";
    EXPECT_EQ(COwnerMenu::FindMnemonic(u'q', MenuFlags::Popup, &menu), 0);
    EXPECT_EQ(COwnerMenu::FindMnemonic(u'x', 0, &menu), 0) << "only for a popup";
    EXPECT_TRUE(menu.Item(1).flags & MenuFlags::Separator);
    EXPECT_TRUE(menu.Item(2).flags & MenuFlags::OwnerDraw);
}

TEST(MenuTest, MeasuresFollowTheLook) {
    COwnerMenu menu;
    menu.AppendItem(QString(), 0, 0);
    menu.AppendItem(QStringLiteral("Delete"), 0, 32772);
    EXPECT_EQ(menu.MeasureItem(0, true, 0, 0, 19), QSize(0, 11)) << "(7 + 15) / 2 beats 19 / 2";
    EXPECT_EQ(menu.MeasureItem(0, false, 0, 0, 30), QSize(0, 15));
    EXPECT_EQ(menu.MeasureItem(1, true, 0, 40, 19), QSize(40 + 16 + 7 + 8, 22));
    EXPECT_EQ(menu.MeasureItem(1, false, 0, 40, 19), QSize(40 + 32 + 1, 19));
    EXPECT_EQ(menu.MeasureItem(1, false, 1, 40, 19), QSize(40 + 16 + 4 + 8, 19)) << "draw mode 1";
    EXPECT_TRUE(COwnerMenu::FlatLook(false, false, 0));
    EXPECT_FALSE(COwnerMenu::FlatLook(false, true, 0));
    EXPECT_TRUE(COwnerMenu::FlatLook(false, true, 1));
    EXPECT_FALSE(COwnerMenu::FlatLook(true, false, 1)) << "a palette surface gets the classic look";
}

TEST(MenuTest, DestroyEmptiesTheMenuAndAGoneMenuIsNotOwn) {
    auto menu = std::make_unique<COwnerMenu>();
    auto sub = std::make_unique<COwnerMenu>();
    sub->AppendItem(QStringLiteral("&One"), 0, 1);
    menu->AppendItem(QStringLiteral("&Sub"), MenuFlags::Popup, 0, std::move(sub));
    EXPECT_EQ(menu->ItemCount(), 1);
    EXPECT_FALSE(menu->Item(0).flags & MenuFlags::Separator) << "a popup is not a separator";
    const COwnerMenu* raw = menu.get();
    EXPECT_TRUE(COwnerMenu::IsOwnMenu(raw));
    menu->Destroy();
    EXPECT_TRUE(menu->IsEmpty());
    menu.reset();
    EXPECT_FALSE(COwnerMenu::IsOwnMenu(raw));
}

} // namespace
