#include "app/SqlText.h"

namespace {

template <typename Char> std::basic_string<Char> doubleQuotes(std::basic_string_view<Char> value) {
    std::basic_string<Char> quoted;
    quoted.reserve(value.size() + 2);
    for (Char c : value) {
        quoted.push_back(c);
        if (c == Char('\''))
            quoted.push_back(c);
    }
    return quoted;
}

} // namespace

std::string SqlQuote(std::string_view value) {
    return doubleQuotes(value);
}

std::u16string SqlQuote(std::u16string_view value) {
    return doubleQuotes(value);
}
