// The frame that travels both ways between the computer and the USB receiver, and the byte-wise parser
// that finds complete frames in the received stream.
//
//   STX 0x02 | type | command | length N | N payload bytes | checksum = XOR of type..last payload byte
#pragma once

#include "platform/WinTypes.h"

#include <cstring>

inline constexpr BYTE kFrameStx = 0x02;
inline constexpr BYTE kFrameTypeCommand = 0x01; // computer to receiver
inline constexpr BYTE kFrameTypeReport = 0x10;  // a device report forwarded by the receiver
inline constexpr BYTE kFrameTypeReply = 0x11;   // the receiver's answer to a command
inline constexpr BYTE kDeviceReportCommand = 0x19;

inline constexpr int kFrameOverhead = 5;     // STX, type, command, length, checksum
inline constexpr int kFrameBufferSize = 128; // what the parser and the frame copy hold
inline constexpr int kFrameMaxPayload = kFrameBufferSize - kFrameOverhead; // 123
inline constexpr int kCommandBufferSize = 256; // the writer's buffer: room for 31 addresses of command 40
inline constexpr int kCommandMaxPayload = kCommandBufferSize - kFrameOverhead;
// At 230400 baud a whole frame takes under 6 ms: a partial frame older than this was begun by noise (a
// stray STX with a bogus length byte) and is dropped, so the good frame behind it is not held back until
// more bytes arrive.
inline constexpr DWORD kPartialFrameTimeoutMs = 30;

// XOR of bytes 1 .. 3+N of a frame whose length byte (offset 3) is N. Any thread.
inline BYTE FrameChecksum(const BYTE* frame, int payloadLength) {
    BYTE sum = 0;
    for (int i = 1; i < 4 + payloadLength; ++i)
        sum ^= frame[i];
    return sum;
}

// Builds a frame into out (at least N+5 bytes) and returns its length N+5, or 0 when N is negative or
// above kCommandMaxPayload. Any thread.
int BuildFrame(BYTE* out, BYTE type, BYTE command, const BYTE* payload, int payloadLength);

// One complete, checksum-valid frame. The bytes after `length` are zero, so a reader that looks past a
// short payload finds zeros, never the bytes of an earlier frame; still check PayloadLength() first.
struct ReceiverFrame {
    BYTE bytes[kFrameBufferSize] = {};
    int length = 0; // N+5

    BYTE Type() const { return bytes[1]; }
    BYTE Command() const { return bytes[2]; }
    int PayloadLength() const { return bytes[3]; }
    const BYTE* Payload() const { return bytes + 4; }
};

// Finds frames in a byte stream fed in pieces of any size. A frame with an unknown type byte, a length byte
// above kFrameMaxPayload or a bad checksum is dropped and the bytes after its STX are scanned again for the
// next STX, so a stray 0x02 in noise cannot swallow the good frame that follows it. A partial frame begun
// more than kPartialFrameTimeoutMs before is dropped the same way (Expire, or the next timed Feed). Not
// thread-safe: the receive thread owns its parser.
class ReceiverFrameParser {
public:
    // Feeds count bytes; calls onFrame(const ReceiverFrame&) once for every complete valid frame, in order,
    // before Feed returns. The frame reference is valid during the call only.
    template <class Sink> void Feed(const BYTE* bytes, int count, Sink&& onFrame) {
        for (int i = 0; i < count; ++i)
            Step(bytes[i], onFrame);
    }
    // The same for bytes that arrived at `now` (GetTickCount): a partial frame that timed out before them
    // is dropped first.
    template <class Sink> void Feed(const BYTE* bytes, int count, DWORD now, Sink&& onFrame) {
        Expire(now, onFrame);
        m_now = now;
        Feed(bytes, count, onFrame);
    }
    // Drops a partial frame begun more than kPartialFrameTimeoutMs before `now` and scans its bytes after
    // the STX again; what they hold is as old as the frame, so a partial frame among them goes too.
    template <class Sink> void Expire(DWORD now, Sink&& onFrame) {
        while (m_state != kHunt && now - m_startedAt > kPartialFrameTimeoutMs) {
            m_now = m_startedAt;
            Rescan(onFrame);
        }
        m_now = now;
    }
    // A frame is partly received: the reader should come back within kPartialFrameTimeoutMs.
    bool HoldsPartialFrame() const { return m_state != kHunt; }
    // The reader waits on the line again at `now`, after handing over the frames of the bytes last fed. The
    // rest of a partial frame may have arrived meanwhile, so its time-out counts only the time spent waiting
    // on the line, not the hand-over.
    void ReaderBack(DWORD now) {
        if (m_state != kHunt)
            m_startedAt += now - m_now;
        m_now = now;
    }

    // Forgets a partly received frame (after the link was re-opened).
    void Reset() {
        m_state = kHunt;
        m_held = 0;
    }

    // The last valid frame handed out (zero-filled before the first).
    const ReceiverFrame& LastFrame() const { return m_frame; }

private:
    enum State : BYTE { kHunt, kType, kCommand, kLength, kPayload, kChecksum };

    template <class Sink> void Step(BYTE b, Sink& onFrame) {
        switch (m_state) {
        case kHunt:
            if (b == kFrameStx) {
                m_rx[0] = b;
                m_held = 1;
                m_state = kType;
                m_startedAt = m_now;
            }
            return;
        case kType:
            m_rx[m_held++] = b;
            if (b != kFrameTypeCommand && b != kFrameTypeReport && b != kFrameTypeReply)
                return Rescan(onFrame);
            m_sum = b;
            m_state = kCommand;
            return;
        case kCommand:
            m_rx[m_held++] = b;
            m_sum ^= b;
            m_state = kLength;
            return;
        case kLength:
            m_rx[m_held++] = b;
            m_sum ^= b;
            if (b > kFrameMaxPayload)
                return Rescan(onFrame);
            m_need = b;
            m_state = b == 0 ? kChecksum : kPayload;
            return;
        case kPayload:
            m_rx[m_held++] = b;
            m_sum ^= b;
            if (--m_need == 0)
                m_state = kChecksum;
            return;
        case kChecksum:
            m_rx[m_held++] = b;
            if (b != m_sum)
                return Rescan(onFrame);
            std::memcpy(m_frame.bytes, m_rx, m_held);
            std::memset(m_frame.bytes + m_held, 0, kFrameBufferSize - m_held);
            m_frame.length = m_held;
            m_state = kHunt;
            m_held = 0;
            onFrame(static_cast<const ReceiverFrame&>(m_frame));
            return;
        }
        Reset(); // an unknown state value
    }

    // Drops the held frame and feeds its bytes after the STX again; each replay is shorter than the
    // frame it came from, so the nesting is bounded by the buffer size.
    template <class Sink> void Rescan(Sink& onFrame) {
        BYTE replay[kFrameBufferSize];
        const int n = m_held - 1;
        std::memcpy(replay, m_rx + 1, n);
        Reset();
        for (int i = 0; i < n; ++i)
            Step(replay[i], onFrame);
    }

    BYTE m_rx[kFrameBufferSize] = {}; // the frame being assembled
    ReceiverFrame m_frame;            // copy of the last valid frame
    int m_held = 0;                   // bytes of m_rx in use
    int m_need = 0;                   // payload bytes still to come
    BYTE m_sum = 0;                   // running checksum
    State m_state = kHunt;
    DWORD m_now = 0;       // arrival time of the bytes being fed
    DWORD m_startedAt = 0; // arrival time of the held frame's STX
};
