// The links' records as the tests write and read them: expected records with their control characters
// named, and the UTF-16LE link logs of the program folder.
#pragma once

#include <QString>

#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

// The expected records are written with the control characters as their names; this turns them into bytes.
inline std::string Bytes(std::string text) {
    static const std::pair<const char*, char> kTokens[] = {{"[SOH]", 0x01}, {"[STX]", 0x02}, {"[ETX]", 0x03},
                                                           {"[EOT]", 0x04}, {"[DC2]", 0x12}, {"[DC3]", 0x13}};
    for (const auto& [name, byte] : kTokens) {
        for (auto at = text.find(name); at != std::string::npos; at = text.find(name, at + 1))
            text.replace(at, std::strlen(name), 1, byte);
    }
    return text;
}

// A log file's UTF-16LE text as UTF-8.
inline std::string Utf16Le(const std::string& bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    return QString::fromStdU16String(text).toStdString();
}
