#include "devices/ReceiverFrame.h"

int BuildFrame(BYTE* out, BYTE type, BYTE command, const BYTE* payload, int payloadLength) {
    if (payloadLength < 0 || payloadLength > kCommandMaxPayload)
        return 0;
    out[0] = kFrameStx;
    out[1] = type;
    out[2] = command;
    out[3] = static_cast<BYTE>(payloadLength);
    if (payloadLength > 0)
        std::memcpy(out + 4, payload, payloadLength);
    out[4 + payloadLength] = FrameChecksum(out, payloadLength);
    return payloadLength + kFrameOverhead;
}
