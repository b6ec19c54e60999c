#include "records/TournamentStatements.h"

#include "app/MatchData.h"
#include "app/MatchInfo.h"

#include <cstdio>

namespace {

// Every statement of a match's rows ends in the active tournament.
constexpr const char* kActiveTournament =
    " and (tour_code, tour_cnt) in (select tour_code, tour_cnt from tkdtour where use_yn = 'Y')";
constexpr const char* kMatchKeys =
    " where dep_code = ? and wei_code = ? and stage_code = ? and game_code = ?";

DbVariant text(int value) {
    return DbVariant::text(std::to_string(value));
}

void appendCodes(TournamentStatement& s, const TournamentCodes& codes) {
    for (const std::string* code : {&codes.dep, &codes.wei, &codes.stage, &codes.game})
        s.values.push_back(DbVariant::text(*code));
}

TournamentStatement matchRow(std::string set, std::vector<DbVariant> values, const TournamentCodes& codes) {
    TournamentStatement s;
    s.sql = "update tkdgerursltm set " + set + kMatchKeys + " and subdiv_code = 'X'" + kActiveTournament;
    s.values = std::move(values);
    s.keyFrom = s.values.size();
    appendCodes(s, codes);
    return s;
}

TournamentStatement sideRow(int side, std::string set, std::vector<DbVariant> values,
                            const TournamentCodes& codes) {
    TournamentStatement s;
    s.sql = "update tkdgerursltd set " + set + kMatchKeys + " and br_gubun = ?" + kActiveTournament;
    s.values = std::move(values);
    s.keyFrom = s.values.size();
    appendCodes(s, codes);
    s.values.push_back(DbVariant::text(side == 0 ? "B" : "R"));
    return s;
}

// The per-round columns exist for rounds 1..5 only.
bool hasRoundColumns(int round) {
    return round >= 1 && round <= kMaxRounds;
}

int at(const int (&values)[kMaxRounds], int round) {
    return hasRoundColumns(round) ? values[round - 1] : 0;
}

} // namespace

std::string TournamentStatement::rowKey() const {
    std::string key = sql;
    for (std::size_t i = keyFrom; i < values.size(); ++i) {
        key += '\x1f';
        if (values[i].type() == DbVariant::Type::Text)
            key += values[i].asText();
    }
    return key;
}

TournamentCodes CurrentTournamentCodes(const TTK_MatchInfo& info) {
    return {info[TTK_MatchInfo::kDepCode], info[TTK_MatchInfo::kWeiCode], info[TTK_MatchInfo::kStageCode],
            info[TTK_MatchInfo::kGameCode]};
}

std::array<TournamentSideScore, 2> TournamentScores(const MatchData& md) {
    const int r = md.nCurRound;
    int pen[2], gr[2], pp[2], rs[2], penW[2], grW[2];
    for (int x = 0; x < 2; ++x) {
        const TTK_SideScore& s = md.aSide[x];
        pen[x] = s.nPenaltyCount1 + s.nPenaltyCount2;
        gr[x] = at(s.nRoundPenalty1, r) + at(s.nRoundPenalty2, r);
        pp[x] = at(s.nRoundPenaltyPoints1, r) + at(s.nRoundPenaltyPoints2, r);
        rs[x] = at(s.nRoundScore, r);
        penW[x] = pen[x];
        grW[x] = gr[x];
    }
    constexpr int C = 0, H = 1;
    if (r > md.nRound) {
        if (md.nCompetitionType == 2) {
            for (int x : {C, H})
                if (gr[x] == 1) {
                    grW[x] = 0;
                    penW[x] = pen[x] - gr[x];
                }
        } else if (md.nCompetitionType == 0) {
            if (pp[H] + rs[C] < 2) {
                penW[H] = pen[H] - gr[H];
                if (gr[H] == 1)
                    grW[H] = 0;
            }
            if (rs[H] + pp[C] < 2) {
                penW[C] = pen[C] - gr[C];
                if (gr[C] == 1)
                    grW[C] = 0;
            }
        } else {
            for (int x : {C, H})
                penW[x] = grW[x] = pp[x];
        }
    }
    std::array<TournamentSideScore, 2> out;
    for (int x : {C, H}) {
        const int o = 1 - x;
        out[x].dukjum = md.aSide[x].nScore + penW[o];
        out[x].gamjum = pen[x];
        out[x].round = hasRoundColumns(r) ? r : 0;
        out[x].roundDukjum = rs[x] + grW[o];
        out[x].roundGamjum = gr[x];
    }
    return out;
}

std::array<TournamentSideScore, 2> TournamentGoldenScores(const MatchData& md) {
    const int g = md.nRound + 1;
    std::array<TournamentSideScore, 2> out;
    for (int x = 0; x < 2; ++x) {
        const TTK_SideScore& own = md.aSide[x];
        const TTK_SideScore& other = md.aSide[1 - x];
        out[x].dukjum = own.nScore + other.nPenaltyCount1 + 2 * other.nPenaltyCount2;
        out[x].gamjum = own.nPenaltyCount1 + own.nPenaltyCount2;
        out[x].round = hasRoundColumns(g) ? g : 0;
        out[x].roundDukjum =
            at(own.nRoundScore, g) + at(other.nRoundPenaltyPoints1, g) + at(other.nRoundPenaltyPoints2, g);
        out[x].roundGamjum = at(own.nRoundPenalty1, g) + at(own.nRoundPenalty2, g);
    }
    return out;
}

TournamentStatement CourtReceiverStatement(int channel, int panId, const BYTE (&address)[8], int courtNo) {
    char ch[8], pan[8], mac[17];
    std::snprintf(ch, sizeof ch, "%02x", channel & 0xff);
    std::snprintf(pan, sizeof pan, "%04x", panId & 0xffff);
    for (int i = 0; i < 8; ++i)
        std::snprintf(mac + 2 * i, 3, "%02x", address[i]);
    TournamentStatement s;
    s.sql = std::string("update tkdgerucourt set rcv_info_ch = ?, rcv_info_panid = ?, rcv_info_mac = ?"
                        " where court_no = ?") +
            kActiveTournament;
    s.values = {DbVariant::text(ch), DbVariant::text(pan), DbVariant::text(mac), text(courtNo)};
    s.keyFrom = 3;
    return s;
}

TournamentStatement MatchStatusStatement(const char* status, const TournamentCodes& codes) {
    return matchRow("game_status = ?", {DbVariant::text(status)}, codes);
}

TournamentStatement CurrentRoundStatement(int round, const TournamentCodes& codes) {
    return matchRow("curr_round = ?", {text(round)}, codes);
}

TournamentStatement SideScoreStatement(int side, const TournamentSideScore& score,
                                       const TournamentCodes& codes) {
    if (score.round == 0)
        return sideRow(side, "dukjum = ?, gamjum = ?, jumsu = ?",
                       {text(score.dukjum), text(score.gamjum), text(score.dukjum)}, codes);
    const std::string r = std::to_string(score.round);
    return sideRow(side, "dukjum = ?, gamjum = ?, dukjum" + r + " = ?, gamjum" + r + " = ?, jumsu = ?",
                   {text(score.dukjum), text(score.gamjum), text(score.roundDukjum), text(score.roundGamjum),
                    text(score.dukjum)},
                   codes);
}

TournamentBatch ScoreStatements(const MatchData& md, int side, const TournamentCodes& codes) {
    if (side < 0 || side > 2)
        return {};
    const auto scores = TournamentScores(md);
    TournamentBatch batch;
    if (side == 0 || side == 2)
        batch.push_back(SideScoreStatement(0, scores[0], codes));
    if (side == 1 || side == 2)
        batch.push_back(SideScoreStatement(1, scores[1], codes));
    return batch;
}

TournamentBatch WinCountStatements(const MatchData& md, const TournamentCodes& codes) {
    TournamentBatch batch;
    for (int x = 0; x < 2; ++x) {
        std::vector<DbVariant> values;
        for (int i = 0; i < 3; ++i)
            values.push_back(text(md.nRoundWinner[i] == x + 1 ? x + 1 : 0));
        values.push_back(text(0));
        values.push_back(text(md.aSide[x].nRoundWins));
        batch.push_back(sideRow(x, "win_cnt1 = ?, win_cnt2 = ?, win_cnt3 = ?, win_cnt4 = ?, win_cnt = ?",
                                std::move(values), codes));
    }
    return batch;
}

TournamentStatement SideResultStatement(int side, int total, int gamjum, const std::string& result,
                                        const std::string& sup, const TournamentCodes& codes) {
    TournamentStatement s = sideRow(
        side, "jumsu = ?, dukjum = ?, gamjum = ?, result = ?, sup = ?",
        {text(total), text(total), text(gamjum), DbVariant::text(result), DbVariant::text(sup)}, codes);
    s.replaceable = false;
    return s;
}

TournamentStatement MatchResultStatement(const std::string& resultCode, const std::string& extYn,
                                         const std::string& currRound, const std::string& bigo,
                                         const TournamentCodes& codes) {
    TournamentStatement s = matchRow("result_code = ?, ext_yn = ?, curr_round = ?, bigo = ?",
                                     {DbVariant::text(resultCode), DbVariant::text(extYn),
                                      DbVariant::text(currRound), DbVariant::text(bigo)},
                                     codes);
    s.replaceable = false;
    return s;
}

TournamentBatch GoldenRoundStatements(const MatchData& md, const TournamentCodes& codes) {
    if (md.nCurRound < md.nRound + 1)
        return {};
    const auto scores = TournamentGoldenScores(md);
    return {SideScoreStatement(0, scores[0], codes), SideScoreStatement(1, scores[1], codes)};
}

namespace {

std::array<TournamentStatement, 2> resultRows(const MatchData& md, const TournamentCodes& codes,
                                              const std::string (&results)[2]) {
    const auto scores = TournamentGoldenScores(md); // the match totals with the opponent's penalty points
    return {SideResultStatement(0, scores[0].dukjum, scores[0].gamjum, results[0], "", codes),
            SideResultStatement(1, scores[1].dukjum, scores[1].gamjum, results[1], "", codes)};
}

} // namespace

std::array<TournamentStatement, 2> DecisionResultStatements(const MatchData& md,
                                                            const TournamentCodes& codes) {
    const std::string won = "\u25CB", lost = "\u2169"; // "○" the winner, "Ⅹ" the loser
    const std::string results[2] = {md.nWinSide == 0 ? won : lost, md.nWinSide == 1 ? won : lost};
    return resultRows(md, codes, results);
}

std::array<TournamentStatement, 2> DrawResultStatements(const MatchData& md, const TournamentCodes& codes) {
    const std::string results[2] = {"D", "D"};
    return resultRows(md, codes, results);
}
