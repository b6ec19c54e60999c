#include "app/MatchData.h"
#include "app/DbTemp.h"
#include "app/Network.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>

MatchData* g_pMatchData = nullptr;
MatchData* g_pMatchSnapshot = nullptr;
int g_nMatchDataRef = 0;
std::vector<TTK_DbTemp>* g_pChungLog = nullptr;
std::vector<TTK_DbTemp>* g_pHongLog = nullptr;
std::vector<TTK_Network>* g_pNetworkArr = nullptr;

int CreateMatchData() {
    if (g_nMatchDataRef > 0) {
        ++g_nMatchDataRef;
        return 1;
    }
    // Everything is allocated before anything is published, so a failed allocation leaves no half record
    // and no count behind. MatchData() value-initialises: every field starts at 0, empty or null.
    auto record = std::make_unique<MatchData>();
    auto snapshot = std::make_unique<MatchData>();
    auto chungLog = std::make_unique<std::vector<TTK_DbTemp>>();
    auto hongLog = std::make_unique<std::vector<TTK_DbTemp>>();
    auto devices = std::make_unique<std::vector<TTK_Network>>();
    g_pMatchData = record.release();
    g_pMatchSnapshot = snapshot.release();
    g_pChungLog = chungLog.release();
    g_pHongLog = hongLog.release();
    g_pNetworkArr = devices.release();
    g_nMatchDataRef = 1;
    return 1;
}

int FreeMatchData() {
    if (g_nMatchDataRef <= 0) {
        return 0;
    }
    if (--g_nMatchDataRef > 0) {
        return 1;
    }
    delete g_pNetworkArr;
    g_pNetworkArr = nullptr;
    delete g_pChungLog;
    g_pChungLog = nullptr;
    delete g_pHongLog;
    g_pHongLog = nullptr;
    delete g_pMatchSnapshot;
    g_pMatchSnapshot = nullptr;
    delete g_pMatchData;
    g_pMatchData = nullptr;
    return 1;
}

namespace {

// Worker-written fields as runs of ints, in the record's order: copied atomically, the blocks between them
// plainly (the user-interface thread's own).
struct SharedRun {
    std::size_t offset;
    std::size_t count;
};
constexpr SharedRun kWorkerWritten[] = {
    {offsetof(MatchData, nDeviceStatus), 1},           {offsetof(MatchData, bReceiverOpen), 1},
    {offsetof(MatchData, nBodyBattery), kPlayerSlots}, {offsetof(MatchData, nHeadBattery), kPlayerSlots},
    {offsetof(MatchData, nJudgeBattery), kJudges},
};

constexpr bool RunsInOrder() {
    for (std::size_t i = 1; i < std::size(kWorkerWritten); ++i)
        if (kWorkerWritten[i].offset <
            kWorkerWritten[i - 1].offset + kWorkerWritten[i - 1].count * sizeof(int))
            return false;
    return true;
}
static_assert(RunsInOrder());

} // namespace

void TakeMatchSnapshot() {
    if (g_pMatchData == nullptr || g_pMatchSnapshot == nullptr) {
        return;
    }
    auto* dst = reinterpret_cast<unsigned char*>(g_pMatchSnapshot);
    auto* src = reinterpret_cast<unsigned char*>(g_pMatchData);
    std::size_t at = 0;
    for (const SharedRun& run : kWorkerWritten) {
        std::memcpy(dst + at, src + at, run.offset - at);
        auto* from = reinterpret_cast<int*>(src + run.offset);
        auto* to = reinterpret_cast<int*>(dst + run.offset);
        for (std::size_t i = 0; i < run.count; ++i)
            to[i] = SharedLoad(from[i]);
        at = run.offset + run.count * sizeof(int);
    }
    std::memcpy(dst + at, src + at, sizeof(MatchData) - at);
}

namespace {

// Team members per side whose protectors must be registered. Type 3 has no count of its own; it shows six
// members in the registration dialog, so all six (every player slot) are checked rather than none.
int TeamMembersToCheck(int teamType) {
    switch (teamType) {
    case 0:
        return 3;
    case 1:
    case 2:
        return 4;
    default:
        return kPlayerSlots / 2;
    }
}

} // namespace

BOOL CheckDevicesRegistered(const MatchData& md) {
    const int members = md.nCompetitionType == 1 ? TeamMembersToCheck(md.nTeamType) : 1;
    const bool needBody = md.nPSSType == 1 || md.nPSSType == 2;
    const bool needHead = md.nPSSType == 2;
    for (int slot = 0; slot < 2 * members; ++slot) {
        if ((needBody && !md.bRegBody[slot]) || (needHead && !md.bRegHead[slot])) {
            return FALSE;
        }
    }
    const int judges = std::clamp(md.nJudgeNumber, 0, kJudges);
    for (int judge = 0; judge < judges; ++judge) {
        if (!md.bJudgeWired[judge]) {
            return FALSE;
        }
    }
    return TRUE;
}

void DeviceStatusSet(MatchData& md, int bits) {
    std::atomic_ref<int>(md.nDeviceStatus).fetch_or(bits);
}

void DeviceStatusClear(MatchData& md, int bits) {
    std::atomic_ref<int>(md.nDeviceStatus).fetch_and(~bits);
}

int DeviceStatusLoad(const MatchData& md) {
    // atomic_ref needs a non-const object; the record itself is never const, only this view of it.
    return std::atomic_ref<int>(const_cast<int&>(md.nDeviceStatus)).load();
}
