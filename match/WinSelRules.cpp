#include "match/WinSelRules.h"

#include "app/MatchData.h"
#include "match/DecisionRules.h"

using namespace DecisionRules;

namespace WinSelRules {

namespace {

// Result codes of the tournament database by decision. The point ceiling has none of its own there; it
// takes the code every unknown decision gets, that of the final score.
constexpr int kCodePTF = 1, kCodePTG = 2, kCodeRSC = 3, kCodeKOHead = 4, kCodeKOBody = 5, kCodeGDP = 6,
              kCodeSUP = 7, kCodeWDR = 8, kCodePUN = 9, kCodeDSQ = 10, kCodeDQB = 13, kCodePTS = kCodePTF;

Row R(const char* text, int kind, int code) {
    return Row{QString::fromUtf8(text), kind, code};
}

} // namespace

std::vector<Row> Rows(bool tournamentLayout, bool ceiling) {
    const Row pts = R("(PTS) Point Ceiling", kPTS, kCodePTS);
    const Row wdr = R("(WDR) Withdrawal", kWDR, kCodeWDR);
    const Row dqb = R("(DQB) Disqualification for Unsportsmanlike Behavior", kDQB, kCodeDQB);
    std::vector<Row> rows;
    if (!tournamentLayout) {
        rows = {
            R("(PTF) Final Score", kPTF, kCodePTF),
            R("(PTG) Point Gap", kPTG, kCodePTG),
            R("(GDP) Golden Points", kGDP, kCodeGDP),
            R("(RSC) Referee Stops Contest", kRSC, kCodeRSC),
            R("(SUP) Superiority", kSUP, kCodeSUP),
            wdr,
            R("(DSQ) Disqualification", kDSQ, kCodeDSQ),
            R("(PUN) Punitive Declaration", kPUN, kCodePUN),
            dqb,
        };
        if (ceiling)
            rows.push_back(pts);
        return rows;
    }
    rows = {
        R("(PTF) Final Score", kPTF, kCodePTF),      R("(RSC) Referee Stops Contest", kRSC, kCodeRSC),
        R("(DSQ) Disqualification", kDSQ, kCodeDSQ), R("(PTG) Point Gap", kPTG, kCodePTG),
        R("(SUP) Superiority", kSUP, kCodeSUP),      R("(KO) KO, Head", kRSC, kCodeKOHead),
        R("(KO) KO, Body", kRSC, kCodeKOBody),       R("(PUN) Punitive Declaration", kPUN, kCodePUN),
        R("(GDP) Golden Points", kGDP, kCodeGDP),
    };
    if (ceiling)
        rows.push_back(pts);
    rows.push_back(wdr);
    rows.push_back(dqb);
    return rows;
}

bool ListsPointCeiling(const MatchData& md) {
    return md.nCompetitionType == 2 || md.bUsePointCeil;
}

bool UsesTournamentLayout(const MatchData& md) {
    return UsesTournamentList(md);
}

int PreselectedRow(const std::vector<Row>& rows, int proposedKind) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].kind == proposedKind)
            return static_cast<int>(i);
    return -1;
}

bool AdmittedByRoundWins(int kind) {
    return kind == kPTF || kind == kRSC || kind == kWDR || kind == kDSQ || kind == kDQB;
}

QString RoundWinRefusal(const QString& rowText) {
    return QStringLiteral("Invalid Win Code for BEST OF 3!\r\n") + rowText;
}

std::string ResultMark(int side, int winSide) {
    return side == winSide ? "\u25cb" : "\u2169";
}

} // namespace WinSelRules
