// The hits of the trunk protectors and head gear as the receiver reports them: accepted or dropped, scored
// against the weight class's thresholds, logged, and fed back to the athletes' devices and the wired judges.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Timers.h"
#include "match/HitRules.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"
#include "records/MatchRecords.h"
#include "screens/ExtScrDlg.h"

#include <string>

using namespace HitRules;

namespace {

// Event kinds of the event log.
constexpr int kLogUnscoredPunch = 0;
constexpr int kLogTrunk = 1;
constexpr int kLogHead = 2;
constexpr int kLogPunch = 22;
// The match-log event of a punch.
constexpr int kMatchLogPunch = 38;
// Tiles of the equipment-test screens that show a punch.
constexpr int kTestPunchTile[2] = {24, 23};
// Below this a punch is noise: logged, never shown.
constexpr int kPunchNoise = 10;
// Hit-level types of the last-hit display.
constexpr int kShowTrunk = 1;
constexpr int kShowHead = 2;
constexpr int kShowPunch = 3;

// One hit being handled: the view, the record, the side, and the clock text and stamp it carries.
class Hit {
public:
    Hit(CMainWnd& view, MatchData& md, int side, int level)
        : view(view), md(md), side(side), level(level), clock(view.m_strClockText),
          stamp(view.m_nLastInputTime) {}

    void Log(int kind, int count) const {
        if (side == 0)
            view.LogChungEvent(clock, kind, level, count, stamp);
        else
            view.LogHongEvent(clock, kind, level, count, stamp);
    }
    void AddPoint(int kind, int value) const {
        view.AddPoint(clock, ScoreRules::kDevice, side, kind, value, level);
    }
    bool Running() const { return md.nGameState == 3; }

    // The athlete feels the scored hit, and the wired judges see which side scored.
    void Feedback() const {
        if (!md.bUseVibration)
            return;
        view.SendReceiverCommand(45, side == 0 ? "CV" : "HV");
        view.NotifyWiredJudges(side);
    }
    void ShowIndicators() const {
        if (view.m_pExtScrDlg && md.nGameState != 13)
            view.m_pExtScrDlg->SetSideIndicators(view.m_nPunchState[0], view.m_nPunchState[1]);
    }
    void LogMatchPunch() const {
        if (view.m_bLogOpen)
            LogMatchEvent(md.nCurRound, kMatchLogPunch, clock, side, 1, 0, level);
    }
    void SetPunchState(int state) const {
        view.m_nPunchState[side] = state;
        view.m_nPunchTime[side] = md.nRemainTime;
    }

    void ScoredTrunk(bool feedback) const {
        Log(kLogTrunk, 1);
        AddPoint(ScoreRules::kTrunk, md.nEBPPoint);
        if (feedback)
            Feedback();
    }
    // A hit under the threshold scores nothing but counts where hits decide (round-win system, or a round
    // after the regular ones).
    void UnscoredTrunk() const {
        Log(kLogTrunk, 0);
        if (md.nCompetitionRule == 1 || md.nCurRound >= md.nRound + 1)
            AddPoint(ScoreRules::kTrunkHit, 0);
        if (Running())
            view.ShowHitLevel(side, kShowTrunk, level);
    }
    void UnscoredHead() const {
        Log(kLogHead, 0);
        if (md.nCurRound >= md.nRound + 1)
            AddPoint(ScoreRules::kHeadHit, 0);
        if (Running())
            view.ShowHitLevel(side, kShowHead, level);
    }

    // The punch of a protector with e-socks and punches in use.
    void Punch(bool validText, int threshold) const {
        if (md.nGameState == 13) {
            view.UpdateTestScreens(kTestPunchTile[side], std::to_string(level));
            Feedback();
            return;
        }
        if (level < kPunchNoise) {
            Log(kLogPunch, 0);
            LogMatchPunch();
            return;
        }
        if (level < threshold || !validText) {
            Log(kLogUnscoredPunch, 0);
            SetPunchState(1);
            LogMatchPunch();
            if (Running())
                view.ShowHitLevel(side, kShowPunch, level);
            ShowIndicators();
            return;
        }
        Log(kLogPunch, 1);
        SetPunchState(2);
        AddPoint(ScoreRules::kPunch, 0);
        Feedback();
        ShowIndicators();
    }

    CMainWnd& view;
    MatchData& md;
    const int side;
    const int level;
    const std::u16string clock; // a copy: every entry of the hit carries the same time
    const std::uint32_t stamp;
};

// The text read at the border; a hit of no known side or with a malformed text is reported and dropped.
std::optional<HitText> Read(const char* what, int side, const char* text, bool trunk) {
    if (side != 0 && side != 1) {
        DebugPrintf("%s hit of unknown side %d dropped", what, side);
        return std::nullopt;
    }
    auto hit = ParseHitText(text, trunk);
    if (!hit)
        DebugPrintf("%s hit of side %d dropped: malformed text \"%.*s\"", what, side,
                    static_cast<int>(kMaxHitText), text ? text : "(none)");
    return hit;
}

} // namespace

void CMainWnd::OnTrunkHit(int side, const char* text, int* flagOut) {
    const auto read = Read("trunk", side, text, true);
    if (!read || !g_pMatchData)
        return;
    if (flagOut)
        *flagOut = read->flag;
    MatchData& md = *g_pMatchData;
    const int level = TrunkLevel(read->raw, md.bUseKgfUnit);
    if (!Admitted(level, md.nGameState, md.nRemainTime) || (md.bUseESocks && !read->valid))
        return;
    const Contact contact = ContactOf(read->sensor);
    const bool punch = contact == Contact::Punch;
    if (punch && !md.bUseESocks)
        return;
    // The device settled the technique: the judges' window for it closes now.
    if (punch) {
        KillTimer(TIMER_TECH_WINDOW_A[side]);
        OnTechWindowA(side, 1);
    } else {
        KillTimer(TIMER_TECH_WINDOW_B[side]);
        OnTechWindowB(side, 1);
    }
    const Hit hit(*this, md, side, level);
    if (hit.Running() && !(md.bUsePunch && punch))
        SendWtMessage(0, 21, side, level);
    const Thresholds threshold = ThresholdsFor(md.nGameState, md.nLevelBody, md.nLevelHead, md.nLevelPunch);
    const bool reaches = level >= threshold.trunk;
    if (!md.bUseESocks) {
        if (reaches)
            hit.ScoredTrunk(true);
        else
            hit.UnscoredTrunk();
        return;
    }
    if (!md.bUsePunch) {
        if (punch)
            return;
        if (reaches && read->valid)
            hit.ScoredTrunk(true);
        else
            hit.UnscoredTrunk();
        return;
    }
    if (punch) {
        hit.Punch(read->valid, threshold.punch);
    } else if (contact == Contact::Foot) {
        if (md.nGameState == 13)
            hit.Feedback();
        if (reaches && read->valid)
            hit.ScoredTrunk(false);
        else
            hit.UnscoredTrunk();
    }
}

void CMainWnd::OnHeadHit(int side, const char* text, int* flagOut) {
    const auto read = Read("head", side, text, false);
    if (!read || !g_pMatchData)
        return;
    if (flagOut)
        *flagOut = read->flag;
    MatchData& md = *g_pMatchData;
    const int level = read->raw; // the head gear reports its level as it is
    if (!Admitted(level, md.nGameState, md.nRemainTime))
        return;
    KillTimer(TIMER_TECH_WINDOW_B[side]);
    OnTechWindowB(side, 1);
    const Hit hit(*this, md, side, level);
    const bool reaches =
        level >= ThresholdsFor(md.nGameState, md.nLevelBody, md.nLevelHead, md.nLevelPunch).head;
    if (!md.bUseESocks) {
        // Without e-socks a head hit is felt and logged; it scores only through the judges.
        if (reaches) {
            hit.Log(kLogHead, 1);
            hit.Feedback();
        } else {
            hit.UnscoredHead();
        }
        return;
    }
    if (reaches && read->valid) {
        hit.Log(kLogHead, 1);
        hit.AddPoint(ScoreRules::kHead, md.nEHPPoint);
        hit.Feedback();
    } else {
        hit.UnscoredHead();
    }
}
