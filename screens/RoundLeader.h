// The leader of the running round under the round-win system, by the chain of tie-breaks the operator
// screen marks it with. Pure; any thread.
#pragma once

struct MatchData;

// 0 no leader, 1 Chung, 2 Hong, for round md.nCurRound (1-based). 0 outside rounds 1..5.
int DecideRoundLeader(const MatchData& md);
