// A match handed to the court as a match-input file: the External page set to the file supplier, the
// registration dialog's "Load VM File" picking the file, the match played, and the result file written
// beside the records when the match is decided.
#include "tests/e2e/Court.h"

#include "app/FileWriter.h"

#include "links/ExtItfWnd.h"
#include "match/SuDlg.h"
#include "match/WinSelDlg.h"
#include "registration/RegDlg.h"
#include "screens/ExtScrDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kFileSupplier = 5;

// The file the match system leaves for the court: Chung (blue) in Hangul, short rounds.
const char kInputFile[] =
    "[Match_Input]\nmatch=12\nvma_key=V-1\nblue_name=김민준\nblue_id=B7\nblue_flag=KOR\n"
    "red_name=ROSS\nred_id=R9\nred_flag=GBR\ngender=male\nweight=-68 kg\n"
    "body_level=20\nhead_level=10\n[Timing]\nround_time=30\nrest_time=10\n";

class MatchInput : public Court {
protected:
    // The External page of the configuration: the OVR supplier that hands matches over as files, opened.
    void UseMatchInputFiles() {
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(1249)));
        CTK_SuDlg* dialog = view->m_pSuDlg;
        ASSERT_NE(dialog, nullptr);
        QTabBar* tabs = dialog->Tabs()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        ASSERT_EQ(dialog->Tabs()->currentWidget(), dialog->ExternalTab());
        auto* supplier =
            dialog->ExternalTab()->findChild<QComboBox*>(QString::number(CTK_ExtItfWnd::OvrSupplier));
        ASSERT_NE(supplier, nullptr);
        supplier->setFocus();
        QTest::keyClick(supplier, Qt::Key_Home);
        for (int i = 0; i < kFileSupplier; ++i)
            QTest::keyClick(supplier, Qt::Key_Down);
        ASSERT_EQ(supplier->currentIndex(), kFileSupplier);
        ASSERT_NO_FATAL_FAILURE(
            Click(dialog->ExternalTab()->findChild<QWidget*>(QString::number(CTK_ExtItfWnd::OvrOpen))));
        ASSERT_EQ(md->bOvrConnected, 1);
        ASSERT_NO_FATAL_FAILURE(Click(dialog->findChild<QWidget*>(QString::number(CTK_SuDlg::IDOK_))));
        ASSERT_TRUE(Until([&] { return view->m_pSuDlg.isNull() || !view->m_pSuDlg->isVisible(); }));
    }

    // The registration dialog's file button and the file picked in the file dialog it opens.
    void LoadFile(const QString& path) {
        ASSERT_NO_FATAL_FAILURE(Click(view->Button(1308)));
        CTK_RegDlg* dialog = view->m_pRegDlg;
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->GetDlgItemText(1290), "Load VM File");
        // The standard file dialog of the window system: the file chosen and the dialog accepted.
        WhenModal<QFileDialog>([path](QFileDialog& files) {
            files.selectFile(path);
            auto* buttons = files.findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            Click(buttons->button(QDialogButtonBox::Open));
        });
        ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1290)));
    }
};

TEST_F(MatchInput, TheDecidedMatchIsWrittenToItsResultFileAsTheScreensShowIt) {
    ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
    ASSERT_NO_FATAL_FAILURE(UseMatchInputFiles());
    const QString input = QString::fromStdString(folder) + QStringLiteral("A-0012.ini");
    {
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kInputFile);
    }
    ASSERT_NO_FATAL_FAILURE(LoadFile(input));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
    ASSERT_STREQ(md->szContestNo, "12");
    EXPECT_EQ(view->m_pRegDlg->GetDlgItemText(1302), QStringLiteral("김민준"));
    EXPECT_EQ(md->nLevelBody, 20);
    EXPECT_EQ(md->nLevelHead, 10);
    ASSERT_NO_FATAL_FAILURE(PairDevices());
    CloseRegistration();

    // Round 1: a trunk kick for Chung, a head kick for Hong, a gam-jeom against Hong by its button.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    Advance(2000);
    ASSERT_TRUE(fake.SendHit("HV", 25, kSock));
    Scores({2, 0});
    Advance(2000);
    ASSERT_TRUE(fake.SendHit("CH", 15, kSock));
    Scores({2, 3});
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 8);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1134)));
    Scores({3, 3});
    Key(Qt::Key_Space);
    Advance(30000);
    ASSERT_EQ(md->nGameState, 5);
    Advance(11000);

    // Round 2: another trunk kick for Chung; round 3 runs out without a point.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nCurRound, 2);
    Advance(3000);
    ASSERT_TRUE(fake.SendHit("HV", 30, kSock));
    Scores({5, 3});
    Advance(30000);
    Advance(11000);
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nCurRound, 3);
    prompter.answer(IDYES);
    Advance(31000);
    EXPECT_EQ(prompter.texts().back(), "Are you sure to end this game?");

    WhenModal<CTK_WinSelDlg>([](CTK_WinSelDlg& dialog) {
        Click(dialog.findChild<QWidget*>(QString::number(CTK_WinSelDlg::IDC_OK)));
    });
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1068)));
    Deliver();
    ASSERT_EQ(md->nWinSide, 0);
    Scores({5, 3});
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 5);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 3);
    EXPECT_EQ(Rows("SELECT gameno, cname, hname, chungpoint, hongpoint, hdeduct FROM GAMET"),
              std::vector<std::string>{"12|김민준|ROSS|5|3|1"});

    ASSERT_TRUE(TheFileWriter().WaitIdle(20000));
    QFile result(QString::fromStdString(folder) + QStringLiteral("Result/A-0012-res.ini"));
    ASSERT_TRUE(result.open(QIODevice::ReadOnly)) << result.fileName().toStdString();
    EXPECT_EQ(result.readAll().toStdString(), "[Match_Result]\r\nmatch=12\r\nvma_key=V-1\r\n"
                                              "winner=\"Blue - 김민준 - B7\"\r\nscore=\"5 - 3\"\r\n"
                                              "result_type=PTF\r\n");
}

} // namespace
