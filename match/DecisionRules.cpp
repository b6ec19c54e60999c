#include "match/DecisionRules.h"

#include "app/MatchData.h"
#include "match/ScoreRules.h"

#include <array>
#include <string_view>

namespace DecisionRules {

namespace {

struct Codes {
    const char* text;
    const char* shortCode;
    int number;
};

constexpr std::array<Codes, 10> kCodes = {{
    {"PTF", "PTF", 3},
    {"PTG", "PTG", 8},
    {"GDP", "GDP", 9},
    {"RSC", "RSC", 2},
    {"SUP", "SUP", 7},
    {"WDR", "WDR", 4},
    {"DSQ", "DSQ", 5},
    {"PUN", "PUN", 6},
    {"DQB", "PTF", 3},
    {"PTS", "PTC", 14},
}};

constexpr std::array<std::u16string_view, 10> kOrdinaryTexts = {
    u"(PTF) Final Score",
    u"(PTG) Point Gap",
    u"(GDP) Golden Points",
    u"(RSC) Referee Stop Contest",
    u"(SUP) Superiority",
    u"(WDR) Withdrawal",
    u"(DSQ) Disqualification",
    u"(PUN) Punitive Declaration",
    u"(DQB) Disqualification for Unsportsmanlike",
    u"(PTS) Point Ceiling",
};

constexpr std::array<std::u16string_view, 11> kTournamentTexts = {
    u"(PTF) Final Score", u"(RSC) Referee Stop Contest", u"(DSQ) Disqualification",
    u"(PTG) Point Gap",   u"(SUP) Superiority",          u"(RSC) KO, Head",
    u"(RSC) KO, Body",    u"(PUN) Punitive Declaration", u"(GDP) Golden Points",
    u"(WDR) Withdrawal",  u"(PTS) Point Ceiling",
};

const Codes& CodesOf(int kind) {
    return kind >= 0 && kind < static_cast<int>(kCodes.size()) ? kCodes[kind] : kCodes[kPTF];
}

} // namespace

const char* DecisionCodeText(int kind, int ovrSupplier) {
    if (kind == kGDP && ovrSupplier == 2)
        return "SDP";
    return CodesOf(kind).text;
}

const char* DecisionCodeShort(int kind) {
    return CodesOf(kind).shortCode;
}

int DecisionNumber(int kind) {
    return CodesOf(kind).number;
}

std::u16string DecisionNumberText(int kind) {
    const std::string text = " " + std::to_string(DecisionNumber(kind));
    return std::u16string(text.begin(), text.end());
}

std::u16string DecisionText(int kind, bool tournamentList) {
    if (tournamentList)
        return kind >= 0 && kind < static_cast<int>(kTournamentTexts.size())
                   ? std::u16string(kTournamentTexts[kind])
                   : std::u16string();
    return kind >= 0 && kind < static_cast<int>(kOrdinaryTexts.size()) ? std::u16string(kOrdinaryTexts[kind])
                                                                       : std::u16string();
}

bool UsesTournamentList(const MatchData& md) {
    return md.nOvrSupplier == 3 && md.bOvrConnected;
}

std::u16string WinText(int side, int kind, bool tournamentList) {
    return (side == 0 ? u"C.WIN(" : u"H.WIN(") + DecisionText(kind, tournamentList) + u")";
}

int ProposedDecision(const MatchData& md) {
    int kind = kSUP;
    if (md.nCurRound == md.nRound)
        kind = kPTF;
    else if (md.nGameState == 8)
        kind = kRSC;
    else if (ScoreRules::UsesRoundWins(md) && (md.aSide[0].nRoundWins >= 2 || md.aSide[1].nRoundWins >= 2))
        kind = kPTF;
    if (md.nCompetitionType == 1 && md.nCurRound >= md.nRound + 1)
        kind = kGDP;
    return kind;
}

bool DecidesRound(int kind) {
    return kind == kRSC || kind == kWDR || kind == kDQB;
}

bool RecordRoundDecision(MatchData& md, int side, int kind) {
    if (!ScoreRules::UsesRoundWins(md) || !DecidesRound(kind) || (side != 0 && side != 1) || md.nCurRound < 1)
        return false;
    const int index = ScoreRules::RoundIndex(md);
    md.nRoundWinner[index] = side + 1;
    md.nRoundReason[index] = kind;
    // Counted again from the record, so a round decided twice is never counted twice.
    int wins[2] = {};
    for (int i = 0; i <= index; ++i)
        if (md.nRoundWinner[i] == 1 || md.nRoundWinner[i] == 2)
            ++wins[md.nRoundWinner[i] - 1];
    md.aSide[0].nRoundWins = wins[0];
    md.aSide[1].nRoundWins = wins[1];
    return true;
}

PopupRect DecisionPopupRect(int displayResolution, bool roundWins) {
    if (displayResolution == 1)
        return {164, 76, 1126, 198};
    return roundWins ? PopupRect{725, 510, 1197, 830} : PopupRect{240, 115, 1684, 298};
}

} // namespace DecisionRules
