#include "links/EventText.h"

#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "match/DecisionRules.h"
#include "match/ScoreRules.h"

#include <QString>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr char SOH = 0x01;
constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char EOT = 0x04;
constexpr char DC2 = 0x12;
constexpr char DC3 = 0x13;

__attribute__((format(printf, 1, 2))) std::string Fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

// Fields joined as STX + field each.
std::string Fields(std::initializer_list<std::string_view> fields) {
    std::string text;
    for (std::string_view field : fields) {
        text += STX;
        text += field;
    }
    return text;
}

std::string Num(int value) {
    return std::to_string(value);
}

bool IsK(const LinkFields& f) {
    return f.echo[0] == "K";
}

// SOH DC2, the court and the seven echo fields: the head of most OVR records.
std::string EchoHead(const LinkFields& f) {
    std::string text{SOH, DC2};
    text += Num(f.court);
    for (int i = 1; i <= 7; ++i) {
        text += STX;
        text += f.echo[i];
    }
    return text;
}

std::string Command(std::string_view code, const std::string& fields = {}) {
    std::string text{DC3};
    text += code;
    text += fields;
    text += EOT;
    return text;
}

// Athlete id of the side a side letter names: "B" Chung, anything else Hong.
const std::string& AthleteId(const LinkFields& f, std::string_view sideLetter) {
    return sideLetter == "B" ? f.echo[8] : f.echo[9];
}

std::string RoundLabel(const LinkFields& f) {
    return f.round <= f.regularRounds ? Fmt("R%d", f.round) : std::string("OT");
}

// Minutes and seconds of a clock text: the numbers before and after the colon; without a colon the whole
// text is the seconds (so "9.50" reads as 9 s). The minutes are the digits right before the colon, so a
// captioned count ("Kye-Shi 1:00") reads as its clock.
void SplitClock(std::string_view clock, int& minutes, int& seconds) {
    const std::string text(clock);
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        minutes = 0;
        seconds = std::atoi(text.c_str());
        return;
    }
    std::size_t digits = colon;
    while (digits > 0 && text[digits - 1] >= '0' && text[digits - 1] <= '9')
        --digits;
    minutes = std::atoi(text.substr(digits, colon - digits).c_str());
    seconds = std::atoi(text.substr(colon + 1).c_str());
}

std::string ClockSeconds(const LinkFields& f) {
    int minutes = 0;
    int seconds = 0;
    SplitClock(f.clock, minutes, seconds);
    return Num(minutes * 60 + seconds);
}

std::string MinSec(int totalSeconds) {
    return Fmt("%d:%02d", totalSeconds / 60, totalSeconds % 60);
}

// A UTF-8 text cut to at most `limit` characters.
std::string CutChars(const std::string& text, std::size_t limit) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == limit)
            return text.substr(0, i);
    }
    return text;
}

std::string BracketPhase(const std::string& phase) {
    static constexpr std::pair<std::string_view, std::string_view> kPhases[] = {
        {"Round of 256", "R256"}, {"Round of 128", "R128"}, {"Round of 64", "R64"},
        {"Round of 32", "R32"},   {"Round of 16", "R16"},   {"Quarter final", "QF"},
        {"Semi-final", "SF"},     {"Final", "F"},           {"Bronze Medal Contest", "BRZ"},
    };
    for (const auto& [name, code] : kPhases) {
        if (phase == name)
            return std::string(code);
    }
    return phase;
}

std::string Utf8(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

// The round line of the WT score notices for the current round: round 1 and 2 points of the rounds
// already fought, the score texts for the current one. Empty past round 3; round 0 only when asked.
std::string WtRoundLine(const LinkFields& f, bool withRoundZero) {
    const char* sc1 = f.scoreText[0].c_str();
    const char* sc2 = f.scoreText[1].c_str();
    const auto& r1 = f.round1Points;
    const auto& r2 = f.round2Points;
    switch (f.round) {
    case 0:
        return withRoundZero ? std::string("s11;0;s21;0;s12;0;s22;0;s13;0;s23;0\r\n") : std::string();
    case 1:
        return Fmt("s11;%s;s21;%s;s12;0;s22;0;s13;0;s23;0\r\n", sc1, sc2);
    case 2:
        return Fmt("s11;%d;s21;%d;s12;%s;s22;%s;s13;0;s23;0\r\n", r1[0], r1[1], sc1, sc2);
    case 3:
        return Fmt("s11;%d;s21;%d;s12;%d;s22;%d;s13;%s;s23;%s\r\n", r1[0], r1[1], r2[0], r2[1], sc1, sc2);
    default:
        return {};
    }
}

// The round results: the winners of rounds 1 to 3 (a tie written 0), then for rounds 1 to 3 the round line
// and, with `statistics`, the round's statistics of both sides. `current` replaces the current round's
// winner.
std::string WtRoundResults(const LinkFields& f, bool statistics, int current) {
    std::array<int, 3> winners = f.roundWinners;
    if (current >= 0 && f.round >= 1 && f.round <= 3)
        winners[f.round - 1] = current;
    for (int& w : winners)
        w = w == 3 ? 0 : w;
    std::string text = Fmt("wrd;rd1;%d;rd2;%d;rd3;%d\r\n", winners[0], winners[1], winners[2]);
    if (f.round < 1 || f.round > 3)
        return text;
    text += WtRoundLine(f, false);
    if (!statistics)
        return text;
    const auto& st = f.roundStats[f.round - 1];
    text += Fmt("rst;%d;st1;%d;%d;%d;%d;%d;%d;st2;%d;%d;%d;%d;%d;%d;\r\nrsr;\r\n", f.round, st[0][0],
                st[0][1], st[0][2], st[0][3], st[0][4], st[0][5], st[1][0], st[1][1], st[1][2], st[1][3],
                st[1][4], st[1][5]);
    return text;
}

} // namespace

std::string EventText::Clean(std::string_view text) {
    std::string clean(text);
    for (char& c : clean) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return clean;
}

std::string EventText::Arg(std::u16string_view text) {
    return Clean(Utf8(text));
}

LinkFields LinkFields::From(const MatchData& md, std::u16string_view clock, std::u16string_view injuryClock,
                            int restSeconds, const std::array<std::u16string, 2>& scoreText,
                            const std::array<std::u16string, 2>& gamJeomText, const LinkTime& now) {
    LinkFields f;
    f.court = md.nCourtNo;
    f.channel = md.nChannelNo;
    f.round = md.nCurRound;
    f.regularRounds = md.nRound;
    f.matchTime = md.nMatchTime;
    f.gameState = md.nGameState;
    f.roundWinSystem = md.nCompetitionRule == 1;
    f.roundLeader = md.nRoundLeader;
    const int r = md.nCurRound - 1; // index of the current round; none before the first round
    const bool inRound = r >= 0 && r < kMaxRounds;
    f.roundWinner = inRound ? md.nRoundWinner[r] : 0;
    auto roundPoints = [&](int side, int i) {
        const TTK_SideScore& own = md.aSide[side];
        const TTK_SideScore& opp = md.aSide[1 - side];
        return own.nRoundScore[i] + opp.nRoundPenaltyPoints1[i] + opp.nRoundPenaltyPoints2[i];
    };
    for (int side = 0; side < 2; ++side) {
        const TTK_SideScore& own = md.aSide[side];
        const TTK_SideScore& opp = md.aSide[1 - side];
        f.roundWins[side] = own.nRoundWins;
        f.points[side] = own.nScore + opp.nPenaltyCount1 + 2 * opp.nPenaltyCount2;
        f.penalties[side] = own.nPenaltyCount1 + own.nPenaltyCount2;
        f.roundPoints[side] = inRound ? roundPoints(side, r) : 0;
        f.roundPenalties[side] = inRound ? own.nRoundPenalty1[r] + own.nRoundPenalty2[r] : 0;
        f.round1Points[side] = roundPoints(side, 0);
        f.round2Points[side] = roundPoints(side, 1);
        const TTK_Player& player = md.aPlayer[side];
        f.name[side] = EventText::Clean(FieldText(player.szName));
        f.shortName[side] = EventText::Clean(FieldText(player.szShortName));
        f.nation[side] = EventText::Clean(FieldText(player.szNationCode));
        f.extId[side] = EventText::Clean(FieldText(player.szExtId));
        f.scoreText[side] = EventText::Arg(scoreText[side]);
        f.gamJeomText[side] = EventText::Arg(gamJeomText[side]);
    }
    f.restSeconds = restSeconds;
    f.levelBody = md.nLevelBody;
    f.levelHead = md.nLevelHead;
    f.winSide = md.nWinSide;
    for (int i = 0; i < 3; ++i) {
        f.roundWinners[i] = md.nRoundWinner[i];
        for (int side = 0; side < 2; ++side) {
            const TTK_SideScore& own = md.aSide[side];
            const auto tally = [&](int row) { return own.nTechTally[row][i]; };
            f.roundStats[i][side] = {tally(ScoreRules::kTrunkCount),
                                     tally(ScoreRules::kHeadCount),
                                     tally(ScoreRules::kPunchCount),
                                     std::max(0, tally(ScoreRules::kTrunkTechCount)),
                                     std::max(0, tally(ScoreRules::kHeadTechCount)),
                                     own.nRoundPenaltyPoints1[i] + own.nRoundPenaltyPoints2[i]};
        }
    }
    f.clock = EventText::Arg(clock);
    f.injuryClock = EventText::Arg(injuryClock);
    f.contest = EventText::Clean(FieldText(md.szContestNo));
    for (int i = 0; i < 10; ++i)
        f.echo[i] = EventText::Clean(FieldText(md.szLinkTag[i]));
    f.gender = EventText::Clean(FieldText(md.szGender));
    f.weight = EventText::Clean(FieldText(md.szWeight));
    f.weightClass = EventText::Clean(FieldText(md.szWeightClass));
    f.phase = EventText::Clean(FieldText(md.szPhase));
    for (const std::string* part : {&f.phase, &f.weightClass, &f.weight}) {
        if (part->empty())
            continue;
        if (!f.category.empty())
            f.category += ' ';
        f.category += *part;
    }
    f.decisionCode = DecisionRules::DecisionCodeText(md.nDecisionKind, md.nOvrSupplier);
    f.ovrMatchKey = EventText::Clean(FieldText(md.szOvrMatchKey));
    f.now = now;
    return f;
}

// ---- control-character records ----

std::string EventText::FormatDeviceId(const std::uint8_t id[8]) {
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += Fmt("%02X", id[i]);
    return text;
}

std::string EventText::ControlChar(int kind, const LinkFields& f, std::u16string_view a1u,
                                   std::u16string_view a2u, std::u16string_view a3u) {
    const std::string a1 = Arg(a1u);
    const std::string a2 = Arg(a2u);
    const std::string a3 = Arg(a3u);
    const std::string round = Num(f.round);
    const std::string clock = f.gameState == 5 ? std::string("0:00") : f.clock;
    const std::string court{SOH, DC2};
    switch (kind) {
    case 0:
        return court + Num(f.court) + Command("RIN");
    case 1:
        if (!IsK(f))
            return {};
        return EchoHead(f) + Command("CO") + EchoHead(f) + Command("BN", Fields({f.echo[8], f.echo[9]}));
    case 2: {
        const std::string time = "    " + MinSec(f.matchTime) + "    ";
        return EchoHead(f) + Command("PE", Fields({round})) + EchoHead(f) + Command("SR", Fields({round})) +
               EchoHead(f) + Command("TM", Fields({round, time}));
    }
    case 3:
        return EchoHead(f) + Command("TM", Fields({round, "    " + clock + "    "}));
    case 4:
        return EchoHead(f) + Command("PT", Fields({round, a1, AthleteId(f, a1), a2, a3, f.gamJeomText[0],
                                                   f.gamJeomText[1], f.scoreText[0], f.scoreText[1], clock}));
    case 5:
    case 6:
        return EchoHead(f) + Command("GJ", Fields({round, a1, AthleteId(f, a1), "G", a2, f.gamJeomText[0],
                                                   f.gamJeomText[1], f.scoreText[0], f.scoreText[1], clock}));
    case 7:
        return EchoHead(f) + Command("WN", Fields({round, a1, AthleteId(f, a1), a2, clock})) + EchoHead(f) +
               Command("EF");
    case 8:
        return court + Num(f.court) + Command("MT", Fields({Fmt("%02d", f.channel), f.receiverAddress}));
    case 9:
        return EchoHead(f) + Command("HIT", Fields({round, a1, a2}));
    case 10: {
        if (!IsK(f))
            return {};
        std::string parts[3];
        std::size_t start = 0;
        for (int i = 0; i < 3 && start <= a3.size(); ++i) {
            const std::size_t comma = i < 2 ? a3.find(',', start) : std::string::npos;
            parts[i] = a3.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            start = comma == std::string::npos ? a3.size() + 1 : comma + 1;
        }
        return EchoHead(f) +
               Command("VR", Fields({round, a1, a2, AthleteId(f, a2), parts[0], parts[1], parts[2], clock}));
    }
    case 11:
        return court + Num(f.court) + Command("^KILL!");
    default:
        return {};
    }
}

// ---- pipe, colon and bracket records ----

std::string EventText::PipeBody(int kind, const LinkFields& f, std::u16string_view a1u,
                                std::u16string_view a2u, std::u16string_view a3u) {
    const std::string a1 = Arg(a1u);
    const std::string a2 = Arg(a2u);
    const std::string a3 = Arg(a3u);
    const char* c = f.contest.c_str();
    const std::string label = RoundLabel(f);
    const std::string secs = ClockSeconds(f);
    const auto totals = [&] {
        return Fmt("%d|%d|%d|%d", f.points[0], f.points[1], f.penalties[0], f.penalties[1]);
    };
    switch (kind) {
    case 0:
        return "NextMatch";
    case 2:
        return Fmt("%d|NewMatch|%s|%s|%s|%s|%s|%s|%s|%d|%d", f.court, c, f.name[0].c_str(),
                   f.nation[0].c_str(), f.name[1].c_str(), f.nation[1].c_str(), f.gender.c_str(),
                   f.weight.c_str(), f.levelBody, f.levelHead);
    case 3:
        return Fmt("%d|MatchStart|%s", f.court, c);
    case 4:
        return Fmt("%d|RoundStart|%s|%s", f.court, c, label.c_str());
    case 5:
        return Fmt("%d|Timeout|%s|%s|%s", f.court, c, label.c_str(), secs.c_str());
    case 6:
        return Fmt("%d|Resume|%s", f.court, c);
    case 7:
        return Fmt("%d|RoundEnd|%s|%s", f.court, c, label.c_str());
    case 8:
        return Fmt("%d|MatchEnd|%s", f.court, c);
    case 9:
    case 10:
    case 11: {
        static constexpr const char* kNames[] = {"Score", "AdjustScore", "Penalty"};
        return Fmt("%d|%s|%s|%s|%s|%s|%s|%s", f.court, kNames[kind - 9], c, label.c_str(), secs.c_str(),
                   a1.c_str(), a2.c_str(), totals().c_str());
    }
    case 12:
        return Fmt("%d|AdjustPenalty|%s|%s|%s|%s|%s|%s|%s", f.court, c, label.c_str(), secs.c_str(),
                   a1.c_str(), a2.c_str(), a3.c_str(), totals().c_str());
    case 13:
        return Fmt("%d|RoundTime|%s|%s|%s", f.court, c, label.c_str(), secs.c_str());
    case 14: {
        const int w = a1 == "Blue" ? 0 : a1 == "Red" ? 1 : -1;
        return Fmt("%d|MatchResults|%s|%s|%s|%s|%s|%s", f.court, c, a1.c_str(),
                   w < 0 ? "None" : f.name[w].c_str(), w < 0 ? "None" : f.extId[w].c_str(), a2.c_str(),
                   totals().c_str());
    }
    default:
        return {};
    }
}

std::string EventText::ColonBody(int kind, const LinkFields& f, std::u16string_view a1u,
                                 std::u16string_view a2u, std::u16string_view a3u) {
    const std::string a1 = Arg(a1u);
    const std::string a2 = Arg(a2u);
    const std::string a3 = Arg(a3u);
    const char* c = f.contest.c_str();
    const std::string label = RoundLabel(f);
    const std::string secs = ClockSeconds(f);
    switch (kind) {
    case 2:
        return Fmt("NewMatch:%s,%s,%s,%s,%s,%s,%s,%d", c, f.name[0].c_str(), f.nation[0].c_str(),
                   f.name[1].c_str(), f.nation[1].c_str(), f.gender.c_str(), f.weight.c_str(), f.levelBody);
    case 3:
        return Fmt("MatchStart:%s", c);
    case 4:
        return Fmt("RoundStart:%s,%s", c, label.c_str());
    case 5:
        return Fmt("Timeout:%s,%s,%s", c, label.c_str(), secs.c_str());
    case 6:
        return Fmt("Resume:%s", c);
    case 7:
        return Fmt("RoundEnd:%s,%s", c, label.c_str());
    case 8:
        return Fmt("MatchEnd:%s", c);
    case 9:
    case 10:
        return Fmt("%s:%s,%s,%s,%s,%s,%d,%d", kind == 9 ? "Score" : "AdjustScore", c, label.c_str(),
                   secs.c_str(), a1.c_str(), a2.c_str(), f.points[0], f.points[1]);
    case 11:
        return Fmt("Penalty:%s,%s,%s,%s,%s,%d,%d,%d,%d", c, label.c_str(), secs.c_str(), a1.c_str(),
                   a2.c_str(), f.points[0], f.points[1], f.penalties[0], f.penalties[1]);
    case 12:
        return Fmt("AdjustPenalty:%s,%s,%s,%s,%s,%s,%d,%d,%d,%d", c, label.c_str(), secs.c_str(), a1.c_str(),
                   a2.c_str(), a3.c_str(), f.points[0], f.points[1], f.penalties[0], f.penalties[1]);
    case 13:
    case 14:
        return Fmt("RoundTime:%s,%s,%s", c, label.c_str(), secs.c_str());
    case 15: {
        const int w = a1 == "Blue" ? 0 : a1 == "Red" ? 1 : -1;
        return Fmt("MatchResults:%s,%s,%s,%s,%s,%s,%d,%d", c, f.ovrMatchKey.c_str(), a1.c_str(),
                   w < 0 ? "None" : f.name[w].c_str(), w < 0 ? "None" : f.extId[w].c_str(), a2.c_str(),
                   f.points[0], f.points[1]);
    }
    case 16:
        return Fmt("Winner:%s,%s,%s,%d,%d", c, a1.c_str(), a2.c_str(), f.points[0], f.points[1]);
    case 17:
        return "END_SERVER";
    case 18:
        return Fmt("StartMember:%s,%s,%s,%s", c, label.c_str(), a1.c_str(), a2.c_str());
    default:
        return {};
    }
}

std::string EventText::PipeFrame(std::string_view body) {
    if (body.empty())
        return {};
    // The length is the byte count the peer reads up to the end byte, also for multi-byte names.
    return STX + Fmt("%04d|", static_cast<int>(body.size())) + std::string(body) + ETX;
}

std::string EventText::ColonFrame(std::string_view body) {
    if (body.empty())
        return {};
    return STX + Fmt("%04d|", static_cast<int>(body.size())) + std::string(body);
}

std::string EventText::ColonLogLine(std::string_view body) {
    return "[STX]" + std::string(body) + "[ETX]\r\n";
}

std::string EventText::Bracket(int kind, const LinkFields& f, std::u16string_view a1u,
                               std::u16string_view a2u, std::u16string_view a3u, int pointCount) {
    const std::string a1 = Arg(a1u);
    const std::string a2 = Arg(a2u);
    const std::string a3 = Arg(a3u);
    const std::string id = Fmt("%04d", std::atoi(f.contest.c_str()));
    const LinkTime& t = f.now;
    const std::string date =
        Fmt("%d.%02d.%02d.%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    const std::string round = f.round <= f.regularRounds ? Fmt("%02d", f.round) : std::string("04");
    const auto& pts = f.roundWinSystem ? f.roundPoints : f.points;
    const auto& warn = f.roundWinSystem ? f.roundPenalties : f.penalties;
    const std::string bp = Fmt("%02d", pts[0]);
    const std::string rp = Fmt("%02d", pts[1]);
    const std::string bw = Fmt("%02d", warn[0]);
    const std::string rw = Fmt("%02d", warn[1]);
    const std::string ring = Fmt("%02d", f.court);
    const std::string time = "0" + f.clock;
    const std::string weight = f.weight + (f.gender == "Male" ? "_M" : "_F");
    const std::string blueName = CutChars(f.name[0], 50);
    const std::string redName = CutChars(f.name[1], 50);
    // The shared tail of the clock records.
    const std::string scoreTail = "[ROUND:" + round + "][BLUE_POINT:" + bp + "][RED_POINT:" + rp +
                                  "][RING_NUMBER:" + ring + "][ROUND_TIME:" + time + "][BLUE_WARNING:" + bw +
                                  "][RED_WARNING:" + rw + "]";
    switch (kind) {
    case 0:
        return "[FIGHT_START][ID:" + id + "][DATE:" + date + "]" + scoreTail + "[BLUE_NAME:" + blueName +
               "][RED_NAME:" + redName + "][BLUE_NATION:" + f.nation[0] + "][RED_NATION:" + f.nation[1] +
               "][WEIGHT:" + weight + "]";
    case 1:
        return "[NEW_POINT][ID:" + id + "][DATE:" + date + "][TYPE:" + a1 + "][PS:" + a2 + "][WINNER:" + a3 +
               "][BLUE_POINT:" + bp + "][RED_POINT:" + rp + "][ROUND:" + round + "][RING_NUMBER:" + ring +
               "][ROUND_TIME:" + time + "][BLUE_WARNING:" + bw + "][RED_WARNING:" + rw + "][WINNER:NONE]" +
               Fmt("[MS:%03d]", pointCount);
    case 2:
        return "[FIGHT_LONG_PAUSE][ID:" + id + "][DATE:" + date + "]" + scoreTail;
    case 3:
        return "[FIGHT_RESUME][ID:" + id + "][DATE:" + date + "]" + scoreTail;
    case 4:
        return "[FIGHT_STOP][ID:" + id + "][ROUND_NUMBER:" + round + "][DATE:" + date +
               "][FIGHT_END:F][BLUE_POINT:" + bp + "][RED_POINT:" + rp + "][RING_NUMBER:" + ring +
               "][ROUND_TIME:00:00][BLUE_WARNING:" + bw + "][RED_WARNING:" + rw + "][WINNER:NONE]";
    case 5:
        return "[FIGHT_STOP][ID:" + id + "][ROUND:" + round + "][DATE:" + date +
               "][FIGHT_END:T][BLUE_POINT:" + bp + "][RED_POINT:" + rp + "][RING_NUMBER:" + ring +
               "][ROUND_TIME:" + time + "][BLUE_WARNING:" + bw + "][RED_WARNING:" + rw + "][WINNER:" + a1 +
               "][WINNER_TYPE:" + a2 + "]";
    case 6:
        return "[FIGHT_TIME][ID:" + id + "][ROUND:" + round + "][RING_NUMBER:" + ring +
               "][ROUND_TIME:" + time + "][BLUE_POINT:" + bp + "][RED_POINT:" + rp + "][BLUE_WARNING:" + bw +
               "][RED_WARNING:" + rw + "]";
    case 7:
        return "[NEW_FIGHT][ID:" + id + "][DATE:" + date + "][BLUE_NAME:" + blueName +
               "][RED_NAME:" + redName + "][BLUE_NATION:" + f.nation[0] + "][RED_NATION:" + f.nation[1] +
               "][WEIGHT:" + weight + "][PHASE:" + BracketPhase(f.phase) + "]";
    case 8: {
        const char* winner = f.roundWinner == 1 ? "BLUE" : f.roundWinner == 2 ? "RED" : "NONE";
        return "[FIGHT_ROUNDWINNER][ID:" + id + "][ROUND_NUMBER:" + round + "][DATE:" + date +
               Fmt("][BLUE_WINCOUNT:%d][RED_WINCOUNT:%d]", f.roundWins[0], f.roundWins[1]) +
               "[RING_NUMBER:" + ring + "][ROUND_TIME:00:00][ROUND_WINNER:" + winner + "]";
    }
    default:
        return {};
    }
}

// ---- WT text protocol ----

std::string EventText::WtText(int kind, int sub, int value, const LinkFields& f) {
    const char* clock = f.clock.c_str();
    const char* sc1 = f.scoreText[0].c_str();
    const char* sc2 = f.scoreText[1].c_str();
    // Replay lines name the referee (side 2) as 0 and the sides as 1 and 2.
    const int ch = sub == 2 ? 0 : sub + 1;
    switch (kind) {
    case 0:
        switch (sub) {
        case 0:
            return Fmt("clk;%s\r\n", clock);
        case 1:
            return Fmt("clk;%s;start\r\n", clock);
        case 2:
            return Fmt("clk;%s;stop\r\n", clock);
        case 3:
            return Fmt("clk;%s;corr\r\n", clock);
        case 4:
            return Fmt("clk;%s;stopEnd;\r\n", clock);
        case 5:
            return Fmt("clk;%s;stopEnd\r\n", f.gameState == 5 ? "0:00" : clock);
        default:
            return {};
        }
    case 1:
        if (sub == 0)
            return Fmt("brk;%d\r\n", f.restSeconds);
        return sub == 1 ? Fmt("brk;%d;stop\r\n", f.restSeconds) : std::string();
    case 2:
        return Fmt("rnd;%d\r\n", f.round);
    case 3:
        return Fmt("pt%d;%d\r\n", sub + 1, value);
    case 4: {
        const std::string text = Fmt("sc1;%s;sc2;%s\r\n", sc1, sc2);
        if (!f.roundWinSystem)
            return text;
        return text + WtRoundLine(f, true) +
               Fmt("sup;%d\r\n", f.roundLeader == 1 || f.roundLeader == 2 ? f.roundLeader : 0);
    }
    case 5:
        return Fmt("wg1;%s;wg2;%s\r\n", f.gamJeomText[0].c_str(), f.gamJeomText[1].c_str());
    case 6:
        return Fmt("mch;%s;%s;%s;%d;#0000ff;#FFFFFF;#ff0000;#FFFFFF;7e3b90c4;%s;%d;%d;cntDown;%d;%d\r\n",
                   f.contest.c_str(), f.phase.c_str(), f.category.c_str(), f.court, f.weightClass.c_str(),
                   f.regularRounds, f.matchTime, f.levelBody, f.levelHead);
    case 7:
        return Fmt("at1;%s;%s;%s;at2;%s;%s;%s\r\n", f.name[0].c_str(), f.shortName[0].c_str(),
                   f.nation[0].c_str(), f.name[1].c_str(), f.shortName[1].c_str(), f.nation[1].c_str());
    case 8: {
        // The injury clock re-read: the one digit before the colon and the last two characters.
        const std::string& ij = f.injuryClock;
        const auto colon = ij.find(':');
        const int minutes =
            colon != std::string::npos && colon > 0 ? std::atoi(ij.substr(colon - 1, 1).c_str()) : 0;
        const int seconds = std::atoi(ij.substr(ij.size() >= 2 ? ij.size() - 2 : 0).c_str());
        const std::string shown = Fmt("%d:%02d", minutes, seconds);
        switch (sub) {
        case 0:
            return Fmt("ij0;%s;show\r\n", shown.c_str());
        case 1:
            return Fmt("ij0;%s\r\n", shown.c_str());
        case 2:
            return Fmt("ij0;%s;hide\r\n", shown.c_str());
        default:
            return {};
        }
    }
    case 9: {
        if (f.winSide != 0 && f.winSide != 1)
            return {};
        const int w = f.winSide;
        const std::string a = f.roundWinSystem ? Num(f.roundWins[0]) : f.scoreText[0];
        const std::string b = f.roundWinSystem ? Num(f.roundWins[1]) : f.scoreText[1];
        return Fmt("win;%s\r\nwmh;%s;%s-%s %s\r\n", w == 0 ? "BLUE" : "RED", f.name[w].c_str(), a.c_str(),
                   b.c_str(), f.decisionCode.c_str());
    }
    case 11:
        return Fmt("ch%d;\r\n", ch);
    case 12:
        return Fmt("ch%d;-1\r\n", ch);
    case 13:
        return Fmt("ch%d;%d\r\nch%d;-1\r\n", ch, value, ch);
    case 14:
        return "ref;;;jud1;;;jud2;;;ta;;\r\n";
    case 15:
        return Fmt("clk;%s\r\nrnd;1\r\nrdy;FightReady;\r\n", clock);
    case 16:
        return "pre;FightLoaded;\r\n";
    case 17:
        return Fmt("Udp Port %d connected\r\n", sub);
    case 18:
        return Fmt("Udp Port %d disconnected\r\n", sub);
    case 20:
        return WtRoundResults(f, true, -1);
    case 21:
        return Fmt("hl%d;%d\r\n", sub + 1, value);
    case 22: {
        // The leader by the score texts compared as texts, as the screen shows them.
        const int order = f.scoreText[0].compare(f.scoreText[1]);
        return WtRoundResults(f, false, order > 0 ? 1 : order < 0 ? 2 : 0);
    }
    case 23:
        return "wrd;rd1;0;rd2;0;rd3;0;\r\n";
    case 25:
        return "sup;0\r\n";
    default:
        return {};
    }
}

std::string EventText::WtForOvr(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += EOT;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// ---- IVR records ----

std::string EventText::Ivr(int supplier, int kind, const LinkFields& f, std::u16string_view a1u,
                           std::u16string_view a2u, std::u16string_view a3u, std::u16string_view a4u) {
    if (supplier != 0 && supplier != 1)
        return {};
    const std::string a1 = Arg(a1u);
    const std::string a2 = Arg(a2u);
    const std::string a3 = Arg(a3u);
    const std::string a4 = Arg(a4u);
    const LinkTime& t = f.now;
    const std::string date =
        Fmt("%04d.%02d.%02d, %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    const char* genderLetter = f.gender.empty() ? "" : f.gender.find('F') != std::string::npos ? "W" : "M";
    const std::string category = f.weightClass + "_" + genderLetter + f.weight + "_" + f.phase;
    const std::string round = Num(f.round);
    const std::string head = std::string{SOH, DC2} + Num(f.court) + STX + Fmt("%6s", f.contest.c_str());
    const std::string matchFields = Fields({date, category, f.name[0], f.name[1], f.nation[0], f.nation[1]});
    switch (kind) {
    case 0:
        return head + Command("SF", matchFields);
    case 1:
        return head + Command("SR", Fields({round}));
    case 2:
        return head + Command("FP", Fields({round, f.clock}));
    case 3:
        return head + Command("RP", Fields({round}));
    case 4:
        if (supplier == 0)
            return head + Command("PT", Fields({round, a1, a2, a3, f.scoreText[0], f.scoreText[1], f.clock}));
        return head + Command("PT", Fields({round, a1, a2, a3, a4, f.scoreText[0], f.scoreText[1], f.clock}));
    case 5:
        return head + Command("HIT", Fields({round, a1, a2, a3, f.clock}));
    case 6:
        return head + Command("ER", Fields({round}));
    case 7:
        return head + Command("WN", Fields({round, a1, a2, f.clock}));
    case 8:
        return head + Command("EF", Fields({date}));
    case 9:
        return head + Command("MI", matchFields);
    case 10:
        return head + Command("CK", Fields({round, f.clock, f.scoreText[0], f.scoreText[1], f.gamJeomText[0],
                                            f.gamJeomText[1]}));
    case 11:
        return supplier == 1 ? head + Command("JE", Fields({round, a1, a2, a3, f.clock})) : std::string();
    case 12:
        return supplier == 1 ? head + Command("RW", Fields({round, a1, a2, a3})) : std::string();
    default:
        return {};
    }
}

// ---- TVG and Swiss Timing records ----

std::string EventText::Tvg(int supplier, int kind, const LinkFields& f, std::u16string_view a1u,
                           std::u16string_view a3u) {
    if (supplier != 0 && supplier != 1)
        return {};
    const std::string court = Fmt("%02d", f.court);
    const std::string round = f.round <= f.regularRounds ? Fmt("R%d", f.round) : std::string("OT");
    const auto clockText = [](const std::string& text) {
        int minutes = 0;
        int seconds = 0;
        SplitClock(text, minutes, seconds);
        return Fmt("%02d:%02d", minutes, seconds);
    };
    const std::string scores = Fmt("%03d%03d", f.points[0], f.points[1]);
    const std::string penalties = Fmt("%02d%02d", f.penalties[0], f.penalties[1]);
    const std::string clock = clockText(f.clock);
    switch (kind) {
    case 0:
        return std::string{SOH, DC2} + court + DC3 + "TM" + STX + scores + clock + "00:00" + round +
               penalties + EOT;
    case 1:
        if (supplier == 0)
            return std::string{SOH, DC2} + court + DC3 + "TM" + STX + scores + clock +
                   clockText(f.injuryClock) + round + penalties + EOT;
        return std::string{SOH} + court + DC3 + "1111" + scores + clock + clockText(f.injuryClock) + round +
               penalties + EOT;
    case 2:
        if (supplier == 0)
            return std::string{SOH, DC2} + court + DC3 + "PT" + STX + Arg(a1u) + STX + Arg(a3u) + EOT;
        return {};
    default:
        return {};
    }
}

std::string EventText::TokensAsText(std::string_view record) {
    std::string text;
    for (char c : record) {
        switch (c) {
        case SOH:
            text += "[SOH]";
            break;
        case STX:
            text += "[STX]";
            break;
        case ETX:
            text += "[ETX]";
            break;
        case EOT:
            text += "[EOT]";
            break;
        case DC2:
            text += "[DC2]";
            break;
        case DC3:
            text += "[DC3]";
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::string EventText::SwissTiming(int kind, bool connected, const std::array<char, 4>& digits) {
    switch (kind) {
    case 0:
        if (!connected)
            return std::string{SOH} + "st" + STX + "9999" + EOT;
        return std::string{SOH} + "st" + STX + std::string(digits.begin(), digits.end()) + EOT;
    case 2:
        return std::string{SOH} + "tconnect" + EOT;
    case 3:
        return std::string{SOH} + "tdisconnect" + EOT;
    default:
        return {};
    }
}

char EventText::SwissTimingDigit(bool linked, int batteryPercent) {
    if (linked)
        return '2';
    return batteryPercent <= 25 ? '3' : '0';
}

// ---- WT JSON ----

std::string_view EventText::JsonActionName(int kind) {
    static constexpr std::pair<int, std::string_view> kNames[] = {
        {0, "MATCH_LOADED"},
        {1, "MATCH_START"},
        {2, "ROUND_START"},
        {3, "MATCH_TIME"},
        {4, "MATCH_TIMEOUT"},
        {5, "MATCH_RESUME"},
        {6, "ROUND_END"},
        {7, "MATCH_END"},
        {8, "SCORE_HOME_PUNCH"},
        {9, "SCORE_HOME_KICK"},
        {10, "SCORE_HOME_TKICK"},
        {11, "SCORE_HOME_HEAD"},
        {12, "SCORE_HOME_THEAD"},
        {13, "PENALTY_HOME"},
        {14, "SCORE_AWAY_PUNCH"},
        {15, "SCORE_AWAY_KICK"},
        {16, "SCORE_AWAY_TKICK"},
        {17, "SCORE_AWAY_HEAD"},
        {18, "SCORE_AWAY_THEAD"},
        {19, "PENALTY_AWAY"},
        {20, "INVALIDATE_SCORE"},
        {21, "ADJUST_SCORE"},
        {22, "ADJUST_PENALTY"},
        {23, "VR_HOME_REQUEST"},
        {24, "VR_HOME_ACCEPTED"},
        {25, "VR_HOME_REJECTED"},
        {26, "VR_AWAY_REQUEST"},
        {27, "VR_AWAY_ACCEPTED"},
        {28, "VR_AWAY_REJECTED"},
        {41, "VR_CR_REQUEST"},
        {42, "VR_CR_ACCEPTED"},
        {43, "VR_CR_REJECTED"},
        {44, "INVALIDATE_PENALTY_HOME"},
        {45, "INVALIDATE_PENALTY_AWAY"},
        {46, "INVALIDATE_SCORE_HOME_PUNCH"},
        {47, "INVALIDATE_SCORE_HOME_KICK"},
        {48, "INVALIDATE_SCORE_HOME_TKICK"},
        {49, "INVALIDATE_SCORE_HOME_SKICK"},
        {50, "INVALIDATE_SCORE_HOME_HEAD"},
        {51, "INVALIDATE_SCORE_HOME_THEAD"},
        {52, "INVALIDATE_SCORE_AWAY_PUNCH"},
        {53, "INVALIDATE_SCORE_AWAY_KICK"},
        {54, "INVALIDATE_SCORE_AWAY_TKICK"},
        {55, "INVALIDATE_SCORE_AWAY_SKICK"},
        {56, "INVALIDATE_SCORE_AWAY_HEAD"},
        {57, "INVALIDATE_SCORE_AWAY_THEAD"},
        {58, "SCORE_HOME_SKICK"},
        {59, "SCORE_AWAY_SKICK"},
        {64, "DOUBLE_PENALTY_HOME"},
        {65, "DOUBLE_PENALTY_AWAY"},
        {66, "INVALIDATE_DOUBLE_PENALTY_HOME"},
        {67, "INVALIDATE_DOUBLE_PENALTY_AWAY"},
    };
    for (const auto& [k, name] : kNames) {
        if (k == kind)
            return name;
    }
    return {};
}
