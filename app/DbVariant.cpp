#include "app/DbVariant.h"

#include <cassert>
#include <limits>

namespace {

template <typename T, typename V> const T& expect(const V& value, const T& fallback) {
    const T* held = std::get_if<T>(&value);
    assert(held && "DbVariant read as the wrong type");
    return held ? *held : fallback;
}

} // namespace

DbVariant DbVariant::integer(std::int64_t value) {
    if (value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max())
        return int32(static_cast<std::int32_t>(value));
    return int64(value);
}

std::int32_t DbVariant::asInt32() const {
    return expect(m_value, std::int32_t{0});
}

std::int64_t DbVariant::asInt64() const {
    if (const auto* small = std::get_if<std::int32_t>(&m_value))
        return *small;
    return expect(m_value, std::int64_t{0});
}

double DbVariant::asReal() const {
    return expect(m_value, 0.0);
}

const std::string& DbVariant::asText() const {
    static const std::string empty;
    return expect(m_value, empty);
}

bool DbVariant::asBool() const {
    return expect(m_value, false);
}

const DbDateTime& DbVariant::asDateTime() const {
    static const DbDateTime zero;
    return expect(m_value, zero);
}
