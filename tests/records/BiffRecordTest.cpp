// The record layer of the workbook: CONTINUE pieces, the shared-string split, strings, RK numbers, and
// damaged streams.
#include "records/BiffRecord.h"
#include "records/BiffWorkbook.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

using namespace ExcelLog;

namespace {

// The (code, data length) of each record in a byte stream.
std::vector<std::pair<std::uint16_t, std::size_t>> Pieces(const Bytes& stream) {
    std::vector<std::pair<std::uint16_t, std::size_t>> out;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        const std::uint16_t code = static_cast<std::uint16_t>(stream[at] | stream[at + 1] << 8);
        const std::size_t size = stream[at + 2] | stream[at + 3] << 8;
        out.emplace_back(code, size);
        at += 4 + size;
    }
    return out;
}

Bytes Filled(std::size_t size) {
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    return data;
}

TEST(BiffRecord, LongDataIsCutIntoContinueRecordsAndReadBackWhole) {
    struct Case {
        std::size_t size;
        std::vector<std::pair<std::uint16_t, std::size_t>> pieces;
    };
    const Case cases[] = {
        {20000, {{kXf, 8224}, {kContinue, 8224}, {kContinue, 3552}}},
        {8224, {{kXf, 8224}}},
        {16448, {{kXf, 8224}, {kContinue, 8224}}},
        {8225, {{kXf, 8224}, {kContinue, 1}}},
        {0, {{kXf, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const Record r{kXf, Filled(c.size), {}};
        Bytes stream;
        const std::size_t written = r.Write(stream);
        EXPECT_EQ(written, stream.size());
        EXPECT_EQ(r.RecordSize(), stream.size());
        EXPECT_EQ(Pieces(stream), c.pieces);
        ByteReader in(stream);
        const Record back = Record::Read(in);
        EXPECT_EQ(back.code, kXf);
        EXPECT_EQ(back.data, r.data);
        EXPECT_TRUE(in.atEnd());
        // Written again with the offsets it was read with, it gives the same bytes.
        Bytes again;
        back.Write(again);
        EXPECT_EQ(again, stream);
    }
}

TEST(BiffRecord, DamagedStreamsRaiseInsteadOfReadingPastTheEnd) {
    const Bytes cases[] = {
        {0x31},                                              // half a header
        {0x31, 0x00, 0x10, 0x00, 1, 2},                      // 16 data bytes announced, 2 there
        {0x31, 0x00, 0x00, 0x00, 0x3C, 0x00, 0x05, 0x00, 1}, // a short CONTINUE
    };
    for (const Bytes& stream : cases) {
        ByteReader in(stream);
        EXPECT_THROW(Record::Read(in), BiffError);
    }
}

TEST(BiffRecord, StringsKeepSixteenBitCharactersOnlyWhereNeeded) {
    EXPECT_FALSE(NeedsWide(u"Müller"));
    EXPECT_TRUE(NeedsWide(u"김민수"));
    for (const BiffString& s :
         {BiffString{u"Müller", false}, BiffString{u"김민수 KOR", true}, BiffString{u"", false}}) {
        Bytes shortForm, longForm;
        WriteShortString(shortForm, s);
        WriteLongString(longForm, s);
        ByteReader a(shortForm), b(longForm);
        EXPECT_EQ(ReadShortString(a), s);
        EXPECT_EQ(ReadLongString(b), s);
    }
    // One byte a character is Latin-1 whatever the locale: 0xFC is ü.
    const Bytes latin1{2, 0, 0, 'M', 0xFC};
    ByteReader in(latin1);
    EXPECT_EQ(ReadLongString(in).text, u"Mü");
    // Rich-text runs and the extension are skipped.
    const Bytes rich{1, 0, 0x0C, 1, 0, 2, 0, 0, 0, 'A', 9, 9, 9, 9, 7, 7};
    ByteReader richIn(rich);
    EXPECT_EQ(ReadLongString(richIn).text, u"A");
    EXPECT_TRUE(richIn.atEnd());
}

TEST(BiffRecord, RkNumbersDecode) {
    struct Case {
        std::uint32_t rk;
        bool isInteger;
        double value;
    };
    const Case cases[] = {
        {250u << 2 | 3, false, 2.5}, // integer 250, divided by 100
        {300u << 2 | 3, true, 3},    // integer 300, divided by 100 and still whole
        {7u << 2 | 2, true, 7},      // plain integer
        {static_cast<std::uint32_t>(-5 * 4 + 2), true, -5},
        {0x3FF00000, false, 1.0}, // upper bits of the double 1.0
        {0x4062C001, false, 1.5}, // 150.0, divided by 100
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rk);
        const RkValue v = DecodeRk(c.rk);
        EXPECT_EQ(v.isInteger, c.isInteger);
        EXPECT_EQ(v.isInteger ? v.integer : v.number, c.value);
    }
}

TEST(BiffRecord, RkIsWrittenOnlyWhenItReadsBackExactly) {
    EXPECT_EQ(EncodeFloatRk(1.5), std::optional<std::uint32_t>(0x4062C001)); // 150 with bit 0
    EXPECT_EQ(EncodeFloatRk(0.123), std::nullopt);                           // three decimals
    EXPECT_EQ(EncodeFloatRk(1.0 / 3), std::nullopt);
    for (const double x : {1.5, 2.0, -3.25, 0.01, 0.1, 12345.67, 1e10, 0.0}) {
        SCOPED_TRACE(x);
        const auto rk = EncodeFloatRk(x);
        if (rk) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(DecodeRk(*rk).number), std::bit_cast<std::uint64_t>(x));
        }
    }
    EXPECT_TRUE(EncodeFloatRk(0.1)); // 10 / 100 is exactly the double 0.1
    // Two decimals, but 1e10 + 0.01 needs more mantissa than an RK holds.
    EXPECT_EQ(EncodeFloatRk(1e10 + 0.25), std::nullopt);

    EXPECT_EQ(EncodeIntegerRk(5), std::optional<std::uint32_t>(5 * 4 + 2));
    EXPECT_EQ(EncodeIntegerRk(-1), std::optional<std::uint32_t>(0xFFFFFFFE));
    EXPECT_EQ(EncodeIntegerRk((1 << 29) - 1).has_value(), true);
    EXPECT_EQ(EncodeIntegerRk(1 << 29), std::nullopt);
    EXPECT_EQ(EncodeIntegerRk(-(1 << 29) - 1), std::nullopt);
    EXPECT_EQ(DecodeRk(*EncodeIntegerRk(-(1 << 29))).integer, -(1 << 29));
}

// Strings that fill the first piece up to `room` bytes before its end, then the string under test.
std::vector<BiffString> FillTo(std::size_t room) {
    // The first piece holds 8 bytes of counts, then strings of 3 + n bytes.
    std::vector<BiffString> strings;
    std::size_t used = 8;
    while (kMaxRecordData - used - room > 3 + 1000) {
        strings.push_back({std::u16string(1000, u'a'), false});
        used += 1003;
    }
    strings.push_back({std::u16string(kMaxRecordData - used - room - 3, u'b'), false});
    return strings;
}

TEST(BiffRecord, SharedStringsSplitWithoutCuttingAHeaderOrACharacter) {
    const BiffString korean{std::u16string(200, u'김'), true}; // 400 character bytes
    {
        // 5 bytes left: too few, the string starts in the next piece.
        auto strings = FillTo(5);
        const std::size_t startOfLast = [&] {
            std::size_t at = 8;
            for (const auto& s : strings)
                at += 3 + s.text.size();
            return at;
        }();
        strings.push_back(korean);
        const SstLayout layout = LayOutSst(1, strings);
        ASSERT_EQ(layout.continueOffsets, std::vector<std::size_t>{startOfLast});
        EXPECT_EQ(layout.data[startOfLast + 2], 1); // the string's own header
    }
    {
        // 101 bytes left: the header and 98 character bytes (49 characters) stay, the rest continues after a
        // flag byte 1.
        auto strings = FillTo(101);
        strings.push_back(korean);
        const SstLayout layout = LayOutSst(1, strings);
        ASSERT_EQ(layout.continueOffsets, std::vector<std::size_t>{kMaxRecordData});
        EXPECT_EQ(layout.data[kMaxRecordData], 1);
        EXPECT_EQ(layout.data.size(), kMaxRecordData + 1 + (400 - 98));
    }
    {
        // 100 bytes left: 97 after the header, one byte less so no 16-bit character is cut.
        auto strings = FillTo(100);
        strings.push_back(korean);
        const SstLayout layout = LayOutSst(1, strings);
        ASSERT_EQ(layout.continueOffsets, std::vector<std::size_t>{kMaxRecordData - 1});
        EXPECT_EQ(layout.data[kMaxRecordData - 1], 1);
        EXPECT_EQ(layout.data.size(), kMaxRecordData - 1 + 1 + (400 - 96));
    }
    {
        // A string longer than a whole piece runs through several.
        const std::vector<BiffString> strings{{std::u16string(20000, u'x'), false}, korean};
        const SstLayout layout = LayOutSst(2, strings);
        EXPECT_EQ(layout.continueOffsets.size(), 2u);
        for (std::size_t i = 0; i < layout.continueOffsets.size(); ++i) {
            const std::size_t end =
                i + 1 < layout.continueOffsets.size() ? layout.continueOffsets[i + 1] : layout.data.size();
            EXPECT_LE(end - layout.continueOffsets[i], kMaxRecordData);
        }
    }
}

TEST(BiffRecord, SharedStringsReadBackThroughTheirContinueRecords) {
    std::vector<std::vector<BiffString>> tables = {
        FillTo(5), FillTo(100), FillTo(101), {{std::u16string(20000, u'x'), false}}};
    for (auto& strings : tables) {
        strings.push_back({std::u16string(5000, u'한'), true});
        strings.push_back({u"Müller", false});
        const SstLayout layout = LayOutSst(7, strings);
        const Record sst{kSst, layout.data, layout.continueOffsets};
        Bytes stream;
        sst.Write(stream);
        ByteReader in(stream);
        EXPECT_EQ(ReadSstStrings(Record::Read(in)), strings);
    }
}

TEST(BiffRecord, SharedStringContinuedInTheOtherWidth) {
    // "ab" in one byte a character, continued with "김" in two: the reader follows each piece's flag.
    Bytes data;
    Put32(data, 1);
    Put32(data, 1);
    data.insert(data.end(), {3, 0, 0, 'a', 'b'});
    const std::size_t cut = data.size();
    data.insert(data.end(), {1, 0x40, 0xAE});
    const Record sst{kSst, data, {cut}};
    const auto strings = ReadSstStrings(sst);
    ASSERT_EQ(strings.size(), 1u);
    EXPECT_EQ(strings[0].text, u"ab김");
}

TEST(BiffRecord, DamagedSharedStringsRaise) {
    Bytes tooMany;
    Put32(tooMany, 1);
    Put32(tooMany, 3); // three strings announced, one there
    tooMany.insert(tooMany.end(), {1, 0, 0, 'a'});
    EXPECT_THROW(ReadSstStrings(Record{kSst, tooMany, {}}), BiffError);
    Bytes longString;
    Put32(longString, 1);
    Put32(longString, 1);
    longString.insert(longString.end(), {0xFF, 0xFF, 1, 'a', 0});
    EXPECT_THROW(ReadSstStrings(Record{kSst, longString, {}}), BiffError);
}

TEST(BiffRecord, MergedRangesFillRecordsOf1027) {
    for (const auto& [count, records] :
         std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}, {1027, 1}, {1028, 2}}) {
        std::vector<MergedCell> ranges(count, MergedCell{1, 2, 3, 4});
        const auto written = MergedCellsRecords(ranges);
        ASSERT_EQ(written.size(), records);
        if (count == 1028) {
            EXPECT_EQ(written[0].data.size(), 1027u * 8 + 2);
            EXPECT_EQ(written[1].data.size(), 8u + 2);
        }
    }
}

} // namespace
