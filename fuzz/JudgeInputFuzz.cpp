// The judges' input as it reaches the program: a wired judge device's byte stream (frames cut out, each
// turned into the view's message text) or a press text from the receiver's dispatch. Every press text is
// then decoded and classed as the judges' windows class it. The first byte chooses the stream or the text.
#include "devices/JudgeFrame.h"
#include "fuzz/FuzzSupport.h"
#include "match/JudgeRules.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void ClassPress(const std::string& text) {
    const JudgeRules::Press press = JudgeRules::ParsePress(text);
    const MatchData& md = *g_pMatchData;
    for (const int code : {press.chung, press.hong}) {
        JudgeRules::IsSideCode(0, code);
        JudgeRules::IsSideCode(1, code);
        JudgeRules::PointValueOfKind(md, code);
        JudgeRules::LoggingCode(code);
        JudgeRules::ClassOf(md, code);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Start();
    if (size == 0)
        return 0;
    if (data[0] & 1) {
        ClassPress(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
        return 0;
    }
    // The stream arrives in reads of any length; the second byte sets the read size.
    JudgeFrame::Parser parser;
    const std::size_t chunk = size > 1 ? data[1] % 16 + 1 : 1;
    for (std::size_t at = 2; at < size; at += chunk) {
        const std::size_t count = std::min(chunk, size - at);
        parser.Feed(data + at, count, [](const JudgeFrame::Frame& frame) {
            if (const auto message = JudgeFrame::MessageOf(frame))
                ClassPress(message->text);
        });
    }
    return 0;
}
