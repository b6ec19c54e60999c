// Bytes from the USB receiver: the frame parser finds frames in them and every valid frame is dispatched
// (device reports, replies, pairing) against a device table of protectors and judge devices. The first
// byte chooses the match kind, eSocks and the receiver's state; the rest is the stream.
#include "app/Network.h"
#include "devices/PacketDispatch.h"
#include "devices/Receiver.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>
#include <mutex>

namespace {

TTK_Network Entry(const char* name, BYTE kind, BYTE number, BYTE addressKind) {
    TTK_Network entry;
    entry.name = name;
    entry.kind = kind;
    entry.shortAddr[0] = 0x50;
    entry.shortAddr[1] = number;
    const BYTE address[8] = {0x00, 0x15, addressKind, 0xA0, 0x5E, 0x77, 0x50, number};
    std::memcpy(entry.devAddr, address, 8);
    return entry;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Start();
    if (size == 0)
        return 0;
    static TTK_Receiver receiver; // closed: what it would write goes nowhere
    receiver.pMatch = g_pMatchData;
    {
        std::lock_guard lock(g_networkLock);
        *g_pNetworkArr = {Entry("CV", 0x01, 1, 0),     Entry("CH", 0x03, 2, 1),    Entry("HV", 0x11, 3, 0),
                          Entry("HH", 0x13, 4, 1),     Entry("CV3", 0x01, 5, 0),   Entry("HH6", 0x13, 6, 1),
                          Entry("judge1", 0x21, 7, 0), Entry("judge3", 0x23, 8, 0)};
    }
    const std::uint8_t setup = data[0];
    SharedStore(g_pMatchData->nCompetitionType, setup & 1);
    SharedStore(g_pMatchData->bUseESocks, (setup >> 1) & 1);
    receiver.protocol.nState = kReceiverVersionSent + (setup >> 2) % 14;
    receiver.parser.Reset();
    receiver.parser.Feed(data + 1, static_cast<int>(size - 1),
                         [](const ReceiverFrame& frame) { DispatchDeviceReport(receiver, frame); });
    return 0;
}
