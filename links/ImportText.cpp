#include "links/ImportOutcome.h"

#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "platform/CodePage.h"

#include <QString>

#include <algorithm>
#include <climits>

namespace ImportText {

std::string Clean(std::string_view text, std::size_t limit) {
    std::string clean = RecordTextUtf8(text);
    if (clean.size() > limit) {
        std::size_t n = limit;
        while (n > 0 && (static_cast<unsigned char>(clean[n]) & 0xC0) == 0x80)
            --n;
        clean.resize(n);
    }
    return clean;
}

void PutField(char* field, std::size_t size, std::string_view text) {
    if (size == 0)
        return;
    const std::string clean = Clean(text, size - 1);
    std::memcpy(field, clean.data(), clean.size());
    std::memset(field + clean.size(), 0, size - clean.size());
}

int Decimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<int> WholeNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = Decimal(text);
    return negative ? -value : value;
}

int Checks::Text(std::string_view field, std::string_view text, Range range) {
    const std::optional<int> value = WholeNumber(text);
    if (value && *value >= range.low && *value <= range.high)
        return *value;
    Refuse(field, text, range);
    return 0;
}

int Checks::Number(std::string_view field, int value, Range range) {
    if (value >= range.low && value <= range.high)
        return value;
    Refuse(field, std::to_string(value), range);
    return 0;
}

void Checks::NotANumber(std::string_view field, std::string_view text, Range range) {
    Refuse(field, text, range);
}

void Checks::Refuse(std::string_view field, std::string_view shown, Range range) {
    if (Refused())
        return;
    const std::string text = FirstCharacters(Clean(shown, 259), 24);
    m_refusal =
        QStringLiteral("The match was not loaded: its %1 is \"%2\", but it must be a whole number from "
                       "%3 to %4.\r\nPlease check the match in the results system!")
            .arg(QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size())),
                 QString::fromStdString(text))
            .arg(range.low)
            .arg(range.high)
            .toStdU16String();
}

ImportOutcome Checks::Refusal() const {
    ImportOutcome outcome;
    outcome.boxes.push_back(m_refusal);
    return outcome;
}

std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && seen++ == count)
            break;
    }
    return std::string(text.substr(0, end));
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        fields.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

int NationRowOf(const MatchData& md, std::string_view code) {
    const std::u16string wide = MultiByteToWide(code, CP_UTF8);
    const int rows = std::clamp(md.nNationCount, 0, kNationRows);
    for (int i = 0; i < rows; ++i)
        if (wide == md.aNation[i].wszField[0])
            return i;
    return 0;
}

int SelectNation(MatchData& md, int slot, std::string_view code) {
    return SelectNationRow(md, slot, NationRowOf(md, code));
}

int SelectNationRow(MatchData& md, int slot, int row) {
    row = row >= 0 && row < kNationRows ? row : 0;
    TTK_Player& player = md.aPlayer[slot];
    player.nNation = row;
    Put(player.szNationName, WideToMultiByte(md.aNation[row].wszField[2], CP_UTF8));
    return row;
}

} // namespace ImportText
