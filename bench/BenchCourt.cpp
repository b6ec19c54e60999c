#include "bench/BenchCourt.h"

#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MainFrame.h"
#include "app/Messages.h"
#include "app/Monitors.h"
#include "app/NationTable.h"
#include "app/RuleSettings.h"
#include "app/VeziruduzApp.h"
#include "bench/Percentile.h"
#include "platform/HeapReserve.h"
#include "platform/MessageBox.h"
#include "platform/ProcessUsage.h"
#include "records/EventLogWriter.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

CoreLoad::CoreLoad() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < cores; ++i)
        m_threads.emplace_back([this] {
            volatile unsigned long sink = 0;
            while (!m_stop.load(std::memory_order_relaxed))
                sink = sink * 6364136223846793005ul + 1;
        });
}

CoreLoad::~CoreLoad() {
    m_stop = true;
    for (std::thread& t : m_threads)
        t.join();
}

double CoreLoad::CpuSeconds() {
    double seconds = 0;
    for (std::thread& t : m_threads)
        seconds += platform::threadCpuSeconds(t);
    return seconds;
}

namespace {

// A box during a benchmark would wait for a person: it is answered at once and its text printed, so a run
// that met one says so.
class PrintingPrompter final : public platform::Prompter {
public:
    int ask(HWND, std::u16string_view text, std::u16string_view, UINT) override {
        std::fprintf(
            stderr, "box during the benchmark: %s\n",
            QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8().constData());
        return IDOK;
    }
};
PrintingPrompter g_prompter;

bool MakeDatabase(const std::string& file) {
    std::ifstream in(BELVANTA_SOURCE_DIR "/resources/home/Vevuvurer.sql");
    std::stringstream schema;
    schema << in.rdbuf();
    sqlite3* db = nullptr;
    const bool made = in && sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
                      sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return made;
}

template <std::size_t N> void Put(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = '\0';
}

// A three-round individual match under the points system, loaded and waiting for its first start; trunk
// protectors and head gear on both sides, no outside link.
void LoadMatch(MatchData& md) {
    md.nMonitorCount = 1;
    md.nRound = 3;
    md.nCurRound = 1;
    md.nMatchTime = 120;
    md.nRestTime = 60;
    md.nGRndMatchTime = 60;
    md.nKyeShiTime = 60;
    md.nRCTime = 60;
    md.nGamJeom = 10;
    md.nPSSType = 2;
    md.nLevelBody = 25;
    md.nLevelHead = 15;
    md.nEBPPoint = 2; // a trunk protector's hit
    md.nEHPPoint = 3;
    md.nGamJeomPoint = 1;
    md.nOvrSupplier = 6;
    md.nGameState = 1;
    Put(md.szContestNo, "101");
    Put(md.aPlayer[0].szName, "KIM MINJUN");
    Put(md.aPlayer[1].szName, "O'NEIL");
    md.bRegBody[0] = md.bRegHead[0] = md.bRegBody[1] = md.bRegHead[1] = 1;
}

// The shipped settings files, match-log templates and sounds in the folder, with the operator's changes to
// [Rule].
bool CopySettings(const QDir& home, const ProgramStart& program) {
    const QDir shipped(QStringLiteral(BELVANTA_SOURCE_DIR "/resources/home"));
    QStringList files{QStringLiteral("Cfg/nation.csv")};
    for (const QString& ini :
         QDir(shipped.filePath(QStringLiteral("ini"))).entryList({QStringLiteral("*.ini")}))
        files << QStringLiteral("ini/") + ini;
    for (const QString& log :
         QDir(shipped.filePath(QStringLiteral("Log"))).entryList({QStringLiteral("*.xls")}))
        files << QStringLiteral("Log/") + log;
    for (const QString& file : files)
        if (!QFile::copy(shipped.filePath(file), home.filePath(file)))
            return false;
    for (const auto& [key, value] : program.rules)
        if (!WriteIniString(u"Rule", key.c_str(), value.c_str(), u"Rule.ini"))
            return false;
    // The program's sounds, made as the set-up script makes them.
    return QProcess::execute(QStringLiteral(BELVANTA_SOURCE_DIR "/scripts/make-sounds"),
                             {home.filePath(QStringLiteral("Sound"))}) == 0;
}

// The program's own start of the view (what the frame does when it is made), then a match loaded into it.
void StartAsProgram(CMainWnd& view, MatchData& md) {
    CMainFrame::StoreMonitors(md, ScreenMonitors().monitors(), QPoint());
    LoadNationTable(md);
    LoadRuleSettings(md);
    view.resize(OperatorLayout::Width, OperatorLayout::Height);
    view.OnInitialUpdate();
    Put(md.szContestNo, "101");
    Put(md.aPlayer[0].szName, "KIM MINJUN");
    Put(md.aPlayer[1].szName, "O'NEIL");
    md.nLevelBody = 25;
    md.nLevelHead = 15;
    SendMessage(g_hMainWnd, UM_MATCH_INFO_CHANGED, 0, 0);
    SendMessage(g_hMainWnd, UM_MATCH_LOADED, 0, 0);
    QCoreApplication::processEvents();
}

} // namespace

BenchCourt::BenchCourt(const std::function<std::unique_ptr<CMainWnd>()>& makeView,
                       const ProgramStart* program)
    : m_savedAppDir(g_strAppDir) {
    platform::setPrompter(&g_prompter);
    const QDir home(m_folder.path());
    for (const char* sub : {"ini", "Cfg", "Img/Flag", "Sound", "Log", "Result"})
        home.mkpath(QString::fromLatin1(sub));
    const std::string database = home.filePath(QStringLiteral("Vevuvurer.edi")).toStdString();
    if (!m_folder.isValid() || !MakeDatabase(database)) {
        m_error = "the program folder or its database could not be made";
        return;
    }
    g_strAppDir = (m_folder.path() + QStringLiteral("/")).toStdU16String();
    if (program && !CopySettings(home, *program)) {
        m_error = "the settings files or the sounds could not be put into the program folder";
        return;
    }
    CreateMatchData();
    if (!program)
        LoadMatch(*g_pMatchData);
    if (!theApp.m_dbLocal.Open(("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database).c_str())) {
        m_error = "the local database could not be opened: " + theApp.m_dbLocal.lastError();
        return;
    }
    m_view = makeView();
    g_hMainWnd = m_view->GetSafeHwnd();
    if (program) {
        StartAsProgram(*m_view, *g_pMatchData);
        return;
    }
    m_view->resize(OperatorLayout::Width, OperatorLayout::Height);
    m_view->SetupControls();
    m_view->ResetCounterTexts();
    m_view->ShowPlayers();
    m_view->ShowRoundNumber(1);
    m_view->UpdateStateDisplay();
    m_view->show();
    QCoreApplication::processEvents();
}

BenchCourt::~BenchCourt() {
    m_view.reset();
    g_hMainWnd = 0;
    TheEventLogWriter().Stop(); // its connection to the court's database goes with the court
    theApp.m_dbLocal.Close();
    if (g_pMatchData)
        FreeMatchData();
    g_strAppDir = m_savedAppDir;
    platform::setPrompter(nullptr);
}

void ReportPercentiles(benchmark::State& state, const std::vector<double>& micros,
                       const std::string& prefix) {
    state.counters[prefix + "p50_us"] = Percentile(micros, 0.50);
    state.counters[prefix + "p99_us"] = Percentile(micros, 0.99);
    state.counters[prefix + "max_us"] = Percentile(micros, 1.0);
}

int RunBenchmarks(int argc, char** argv) {
    platform::reserveHeap(platform::kProgramHeapReserve); // as the program's start does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

int RunBenchmarksOnTwoMonitors(int argc, char** argv) {
    static constexpr char kScreens[] = R"({ "screens": [
  { "name": "operator", "x": 0, "y": 0, "width": 1366, "height": 768, "logicalDpi": 96 },
  { "name": "public", "x": 1366, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96 }
] })";
    QTemporaryDir dir;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile screens(dir.filePath(QStringLiteral("screens.json")));
        if (!screens.open(QIODevice::WriteOnly) || screens.write(kScreens) < 0)
            return 1;
        screens.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toUtf8());
    }
    return RunBenchmarks(argc, argv);
}

bool LinkedOnTwoMonitors(benchmark::State& state, CMainWnd& view, const std::function<bool()>& versionAsked) {
    const MatchData* md = g_pMatchData;
    if (!md || md->nMonitorCount < 2 || !view.m_pExtScrDlg || !view.m_pExtScrDlg->isVisible()) {
        state.SkipWithError("the public scoreboard is not shown (a second monitor is needed)");
        return false;
    }
    // The public-screen size as the frame sets it from the display resolution (the court has no frame):
    // unsized, the board is 0x0 and never paints.
    CExtScrDlg* board = view.m_pExtScrDlg;
    board->ApplyResolution();
    if (board->size() != PublicScreenSize(md->nDisplayResolution)) {
        state.SkipWithError("the public scoreboard is not shown at its size");
        return false;
    }
    if (!versionAsked()) {
        state.SkipWithError("the receiver link did not start");
        return false;
    }
    using Clock = std::chrono::steady_clock;
    for (const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10); !view.m_bLinkReady;) {
        if (Clock::now() > deadline) {
            state.SkipWithError("the receiver did not link on the court's channel");
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
