#include "app/WeightDivisions.h"

#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "platform/CodePage.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace {

constexpr const WCHAR* kFile = u"WeightDiv.ini";
constexpr const WCHAR* kFactoryFile = u"WeightDiv_init.ini";
constexpr const WCHAR* kGenderSuffix[2] = {u"_Male", u"_Female"};
constexpr const WCHAR* kLevelKey[3] = {u"Level_Body_", u"Level_Head_", u"Level_Punch_"};
constexpr int kFactoryTables = 6; // pLevelTable[6..11] hold the factory copies of [0..5]

std::u16string Numbered(std::u16string_view prefix, int n) {
    std::u16string key(prefix);
    for (char c : std::to_string(n))
        key += static_cast<WCHAR>(c);
    return key;
}

int CountRead(const WCHAR* section, const WCHAR* key, int max) {
    const int read = ReadIniInt(section, key, kFile);
    const int count = std::clamp(read, 0, max);
    if (count != read) {
        DebugPrintf("WeightDiv.ini [%s] %s=%d is out of 0..%d, using %d",
                    WideToMultiByte(section, CP_UTF8).c_str(), WideToMultiByte(key, CP_UTF8).c_str(), read,
                    max, count);
    }
    return count;
}

template <class T> void FreeRows(T**& table, int rows) {
    if (table == nullptr)
        return;
    for (int d = 0; d < rows; ++d)
        delete[] table[d];
    delete[] table;
    table = nullptr;
}

void LoadGender(MatchData& md, int gender, int d, int classes) {
    const std::u16string section = std::u16string(md.pDivisionName[d]) + kGenderSuffix[gender];
    WideText* names = md.pClassName[gender][d] = new WideText[classes]();
    WideText* kg = md.pClassKg[gender][d] = new WideText[classes]();
    WideText* lb = md.pClassLb[gender][d] = new WideText[classes]();
    int* levels[3];
    int* factory[3];
    for (int l = 0; l < 3; ++l) {
        levels[l] = md.pLevelTable[gender * 3 + l][d] = new int[classes]();
        factory[l] = md.pLevelTable[kFactoryTables + gender * 3 + l][d] = new int[classes]();
    }
    for (int k = 0; k < classes; ++k) {
        ReadIniString(section.c_str(), Numbered(u"Cat_Name_", k).c_str(), names[k], kFile);
        ReadIniString(section.c_str(), Numbered(u"Cat_kg_", k).c_str(), kg[k], kFile);
        ReadIniString(section.c_str(), Numbered(u"Cat_lb_", k).c_str(), lb[k], kFile);
        for (int l = 0; l < 3; ++l) {
            const std::u16string key = Numbered(kLevelKey[l], k);
            levels[l][k] = ReadIniInt(section.c_str(), key.c_str(), kFile);
            factory[l][k] = ReadIniInt(section.c_str(), key.c_str(), kFactoryFile);
        }
    }
}

bool HasDivision(const MatchData& md, int division) {
    return md.pClassCount != nullptr && division >= 0 && division < md.nDivisionCount;
}

bool HasClass(const MatchData& md, int division, int weightClass) {
    return weightClass >= 0 && weightClass < WeightClassCount(md, division);
}

} // namespace

void LoadWeightDivisions(MatchData& md) {
    FreeWeightDivisions(md);

    const int count = CountRead(u"Division", u"Number", kMaxDivisions);
    md.nCurDivision = ReadIniInt(u"Division", u"Current_Division", kFile);
    if (md.nCurDivision > count)
        md.nCurDivision = 0;
    md.nCurGender = ReadIniInt(u"Division", u"Current_Gender", kFile);
    md.nCurWeight = ReadIniInt(u"Division", u"Current_Weight", kFile);
    md.nCurPhase = ReadIniInt(u"Division", u"Current_Phase", kFile);

    // The row arrays exist, zero-filled, before the count is set, so FreeWeightDivisions can release a load
    // that stopped half-way.
    md.pClassCount = new int[count]();
    md.pDivisionName = new WideText[count]();
    for (int g = 0; g < 2; ++g) {
        md.pClassName[g] = new WideText*[count]();
        md.pClassKg[g] = new WideText*[count]();
        md.pClassLb[g] = new WideText*[count]();
    }
    for (auto& table : md.pLevelTable)
        table = new int*[count]();
    md.nDivisionCount = count;

    for (int d = 0; d < count; ++d) {
        ReadIniString(u"Division", Numbered(u"Name_", d).c_str(), md.pDivisionName[d], kFile);
        const std::u16string male = std::u16string(md.pDivisionName[d]) + kGenderSuffix[0];
        md.pClassCount[d] = CountRead(male.c_str(), u"Cat_Number", kMaxWeightClasses);
        for (int g = 0; g < 2; ++g)
            LoadGender(md, g, d, md.pClassCount[d]);
    }
}

void FreeWeightDivisions(MatchData& md) {
    const int rows = md.pClassCount != nullptr ? md.nDivisionCount : 0;
    for (int g = 0; g < 2; ++g) {
        FreeRows(md.pClassName[g], rows);
        FreeRows(md.pClassKg[g], rows);
        FreeRows(md.pClassLb[g], rows);
    }
    for (auto& table : md.pLevelTable)
        FreeRows(table, rows);
    delete[] md.pClassCount;
    md.pClassCount = nullptr;
    delete[] md.pDivisionName;
    md.pDivisionName = nullptr;
    md.nDivisionCount = 0;
}

int WeightClassCount(const MatchData& md, int division) {
    return HasDivision(md, division) ? md.pClassCount[division] : 0;
}

const WCHAR* DivisionName(const MatchData& md, int division) {
    return HasDivision(md, division) && md.pDivisionName != nullptr ? md.pDivisionName[division] : nullptr;
}

const WCHAR* WeightClassText(const MatchData& md, WeightText text, int gender, int division,
                             int weightClass) {
    if (gender < 0 || gender > 1 || !HasClass(md, division, weightClass))
        return nullptr;
    WideText** const table = text == WeightText::Name ? md.pClassName[gender]
                             : text == WeightText::Kg ? md.pClassKg[gender]
                                                      : md.pClassLb[gender];
    if (table == nullptr || table[division] == nullptr)
        return nullptr;
    return table[division][weightClass];
}

int* LevelEntry(MatchData& md, int table, int division, int weightClass) {
    if (table < 0 || table >= static_cast<int>(std::size(md.pLevelTable)) ||
        !HasClass(md, division, weightClass))
        return nullptr;
    int** const rows = md.pLevelTable[table];
    if (rows == nullptr || rows[division] == nullptr)
        return nullptr;
    return &rows[division][weightClass];
}

int SelectedDivision(const MatchData& md) {
    if (md.nDivisionCount <= 0 || md.pClassCount == nullptr)
        return -1;
    return HasDivision(md, md.nCurDivision) ? md.nCurDivision : 0;
}

int SelectedGender(const MatchData& md) {
    return md.nCurGender == 1 ? 1 : 0;
}

int SelectedWeight(const MatchData& md) {
    const int division = SelectedDivision(md);
    if (division < 0 || WeightClassCount(md, division) == 0)
        return -1;
    return HasClass(md, division, md.nCurWeight) ? md.nCurWeight : 0;
}
