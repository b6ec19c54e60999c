// A team match on a court set up for teams of six: the configuration dialog switches the court to team
// matches, the team registration dialog registers and loads the contest and pairs every member's trunk
// protector and head gear and the three judge devices, then the match runs as the operator, the members'
// devices and the judges play it: bouts, tags, the team's point buttons and its decision.
#include "tests/e2e/Court.h"

#include "app/ProgressDlg.h"
#include "match/WinSelDlg.h"
#include "match/WinnerDisplayDlg.h"
#include "registration/RegDlgTeam.h"
#include "screens/ExtScrDlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// The member devices in the order of their buttons: (member 1..6, k) with k 0 Chung trunk, 1 Chung head,
// 2 Hong trunk, 3 Hong head; and the ids of each button as the team dialog lays them out.
constexpr int kMemberButtons[6][4] = {
    {1416, 1417, 1418, 1419}, {1420, 1292, 1317, 1318}, {1293, 1308, 1319, 1320},
    {1309, 1314, 1321, 1322}, {1315, 1316, 1326, 1327}, {1328, 1332, 1333, 1334},
};
constexpr int kMemberEdits[6][4] = {
    {1412, 1413, 1414, 1415}, {1053, 1058, 1068, 1069}, {1059, 1061, 1070, 1071},
    {1064, 1065, 1072, 1073}, {1066, 1067, 1074, 1075}, {1076, 1077, 1078, 1079},
};

std::string MemberDevice(int member, int k) {
    static constexpr const char* kNames[] = {"CV", "CH", "HV", "HH"};
    return kNames[k] + (member > 1 ? std::to_string(member) : std::string());
}

// The address printed on a device's label: the 16 hexadecimal digits the fake receiver gives it.
std::string LabelAddress(const std::string& device) {
    BYTE mac[8];
    FakeReceiver::DeviceAddress(device, mac);
    char text[17];
    for (int i = 0; i < 8; ++i)
        std::snprintf(text + 2 * i, 3, "%02x", mac[i]);
    return text;
}

// The address the dialog shows for a paired device: the label's, the first byte 10 for Hong's devices.
std::string AddressOf(const std::string& device) {
    const std::string label = LabelAddress(device);
    return device[0] == 'H' ? "10" + label.substr(2) : label;
}

// The one device the operator registers by its typed address.
const std::string kTypedDevice = "HH6";

class TeamCourt : public Court {
protected:
    // The tournament gives this court teams of six (a setting of Rule.ini only: the configuration dialog
    // offers 3, 5 and 4 members) and lets a drawn team match be decided in a golden round.
    void PrepareFolder() override {
        const std::string path = folder + "ini/Rule.ini";
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        in.close();
        std::string rule = text.str();
        for (const auto& [from, to] :
             {std::pair{"Team_Type=1", "Team_Type=3"}, std::pair{"Team_Draw_Use=0", "Team_Draw_Use=1"}}) {
            const size_t at = rule.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            rule.replace(at, std::string(from).size(), to);
        }
        std::ofstream(path) << rule;
    }

    CTK_RegDlg_Team* Registration() const { return view->m_pRegDlgTeam; }

    // The team form as the operator fills it: the team class, "Mixed", both teams' names, nations and
    // clubs; "Registration"; then the contest loaded by a double click in the list.
    void RegisterAndLoadTeams() {
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(1308)));
        CTK_RegDlg_Team* dialog = Registration();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->isVisible());
        auto* gender = static_cast<QComboBox*>(dialog->GetDlgItem(1298));
        gender->setFocus();
        QTest::keyClick(gender, Qt::Key_End);
        ASSERT_EQ(gender->currentText(), QStringLiteral("Mixed"));
        const struct {
            int id;
            QString text;
        } typed[] = {
            {1302, QStringLiteral("KOREA A")},
            {1303, QStringLiteral("SEOUL CITY")},
            {1304, QStringLiteral("MEXICO")},
            {1305, QStringLiteral("JALISCO")},
        };
        for (const auto& [id, text] : typed) {
            QWidget* edit = dialog->GetDlgItem(id);
            ASSERT_NO_FATAL_FAILURE(Click(edit));
            QTest::keyClicks(edit, text);
        }
        for (const auto& [id, nation] : {std::pair{1306, QStringLiteral("Republic of Korea")},
                                         std::pair{1307, QStringLiteral("Mexico")}}) {
            auto* combo = static_cast<QComboBox*>(dialog->GetDlgItem(id));
            combo->setFocus();
            QTest::keyClicks(combo, nation);
            ASSERT_EQ(combo->currentText(), nation);
        }
        ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1310)));
        auto* list = static_cast<QTableWidget*>(dialog->GetDlgItem(1279));
        ASSERT_GE(list->rowCount(), 1);
        ASSERT_NO_FATAL_FAILURE(LoadContest(*list, "001"));
    }

    // Each member's devices and the judge devices, switched on one at a time and paired by their buttons;
    // the modal progress dialog runs until the pairing reply closes it. Hong's sixth member's head gear is
    // registered by the address on its label, typed into its edit.
    void PairTeams() {
        CTK_RegDlg_Team* dialog = Registration();
        ASSERT_NE(dialog, nullptr);
        ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1063))); // "||": the device side
        struct Device {
            std::string name;
            int button;
            const int* flag;
        };
        std::vector<Device> devices;
        for (int member = 1; member <= 6; ++member)
            for (int k = 0; k < 4; ++k) {
                const int slot = 2 * (member - 1) + (k >= 2 ? 1 : 0);
                devices.push_back({MemberDevice(member, k), kMemberButtons[member - 1][k],
                                   k % 2 ? &md->bRegHead[slot] : &md->bRegBody[slot]});
            }
        for (int judge = 0; judge < 3; ++judge)
            devices.push_back({"judge" + std::to_string(judge + 1), 1329 + judge, &md->bJudgeWired[judge]});
        for (const Device& device : devices) {
            fake.SetPairingDevice(device.name);
            if (device.name == kTypedDevice) {
                QWidget* edit = dialog->GetDlgItem(kMemberEdits[5][3]);
                ASSERT_NO_FATAL_FAILURE(Click(edit));
                QTest::keyClicks(edit, QString::fromStdString(LabelAddress(kTypedDevice)));
            }
            ASSERT_NO_FATAL_FAILURE(PairByButton(*dialog, device.button, *device.flag)) << device.name;
        }
    }
};

TEST_F(TeamCourt, ATeamContestOfSixMembersIsRegisteredLoadedAndEveryMemberPaired) {
    ASSERT_NO_FATAL_FAILURE(Configure(3, 0, true)); // court 3, the points system, " Team"
    EXPECT_EQ(md->nCompetitionType, 1);
    EXPECT_EQ(md->nTeamType, 3) << "the configuration dialog kept the teams of six";
    ASSERT_NO_FATAL_FAILURE(RegisterAndLoadTeams());
    EXPECT_STREQ(md->aPlayer[0].szName, "KOREA A");
    EXPECT_STREQ(md->aPlayer[1].szName, "MEXICO");
    EXPECT_STREQ(md->aPlayer[0].szNationCode, "KOR");
    EXPECT_STREQ(md->aPlayer[1].szNationCode, "MEX");
    ASSERT_NO_FATAL_FAILURE(PairTeams());
    // Every member's edit shows its device's address.
    for (int member = 1; member <= 6; ++member)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(Registration()->GetDlgItemText(kMemberEdits[member - 1][k]).toStdString(),
                      AddressOf(MemberDevice(member, k)))
                << MemberDevice(member, k);
    // The typed address went to the receiver in the registration by address (the first byte cleared).
    const std::vector<FakeReceiver::Bytes> commands = fake.Commands();
    std::vector<FakeReceiver::Bytes> byAddress;
    std::ranges::copy_if(commands, std::back_inserter(byAddress), [](const FakeReceiver::Bytes& frame) {
        return frame.size() > 4 && frame[2] == 0x3D;
    });
    ASSERT_EQ(byAddress.size(), 1u);
    BYTE mac[8];
    FakeReceiver::DeviceAddress(kTypedDevice, mac);
    mac[0] = 0x00;
    ASSERT_GE(byAddress[0].size(), 4u + 11u);
    EXPECT_TRUE(std::equal(mac, mac + 8, byAddress[0].begin() + 4 + 3));
    EXPECT_EQ(
        Rows("SELECT FNo, CName, CNation, HName, HNation, CFrom, HFrom, Sex FROM PLAYER"),
        std::vector<std::string>{"001|KOREA A|Republic of Korea|MEXICO|Mexico|SEOUL CITY|JALISCO|Mixed"});
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
}

// The operator screen's buttons and texts the team match uses.
constexpr int kChungGamJeom = 1125;
constexpr int kHongGamJeom = 1134;
constexpr int kChungTag = 1130;
constexpr int kHongTag = 1287;
constexpr int kHongTagCancel = 1288;
constexpr int kChungTeamPoint = 1289;
constexpr int kHongTeamPoint = 1291;
constexpr int kDraw = 1012;
constexpr int kChungTagText = 1006;
constexpr int kHongTagText = 1013;

class TeamMatch : public TeamCourt {
protected:
    void SetUp() override {
        TeamCourt::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(Configure(3, 0, true)); // court 3, the points system, " Team"
        ASSERT_NO_FATAL_FAILURE(RegisterAndLoadTeams());
        ASSERT_NO_FATAL_FAILURE(PairTeams());
        CloseRegistration();
    }

    std::string TagTexts() const {
        return (view->Static(kChungTagText)->text() + "|" + view->Static(kHongTagText)->text()).toStdString();
    }
    int Tags(int side, int round) const { return md->aSide[side].nTagCount[round]; }
    int Boongs() const { return static_cast<int>(std::ranges::count(sound.played, "boong.wav")); }
};

TEST_F(TeamMatch, MemberBoutsTagsAndTeamPointsToADrawDecidedInTheGoldenRound) {
    const int trunk = md->nLevelBody;
    const int head = md->nLevelHead;
    ASSERT_EQ(trunk, 18) << "the team's trunk level of Rule.ini";
    ASSERT_EQ(head, 1) << "the team's head level of Rule.ini";
    ASSERT_EQ(md->nRound, 3);
    ASSERT_EQ(md->nGameState, 1);

    // ---- round 1: four minutes, a member bout a minute; the clock stops at each change of bout ----
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    EXPECT_EQ(md->nRemainTime, 240000);
    Advance(10000);
    // Mexico's first member's trunk protector: below the team level, then above it.
    ASSERT_TRUE(fake.SendHit("HV", trunk - 1, kSock));
    ASSERT_TRUE(fake.SendHit("HV", trunk + 5, kSock));
    Scores({2, 0});
    const int boongs = Boongs();
    Advance(55000);
    EXPECT_EQ(md->nGameState, 8) << "the first bout's minute is over";
    EXPECT_EQ(md->nRemainTime, 180000);
    EXPECT_EQ(Boongs(), boongs + 1);

    // Second bout: Korea's second member takes a head kick, then a trunk kick that two judges call a turn.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(20000);
    ASSERT_TRUE(fake.SendHit("CH2", head + 4, kSock));
    Scores({2, 3});
    Advance(3000);
    ASSERT_TRUE(fake.SendHit("CV2", trunk + 2, kSock));
    Scores({2, 5});
    ASSERT_NO_FATAL_FAILURE(JudgesPress({1, 3}, 0, 6));
    Advance(100);
    Scores({2, 7});
    Advance(40000);
    EXPECT_EQ(md->nGameState, 8) << "the second bout's minute is over";
    EXPECT_EQ(md->nRemainTime, 120000);
    // A gam-jeom against Mexico while the clock stands.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kHongGamJeom)));
    Scores({3, 7});

    // Third and fourth bouts run out without a score.
    Key(Qt::Key_Space);
    Advance(61000);
    EXPECT_EQ(md->nGameState, 8);
    EXPECT_EQ(md->nRemainTime, 60000);
    Key(Qt::Key_Space);
    Advance(61000);
    EXPECT_EQ(md->nGameState, 5) << "round 1 is over: rest";
    Advance(61000);

    // ---- round 2: three minutes with tags ----
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    ASSERT_EQ(md->nCurRound, 2);
    EXPECT_EQ(md->nRemainTime, 180000);
    EXPECT_EQ(TagTexts(), "TAG|TAG");
    Advance(10000);
    // Korea tags: the panels count down on both screens; Mexico's window ends five seconds sooner, and a
    // tag of either side while it is open is ignored.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kChungTag)));
    EXPECT_EQ(Tags(0, 2), 1);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kHongTag)));
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kChungTag)));
    EXPECT_EQ(Tags(0, 2), 1);
    EXPECT_EQ(Tags(1, 2), 0);
    Advance(10000);
    Advance(600); // the panels count between whole seconds
    EXPECT_EQ(TagTexts(), "50|45");
    ASSERT_NE(view->m_pExtScrDlg, nullptr);
    EXPECT_EQ(view->m_pExtScrDlg->Tag(0), 1);
    EXPECT_EQ(view->m_pExtScrDlg->Tag(1), 1);
    EXPECT_EQ(view->m_pExtScrDlg->TagTime(0), 170000);
    EXPECT_EQ(view->m_pExtScrDlg->TagTime(1), 175000);
    // The new member of Korea scores on Mexico's third member.
    ASSERT_TRUE(fake.SendHit("HV3", trunk + 1, kSock));
    Scores({5, 7});
    Advance(51000);
    EXPECT_EQ(TagTexts(), "TAG|TAG") << "the tag window is over";
    EXPECT_EQ(view->m_pExtScrDlg->Tag(0), 0);
    EXPECT_EQ(view->m_pExtScrDlg->Tag(1), 0);
    // Mexico tags, and the operator takes it back.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kHongTag)));
    EXPECT_EQ(Tags(1, 2), 1);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kHongTagCancel)));
    EXPECT_EQ(Tags(1, 2), 0);
    // Korea's knockdown, given by the team point button while the clock stands.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 8);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kChungTeamPoint)));
    Scores({15, 7});
    Key(Qt::Key_Space);
    ASSERT_TRUE(fake.SendHit("CH4", head + 2, kSock));
    Scores({15, 10});
    Advance(120000);
    EXPECT_EQ(md->nGameState, 5) << "round 2 is over: rest";
    Advance(61000);

    // ---- round 3: Mexico draws level ----
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    ASSERT_EQ(md->nCurRound, 3);
    EXPECT_EQ(md->nRemainTime, 240000);
    Key(Qt::Key_Space);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kHongTeamPoint)));
    Scores({15, 20});
    Key(Qt::Key_Space);
    Advance(30000);
    ASSERT_TRUE(fake.SendHit("HH5", head + 1, kSock));
    Scores({18, 20});
    Advance(30000);
    ASSERT_TRUE(fake.SendHit("HV6", trunk + 3, kSock));
    Scores({20, 20});
    // Level when the clock runs out: the DRAW button shows and the operator plays the golden round.
    EXPECT_FALSE(view->Button(kDraw)->isVisible());
    prompter.answer(IDYES);
    Advance(181000);
    EXPECT_EQ(prompter.texts().back(), "Are you sure to play a Golden Point Round?");
    EXPECT_TRUE(view->Button(kDraw)->isVisible());
    EXPECT_EQ(md->nGameState, 5);
    Advance(61000);

    // ---- the golden round: the first team to two points wins, and the operator confirms it ----
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    ASSERT_EQ(md->nCurRound, 4);
    EXPECT_EQ(md->nRemainTime, 60000);
    EXPECT_FALSE(view->Button(kDraw)->isVisible());
    Advance(12000);
    int proposed = -1;
    WhenModal<CTK_WinSelDlg>([&](CTK_WinSelDlg& dialog) {
        proposed =
            static_cast<QComboBox*>(dialog.findChild<QWidget*>(QString::number(CTK_WinSelDlg::IDC_LIST)))
                ->currentIndex();
        Click(dialog.findChild<QWidget*>(QString::number(CTK_WinSelDlg::IDC_OK)));
    });
    ASSERT_TRUE(fake.SendHit("HH", head + 3, kSock));
    ASSERT_TRUE(Until([&] { return md->nGameState == 11; })) << "state " << md->nGameState;
    EXPECT_EQ(proposed, 2) << "the golden point is proposed";
    EXPECT_EQ(md->nWinSide, 0);
    EXPECT_EQ(md->nDecisionKind, 2);

    // ---- what the screens and the records hold ----
    // Both screens show the golden round's own points, its clock stopped at the golden point, and the
    // teams.
    EXPECT_EQ(Shown(), std::make_pair(3, 0));
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 3);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 0);
    EXPECT_EQ(view->Static(1500)->text(), QStringLiteral("0:48"));
    EXPECT_EQ(view->m_pExtScrDlg->ClockText(), QStringLiteral("0:48"));
    EXPECT_EQ(view->m_pExtScrDlg->RoundText(), QStringLiteral("4"));
    EXPECT_EQ((std::vector<QString>{view->Static(1010)->text(), view->Static(1074)->text(),
                                    view->Static(1011)->text(), view->Static(1073)->text()}),
              (std::vector<QString>{"KOREA A", "KOR", "MEXICO", "MEX"}));
    EXPECT_EQ(Rows("SELECT count(*) FROM PLAYER"), std::vector<std::string>{"0"})
        << "the contest leaves the list when its match starts";
    EXPECT_EQ(Rows("SELECT roomno, gameno, cname, cnation, hname, hnation, sex, face, valid, bvalue, fvalue, "
                   "chungpoint, hongpoint, cdeduct, hdeduct, win FROM GAMET"),
              std::vector<std::string>{"3|001|KOREA A|KOR|MEXICO|MEX|Mixed|1|1|18|1|23|20|0|1|"
                                       "C.WIN((GDP) Golden Points)"});
    EXPECT_EQ(Events("CHUNGLOG"),
              (std::vector<std::string>{
                  "1|" + std::to_string(trunk - 1) + "|0|0|0|0|0|0|0|0", // Mexico's first trunk, too light
                  "1|" + std::to_string(trunk + 5) + "|0|0|0|0|0|0|0|1",
                  "1|0|0|2|0|0|0|0|0|1",
                  "2|" + std::to_string(trunk + 1) + "|0|0|0|0|0|0|0|1", // the third member's trunk
                  "2|0|0|2|0|0|0|0|0|1",
                  "2|0|0|10|0|0|0|0|0|1", // the knockdown by the team point button
                  "3|0|" + std::to_string(head + 1) + "|0|0|0|0|0|0|1", // the fifth member's head
                  "3|0|0|3|0|0|0|0|0|1",
                  "3|" + std::to_string(trunk + 3) + "|0|0|0|0|0|0|0|1", // the sixth member's trunk
                  "3|0|0|2|0|0|0|0|0|1",
                  "4|0|" + std::to_string(head + 3) + "|0|0|0|0|0|0|1", // the golden point
                  "4|0|0|3|0|0|0|0|0|1",
              }));
    EXPECT_EQ(Events("HONGLOG"),
              (std::vector<std::string>{
                  "1|0|" + std::to_string(head + 4) + "|0|0|0|0|0|0|1", // Korea's second member's head
                  "1|0|0|3|0|0|0|0|0|1",
                  "1|" + std::to_string(trunk + 2) + "|0|0|0|0|0|0|0|1", // and trunk
                  "1|0|0|2|0|0|0|0|0|1",
                  "1|0|0|0|0|0|2|0|0|0",                                // judge 1 alone
                  "1|0|0|0|0|0|0|0|2|1",                                // judge 3 agrees
                  "1|0|0|0|2|0|0|0|0|1",                                // the turning bonus
                  "1|0|0|0|0|1|0|0|0|1",                                // the gam-jeom against Mexico
                  "2|0|" + std::to_string(head + 2) + "|0|0|0|0|0|0|1", // Korea's fourth member's head
                  "2|0|0|3|0|0|0|0|0|1",
                  "3|0|0|10|0|0|0|0|0|1", // Mexico's knockdown
              }));
}

TEST_F(TeamMatch, ALevelMatchIsDeclaredADrawByTheDrawButton) {
    const int trunk = md->nLevelBody;
    // Round 1: Korea scores in the first bout; the other bouts run out.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(10000);
    ASSERT_TRUE(fake.SendHit("HV4", trunk + 1, kSock));
    Scores({2, 0});
    Advance(55000);
    for (const int remaining : {120000, 60000}) {
        ASSERT_EQ(md->nGameState, 8);
        Key(Qt::Key_Space);
        Advance(61000);
        EXPECT_EQ(md->nRemainTime, remaining);
    }
    Key(Qt::Key_Space);
    Advance(61000);
    ASSERT_EQ(md->nGameState, 5);
    Advance(61000);
    // Round 2: Mexico draws level.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nCurRound, 2);
    Advance(10000);
    ASSERT_TRUE(fake.SendHit("CV5", trunk + 1, kSock));
    Scores({2, 2});
    Advance(171000);
    ASSERT_EQ(md->nGameState, 5);
    Advance(61000);
    // Round 3 ends level; the operator plays no golden round but declares the draw.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nCurRound, 3);
    prompter.answer(IDNO);
    Advance(241000);
    EXPECT_EQ(prompter.texts().back(), "Are you sure to play a Golden Point Round?");
    EXPECT_EQ(md->nGameState, 4);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(kDraw)));
    EXPECT_EQ(md->nWinSide, 3);
    EXPECT_EQ(md->nDecisionKind, 10);
    EXPECT_EQ(md->nWinRound, 3);
    // The public monitor shows the draw over the scoreboard, which keeps the score.
    ASSERT_NE(view->m_pWinDispDlg, nullptr);
    EXPECT_TRUE(view->m_pWinDispDlg->isVisible());
    const auto* name = view->m_pWinDispDlg->findChild<QLabel*>(QString::number(WinnerDisplay::IDC_NAME));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("DRAW"));
    EXPECT_EQ(Shown(), std::make_pair(2, 2));
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 2);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 2);
    EXPECT_EQ(Rows("SELECT chungpoint, hongpoint, cbodypoint, hbodypoint FROM GAMET"),
              std::vector<std::string>{"2|2|2|2"});
    EXPECT_EQ(Rows("SELECT round, vest, point, itemvalid FROM CHUNGLOG ORDER BY dbindex"),
              (std::vector<std::string>{"1|" + std::to_string(trunk + 1) + "|0|1", "1|0|2|1"}));
    EXPECT_EQ(Rows("SELECT round, vest, point, itemvalid FROM HONGLOG ORDER BY dbindex"),
              (std::vector<std::string>{"2|" + std::to_string(trunk + 1) + "|0|1", "2|0|2|1"}));

    // Finished, the court is ready for the next team match with the team's levels.
    prompter.answer(IDYES);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1072)));
    EXPECT_EQ(prompter.texts().back(), "Do you want finish the game?");
    EXPECT_EQ(md->nGameState, 0);
    EXPECT_EQ(md->nLevelBody, 18);
    EXPECT_TRUE(view->m_pWinDispDlg.isNull()) << "the draw's display closes with the match";
}

} // namespace
