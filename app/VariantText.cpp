#include "app/VariantText.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::u16string widen(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// to_chars rather than printf: the application object sets the user's locale, which would turn the
// decimal point into a comma for some courts.
std::u16string realText(double value) {
    char buffer[64];
    const auto general = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    const std::string_view asG(buffer, static_cast<std::size_t>(general.ptr - buffer));
    if (!std::isfinite(value))
        return widen(asG);
    double readBack = 0;
    std::from_chars(asG.data(), asG.data() + asG.size(), readBack);
    if (readBack == value)
        return widen(asG);
    // "%g" keeps six digits: a money amount or a long id stored as a real would come out rounded.
    const auto shortest = std::to_chars(buffer, buffer + sizeof buffer, value);
    return widen(std::string_view(buffer, static_cast<std::size_t>(shortest.ptr - buffer)));
}

std::u16string dateTimeText(const DbDateTime& t) {
    char buffer[96];
    const int length = std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d/%02d:%02d:%02d", t.year, t.month,
                                     t.day, t.hour, t.minute, t.second);
    return widen(std::string_view(buffer, static_cast<std::size_t>(std::max(length, 0))));
}

} // namespace

std::u16string VariantToString(const DbVariant& value) {
    switch (value.type()) {
    case DbVariant::Type::Null:
        return {};
    case DbVariant::Type::Int32:
    case DbVariant::Type::Int64:
        return widen(std::to_string(value.asInt64()));
    case DbVariant::Type::Real:
        return realText(value.asReal());
    case DbVariant::Type::Text:
        return MultiByteToWide(value.asText(), CP_UTF8);
    case DbVariant::Type::Bool:
        return value.asBool() ? u"TRUE" : u"FALSE";
    case DbVariant::Type::DateTime:
        return dateTimeText(value.asDateTime());
    }
    return {};
}
