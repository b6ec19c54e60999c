// A team match on a court set up for teams of six: the configuration dialog switches the court to team
// matches, the team registration dialog registers and loads the contest and pairs every member's trunk
// protector and head gear and the three judge devices, then the match runs as the operator, the members'
// devices and the judges play it: bouts, tags, the team's point buttons and its decision.
#include "tests/e2e/Court.h"

#include "app/ProgressDlg.h"
#include "match/RuleWnd.h"
#include "match/SuDlg.h"
#include "registration/RegDlgTeam.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
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

// The address the dialog shows for a device the fake receiver paired: its 16 hexadecimal digits, the first
// byte 10 for Hong's devices.
std::string AddressOf(const std::string& device) {
    BYTE mac[8];
    FakeReceiver::DeviceAddress(device, mac);
    if (device[0] == 'H')
        mac[0] = 0x10;
    char text[17];
    for (int i = 0; i < 8; ++i)
        std::snprintf(text + 2 * i, 3, "%02x", mac[i]);
    return text;
}

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

    // The configuration dialog: court 3 by its arrows, "SET", the points system, " Team", "Okay".
    void ConfigureTeamCourt() {
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(1249)));
        CTK_SuDlg* dialog = view->m_pSuDlg;
        ASSERT_NE(dialog, nullptr);
        CTK_RuleWnd* page = dialog->RulePage();
        for (int steps = 0; page->Static(CTK_RuleWnd::IDC_COURT)->text() != QStringLiteral("3"); ++steps) {
            ASSERT_LT(steps, 20);
            ASSERT_NO_FATAL_FAILURE(Click(page->GetDlgItem(CTK_RuleWnd::IDC_COURT_UP)));
        }
        ASSERT_NO_FATAL_FAILURE(Click(page->GetDlgItem(CTK_RuleWnd::IDC_SET)));
        ASSERT_TRUE(fake.WaitForCommand(0x0A));
        ASSERT_TRUE(Until([&] { return view->m_bLinkReady != 0; }));
        QComboBox* rule = page->Combo(CTK_RuleWnd::IDC_COMPETITION_RULE);
        rule->setFocus();
        QTest::keyClick(rule, Qt::Key_Home);
        ASSERT_NO_FATAL_FAILURE(Click(page->Check(CTK_RuleWnd::IDC_TYPE_TEAM)));
        ASSERT_NO_FATAL_FAILURE(Click(dialog->findChild<QWidget*>(QString::number(CTK_SuDlg::IDOK_))));
        ASSERT_TRUE(Until([&] { return view->m_pSuDlg.isNull() || !view->m_pSuDlg->isVisible(); }));
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
        int row = -1;
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->item(r, 1) && list->item(r, 1)->text() == QStringLiteral("001"))
                row = r;
        ASSERT_GE(row, 0) << "contest 001 is not in the list";
        const QPoint cell = list->visualItemRect(list->item(row, 1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
        ASSERT_STREQ(md->szContestNo, "001");
    }

    // Each member's devices and the judge devices, switched on one at a time and paired by their buttons;
    // the modal progress dialog runs until the pairing reply closes it.
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
            bool moving = false;
            QTimer mover;
            mover.setInterval(2);
            QObject::connect(&mover, &QTimer::timeout, &mover, [&] {
                if (moving || *device.flag)
                    return;
                moving = true;
                clock.advance(10);
                moving = false;
            });
            mover.start();
            ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(device.button))) << device.name;
            const bool paired = Until([&] { return *device.flag == 1 && g_hProgDlg.load() == 0; });
            mover.stop();
            ASSERT_TRUE(paired) << device.name;
        }
    }
};

TEST_F(TeamCourt, ATeamContestOfSixMembersIsRegisteredLoadedAndEveryMemberPaired) {
    ASSERT_NO_FATAL_FAILURE(ConfigureTeamCourt());
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
    EXPECT_EQ(
        Rows("SELECT FNo, CName, CNation, HName, HNation, CFrom, HFrom, Sex FROM PLAYER"),
        std::vector<std::string>{"001|KOREA A|Republic of Korea|MEXICO|Mexico|SEOUL CITY|JALISCO|Mixed"});
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
}

} // namespace
