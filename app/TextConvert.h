// Text conversions between the system ANSI code page, UTF-8, UTF-16 and code page 949 (Korean), the code
// page of the record's narrow texts that come from the nation table or a match import.
//
// Every function returns a value the caller owns; nothing is allocated for the caller to free. Damaged
// input never fails a conversion: undecodable bytes become U+FFFD, characters the target cannot hold '?'.
//
// Thread: every function may be called from any thread.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// System ANSI code page to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 to the system ANSI code page.
std::string Utf8ToAnsi(std::string_view utf8);

// Every narrow text of MatchData and the records is UTF-8; code page 949 is converted only at the border of
// the outside file or peer that needs it. These read a record text: as UTF-16, or as UTF-8 that is certainly
// valid (bytes a damaged field holds that are not UTF-8 become U+FFFD), never as raw bytes.
std::u16string RecordTextWide(std::string_view utf8);
std::string RecordTextUtf8(std::string_view utf8);

// Code page 949 to UTF-16 and back.
std::u16string Cp949ToWide(std::string_view cp949);
std::string WideToCp949(std::u16string_view text);

// The text of a fixed-size narrow field: up to its first zero byte, never past the field's end, so a field
// filled to the last byte is still read safely.
template <std::size_t N> std::string_view FieldText(const char (&field)[N]) {
    const void* end = std::memchr(field, '\0', N);
    return {field, end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : N};
}
