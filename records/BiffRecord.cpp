#include "records/BiffRecord.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>

namespace ExcelLog {

void ByteReader::seek(std::size_t pos) {
    if (pos > m_bytes.size())
        throw BiffError("position past the end of the stream");
    m_pos = pos;
}

void ByteReader::skip(std::size_t count) {
    if (count > left())
        throw BiffError("record runs past the end of the stream");
    m_pos += count;
}

std::span<const std::uint8_t> ByteReader::take(std::size_t count) {
    if (count > left())
        throw BiffError("record runs past the end of the stream");
    const auto part = m_bytes.subspan(m_pos, count);
    m_pos += count;
    return part;
}

std::uint8_t ByteReader::u8() {
    return take(1)[0];
}

std::uint16_t ByteReader::u16() {
    const auto b = take(2);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

std::uint32_t ByteReader::u32() {
    const auto b = take(4);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

double ByteReader::f64() {
    const std::uint64_t low = u32();
    const std::uint64_t high = u32();
    return std::bit_cast<double>(high << 32 | low);
}

std::optional<std::uint16_t> ByteReader::peek16() const {
    if (left() < 2)
        return std::nullopt;
    return static_cast<std::uint16_t>(m_bytes[m_pos] | m_bytes[m_pos + 1] << 8);
}

void Put16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

void PutF64(Bytes& out, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    Put32(out, static_cast<std::uint32_t>(bits));
    Put32(out, static_cast<std::uint32_t>(bits >> 32));
}

void Set16(Bytes& out, std::size_t at, std::uint16_t v) {
    out.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
    out[at] = static_cast<std::uint8_t>(v);
}

void Set32(Bytes& out, std::size_t at, std::uint32_t v) {
    Set16(out, at, static_cast<std::uint16_t>(v));
    Set16(out, at + 2, static_cast<std::uint16_t>(v >> 16));
}

Record Record::Read(ByteReader& in) {
    Record r;
    r.code = in.u16();
    const std::uint16_t size = in.u16();
    const auto first = in.take(size);
    r.data.assign(first.begin(), first.end());
    while (in.peek16() == kContinue) {
        in.skip(2);
        const std::uint16_t more = in.u16();
        const auto piece = in.take(more);
        r.continueOffsets.push_back(r.data.size());
        r.data.insert(r.data.end(), piece.begin(), piece.end());
    }
    return r;
}

std::size_t Record::Write(Bytes& out) const {
    std::vector<std::size_t> cuts = continueOffsets;
    if (cuts.empty())
        for (std::size_t at = kMaxRecordData; at < data.size(); at += kMaxRecordData)
            cuts.push_back(at);
    const std::size_t before = out.size();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const std::size_t end = i < cuts.size() ? cuts[i] : data.size();
        assert(end >= start && end - start <= kMaxRecordData);
        Put16(out, i == 0 ? code : std::uint16_t{kContinue});
        Put16(out, static_cast<std::uint16_t>(end - start));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(start),
                   data.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    return out.size() - before;
}

std::size_t Record::RecordSize() const {
    const std::size_t pieces =
        continueOffsets.empty()
            ? std::max<std::size_t>(1, (data.size() + kMaxRecordData - 1) / kMaxRecordData)
            : continueOffsets.size() + 1;
    return data.size() + 4 * pieces;
}

bool NeedsWide(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
}

namespace {

void ReadCharacters(ByteReader& in, std::size_t count, bool wide, std::u16string& out) {
    if (wide) {
        const auto bytes = in.take(count * 2);
        for (std::size_t i = 0; i < count; ++i)
            out.push_back(static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
    } else {
        for (const std::uint8_t b : in.take(count))
            out.push_back(static_cast<char16_t>(b)); // one byte a character is Latin-1
    }
}

void WriteCharacters(Bytes& out, std::u16string_view text, bool wide) {
    for (const char16_t c : text) {
        if (wide)
            Put16(out, c);
        else
            out.push_back(static_cast<std::uint8_t>(c));
    }
}

} // namespace

BiffString ReadShortString(ByteReader& in) {
    const std::uint8_t count = in.u8();
    BiffString s;
    s.wide = (in.u8() & 1) != 0;
    ReadCharacters(in, count, s.wide, s.text);
    return s;
}

void WriteShortString(Bytes& out, const BiffString& s) {
    const auto text = std::u16string_view(s.text).substr(0, 255);
    out.push_back(static_cast<std::uint8_t>(text.size()));
    out.push_back(s.wide ? 1 : 0);
    WriteCharacters(out, text, s.wide);
}

BiffString ReadLongString(ByteReader& in) {
    const std::uint16_t count = in.u16();
    const std::uint8_t flags = in.u8();
    const std::size_t runs = flags & 0x08 ? in.u16() : 0;
    const std::size_t extension = flags & 0x04 ? in.u32() : 0;
    BiffString s;
    s.wide = (flags & 1) != 0;
    ReadCharacters(in, count, s.wide, s.text);
    in.skip(runs * 4);
    in.skip(extension);
    return s;
}

void WriteLongString(Bytes& out, const BiffString& s) {
    const auto text = std::u16string_view(s.text).substr(0, 0xFFFF);
    Put16(out, static_cast<std::uint16_t>(text.size()));
    out.push_back(s.wide ? 1 : 0);
    WriteCharacters(out, text, s.wide);
}

std::u16string Utf8ToUtf16(std::string_view text) {
    return MultiByteToWide(text, CP_UTF8);
}

std::string Utf16ToUtf8(std::u16string_view text) {
    return WideToMultiByte(text, CP_UTF8);
}

RkValue DecodeRk(std::uint32_t rk) {
    RkValue v;
    const bool hundredths = (rk & 1) != 0;
    if (rk & 2) {
        const std::int32_t n = static_cast<std::int32_t>(rk) >> 2;
        if (!hundredths || n % 100 == 0) {
            v.isInteger = true;
            v.integer = hundredths ? n / 100 : n;
        } else {
            v.number = n / 100.0;
        }
        return v;
    }
    v.number = std::bit_cast<double>(static_cast<std::uint64_t>(rk & ~3u) << 32);
    if (hundredths)
        v.number /= 100;
    return v;
}

std::optional<std::uint32_t> EncodeIntegerRk(std::int64_t n) {
    if (n < -(std::int64_t{1} << 29) || n >= (std::int64_t{1} << 29))
        return std::nullopt;
    return static_cast<std::uint32_t>(n * 4 + 2);
}

std::optional<std::uint32_t> EncodeFloatRk(double x) {
    const bool twoDecimal = std::trunc(x * 100) * 100 == std::trunc(x * 10000);
    if (!twoDecimal)
        return std::nullopt;
    double stored = x;
    std::uint32_t hundredths = 0;
    if (std::trunc(x) * 100 != std::trunc(x * 100)) {
        stored = x * 100;
        hundredths = 1;
    }
    const auto bits = std::bit_cast<std::uint64_t>(stored);
    const std::uint32_t rk = (static_cast<std::uint32_t>(bits >> 32) & ~3u) | hundredths;
    const RkValue back = DecodeRk(rk);
    if (std::bit_cast<std::uint64_t>(back.number) != std::bit_cast<std::uint64_t>(x))
        return std::nullopt;
    return rk;
}

SstLayout LayOutSst(std::uint32_t totalCount, const std::vector<BiffString>& strings) {
    SstLayout out;
    Bytes& d = out.data;
    Put32(d, totalCount);
    Put32(d, static_cast<std::uint32_t>(strings.size()));
    std::size_t used = d.size(); // bytes in the current piece
    const auto newPiece = [&] {
        out.continueOffsets.push_back(d.size());
        used = 0;
    };
    for (const BiffString& s : strings) {
        const auto text = std::u16string_view(s.text).substr(0, 0xFFFF);
        Bytes chars;
        WriteCharacters(chars, text, s.wide);
        const std::size_t need = chars.size() + 3;
        if (used + need > kMaxRecordData && kMaxRecordData - used < 12)
            newPiece();
        Put16(d, static_cast<std::uint16_t>(text.size()));
        d.push_back(s.wide ? 1 : 0);
        used += 3;
        if (used + chars.size() <= kMaxRecordData) {
            d.insert(d.end(), chars.begin(), chars.end());
            used += chars.size();
            continue;
        }
        std::size_t room = kMaxRecordData - used;
        if (s.wide && room % 2)
            --room; // no character is cut in two
        d.insert(d.end(), chars.begin(), chars.begin() + static_cast<std::ptrdiff_t>(room));
        std::size_t done = room;
        while (done < chars.size()) {
            newPiece();
            d.push_back(s.wide ? 1 : 0);
            const std::size_t n = std::min(chars.size() - done, kMaxRecordData - (s.wide ? 2 : 1));
            d.insert(d.end(), chars.begin() + static_cast<std::ptrdiff_t>(done),
                     chars.begin() + static_cast<std::ptrdiff_t>(done + n));
            done += n;
            used = 1 + n;
        }
    }
    return out;
}

std::vector<BiffString> ReadSstStrings(const Record& sst) {
    ByteReader in(sst.data);
    const auto& cuts = sst.continueOffsets;
    const auto atCut = [&](std::size_t pos) { return std::binary_search(cuts.begin(), cuts.end(), pos); };
    const auto nextCut = [&](std::size_t pos) {
        const auto it = std::upper_bound(cuts.begin(), cuts.end(), pos);
        return it == cuts.end() ? sst.data.size() : *it;
    };
    in.skip(4); // total uses
    const std::uint32_t unique = in.u32();
    std::vector<BiffString> strings;
    for (std::uint32_t i = 0; i < unique; ++i) {
        const std::uint16_t count = in.u16();
        const std::uint8_t flags = in.u8();
        const std::size_t runs = flags & 0x08 ? in.u16() : 0;
        const std::size_t extension = flags & 0x04 ? in.u32() : 0;
        BiffString s;
        s.wide = (flags & 1) != 0;
        bool wide = s.wide;
        std::size_t remaining = count;
        while (remaining > 0) {
            if (atCut(in.pos()))
                wide = (in.u8() & 1) != 0; // each continued piece says its own character width
            const std::size_t room = nextCut(in.pos()) - in.pos();
            const std::size_t n = std::min(remaining, wide ? room / 2 : room);
            if (n == 0)
                throw BiffError("shared string cut inside a character");
            ReadCharacters(in, n, wide, s.text);
            remaining -= n;
        }
        in.skip(runs * 4);
        in.skip(extension);
        strings.push_back(std::move(s));
    }
    return strings;
}

} // namespace ExcelLog
