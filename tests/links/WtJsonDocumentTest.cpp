// The WT JSON documents: their exact text, the score and penalty values by rule and round, and the view's
// documents arriving at a local HTTP server in order with their positions.
#include "links/WtJsonDocument.h"
#include "app/HttpSinks.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Timers.h"
#include "links/WtApiClient.h"
#include "tests/platform/EventPump.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestCourt.h"

#include <QLabel>
#include <QString>

#include <rapidjson/document.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

namespace {

const char* const kRelationships = R"("relationships":{"match":{"data":{"type":"matches","id":"m-17"}},)"
                                   R"("homeCompetitor":{"data":{"type":"competitors","id":"c-1"}},)"
                                   R"("awayCompetitor":{"data":{"type":"competitors","id":"c-2"}}}}})";

class WtJsonDocumentTest : public ::testing::Test, protected TestCourt {
protected:
    WtJsonDocumentTest() {
        std::strcpy(md->szMatchId, "m-17");
        std::strcpy(md->aPlayer[0].szExtId, "c-1");
        std::strcpy(md->aPlayer[1].szExtId, "c-2");
        md->nRound = 3;
        md->nCurRound = 2;
        // Chung 5 points and a double gam-jeom, Hong 3 points and a single one.
        md->aSide[0].nScore = 5;
        md->aSide[0].nPenaltyCount2 = 1;
        md->aSide[1].nScore = 3;
        md->aSide[1].nPenaltyCount1 = 1;
        md->aSide[0].nRoundWins = 1;
        md->aSide[1].nRoundWins = 2;
    }

    // Five and a half hours west of UTC.
    WtJsonDocument::Context context{4, 67, {2024, 5, 1, 14, 30, 5, -330}};
};

rapidjson::Document Parsed(const std::string& text) {
    rapidjson::Document document;
    document.Parse(text.c_str(), text.size());
    EXPECT_FALSE(document.HasParseError()) << text;
    return document;
}

TEST_F(WtJsonDocumentTest, AnActionIsCompactWithTheMatchAndItsCompetitors) {
    EXPECT_EQ(
        WtJsonDocument::Action(*md, 8, 25, context),
        std::string(
            R"({"data":{"type":"match-actions","attributes":{"action":"SCORE_HOME_PUNCH","hitlevel":25,)"
            R"("round":2,"roundTime":"1:07","position":4,"score":{"home":6,"away":5},)"
            R"("penalties":{"home":1,"away":1},"description":null,"source":null,)"
            R"("timestamp":"2024-05-01T14:30:05-05:30"},)") +
            kRelationships);
}

TEST_F(WtJsonDocumentTest, ActionFieldsByKind) {
    struct Case {
        int kind;
        const char* action;
        int round;
        const char* source; // nullptr: null
        int home, away;
    };
    const Case cases[] = {
        {0, "MATCH_LOADED", 1, nullptr, 6, 5}, // always round 1
        {7, "MATCH_END", 2, nullptr, 1, 2},    // the rounds won
        {23, "VR_HOME_REQUEST", 2, "HOME", 6, 5},
        {28, "VR_AWAY_REJECTED", 2, "AWAY", 6, 5},
        {42, "VR_CR_ACCEPTED", 2, "CR", 6, 5},
        {67, "INVALIDATE_DOUBLE_PENALTY_AWAY", 2, nullptr, 6, 5},
        {99, "", 2, nullptr, 6, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const rapidjson::Document d = Parsed(WtJsonDocument::Action(*md, c.kind, 0, context));
        const auto& a = d["data"]["attributes"];
        EXPECT_STREQ(a["action"].GetString(), c.action);
        EXPECT_EQ(a["round"].GetInt(), c.round);
        if (c.source)
            EXPECT_STREQ(a["source"].GetString(), c.source);
        else
            EXPECT_TRUE(a["source"].IsNull());
        EXPECT_EQ(a["score"]["home"].GetInt(), c.home);
        EXPECT_EQ(a["score"]["away"].GetInt(), c.away);
    }
}

TEST_F(WtJsonDocumentTest, ScoresAndPenaltiesByRuleAndRound) {
    // Chung's points in the round after the regular ones (round 4) or in round 2 of the round-win system,
    // with Hong's gam-jeoms of that round.
    struct Case {
        const char* name;
        int rule;
        int type;
        int round;
        int chungRoundScore;
        int hongSingles, hongDoubles;
        int home;
        int homePenalties, awayPenalties;
    };
    const Case cases[] = {
        {"round-win system: the round's points", 1, 0, 2, 2, 1, 1, 5, 0, 2},
        {"regular round: the match's points", 0, 0, 2, 2, 1, 1, 6, 1, 1},
        {"type 1 after the regular rounds", 0, 1, 4, 0, 1, 0, 1, 0, 1},
        {"type 0: one gam-jeom alone does not reach 2", 0, 0, 4, 0, 1, 0, 0, 0, 1},
        {"type 0: with a point it counts", 0, 0, 4, 1, 1, 0, 2, 0, 1},
        {"type 0: one double gam-jeom counts", 0, 0, 4, 0, 0, 1, 2, 0, 1},
        {"type 2: one gam-jeom is left out", 0, 2, 4, 3, 1, 0, 3, 0, 1},
        {"type 2: two gam-jeoms count", 0, 2, 4, 3, 2, 0, 5, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        md->nCompetitionRule = c.rule;
        md->nCompetitionType = c.type;
        md->nCurRound = c.round;
        const int r = c.round - 1;
        md->aSide[0].nRoundScore[r] = c.chungRoundScore;
        md->aSide[1].nRoundPenalty1[r] = c.hongSingles;
        md->aSide[1].nRoundPenalty2[r] = c.hongDoubles;
        md->aSide[1].nRoundPenaltyPoints1[r] = c.hongSingles;
        md->aSide[1].nRoundPenaltyPoints2[r] = 2 * c.hongDoubles;
        EXPECT_EQ(WtJsonDocument::Score(*md)[0], c.home);
        EXPECT_EQ(WtJsonDocument::Penalties(*md), (std::array<int, 2>{c.homePenalties, c.awayPenalties}));
        std::memset(md->aSide[0].nRoundScore, 0, sizeof md->aSide[0].nRoundScore);
        std::memset(md->aSide[1].nRoundPenalty1, 0, sizeof md->aSide[1].nRoundPenalty1);
        std::memset(md->aSide[1].nRoundPenalty2, 0, sizeof md->aSide[1].nRoundPenalty2);
        std::memset(md->aSide[1].nRoundPenaltyPoints1, 0, sizeof md->aSide[1].nRoundPenaltyPoints1);
        std::memset(md->aSide[1].nRoundPenaltyPoints2, 0, sizeof md->aSide[1].nRoundPenaltyPoints2);
    }
}

TEST_F(WtJsonDocumentTest, TimestampsCarryTheOffsetFromUtc) {
    const struct {
        int offset;
        const char* text;
    } cases[] = {{120, "2024-05-01T14:30:05+02:00"},
                 {-330, "2024-05-01T14:30:05-05:30"},
                 {-30, "2024-05-01T14:30:05-00:30"},
                 {0, "2024-05-01T14:30:05+00:00"}};
    for (const auto& c : cases)
        EXPECT_EQ(WtJsonDocument::Timestamp({2024, 5, 1, 14, 30, 5, c.offset}), c.text);
}

TEST_F(WtJsonDocumentTest, IntermediateResultsByRule) {
    md->nCompetitionRule = 1;
    md->nRoundWinner[0] = 2;
    md->nRoundReason[0] = 3;
    md->nRoundWinner[1] = 3;
    md->nRoundReason[1] = 0;
    EXPECT_EQ(
        WtJsonDocument::IntermediateResult(*md, 1, context),
        std::string(R"({"data":{"type":"match-results","attributes":{"status":"INTERMEDIATE","round":1,)"
                    R"("position":4,"result":{"decision":"R-RSC","homeType":"LOSS","awayType":"WIN"},)"
                    R"("score":{"home":0,"away":0},"penalties":{"home":0,"away":0},"description":null,)"
                    R"("timestamp":"2024-05-01T14:30:05-05:30"},)") +
            kRelationships);
    const rapidjson::Document tie = Parsed(WtJsonDocument::IntermediateResult(*md, 2, context));
    EXPECT_STREQ(tie["data"]["attributes"]["result"]["decision"].GetString(), "R-PTF");
    EXPECT_STREQ(tie["data"]["attributes"]["result"]["homeType"].GetString(), "TIE");

    md->nCompetitionRule = 0;
    const rapidjson::Document plain = Parsed(WtJsonDocument::IntermediateResult(*md, 1, context));
    const auto& result = plain["data"]["attributes"]["result"];
    EXPECT_TRUE(result["decision"].IsNull());
    EXPECT_TRUE(result["homeType"].IsNull());
    EXPECT_TRUE(result["awayType"].IsNull());
}

TEST_F(WtJsonDocumentTest, FinalResults) {
    md->nOvrSupplier = 8;
    md->nWinSide = 0;
    md->nDecisionKind = 1;
    EXPECT_EQ(
        WtJsonDocument::FinalResult(*md, context),
        std::string(R"({"data":{"type":"match-results","attributes":{"status":"UNCONFIRMED","round":null,)"
                    R"("position":4,"result":{"decision":"PTG","homeType":"WIN","awayType":"LOSS"},)"
                    R"("score":{"home":6,"away":5},"penalties":{"home":1,"away":1},"description":null,)"
                    R"("timestamp":"2024-05-01T14:30:05-05:30"},)") +
            kRelationships);
    md->nWinSide = 3; // a draw
    md->nCompetitionRule = 1;
    const rapidjson::Document draw = Parsed(WtJsonDocument::FinalResult(*md, context));
    const auto& a = draw["data"]["attributes"];
    EXPECT_STREQ(a["result"]["homeType"].GetString(), "TIE");
    EXPECT_STREQ(a["result"]["awayType"].GetString(), "TIE");
    EXPECT_EQ(a["score"]["home"].GetInt(), 1); // the rounds won
    EXPECT_EQ(a["score"]["away"].GetInt(), 2);
    EXPECT_EQ(a["penalties"]["home"].GetInt(), 0);
}

TEST_F(WtJsonDocumentTest, TextsThatAreNotUtf8OrHoldQuotesStayValidJson) {
    const char id[] = "a\"b\\c\xff";
    std::memcpy(md->aPlayer[0].szExtId, id, sizeof id);
    const rapidjson::Document d = Parsed(WtJsonDocument::Action(*md, 8, 0, context));
    EXPECT_STREQ(d["data"]["relationships"]["homeCompetitor"]["data"]["id"].GetString(),
                 "a\"b\\c\xEF\xBF\xBD");
}

// The view: documents of the JSON timer reach the server in order, each with the next position.
class JsonView : public CMainWnd {};

class WtJsonViewTest : public WtJsonDocumentTest {
protected:
    WtJsonViewTest() {
        WtApiStartup();
        const std::u16string base = QString::fromStdString(server.BaseUrl()).toStdU16String();
        std::copy(base.begin(), base.end(), md->wszWTBaseUrl);
        md->wszWTApiKey[0] = u'K';
        md->nOvrSupplier = 8;
        std::strcpy(md->szContestNo, "101");
        view = std::make_unique<JsonView>();
    }
    ~WtJsonViewTest() override {
        view.reset();
        WtApiShutdown();
    }
    LocalHttpServer server;
    std::unique_ptr<JsonView> view;
};

TEST_F(WtJsonViewTest, TheJsonTimerSendsEachEntryAsItsDocument) {
    view->m_JsonQueue.Append(0);
    view->m_JsonQueue.Append(8, 0, u"25");
    view->m_JsonQueue.Append(JsonActionQueue::kIntermediateResult, 1);
    view->m_JsonQueue.Append(JsonActionQueue::kFinalResult);
    for (int tick = 0; tick < 4; ++tick)
        view->OnTimer(TIMER_JSON_QUEUE);
    ASSERT_TRUE(server.WaitForRequests(4));
    const auto seen = server.Requests();
    const struct {
        const char* target;
        const char* field;
        const char* value;
    } expected[] = {{"/matches/m-17/actions", "action", "MATCH_LOADED"},
                    {"/matches/m-17/actions", "action", "SCORE_HOME_PUNCH"},
                    {"/matches/m-17/results", "status", "INTERMEDIATE"},
                    {"/matches/m-17/results", "status", "UNCONFIRMED"}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].target, expected[i].target);
        const rapidjson::Document d = Parsed(seen[i].body);
        EXPECT_STREQ(d["data"]["attributes"][expected[i].field].GetString(), expected[i].value);
        EXPECT_EQ(d["data"]["attributes"]["position"].GetInt(), i + 1);
    }
    EXPECT_EQ(Parsed(seen[1].body)["data"]["attributes"]["hitlevel"].GetInt(), 25);
}

TEST_F(WtJsonViewTest, NoDocumentWithoutTheWtSupplierOrALoadedMatch) {
    md->nOvrSupplier = 6;
    view->BuildJsonAction(3, 8, 0);
    md->nOvrSupplier = 8;
    md->szContestNo[0] = '\0';
    view->BuildJsonAction(3, 8, 0);
    EXPECT_EQ(view->m_nJsonPosition, 1);
    EXPECT_EQ(WtApiPostQueue().Waiting(), 0u);
    EXPECT_FALSE(server.WaitForRequests(1, std::chrono::milliseconds(100)));
}

TEST_F(WtJsonViewTest, TheOperatorScreenShowsWhileTheFinalResultWaitsToBeDelivered) {
    std::atomic<bool> refuse{true};
    server.SetResponder([&](const HttpRequestSeen&) { return HttpReply{refuse ? 500 : 201, "", {}}; });
    auto* notice = view->findChild<QLabel*>(QStringLiteral("WtDeliveryNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->isVisibleTo(view.get()));
    view->m_JsonQueue.Append(JsonActionQueue::kFinalResult);
    view->OnTimer(TIMER_JSON_QUEUE);
    ASSERT_TRUE(pumpUntil([&] { return notice->isVisibleTo(view.get()); }));
    EXPECT_EQ(notice->text(), "WT server: 1 document(s) waiting to be delivered");
    EXPECT_EQ(notice->toolTip(), notice->text());
    // The server takes it when it is sent again: the line goes and the result arrived once taken.
    refuse = false;
    ASSERT_TRUE(pumpUntil([&] { return !notice->isVisibleTo(view.get()); }));
    const auto seen = server.Requests();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.front().body, seen.back().body);
    EXPECT_STREQ(Parsed(seen.back().body)["data"]["attributes"]["status"].GetString(), "UNCONFIRMED");
}

} // namespace
