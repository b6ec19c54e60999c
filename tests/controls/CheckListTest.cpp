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

TEST_F(CheckListTest, TheHeaderFollowsRowsAddedAndDeleted) {
    list.OnHeaderClick(0); // all four checked
    const struct {
        const char* step;
        bool add;     // else delete
        int row;      // where
        bool checked; // the added row's box
        int header;   // after the step
    } steps[] = {
        {"an unchecked row added", true, 4, false, CCheckListCtrl::kUnchecked},
        {"that row deleted", false, 4, false, CCheckListCtrl::kChecked},
        {"an unchecked row put first", true, 0, false, CCheckListCtrl::kUnchecked},
        {"a checked row deleted", false, 1, false, CCheckListCtrl::kUnchecked},
        {"the unchecked row deleted", false, 0, false, CCheckListCtrl::kChecked},
        {"a checked row added", true, 1, true, CCheckListCtrl::kChecked},
    };
    for (const auto& s : steps) {
        if (s.add) {
            list.InsertItem(s.row, {"new", "id"});
            list.SetCheck(s.row, s.checked);
        } else {
            ASSERT_TRUE(list.DeleteItem(s.row)) << s.step;
        }
        EXPECT_EQ(list.HeaderImage(), s.header) << s.step;
    }
    list.clear();
    EXPECT_EQ(list.HeaderImage(), CCheckListCtrl::kChecked) << "no row is left unchecked";
    list.InsertItem(0, {"new", "id"});
    EXPECT_EQ(list.HeaderImage(), CCheckListCtrl::kUnchecked);
}

} // namespace
