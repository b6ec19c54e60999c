// The operator view's record operations besides the event log: the judge-input lamps with their match log,
// and the draw decision.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "app/TextLogs.h"
#include "controls/MyStatic.h"
#include "platform/DebugOutput.h"
#include "records/TournamentDb.h"
#include "records/TournamentWriter.h"
#include "screens/OperatorLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRect>
#include <QString>

namespace {

// The match's judge-lamp log, "Log/No<contest>.txt" below the program folder.
QString JudgeLampLogPath(std::string_view contest) {
    return QString::fromStdU16String(AppPath(u"Log/No" + RecordTextWide(contest) + u".txt"));
}

// Beside the contest number, where the operator looks before each start.
constexpr int kTournamentBacklog = 1560;
constexpr QRect kTournamentBacklogArea{820, 42, 296, 28};

} // namespace

void CMainWnd::ShowTournamentBacklog() {
    const TournamentWriter::Backlog backlog = TheTournamentWriter().Pending();
    QLabel* notice = Static(kTournamentBacklog);
    if (!backlog.held) {
        notice->hide();
        return;
    }
    notice->setGeometry(kTournamentBacklogArea);
    notice->setAlignment(Qt::AlignCenter);
    if (auto* coloured = qobject_cast<CMyStatic*>(notice))
        coloured->SetColours(RGB(0, 0, 0), RGB(255, 255, 0)); // black on yellow, as the screen's warnings
    notice->setText(QStringLiteral("Results DB not reached: %1 write(s) waiting").arg(backlog.writes));
    notice->setAccessibleName(notice->text());
    notice->setToolTip(QStringLiteral("The tournament results database has not taken these writes yet; they "
                                      "are sent again until it does."));
    notice->show();
    notice->raise();
}

void CMainWnd::ToggleJudgeLamp(int show, int force, int second) {
    const int lamp[2] = {OperatorIds::LampChung, OperatorIds::LampHong};
    if (show == 0) {
        ShowDlgItem(lamp[0], false);
        ShowDlgItem(lamp[1], false);
        m_bLampNextShow[0] = m_bLampNextShow[1] = 1;
        return;
    }
    const int side = second ? 1 : 0;
    if (force)
        m_bLampNextShow[side] = 1;
    ShowDlgItem(lamp[side], m_bLampNextShow[side] == 1);
    m_bLampNextShow[side] = m_bLampNextShow[side] == 1 ? 0 : 1;
    if (!second || !g_pMatchData)
        return;
    // The line goes only into a log file that is already there (the match's first start makes it); a
    // contest number naming another folder is not followed.
    const std::string_view contest = FieldText(g_pMatchData->szContestNo);
    if (!IsSafeFileNamePart(contest))
        return;
    QueueUtf16LeLogAppend(JudgeLampLogPath(contest),
                          u"[R" + m_strRoundText + u":" + m_strClockText + u"]\r\n", true);
}

void CMainWnd::CreateJudgeLampLog() {
    if (!g_pMatchData)
        return;
    const std::string_view contest = FieldText(g_pMatchData->szContestNo);
    if (contest.empty() || !IsSafeFileNamePart(contest)) {
        DebugPrintf("judge-lamp log: no file for contest \"%.*s\"", static_cast<int>(contest.size()),
                    contest.data());
        return;
    }
    QueueLogFileCreation(JudgeLampLogPath(contest));
}

void CMainWnd::OnClickedDraw() {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    md.nWinRound = md.nCurRound;
    md.nWinSide = 3;
    md.nDecisionKind = 10;
    ShowWinnerScreens(md.nMonitorCount >= 2, md.bStandAloneMode != 0);
    if (md.nOvrSupplier == 3)
        WriteTournamentDraw(md);
}
