#include "devices/JudgeFrame.h"

#include "app/Messages.h"

namespace JudgeFrame {

namespace {

constexpr BYTE kStart = 0x55;
constexpr BYTE kEnd = 0xAA;

} // namespace

std::array<BYTE, 7> SideFrame(int side) {
    return {kStart, kStart, 0x02, 0x01, static_cast<BYTE>(side == 1 ? 1 : 0), kEnd, kEnd};
}

std::optional<Message> MessageOf(const Frame& frame) {
    if (frame[0] != kStart || frame[1] != kStart)
        return std::nullopt;
    const BYTE type = frame[2];
    const std::size_t length = frame[3];
    const BYTE* payload = frame.data() + 4;
    if (type == 1 && length >= 2)
        return Message{UM_WIRED_JUDGE_VALUE, std::to_string(payload[1])};
    if (type == 3 && length >= 2)
        return Message{UM_WIRED_JUDGE_INPUT, std::to_string(payload[0]) + "," + std::to_string(payload[1])};
    return std::nullopt;
}

bool Parser::Step(BYTE byte) {
    switch (m_state) {
    case 0:
        if (byte == kStart) {
            m_frame.fill(0);
            m_frame[0] = byte;
            m_state = 1;
        }
        return false;
    case 1:
        m_state = byte == kStart ? 2 : 0;
        if (m_state == 2)
            m_frame[1] = byte;
        return false;
    case 2:
        // No type is 55: more start bytes only lengthen the start.
        if (byte != kStart) {
            m_frame[2] = byte;
            m_state = 3;
        }
        return false;
    case 3:
        if (byte == 0 || byte > kMaxPayload) {
            m_state = 0;
            return false;
        }
        m_frame[3] = byte;
        m_length = byte;
        m_count = 0;
        m_state = 4;
        return false;
    case 4:
        m_frame[4 + m_count++] = byte;
        if (m_count == m_length)
            m_state = 5;
        return false;
    case 5:
    case 6:
        if (byte != kEnd) {
            // The byte that broke the frame may begin the next one.
            m_state = 0;
            return Step(byte);
        }
        m_frame[4 + m_length + (m_state - 5)] = byte;
        m_state = m_state == 5 ? 6 : 0;
        return m_state == 0;
    default:
        m_state = 0;
        return false;
    }
}

} // namespace JudgeFrame
