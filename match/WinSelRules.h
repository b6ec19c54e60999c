// What the winner selection dialog lists and answers: its decision rows in the ordinary layout or in the
// tournament database's, each with the decision kind it stands for and the result code the tournament
// database knows it by; the row preselected for a proposed decision; the decisions the round-win system
// admits; and the result marks of the tournament rows. Pure functions; any thread.
#pragma once

#include <QString>

#include <string>
#include <vector>

struct MatchData;

namespace WinSelRules {

// One row of the list.
struct Row {
    QString text;   // as listed
    int kind;       // decision kind of the ordinary list (DecisionRules::Kind); KO rows are referee stops
    int resultCode; // result_code of the tournament database
};

// The rows of the ordinary layout, or of the tournament database's (tournamentLayout), with the point
// ceiling listed when `ceiling`.
std::vector<Row> Rows(bool tournamentLayout, bool ceiling);
// Whether the point ceiling is a decision of this match: in competition type 2, and wherever the ceiling
// rule is on (a ceiling win is a PTS win in every type).
bool ListsPointCeiling(const MatchData& md);
// The layout in use: the tournament database's when it is the external system (OVR supplier 3) and its
// link is connected.
bool UsesTournamentLayout(const MatchData& md);

// The row preselected for a proposed decision kind: the row of that kind, or -1 when none has it (no other
// decision is put in its place).
int PreselectedRow(const std::vector<Row>& rows, int proposedKind);

// Whether the round-win system admits a decision of this kind: PTF, RSC, WDR, DSQ and DQB.
bool AdmittedByRoundWins(int kind);
// The refusal of a decision the round-win system does not admit, with the row's text.
QString RoundWinRefusal(const QString& rowText);

// The result mark of a side's tournament row: "○" for the winner, "Ⅹ" otherwise (UTF-8).
std::string ResultMark(int side, int winSide);

} // namespace WinSelRules
