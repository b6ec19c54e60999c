// Cfg/nation.csv as found on the disk.
#include "app/NationTable.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Start();
    fuzz::WriteHomeFile("Cfg/nation.csv", data, size);
    LoadNationTable(*g_pMatchData);
    return 0;
}
