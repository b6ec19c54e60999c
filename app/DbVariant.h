// One cell of a database result: null, a 32- or 64-bit integer, a real, UTF-8 text, a yes/no value or a
// date and time. Plain data; turning it into display text is the caller's business.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

// A calendar date and wall-clock time, as the database holds it (no time zone).
struct DbDateTime {
    int year = 0;
    int month = 0; // 1-12
    int day = 0;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const DbDateTime&, const DbDateTime&) = default;
};

class DbVariant {
public:
    // The order matches the alternatives of m_value.
    enum class Type { Null, Int32, Int64, Real, Text, Bool, DateTime };

    DbVariant() = default; // null

    static DbVariant int32(std::int32_t value) { return DbVariant(Value(std::in_place_index<1>, value)); }
    static DbVariant int64(std::int64_t value) { return DbVariant(Value(std::in_place_index<2>, value)); }
    static DbVariant real(double value) { return DbVariant(Value(std::in_place_index<3>, value)); }
    static DbVariant text(std::string value) {
        return DbVariant(Value(std::in_place_index<4>, std::move(value)));
    }
    static DbVariant boolean(bool value) { return DbVariant(Value(std::in_place_index<5>, value)); }
    static DbVariant dateTime(const DbDateTime& value) {
        return DbVariant(Value(std::in_place_index<6>, value));
    }
    // The smallest integer type that holds the value.
    static DbVariant integer(std::int64_t value);

    Type type() const { return static_cast<Type>(m_value.index()); }
    bool isNull() const { return type() == Type::Null; }
    bool isInteger() const { return type() == Type::Int32 || type() == Type::Int64; }

    // Each accessor expects its own type (asInt64 also takes Int32); asking for another is a caller's
    // mistake that stops a debug build and yields the type's zero value otherwise.
    std::int32_t asInt32() const;
    std::int64_t asInt64() const;
    double asReal() const;
    const std::string& asText() const;
    bool asBool() const;
    const DbDateTime& asDateTime() const;

    friend bool operator==(const DbVariant&, const DbVariant&) = default;

private:
    using Value =
        std::variant<std::monostate, std::int32_t, std::int64_t, double, std::string, bool, DbDateTime>;
    explicit DbVariant(Value value) : m_value(std::move(value)) {}

    Value m_value;
};
