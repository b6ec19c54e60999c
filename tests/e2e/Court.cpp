#include "tests/e2e/Court.h"

#include "app/AppGlobals.h"
#include "app/ProgressDlg.h"
#include "app/VeziruduzApp.h"
#include "devices/PacketDispatch.h"
#include "devices/Receiver.h"
#include "devices/ReceiverCommand.h"
#include "match/RoundResultDlg.h"
#include "match/RuleWnd.h"
#include "match/SuDlg.h"
#include "registration/ContestList.h"
#include "registration/RegDlg.h"
#include "registration/RegDlgTeam.h"
#include "screens/OperatorLayout.h"
#include "tests/support/EventLogSettle.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

std::string Court::s_template;

namespace {

// The folder the set-up script made, removed when the binary ends.
QTemporaryDir& TemplateDir() {
    static QTemporaryDir dir;
    return dir;
}

// Runs a script with one argument and waits for it; true when it exits with 0. A plain fork and exec,
// which ThreadSanitizer follows: the process start of QProcess leaves it seeing locks that were never
// taken.
bool RunScript(const char* script, const std::string& argument) {
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        execl(script, script, argument.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

void Court::SetUpTestSuite() {
    if (!s_template.empty())
        return;
    const std::string home = TemplateDir().path().toStdString() + "/home";
    if (RunScript(BELVANTA_SOURCE_DIR "/scripts/prepare-home", home))
        s_template = home;
}

void Court::SetUp() {
    ASSERT_EQ(QGuiApplication::screens().size(), 2)
        << "the court needs the operator's and the public monitor";
    ASSERT_FALSE(s_template.empty()) << "scripts/prepare-home failed";
    ASSERT_TRUE(fake.IsOpen());
    folder = m_dir.path().toStdString() + "/court/";
    std::error_code error;
    std::filesystem::copy(s_template, folder, std::filesystem::copy_options::recursive, error);
    ASSERT_FALSE(error) << error.message();
    ASSERT_NO_FATAL_FAILURE(PrepareFolder());
    ASSERT_NO_FATAL_FAILURE(Start(m_runtime.path().toStdString()));
}

void Court::Start(const std::string& runtime) {
    fake.SetVersion(0x03, 0x07); // a receiver this program supports
    setenv("BELVANTA_HOME", folder.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("BELVANTA_RECEIVER", ReceiverPath().c_str(), 1);
    ASSERT_EQ(theApp.InitInstance(), TRUE) << ::testing::PrintToString(prompter.texts());
    m_started = true;
    frame = theApp.mainWindow();
    ASSERT_NE(frame, nullptr);
    view = frame->view();
    md = g_pMatchData;
    ASSERT_NE(view, nullptr);
    ASSERT_NE(md, nullptr);
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    // The receiver is asked for its version as soon as the view starts, and links on the court's saved
    // channel.
    if (ReceiverPath() == fake.SlavePath()) {
        ASSERT_TRUE(fake.WaitForCommand(0x07));
    }
    ASSERT_TRUE(Until([&] { return view->m_bLinkReady != 0; }));
}

void Court::TearDown() {
    if (m_started)
        theApp.ExitInstance();
    theApp.m_dbLocal.Close();
    {
        std::lock_guard guard(g_receiverNetworkLock);
        g_nReceiverPanId = 0;
    }
    SetReceiverVersionText({});
    unsetenv("BELVANTA_HOME");
    unsetenv("XDG_RUNTIME_DIR");
    setenv("BELVANTA_RECEIVER", "/nonexistent/belvanta-test-receiver", 1);
}

void Court::Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible()) << widget->objectName().toStdString() << " in a window "
                                     << (widget->window()->isVisible() ? "shown" : "hidden");
    ASSERT_TRUE(widget->isEnabled()) << widget->objectName().toStdString();
    QTest::mouseClick(widget, Qt::LeftButton);
}

QWidget* Court::Child(QWidget& parent, int id) {
    return parent.findChild<QWidget*>(QString::number(id));
}

CTK_RndResDlg* Court::RoundResultAfter(unsigned ms) {
    Advance(ms);
    EXPECT_EQ(md->nGameState, 5) << ::testing::PrintToString(prompter.texts());
    Advance(10);
    if (!Until([&] { return view->m_pRndResDlg && view->m_pRndResDlg->isVisible(); })) {
        ADD_FAILURE() << "the round result dialog did not open";
        return nullptr;
    }
    return view->m_pRndResDlg;
}

std::string Court::Pair(CTK_RndResDlg& dialog, int chungId) {
    const auto text = [&](int id) {
        return static_cast<QLineEdit*>(Child(dialog, id))->text().toStdString();
    };
    return text(chungId) + ":" + text(chungId + 1);
}

std::string Court::Text(CTK_RndResDlg& dialog, int id) {
    return static_cast<QLabel*>(Child(dialog, id))->text().toStdString();
}

void Court::Confirm(CTK_RndResDlg& dialog) {
    ASSERT_NO_FATAL_FAILURE(Click(Child(dialog, CTK_RndResDlg::IDOK)));
    ASSERT_TRUE(Until([&] { return view->m_pRndResDlg.isNull(); }));
}

void Court::Key(int key) {
    QTest::keyClick(frame->windowHandle(), static_cast<Qt::Key>(key));
    Deliver();
}

void Court::Deliver() {
    QCoreApplication::processEvents();
    // Outside a running event loop what asked to be deleted later would wait for ever.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool Court::Until(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;;) {
        Deliver();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void Court::Advance(unsigned ms) {
    for (unsigned done = 0; done < ms; done += 1000) {
        clock.advance(std::min(1000u, ms - done));
        Deliver();
    }
}

void Court::Configure(int court, int competitionRule, bool team) {
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1249)));
    CTK_SuDlg* dialog = view->m_pSuDlg;
    ASSERT_NE(dialog, nullptr);
    CTK_RuleWnd* page = dialog->RulePage();
    for (int steps = 0; page->Static(CTK_RuleWnd::IDC_COURT)->text() != QString::number(court); ++steps) {
        ASSERT_LT(steps, 20) << "the court arrows never reach court " << court;
        ASSERT_NO_FATAL_FAILURE(Click(page->GetDlgItem(CTK_RuleWnd::IDC_COURT_UP)));
    }
    const int matchKinds = CommandCount(0x36);
    ASSERT_NO_FATAL_FAILURE(Click(page->GetDlgItem(CTK_RuleWnd::IDC_SET)));
    // Linked once the view took the link's news: it then tells the receiver the kind of match (0x36).
    ASSERT_TRUE(Until([&] { return CommandCount(0x36) > matchKinds; }));

    QComboBox* rule = page->Combo(CTK_RuleWnd::IDC_COMPETITION_RULE);
    rule->setFocus();
    QTest::keyClick(rule, competitionRule == 0 ? Qt::Key_Home : Qt::Key_End);
    ASSERT_EQ(rule->currentIndex(), competitionRule);
    if (team) {
        ASSERT_NO_FATAL_FAILURE(Click(page->Check(CTK_RuleWnd::IDC_TYPE_TEAM)));
    }
    ASSERT_NO_FATAL_FAILURE(Click(dialog->findChild<QWidget*>(QString::number(CTK_SuDlg::IDOK_))));
    ASSERT_TRUE(Until([&] { return view->m_pSuDlg.isNull() || !view->m_pSuDlg->isVisible(); }));
}

void Court::RegisterAndLoad(const std::string& contest, const QString& chung, const QString& hong) {
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1308)));
    CTK_RegDlg* dialog = view->m_pRegDlg;
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    for (const auto& [id, name] : {std::pair{1302, chung}, std::pair{1304, hong}}) {
        QWidget* edit = dialog->GetDlgItem(id);
        ASSERT_NO_FATAL_FAILURE(Click(edit));
        QTest::keyClicks(edit, name);
    }
    ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1310)));
    ASSERT_NO_FATAL_FAILURE(LoadContest(*static_cast<QTableWidget*>(dialog->GetDlgItem(1279)), contest));
}

void Court::LoadContest(QTableWidget& list, const std::string& contest) {
    int row = -1;
    for (int r = 0; r < list.rowCount(); ++r)
        if (list.item(r, 1) && list.item(r, 1)->text() == QString::fromStdString(contest))
            row = r;
    ASSERT_GE(row, 0) << "contest " << contest << " is not in the list";
    list.scrollToItem(list.item(row, 1));
    const QPoint cell = list.visualItemRect(list.item(row, 1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell);
    ASSERT_STREQ(md->szContestNo, contest.c_str());
}

void Court::CloseRegistration() {
    if (view->m_pRegDlg)
        view->m_pRegDlg->close();
    if (view->m_pRegDlgTeam)
        view->m_pRegDlgTeam->close();
    Deliver();
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
}

std::vector<std::pair<int, const int*>> Court::DeviceButtons() const {
    return {
        {1285, &md->bRegBody[0]},    {1286, &md->bRegHead[0]},    {1287, &md->bRegBody[1]},
        {1288, &md->bRegHead[1]},    {1329, &md->bJudgeWired[0]}, {1330, &md->bJudgeWired[1]},
        {1331, &md->bJudgeWired[2]},
    };
}

void Court::PairDevices() {
    CTK_RegDlg* dialog = view->m_pRegDlg;
    ASSERT_NE(dialog, nullptr);
    for (const auto& [button, flag] : DeviceButtons())
        ASSERT_NO_FATAL_FAILURE(PairByButton(*dialog, button, *flag));
}

void Court::PairByButton(CTK_RegDlg& dialog, int button, const int& flag) {
    // The progress dialog runs modal until the pairing reply closes it (a reply that comes before the
    // dialog is up closes it as it opens); meanwhile the program's clock moves so that its short pauses
    // pass and a dialog whose reply never comes runs out.
    bool moving = false;
    QTimer mover;
    mover.setInterval(2);
    QObject::connect(&mover, &QTimer::timeout, &mover, [&] {
        if (moving || (flag && g_hProgDlg.load() == 0))
            return;
        moving = true;
        clock.advance(10);
        moving = false;
    });
    mover.start();
    ASSERT_NO_FATAL_FAILURE(Click(dialog.GetDlgItem(button)));
    const bool paired = Until([&] { return flag == 1 && g_hProgDlg.load() == 0; });
    mover.stop();
    ASSERT_TRUE(paired) << "device button " << button;
}

void Court::JudgesPress(std::initializer_list<int> judges, BYTE chungCode, BYTE hongCode) {
    const int side = chungCode != 0 ? 0 : 1;
    for (const int judge : judges)
        ASSERT_TRUE(fake.SendJudge("judge" + std::to_string(judge), chungCode, hongCode))
            << "judge " << judge;
    const int last = *(judges.end() - 1);
    ASSERT_TRUE(Until([&] { return view->m_judgeWindows[side].mask[last - 1] != 0; })) << "judge " << last;
}

std::pair<int, int> Court::Shown() const {
    return {view->Static(OperatorIds::ScoreChung)->text().toInt(),
            view->Static(OperatorIds::ScoreHong)->text().toInt()};
}

void Court::Scores(std::pair<int, int> expected) {
    EXPECT_TRUE(Until([&] { return Shown() == expected; }))
        << "scores shown " << Shown().first << ":" << Shown().second << ", expected " << expected.first << ":"
        << expected.second;
}

std::vector<std::string> Court::Events(const char* table) const {
    return Rows(
        std::string("SELECT round, vest, face, point, jpoint, deduct, judge1, judge2, judge3, itemvalid "
                    "FROM ") +
        table + " ORDER BY dbindex");
}

std::vector<std::string> Court::Rows(const std::string& sql) const {
    std::vector<std::string> rows;
    EXPECT_TRUE(SettleEventLog()) << "the event log's writer did not answer";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2((folder + "Vevuvurer.edi").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "the local database does not open";
        return rows;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
        sqlite3_close(db);
        return rows;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            row += (c ? "|" : "") + std::string(text ? text : "");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

int Court::CommandCount(BYTE command) const {
    const auto commands = fake.Commands();
    return static_cast<int>(
        std::ranges::count_if(commands, [&](const FakeReceiver::Bytes& f) { return f[2] == command; }));
}
