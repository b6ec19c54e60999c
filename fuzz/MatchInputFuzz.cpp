// A match-input file as the results system leaves it, read and applied to the match record.
#include "fuzz/FuzzSupport.h"
#include "links/MatchInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Start();
    fuzz::WriteHomeFile("ini/A-0012.ini", data, size);
    if (ReadMatchInputFile(AppPath(u"ini/A-0012.ini")) == 1)
        ApplyMatchInput(*g_pMatchData, g_MatchInput);
    return 0;
}
