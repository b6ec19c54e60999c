#include "match/DecisionRules.h"

#include "app/MatchData.h"
#include "match/ScoreRules.h"
#include "match/WinSelRules.h"

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

std::u16string WhyNoDecision(const MatchData& md) {
    if (md.nGameState == 13)
        return u"Current mode is Equipment Test Mode.\r\nPlease use this function, after exiting Equipment "
               u"Test Mode.";
    if (md.szContestNo[0] == '\0' || md.nGameState == 0)
        return u"No match is loaded.\r\nPlease load the match before deciding its winner.";
    return {};
}

int ProposedDecision(const MatchData& md) {
    int kind = kSUP;
    if (ScoreRules::UsesRoundWins(md) && (md.aSide[0].nRoundWins >= 2 || md.aSide[1].nRoundWins >= 2))
        kind = kPTF;
    else if (md.nCurRound == md.nRound)
        kind = kPTF;
    else if (md.nGameState == 8)
        kind = kRSC;
    if (md.nCompetitionType == 1 && md.nCurRound >= md.nRound + 1)
        kind = kGDP;
    return kind;
}

int AdmittedProposal(const MatchData& md, int kind) {
    if (ScoreRules::UsesRoundWins(md) && !WinSelRules::AdmittedByRoundWins(kind))
        return kPTF;
    return kind;
}

bool DecidesRound(int kind) {
    return kind == kRSC || kind == kWDR || kind == kDQB;
}

int DecisionRoundIndex(const MatchData& md) {
    if (md.nCurRound < 1 || md.nCurRound > kMaxRounds)
        return -1;
    const int current = md.nCurRound - 1;
    const int state = md.nGameState;
    const bool rest = state == 5 || state == 6 || state == 14;
    if (!rest && md.nRoundWinner[current] == 0)
        return current;
    return current + 1 < kMaxRounds && current + 1 <= md.nRound ? current + 1 : -1;
}

RoundDecision RecordRoundDecision(MatchData& md, int side, int kind, int index) {
    if (!ScoreRules::UsesRoundWins(md) || !DecidesRound(kind) || (side != 0 && side != 1) || index < 0 ||
        index >= kMaxRounds)
        return {};
    const RoundDecision before{index,
                               md.nRoundWinner[index],
                               md.nRoundReason[index],
                               {md.aSide[0].nRoundWins, md.aSide[1].nRoundWins}};
    md.nRoundWinner[index] = side + 1;
    md.nRoundReason[index] = kind;
    // Counted again from the record, so a round decided twice is never counted twice.
    int wins[2] = {};
    for (int i = 0; i < kMaxRounds; ++i)
        if (md.nRoundWinner[i] == 1 || md.nRoundWinner[i] == 2)
            ++wins[md.nRoundWinner[i] - 1];
    md.aSide[0].nRoundWins = wins[0];
    md.aSide[1].nRoundWins = wins[1];
    return before;
}

void UndoRoundDecision(MatchData& md, const RoundDecision& undo) {
    if (!undo || undo.index >= kMaxRounds)
        return;
    md.nRoundWinner[undo.index] = undo.winner;
    md.nRoundReason[undo.index] = undo.reason;
    md.aSide[0].nRoundWins = undo.wins[0];
    md.aSide[1].nRoundWins = undo.wins[1];
}

PopupRect DecisionPopupRect(int displayResolution, bool roundWins) {
    if (displayResolution == 1)
        return {164, 76, 1126, 198};
    return roundWins ? PopupRect{725, 510, 1197, 830} : PopupRect{240, 115, 1684, 298};
}

} // namespace DecisionRules
