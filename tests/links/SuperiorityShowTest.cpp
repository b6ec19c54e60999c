// The operator's "Show" button of the golden-round superiority window.
#include "links/SuperiorityShow.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "screens/OperatorLayout.h"
#include "tests/support/TestCourt.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class ShowView : public CMainWnd {
public:
    void ShowSuperiorityWindow(const QRect& r, int mode) override {
        calls.push_back("show " + std::to_string(r.left()) + "," + std::to_string(r.top()) + "-" +
                        std::to_string(r.right()) + "," + std::to_string(r.bottom()) + " mode " +
                        std::to_string(mode));
    }
    void HideSuperiorityWindow() override { calls.push_back("hide"); }
    std::vector<std::string> calls;
};

class SuperiorityShowTest : public ::testing::Test, protected TestCourt {
protected:
    SuperiorityShowTest() {
        // A 1366 x 768 operator monitor with a 1920 x 1080 one to its right.
        md->nMonitorCount = 2;
        md->nPrimaryRight = 1366;
        md->nSecondRight = 1366 + 1920;
        md->nSecondBottom = 1080;
    }
};

TEST_F(SuperiorityShowTest, TheWindowSitsInsideThePublicScreenOfEachLayout) {
    const struct {
        int resolution, width, height;
        QRect expected; // left, top, right, bottom
    } cases[] = {
        {0, 1920, 1080, QRect(QPoint(1366 + 325, 220), QPoint(1366 + 1595, 861))},
        // 1280 x 720 centred on the second monitor: x0 1686, y0 180.
        {1, 1280, 720, QRect(QPoint(1686 + 218, 180 + 147), QPoint(1686 + 1064, 180 + 574))},
    };
    for (const auto& c : cases) {
        md->nDisplayResolution = c.resolution;
        md->nExtScrWidth = c.width;
        md->nExtScrHeight = c.height;
        EXPECT_EQ(SuperiorityWindowRect(*md), c.expected) << c.resolution;
    }
}

TEST_F(SuperiorityShowTest, TheButtonShowsWhenItReadsUncheckedAndHidesWhenChecked) {
    md->nDisplayResolution = 0;
    md->nExtScrWidth = 1920;
    md->nExtScrHeight = 1080;
    md->nCompetitionRule = 1;
    ShowView view;
    QPushButton* show = view.Button(OperatorIds::Superiority);
    show->setCheckable(true);
    show->setChecked(true); // as the end of a golden round leaves it
    show->click();
    show->click();
    md->nMonitorCount = 1; // no public screen: nothing to show
    show->click();
    show->click();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"show 1691,220-2961,861 mode 1", "hide", "hide"}));
}

} // namespace
