// WeightDiv.ini as found on the disk (the factory file holds the same bytes): loaded, looked up, freed.
#include "app/WeightDivisions.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Start();
    fuzz::WriteHomeFile("ini/WeightDiv.ini", data, size);
    fuzz::WriteHomeFile("ini/WeightDiv_init.ini", data, size);
    MatchData& md = *g_pMatchData;
    LoadWeightDivisions(md);
    const int division = SelectedDivision(md);
    const int weight = SelectedWeight(md);
    WeightClassText(md, WeightText::Name, SelectedGender(md), division, weight);
    for (int table = 0; table < 12; ++table)
        LevelEntry(md, table, division, weight);
    FreeWeightDivisions(md);
    return 0;
}
