// The operator view's record operations besides the event log: the judge-input lamps with their match log,
// and the draw decision.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "platform/DebugOutput.h"
#include "screens/OperatorLayout.h"

#include <QFile>
#include <QString>

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
    // The line goes only into a log file that is already there; a contest number naming another folder is
    // not followed.
    const std::string_view contest = FieldText(g_pMatchData->szContestNo);
    if (contest.find_first_of("/\\") != std::string_view::npos || contest == "..")
        return;
    QFile log(QString::fromStdU16String(
        AppPath(u"Log/No" +
                QString::fromUtf8(contest.data(), static_cast<qsizetype>(contest.size())).toStdU16String() +
                u".txt")));
    if (!log.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Append))
        return;
    const std::u16string line = u"[R" + m_strRoundText + u":" + m_strClockText + u"]\r\n";
    QByteArray bytes;
    for (const char16_t unit : line) { // UTF-16LE, two bytes a character
        bytes.append(static_cast<char>(unit & 0xff));
        bytes.append(static_cast<char>(unit >> 8));
    }
    if (log.write(bytes) != bytes.size())
        DebugPrintf("judge-lamp log: %s", log.errorString().toStdString().c_str());
}

void CMainWnd::OnClickedDraw() {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    md.nWinRound = md.nCurRound;
    md.nWinSide = 3;
    md.nDecisionKind = 10;
    ShowWinnerScreens(md.nMonitorCount >= 2, md.bStandAloneMode != 0);
    // The draw's notices to outside systems and its tournament-database rows come with their own links.
}
