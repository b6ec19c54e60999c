#include "match/ScoreRules.h"

#include "app/MatchData.h"

#include <QString>

#include <algorithm>
#include <cstdlib>

namespace ScoreRules {

namespace {

struct KindTexts {
    std::u16string_view history;
    std::u16string_view letter;
};

// By kind 0..21. The history texts are the ones operators know from the court screens, "Vaild Punch"
// included.
constexpr KindTexts kKindTexts[] = {
    {u"Punch", u"F"},              // 0
    {u"", u""},                    // 1
    {u"", u""},                    // 2
    {u"Trunk Kick", u"P"},         // 3
    {u"Head(Turning) Kick", u"H"}, // 4
    {u"Spinning Kick", u"J"},      // 5
    {u"Head Kick", u"L"},          // 6
    {u"Turning Head Kick", u"J"},  // 7
    {u"Technical", u"T"},          // 8
    {u"Technical", u"T"},          // 9
    {u"Gam-Jeom", u"M"},           // 10
    {u"Technical", u"M"},          // 11
    {u"Video Replay", u"M"},       // 12
    {u"", u""},                    // 13
    {u"", u""},                    // 14
    {u"", u""},                    // 15
    {u"Hit", u"M"},                // 16
    {u"Hit", u"M"},                // 17
    {u"", u"M"},                   // 18
    {u"Vaild Punch", u"F"},        // 19
    {u"Knockdown", u"K"},          // 20
    {u"Double Gam-Jeom", u"M"},    // 21
};
constexpr int kKnownKinds = static_cast<int>(std::size(kKindTexts));

bool InTable(int kind) {
    return kind >= 0 && kind < kKnownKinds;
}

int Opponent(int side) {
    return side == 0 ? 1 : 0;
}

// Points the side's gam-jeoms of the current round gave the opponent.
int RoundPenaltyPoints(const MatchData& md, int side) {
    const int r = RoundIndex(md);
    const TTK_SideScore& s = md.aSide[side];
    return s.nRoundPenaltyPoints1[r] + s.nRoundPenaltyPoints2[r];
}

// Points the side's gam-jeoms of the current round are worth by their counts (single 1, double 2).
int RoundPenaltyCountPoints(const MatchData& md, int side) {
    const int r = RoundIndex(md);
    const TTK_SideScore& s = md.aSide[side];
    return s.nRoundPenalty1[r] + 2 * s.nRoundPenalty2[r];
}

void TrunkTechnique(const MatchData& md, Tallies& t, int value) {
    t[kTrunkTechPoints] += value;
    t[kTrunkTechCount] += 1;
    t[kTechTotal] += md.nEBPPoint + value;
}

void HeadTechnique(const MatchData& md, Tallies& t, int value) {
    t[kHeadTechPoints] += value;
    t[kHeadTechCount] += 1;
    t[kTechTotal] += md.nEHPPoint + value;
}

// A technical point chosen by the operator's prompt (kind 11).
void TechnicalTallies(const MatchData& md, Tallies& t, int value, int extra) {
    if (extra != 2 && extra != 3)
        return;
    const bool type2 = md.nCompetitionType == 2;
    if (type2 && md.nPSSType != 2 && extra == 3) {
        TrunkTechnique(md, t, value);
        t[kHeadCount] += 1;
    } else if (extra == 2 || (md.nPSSType == 1 && !type2)) {
        TrunkTechnique(md, t, value);
    } else {
        HeadTechnique(md, t, value);
    }
}

// A point given by the video-replay decision (kind 12), by its outcome.
void ReplayTallies(const MatchData& md, Tallies& t, int value, int outcome) {
    const bool type2 = md.nCompetitionType == 2;
    switch (outcome) {
    case 1:
        t[kPunchPoints] += value;
        t[kPunchCount] += 1;
        break;
    case 2:
        t[kTrunkPoints] += value;
        t[kTrunkCount] += 1;
        break;
    case 3:
        t[kHeadPoints] += value;
        t[kHeadCount] += 1;
        break;
    case 4:
        t[kTrunkPoints] += value;
        t[kTrunkCount] += 1;
        t[kTrunkTechPoints] += type2 ? 1 : 2;
        t[kTrunkTechCount] += 1;
        t[kTechTotal] += value;
        break;
    case 5:
        if (type2) {
            t[kTrunkPoints] += value;
            t[kTrunkCount] += 1;
            t[kTrunkTechPoints] += 2;
            t[kTrunkTechCount] += 1;
            t[kHeadCount] += 1;
        } else {
            t[kHeadPoints] += value;
            t[kHeadCount] += 1;
            t[kHeadTechPoints] += 2;
            t[kHeadTechCount] += 1;
        }
        t[kTechTotal] += value;
        break;
    case 6:
        TrunkTechnique(md, t, value);
        break;
    case 7:
        t[kHeadTechPoints] += value;
        t[kHeadTechCount] += 1;
        t[kTechTotal] += (type2 ? md.nEBPPoint : md.nEHPPoint) + value;
        if (type2)
            t[kHeadCount] += 1;
        break;
    default:
        break;
    }
}

} // namespace

std::u16string_view TechniqueText(int kind) {
    return InTable(kind) ? kKindTexts[kind].history : std::u16string_view{};
}

std::u16string_view TechniqueLetter(int kind) {
    return InTable(kind) ? kKindTexts[kind].letter : std::u16string_view{};
}

std::u16string_view SideLetter(int side) {
    return side == 0 ? u"B" : u"R";
}

std::u16string_view SideWord(int side) {
    return side == 0 ? u"Blue" : u"Red";
}

std::u16string_view SideWordUpper(int side) {
    return side == 0 ? u"BLUE" : u"RED";
}

int RoundIndex(const MatchData& md) {
    return std::clamp(md.nCurRound - 1, 0, kMaxRounds - 1);
}

bool IsGoldenRound(const MatchData& md) {
    return md.nCurRound > md.nRound;
}

bool UsesRoundWins(const MatchData& md) {
    return md.nCompetitionRule == 1;
}

bool IsZeroPunch(int kind, int value) {
    return (kind == kPunch || kind == kValidPunch) && value == 0;
}

bool AdmitsPoint(int source, int gameState) {
    if (source == kOperator)
        return AdmitsRemoval(gameState);
    return gameState == 3;
}

bool AdmitsRemoval(int gameState) {
    return gameState == 2 || (gameState >= 4 && gameState <= 9);
}

int AddedValue(const MatchData& md, int value, int extra, bool trunkPending, bool headPending) {
    if (value != -1)
        return value;
    if (extra == 2 || (extra != 3 && trunkPending))
        return md.nEBPPoint;
    if (extra == 3 || headPending)
        return md.nEHPPoint;
    return 0;
}

int RemovedValue(const MatchData& md, int value, int extra) {
    if (value != -1)
        return value;
    if (extra == 2)
        return md.nEBPPoint;
    if (extra == 3)
        return md.nEHPPoint;
    return 0; // nothing tells which technique: a removal of nothing, never a gift of one point
}

bool IsHit(int kind) {
    return kind == kTrunkHit || kind == kHeadHit || kind == kPunchHit;
}

int HitCounterSlot(const MatchData& md) {
    if (UsesRoundWins(md))
        return std::clamp(md.nCurRound, 1, kRoundNumberSlots - 1);
    return IsGoldenRound(md) ? 0 : -1;
}

Tallies AddedTallies(const MatchData& md, int source, int kind, int value, int extra, bool trunkPending,
                     bool headPending) {
    Tallies t{};
    switch (kind) {
    case kPunch:
        if (md.bUsePunch && source != kOperator)
            break;
        [[fallthrough]];
    case kValidPunch:
        if (kind == kValidPunch && !md.bUsePunch)
            break;
        t[kPunchPoints] += value;
        t[kPunchCount] += 1;
        break;
    case kTrunk:
    case kTrunkTurning:
    case kSpinning:
        t[kTrunkPoints] += value;
        t[kTrunkCount] += 1;
        if (kind == kTrunkTurning) {
            t[kTrunkTechPoints] += md.nJudgePointBottom;
        } else if (kind == kSpinning) {
            t[kTrunkTechPoints] += md.nJudgePointTop - md.nJudgePointBottom;
        }
        if (kind != kTrunk) {
            t[kTrunkTechCount] += 1;
            t[kTechTotal] += value;
        }
        break;
    case kHead:
    case kHeadTurning:
        t[kHeadPoints] += value;
        t[kHeadCount] += 1;
        if (kind == kHeadTurning) {
            t[kHeadTechPoints] += md.nJudgePointMiddle;
            t[kHeadTechCount] += 1;
            t[kTechTotal] += value;
        }
        break;
    case kJudgeBonus:
        if (md.nPSSType == 1 || trunkPending)
            TrunkTechnique(md, t, value);
        else if (headPending)
            HeadTechnique(md, t, value);
        break;
    case kTechnicalType2:
        TrunkTechnique(md, t, value);
        t[kHeadCount] += 1;
        break;
    case kTechnical:
        TechnicalTallies(md, t, value, extra);
        break;
    case kVideoReplay:
        ReplayTallies(md, t, value, extra);
        break;
    case kKnockdown:
        if (md.nCompetitionType == 1) {
            t[kKnockdownPoints] += value;
            t[kKnockdownCount] += 1;
        }
        break;
    default:
        break;
    }
    return t;
}

Tallies RemovalTallies(const MatchData& md, int kind, int value, int extra) {
    Tallies t{};
    switch (kind) {
    case kPunch:
        t[kPunchPoints] = value;
        t[kPunchCount] = 1;
        break;
    case kTrunk:
    case kTrunkTurning:
    case kSpinning:
        t[kTrunkPoints] = value;
        t[kTrunkCount] = 1;
        break;
    case kHead:
        t[kHeadPoints] = value;
        t[kHeadCount] = 1;
        break;
    case kTechnical:
    case kVideoReplay:
    case kKnockdown:
        return AddedTallies(md, kOperator, kind, value, extra, false, false);
    default:
        break;
    }
    return t;
}

int MatchTotal(const MatchData& md, int side) {
    const TTK_SideScore& opponent = md.aSide[Opponent(side)];
    return md.aSide[side].nScore + opponent.nPenaltyCount1 + 2 * opponent.nPenaltyCount2;
}

int RoundTotal(const MatchData& md, int side) {
    return md.aSide[side].nRoundScore[RoundIndex(md)] + RoundPenaltyPoints(md, Opponent(side));
}

int RoundGamJeoms(const MatchData& md, int side) {
    const int r = RoundIndex(md);
    return md.aSide[side].nRoundPenalty1[r] + md.aSide[side].nRoundPenalty2[r];
}

std::pair<int, int> DisplayedScores(const MatchData& md) {
    int shown[2];
    for (int side = 0; side < 2; ++side) {
        const int opponent = Opponent(side);
        const int own = md.aSide[side].nRoundScore[RoundIndex(md)];
        if (!IsGoldenRound(md)) {
            shown[side] = UsesRoundWins(md) ? RoundTotal(md, side) : MatchTotal(md, side);
        } else if (md.nCompetitionType == 2) {
            const bool oneGamJeom = RoundGamJeoms(md, opponent) == 1;
            shown[side] = own + (oneGamJeom ? 0 : RoundPenaltyCountPoints(md, opponent));
        } else if (md.nCompetitionType == 1) {
            shown[side] = RoundTotal(md, side);
        } else {
            // One gam-jeom alone does not give the golden point.
            const int total = RoundTotal(md, side);
            shown[side] = total < 2 && RoundGamJeoms(md, opponent) == 1 ? own : total;
        }
    }
    return {shown[0], shown[1]};
}

int DeviceWtCode(const MatchData& md, int kind, int value, bool trunkPending, bool headPending) {
    switch (kind) {
    case kPunch:
    case kValidPunch:
        return value == 0 ? 0 : 1;
    case kHead:
    case kHeadTurning:
        return 3;
    case kTechnicalType2:
        return 4;
    case kJudgeBonus:
        if (md.nPSSType == 1)
            return 4;
        if (md.nPSSType == 2)
            return trunkPending ? 4 : headPending ? 5 : 2;
        return 2;
    default:
        return 2;
    }
}

OperatorMarks OperatorPointMarks(const MatchData& md, int kind, int extra) {
    OperatorMarks m;
    const bool type2 = md.nCompetitionType == 2;
    if (kind == kVideoReplay) {
        switch (extra) {
        case 1:
            m = {kPunch, 99, 1, 0, 1};
            break;
        case 2:
            m = {kTrunk, 99, 0, 0, 2};
            break;
        case 3:
            m = {kHead, 99, 0, 0, 3};
            break;
        case 4:
            m = {kTrunk, 99, 2, 0, 4};
            break;
        case 5:
            m = {kHead, 99, 2, 0, 5};
            break;
        case 6:
            m.scoredSlot = 2;
            m.wtCode = 4;
            break;
        case 7:
            if (type2) {
                m.currentMarks = 3;
                m.wtCode = 4;
            } else {
                m.scoredSlot = 5;
                m.wtCode = 5;
            }
            break;
        default:
            break;
        }
        return m;
    }
    if (extra == 2 || extra == 3) {
        if (type2)
            m.currentMarks = extra;
        else
            m.scoredSlot = extra == 2 ? 2 : 5;
    } else {
        m.queueKind = kind;
        m.queueExtra = extra;
    }
    switch (kind) {
    case kPunch:
        m.currentMarks = 1;
        m.wtCode = 1;
        break;
    case kTrunk:
        m.wtCode = 2;
        break;
    case kHead:
        m.wtCode = 3;
        break;
    case kTechnical:
        m.wtCode = extra == 2 ? 4 : extra == 3 ? 5 : 0;
        break;
    default:
        break;
    }
    return m;
}

std::u16string_view ColonKindWord(int kind) {
    switch (kind) {
    case kPunch:
    case kValidPunch:
        return u"Punch";
    case kTrunk:
        return u"Body";
    case kHead:
        return u"Head";
    case kJudgeBonus:
        return u"Tech Point";
    default:
        return TechniqueLetter(kind);
    }
}

int BracketPointCode(int kind) {
    switch (kind) {
    case kPunch:
    case kValidPunch:
        return 0;
    case kTrunk:
        return 4;
    case kHead:
        return 5;
    case kJudgeBonus:
        return 3;
    default:
        return 6;
    }
}

std::vector<int> JsonOperatorActions(const MatchData& md, int side, int kind, int extra, bool& handled) {
    const bool type2 = md.nCompetitionType == 2;
    // Action kinds of Chung; Hong's are six higher, except the spinning kick (58/59).
    const auto pick = [side](int chung) { return chung == 58 ? 58 + side : chung + 6 * side; };
    handled = true;
    if (kind == kVideoReplay) {
        switch (extra) {
        case 1:
            return {pick(8)};
        case 2:
            return {pick(9)};
        case 3:
            return {pick(11)};
        case 4:
            return {pick(9), pick(10)};
        case 5:
            return {pick(11), pick(type2 ? 58 : 12)};
        case 6:
            return {pick(10)};
        case 7:
            return {pick(type2 ? 58 : 12)};
        default:
            return {};
        }
    }
    if (kind == kTechnical) {
        if (md.nPSSType == 2) {
            if (extra == 2)
                return {pick(10)};
            if (extra == 3)
                return {pick(12)};
            return {};
        }
        if (md.nPSSType == 1)
            return {pick(type2 && extra == 3 ? 58 : 10)};
        return {};
    }
    handled = false;
    return {};
}

int JsonRemovalAction(int side, int kind, int extra) {
    // INVALIDATE_SCORE_HOME_PUNCH .. _THEAD are 46..51, the AWAY ones 52..57.
    int technique; // 0 punch, 1 kick, 2 turning kick, 3 spinning kick, 4 head, 5 turning head
    switch (kind) {
    case kPunch:
    case kValidPunch:
        technique = 0;
        break;
    case kTrunk:
        technique = 1;
        break;
    case kTrunkTurning:
    case kJudgeBonus:
    case kTechnicalType2:
        technique = 2;
        break;
    case kSpinning:
        technique = 3;
        break;
    case kHead:
        technique = 4;
        break;
    case kHeadTurning:
        technique = 5;
        break;
    case kTechnical:
        technique = extra == 3 ? 5 : 2;
        break;
    case kVideoReplay: {
        static constexpr int kByOutcome[] = {-1, 0, 1, 4, 2, 5, 2, 5};
        technique = extra >= 1 && extra <= 7 ? kByOutcome[extra] : -1;
        break;
    }
    default:
        technique = -1;
        break;
    }
    if (technique < 0)
        return 20; // INVALIDATE_SCORE
    return 46 + 6 * (side == 0 ? 0 : 1) + technique;
}

int HistoryLogCode(int removal, int source, int fallback, int kind) {
    const bool device = source == 1;
    const int side = removal == 1 ? 1 : 0;
    const auto code = [&](int byDevice, int added, int removed) {
        return device ? byDevice : side == 0 ? added : removed;
    };
    switch (kind) {
    case 0:
        return code(7, 17, 23);
    case 3:
        return code(9, 18, 24);
    case 4:
    case 5:
    case 7:
    case 8:
    case 9:
    case 11:
    case 20:
        return code(13, 20, 26);
    case 6:
        return code(11, 19, 25);
    case 16:
    case 17:
        return code(8, 21, 27);
    case 10:
        return side == 0 ? 14 : 28;
    case 12:
        return side == 0 ? 16 : 29;
    case 21:
        return side == 0 ? 39 : 40;
    case 19:
        return 7;
    default:
        return fallback;
    }
}

int HistoryMarkKind(const MatchData& md, int kind, int removal, int source) {
    if (kind == kPunch && md.bUsePunch)
        return 1;
    const int side = removal == 1 ? 1 : 0;
    if (source == 1) {
        switch (kind) {
        case 0:
        case 4:
        case 5:
        case 7:
        case 8:
        case 9:
            return 3;
        case 3:
            return 1;
        case 6:
            return 2;
        case 16:
            return 8;
        default:
            return 0;
        }
    }
    switch (kind) {
    case 4:
    case 7:
    case 8:
    case 16:
        return 3;
    case 6:
        return side == 1 ? 3 : 2;
    case 10:
    case 21:
        return side == 1 ? 3 : 7;
    case 11:
        return 7;
    default:
        return 0;
    }
}

int LoggedPoints(const MatchData& md, int kind, int points, int removal) {
    int logged = points;
    if (kind == kGamJeom)
        logged = md.nGamJeomPoint;
    else if (kind == kDoubleGamJeom)
        logged = 2 * md.nGamJeomPoint;
    return removal ? -logged : logged;
}

int PointGapWinner(const MatchData& md) {
    if (md.nPointGap <= 0)
        return -1;
    if (UsesRoundWins(md)) {
        const int chung = RoundTotal(md, 0);
        const int hong = RoundTotal(md, 1);
        if (std::abs(chung - hong) < md.nPointGap)
            return -1;
        return chung <= hong ? 1 : 0;
    }
    const int chung = MatchTotal(md, 0);
    const int hong = MatchTotal(md, 1);
    if (std::abs(chung - hong) < md.nPointGap)
        return -1;
    return chung > hong ? 0 : 1;
}

int PointCeilingWinner(const MatchData& md) {
    if (md.nPointCeil <= 0)
        return -1;
    const auto total = [&md](int side) {
        return UsesRoundWins(md) ? RoundTotal(md, side) : MatchTotal(md, side);
    };
    if (total(0) >= md.nPointCeil)
        return 0;
    if (total(1) >= md.nPointCeil)
        return 1;
    return -1;
}

int FirstPointGapRound(const MatchData& md) {
    return md.nCompetitionType == 1 ? md.nTeamPTGCheckRound + 1 : md.nRound;
}

int GoldenPointTarget(const MatchData& md) {
    return md.nCompetitionType == 1 ? md.nTeamGRndGPoint : 2;
}

std::u16string TechnicalPromptText(const MatchData& md, int side, bool removal) {
    const bool type2 = md.nCompetitionType == 2;
    const bool byTechnique = md.nJudgePointMiddle == -1;
    const int bottom = md.nJudgePointBottom;
    const int middle = md.nJudgePointMiddle;
    QString text;
    if (!removal) {
        if (type2 && byTechnique) {
            text =
                side == 0
                    ? QStringLiteral("YES => TRUNK Tech. (+%1) Points\r\n\r\nNO => TRUNK Tech. (+2) Points")
                    : QStringLiteral("YES => TRUNK Tech. (+%1) Points\r\n\r\nNO => TRUNK Tech. (+X2) Points");
            text = text.arg(bottom);
        } else if (type2) {
            text = QStringLiteral("YES => TRUNK Tech. (+%1) Points\r\n\r\nNO => TRUNK Tech. (+%2) Points")
                       .arg(bottom)
                       .arg(middle);
        } else if (byTechnique) {
            text =
                side == 0
                    ? QStringLiteral("YES => TRUNK Tech. (X2) Points\r\n\r\nNO => HEAD Tech. (2 or 3) Points")
                    : QStringLiteral(
                          "YES => TRUNK Tech. (+2) Points\r\n\r\nNO => HEAD Tech. (+2 or 3) Points");
        } else {
            text = QStringLiteral("YES => TRUNK Tech. (+%1) Points\r\n\r\nNO => HEAD Tech. (+%2) Points")
                       .arg(middle)
                       .arg(middle);
        }
    } else if (type2 && byTechnique) {
        text = side == 0
                   ? QStringLiteral("YES => TRUNK Tech. (-%1) Points\r\n\r\nNO => TRUNK Tech. (-X2) Points")
                         .arg(bottom)
                   : QStringLiteral("YES => TRUNK Tech. (-X2) Points\r\n\r\nNO => TRUNK Tech. (-X2) Points");
    } else if (type2) {
        text = QStringLiteral("YES => TRUNK Tech. (-%1) Points\r\n\r\nNO => TRUNK Tech. (-%2) Points")
                   .arg(bottom)
                   .arg(middle);
    } else if (byTechnique) {
        text = QStringLiteral("YES => TRUNK Tech. (-X2) Points\r\n\r\nNO => HEAD Tech. (-2 or 3) Points");
    } else {
        text = QStringLiteral("YES => TRUNK Tech. (-%1) Points\r\n\r\nNO => HEAD Tech. (-%2) Points")
                   .arg(middle)
                   .arg(middle);
    }
    return text.toStdU16String();
}

int TechnicalPointValue(const MatchData& md, int extra) {
    if (md.nCompetitionType == 2 && extra == 2)
        return md.nJudgePointBottom;
    return md.nJudgePointMiddle;
}

bool HasTechnicalPoint(const MatchData& md, int side, int extra) {
    const TTK_SideScore& s = md.aSide[side];
    const int r = RoundIndex(md);
    const bool trunk = extra == 2 || md.nCompetitionType == 2;
    return s.nTechTally[trunk ? kTrunkTechCount : kHeadTechCount][r] > 0;
}

int TestTileOfHit(int side, int kind) {
    const bool chung = side == 0;
    switch (kind) {
    case kTrunk:
        return chung ? 2 : 0;
    case kHead:
        return chung ? 3 : 1;
    case kPunch:
    case kValidPunch:
        return chung ? 24 : 23;
    default:
        return 0;
    }
}

} // namespace ScoreRules
