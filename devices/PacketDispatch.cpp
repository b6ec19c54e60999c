#include "devices/PacketDispatch.h"

#include "devices/ReceiverFrame.h"
#include "platform/DebugOutput.h"

// The device reports and replies are not acted on yet; the debug output shows what arrived.
void DispatchDeviceReport(TTK_Receiver&, const ReceiverFrame& frame) {
    DebugPrintf("receiver frame type %02X command %02X, %d payload bytes, not handled", frame.Type(),
                frame.Command(), frame.PayloadLength());
}
