// The tournament database's statements as values: which row, which columns, which numbers; the server
// tests (TournamentDbTest.cpp) run the same statements against PostgreSQL.
#include "records/TournamentStatements.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "records/TournamentDb.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const TournamentCodes kCodes{"D1", "W2", "S3", "G4"};

std::vector<std::string> Texts(const TournamentStatement& s) {
    std::vector<std::string> out;
    for (const DbVariant& v : s.values)
        out.push_back(v.isNull() ? "<null>" : v.asText());
    return out;
}

// The column names between "set" and "where", in order.
std::string Columns(const TournamentStatement& s) {
    const auto set = s.sql.find(" set ") + 5;
    std::string list = s.sql.substr(set, s.sql.find(" where ") - set);
    std::string out;
    for (char c : list)
        if (c != ' ' && c != '?' && c != '=')
            out += c;
    return out;
}

struct ScoreCase {
    const char* name;
    int type;
    int round; // the current round of a three-round match
    // per side: score, penalty counters 1 and 2, then of the current round: score, counters 1 and 2, points
    // the side's penalties gave 1 and 2
    int chung[8];
    int hong[8];
    // Chung: dukjum, gamjum, round dukjum, round gamjum; then Hong
    int expected[8];
};

class TournamentScoreTest : public ::testing::Test {
protected:
    void SetUp() override { md = std::make_unique<MatchData>(); }
    void Set(int side, int round, const int (&v)[8]) {
        TTK_SideScore& s = md->aSide[side];
        s.nScore = v[0];
        s.nPenaltyCount1 = v[1];
        s.nPenaltyCount2 = v[2];
        s.nRoundScore[round - 1] = v[3];
        s.nRoundPenalty1[round - 1] = v[4];
        s.nRoundPenalty2[round - 1] = v[5];
        s.nRoundPenaltyPoints1[round - 1] = v[6];
        s.nRoundPenaltyPoints2[round - 1] = v[7];
    }
    std::unique_ptr<MatchData> md;
};

TEST_F(TournamentScoreTest, SideTotalsWithTheGoldenRoundAdjustments) {
    const ScoreCase cases[] = {
        // A regular round: totals plus the opponent's gam-jeom count, no adjustment.
        {"regular round", 0, 2, {5, 1, 0, 3, 1, 0, 1, 0}, {4, 2, 0, 2, 1, 0, 1, 0}, {7, 1, 4, 1, 5, 2, 3, 1}},
        // The case of the golden round: Chung scored nothing and Hong's one gam-jeom gave one point, so that
        // gam-jeom leaves Chung's totals and round column.
        {"golden, type 0, one point only",
         0,
         4,
         {6, 0, 0, 0, 0, 0, 0, 0},
         {6, 3, 0, 0, 1, 0, 1, 0},
         {8, 0, 0, 0, 6, 3, 0, 1}},
        // Two points in the golden round: Hong's gam-jeom counts.
        {"golden, type 0, two points",
         0,
         4,
         {6, 0, 0, 1, 0, 0, 0, 0},
         {6, 3, 0, 0, 1, 0, 1, 0},
         {9, 0, 2, 0, 6, 3, 0, 1}},
        // Team-judging type: a single golden-round gam-jeom is taken out of both of that side's counts.
        {"golden, type 2",
         2,
         4,
         {3, 2, 0, 0, 1, 0, 1, 0},
         {3, 1, 0, 0, 0, 0, 0, 0},
         {4, 2, 0, 1, 4, 1, 0, 0}},
        // Any other type writes the penalty points of the round in place of the counts.
        {"golden, type 1",
         1,
         4,
         {3, 2, 0, 0, 1, 0, 1, 0},
         {3, 1, 0, 0, 1, 0, 2, 0},
         {5, 2, 2, 1, 4, 1, 1, 1}},
    };
    for (const ScoreCase& c : cases) {
        SCOPED_TRACE(c.name);
        md = std::make_unique<MatchData>();
        md->nRound = 3;
        md->nCurRound = c.round;
        md->nCompetitionType = c.type;
        Set(0, c.round, c.chung);
        Set(1, c.round, c.hong);
        const auto s = TournamentScores(*md);
        EXPECT_EQ((std::vector<int>{s[0].dukjum, s[0].gamjum, s[0].roundDukjum, s[0].roundGamjum, s[1].dukjum,
                                    s[1].gamjum, s[1].roundDukjum, s[1].roundGamjum}),
                  std::vector<int>(std::begin(c.expected), std::end(c.expected)));
        EXPECT_EQ(s[0].round, c.round);
    }
}

TEST_F(TournamentScoreTest, SidesPickTheRowsInOrderAndAnUnknownSideWritesNothing) {
    md->nRound = 3;
    md->nCurRound = 1;
    const auto both = ScoreStatements(*md, 2, kCodes);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(Texts(both[0]).back(), "B"); // Chung first
    EXPECT_EQ(Texts(both[1]).back(), "R");
    EXPECT_EQ(Texts(ScoreStatements(*md, 1, kCodes).at(0)).back(), "R");
    EXPECT_EQ(Texts(ScoreStatements(*md, 0, kCodes).at(0)).back(), "B");
    EXPECT_TRUE(ScoreStatements(*md, 5, kCodes).empty());
    EXPECT_TRUE(ScoreStatements(*md, -1, kCodes).empty());
}

TEST_F(TournamentScoreTest, OnlyRoundsOneToFiveWriteTheirColumns) {
    md->nRound = 3;
    md->aSide[0].nScore = 2;
    const struct {
        int round;
        const char* columns;
    } cases[] = {{0, "dukjum,gamjum,jumsu"},
                 {1, "dukjum,gamjum,dukjum1,gamjum1,jumsu"},
                 {5, "dukjum,gamjum,dukjum5,gamjum5,jumsu"},
                 {6, "dukjum,gamjum,jumsu"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.round);
        md->nCurRound = c.round;
        const auto batch = ScoreStatements(*md, 0, kCodes);
        EXPECT_EQ(Columns(batch.at(0)), c.columns);
        EXPECT_EQ(Texts(batch.at(0)).front(), "2");
    }
}

TEST_F(TournamentScoreTest, RoundWinnersBecomeWinCountsOfBothRows) {
    md->nRoundWinner[0] = 1;
    md->nRoundWinner[1] = 2;
    md->nRoundWinner[2] = 0;
    md->aSide[0].nRoundWins = 1;
    md->aSide[1].nRoundWins = 1;
    const auto batch = WinCountStatements(*md, kCodes);
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(Columns(batch[0]), "win_cnt1,win_cnt2,win_cnt3,win_cnt4,win_cnt");
    EXPECT_EQ(Texts(batch[0]),
              (std::vector<std::string>{"1", "0", "0", "0", "1", "D1", "W2", "S3", "G4", "B"}));
    EXPECT_EQ(Texts(batch[1]),
              (std::vector<std::string>{"0", "2", "0", "0", "1", "D1", "W2", "S3", "G4", "R"}));
}

TEST_F(TournamentScoreTest, TheDecisionMarksTheWinnerAndTheDrawBothSides) {
    md->nRound = 3;
    md->aSide[0].nScore = 7;
    md->aSide[1].nScore = 4;
    md->aSide[1].nPenaltyCount1 = 1;
    md->aSide[1].nPenaltyCount2 = 1; // gives Chung 1 + 2 points
    md->nWinSide = 1;
    const auto decision = DecisionResultStatements(*md, kCodes);
    EXPECT_EQ(Columns(decision[0]), "jumsu,dukjum,gamjum,result,sup");
    EXPECT_EQ(Texts(decision[0]),
              (std::vector<std::string>{"10", "10", "0", "\u2169", "", "D1", "W2", "S3", "G4", "B"}));
    EXPECT_EQ(Texts(decision[1]),
              (std::vector<std::string>{"4", "4", "2", "\u25CB", "", "D1", "W2", "S3", "G4", "R"}));
    const auto draw = DrawResultStatements(*md, kCodes);
    EXPECT_EQ(Texts(draw[0])[3], "D");
    EXPECT_EQ(Texts(draw[1])[3], "D");
    EXPECT_TRUE(GoldenRoundStatements(*md, kCodes).empty()) << "no golden round was played";
    md->nCurRound = 4;
    const auto golden = GoldenRoundStatements(*md, kCodes);
    ASSERT_EQ(golden.size(), 2u);
    EXPECT_EQ(Columns(golden[0]), "dukjum,gamjum,dukjum4,gamjum4,jumsu");
}

TEST(TournamentStatements, TheCourtReceiverIsWrittenInLowerCaseHex) {
    const BYTE address[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70};
    const TournamentStatement s = CourtReceiverStatement(0x0B, 0x1C2D, address, 7);
    EXPECT_EQ(Columns(s), "rcv_info_ch,rcv_info_panid,rcv_info_mac");
    EXPECT_EQ(Texts(s), (std::vector<std::string>{"0b", "1c2d", "001a2b3c4d5e6f70", "7"}));
}

// Each value is a bound parameter: codes with quotes never reach the statement text, and a statement of
// another row never takes a waiting one's place.
TEST(TournamentStatements, ValuesAreBoundAndRowKeysSeparateRows) {
    const TournamentCodes quoted{"D'1", "W2", "S3", "G4'; drop table tkdtour; --"};
    const TournamentStatement a = MatchStatusStatement("2", quoted);
    EXPECT_EQ(a.sql.find("D'1"), std::string::npos);
    EXPECT_EQ(a.sql.find("drop"), std::string::npos);
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"2", "D'1", "W2", "S3", "G4'; drop table tkdtour; --"}));
    EXPECT_EQ(a.rowKey(), MatchStatusStatement("3", quoted).rowKey()) << "the same row, newer values";
    EXPECT_NE(a.rowKey(), MatchStatusStatement("2", kCodes).rowKey());
    EXPECT_NE(a.rowKey(), CurrentRoundStatement(2, quoted).rowKey());
}

TEST(TournamentStatements, ConnectionTextKeepsEveryValueInsideItsBraces) {
    TournamentServerSettings s;
    s.driver = u"PostgreSQL Unicode";
    s.host = u"db.court";
    s.port = u"1521";
    s.service = u"TKD";
    s.user = u"court7";
    s.password = u"p;Uid=admin}x";
    EXPECT_EQ(TournamentConnectionText(s),
              "Driver=PostgreSQL Unicode;Server=db.court;Port=1521;Database=TKD;DBQ=db.court:1521/TKD;"
              "Uid=court7;Pwd={p;Uid=admin}}x};");
}

} // namespace
