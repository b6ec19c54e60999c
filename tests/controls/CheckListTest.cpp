// The check list: the header's box checks and clears every row and mirrors whether all rows are checked.
#include "controls/CheckListCtrl.h"

#include <gtest/gtest.h>

namespace {

class CheckListTest : public ::testing::Test {
protected:
    CheckListTest() {
        list.setHeaderLabels({"No.", "Device ID"});
        for (int i = 0; i < 4; ++i)
            list.InsertItem(i, {QString::number(i + 1), "id"});
        list.Init();
    }
    int Checked() const {
        int n = 0;
        for (int row = 0; row < list.GetItemCount(); ++row)
            n += list.GetCheck(row) ? 1 : 0;
        return n;
    }
    CCheckListCtrl list;
};

TEST_F(CheckListTest, HeaderClickChecksAllThenClearsAll) {
    EXPECT_EQ(list.HeaderImage(), CCheckListCtrl::kUnchecked);
    list.OnHeaderClick(0);
    EXPECT_EQ(Checked(), 4);
    EXPECT_EQ(list.HeaderImage(), CCheckListCtrl::kChecked);
    list.OnHeaderClick(0);
    EXPECT_EQ(Checked(), 0);
    EXPECT_EQ(list.HeaderImage(), CCheckListCtrl::kUnchecked);
}

TEST_F(CheckListTest, RowsDriveTheHeaderAndOtherHeaderItemsChangeNothing) {
    list.OnHeaderClick(0);
    list.SetCheck(2, false);
    EXPECT_EQ(list.HeaderImage(), CCheckListCtrl::kUnchecked) << "one row cleared after all were checked";
    list.SetCheck(2, true);
    EXPECT_EQ(list.HeaderImage(), CCheckListCtrl::kChecked)
        << "checking the last row by hand checks the header";

    list.OnHeaderClick(1);
    EXPECT_EQ(Checked(), 4);
    EXPECT_TRUE(list.Init()) << "a second Init changes nothing";
    EXPECT_EQ(list.HeaderImage(), CCheckListCtrl::kChecked);
}

} // namespace
