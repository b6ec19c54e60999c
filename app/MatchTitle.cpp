#include "app/MatchTitle.h"

#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/TextConvert.h"

#include <cassert>
#include <charconv>
#include <string_view>

namespace {

constexpr int kSupplierWt = 8; // the WT JSON interface

bool ovrConnected(const MatchData& md, int supplier) {
    return md.bOvrConnected && md.nOvrSupplier == supplier;
}

std::u16string joined(std::initializer_list<std::u16string_view> parts) {
    std::u16string text;
    bool first = true;
    for (const auto part : parts) {
        if (!first)
            text += u' ';
        text += part;
        first = false;
    }
    return text;
}

// The number at the start of the phase text, as atoi reads it; 0 when there is none or it does not fit.
int phaseNumber(std::string_view phase) {
    const auto start = phase.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string_view::npos)
        return 0;
    phase.remove_prefix(start);
    if (phase.starts_with('+'))
        phase.remove_prefix(1);
    int n = 0;
    const auto result = std::from_chars(phase.data(), phase.data() + phase.size(), n);
    return result.ec == std::errc() ? n : 0;
}

// Supplier 3 sends the phase as the number of contestants left.
std::u16string phaseName(int contestants) {
    switch (contestants) {
    case 0:
        return {};
    case 2:
        return u"Final";
    case 4:
        return u"Semi-final";
    case 8:
        return u"Quater-final";
    default: {
        const std::string digits = std::to_string(contestants);
        return u"Round of " + std::u16string(digits.begin(), digits.end());
    }
    }
}

// The weight text with the gender letter put in after its first blank (after its first character when it
// has none), e.g. "-58 kg" and "W" give "-58 Wkg". Works on the whole text, whatever its length.
std::u16string weightWithGender(std::u16string weight, std::u16string_view gender) {
    if (gender.empty() || weight.empty())
        return weight;
    std::size_t at = weight.find(u' ');
    if (at == std::u16string::npos) {
        const bool pair = weight.size() > 1 && weight[0] >= 0xD800 && weight[0] <= 0xDBFF &&
                          weight[1] >= 0xDC00 && weight[1] <= 0xDFFF;
        at = pair ? 2 : 1; // never between the halves of a surrogate pair
    } else {
        at += 1;
    }
    weight.insert(at, 1, gender.front());
    return weight;
}

} // namespace

std::u16string MatchGenderText(const MatchData& md) {
    const std::string_view gender = FieldText(md.szGender);
    if (gender.empty() || ovrConnected(md, 3) || ovrConnected(md, 7))
        return {};
    const bool female = gender.find('F') != std::string_view::npos;
    if (md.nCompetitionType == 1) {
        if (gender.find('x') != std::string_view::npos)
            return u"Mixed";
        return female ? u"Female" : u"Male";
    }
    return female ? u"W" : u"M";
}

MatchTitle ComposeMatchTitle(const MatchData& md) {
    const std::u16string phase = RecordTextWide(FieldText(md.szPhase));
    const std::u16string weightClass = RecordTextWide(FieldText(md.szWeightClass));
    const std::u16string weight = RecordTextWide(FieldText(md.szWeight));

    if (md.nCompetitionType == 2) {
        if (ovrConnected(md, kSupplierWt))
            return {joined({phase, weightClass, weight}), {}};
        if (weight.empty())
            return {};
        std::u16string marked = weightWithGender(weight, MatchGenderText(md));
        return {joined({phase, weightClass, marked}), std::move(marked)};
    }
    if (ovrConnected(md, 3))
        return {joined({phaseName(phaseNumber(FieldText(md.szPhase))), weightClass, weight}), weight};
    if (ovrConnected(md, kSupplierWt))
        return {joined({phase, weightClass, weight}), weight};
    return {joined({phase, weightClass, MatchGenderText(md), weight}), weight};
}

std::u16string BuildMatchTitle() {
    assert(g_pMatchData && "a match title needs the match record");
    if (!g_pMatchData) {
        g_strMatchWeight.clear();
        return {};
    }
    MatchTitle composed = ComposeMatchTitle(*g_pMatchData);
    g_strMatchWeight = std::move(composed.weight);
    return std::move(composed.title);
}
