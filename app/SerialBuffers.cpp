#include "app/SerialBuffers.h"

#include "platform/DebugOutput.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

bool ValidLink(int link) {
    if (link >= 0 && link < SerialBuffers::kLinks)
        return true;
    assert(!"serial receive buffer of an unknown link");
    DebugPrintf("serial receive buffer %d does not exist; ignored", link);
    return false;
}

} // namespace

int SerialBuffers::Append(int link, const char* data, int count) {
    if (!ValidLink(link) || data == nullptr || count <= 0)
        return 0;
    TTK_SerialRecv& recv = m_recv[link];
    const char* end = std::find(data, data + count, '\0');
    const int kept = std::min(static_cast<int>(end - data), kCapacity - recv.nLen);
    std::memcpy(recv.szData + recv.nLen, data, kept);
    recv.nLen += kept;
    recv.szData[recv.nLen] = '\0';
    return kept;
}

void SerialBuffers::FlushTick(int link) {
    if (!ValidLink(link))
        return;
    TTK_SerialRecv& recv = m_recv[link];
    if (recv.nLen != recv.nLenSeen) {
        recv.nLenSeen = recv.nLen;
        return;
    }
    // Seen empty as well: otherwise bytes arriving right after the flush, as many as were dropped, would
    // look unchanged at the next tick and go before their link had been quiet for a whole tick.
    recv = {};
}

const TTK_SerialRecv& SerialBuffers::operator[](int link) const {
    static const TTK_SerialRecv none = {};
    return ValidLink(link) ? m_recv[link] : none;
}
