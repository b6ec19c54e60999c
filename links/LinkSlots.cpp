#include "links/LinkSlots.h"

#include "app/MatchData.h"
#include "platform/CodePage.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

int SystemOfId(long id, int base, int systems) {
    const long system = id - base;
    return system >= 0 && system < systems ? static_cast<int>(system) : -1;
}

bool IsReplyEnd(char c) {
    return c == '\x03' || c == '\x04';
}

} // namespace

int SystemOfTcpLinkId(long id) {
    return SystemOfId(id, kTcpLinkIdBase, LINK_PREREG + 1);
}

int SystemOfUdpLinkId(long id) {
    return SystemOfId(id, kUdpLinkIdBase, LINK_TVG + 1);
}

LinkSlot SlotOf(MatchData& md, int system) {
    switch (system) {
    case LINK_OVR:
        return {&md.pOvrLink, &md.bOvrConnected, md.nOvrCommType};
    case LINK_IVR:
        return {&md.pIvrLink, &md.bIvrConnected, md.nIvrCommType};
    case LINK_TVG:
        return {&md.pTvgLink, &md.bTvgConnected, md.nTvgCommType};
    case LINK_PREREG:
        return {&md.pPreRegLink, &md.bPreRegConnected, COMM_TCP};
    default:
        assert(system == LINK_ST);
        return {&md.pStLink, &md.bStConnected, COMM_SERIAL};
    }
}

bool SlotUp(const LinkSlot& slot) {
    return *slot.handle && *slot.connected;
}

bool SlotConnecting(const LinkSlot& slot) {
    return *slot.handle && !*slot.connected && CommTypeOf(*slot.handle) == COMM_TCP;
}

void CloseSlot(const LinkSlot& slot) {
    if (*slot.handle)
        CommClose(CommTypeOf(*slot.handle), *slot.handle);
    *slot.handle = nullptr;
    *slot.connected = 0;
}

TTK_CommParam SerialParamFrom(const TTK_LinkCfg& cfg) {
    TTK_CommParam p{};
    const std::u16string_view port(cfg.wszComPort,
                                   std::find(cfg.wszComPort, cfg.wszComPort + 259, u'\0') - cfg.wszComPort);
    const std::string narrow = WideToMultiByte(port, CP_ACP);
    std::memcpy(p.szPort, narrow.data(), std::min(narrow.size(), sizeof p.szPort - 1));
    p.nBaud = cfg.nBaudrate;
    p.nDataBits = cfg.nDataBits + 5;
    p.nStopBits = cfg.nStopBits == 1 ? 2 : 0;
    p.nParity = cfg.nParity;
    return p;
}

TTK_CommParam TcpParamFrom(DWORD ip, int port, int id) {
    TTK_CommParam p{};
    p.dwTcpIp = ip;
    p.nTcpPort = port;
    p.nTcpId = id;
    return p;
}

TTK_CommParam UdpParamFrom(const TTK_LinkCfg& cfg, int id) {
    TTK_CommParam p{};
    p.dwUdpIp = cfg.dwUdpIp;
    p.nUdpTx = cfg.nUdpTx;
    p.nUdpRx = cfg.nUdpRx;
    p.nUdpId = id;
    return p;
}

void StoreReply(char (&buffer)[1024], int& overflow, const char* data, int n) {
    constexpr std::size_t kRoom = sizeof buffer - 1;
    const std::size_t count = data && n > 0 ? static_cast<std::size_t>(n) : 0;
    std::size_t kept = strnlen(buffer, kRoom);
    const auto complete = [&] { return kept > 0 && IsReplyEnd(buffer[kept - 1]); };
    if (count == 0 && complete())
        kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = data[i];
        if (overflow == ReplyDropping) {
            if (IsReplyEnd(c))
                overflow = ReplyTooLong;
            continue;
        }
        if (complete() || overflow == ReplyTooLong) {
            kept = 0;
            overflow = ReplyFits;
        }
        if (kept == kRoom) {
            DebugPrintf("a reply of more than %zu bytes was dropped", kRoom);
            kept = 0;
            overflow = IsReplyEnd(c) ? ReplyTooLong : ReplyDropping;
            continue;
        }
        buffer[kept++] = c;
    }
    std::memset(buffer + kept, 0, sizeof buffer - kept);
}
