#include "match/FlowNotices.h"

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "records/MatchRecords.h"

namespace {

using N = FlowNotice;

std::vector<FlowNotice> BySupplier(FlowStep step, const MatchData& md) {
    const int round = md.nCurRound;
    switch (md.nOvrSupplier) {
    case 0:
        if (step == FlowStep::Time || step == FlowStep::RoundEnd)
            return {{N::ControlChar, 3}};
        return {};
    case 2:
        switch (step) {
        case FlowStep::RoundStart:
            return {{N::Colon, 3}, {N::Colon, 4}};
        case FlowStep::NextRound:
            return {{N::Colon, 4}};
        case FlowStep::Resume:
            return {{N::Colon, 6}};
        case FlowStep::RoundEnd:
            return {{N::Colon, 7}};
        case FlowStep::Stop:
            return {{N::Colon, 5}};
        default:
            return {};
        }
    case 3:
        if (step == FlowStep::RoundStart)
            return {{N::Tournament, 1}, {N::Tournament, 2}, {N::Tournament, 3}};
        if (step == FlowStep::NextRound)
            return {{N::Tournament, 2}, {N::Tournament, 3}};
        if (step == FlowStep::RoundEnd) // the round's final score reaches both side rows
            return {{N::Tournament, 3}};
        return {};
    case 4:
        switch (step) {
        case FlowStep::RoundStart:
        case FlowStep::NextRound:
            return {{N::Bracket, 0}};
        case FlowStep::Resume:
            return {{N::Bracket, 3}};
        case FlowStep::Time:
            return {{N::Bracket, 6}};
        case FlowStep::RoundEnd:
            return {{N::Bracket, 6}, {N::Bracket, 4}};
        case FlowStep::Stop:
            return {{N::Bracket, 2}};
        default:
            return {};
        }
    case 7:
        switch (step) {
        case FlowStep::RoundStart:
            return {{N::Pipe, 3}, {N::Pipe, 4}, {N::Pipe, 13}};
        case FlowStep::NextRound:
            return {{N::Pipe, 4}, {N::Pipe, 13}};
        case FlowStep::Resume:
            return {{N::Pipe, 6}};
        case FlowStep::Time:
            return {{N::Pipe, 13}};
        case FlowStep::RoundEnd:
            return {{N::Pipe, 13}, {N::Pipe, 7}};
        case FlowStep::Stop:
            return {{N::Pipe, 5}};
        default:
            return {};
        }
    case 8:
        switch (step) {
        case FlowStep::RoundStart:
            if (round == 1)
                return {{N::Json, 1}, {N::Json, 2}};
            return {{N::Json, 2}};
        case FlowStep::NextRound:
            return {{N::Json, 2}};
        case FlowStep::Resume:
            return {{N::Json, 5}};
        case FlowStep::ClockRunning:
        case FlowStep::Time:
            return {{N::Json, 3}};
        case FlowStep::RoundEnd:
            if (md.nCompetitionRule == 1)
                return {{N::Json, 4}, {N::Json, 6}};
            return {{N::Json, 4}, {N::Json, 6}, {N::Json, JsonActionQueue::kIntermediateResult, round}};
        case FlowStep::Stop:
            return {{N::Json, 4}};
        }
        return {};
    default: // supplier 6 (WT text only) and any other: nothing here
        return {};
    }
}

} // namespace

std::vector<FlowNotice> FlowNotices(FlowStep step, const MatchData& md) {
    std::vector<FlowNotice> notices;
    // The pre-registration system learns of every round start whatever the OVR supplier; the sender
    // handles supplier 0 and the pre-registration link in one call.
    const bool roundStart = step == FlowStep::RoundStart || step == FlowStep::NextRound;
    if (roundStart && (md.nOvrSupplier == 0 || md.bUsePreReg))
        notices.push_back({N::ControlChar, 2});
    const std::vector<FlowNotice> rest = BySupplier(step, md);
    notices.insert(notices.end(), rest.begin(), rest.end());
    return notices;
}

void SendFlowNotices(CMainWnd& view, FlowStep step) {
    if (!g_pMatchData)
        return;
    for (const FlowNotice& n : FlowNotices(step, *g_pMatchData)) {
        switch (n.sender) {
        case N::ControlChar:
            view.SendControlCharEvent(n.code, u"", u"", u"");
            break;
        case N::Colon:
            view.SendColonEvent(n.code, u"", u"", u"");
            break;
        case N::Bracket:
            view.SendBracketEvent(n.code, u"", u"", u"");
            break;
        case N::Pipe:
            view.SendPipeEvent(n.code, u"", u"", u"");
            break;
        case N::Json:
            view.m_JsonQueue.Append(n.code, n.value);
            break;
        case N::Tournament:
            if (n.code == 1)
                SetTournamentMatchPlaying();
            else if (n.code == 2)
                SetTournamentCurrentRound();
            else
                UpdateTournamentScore(2);
            break;
        }
    }
}
