#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MainFrame.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Monitors.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Remembers what the frame told it and whether the record still existed when the view went.
struct ViewLog {
    std::vector<int> monitorCountsAtDisplayChange;
    bool recordAliveAtViewEnd = false;
};

class RecordingView : public CMainWnd {
public:
    RecordingView(QWidget* parent, ViewLog& log) : CMainWnd(parent), m_log(log) {}
    ~RecordingView() override { m_log.recordAliveAtViewEnd = g_pMatchData != nullptr; }
    void OnDisplayChange() override {
        m_log.monitorCountsAtDisplayChange.push_back(g_pMatchData->nMonitorCount);
        CMainWnd::OnDisplayChange();
    }

private:
    ViewLog& m_log;
};

class RecordingFrame : public CMainFrame {
public:
    RecordingFrame(MonitorProvider& monitors, ViewLog& log) : CMainFrame(monitors), m_log(log) {}

protected:
    CMainWnd* CreateView() override { return new RecordingView(this, m_log); }

private:
    ViewLog& m_log;
};

MonitorRect Primary(int width, int height) {
    return {0, 0, width, height, true};
}

// Each test has its own program folder with an empty Rule.ini, so the rule settings take their
// replacement values, and answers the close question from a script.
class FrameTest : public ::testing::Test {
protected:
    FrameTest() : m_savedAppDir(g_strAppDir) { g_strAppDir = home.widePath(); }
    ~FrameTest() override { g_strAppDir = m_savedAppDir; }

    TempHome home;
    ScriptedPrompter prompter;
    FakeMonitors monitors;
    ViewLog log;

private:
    std::u16string m_savedAppDir;
};

struct PlacementCase {
    const char* name;
    std::vector<MonitorRect> layout;
    const char16_t* displayResolution;
    QPoint position;
    QSize publicScreen;
};

TEST_F(FrameTest, PlacesItselfCentredOnThePrimaryAtItsFixedSize) {
    const PlacementCase cases[] = {
        {"1280x720 primary", {Primary(1280, 720)}, u"1", {0, 0}, {1280, 720}},
        {"1920x1080 primary", {Primary(1920, 1080)}, u"0", {320, 180}, {1920, 1080}},
        {"no resolution key", {Primary(1920, 1080)}, nullptr, {320, 180}, {1920, 1080}},
        // On this desktop a monitor may lie left of the primary: the frame still goes onto the primary.
        {"primary right of another",
         {{0, 0, 1280, 1024, false}, {1280, 0, 3200, 1080, true}},
         u"1",
         {1600, 180},
         {1280, 720}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        home.write("ini/Rule.ini", "");
        if (c.displayResolution) {
            ASSERT_TRUE(WriteIniString(u"Rule", u"Display_Resolution", c.displayResolution, u"Rule.ini"));
        }
        monitors.setLayout(c.layout);
        CMainFrame frame(monitors);
        frame.OnCreate();
        frame.show();
        EXPECT_EQ(frame.windowTitle(), QStringLiteral("Belvanta V2.0.18H"));
        EXPECT_EQ(frame.frameGeometry().topLeft(), c.position);
        EXPECT_EQ(frame.frameGeometry().size(), QSize(1296, 742));
        ASSERT_NE(frame.windowHandle(), nullptr);
        EXPECT_EQ(frame.maximumSize().grownBy(frame.windowHandle()->frameMargins()), QSize(1296, 742));
        EXPECT_EQ(QSize(g_pMatchData->nExtScrWidth, g_pMatchData->nExtScrHeight), c.publicScreen);
        EXPECT_EQ(frame.centralWidget(), frame.view());
    }
}

struct MeasureCase {
    const char* name;
    std::vector<MonitorRect> layout;
    int count, primaryRight, primaryBottom, secondRight, secondBottom;
};

TEST_F(FrameTest, MeasuresOneTwoAndThreeMonitors) {
    const MeasureCase cases[] = {
        {"one", {Primary(1920, 1080)}, 1, 1920, 1080, 0, 0},
        {"two", {Primary(1366, 768), {1366, 0, 3286, 1080, false}}, 2, 1366, 768, 3286, 1080},
        {"secondary listed first",
         {{1920, 0, 3200, 720, false}, Primary(1920, 1080)},
         2,
         1920,
         1080,
         3200,
         720},
        // With three the last non-primary monitor in the platform's order is the public screen.
        {"three",
         {{1366, 0, 3286, 1080, false}, Primary(1366, 768), {3286, 0, 4566, 720, false}},
         3,
         1366,
         768,
         4566,
         720},
    };
    for (const MeasureCase& c : cases) {
        SCOPED_TRACE(c.name);
        monitors.setLayout(c.layout);
        CMainFrame frame(monitors);
        frame.OnCreate();
        const MatchData& md = *g_pMatchData;
        EXPECT_EQ(md.nMonitorCount, c.count);
        EXPECT_EQ(md.nPrimaryRight, c.primaryRight);
        EXPECT_EQ(md.nPrimaryBottom, c.primaryBottom);
        EXPECT_EQ(md.nSecondRight, c.secondRight);
        EXPECT_EQ(md.nSecondBottom, c.secondBottom);
    }
}

TEST_F(FrameTest, UnplugCountsAgainKeepsTheLostEdgesAndTellsTheViewAfterMeasuring) {
    monitors.setLayout({Primary(1920, 1080), {1920, 0, 3840, 1080, false}});
    RecordingFrame frame(monitors, log);
    frame.OnCreate();
    frame.show();
    const QPoint placed = frame.pos();

    monitors.setLayout({Primary(1920, 1080)});
    EXPECT_EQ(g_pMatchData->nMonitorCount, 1);
    EXPECT_EQ(g_pMatchData->nSecondRight, 3840);
    EXPECT_EQ(g_pMatchData->nSecondBottom, 1080);
    EXPECT_EQ(frame.pos(), placed);

    monitors.setLayout({Primary(1920, 1080), {1920, 0, 3200, 720, false}});
    EXPECT_EQ(g_pMatchData->nMonitorCount, 2);
    EXPECT_EQ(g_pMatchData->nSecondRight, 3200);
    EXPECT_EQ(log.monitorCountsAtDisplayChange, (std::vector<int>{1, 2}));
}

TEST_F(FrameTest, TheViewGoesBeforeTheRecordAndDisplayChangesStopWithTheFrame) {
    monitors.setLayout({Primary(1280, 720)});
    {
        RecordingFrame frame(monitors, log);
        frame.OnCreate();
        ASSERT_NE(g_pMatchData, nullptr);
    }
    EXPECT_TRUE(log.recordAliveAtViewEnd);
    EXPECT_EQ(g_pMatchData, nullptr);
    monitors.setLayout({Primary(1280, 720), {1280, 0, 3200, 1080, false}}); // must reach nothing
    EXPECT_TRUE(log.monitorCountsAtDisplayChange.empty());
}

struct CloseCase {
    const char* name;
    int bCloseNoAsk;
    int answer;
    bool asked;
    bool closes;
};

TEST_F(FrameTest, AsksBeforeClosingUnlessTold) {
    const CloseCase cases[] = {
        {"Yes closes", 0, IDYES, true, true},
        {"No keeps running", 0, IDNO, true, false},
        {"no question when told", 1, IDNO, false, true},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompter answers;
        answers.answer(c.answer);
        monitors.setLayout({Primary(1920, 1080)});
        CMainFrame frame(monitors);
        frame.OnCreate();
        frame.show();
        g_pMatchData->bCloseNoAsk = c.bCloseNoAsk;
        g_pMatchData->nCourtNo = 7;

        EXPECT_EQ(frame.close(), c.closes);
        EXPECT_EQ(frame.isVisible(), !c.closes);
        EXPECT_EQ(g_pMatchData->nCourtNo, 7);
        const auto boxes = answers.boxes();
        ASSERT_EQ(boxes.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(boxes[0].text, u"Are you sure to close this program?");
            EXPECT_EQ(boxes[0].caption, u"Information");
            EXPECT_EQ(boxes[0].flags, MB_YESNO | MB_ICONQUESTION);
        }
    }
}

TEST_F(FrameTest, TerminationClosesWithoutTheQuestionAndEndsAnOpenModalDialog) {
    ScriptedPrompter answers(IDNO);
    monitors.setLayout({Primary(1920, 1080)});
    CMainFrame frame(monitors);
    frame.OnCreate();
    frame.show();

    QDialog dialog(&frame);
    QTimer::singleShot(0, &frame, [&] {
        frame.closeWithoutAsking();
        EXPECT_FALSE(dialog.isVisible());
        dialog.reject(); // keeps a failing run from hanging in exec()
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(frame.isVisible());
    EXPECT_TRUE(answers.boxes().empty());
}

TEST(ScreenMonitors, MeasuresTheScreensWithOuterEdges) {
    ScreenMonitors provider;
    const auto measured = provider.monitors();
    const auto screens = QGuiApplication::screens();
    ASSERT_EQ(measured.size(), static_cast<size_t>(screens.size()));
    int primaries = 0;
    for (size_t i = 0; i < measured.size(); ++i) {
        const QRect g = screens[static_cast<qsizetype>(i)]->geometry();
        EXPECT_EQ(measured[i].left, g.x());
        EXPECT_EQ(measured[i].right, g.x() + g.width());
        EXPECT_EQ(measured[i].bottom, g.y() + g.height());
        primaries += measured[i].primary ? 1 : 0;
    }
    EXPECT_EQ(primaries, 1);
}

} // namespace
