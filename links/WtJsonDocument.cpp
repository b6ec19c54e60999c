#include "links/WtJsonDocument.h"

#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "match/DecisionRules.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace WtJsonDocument {
namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

bool RoundWinSystem(const MatchData& md) {
    return md.nCompetitionRule == 1;
}

// Index of the current round in the per-round arrays; -1 before the first round.
int RoundIndex(const MatchData& md) {
    return md.nCurRound >= 1 && md.nCurRound <= kMaxRounds ? md.nCurRound - 1 : -1;
}

int RoundPenaltyPointsOf(const TTK_SideScore& s, int r) {
    return r < 0 ? 0 : s.nRoundPenaltyPoints1[r] + s.nRoundPenaltyPoints2[r];
}

int RoundPenaltyCount(const TTK_SideScore& s, int r) {
    return r < 0 ? 0 : s.nRoundPenalty1[r] + s.nRoundPenalty2[r];
}

int RoundScore(const TTK_SideScore& s, int r) {
    return r < 0 ? 0 : s.nRoundScore[r];
}

// The side's points after the regular rounds, by the competition type.
int ExtraRoundPoints(const MatchData& md, int side) {
    const int r = RoundIndex(md);
    const TTK_SideScore& own = md.aSide[side];
    const TTK_SideScore& other = md.aSide[1 - side];
    const int gift = RoundPenaltyPointsOf(other, r);
    const bool onePenalty = RoundPenaltyCount(other, r) == 1;
    switch (md.nCompetitionType) {
    case 0: {
        const int total = RoundScore(own, r) + gift;
        return total < 2 && onePenalty ? RoundScore(own, r) : total;
    }
    case 2:
        return RoundScore(own, r) +
               (onePenalty || r < 0 ? 0 : other.nRoundPenalty1[r] + 2 * other.nRoundPenalty2[r]);
    default:
        return RoundScore(own, r) + gift;
    }
}

void String(Writer& w, std::string_view text) {
    w.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

// A record text as valid UTF-8, so the document stays valid JSON whatever the field holds.
template <std::size_t N> std::string Field(const char (&field)[N]) {
    return RecordTextUtf8(FieldText(field));
}

void Pair(Writer& w, const char* key, const std::array<int, 2>& values) {
    w.Key(key);
    w.StartObject();
    w.Key("home");
    w.Int(values[0]);
    w.Key("away");
    w.Int(values[1]);
    w.EndObject();
}

void Reference(Writer& w, const char* key, const char* type, const std::string& id) {
    w.Key(key);
    w.StartObject();
    w.Key("data");
    w.StartObject();
    w.Key("type");
    w.String(type);
    w.Key("id");
    String(w, id);
    w.EndObject();
    w.EndObject();
}

void Relationships(Writer& w, const MatchData& md) {
    w.Key("relationships");
    w.StartObject();
    Reference(w, "match", "matches", Field(md.szMatchId));
    Reference(w, "homeCompetitor", "competitors", Field(md.aPlayer[0].szExtId));
    Reference(w, "awayCompetitor", "competitors", Field(md.aPlayer[1].szExtId));
    w.EndObject();
}

// {"data":{"type":<type>,"attributes":{ ... — the caller writes the attributes, then Close.
void Open(Writer& w, const char* type) {
    w.StartObject();
    w.Key("data");
    w.StartObject();
    w.Key("type");
    w.String(type);
    w.Key("attributes");
    w.StartObject();
}

std::string Close(Writer& w, rapidjson::StringBuffer& buffer, const MatchData& md) {
    w.EndObject(); // attributes
    Relationships(w, md);
    w.EndObject(); // data
    w.EndObject();
    return {buffer.GetString(), buffer.GetSize()};
}

void Result(Writer& w, const char* decision, const char* home, const char* away) {
    w.Key("result");
    w.StartObject();
    w.Key("decision");
    decision ? w.String(decision) : w.Null();
    w.Key("homeType");
    home ? w.String(home) : w.Null();
    w.Key("awayType");
    away ? w.String(away) : w.Null();
    w.EndObject();
}

const char* RoundDecision(int kind) {
    switch (kind) {
    case 1:
        return "R-PTG";
    case 3:
        return "R-RSC";
    case 4:
        return "R-SUP";
    case 5:
        return "R-WDR";
    case 7:
        return "R-PUN";
    case 8:
        return "R-DQB";
    default:
        return "R-PTF";
    }
}

const char* Source(int kind) {
    if (kind >= 23 && kind <= 25)
        return "HOME";
    if (kind >= 26 && kind <= 28)
        return "AWAY";
    if (kind >= 41 && kind <= 43)
        return "CR";
    return nullptr;
}

// "WIN"/"LOSS" by winner 1 home, 2 away; "TIE" for anything else.
std::pair<const char*, const char*> Types(int winner) {
    if (winner == 1)
        return {"WIN", "LOSS"};
    if (winner == 2)
        return {"LOSS", "WIN"};
    return {"TIE", "TIE"};
}

void Tail(Writer& w, const std::array<int, 2>& score, const std::array<int, 2>& penalties,
          const LinkTime& now) {
    Pair(w, "score", score);
    Pair(w, "penalties", penalties);
    w.Key("description");
    w.Null();
    w.Key("timestamp");
    String(w, Timestamp(now));
}

} // namespace

std::array<int, 2> Score(const MatchData& md) {
    std::array<int, 2> score{};
    const int r = RoundIndex(md);
    for (int side = 0; side < 2; ++side) {
        const TTK_SideScore& own = md.aSide[side];
        const TTK_SideScore& other = md.aSide[1 - side];
        if (RoundWinSystem(md))
            score[side] = RoundScore(own, r) + RoundPenaltyPointsOf(other, r);
        else if (md.nCurRound <= md.nRound)
            score[side] = own.nScore + other.nPenaltyCount1 + 2 * other.nPenaltyCount2;
        else
            score[side] = ExtraRoundPoints(md, side);
    }
    return score;
}

std::array<int, 2> Penalties(const MatchData& md) {
    std::array<int, 2> penalties{};
    const int r = RoundIndex(md);
    for (int side = 0; side < 2; ++side) {
        const TTK_SideScore& own = md.aSide[side];
        if (!RoundWinSystem(md) && md.nCurRound <= md.nRound)
            penalties[side] = own.nPenaltyCount1 + own.nPenaltyCount2;
        else
            penalties[side] = RoundPenaltyCount(own, r);
    }
    return penalties;
}

std::string Timestamp(const LinkTime& now) {
    const int offset = std::abs(now.utcOffsetMinutes);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second, now.utcOffsetMinutes < 0 ? '-' : '+', offset / 60,
                  offset % 60);
    return text;
}

std::string Action(const MatchData& md, int kind, int hitLevel, const Context& context) {
    rapidjson::StringBuffer buffer;
    Writer w(buffer);
    Open(w, "match-actions");
    w.Key("action");
    String(w, EventText::JsonActionName(kind));
    w.Key("hitlevel");
    w.Int(hitLevel);
    w.Key("round");
    w.Int(kind == 0 ? 1 : md.nCurRound);
    w.Key("roundTime");
    char roundTime[32];
    const int seconds = std::max(context.remainingSeconds, 0);
    std::snprintf(roundTime, sizeof roundTime, "%d:%02d", seconds / 60, seconds % 60);
    w.String(roundTime);
    w.Key("position");
    w.Int(context.position);
    const std::array<int, 2> score =
        kind == 7 ? std::array<int, 2>{md.aSide[0].nRoundWins, md.aSide[1].nRoundWins} : Score(md);
    Pair(w, "score", score);
    Pair(w, "penalties", Penalties(md));
    w.Key("description");
    w.Null();
    w.Key("source");
    const char* source = Source(kind);
    source ? w.String(source) : w.Null();
    w.Key("timestamp");
    String(w, Timestamp(context.now));
    return Close(w, buffer, md);
}

std::string IntermediateResult(const MatchData& md, int round, const Context& context) {
    rapidjson::StringBuffer buffer;
    Writer w(buffer);
    Open(w, "match-results");
    w.Key("status");
    w.String("INTERMEDIATE");
    w.Key("round");
    w.Int(round);
    w.Key("position");
    w.Int(context.position);
    const bool known = round >= 1 && round <= kMaxRounds;
    if (RoundWinSystem(md)) {
        const auto [home, away] = Types(known ? md.nRoundWinner[round - 1] : 0);
        Result(w, RoundDecision(known ? md.nRoundReason[round - 1] : -1), home, away);
    } else {
        Result(w, nullptr, nullptr, nullptr);
    }
    Tail(w, Score(md), Penalties(md), context.now);
    return Close(w, buffer, md);
}

std::string FinalResult(const MatchData& md, const Context& context) {
    rapidjson::StringBuffer buffer;
    Writer w(buffer);
    Open(w, "match-results");
    w.Key("status");
    w.String("UNCONFIRMED");
    w.Key("round");
    w.Null();
    w.Key("position");
    w.Int(context.position);
    const auto [home, away] = Types(md.nWinSide == 0 ? 1 : md.nWinSide == 1 ? 2 : 0);
    Result(w, DecisionRules::DecisionCodeText(md.nDecisionKind, md.nOvrSupplier), home, away);
    if (RoundWinSystem(md))
        Tail(w, {md.aSide[0].nRoundWins, md.aSide[1].nRoundWins}, {0, 0}, context.now);
    else
        Tail(w, Score(md), Penalties(md), context.now);
    return Close(w, buffer, md);
}

} // namespace WtJsonDocument
