// A protector hit text as the dispatch or the simulator hands it to the view: read at the border, then
// its level and contact. The first byte says trunk or head gear.
#include "match/HitRules.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool trunk = data[0] & 1;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1); // NUL-terminated copy
    if (const auto hit = HitRules::ParseHitText(text.c_str(), trunk)) {
        HitRules::Admitted(HitRules::TrunkLevel(hit->raw, true), 3, 1000);
        HitRules::Admitted(HitRules::TrunkLevel(hit->raw, false), 3, 1000);
        HitRules::ContactOf(hit->sensor);
    }
    return 0;
}
