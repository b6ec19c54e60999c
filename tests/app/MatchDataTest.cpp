#include "app/MatchData.h"
#include "app/DbTemp.h"
#include "app/Network.h"
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// The record is too large for a test's stack; every test-owned one lives on the heap, zero-filled.
std::unique_ptr<MatchData> NewRecord() {
    return std::make_unique<MatchData>();
}

bool IsAllZero(const MatchData& md) {
    const std::vector<unsigned char> zero(sizeof(MatchData), 0);
    return std::memcmp(&md, zero.data(), sizeof(MatchData)) == 0;
}

// The record is process-wide; every test leaves it freed, whatever it did.
class MatchDataTest : public ::testing::Test {
protected:
    void TearDown() override {
        while (FreeMatchData() != 0) {
        }
    }
};

TEST_F(MatchDataTest, FirstCreateAllocatesEverythingZeroFilled) {
    EXPECT_EQ(CreateMatchData(), 1);
    EXPECT_EQ(g_nMatchDataRef, 1);
    ASSERT_NE(g_pMatchData, nullptr);
    ASSERT_NE(g_pMatchSnapshot, nullptr);
    EXPECT_NE(g_pMatchData, g_pMatchSnapshot);
    EXPECT_TRUE(IsAllZero(*g_pMatchData));
    EXPECT_TRUE(IsAllZero(*g_pMatchSnapshot));
    ASSERT_NE(g_pChungLog, nullptr);
    ASSERT_NE(g_pHongLog, nullptr);
    ASSERT_NE(g_pNetworkArr, nullptr);
    EXPECT_NE(g_pChungLog, g_pHongLog);
    EXPECT_TRUE(g_pChungLog->empty());
    EXPECT_TRUE(g_pHongLog->empty());
    EXPECT_TRUE(g_pNetworkArr->empty());
}

TEST_F(MatchDataTest, SecondCreatorSharesTheRecordAndOnlyTheLastFreeReleasesIt) {
    ASSERT_EQ(CreateMatchData(), 1);
    MatchData* record = g_pMatchData;
    MatchData* snapshot = g_pMatchSnapshot;
    std::vector<TTK_DbTemp>* chung = g_pChungLog;
    record->nCourtNo = 7;
    std::strncpy(record->szContestNo, "1042", sizeof(record->szContestNo) - 1);
    g_pChungLog->emplace_back().dbindex = u"3";
    g_pNetworkArr->emplace_back().name = "CV";

    EXPECT_EQ(CreateMatchData(), 1);
    EXPECT_EQ(g_nMatchDataRef, 2);
    EXPECT_EQ(g_pMatchData, record);
    EXPECT_EQ(g_pMatchSnapshot, snapshot);
    EXPECT_EQ(g_pChungLog, chung);
    EXPECT_EQ(g_pMatchData->nCourtNo, 7);
    EXPECT_STREQ(g_pMatchData->szContestNo, "1042");
    EXPECT_EQ(g_pChungLog->size(), 1u);
    EXPECT_EQ(g_pNetworkArr->size(), 1u);

    EXPECT_EQ(FreeMatchData(), 1);
    EXPECT_EQ(g_nMatchDataRef, 1);
    EXPECT_EQ(g_pMatchData, record);
    EXPECT_EQ(g_pMatchData->nCourtNo, 7);
    EXPECT_EQ(g_pChungLog->size(), 1u);

    EXPECT_EQ(FreeMatchData(), 1);
    EXPECT_EQ(g_nMatchDataRef, 0);
    EXPECT_EQ(g_pMatchData, nullptr);
    EXPECT_EQ(g_pMatchSnapshot, nullptr);
    EXPECT_EQ(g_pChungLog, nullptr);
    EXPECT_EQ(g_pHongLog, nullptr);
    EXPECT_EQ(g_pNetworkArr, nullptr);

    EXPECT_EQ(FreeMatchData(), 0);
    EXPECT_EQ(g_nMatchDataRef, 0);
}

TEST_F(MatchDataTest, FreeWithNothingCreatedReturnsZero) {
    EXPECT_EQ(FreeMatchData(), 0);
    EXPECT_EQ(g_nMatchDataRef, 0);
    EXPECT_EQ(g_pMatchData, nullptr);
}

TEST_F(MatchDataTest, CreateAfterTheLastFreeStartsFromZeroAgain) {
    ASSERT_EQ(CreateMatchData(), 1);
    g_pMatchData->nGameState = 3;
    ASSERT_EQ(FreeMatchData(), 1);
    ASSERT_EQ(CreateMatchData(), 1);
    EXPECT_EQ(g_nMatchDataRef, 1);
    EXPECT_TRUE(IsAllZero(*g_pMatchData));
}

TEST_F(MatchDataTest, SnapshotCopiesTheWholeRecord) {
    ASSERT_EQ(CreateMatchData(), 1);
    MatchData& md = *g_pMatchData;
    std::strncpy(md.szAppDirA, "/opt/court/", sizeof(md.szAppDirA) - 1);
    md.aNation[299].wszField[3][0] = u'f';
    md.nDeviceStatus = 0x800003;
    md.aSide[1].aLastHit[2] = {3, 27};
    md.aPlayer[11].nNation = 12;
    md.pLevelTable[11] = reinterpret_cast<int**>(&md); // any pointer value: it is copied, not followed
    md.nLogIndex = 99;
    ASSERT_NE(std::memcmp(g_pMatchSnapshot, &md, sizeof(MatchData)), 0);

    TakeMatchSnapshot();
    EXPECT_EQ(std::memcmp(g_pMatchSnapshot, &md, sizeof(MatchData)), 0);
    EXPECT_EQ(g_pMatchSnapshot->nDeviceStatus, 0x800003);

    // The snapshot is a copy, not a view: later changes do not reach it until the next one.
    md.nRemainTime = 1000;
    EXPECT_EQ(g_pMatchSnapshot->nRemainTime, 0);
}

TEST_F(MatchDataTest, SnapshotWithoutARecordDoesNothing) {
    TakeMatchSnapshot();
    EXPECT_EQ(g_pMatchSnapshot, nullptr);
}

// Which flags each setting requires; everything else may stay unregistered.
struct DeviceCase {
    const char* name;
    int competitionType;
    int teamType;
    int pssType;
    int judgeNumber;
    int bodySlots; // slots 0..bodySlots-1 need bRegBody
    int headSlots; // slots 0..headSlots-1 need bRegHead
    int judges;    // judges 0..judges-1 need bJudgeWired
};

const DeviceCase kDeviceCases[] = {
    {"individual, no protectors, no judges", 0, 0, 0, 0, 0, 0, 0},
    {"individual, trunk", 0, 0, 1, 0, 2, 0, 0},
    {"individual, trunk and head, one judge", 0, 0, 2, 1, 2, 2, 1},
    {"individual, judges only", 0, 0, 0, 3, 0, 0, 3},
    {"individual ignores the team type", 0, 1, 1, 0, 2, 0, 0},
    {"judge-driven type checks like individual", 2, 0, 1, 3, 2, 0, 3},
    {"team 3:3, trunk", 1, 0, 1, 0, 6, 0, 0},
    {"team 3:3, trunk and head, two judges", 1, 0, 2, 2, 6, 6, 2},
    {"team type 1, trunk and head", 1, 1, 2, 0, 8, 8, 0},
    {"team type 2, trunk, one judge", 1, 2, 1, 1, 8, 0, 1},
    {"team type 3 checks every slot", 1, 3, 2, 0, 12, 12, 0},
    {"team, no protectors, no judges", 1, 1, 0, 0, 0, 0, 0},
    {"judge number above three checks the three judges", 0, 0, 0, 7, 0, 0, 3},
    {"negative judge number checks none", 0, 0, 0, -1, 0, 0, 0},
};

std::unique_ptr<MatchData> SettingsOf(const DeviceCase& c) {
    auto md = NewRecord();
    md->nCompetitionType = c.competitionType;
    md->nTeamType = c.teamType;
    md->nPSSType = c.pssType;
    md->nJudgeNumber = c.judgeNumber;
    return md;
}

void RegisterRequired(MatchData& md, const DeviceCase& c) {
    for (int s = 0; s < c.bodySlots; ++s) {
        md.bRegBody[s] = 1;
    }
    for (int s = 0; s < c.headSlots; ++s) {
        md.bRegHead[s] = 1;
    }
    for (int j = 0; j < c.judges; ++j) {
        md.bJudgeWired[j] = 1;
    }
}

TEST(CheckDevicesRegisteredTest, TrueExactlyWhenEveryRequiredDeviceIsRegistered) {
    for (const DeviceCase& c : kDeviceCases) {
        SCOPED_TRACE(c.name);
        const auto md = SettingsOf(c);
        RegisterRequired(*md, c);
        EXPECT_EQ(CheckDevicesRegistered(*md), TRUE);
        auto missing = NewRecord();

        for (int s = 0; s < c.bodySlots; ++s) {
            SCOPED_TRACE("trunk slot " + std::to_string(s) + " missing");
            *missing = *md;
            missing->bRegBody[s] = 0;
            EXPECT_EQ(CheckDevicesRegistered(*missing), FALSE);
        }
        for (int s = 0; s < c.headSlots; ++s) {
            SCOPED_TRACE("head slot " + std::to_string(s) + " missing");
            *missing = *md;
            missing->bRegHead[s] = 0;
            EXPECT_EQ(CheckDevicesRegistered(*missing), FALSE);
        }
        for (int j = 0; j < c.judges; ++j) {
            SCOPED_TRACE("judge " + std::to_string(j + 1) + " missing");
            *missing = *md;
            missing->bJudgeWired[j] = 0;
            EXPECT_EQ(CheckDevicesRegistered(*missing), FALSE);
        }
    }
}

// Round 5 (index 4) is the golden round after four regular rounds. Every per-round array is written through
// the round number the engine uses, so a short array trips the bounds sanitizer or spills into its neighbour.
TEST(MatchDataLayoutTest, GoldenRoundEntriesAreInsideEveryRoundArray) {
    const auto record = NewRecord();
    MatchData& md = *record;
    md.nRound = 4;
    md.nCurRound = md.nRound + 1;
    const int index = md.nCurRound - 1;
    const int number = md.nCurRound;

    md.nRoundWinner[index] = 1;
    md.nRoundReason[index] = 2;
    md.bRoundEnded[index] = 3;
    for (TTK_SideScore& side : md.aSide) {
        side.nRoundScore[index] = 4;
        for (auto& row : side.nTechTally) {
            row[index] = 5;
        }
        side.nRoundPenalty1[index] = 6;
        side.nRoundPenalty2[index] = 7;
        side.nRoundPenaltyPoints1[index] = 8;
        side.nRoundPenaltyPoints2[index] = 9;
        side.nPssHits[number] = 10;
        side.nTagCount[number] = 11;
    }

    EXPECT_EQ(md.nRoundWinner[index], 1);
    EXPECT_EQ(md.nRoundReason[index], 2);
    EXPECT_EQ(md.bRoundEnded[index], 3);
    EXPECT_EQ(md.bRoundOver, 0);
    for (const TTK_SideScore& side : md.aSide) {
        EXPECT_EQ(side.nRoundScore[index], 4);
        EXPECT_EQ(side.nTechTally[14][index], 5);
        EXPECT_EQ(side.nRoundWins, 0);
        EXPECT_EQ(side.nRoundPenalty1[index], 6);
        EXPECT_EQ(side.nRoundPenalty2[index], 7);
        EXPECT_EQ(side.nRoundPenaltyPoints1[index], 8);
        EXPECT_EQ(side.nRoundPenaltyPoints2[index], 9);
        EXPECT_EQ(side.nPssHits[number], 10);
        EXPECT_EQ(side.nTagCount[number], 11);
        EXPECT_EQ(side.nPssHits[0], 0);
        EXPECT_EQ(side.nTagCount[0], 0);
        EXPECT_EQ(side.aJudgePress[0].nKind, 0);
    }
}

TEST(MatchDataLayoutTest, EachJudgeMacHoldsAFullText) {
    const auto record = NewRecord();
    MatchData& md = *record;
    const std::string text[kJudges] = {std::string(259, 'a'), std::string(259, 'b'), std::string(259, 'c')};
    for (int j = 0; j < kJudges; ++j) {
        std::strncpy(md.szJudgeMac[j], text[j].c_str(), sizeof(md.szJudgeMac[j]) - 1);
    }
    for (int j = 0; j < kJudges; ++j) {
        EXPECT_EQ(md.szJudgeMac[j], text[j]);
    }
}

TEST(DeviceStatusTest, SetAndClearTouchOnlyTheirBits) {
    const auto record = NewRecord();
    MatchData& md = *record;
    DeviceStatusSet(md, 0x800000);
    DeviceStatusSet(md, 0x5);
    EXPECT_EQ(DeviceStatusLoad(md), 0x800005);
    DeviceStatusClear(md, 0x1 | 0x2);
    EXPECT_EQ(DeviceStatusLoad(md), 0x800004);
    DeviceStatusClear(md, 0x800000);
    EXPECT_EQ(DeviceStatusLoad(md), 0x4);
}

// Two receiver-side threads each flip their own bit many times. Every change must be seen by its own thread
// at once and no thread may lose the other's bit, which a plain read-modify-write would do sooner or later.
TEST(DeviceStatusTest, TwoThreadsNeverLoseEachOthersBits) {
    const auto record = NewRecord();
    MatchData& md = *record;
    DeviceStatusSet(md, 0x800000);
    constexpr int kRounds = 200000;
    int missed[2] = {0, 0};
    auto flip = [&md](int bit, int& miss) {
        for (int i = 0; i < kRounds; ++i) {
            DeviceStatusSet(md, bit);
            if ((DeviceStatusLoad(md) & bit) == 0) {
                ++miss;
            }
            DeviceStatusClear(md, bit);
            if ((DeviceStatusLoad(md) & bit) != 0) {
                ++miss;
            }
        }
        DeviceStatusSet(md, bit);
    };
    std::thread a(flip, 0x2, std::ref(missed[0]));
    std::thread b(flip, 0x10, std::ref(missed[1]));
    a.join();
    b.join();
    EXPECT_EQ(missed[0], 0);
    EXPECT_EQ(missed[1], 0);
    EXPECT_EQ(DeviceStatusLoad(md), 0x800000 | 0x2 | 0x10);
}

} // namespace
