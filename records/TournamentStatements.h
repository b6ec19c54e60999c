// The statements the court writes into the tournament results database. Each is written once, in SQL that
// Oracle (12c and later) and PostgreSQL both run unchanged, with every value bound as a '?' parameter
// (texts: the database keeps its scores and codes as text). Pure functions of the match record and the
// current match's codes; callable on any thread.
#pragma once

#include "app/DbVariant.h"
#include "platform/WinTypes.h"

#include <array>
#include <string>
#include <vector>

struct MatchData;
struct TTK_MatchInfo;

struct TournamentStatement {
    std::string sql;
    std::vector<DbVariant> values;
    // Values from this index on pick the row (the WHERE clause); a later statement with the same text and
    // the same row keys carries newer full values for the same columns.
    std::size_t keyFrom = 0;
    // Whether a newer statement of the same row may take this one's place while both wait.
    bool replaceable = true;

    std::string rowKey() const;
};
using TournamentBatch = std::vector<TournamentStatement>;

// dep_code, wei_code, stage_code, game_code of the match in progress.
struct TournamentCodes {
    std::string dep, wei, stage, game;
};
TournamentCodes CurrentTournamentCodes(const TTK_MatchInfo& info);

// One side's row values of a score update: the match total with the opponent's penalties, the side's own
// gam-jeom count, and the current round's column pair (written only for rounds 1..5).
struct TournamentSideScore {
    int dukjum = 0;
    int gamjum = 0;
    int round = 0; // the per-round columns' number; 0 writes none
    int roundDukjum = 0;
    int roundGamjum = 0;
};
// Chung then Hong, with the adjustments of a round after the regular rounds.
std::array<TournamentSideScore, 2> TournamentScores(const MatchData& md);
// The golden round's values that the decision and the draw write: match totals with the opponent's penalty
// points, round g = nRound + 1 without adjustment.
std::array<TournamentSideScore, 2> TournamentGoldenScores(const MatchData& md);

// The court's receiver: channel "%02x", network id "%04x", address as 16 lower-case hex digits.
TournamentStatement CourtReceiverStatement(int channel, int panId, const BYTE (&address)[8], int courtNo);
// game_status of the match row: '2' playing, '3' finished.
TournamentStatement MatchStatusStatement(const char* status, const TournamentCodes& codes);
TournamentStatement CurrentRoundStatement(int round, const TournamentCodes& codes);
// side 0 the Chung row, 1 the Hong row, 2 both (Chung first); other sides nothing.
TournamentBatch ScoreStatements(const MatchData& md, int side, const TournamentCodes& codes);
// A side row's score columns (0 Chung, 1 Hong).
TournamentStatement SideScoreStatement(int side, const TournamentSideScore& score,
                                       const TournamentCodes& codes);
// Round wins of rounds 1..3 (Chung 1 per round won, Hong 2), win_cnt4 0, win_cnt the side's round wins.
TournamentBatch WinCountStatements(const MatchData& md, const TournamentCodes& codes);
// A side row's final result: jumsu and dukjum the total, gamjum, result and sup.
TournamentStatement SideResultStatement(int side, int total, int gamjum, const std::string& result,
                                        const std::string& sup, const TournamentCodes& codes);
// The match row's result: result_code, ext_yn, curr_round and bigo.
TournamentStatement MatchResultStatement(const std::string& resultCode, const std::string& extYn,
                                         const std::string& currRound, const std::string& bigo,
                                         const TournamentCodes& codes);
// The two final side rows of a decision or draw (Chung then Hong), and the golden round's rows before
// them when one was played.
TournamentBatch GoldenRoundStatements(const MatchData& md, const TournamentCodes& codes);
std::array<TournamentStatement, 2> DecisionResultStatements(const MatchData& md,
                                                            const TournamentCodes& codes);
std::array<TournamentStatement, 2> DrawResultStatements(const MatchData& md, const TournamentCodes& codes);
