// A match list of the WT JSON API, read as the individual and the team dialog read it, with and without a
// match number.
#include "fuzz/FuzzSupport.h"
#include "links/WtMatchImport.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Start();
    g_pMatchData->nCourtNo = 3;
    const std::string_view document(reinterpret_cast<const char*>(data), size);
    for (const bool team : {false, true})
        for (const bool byNumber : {false, true})
            WtMatchImport::Load(*g_pMatchData, document, byNumber, "105", team);
    return 0;
}
