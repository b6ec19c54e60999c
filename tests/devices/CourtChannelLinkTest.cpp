// The receiver's start-up completed from the configuration dialog: the operator view starts the link, the
// fake receiver answers the version, and "SET" on the Rule page gives the channel, after which the receiver
// reports its network and the program is linked.
#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "devices/Receiver.h"
#include "devices/ReceiverCommand.h"
#include "match/RuleWnd.h"
#include "match/SuDlg.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"
#include "tools/FakeReceiver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

class CourtChannelLinkTest : public TestCourt, public ::testing::Test {
protected:
    CourtChannelLinkTest() {
        m_savedView = g_hMainWnd;
        md->nCourtNo = 5;
        md->nChannelNo = 0;
    }
    ~CourtChannelLinkTest() override {
        view.reset();
        unsetenv("BELVANTA_RECEIVER");
        g_hMainWnd = m_savedView;
        g_strReceiverVersion.clear();
    }

    // The view up to the receiver's version reply, with the configuration dialog open.
    void StartToTheVersion() {
        ASSERT_TRUE(fake.IsOpen());
        setenv("BELVANTA_RECEIVER", fake.SlavePath().c_str(), 1);
        view = std::make_unique<CMainWnd>();
        view->m_pReceiver->clock = &clock;
        view->OnInitialUpdate();
        ASSERT_TRUE(fake.WaitForCommand(0x07));
        ASSERT_TRUE(
            pumpUntil([&] { return view->m_pReceiver->protocol.nState.load() == kReceiverVersionReceived; }));
        view->Button(1249)->click();
        ASSERT_NE(view->m_pSuDlg, nullptr);
        page = view->m_pSuDlg->RulePage();
    }

    FakeReceiver fake;
    WorkerClock clock{true};
    std::unique_ptr<CMainWnd> view;
    CTK_RuleWnd* page = nullptr;

private:
    HWND m_savedView = 0;
};

TEST_F(CourtChannelLinkTest, SetSendsTheChannelAndTheProgramReachesTheLinkedState) {
    fake.SetVersion(0x03, 0x07);
    StartToTheVersion();
    page->Check(CTK_RuleWnd::IDC_COURT_UP)->click(); // court 6: channel 5
    EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_CHANNEL)->currentIndex(), 5);
    page->Check(CTK_RuleWnd::IDC_SET)->click();

    ASSERT_TRUE(fake.WaitForCommand(0x0A));
    Bytes channelCommand;
    for (const Bytes& frame : fake.Commands())
        if (frame.size() > 3 && frame[2] == 0x0A)
            channelCommand = frame;
    ASSERT_GE(channelCommand.size(), 5u);
    EXPECT_EQ(channelCommand[4], 5) << "the channel index goes to the receiver";

    ASSERT_TRUE(pumpUntil([&] { return view->m_bLinkReady != 0; }));
    EXPECT_EQ(view->m_pReceiver->protocol.nState.load(), kReceiverReady);
    EXPECT_EQ(md->nCourtNo, 6);
    EXPECT_EQ(md->nChannelNo, 5);
    EXPECT_EQ(ReadIniInt(u"Rule", u"Channel_No", u"Rule.ini"), 5);
    EXPECT_EQ(md->bReceiverVerOk, 1);
    EXPECT_EQ(page->Static(CTK_RuleWnd::IDC_VERSION)->text(), "Receiver (Ver. 03.07)");
    EXPECT_FALSE(page->GetDlgItem(CTK_RuleWnd::IDC_SET)->isEnabled());
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(CourtChannelLinkTest, AnOldReceiverLinksButIsWarnedAbout) {
    fake.SetVersion(0x02, 0x07);
    StartToTheVersion();
    page->Check(CTK_RuleWnd::IDC_SET)->click();
    ASSERT_TRUE(pumpUntil([&] { return view->m_bLinkReady != 0; }));
    EXPECT_EQ(md->bReceiverVerOk, 0);
    ASSERT_TRUE(pumpUntil([&] { return !prompter.texts().empty(); }));
    EXPECT_EQ(prompter.texts().front().rfind("Warning!!", 0), 0u);
}

} // namespace
