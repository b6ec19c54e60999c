#include "platform/CodePage.h"

#include "platform/DebugOutput.h"

#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// UTF-8 is decoded by hand: it is by far the most used code page (settings files, the system code page)
// and the decoder must follow the Unicode rule of one U+FFFD per maximal ill-formed subpart.
std::u16string utf8ToUtf16(std::string_view in) {
    std::u16string out;
    out.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int need = 0;
        char32_t cp = 0;
        unsigned char lo = 0x80, hi = 0xBF; // valid range of the second byte
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2;
            cp = b0 & 0x0F;
            if (b0 == 0xE0)
                lo = 0xA0; // overlong
            else if (b0 == 0xED)
                hi = 0x9F; // surrogates
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3;
            cp = b0 & 0x07;
            if (b0 == 0xF0)
                lo = 0x90; // overlong
            else if (b0 == 0xF4)
                hi = 0x8F; // above U+10FFFF
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < need; ++k, ++j) {
            if (j >= in.size()) {
                ok = false;
                break;
            }
            const auto b = static_cast<unsigned char>(in[j]);
            const unsigned char min = k == 0 ? lo : 0x80, max = k == 0 ? hi : 0xBF;
            if (b < min || b > max) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok) {
            out.push_back(kReplacement);
            i = j; // the lead byte and the continuation bytes that were valid so far
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i = j;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view in) {
    std::string out;
    out.reserve(in.size() * 3);
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            const bool pair = cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF;
            if (!pair) {
                out.push_back('?');
                continue;
            }
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[++i] - 0xDC00);
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

// The iconv name of a code page, or "" when it is UTF-8 (handled without iconv).
std::string charsetName(UINT codePage) {
    if (codePage == CP_UTF8)
        return {};
    if (codePage == CP_ACP) {
        const char* codeset = nl_langinfo(CODESET);
        if (!codeset || !*codeset || strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0 ||
            strcasecmp(codeset, "ANSI_X3.4-1968") == 0 || strcasecmp(codeset, "ASCII") == 0 ||
            strcasecmp(codeset, "US-ASCII") == 0)
            return {};
        return codeset;
    }
    return "CP" + std::to_string(codePage);
}

// Length of the UTF-8 sequence that starts with this byte (1 for a stray byte), used to step over a
// character the target code page cannot hold.
size_t utf8SequenceLength(unsigned char b) {
    if (b >= 0xF0)
        return 4;
    if (b >= 0xE0)
        return 3;
    if (b >= 0xC0)
        return 2;
    return 1;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok())
            iconv_close(m_handle);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_handle; }

private:
    iconv_t m_handle;
};

// Converts with iconv. At a byte sequence that does not convert, `replacement` is written and the input
// moves on by `skip(input)` bytes, so no input can stall the loop.
template <class Skip>
std::string iconvConvert(std::string_view in, const std::string& to, const std::string& from,
                         std::string_view replacement, Skip skip, bool* known) {
    Iconv cd(to.c_str(), from.c_str());
    *known = cd.ok();
    if (!cd.ok())
        return {};
    std::string out(in.size() * 2 + 16, '\0');
    char* src = const_cast<char*>(in.data()); // iconv's signature; the input is not written
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        const size_t rc = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ: not convertible here; EINVAL: cut off at the end of the input.
        const size_t step = errno == EINVAL ? srcLeft : std::min(srcLeft, std::max<size_t>(1, skip(src)));
        out.replace(used, 0, replacement);
        used += replacement.size();
        if (used + 16 > out.size())
            out.resize(out.size() * 2);
        src += step;
        srcLeft -= step;
    }
    // Flush any shift state.
    for (;;) {
        char* dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        const size_t rc = iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (rc != static_cast<size_t>(-1) || errno != E2BIG)
            break;
        out.resize(out.size() * 2);
    }
    out.resize(used);
    return out;
}

void reportUnknown(UINT codePage, const std::string& name) {
    DebugPrintf("code page %u (%s) is not available; the text converts to nothing", codePage, name.c_str());
}

} // namespace

std::u16string MultiByteToWide(std::string_view bytes, UINT codePage) {
    const std::string name = charsetName(codePage);
    if (name.empty())
        return utf8ToUtf16(bytes);
    bool known = false;
    // Through UTF-8, so the replacement character and the final decoding are the same as above.
    const std::string utf8 = iconvConvert(
        bytes, "UTF-8", name, "\xEF\xBF\xBD", [](const char*) { return size_t{1}; }, &known);
    if (!known)
        reportUnknown(codePage, name);
    return utf8ToUtf16(utf8);
}

std::string WideToMultiByte(std::u16string_view text, UINT codePage) {
    const std::string name = charsetName(codePage);
    const std::string utf8 = utf16ToUtf8(text);
    if (name.empty())
        return utf8;
    bool known = false;
    std::string out = iconvConvert(
        utf8, name, "UTF-8", "?",
        [](const char* at) { return utf8SequenceLength(static_cast<unsigned char>(*at)); }, &known);
    if (!known)
        reportUnknown(codePage, name);
    return out;
}

std::string ConvertCodePage(std::string_view bytes, UINT from, UINT to) {
    if (from == to)
        return std::string(bytes);
    return WideToMultiByte(MultiByteToWide(bytes, from), to);
}
