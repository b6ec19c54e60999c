// The BIFF8 record layer of the match-log workbook: records with their CONTINUE pieces, the string forms,
// RK numbers and the split of the shared string table. Plain C++; no file access here.
//
// Every length read from a stream is checked against the bytes that are there: a damaged or truncated
// stream raises BiffError inside the reader and is reported by its caller as a failed load, never read past
// its end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ExcelLog {

using Bytes = std::vector<std::uint8_t>;

// A stream that is not a well-formed record sequence.
struct BiffError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Record codes the layer knows.
enum Code : std::uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kFont = 0x0031,
    kTable = 0x0036,
    kContinue = 0x003C,
    kWindow1 = 0x003D,
    kColInfo = 0x007D,
    kBoundSheet = 0x0085,
    kShrFmla = 0x00BC,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
    kDbCell = 0x00D7,
    kXf = 0x00E0,
    kMergedCells = 0x00E5,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kExtSst = 0x00FF,
    kDimensions = 0x0200,
    kBlank = 0x0201,
    kNumber = 0x0203,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kRow = 0x0208,
    kIndex = 0x020B,
    kArray = 0x0221,
    kWindow2 = 0x023E,
    kRk = 0x027E,
    kStyle = 0x0293,
    kFormat = 0x041E,
    kShrFmla1 = 0x04BC,
    kBof = 0x0809,
};

// Largest data part of one record; longer data continues in CONTINUE records.
constexpr std::size_t kMaxRecordData = 8224;

// Little-endian reads with bounds checks over a span of bytes.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::size_t pos() const { return m_pos; }
    std::size_t size() const { return m_bytes.size(); }
    std::size_t left() const { return m_bytes.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    void seek(std::size_t pos);
    void skip(std::size_t count);
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    double f64();
    std::span<const std::uint8_t> take(std::size_t count);
    // The 16-bit value at pos() without moving; nullopt when fewer than two bytes are left.
    std::optional<std::uint16_t> peek16() const;

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

void Put16(Bytes& out, std::uint16_t v);
void Put32(Bytes& out, std::uint32_t v);
void PutF64(Bytes& out, double v);
void Set16(Bytes& out, std::size_t at, std::uint16_t v);
void Set32(Bytes& out, std::size_t at, std::uint32_t v);

// One record: its code and all its data, CONTINUE pieces joined. `continueOffsets` are the positions in
// the data where a further piece starts, as read or as a writer wants them cut.
struct Record {
    std::uint16_t code = 0;
    Bytes data;
    std::vector<std::size_t> continueOffsets;

    // Reads the record at the reader's position and the CONTINUE records that follow it.
    static Record Read(ByteReader& in);
    // Appends the record to `out`, cut at the CONTINUE offsets or, without them, every kMaxRecordData
    // bytes; returns the bytes written.
    std::size_t Write(Bytes& out) const;
    // Bytes the record takes in the stream: data plus 4 per piece.
    std::size_t RecordSize() const;
};

// Text of a BIFF string with the width it was or will be stored in.
struct BiffString {
    std::u16string text;
    bool wide = false; // 16-bit characters
    bool operator==(const BiffString&) const = default;
};

// Stored 16-bit when any character is above U+00FF, otherwise as one byte a character (Latin-1).
bool NeedsWide(std::u16string_view text);
// Short string: 8-bit count, flags, characters.
BiffString ReadShortString(ByteReader& in);
void WriteShortString(Bytes& out, const BiffString& s);
// Long string: 16-bit count, flags (16-bit, rich text, extension), characters, runs, extension.
BiffString ReadLongString(ByteReader& in);
void WriteLongString(Bytes& out, const BiffString& s);

// Text conversions between the cells' UTF-8 and the records' UTF-16. Damaged UTF-8 becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// RK numbers: bit 0 divided by 100, bit 1 integer, bits 2-31 the value.
struct RkValue {
    bool isInteger = false;
    std::int32_t integer = 0;
    double number = 0;
};
RkValue DecodeRk(std::uint32_t rk);
// The RK of an integer, when it fits in 30 bits signed.
std::optional<std::uint32_t> EncodeIntegerRk(std::int64_t n);
// The RK of a floating value: x, or x * 100 with bit 0, cut to its upper 30 bits; only when that decodes
// back to exactly x (otherwise the value needs a NUMBER record).
std::optional<std::uint32_t> EncodeFloatRk(double x);

// The shared string table's data (counts and strings, a flag byte repeated where a string continues in a
// new piece) and the offsets where its CONTINUE pieces start.
struct SstLayout {
    Bytes data;
    std::vector<std::size_t> continueOffsets;
};
SstLayout LayOutSst(std::uint32_t totalCount, const std::vector<BiffString>& strings);
// Reads the strings of an SST record (CONTINUE pieces joined, their offsets kept in the record).
std::vector<BiffString> ReadSstStrings(const Record& sst);

} // namespace ExcelLog
