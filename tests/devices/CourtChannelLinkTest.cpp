// The receiver's start-up: the operator view starts the link, the fake receiver answers the version, the
// program gives it the court's saved channel, the receiver reports its network and the program is linked;
// "SET" on the Rule page then gives it another channel.
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

#include <algorithm>
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

    // The view up to the receiver linked on the court's saved channel, with the configuration dialog open.
    void StartToTheLink() {
        ASSERT_TRUE(fake.IsOpen());
        setenv("BELVANTA_RECEIVER", fake.SlavePath().c_str(), 1);
        view = std::make_unique<CMainWnd>();
        view->m_pReceiver->clock = &clock;
        view->OnInitialUpdate();
        ASSERT_TRUE(fake.WaitForCommand(0x07));
        ASSERT_TRUE(pumpUntil([&] { return view->m_bLinkReady != 0; }));
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

// The channel of each 0x0A frame the receiver got, in order.
std::vector<int> ChannelsSent(const FakeReceiver& fake) {
    std::vector<int> channels;
    for (const Bytes& frame : fake.Commands())
        if (frame.size() > 4 && frame[2] == 0x0A)
            channels.push_back(frame[4]);
    return channels;
}

// The network requests (0x0B) so far. Waited for with the events delivered: the receive thread hands the
// network reply to the view by a send.
int NetworkRequests(const FakeReceiver& fake) {
    return static_cast<int>(
        std::ranges::count_if(fake.Commands(), [](const Bytes& frame) { return frame[2] == 0x0B; }));
}

TEST_F(CourtChannelLinkTest, TheSavedChannelLinksAtStartAndSetGivesTheNewOneOnTheFirstPressEveryTime) {
    fake.SetVersion(0x03, 0x07);
    md->nChannelNo = 4;
    StartToTheLink();
    EXPECT_EQ(ChannelsSent(fake), std::vector<int>{4}) << "the court's saved channel, without a SET";
    EXPECT_EQ(md->bReceiverVerOk, 1);

    page->Check(CTK_RuleWnd::IDC_COURT_UP)->click(); // court 6: channel 5
    EXPECT_EQ(page->Combo(CTK_RuleWnd::IDC_CHANNEL)->currentIndex(), 4)
        << "a linked receiver keeps its channel";
    page->Combo(CTK_RuleWnd::IDC_CHANNEL)->setCurrentIndex(5);
    page->Check(CTK_RuleWnd::IDC_SET)->click();

    ASSERT_TRUE(pumpUntil([&] { return NetworkRequests(fake) == 2; }));
    EXPECT_EQ(ChannelsSent(fake), (std::vector<int>{4, 5})) << "the channel index goes to the receiver";
    ASSERT_TRUE(pumpUntil([&] { return view->m_pReceiver->protocol.nState.load() == kReceiverReady; }));
    EXPECT_EQ(md->nCourtNo, 6);
    EXPECT_EQ(md->nChannelNo, 5);
    EXPECT_EQ(ReadIniInt(u"Rule", u"Channel_No", u"Rule.ini"), 5);
    EXPECT_EQ(md->bReceiverVerOk, 1);
    EXPECT_EQ(page->Static(CTK_RuleWnd::IDC_VERSION)->text(), "Receiver (Ver. 03.07)");
    ASSERT_TRUE(pumpUntil([&] { return !page->GetDlgItem(CTK_RuleWnd::IDC_SET)->isEnabled(); }));

    // The dialog opened again on the linked receiver: SET is taken at once, each time.
    for (const int channel : {7, 2}) {
        view->m_pSuDlg->close();
        view->Button(1249)->click();
        ASSERT_NE(view->m_pSuDlg, nullptr);
        page = view->m_pSuDlg->RulePage();
        page->Combo(CTK_RuleWnd::IDC_CHANNEL)->setCurrentIndex(channel);
        const int networkRequests = NetworkRequests(fake);
        page->Check(CTK_RuleWnd::IDC_SET)->click();
        ASSERT_TRUE(pumpUntil([&] { return NetworkRequests(fake) == networkRequests + 1; })) << channel;
        EXPECT_EQ(ChannelsSent(fake).back(), channel);
        ASSERT_TRUE(pumpUntil([&] { return !page->GetDlgItem(CTK_RuleWnd::IDC_SET)->isEnabled(); }));
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompter.texts().empty()) << ::testing::PrintToString(prompter.texts());
}

TEST_F(CourtChannelLinkTest, AnOldReceiverLinksButIsWarnedAbout) {
    fake.SetVersion(0x02, 0x07);
    StartToTheLink();
    page->Check(CTK_RuleWnd::IDC_SET)->click();
    ASSERT_TRUE(pumpUntil([&] { return view->m_bLinkReady != 0; }));
    EXPECT_EQ(md->bReceiverVerOk, 0);
    ASSERT_TRUE(pumpUntil([&] { return !prompter.texts().empty(); }));
    EXPECT_EQ(prompter.texts().front().rfind("Warning!!", 0), 0u);
}

} // namespace
