// The frames of a wired judge device, both ways: 55 55, type, payload length N (1..122 here), N payload
// bytes, AA AA; no checksum. Received: type 1 a value report (payload byte 1 the value), type 3 a press
// (payload bytes 0 and 1 the Chung and Hong button codes). Sent: type 2, the side that scored.
#pragma once

#include "platform/WinTypes.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace JudgeFrame {

constexpr std::size_t kBufferSize = 128;             // a frame with its framing bytes
constexpr std::size_t kMaxPayload = kBufferSize - 6; // a longer length byte is not a frame of ours
using Frame = std::array<BYTE, kBufferSize>;

// The 7 bytes that tell a judge device which side scored (0 Chung, 1 Hong).
std::array<BYTE, 7> SideFrame(int side);

// What a received frame gives the operator view: the message and its text ("%d" or "%d,%d").
struct Message {
    UINT message;
    std::string text;
};
// nullopt for a type the view does not take or a payload too short for its type.
std::optional<Message> MessageOf(const Frame& frame);

// Cuts frames out of a byte stream, any number of bytes at a time. A frame that breaks its framing is
// dropped and the search starts again at the byte that broke it, so a frame right behind a broken one, or
// behind extra 55 bytes, is still found.
class Parser {
public:
    // Calls onFrame(const Frame&) for each complete frame, in order.
    template <typename F> void Feed(const BYTE* bytes, std::size_t count, F&& onFrame) {
        for (std::size_t i = 0; i < count; ++i)
            if (Step(bytes[i]))
                onFrame(m_frame);
    }
    void Reset() { m_state = 0; }

private:
    bool Step(BYTE byte); // true when the byte completed a frame
    Frame m_frame{};
    std::size_t m_length = 0;
    std::size_t m_count = 0;
    int m_state = 0;
};

} // namespace JudgeFrame
