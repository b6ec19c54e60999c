// Writes PNG pictures of the operator screen in its main states, offscreen, so anyone can look at the screen
// without a display: no match, a loaded match, a running round with scores and penalties, a decision; then
// the public scoreboard of the running round at both sizes, with the sides as they are and exchanged, and in
// the one-judge round-win layout; then the decision pop-ups (superiority in both forms, the public round and
// match results, the operator's copy) and the public video-replay screen; last a team match with long names
// and no nations.
//
//     operator-screenshots FOLDER
//
// The screen runs on a throw-away program folder; no receiver is opened and nothing is written elsewhere.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MyListCtrl.h"
#include "controls/AnimatedPicture.h"
#include "screens/ExtIvrScrDlg.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"
#include "screens/ResultPopupRules.h"
#include "screens/ResultPopups.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

template <std::size_t N> void Put(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = '\0';
}

void PutWide(WCHAR (&field)[260], const char16_t* text) {
    std::u16string value(text);
    value.resize(std::min<std::size_t>(value.size(), 259));
    std::copy(value.begin(), value.end(), field);
    field[value.size()] = u'\0';
}

// A nation row whose flag comes from Debian's flag pictures when they are installed.
void Nation(MatchData& md, const QDir& flags, int row, const char16_t* code, const char* iso) {
    PutWide(md.aNation[row].wszField[0], code);
    const QString source = QStringLiteral("/usr/share/iso-flags-png-320x240/%1.png").arg(QLatin1String(iso));
    const QString file = QStringLiteral("%1.png").arg(QLatin1String(iso));
    if (QFile::copy(source, flags.filePath(file)))
        PutWide(md.aNation[row].wszField[3], reinterpret_cast<const char16_t*>(file.utf16()));
    else
        PutWide(md.aNation[row].wszField[3], u"none.gif");
}

void History(CMainWnd& view, int id, const std::vector<QStringList>& rows) {
    CMyListCtrl* list = view.EventList(id);
    for (const QStringList& row : rows) {
        const int at = list->rowCount();
        list->insertRow(at);
        for (int column = 0; column < row.size(); ++column)
            list->setItem(at, column, new QTableWidgetItem(row[column]));
    }
    // As a scored event leaves it: the newest row in view once the list is laid out.
    list->ShowLastRow();
    list->doItemsLayout();
}

// The scoreboard reads its flags off the UI thread: the shot waits until both are there.
void AwaitFlags(const CExtScrDlg& board) {
    while (board.Flag(false)->IsLoading() || board.Flag(true)->IsLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool Shoot(QWidget& view, const QDir& out, const char* name) {
    const QString path = out.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!view.grab().save(path)) {
        std::fprintf(stderr, "operator-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("BELVANTA_RECEIVER", "/nonexistent/belvanta-screenshot-receiver");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: operator-screenshots FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir home;
    if (!out.mkpath(QStringLiteral(".")) || !home.isValid()) {
        std::fprintf(stderr, "operator-screenshots: cannot make the folders\n");
        return 1;
    }
    QDir(home.path()).mkpath(QStringLiteral("Img/Flag"));
    g_strAppDir = (home.path() + QStringLiteral("/")).toStdU16String();
    CreateMatchData();
    MatchData& md = *g_pMatchData;
    Put(md.szAppDirA, QString(home.path() + QStringLiteral("/")).toUtf8().constData());
    md.nMonitorCount = 1;
    md.nRound = 3;
    md.nGamJeom = 10;
    md.nVRQuota = 1;
    md.nPSSType = 2;
    md.nJudgeNumber = 3;
    md.bUsePunch = 0;
    md.bReceiverOpen = 1;

    bool ok = true;
    {
        auto view = std::make_unique<CMainWnd>();
        view->resize(OperatorLayout::Width, OperatorLayout::Height);
        view->SetupControls();
        view->ResetCounterTexts();
        view->UpdateStateDisplay();
        view->ShowPlayers();
        ok &= Shoot(*view, out, "1-no-match");

        // A loaded match: players, nations, levels, devices registered.
        const QDir flags(QDir(home.path()).filePath(QStringLiteral("Img/Flag")));
        md.nNationCount = 3;
        Nation(md, flags, 1, u"KOR", "kr");
        Nation(md, flags, 2, u"GBR", "gb");
        Put(md.aPlayer[0].szName, "Kim Minjun");
        Put(md.aPlayer[0].szNationCode, "KOR");
        md.aPlayer[0].nNation = 1;
        Put(md.aPlayer[1].szName, "Oliver Bennett");
        Put(md.aPlayer[1].szNationCode, "GBR");
        md.aPlayer[1].nNation = 2;
        Put(md.szContestNo, "101");
        g_strMatchTitle = u"Final  Male -68kg";
        md.nLevelBody = 24;
        md.nLevelHead = 12;
        md.nGameState = 1;
        md.nCurRound = 1;
        md.aSide[0].nVRRemain = md.aSide[1].nVRRemain = 1;
        for (int slot = 0; slot < 2; ++slot) {
            md.bRegBody[slot] = md.bRegHead[slot] = 1;
            md.nBodyBattery[slot] = 116 - slot * 3;
            md.nHeadBattery[slot] = 112 + slot;
        }
        md.bJudgeWired[0] = 1;
        md.nJudgeWiredValue[0] = 110;
        view->ShowPlayers();
        view->ShowRoundNumber(1);
        view->ShowClockSeconds(120);
        view->ShowScores(0, 0);
        view->ShowReplayQuota(1, 1);
        view->UpdateStateDisplay();
        ok &= Shoot(*view, out, "2-match-loaded");

        // A running round with scores, penalties, hits and the judges' marks.
        md.nGameState = 3;
        md.nCurRound = 2;
        md.nRemainTime = 83'450;
        md.aSide[0].nRoundScore[0] = 5;
        md.aSide[0].nRoundScore[1] = 2;
        md.aSide[1].nRoundScore[0] = 3;
        md.aSide[1].nRoundScore[1] = 1;
        md.aSide[0].nRoundPenalty1[1] = 1;
        md.aSide[0].nPenaltyCount1 = 1;
        md.aSide[1].nRoundPenalty1[0] = 2;
        md.aSide[1].nPenaltyCount1 = 2;
        md.nCurRound = 1;
        view->ShowRoundBreakdown();
        md.nCurRound = 2;
        view->ShowRoundBreakdown();
        view->ShowScores(md.aSide[0].nScore + md.aSide[1].nPenaltyCount1,
                         md.aSide[1].nScore + md.aSide[0].nPenaltyCount1);
        view->UpdatePenaltyDisplay(1, 2);
        view->ShowRoundNumber(2);
        view->ShowClockMs(md.nRemainTime);
        view->ShowHitLevel(0, 1, 31);
        view->ShowHitLevel(0, 2, 18);
        view->ShowHitLevel(1, 1, 19);
        view->ShowHitLevel(1, 1, 27);
        for (int j = 0; j < 3; ++j) {
            md.aSide[0].aJudgeSlot[j][0] = {2, 0, 1};
            md.aSide[0].aJudgeSlot[j][1] = {j == 2 ? 0 : 3, 0, 1};
            md.aSide[1].aJudgeSlot[j][0] = {2, 0, 1};
        }
        md.aSide[0].aJudgePress[1] = {1, 0, 1};
        md.aSide[0].aSlotState[0] = {2, 31, 1};
        md.aSide[0].aSlotState[1] = {3, 18, 0};
        md.aSide[1].aSlotState[0] = {2, 27, 1};
        DeviceStatusSet(md, 1 << 5); // judge 2 silent
        md.bJudgeWired[1] = 0;
        // More rows than the list shows, so its scroll bar shows too.
        History(*view, OperatorIds::EventListChung,
                {{"1", "1", "(+)2", "Trunk", "1:31"},
                 {"2", "1", "(+)1", "Punch", "1:05"},
                 {"3", "1", "(-)1", "Punch", "1:02"},
                 {"4", "1", "(+)3", "Head", "0:48"},
                 {"5", "2", "(+)1", "Punch", "1:52"},
                 {"6", "2", "(+)1", "Punch", "1:37"}});
        History(*view, OperatorIds::EventListHong,
                {{"1", "1", "(+)2", "Trunk", "1:12"}, {"2", "2", "(+)1", "Punch", "1:42"}});
        view->UpdateStateDisplay();
        view->update();
        ok &= Shoot(*view, out, "3-round-running");

        // The public scoreboard of the running round.
        md.nMonitorCount = 2;
        md.nPrimaryRight = 1366;
        md.nSecondRight = 1366 + 1920;
        md.nSecondBottom = 1080;
        Put(md.szPhase, "Final");
        Put(md.szWeightClass, "Senior");
        Put(md.szGender, "M");
        Put(md.szWeight, "-68kg");
        md.aSide[0].aLastHit[0] = {1, 31};
        md.aSide[0].aLastHit[1] = {2, 8};
        md.aSide[1].aLastHit[0] = {1, 27};
        struct Board {
            int resolution, reversed;
            const char* name;
        };
        for (const Board& b : {Board{1, 0, "5-scoreboard-1280"}, Board{1, 1, "6-scoreboard-1280-reversed"},
                               Board{0, 0, "7-scoreboard-1920"}, Board{0, 1, "8-scoreboard-1920-reversed"}}) {
            md.nDisplayResolution = b.resolution;
            md.nReverseScreen = b.reversed;
            CExtScrDlg board;
            board.ApplyResolution();
            board.ApplyReverseScreen(b.reversed);
            board.ApplyClockMode();
            board.SetClockText(QStringLiteral("1:23"));
            board.SetRoundText(2);
            board.SetVideoReplayTexts(QStringLiteral("1"), QStringLiteral("1"), b.reversed);
            board.resize(md.nExtScrWidth, md.nExtScrHeight);
            AwaitFlags(board);
            ok &= Shoot(board, out, b.name);
        }
        {
            // The round-win system with one judge, in the rest after round 2.
            md.nDisplayResolution = 0;
            md.nReverseScreen = 0;
            md.nCompetitionRule = 1;
            md.nJudgeNumber = 1;
            md.nGameState = 6;
            md.nRoundWinner[0] = 1;
            md.nRoundWinner[1] = 2;
            md.aSide[0].nRoundWins = 1;
            md.aSide[1].nRoundWins = 1;
            CExtScrDlg board;
            board.ApplyResolution();
            board.ApplyReverseScreen(0);
            board.SetClockText(QStringLiteral("0:45"));
            board.ApplyClockMode();
            board.SetRoundText(2);
            board.resize(md.nExtScrWidth, md.nExtScrHeight);
            AwaitFlags(board);
            ok &= Shoot(board, out, "9-scoreboard-round-win-rest");
            md.nCompetitionRule = 0;
            md.nJudgeNumber = 3;
            md.nGameState = 3;
        }

        // The decision pop-ups after a golden round decided for Chung.
        md.nCurRound = 4;
        md.nWinSide = 0;
        md.aSide[0].nPssHits[0] = 3;
        md.aSide[1].nPssHits[0] = 1;
        md.aSide[0].nTechTally[0][3] = 2;
        md.aSide[0].nTechTally[10][1] = 3;
        md.aSide[1].nTechTally[10][1] = 1;
        for (const int mode : {0, 1}) {
            const QRect at = ResultPopups::SuperiorityRect(md);
            CTK_GRndSupDlg superiority(at.left(), at.top(), at.right() + 1, at.bottom() + 1, mode);
            ok &= Shoot(superiority, out, mode ? "10-superiority-totals" : "11-superiority-golden-round");
        }
        {
            md.nCurRound = 2;
            CTK_GRndWinDispDlg round(0, 0, 1920, 1080, 1, 0, 3, QStringLiteral("Final Senior M -68kg"));
            ok &= Shoot(round, out, "12-round-result");
            md.nCurRound = 4;
            md.nDisplayResolution = 1;
            CTK_GRndWinDispDlg match(0, 0, 1280, 720, 0, 1, 0, QString());
            ok &= Shoot(match, out, "13-match-result-1280");
            md.nDisplayResolution = 0;
            CTK_GRndWinDispDlg_OP copy(1);
            ok &= Shoot(copy, out, "14-result-operator-copy");
            CTK_ExtIvrScrDlg replay(4, QRect(0, 0, 1920, 1080));
            replay.SetDisplay(4, QStringLiteral("Kye-Shi: 0:42"));
            ok &= Shoot(replay, out, "15-video-replay-chung");
        }
        md.nMonitorCount = 1;
        md.nWinSide = -1;

        // The match decided: the clock stopped at the end, the decision pending.
        md.nGameState = 11;
        md.nCurRound = 3;
        md.nRemainTime = 0;
        view->ShowClockMs(0);
        view->ShowRoundNumber(3);
        view->UpdateStateDisplay();
        ok &= Shoot(*view, out, "4-decision");

        // A team match whose members have long names and no nation row.
        md.nCompetitionType = 1;
        md.aPlayer[0].nNation = md.aPlayer[1].nNation = 0;
        Put(md.aPlayer[0].szName, "Maximilian Hohenberg-Schwarzenstein");
        Put(md.aPlayer[0].szNationCode, "Korea National Team");
        Put(md.aPlayer[1].szName,
            "\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88 \xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c");
        Put(md.aPlayer[1].szNationCode, "\xed\x95\x9c\xea\xb5\xad");
        view->ShowPlayers();
        view->UpdateStateDisplay();
        ok &= Shoot(*view, out, "16-team-long-names");
    }
    FreeMatchData();
    return ok ? 0 : 1;
}
