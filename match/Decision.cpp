// The decision of a match: the winner buttons, the decision the operator confirms, and its record in the
// local database, the result file and every outside system.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Timers.h"
#include "links/MatchInput.h"
#include "match/DecisionRules.h"
#include "match/MatchFlowSteps.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "records/MatchRecords.h"
#include "screens/ExtScrDlg.h"

#include <QRect>
#include <QString>

#include <string>

using namespace DecisionRules;

namespace {

constexpr int kWinnerCancelButton = 1000;
constexpr int kGoldenRoundTie = 2; // criterion of the golden-round winner screen: equal round totals
constexpr int kNoWinner = -1;      // nWinSide of a match whose decision was cancelled: no side named

// GAMET's win column of the logged match, queued behind its events; a row that cannot be written is
// reported by the event log and the decision stands.
void WriteWinColumn(CMainWnd& view, const MatchData& md) {
    // A match decided before its first start (a withdrawal) gets its row now, so its win is its own.
    if (!md.bMatchLogged)
        view.LogMatchRow();
    // The winner selection stores the decision kind of the ordinary list in either layout.
    view.LogMatchWin(WinText(md.nWinSide, md.nDecisionKind, false));
}

// round: the round number a round-ending decision belongs to.
void SendDecisionNotices(CMainWnd& view, MatchData& md, int side, int round) {
    const int kind = md.nDecisionKind;
    const std::u16string letter(ScoreRules::SideLetter(side));
    const std::u16string word(ScoreRules::SideWord(side));
    const QString code = QString::fromLatin1(DecisionCodeText(kind, md.nOvrSupplier));
    const std::u16string codeText = code.toStdU16String();
    // The control-character sender serves both the OVR link of supplier 0 and the pre-registration link;
    // one call reaches each of them once.
    if (md.bUsePreReg || md.nOvrSupplier == 0)
        view.SendControlCharEvent(7, letter, DecisionNumberText(kind), u"");
    switch (md.nOvrSupplier) {
    case 2:
        view.SendColonEvent(8, u"", u"", u"");
        view.SendColonEvent(15, word, codeText, u"");
        view.SendColonEvent(16, word, codeText, u"");
        break;
    case 3:
        UpdateTournamentScore(2);
        break;
    case 4:
        view.SendBracketEvent(5, ScoreRules::SideWordUpper(side),
                              QString::fromLatin1(DecisionCodeShort(kind)).toStdU16String(), u"");
        break;
    case 7:
        view.SendPipeEvent(8, u"", u"", u"");
        view.SendPipeEvent(14, word, codeText, u"");
        break;
    case 8:
        if (DecidesRound(kind)) {
            view.m_JsonQueue.Append(6, round);
            if (ScoreRules::UsesRoundWins(md))
                view.m_JsonQueue.Append(JsonActionQueue::kIntermediateResult, round);
        }
        view.m_JsonQueue.Append(JsonActionQueue::kFinalResult);
        break;
    default:
        break;
    }
    // The result file belongs to a match handed over as a match-input record; other matches have none.
    if (g_MatchInput.bValid)
        WriteResultIni();
    view.SendIvrMessage(7, letter, codeText, u"", u"");
    view.SendTvgMessage(md.nTvgSupplier, 3, letter, codeText, u"");
    if (ScoreRules::UsesRoundWins(md) && DecidesRound(kind))
        view.SendWtMessage(0, 20, side, round);
    view.SendWtMessage(0, 9, side, kind);
}

} // namespace

void CMainWnd::OnClickedChungWinner() {
    DecideWinner(0, kNoDecision);
}

void CMainWnd::OnClickedHongWinner() {
    DecideWinner(1, kNoDecision);
}

void CMainWnd::DecideWinner(int side, int kind) {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (side != 0 && side != 1) {
        DebugPrintf("decision for side %d refused: no such side", side);
        return;
    }
    // A finished match keeps its decision; with none loaded there is nothing to decide.
    if (const std::u16string why = WhyNoDecision(*md); !why.empty()) {
        DebugPrintf("decision for side %d refused: %s", side,
                    QString::fromStdU16String(why).toStdString().c_str());
        MessageBox(GetSafeHwnd(), why, u"Information", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Read before the state changes: the rest tells which round a round-ending decision belongs to.
    const int entryState = md->nGameState;
    const int roundIndex = DecisionRoundIndex(*md);
    MatchFlowSteps::HideInjuryDisplay(*this);
    if (md->nGameState != 1 && md->nGameState != 5)
        md->nGameState = 8;
    for (UINT_PTR id : {TIMER_KYESHI_CLOCK, TIMER_TIMEOUT_CLOCK, TIMER_ROUND_CLOCK})
        KillTimer(id);
    UpdateStateDisplay();
    CloseWinnerScreens();

    int proposed = kind;
    if (kind == kNoDecision) {
        proposed = ProposedDecision(*md);
    } else {
        ShowDecisionPopup(kind, side + 1);
        // A team golden bout goes on after its decision; the match is decided by the bouts.
        if (md->nCompetitionType == 1 && md->nTeamGRndMatchType == 1)
            return;
    }

    if (ChooseWinner(side, AdmittedProposal(*md, proposed)) != IDOK) {
        md->nDecisionKind = kNoDecision;
        CloseWinnerPopup();
        return;
    }
    // The round's own result is no longer open to a confirm once the match is decided.
    CloseRoundResultDialog();
    // A decision taken again replaces the standing one, whose round record goes first.
    if (entryState == 11) {
        UndoRoundDecision(*md, m_roundDecision);
    } else {
        m_nStateBeforeDecision = entryState;
    }
    m_roundDecision = {};

    if (ScoreRules::IsGoldenRound(*md) && ScoreRules::RoundTotal(*md, 0) == ScoreRules::RoundTotal(*md, 1)) {
        ShowGoldenRoundWinnerScreen(kGoldenRoundTie);
    } else {
        m_roundDecision = RecordRoundDecision(*md, side, md->nDecisionKind, roundIndex);
        if (m_roundDecision)
            ShowRoundWinners(1);
        const bool publicScreen = md->nMonitorCount >= 2;
        if (publicScreen || md->bStandAloneMode)
            ShowWinnerScreens(publicScreen, md->bStandAloneMode != 0);
    }

    RecordConfirmedDecision();
    md->nGameState = 11;
    UpdateStateDisplay();
}

// The winner selection has stored the side and the kind; the golden round's superiority reaches here too.
void CMainWnd::RecordConfirmedDecision() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    ShowDlgItem(kWinnerCancelButton, true);
    WriteWinColumn(*this, *md);
    // A round decided in the rest is the next round's.
    const int round = m_roundDecision ? m_roundDecision.index + 1 : md->nCurRound;
    SendDecisionNotices(*this, *md, md->nWinSide, round);
}

// "Winner Cancel": what the decision wrote is taken back where it stays with this program. The outside
// systems that were told have no message for a cancel; the result file, which a peer reads, says that the
// match has no result any more.
void CMainWnd::WithdrawDecision() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (m_roundDecision) {
        UndoRoundDecision(*md, m_roundDecision);
        ShowRoundWinners(1);
    }
    m_roundDecision = {};
    md->nDecisionKind = kNoDecision;
    md->nWinSide = kNoWinner;
    // Queued behind the match's events and the decision's own write, so the cancel is what stays.
    if (!m_strMatchKey.empty())
        LogMatchWin(u"");
    if (g_MatchInput.bValid)
        WriteResultIni();
}

void CMainWnd::ShowDecisionPopup(int kind, int side) {
    const MatchData* md = g_pMatchData;
    if (!md || md->nMonitorCount < 2)
        return;
    const QPoint origin = PublicScreenRect(*md).topLeft();
    const PopupRect r = DecisionPopupRect(md->nDisplayResolution, ScoreRules::UsesRoundWins(*md));
    OpenDecisionPopup(kind, side, origin.x() + r.left, origin.y() + r.top, origin.x() + r.right,
                      origin.y() + r.bottom);
    MatchFlowSteps::PlayFlowSound(u"boong");
}
