// The registration's "time,round" text.
#include "match/NewMatch.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NewMatch::ParseRoundAndTime(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
