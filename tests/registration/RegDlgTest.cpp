// The registration dialogs through their controls, offscreen: saving and loading contests, the messages to
// the operator view, pairing replies, the round time and levels; and the view's registration button and
// device-error pop-up.
#include "registration/RegDlg.h"
#include "registration/RegDlgTeam.h"

#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/VeziruduzApp.h"
#include "controls/MaskedEdit.h"
#include "devices/DevErrDlg.h"
#include "devices/JudgeSerialPort.h"
#include "devices/PacketDispatch.h"
#include "platform/TickSource.h"
#include "platform/WindowMessages.h"
#include "registration/ContestList.h"
#include "registration/RegDlgHandle.h"
#include "tests/support/TestCourt.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include <pty.h>
#include <unistd.h>

namespace {

// The operator view as the dialog sees it: every message written down with its text.
class FakeView : public MessageWindow {
public:
    struct Message {
        UINT message;
        WPARAM wParam;
        std::string text;
    };
    std::vector<Message> received;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const bool text = message == UM_REGISTER_DEVICE || message == UM_REGISTER_TEAM_DEVICE ||
                          message == UM_SET_ROUND_TIME;
        received.push_back({message, wParam, text && lParam ? reinterpret_cast<const char*>(lParam) : ""});
        return 0;
    }
    std::vector<UINT> Messages() const {
        std::vector<UINT> list;
        for (const Message& m : received)
            list.push_back(m.message);
        return list;
    }
};

// The dialogs with the progress dialog written down instead of shown.
template <typename Base> class Testable : public Base {
public:
    using Base::Base;
    std::vector<std::string> progress;

protected:
    void ShowProgress(const std::u16string& text) override {
        progress.push_back(QString::fromStdU16String(text).toStdString());
    }
};
using RegDlg = Testable<CTK_RegDlg>;
using TeamDlg = Testable<CTK_RegDlg_Team>;

const char* const kChungTrunk = "00150005E7750A1B";

class RegDlgTest : public ::testing::Test, protected TestCourt {
protected:
    RegDlgTest() {
        EXPECT_EQ(home.makeLocalDatabase(), "");
        theApp.m_dbLocal.Close();
        EXPECT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str()));
        g_hMainWnd = view.GetSafeHwnd();
        const char16_t* nations[][3] = {{u"", u"", u"-"}, {u"KOR", u"", u"Korea"}, {u"IRL", u"", u"Ireland"}};
        for (int i = 0; i < 3; ++i)
            for (int f = 0; f < 3; ++f)
                std::copy_n(nations[i][f], std::char_traits<char16_t>::length(nations[i][f]) + 1,
                            md->aNation[i].wszField[f]);
        md->nNationCount = 3;
        md->nPSSType = 2;
        md->nRound = 3;
        md->nMatchTime = 120;
        md->nPrimaryRight = 1920;
        md->nPrimaryBottom = 1080;
    }
    ~RegDlgTest() override {
        delete dialog.data();
        g_hMainWnd = 0;
        g_hRegDlg = 0;
        theApp.m_dbLocal.Close();
    }

    template <typename T = RegDlg> T* Open() {
        auto* d = new T;
        dialog = d;
        return d;
    }
    QLineEdit* Edit(int id) { return static_cast<QLineEdit*>(dialog->GetDlgItem(id)); }
    QComboBox* Combo(int id) { return static_cast<QComboBox*>(dialog->GetDlgItem(id)); }
    void Click(int id) { static_cast<QAbstractButton*>(dialog->GetDlgItem(id))->click(); }
    CMy_ListCtrl* List() { return static_cast<CMy_ListCtrl*>(dialog->GetDlgItem(1279)); }

    void Register(const char* chung, int chungNation, const char* hong, int hongNation,
                  const char* gender = "Male") {
        Edit(1302)->setText(QString::fromUtf8(chung));
        Edit(1304)->setText(QString::fromUtf8(hong));
        Combo(1306)->setCurrentIndex(chungNation);
        Combo(1307)->setCurrentIndex(hongNation);
        Combo(1298)->setCurrentText(QString::fromUtf8(gender));
        Click(1310);
    }
    void LoadRow(int row) {
        List()->clearSelection();
        List()->selectRow(row);
        dialog->OnContestListDblClk();
    }

    FakeView view;
    platform::ManualTime clock;
    QPointer<CTK_RegDlg> dialog;
};

TEST_F(RegDlgTest, RegisteredContestsAreListedNumberedAndLoaded) {
    RegDlg* d = Open();
    EXPECT_EQ(g_hRegDlg.load(), d->GetSafeHwnd());
    EXPECT_EQ(d->GetDlgItemText(1050), "001");
    Register("KIM", 1, "O'NEIL", 2);
    ASSERT_EQ(List()->rowCount(), 1);
    EXPECT_EQ(List()->item(0, 1)->text(), "001");
    EXPECT_EQ(List()->item(0, 4)->text(), "O`NEIL");
    EXPECT_EQ(d->GetDlgItemText(1050), "002");
    EXPECT_EQ(Edit(1302)->text(), ""); // the form's names are emptied for the next contest
    Register("", 0, "", 0, "Female");
    ASSERT_EQ(List()->rowCount(), 2);
    EXPECT_EQ(List()->item(1, 2)->text(), "CHUNG");

    LoadRow(0);
    EXPECT_STREQ(md->szContestNo, "001");
    EXPECT_STREQ(md->aPlayer[0].szName, "KIM");
    EXPECT_STREQ(md->aPlayer[1].szNationCode, "IRL");
    EXPECT_EQ(d->GetDlgItemText(1280), "001");
    EXPECT_EQ(d->GetDlgItemText(1008), "KIM");
    EXPECT_EQ(d->GetDlgItemText(1284), "Ireland");
    // The view learns of the new match first, then that it is loaded.
    EXPECT_EQ(view.Messages(), (std::vector<UINT>{UM_MATCH_INFO_CHANGED, UM_MATCH_LOADED}));
}

TEST_F(RegDlgTest, LoadWhileAMatchRunsIsRefusedWithItsReason) {
    Open();
    Register("KIM", 1, "LEE", 2);
    md->nGameState = 3;
    LoadRow(0);
    EXPECT_STREQ(md->szContestNo, "");
    EXPECT_TRUE(view.received.empty());
    EXPECT_EQ(prompter.texts().back(), "Please finish the previous game.");
}

TEST_F(RegDlgTest, DeleteSparesTheLoadedContestAndSaysSo) {
    RegDlg* d = Open();
    Register("KIM", 1, "LEE", 2);
    Register("PARK", 1, "ROSS", 2);
    Register("CHO", 1, "HALL", 2);
    LoadRow(2); // contest 003 is the match now
    List()->selectAll();
    d->DeleteSelectedPlayers();
    ASSERT_EQ(List()->rowCount(), 1);
    EXPECT_EQ(List()->item(0, 1)->text(), "003");
    EXPECT_EQ(prompter.texts().back(), "The contest of the loaded match is kept; it was not deleted.");
    // The next number stays 4; the form keeps the loaded contest's number.
    EXPECT_EQ(d->NextNumber(), 4);
    EXPECT_EQ(d->GetDlgItemText(1050), "003");
    d->LoadContestList();
    EXPECT_EQ(List()->rowCount(), 1); // gone from the table as well
}

TEST_F(RegDlgTest, ProtectorPairingRequestReplyAndRelease) {
    RegDlg* d = Open();
    Edit(1044)->setText(kChungTrunk);
    Click(1285);
    ASSERT_EQ(view.received.size(), 1u);
    EXPECT_EQ(view.received[0].message, UM_REGISTER_DEVICE);
    EXPECT_EQ(view.received[0].wParam, 0u);
    EXPECT_EQ(view.received[0].text, std::string("CV") + kChungTrunk);
    EXPECT_EQ(d->progress, (std::vector<std::string>{"Registering the Chung's trunk pss ..."}));

    const std::string reply = std::string("CV,") + kChungTrunk;
    SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, 0, reinterpret_cast<LPARAM>(reply.c_str()));
    EXPECT_EQ(md->bRegBody[0], 1);
    EXPECT_STREQ(md->aPlayer[0].szMacBody, kChungTrunk);
    EXPECT_EQ(d->GetDlgItemText(1285), "Trunk\nOff");

    prompter.answer(IDYES);
    Click(1285);
    EXPECT_EQ(view.received.back().message, UM_RELEASE_DEVICE);
    EXPECT_EQ(md->bRegBody[0], 0);
    EXPECT_EQ(d->GetDlgItemText(1285), "Trunk\nRegister");
    EXPECT_EQ(Edit(1044)->text(), "");
}

TEST_F(RegDlgTest, RefusedAddressesNeverReachTheView) {
    Open();
    Edit(1044)->setText("00150005E7750A1");
    Click(1285);
    Edit(1046)->setText(kChungTrunk); // a Chung address on Hong's trunk
    Click(1287);
    EXPECT_TRUE(view.received.empty());
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  "The character size are longer or shorter then 16.",
                  "The color of protector is not corrected!\r\nPlease check the color of protector."}));
}

// One device scores for one slot: an address another slot holds is refused, naming that slot, whether it is
// typed for a pre-registration or comes back from a pairing.
TEST_F(RegDlgTest, AnAddressAnotherSlotHoldsIsRefusedNamingTheSlot) {
    struct Case {
        bool team;
        const char* paired;  // the pairing reply that registers the first slot
        int edit, button;    // the second slot's address edit and button
        const char* refusal; // the box
    };
    const Case cases[] = {
        {false, "CV,00150005E7750A1B", 1045, 1286,
         "The device 00150005E7750A1B is already registered to Chung's trunk protector.\r\nRelease it there "
         "first."},
        {true, "HH6,1015000AE7750C2D", 1069, 1318,
         "The device 1015000AE7750C2D is already registered to Hong's member 6 head gear.\r\nRelease it "
         "there "
         "first."},
        {true, "HH6,1015000AE7750C2D", 1064, 1309, // in lower case, member 4's Chung trunk
         "The device 1015000ae7750c2d is already registered to Hong's member 6 head gear.\r\nRelease it "
         "there "
         "first."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal);
        md->nCompetitionType = c.team ? 1 : 0;
        md->nTeamType = 3;
        if (c.team)
            Open<TeamDlg>();
        else
            Open();
        SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, 0, reinterpret_cast<LPARAM>(c.paired));
        const std::string address = std::string(c.paired).substr(std::string(c.paired).find(',') + 1);
        const bool lower = std::string(c.refusal).find("ae77") != std::string::npos;
        Edit(c.edit)->setText(lower ? QString::fromStdString(address).toLower()
                                    : QString::fromStdString(address));
        view.received.clear();
        Click(c.button);
        EXPECT_TRUE(view.received.empty()) << "nothing goes to the receiver";
        ASSERT_FALSE(prompter.texts().empty());
        EXPECT_EQ(prompter.texts().back(), c.refusal);
        delete dialog.data();
        std::fill(std::begin(md->bRegBody), std::end(md->bRegBody), 0);
        std::fill(std::begin(md->bRegHead), std::end(md->bRegHead), 0);
    }

    // The same device paired again for Chung's head gear: let go again, the slot stays free.
    md->nCompetitionType = 0;
    RegDlg* d = Open();
    SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, 0, reinterpret_cast<LPARAM>("CV,00150005E7750A1B"));
    view.received.clear();
    SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, 0, reinterpret_cast<LPARAM>("CH,00150005E7750A1B"));
    EXPECT_EQ(md->bRegHead[0], 0);
    EXPECT_EQ(d->GetDlgItemText(1286), "Head\nRegister");
    ASSERT_EQ(view.received.size(), 1u);
    EXPECT_EQ(view.received[0].message, UM_RELEASE_DEVICE);
    EXPECT_EQ(view.received[0].wParam, 1u);
    QCoreApplication::processEvents();
    EXPECT_EQ(
        prompter.texts().back(),
        "The device 00150005E7750A1B is already registered to Chung's trunk protector.\r\nRelease it there "
        "first.");
    // Its own slot takes it again after a release.
    prompter.answer(IDYES);
    Click(1285);
    EXPECT_EQ(md->bRegBody[0], 0);
    SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, 0, reinterpret_cast<LPARAM>("CH,00150005E7750A1B"));
    EXPECT_EQ(md->bRegHead[0], 1);
}

TEST_F(RegDlgTest, ReleaseKeepsTheAddressWhileTheOvrLinkIsUp) {
    RegDlg* d = Open();
    int link = 0;
    md->pOvrLink = &link;
    md->bOvrConnected = 1;
    const std::string reply = std::string("CV,") + kChungTrunk;
    SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, 0, reinterpret_cast<LPARAM>(reply.c_str()));
    d->ReleaseDevice(0);
    EXPECT_EQ(md->bRegBody[0], 0);
    EXPECT_EQ(Edit(1044)->text(), kChungTrunk);
    md->pOvrLink = nullptr;
}

TEST_F(RegDlgTest, JudgeReplyShowsAfterItsPauseWithoutHoldingTheSender) {
    RegDlg* d = Open();
    Click(1330);
    EXPECT_EQ(view.received.back().wParam, 21u);
    EXPECT_EQ(view.received.back().text, "");
    EXPECT_EQ(d->progress.back(), "Registering the Judge 2 device ...");

    const char* reply = "judge2,A1B2C3";
    SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, 1, reinterpret_cast<LPARAM>(reply));
    EXPECT_EQ(md->bJudgeWired[1], 0);
    clock.advance(599);
    EXPECT_EQ(md->bJudgeWired[1], 0);
    clock.advance(1);
    EXPECT_EQ(md->bJudgeWired[1], 1);
    EXPECT_STREQ(md->szJudgeMac[1], "A1B2C3");
    EXPECT_EQ(d->GetDlgItemText(1324), "A1B2C3");
    EXPECT_EQ(d->GetDlgItemText(1330), "Judge 2\nOff");
}

TEST_F(RegDlgTest, WiredJudgeThatCannotOpenIsNotRegistered) {
    Open();
    md->nJudgeUse[0] = 1;
    Click(1329);
    EXPECT_EQ(md->bJudgeWired[0], 0);
    EXPECT_TRUE(view.received.empty());
    // The box says which judge and why.
    EXPECT_EQ(prompter.texts().back(), "Fail to connection!\r\nPlease check the wire connection!\r\nJudge 1: "
                                       "no port is set in JudgeDev.ini");
}

TEST_F(RegDlgTest, WiredJudgeOpensItsPortAndClosesItOnRelease) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    home.write("ini/JudgeDev.ini", std::string("[JUDGE_1]\r\nUse=1\r\nPort=") + name + "\r\n");
    md->nJudgeUse[0] = 1;
    RegDlg* d = Open();
    Click(1329);
    EXPECT_EQ(md->bJudgeWired[0], 1);
    EXPECT_TRUE(g_JudgeSerial[0].IsOpen());
    EXPECT_EQ(d->GetDlgItemText(1323), "OK");
    EXPECT_EQ(d->GetDlgItemText(1329), "Judge 1\nOff");
    prompter.answer(IDYES);
    Click(1329);
    EXPECT_FALSE(g_JudgeSerial[0].IsOpen());
    EXPECT_EQ(md->bJudgeWired[0], 0);
    EXPECT_EQ(view.received.back().message, UM_RELEASE_DEVICE);
    EXPECT_EQ(view.received.back().wParam, 20u);
    EXPECT_EQ(d->GetDlgItemText(1323), "None");
    ::close(master);
    ::close(slave);
}

TEST_F(RegDlgTest, RoundTimeApplyAndReset) {
    RegDlg* d = Open();
    static_cast<QAbstractButton*>(d->GetDlgItem(1057))->click();
    EXPECT_TRUE(d->GetDlgItem(1294)->isEnabled());
    static_cast<CMaskedEdit*>(d->GetDlgItem(1052))->SetWindowText("9:59.99");
    Combo(1043)->setCurrentIndex(1);
    prompter.answer(IDYES);
    Click(1294);
    ASSERT_FALSE(view.received.empty());
    EXPECT_EQ(view.received.back().message, UM_SET_ROUND_TIME);
    EXPECT_EQ(view.received.back().text, "599990,2");
    EXPECT_FALSE(d->GetDlgItem(1294)->isEnabled());

    d->OnSpinTime(true); // 9:59 stays
    EXPECT_EQ(d->GetDlgItemText(1052), "9 : 59 . 99");
    prompter.answer(IDYES);
    d->OnResetRoundTime();
    EXPECT_EQ(view.received.back().text, "120,1");
    EXPECT_EQ(d->GetDlgItemText(1052), "2 : 00 . 00");
}

TEST_F(RegDlgTest, LevelsRefusedUnlessWholeNumbers) {
    RegDlg* d = Open();
    md->nLevelBody = 20;
    Edit(1048)->setText("");
    Edit(1056)->setText("15");
    Click(1289);
    EXPECT_EQ(md->nLevelBody, 20);
    EXPECT_TRUE(view.received.empty());
    Edit(1048)->setText("30");
    d->OnApplyLevels();
    EXPECT_EQ(md->nLevelBody, 30);
    EXPECT_EQ(md->nLevelPunch, 15);
    EXPECT_EQ(view.Messages(), (std::vector<UINT>{UM_POWER_LEVEL_CHANGED}));
}

TEST_F(RegDlgTest, HundredAndFirstLogLineStartsTheLogAgain) {
    RegDlg* d = Open();
    for (int i = 1; i <= 101; ++i) {
        const std::string line = "line " + std::to_string(i);
        SendMessage(g_hRegDlg.load(), UM_REG_LOG_LINE, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    auto* log = static_cast<QListWidget*>(d->GetDlgItem(1410));
    ASSERT_EQ(log->count(), 1);
    EXPECT_EQ(log->item(0)->text(), "line 101");
}

TEST_F(RegDlgTest, ClosingForgetsTheHandleAndTellsTheView) {
    RegDlg* d = Open();
    const HWND handle = d->GetSafeHwnd();
    d->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(g_hRegDlg.load(), 0);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(view.Messages(), (std::vector<UINT>{UM_REGDLG_DESTROYED}));
}

TEST_F(RegDlgTest, PlacementNarrowAndWide) {
    RegDlg* d = Open();
    EXPECT_EQ(d->geometry(), QRect((1920 - 1280) / 2 + 342, (1080 - 720) / 2 + 10, 595, 720));
    d->PlaceOnScreen(1);
    EXPECT_EQ(d->geometry(), QRect((1920 - 1280) / 2 + 190, (1080 - 720) / 2 + 10, 900, 720));
}

TEST_F(RegDlgTest, EachDialogsControlsCoverItsWholeWindowNarrowAndWide) {
    for (const bool team : {false, true}) {
        md->nCompetitionType = team ? 1 : 0;
        md->nTeamType = 3;
        CTK_RegDlg* d = team ? static_cast<CTK_RegDlg*>(Open<TeamDlg>()) : Open();
        for (const int wide : {0, 1}) {
            SCOPED_TRACE(testing::Message() << (team ? "team" : "single") << (wide ? ", wide" : ", narrow"));
            d->PlaceOnScreen(wide);
            d->show();
            QCoreApplication::processEvents();
            const QRect client = d->rect();
            // No strip of the window is left to the background: a control or the panel that holds them
            // lies under every point of its edges.
            QRect bare;
            for (int x = 0; x < client.width(); ++x)
                for (const int y : {0, client.bottom()})
                    if (!d->childAt(x, y))
                        bare |= QRect(x, y, 1, 1);
            for (int y = 0; y < client.height(); ++y)
                if (!d->childAt(client.right(), y))
                    bare |= QRect(client.right(), y, 1, 1);
            EXPECT_TRUE(bare.isEmpty())
                << "nothing covers " << bare.x() << "," << bare.y() << " " << bare.width() << "x"
                << bare.height() << " of the " << client.width() << "x" << client.height() << " window";
            // The window's height goes to its controls: the last row sits at its foot.
            const QWidget* close = d->GetDlgItem(1);
            const int closeBottom = close->mapTo(d, QPoint(0, close->height())).y();
            EXPECT_GE(closeBottom, client.height() - 24) << "an empty strip under the last row";
        }
        delete d;
    }
}

TEST_F(RegDlgTest, TeamMembersShownByTeamTypeAndMemberSixRegisters) {
    md->nCompetitionType = 1;
    md->nTeamType = 2;
    TeamDlg* d = Open<TeamDlg>();
    EXPECT_TRUE(d->GetDlgItem(1309)->isEnabled());  // member 4 Chung trunk
    EXPECT_FALSE(d->GetDlgItem(1315)->isEnabled()); // member 5
    EXPECT_FALSE(d->GetDlgItem(1334)->isEnabled()); // member 6 Hong head
    EXPECT_EQ(d->geometry().height(), 780);
    EXPECT_EQ(Combo(1298)->count(), 3);
    delete d;
    view.received.clear();

    md->nTeamType = 3;
    d = Open<TeamDlg>();
    ASSERT_TRUE(d->GetDlgItem(1334)->isEnabled());
    Edit(1079)->setText("1015000AE7750C2D");
    Click(1334);
    ASSERT_EQ(view.received.size(), 1u);
    EXPECT_EQ(view.received[0].message, UM_REGISTER_TEAM_DEVICE);
    EXPECT_EQ(view.received[0].wParam, 27u);
    EXPECT_EQ(view.received[0].text, "HH61015000AE7750C2D");
    EXPECT_EQ(d->progress.back(), "Registering the Hong 6's head gear ...");
    const char* reply = "HH6,1015000AE7750C2D";
    SendMessage(g_hRegDlg.load(), UM_REG_DEVICE_PAIRED, 0, reinterpret_cast<LPARAM>(reply));
    EXPECT_EQ(md->bRegHead[11], 1);
    EXPECT_STREQ(md->aPlayer[11].szMacHead, "1015000AE7750C2D");
    SendMessage(g_hRegDlg.load(), UM_REG_REFRESH_DEVICES, 0, 0);
    EXPECT_EQ(md->bRegHead[11], 0);
}

TEST_F(RegDlgTest, TeamLevelsAreSavedToTheRules) {
    md->nCompetitionType = 1;
    Open<TeamDlg>();
    Edit(1048)->setText("21");
    Edit(1056)->setText("12");
    Edit(1080)->setText("8");
    Click(1289);
    EXPECT_EQ(md->nLevelHead, 12);
    EXPECT_EQ(md->nLevelPunch, 8);
    const std::string rules = home.read("ini/Rule.ini");
    EXPECT_NE(rules.find("Team_Lev_B=21"), std::string::npos);
    EXPECT_NE(rules.find("Team_Lev_P=8"), std::string::npos);
}

// The operator view's registration button and device-error pop-up.
class ViewRegistrationTest : public RegDlgTest {
protected:
    ViewRegistrationTest() {
        owner = std::make_unique<CMainWnd>();
        g_hMainWnd = owner->GetSafeHwnd();
    }
    ~ViewRegistrationTest() override {
        g_nReceiverPanId = 0;
        owner.reset();
    }
    std::unique_ptr<CMainWnd> owner;
};

// The punch level the team dialog saved is the one the next team match starts with, as the trunk and head
// levels are.
TEST_F(ViewRegistrationTest, TheNextTeamMatchStartsWithTheSavedTeamLevels) {
    md->nCompetitionType = 1;
    Open<TeamDlg>();
    Edit(1048)->setText("16");
    Edit(1056)->setText("2");
    Edit(1080)->setText("23");
    Click(1289);
    md->nLevelBody = md->nLevelHead = md->nLevelPunch = 0;
    owner->ClearMatchIdentity();
    EXPECT_EQ(md->nLevelBody, 16);
    EXPECT_EQ(md->nLevelHead, 2);
    EXPECT_EQ(md->nLevelPunch, 23);
}

TEST_F(ViewRegistrationTest, ButtonWaitsForTheReceiverNetwork) {
    owner->OnClickedRegistration();
    EXPECT_EQ(owner->m_pRegDlg, nullptr);
    EXPECT_EQ(prompter.texts().back(), "Please set the channel and court");
    g_nReceiverPanId = 0x1234;
    owner->OnClickedRegistration();
    ASSERT_NE(owner->m_pRegDlg, nullptr);
    CTK_RegDlg* first = owner->m_pRegDlg;
    owner->OnClickedRegistration();
    EXPECT_EQ(owner->m_pRegDlg, first); // made once
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(owner->m_pRegDlg, nullptr);

    md->nCompetitionType = 1;
    owner->OnClickedRegistration();
    EXPECT_NE(owner->m_pRegDlgTeam, nullptr);
}

TEST(DeviceErrorPicture, FirstRowOfTheTableWins) {
    struct Case {
        int status;
        int picture;
    } cases[] = {
        {0, -1},
        {0x1 | 0x8, 0},       // Chung head gear and Hong trunk: the head gear
        {0x800000, 7},        // the receiver alone
        {0x10000, 1},         // member 5 Chung trunk
        {0x8000000, 3},       // member 6 Hong trunk
        {0x4000000, 2},       // member 6 Hong head gear
        {0x40 | 0x800000, 6}, // judge 3 before the receiver
        {0x10000000, CTK_DevErrDlg::kUnknownDevice},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CTK_DevErrDlg::PictureIndex(c.status), c.picture) << std::hex << c.status;
    EXPECT_EQ(CTK_DevErrDlg::PictureId(7, 0), 629);
    EXPECT_EQ(CTK_DevErrDlg::PictureId(0, 1), 694);
}

TEST_F(ViewRegistrationTest, LostDeviceOpensThePopUpOnTheSecondMonitorOnly) {
    md->nDeviceStatus = 0x2;
    owner->ShowDeviceErrorPopup(1);
    EXPECT_EQ(owner->m_pDevErrDlg, nullptr); // one monitor: nothing
    md->nMonitorCount = 2;
    md->nSecondRight = 1920 + 1920;
    md->nSecondBottom = 1080;
    md->nExtScrWidth = 1920;
    md->nExtScrHeight = 1080;
    owner->ShowDeviceErrorPopup(1);
    ASSERT_NE(owner->m_pDevErrDlg, nullptr);
    EXPECT_EQ(owner->m_pDevErrDlg->Picture(), 1);
    EXPECT_EQ(owner->m_pDevErrDlg->geometry(), QRect(1920, 0, 1920, 1080));
    // Never blank: the picture, or its drawn stand-in, covers the scoreboard.
    const QImage shot = owner->m_pDevErrDlg->grab().toImage();
    EXPECT_NE(shot.pixelColor(960, 540), shot.pixelColor(10, 10));
    owner->ShowDeviceErrorPopup(0);
    EXPECT_EQ(owner->m_pDevErrDlg, nullptr);
}

TEST_F(ViewRegistrationTest, DeviceCheckBringsTheDialogUpWideForALostDevice) {
    g_nReceiverPanId = 0x1234;
    md->nMonitorCount = 2;
    md->nExtScrWidth = 1920;
    md->nExtScrHeight = 1080;
    std::strcpy(md->aPlayer[0].szMacBody, kChungTrunk);
    md->bRegBody[0] = 1;
    md->nDeviceStatus = 0x2;
    owner->CheckDeviceStatus();
    ASSERT_NE(owner->m_pRegDlg, nullptr);
    EXPECT_EQ(owner->m_pRegDlg->width(), 900);
    EXPECT_EQ(owner->m_pRegDlg->GetDlgItemText(1044), kChungTrunk);
    EXPECT_EQ(owner->m_pRegDlg->GetDlgItemText(1285), "Trunk\nRegister");
    ASSERT_NE(owner->m_pDevErrDlg, nullptr);
    EXPECT_EQ(owner->m_pDevErrDlg->Picture(), 1);
    g_pMatchSnapshot->nDeviceStatus = 0x2; // what the next tick compares with
    md->nDeviceStatus = 0;
    owner->CheckDeviceStatus();
    EXPECT_EQ(owner->m_pDevErrDlg, nullptr);
}

} // namespace
