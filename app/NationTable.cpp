#include "app/NationTable.h"

#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "platform/CodePage.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Copies at most size - 1 units and terminates; a cut never leaves half of a surrogate pair.
template <size_t Size> void CopyBounded(WCHAR (&out)[Size], std::u16string_view text) {
    size_t n = std::min(text.size(), Size - 1);
    if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF)
        --n;
    std::memcpy(out, text.data(), n * sizeof(WCHAR));
    out[n] = 0;
}

void StoreRow(TTK_Nation& row, std::string_view line) {
    for (auto& field : row.wszField) {
        const size_t comma = line.find(',');
        CopyBounded(field, MultiByteToWide(line.substr(0, comma), CP_UTF8));
        line = comma == line.npos ? std::string_view() : line.substr(comma + 1);
    }
}

void StoreProgramFolder(MatchData& md) {
    const std::string folder = WideToMultiByte(g_strAppDir, CP_ACP);
    // A cut path would name another folder; an empty one is at least recognisably unset.
    if (folder.size() >= sizeof(md.szAppDirA)) {
        DebugPrintf("program folder path is longer than %zu bytes: %s", sizeof(md.szAppDirA) - 1,
                    folder.c_str());
        md.szAppDirA[0] = 0;
        return;
    }
    std::memcpy(md.szAppDirA, folder.c_str(), folder.size() + 1);
}

} // namespace

bool LoadNationTable(MatchData& md) {
    StoreProgramFolder(md);

    const std::filesystem::path path(AppPath(u"Cfg/nation.csv"));
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        DebugPrintf("cannot open %s; the nation table stays as it is", path.string().c_str());
        return false;
    }
    // Every line is read before the table changes, so a read error leaves it as it was.
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < kNationRows && std::getline(in, line))
        lines.push_back(std::move(line));
    const bool more = lines.size() == kNationRows && std::getline(in, line);
    if (in.bad()) {
        DebugPrintf("cannot read %s; the nation table stays as it is", path.string().c_str());
        return false;
    }
    if (more)
        DebugPrintf("%s has more than %d lines; the rest is ignored", path.string().c_str(), kNationRows);

    const int rows = static_cast<int>(lines.size());
    for (int i = 0; i < rows; ++i) {
        std::string_view text(lines[i]);
        if (i == 0 && text.starts_with(kUtf8Bom))
            text.remove_prefix(kUtf8Bom.size());
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        StoreRow(md.aNation[i], text);
    }
    for (int i = rows; i < kNationRows; ++i)
        md.aNation[i] = TTK_Nation{};
    md.nNationCount = rows;
    return true;
}
