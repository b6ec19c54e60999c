// The video-replay system's decision text.
#include "match/VideoReplayRules.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    VideoReplayRules::ParseDecision(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    return 0;
}
