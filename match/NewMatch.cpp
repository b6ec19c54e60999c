// A new match from the registration: the view and the engine back to the start of a match, the outside
// systems told, the match log opened. And the registration's direct setting of the round and its time.
#include "match/NewMatch.h"

#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MatchTitle.h"
#include "app/Messages.h"
#include "app/TextLogs.h"
#include "app/Timers.h"
#include "devices/DeviceRegistration.h"
#include "links/MatchInput.h"
#include "match/ClockRules.h"
#include "platform/CodePage.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "records/MatchRecords.h"
#include "screens/OperatorLayout.h"

#include <QDate>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <ctime>
#include <utility>

namespace NewMatch {
namespace {

// A token of 1..9 plain decimal digits (so it fits an int), else nullopt.
std::optional<int> Digits(std::string_view token) {
    if (token.empty() || token.size() > 9 ||
        !std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    std::from_chars(token.data(), token.data() + token.size(), value);
    return value;
}

} // namespace

std::optional<RoundAndTime> ParseRoundAndTime(std::string_view text) {
    if (text.size() > kMaxRoundTimeText)
        return std::nullopt;
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const std::string_view timeToken = text.substr(0, comma);
    const auto time = Digits(timeToken);
    const auto round = Digits(text.substr(comma + 1)); // a second comma makes this token fail
    if (!time || !round)
        return std::nullopt;
    constexpr int kMaxMs = ClockRules::kMaxClockSeconds * 1000;
    const bool seconds = timeToken.size() < 5;
    if (seconds ? *time > ClockRules::kMaxClockSeconds : *time > kMaxMs)
        return std::nullopt;
    return RoundAndTime{seconds ? *time * 1000 : *time, *round};
}

std::string MatchLogFileName(std::string dateText, std::string_view contestNo) {
    if (!IsSafeFileNamePart(contestNo))
        return {};
    StripColons(dateText);
    return dateText + "(No" + std::string(contestNo) + ").xls";
}

int RoundTotal(const MatchData& md, int side, int r) {
    const TTK_SideScore& other = md.aSide[side ^ 1];
    return md.aSide[side].nRoundScore[r] + other.nRoundPenaltyPoints1[r] + other.nRoundPenaltyPoints2[r];
}

int GoldenRoundScore(const MatchData& md, int side, int r) {
    const TTK_SideScore& other = md.aSide[side ^ 1];
    const int singles = other.nRoundPenalty1[r];
    const int doubles = other.nRoundPenalty2[r];
    const int own = md.aSide[side].nRoundScore[r];
    switch (md.nCompetitionType) {
    case 2:
        return own + (singles + doubles == 1 ? 0 : singles + 2 * doubles);
    case 1:
        return RoundTotal(md, side, r);
    default: {
        const int total = RoundTotal(md, side, r);
        return total < 2 && singles + doubles == 1 ? own : total;
    }
    }
}

} // namespace NewMatch

bool StripColons(std::string& text) {
    return std::erase(text, ':') > 0;
}

namespace {

// "%Y-%m-%d %H:%M:%S" of the current local time: the locale's time form could put any text in a file name.
std::string LocalDateText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

} // namespace

void CMainWnd::StartNextMatch() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    const bool team = md->nCompetitionType == 1;
    // The operator loaded the next match over a decided one: that one is finished first, as finish would.
    if (md->nGameState == 11)
        FinishDecidedMatch();
    if (m_bLogOpen) {
        CloseMatchLog();
        m_bLogOpen = FALSE;
    }
    md->nGameState = 1;

    if (md->bPSSAutoOff || !m_bInitialised)
        ReleaseMatchDevices(*this, team);

    // Nothing of the previous match's result stays up on either screen.
    CloseResultPopups();
    CloseRoundResultDialog();
    m_roundDecision = {};
    m_nStateBeforeDecision = 1;
    ShowDlgItem(OperatorIds::WinnerCancel, false);
    ResetMatchScreen();
    // While the match-input mode is on, the record holds the file this match was just loaded from, and the
    // result file needs its keys when the match ends.
    if (!g_MatchInput.bValid)
        ClearMatchInput();
    md->bMatchLogged = 0;
    md->nLogIndex = 0;
    ForgetMatchRow(); // nothing of this match may land in the previous one's row
    ResetTeamBouts();
    g_strMatchTitle = BuildMatchTitle();
    ShowPlayers();
    RefreshPlayerInfo();
    RedrawTagPanel();

    // A new match never inherits a running clock: its screen would show round 0 counting down.
    KillTimer(TIMER_ROUND_CLOCK);
    KillTimer(TIMER_REST_CLOCK);
    KillTimer(TIMER_KYESHI_CLOCK);
    KillTimer(TIMER_TIMEOUT_CLOCK);
    md->nCurRound = 0;
    ShowRoundNumber(0);
    const int seconds = ClockRules::ClampClockSeconds(team ? md->nTeamMatchTime[0] : md->nMatchTime);
    ShowClockMs(seconds * 1000);
    md->nRemainTime = seconds * 1000;
    md->nLastTick = md->nRemainTime;
    m_nShownSeconds = seconds;

    switch (md->nOvrSupplier) {
    case 2:
        SendColonEvent(2, u"", u"", u"");
        break;
    case 4:
        SendBracketEvent(7, u"", u"", u"");
        break;
    case 7:
        SendPipeEvent(2, u"", u"", u"");
        break;
    case 8:
        m_nJsonPosition = 1;
        m_JsonQueue.Append(0);
        SetTimer(TIMER_JSON_QUEUE, 100);
        break;
    default:
        break;
    }
    for (const int kind : {16, 6, 7, 14, 5, 4, 15})
        SendWtMessage(0, kind, 0, 0);
    if (md->nCompetitionRule == 1)
        SendWtMessage(0, 23, 0, 0);

    const std::string logName = NewMatch::MatchLogFileName(
        LocalDateText(), std::string_view(md->szContestNo, strnlen(md->szContestNo, sizeof md->szContestNo)));
    if (!logName.empty() && OpenMatchLog(MultiByteToWide(logName, CP_UTF8))) {
        m_bLogOpen = TRUE;
        WriteMatchLogHeader();
    } else {
        m_bLogOpen = FALSE;
        AfxMessageBox(u"Log file creation error!");
    }

    const std::int64_t today = QDate::currentDate().toJulianDay();
    if (today != m_nNewMatchDay) {
        SendIvrMessage(9, u"", u"", u"", u"");
        m_nNewMatchDay = today;
    }
    if (md->pTvgLink && md->bTvgConnected)
        SetTimer(TIMER_TVG_CLOCK, 1000);
    update();
}

void CMainWnd::SetRoundAndTime(const char* text) {
    MatchData* md = g_pMatchData;
    if (!md || !text)
        return;
    // The text is the sender's: read no further than one character past the longest accepted.
    const std::string_view bounded(text, strnlen(text, NewMatch::kMaxRoundTimeText + 1));
    const auto parsed = NewMatch::ParseRoundAndTime(bounded);
    if (!parsed) {
        DebugPrintf("round and time refused, not \"time,round\": \"%.*s\"", static_cast<int>(bounded.size()),
                    bounded.data());
        return;
    }
    const int round = std::clamp(parsed->round, 1, kMaxRounds);
    if (round != parsed->round)
        DebugPrintf("round and time: round %d held to %d", parsed->round, round);

    const int oldRound = std::exchange(md->nCurRound, round);
    if (round != oldRound)
        SendWtMessage(0, 2, 0, 0);
    const int oldRemain = md->nRemainTime;
    md->nRemainTime = parsed->ms;
    md->nLastTick = parsed->ms;
    ShowRoundNumber(round);
    ShowClockMs(parsed->ms);
    m_nShownSeconds = std::max(parsed->ms / 1000, 1);
    if (parsed->ms != oldRemain)
        SendWtMessage(0, 0, 3, 0);

    // There are no golden-round score controls of their own yet: the score controls show the values.
    const int r = round - 1;
    if (round < md->nRound + 1) {
        if (md->nCompetitionRule == 1)
            ShowScores(NewMatch::RoundTotal(*md, 0, r), NewMatch::RoundTotal(*md, 1, r));
    } else {
        ShowScores(NewMatch::GoldenRoundScore(*md, 0, r), NewMatch::GoldenRoundScore(*md, 1, r));
    }

    md->nRoundWinner[r] = 0;
    DecideRoundWinner(r, 3, 11, 0);
    StopAll();
}
