#include "devices/ReceiverFrame.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes Frame(BYTE type, BYTE command, const Bytes& payload) {
    BYTE out[kCommandBufferSize];
    const int n = BuildFrame(out, type, command, payload.data(), static_cast<int>(payload.size()));
    return Bytes(out, out + n);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Feeds the stream in pieces of `chunk` bytes (0: all at once) and returns the frames found.
std::vector<Bytes> Parse(const Bytes& stream, size_t chunk = 0) {
    ReceiverFrameParser parser;
    std::vector<Bytes> frames;
    const size_t step = chunk == 0 ? stream.size() : chunk;
    for (size_t at = 0; at < stream.size(); at += step) {
        const int n = static_cast<int>(std::min(step, stream.size() - at));
        parser.Feed(stream.data() + at, n, [&](const ReceiverFrame& f) {
            EXPECT_EQ(f.length, f.PayloadLength() + kFrameOverhead);
            for (int i = f.length; i < kFrameBufferSize; ++i)
                ASSERT_EQ(f.bytes[i], 0) << "stale byte after the frame at " << i;
            frames.emplace_back(f.bytes, f.bytes + f.length);
        });
    }
    return frames;
}

const Bytes kHit = Frame(kFrameTypeReport, kDeviceReportCommand, {0x41, 0x01, 0x02, 0x00, 0x00, 0x01, 0x2C});
const Bytes kEmpty = Frame(kFrameTypeReply, 0x44, {});
const Bytes kStxInside = Frame(kFrameTypeReply, 0x07, {0x02, 0x02, 0x05});

Bytes BadChecksum(Bytes frame) {
    frame.back() ^= 0xFF;
    return frame;
}

struct StreamCase {
    const char* name;
    Bytes stream;
    std::vector<Bytes> frames;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

class ReceiverFrameStreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ReceiverFrameStreamTest, FindsTheSameFramesWhateverThePieces) {
    const StreamCase& c = GetParam();
    EXPECT_EQ(Parse(c.stream), c.frames) << "whole";
    EXPECT_EQ(Parse(c.stream, 1), c.frames) << "one byte at a time";
    EXPECT_EQ(Parse(c.stream, 3), c.frames) << "three bytes at a time";
}

INSTANTIATE_TEST_SUITE_P(
    Streams, ReceiverFrameStreamTest,
    ::testing::Values(
        StreamCase{"NoiseBeforeTheStartByte", Concat({{0x00, 0xFF, 0x11, 0x19}, kHit}), {kHit}},
        StreamCase{"EmptyPayloadEndsAfterFiveBytes", Concat({kEmpty, kHit}), {kEmpty, kHit}},
        StreamCase{"StartByteInsideAPayload", kStxInside, {kStxInside}},
        StreamCase{"BadThenGoodChecksum", Concat({BadChecksum(kHit), kHit}), {kHit}},
        StreamCase{"TwoFramesInOneRead", Concat({kHit, kEmpty}), {kHit, kEmpty}},
        // A length above what the buffers hold drops the frame; the good frame right behind it is found.
        StreamCase{"OversizeLength", Concat({{0x02, 0x10, 0x19, 0x7C}, kHit}), {kHit}},
        StreamCase{"LengthOfTheWholeBuffer", Concat({{0x02, 0x10, 0x19, 0xFF, 0x00}, kEmpty}), {kEmpty}},
        // A stray start byte in noise would otherwise read the good frame as its payload.
        StreamCase{"StrayStartByteBeforeAFrame", Concat({{0x55, 0x02}, kHit, kEmpty}), {kHit, kEmpty}},
        // With a valid type behind it the stray start is found out by the checksum once more bytes come.
        StreamCase{"StrayStartAndTypeBeforeFrames",
                   Concat({{0x02, 0x10}, kHit, kEmpty, kHit}),
                   {kHit, kEmpty, kHit}},
        StreamCase{"UnknownTypeIsNoFrame", Frame(0x12, 0x07, {0x01}), {}},
        StreamCase{"TruncatedFrameThenAFrame", Concat({Bytes(kHit.begin(), kHit.begin() + 6), kHit}), {kHit}},
        StreamCase{"NothingButNoise", Bytes{0x02, 0x01, 0x05, 0x01, 0x01, 0x05, 0x00}, {}}),
    [](const ::testing::TestParamInfo<StreamCase>& info) { return std::string(info.param.name); });

TEST(ReceiverFrameTest, TheCloseFrameCarriesItsChecksum) {
    const Bytes close = {0x02, 0x01, 0x05, 0x01, 0x01, 0x04};
    EXPECT_EQ(FrameChecksum(close.data(), 1), 0x04);
    EXPECT_EQ(Frame(kFrameTypeCommand, 0x05, {0x01}), close);
    EXPECT_EQ(Parse(close), std::vector<Bytes>{close});
}

TEST(ReceiverFrameTest, LargestPayloadIsTakenAndOneMoreIsDropped) {
    const Bytes largest = Frame(kFrameTypeReply, 0x30, Bytes(kFrameMaxPayload, 0xA5));
    EXPECT_EQ(largest.size(), static_cast<size_t>(kFrameBufferSize));
    EXPECT_EQ(Parse(largest), std::vector<Bytes>{largest});
    EXPECT_TRUE(Parse(Frame(kFrameTypeReply, 0x30, Bytes(kFrameMaxPayload + 1, 0xA5))).empty());
}

TEST(ReceiverFrameTest, ShortFrameAfterALongOneLeavesNoStaleBytes) {
    const Bytes longFrame = Frame(kFrameTypeReply, 0x0B, Bytes(12, 0xEE));
    const Bytes shortFrame = Frame(kFrameTypeReply, 0x0B, {0x00});
    ReceiverFrameParser parser;
    const Bytes stream = Concat({longFrame, shortFrame});
    int seen = 0;
    parser.Feed(stream.data(), static_cast<int>(stream.size()), [&](const ReceiverFrame&) { ++seen; });
    ASSERT_EQ(seen, 2);
    const ReceiverFrame& last = parser.LastFrame();
    EXPECT_EQ(last.PayloadLength(), 1);
    EXPECT_EQ(last.Payload()[2], 0) << "byte 2 of the short reply must not come from the long one";
}

TEST(ReceiverFrameTest, AStalePartialFrameIsDroppedAndTheFrameBehindItComesOut) {
    // A stray STX of a report whose length byte promises 80 bytes, then a whole hit, all at time 1000.
    const Bytes bogus = {0x02, kFrameTypeReport, kDeviceReportCommand, 0x50};
    struct Case {
        const char* name;
        Bytes second; // fed at 1000 + afterMs (empty: only Expire runs then)
        DWORD afterMs;
        std::vector<Bytes> frames;
    };
    const Case cases[] = {
        {"within the time-out the bytes may still belong to the long frame", {}, kPartialFrameTimeoutMs, {}},
        {"after it the held bytes are scanned again", {}, kPartialFrameTimeoutMs + 1, {kHit}},
        {"bytes that come late drop it before they are read", kEmpty, 200, {kHit, kEmpty}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverFrameParser parser;
        std::vector<Bytes> frames;
        const auto sink = [&](const ReceiverFrame& f) { frames.emplace_back(f.bytes, f.bytes + f.length); };
        const Bytes first = Concat({bogus, kHit});
        parser.Feed(first.data(), static_cast<int>(first.size()), 1000, sink);
        EXPECT_TRUE(frames.empty());
        EXPECT_TRUE(parser.HoldsPartialFrame());
        const DWORD later = 1000 + c.afterMs;
        if (c.second.empty())
            parser.Expire(later, sink);
        else
            parser.Feed(c.second.data(), static_cast<int>(c.second.size()), later, sink);
        EXPECT_EQ(frames, c.frames);
    }
}

TEST(ReceiverFrameTest, AFrameWhoseBytesComeInQuickPiecesIsKept) {
    ReceiverFrameParser parser;
    std::vector<Bytes> frames;
    DWORD now = 5000;
    for (const BYTE b : kHit) {
        parser.Feed(&b, 1, now,
                    [&](const ReceiverFrame& f) { frames.emplace_back(f.bytes, f.bytes + f.length); });
        now += 2;
    }
    EXPECT_EQ(frames, std::vector<Bytes>{kHit});
}

TEST(ReceiverFrameTest, TheTimeOutOfAPartialFrameLeavesOutTheHandOverOfTheFramesBeforeIt) {
    // Read at 1000: a hit and the first bytes of what follows; the hit's hand-over takes 100 ms, then the
    // reader waits on the line again.
    const Bytes bogus = {0x02, kFrameTypeReport, kDeviceReportCommand, 0x50};
    struct Case {
        const char* name;
        Bytes head, tail; // tail fed at 1100 + afterMs (empty: only Expire runs then)
        DWORD afterMs;
        std::vector<Bytes> frames;
    };
    const Case cases[] = {
        {"the rest of a frame read after a slow hand-over completes it",
         Bytes(kEmpty.begin(), kEmpty.begin() + 3),
         Bytes(kEmpty.begin() + 3, kEmpty.end()),
         5,
         {kHit, kEmpty}},
        {"a stray start byte still times out once the reader waits",
         bogus,
         {},
         kPartialFrameTimeoutMs + 1,
         {kHit}},
        {"and not before", bogus, {}, kPartialFrameTimeoutMs, {kHit}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverFrameParser parser;
        std::vector<Bytes> frames;
        const auto sink = [&](const ReceiverFrame& f) { frames.emplace_back(f.bytes, f.bytes + f.length); };
        const Bytes first = Concat({kHit, c.head});
        parser.Feed(first.data(), static_cast<int>(first.size()), 1000, sink);
        parser.ReaderBack(1100);
        if (c.tail.empty())
            parser.Expire(1100 + c.afterMs, sink);
        else
            parser.Feed(c.tail.data(), static_cast<int>(c.tail.size()), 1100 + c.afterMs, sink);
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(parser.HoldsPartialFrame(), c.tail.empty() && c.afterMs <= kPartialFrameTimeoutMs);
    }
}

TEST(ReceiverFrameTest, BuildFrameRefusesAPayloadBeyondTheWriterBuffer) {
    BYTE out[kCommandBufferSize + 8];
    const Bytes payload(kCommandMaxPayload + 1, 0);
    EXPECT_EQ(BuildFrame(out, kFrameTypeCommand, 0x30, payload.data(), kCommandMaxPayload),
              kCommandBufferSize);
    EXPECT_EQ(BuildFrame(out, kFrameTypeCommand, 0x30, payload.data(), kCommandMaxPayload + 1), 0);
    EXPECT_EQ(BuildFrame(out, kFrameTypeCommand, 0x30, payload.data(), -1), 0);
}

} // namespace
