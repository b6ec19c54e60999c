#include "controls/image/ImageContainer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

struct StrideCase {
    DWORD width;
    DWORD askedBits;
    DWORD bits;
    DWORD stride;
    DWORD colours;
};

class StrideTable : public testing::TestWithParam<StrideCase> {};

TEST_P(StrideTable, RowsArePaddedToFourBytesAndBitsAreNormalised) {
    const StrideCase c = GetParam();
    CImageContainer img;
    ASSERT_NE(img.Create(c.width, 3, c.askedBits, 0), nullptr);
    EXPECT_EQ(img.GetBpp(), c.bits);
    EXPECT_EQ(img.GetEffWidth(), c.stride);
    EXPECT_EQ(img.GetNumColors(), c.colours);
    EXPECT_EQ(img.IsIndexed(), c.colours != 0);
    EXPECT_EQ(img.GetSize(), 40 + c.colours * 4 + c.stride * 3);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrideTable,
                         testing::Values(StrideCase{1, 1, 1, 4, 2}, StrideCase{33, 1, 1, 8, 2},
                                         StrideCase{9, 0, 1, 4, 2}, StrideCase{7, 2, 4, 4, 16},
                                         StrideCase{9, 4, 4, 8, 16}, StrideCase{5, 8, 8, 8, 256},
                                         StrideCase{4, 6, 8, 4, 256}, StrideCase{1, 24, 24, 4, 0},
                                         StrideCase{5, 24, 24, 16, 0}, StrideCase{10, 32, 24, 32, 0}));

struct RefusalCase {
    const char* name;
    DWORD width, height, bits;
    const char* error;
};

class RefusalTable : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTable, OversizedOrEmptyImagesAreRefusedWithTheirMessage) {
    const RefusalCase c = GetParam();
    CImageContainer img;
    EXPECT_EQ(img.Create(c.width, c.height, c.bits, 0), nullptr);
    EXPECT_FALSE(img.IsValid());
    EXPECT_STREQ(img.GetLastError(), c.error);
    EXPECT_EQ(img.GetBits(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTable,
    testing::Values(RefusalCase{"zero_width", 0, 10, 8,
                                "CImageContainer::Create : width and height must be greater than zero"},
                    RefusalCase{"zero_height", 10, 0, 24,
                                "CImageContainer::Create : width and height must be greater than zero"},
                    RefusalCase{"over_the_memory_limit", 10000, 10000, 24, "IMAGE_MAX_MEMORY exceeded"},
                    // 65536 x 65536 wraps to 0 in 32 bits: the limit is checked in full width.
                    RefusalCase{"product_wraps", 65536, 65536, 1, "IMAGE_MAX_MEMORY exceeded"},
                    // one pixel wide: the row padding, not the pixels, would take 400 MB
                    RefusalCase{"padding_over_the_limit", 1, 100000000, 1, "IMAGE_MAX_MEMORY exceeded"},
                    RefusalCase{"width_beyond_a_signed_int", 0x80000000u, 1, 1, "IMAGE_MAX_MEMORY exceeded"}),
    [](const auto& info) { return std::string(info.param.name); });

struct PixelCase {
    DWORD bits;
    std::int32_t x, y;
    BYTE value;
    std::size_t offset; // from the first row
    BYTE stored;
};

class PixelAddressing : public testing::TestWithParam<PixelCase> {};

TEST_P(PixelAddressing, IndexesLandInTheirBitsAndReadBack) {
    const PixelCase c = GetParam();
    CImageContainer img(20, 4, c.bits, 0);
    ASSERT_TRUE(img.IsValid());
    img.Clear(0);
    img.SetPixelIndex(c.x, c.y, c.value);
    EXPECT_EQ(img.GetBits()[c.offset], c.stored);
    EXPECT_EQ(img.GetPixelIndex(c.x, c.y), c.value);
    // neighbours untouched
    EXPECT_EQ(img.GetPixelIndex(c.x + 1, c.y), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, PixelAddressing,
                         testing::Values(PixelCase{1, 0, 0, 1, 0, 0x80}, PixelCase{1, 9, 0, 1, 1, 0x40},
                                         PixelCase{1, 7, 1, 1, 4 + 0, 0x01}, PixelCase{4, 0, 0, 0xA, 0, 0xA0},
                                         PixelCase{4, 1, 0, 0x5, 0, 0x05},
                                         PixelCase{4, 3, 2, 0xF, 2 * 12 + 1, 0x0F},
                                         PixelCase{8, 5, 3, 200, 3 * 20 + 5, 200}));

TEST(Image, TwentyFourBitPixelsAreStoredBlueGreenRed) {
    CImageContainer img(3, 2, 24, 0);
    img.Clear(0);
    img.SetPixelColor(2, 1, RGB(10, 20, 30));
    const BYTE* row = img.GetBits(1);
    EXPECT_EQ(row[6], 30);
    EXPECT_EQ(row[7], 20);
    EXPECT_EQ(row[8], 10);
    const RGBQUAD c = img.GetPixelColor(2, 1);
    EXPECT_EQ(c.rgbRed, 10);
    EXPECT_EQ(c.rgbBlue, 30);
    EXPECT_EQ(img.GetPixelGray(2, 1), (10 * 306 + 20 * 601 + 30 * 117) >> 10);
}

TEST(Image, ClearFillsByDepth) {
    CImageContainer one(8, 1, 1, 0), four(2, 1, 4, 0);
    one.Clear(3);
    four.Clear(0x13);
    EXPECT_EQ(one.GetBits()[0], 0xFF);
    EXPECT_EQ(four.GetBits()[0], 3 * 17);
}

TEST(Palette, GreyAndStandardPalettes) {
    CImageContainer four(4, 4, 4, 0), eight(4, 4, 8, 0);
    four.SetGrayPalette();
    EXPECT_EQ(four.GetPaletteColor(1).rgbGreen, 17);
    EXPECT_EQ(four.GetPaletteColor(15).rgbRed, 255);
    eight.SetGrayPalette();
    EXPECT_TRUE(eight.IsGrayScale());
    EXPECT_FALSE(four.IsGrayScale()); // entry 1 is 17, not 1

    eight.SetStdPalette();
    auto rgb = [&](int i) {
        const RGBQUAD q = eight.GetPaletteColor(static_cast<BYTE>(i));
        return std::vector<int>{q.rgbRed, q.rgbGreen, q.rgbBlue};
    };
    EXPECT_EQ(rgb(7), (std::vector<int>{192, 192, 192}));
    EXPECT_EQ(rgb(9), (std::vector<int>{166, 202, 240}));
    EXPECT_EQ(rgb(10), (std::vector<int>{255, 240, 212}));
    EXPECT_EQ(rgb(16), (std::vector<int>{255, 170, 0}));
    EXPECT_EQ(rgb(21), (std::vector<int>{80, 50, 0}));
    EXPECT_EQ(rgb(226), (std::vector<int>{242, 242, 242}));
    EXPECT_EQ(rgb(245), (std::vector<int>{14, 14, 14}));
    EXPECT_EQ(rgb(246), (std::vector<int>{255, 251, 240}));
    EXPECT_EQ(rgb(255), (std::vector<int>{255, 255, 255}));
}

TEST(Palette, NearestIndexPrefersExactThenClosestThenEarlier) {
    CImageContainer img(2, 2, 4, 0);
    img.SetStdPalette();
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{0, 0, 255, 0}), 9);   // pure red, exact
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{10, 10, 250, 0}), 9); // near red
    img.SetPaletteColor(9, 0, 0, 0);                            // the cache must not answer now
    EXPECT_NE(img.GetNearestIndex(RGBQUAD{10, 10, 250, 0}), 9);
    img.SetPaletteColor(3, RGB(1, 1, 1));
    img.SetPaletteColor(4, RGB(1, 1, 1));
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{1, 1, 1, 0}), 3);
    // an indexed image stores the nearest entry
    img.SetPixelColor(1, 1, RGB(250, 250, 250));
    EXPECT_EQ(img.GetPixelIndex(1, 1), 15);
}

TEST(Palette, SetPaletteArraysAndSwaps) {
    CImageContainer img(4, 1, 4, 0);
    const BYTE reds[3] = {1, 2, 3};
    img.SetPalette(3, reds, nullptr, nullptr);
    EXPECT_EQ(img.GetPaletteColor(2).rgbBlue, 3); // blues take the greens, which take the reds
    img.Clear(0);
    img.SetPixelIndex(0, 0, 1);
    img.SwapIndex(0, 1);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(img.GetPaletteColor(0).rgbRed, 2);
}

TEST(Transparency, IndexRulesAndOutsidePixels) {
    CImageContainer img(4, 4, 8, 0);
    img.SetGrayPalette();
    img.Clear(7);
    img.SetTransIndex(300);
    EXPECT_EQ(img.GetTransIndex(), 0);
    img.SetTransIndex(-1);
    EXPECT_EQ(img.GetTransIndex(), -1);
    // outside, without a transparent index: the colour at (0, 0)
    EXPECT_EQ(img.GetPixelColor(-1, 0).rgbRed, 7);
    img.SetTransIndex(5);
    EXPECT_EQ(img.GetPixelColor(9, 9).rgbRed, 5);
    EXPECT_EQ(img.GetPixelIndex(9, 9), 5);
    img.SetPixelIndex(1, 1, 5);
    EXPECT_TRUE(img.IsTransparent(1, 1));
    EXPECT_FALSE(img.IsTransparent(0, 0));

    CImageContainer mask;
    ASSERT_TRUE(img.GetTransparentMask(&mask));
    EXPECT_EQ(mask.GetBpp(), 1u);
    EXPECT_EQ(mask.GetPixelIndex(1, 1), 1);
    EXPECT_EQ(mask.GetPixelIndex(0, 0), 0);
}

TEST(Image, LinesIncludeBothEndsAndSkipWhatIsOutside) {
    CImageContainer img(5, 5, 8, 0);
    img.SetGrayPalette();
    img.Clear(0);
    img.DrawLine(-2, 6, 2, 2, RGB(255, 255, 255));
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 2), 255) << x;
    img.DrawLine(0, 4, 0, 4, RGB(128, 128, 128));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(img.GetPixelIndex(i, i), 128) << i;
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
}

// The line as Bresenham walks it step by step, for ends near enough to walk.
std::vector<std::pair<int, int>> WalkedLine(int x0, int x1, int y0, int y1, int width, int height) {
    std::vector<std::pair<int, int>> points;
    const long long dx = std::llabs(static_cast<long long>(x1) - x0);
    const long long dy = std::llabs(static_cast<long long>(y1) - y0);
    const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    long long x = x0, y = y0;
    const long long major = std::max(dx, dy), minor = std::min(dx, dy);
    long long err = major / 2;
    for (long long i = 0; i <= major; ++i) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            points.emplace_back(static_cast<int>(x), static_cast<int>(y));
        err -= minor;
        const bool step = err < 0;
        if (step)
            err += major;
        if (dx >= dy) {
            x += sx;
            y += step ? sy : 0;
        } else {
            y += sy;
            x += step ? sx : 0;
        }
    }
    std::ranges::sort(points);
    return points;
}

std::vector<std::pair<int, int>> LitPixels(CImageContainer& img) {
    std::vector<std::pair<int, int>> points;
    for (int x = 0; x < static_cast<int>(img.GetWidth()); ++x)
        for (int y = 0; y < static_cast<int>(img.GetHeight()); ++y)
            if (img.GetPixelIndex(x, y) != 0)
                points.emplace_back(x, y);
    return points;
}

TEST(Image, LinesWithFarOffEndsLightTheSamePixelsAsTheWholeWalk) {
    const struct {
        int x0, x1, y0, y1;
    } cases[] = {
        {-3000, 4000, 7, -2}, {4000, -3000, -2, 7},  {-50, 80, -900, 1200}, {1200, -900, 80, -50},
        {-7, 45, 29, -1},     {39, 39, -5000, 5000}, {-1000, 1000, 3, 3},   {-999, 1001, -998, 1002},
        {20, 20, 15, 15},     {100, 200, 5, 5},      {-20, 60, 60, -20},    {5, 6, -4000, 4001},
    };
    for (const auto& c : cases) {
        CImageContainer img(40, 30, 8, 0);
        img.SetGrayPalette();
        img.Clear(0);
        img.DrawLine(c.x0, c.x1, c.y0, c.y1, RGB(255, 255, 255));
        EXPECT_EQ(LitPixels(img), WalkedLine(c.x0, c.x1, c.y0, c.y1, 40, 30))
            << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
    }
}

TEST(Image, LinesAcrossTheWholeCoordinateRangeLightOnlyTheirPixelsInside) {
    constexpr int kLow = std::numeric_limits<int>::min(), kHigh = std::numeric_limits<int>::max();
    CImageContainer img(40, 30, 8, 0);
    img.SetGrayPalette();
    img.Clear(0);
    img.DrawLine(kLow, kHigh, kLow, kHigh, RGB(255, 255, 255)); // the diagonal through (0, 0)
    img.DrawLine(kHigh, kLow, 3, 3, RGB(255, 255, 255));        // row 3
    img.DrawLine(1, 1, kLow, kHigh, RGB(255, 255, 255));        // column 1
    std::vector<std::pair<int, int>> expected;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y)
            if (x == y || y == 3 || x == 1)
                expected.emplace_back(x, y);
    EXPECT_EQ(LitPixels(img), expected);
}

TEST(Image, CopyAndGhosts) {
    CImageContainer src(4, 3, 24, IMAGE_FORMAT_PNG);
    src.Clear(9);
    src.AlphaCreate();
    src.LayerCreate();
    CImageContainer copy(src);
    EXPECT_EQ(copy.GetType(), static_cast<DWORD>(IMAGE_FORMAT_PNG));
    EXPECT_EQ(std::memcmp(copy.GetBits(), src.GetBits(), src.GetEffWidth() * 3), 0);
    EXPECT_TRUE(copy.AlphaIsValid());
    EXPECT_EQ(copy.GetNumLayers(), 0); // layers are not copied
    EXPECT_EQ(copy.GetLayer(0), nullptr);

    CImageContainer without(src, false, false, false);
    EXPECT_FALSE(without.AlphaIsValid());

    // A ghost shares and never frees.
    class Ghostly : public CImageContainer {
    public:
        void MakeGhostOf(const CImageContainer& s) { Ghost(&s); }
    };
    Ghostly ghost;
    ghost.MakeGhostOf(src);
    EXPECT_EQ(ghost.GetDIB(), src.GetDIB());
    EXPECT_FALSE(ghost.Destroy());
    EXPECT_EQ(ghost.Create(2, 2, 8), nullptr);
    EXPECT_FALSE(ghost.LayerDelete(0));
    EXPECT_TRUE(src.IsValid());
}

TEST(Image, TransferLeavesTheSourceEmpty) {
    CImageContainer a(3, 3, 8, 0), b;
    a.SelectionCreate();
    a.LayerCreate();
    ASSERT_TRUE(b.Transfer(a));
    EXPECT_TRUE(b.IsValid());
    EXPECT_TRUE(b.SelectionIsValid());
    EXPECT_EQ(b.GetNumLayers(), 1);
    EXPECT_EQ(b.GetLayer(0)->GetParent(), &b);
    EXPECT_FALSE(a.IsValid());
    EXPECT_EQ(a.GetNumLayers(), 0);
}

TEST(Image, CreateFromArrayFlipsAndSplitsAlpha) {
    const BYTE pixels[2 * 8] = {1, 2, 3, 40, 4, 5, 6, 50, 7, 8, 9, 60, 10, 11, 12, 70};
    CImageContainer img;
    ASSERT_TRUE(img.CreateFromArray(pixels, 2, 2, 32, 8, true));
    EXPECT_EQ(img.GetBpp(), 24u);
    EXPECT_EQ(img.GetBits(1)[0], 1); // first source row became the top row
    EXPECT_EQ(img.AlphaGet(1, 1), 50);
    EXPECT_EQ(img.AlphaGet(0, 0), 60);
    EXPECT_FALSE(img.CreateFromArray(pixels, 2, 2, 16, 8, false));
    EXPECT_FALSE(img.CreateFromArray(nullptr, 2, 2, 8, 8, false));
}

TEST(Bookkeeping, TypesResolutionAndOptions) {
    EXPECT_EQ(CImageContainer::GetTypeIdFromName(u"JPEG"), 3u);
    EXPECT_EQ(CImageContainer::GetTypeIdFromName(u"Png"), 4u);
    EXPECT_EQ(CImageContainer::GetTypeIdFromName(u"orf"), 19u);
    EXPECT_EQ(CImageContainer::GetTypeIdFromName(u"xy"), 0u);
    EXPECT_EQ(CImageContainer::GetTypeIndexFromId(17), 16u);
    EXPECT_EQ(CImageContainer::GetTypeIdFromIndex(16), 17u);
    EXPECT_EQ(CImageContainer::GetTypeIndexFromId(16), 0u);
    EXPECT_STREQ(CImageContainer::GetVersion(), "CImageContainer 6.0.0");

    CImageContainer img(2, 2, 24, IMAGE_FORMAT_GIF);
    EXPECT_FALSE(img.SetType(16));
    EXPECT_EQ(img.GetType(), 0u);
    EXPECT_TRUE(img.SetType(IMAGE_FORMAT_GIF));
    img.SetCodecOption(7); // type 0: the image's own slot
    EXPECT_EQ(img.GetCodecOption(IMAGE_FORMAT_GIF), 7u);
    img.SetXDPI(300);
    EXPECT_EQ(static_cast<const BITMAPINFOHEADER*>(img.GetDIB())->biXPelsPerMeter, 11811);
    img.SetYDPI(0);
    EXPECT_EQ(img.GetYDPI(), 96);
    img.SetXDPI(2'000'000'000); // beyond what the header's field holds: held at its largest
    EXPECT_EQ(static_cast<const BITMAPINFOHEADER*>(img.GetDIB())->biXPelsPerMeter, 2147483647);
    img.SetJpegQualityF(-3);
    EXPECT_EQ(img.GetJpegQuality(), 0);
    img.SetFlags(0xABCD1234);
    EXPECT_EQ(img.GetFlags(), 0x1234u);
}

// dump

std::vector<BYTE> DumpOf(CImageContainer& img) {
    std::vector<BYTE> bytes(img.DumpSize());
    EXPECT_EQ(img.Dump(bytes.data()), bytes.size());
    return bytes;
}

CImageContainer Patterned(DWORD bits) {
    CImageContainer img(7, 5, bits, IMAGE_FORMAT_BMP);
    img.SetStdPalette();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            if (bits == 24)
                img.SetPixelColor(x, y, RGB(x * 30, y * 40, x + y));
            else
                img.SetPixelIndex(x, y, static_cast<BYTE>((x + 3 * y) % (1 << bits)));
        }
    return img;
}

class DumpRoundTrip : public testing::TestWithParam<DWORD> {};

TEST_P(DumpRoundTrip, EveryDepthComesBackByteForByte) {
    CImageContainer img = Patterned(GetParam());
    img.AlphaCreate();
    img.AlphaSet(3, 2, 17);
    img.SelectionAddRect(RECT{1, 3, 4, 1}, 200);
    img.LayerCreate();
    img.GetLayer(0)->Create(2, 2, 8);
    img.SetTransIndex(GetParam() == 24 ? -1 : 1);
    const std::vector<BYTE> bytes = DumpOf(img);

    CImageContainer back;
    ASSERT_EQ(back.UnDump(bytes.data(), bytes.size()), bytes.size());
    EXPECT_EQ(DumpOf(back), bytes);
    EXPECT_EQ(back.AlphaGet(3, 2), 17);
    EXPECT_EQ(back.SelectionGet(2, 2), 200);
    ASSERT_EQ(back.GetNumLayers(), 1);
    EXPECT_EQ(back.GetLayer(0)->GetParent(), &back);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(back.GetPixelColor(x, y, false).rgbRed, img.GetPixelColor(x, y, false).rgbRed);
}

INSTANTIATE_TEST_SUITE_P(Depths, DumpRoundTrip, testing::Values(1u, 4u, 8u, 24u));

TEST(Dump, WritesReferencesAsZeroAndKeepsTheLayout) {
    CImageContainer img(2, 2, 8, 0);
    img.LayerCreate();
    const std::vector<BYTE> bytes = DumpOf(img);
    BITMAPINFOHEADER h;
    std::memcpy(&h, bytes.data(), 40);
    EXPECT_EQ(h.biWidth, 2);
    for (std::size_t off : {4u, 8u, 12u}) { // first row, ghost source, parent
        std::uint32_t v;
        std::memcpy(&v, bytes.data() + 40 + off, 4);
        EXPECT_EQ(v, 0u) << off;
    }
    std::int32_t layers;
    std::memcpy(&layers, bytes.data() + 40 + 432, 4);
    EXPECT_EQ(layers, 1);
    EXPECT_EQ(bytes.size(), 484 + img.GetSize() + 1 + 1 + 1 + img.GetLayer(0)->DumpSize() + 1);
}

TEST(Dump, FramesReadBackFromAHandMadeDump) {
    CImageContainer outer(3, 3, 8, 0), frame(2, 1, 24, 0);
    frame.Clear(42);
    std::vector<BYTE> bytes = DumpOf(outer);
    const std::vector<BYTE> frameBytes = DumpOf(frame);
    bytes.back() = 1; // frames marker
    const std::int32_t one = 1;
    std::memcpy(bytes.data() + 40 + 304, &one, 4);
    bytes.insert(bytes.end(), frameBytes.begin(), frameBytes.end());

    CImageContainer back;
    ASSERT_EQ(back.UnDump(bytes.data(), bytes.size()), bytes.size());
    ASSERT_NE(back.GetFrame(0), nullptr);
    EXPECT_EQ(back.GetFrame(-1), back.GetFrame(0));
    EXPECT_EQ(back.GetFrame(1), nullptr);
    EXPECT_EQ(back.GetFrame(0)->GetBits()[0], 42);
    EXPECT_EQ(DumpOf(back), bytes);
}

TEST(Dump, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    CImageContainer img = Patterned(4);
    img.AlphaCreate();
    img.SelectionCreate();
    img.LayerCreate();
    img.GetLayer(0)->Create(3, 2, 1);
    const std::vector<BYTE> bytes = DumpOf(img);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        // a copy of exactly n bytes, so the sanitizer sees any read beyond it
        std::vector<BYTE> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        CImageContainer back;
        EXPECT_EQ(back.UnDump(prefix.data(), prefix.size()), 0u) << n;
    }
}

// An image whose layers nest `depth` deep below it, each a small picture of its own.
void NestLayers(CImageContainer& img, int depth) {
    CImageContainer* at = &img;
    for (int i = 0; i < depth; ++i) {
        ASSERT_TRUE(at->LayerCreate());
        at = at->GetLayer(0);
        ASSERT_NE(at->Create(2, 2, 8, 0), nullptr);
        at->Clear(static_cast<BYTE>(i));
    }
}

TEST(Dump, LayersNestedDeeperThanAReaderTakesHaveNoDumpAndWriteNothing) {
    const struct {
        int depth;
        bool dumped;
    } cases[] = {{1, true}, {16, true}, {17, false}, {40, false}};
    for (const auto& c : cases) {
        CImageContainer img(3, 3, 24, 0);
        NestLayers(img, c.depth);
        const DWORD size = img.DumpSize();
        // The caller's buffer is as large as DumpSize says, not a byte more: a writer passing it is caught.
        std::vector<BYTE> bytes(size, 0xA5);
        const DWORD written = img.Dump(size ? bytes.data() : reinterpret_cast<BYTE*>(&bytes));
        if (!c.dumped) {
            EXPECT_EQ(size, 0u) << c.depth;
            EXPECT_EQ(written, 0u) << c.depth;
            continue;
        }
        ASSERT_GT(size, 0u) << c.depth;
        EXPECT_EQ(written, size) << c.depth;
        CImageContainer back;
        ASSERT_EQ(back.UnDump(bytes.data(), bytes.size()), size) << c.depth;
        EXPECT_EQ(DumpOf(back), bytes) << c.depth;
    }
}

TEST(Dump, HugeClaimedCountsAreRefused) {
    CImageContainer img(2, 2, 8, 0);
    std::vector<BYTE> bytes = DumpOf(img);
    bytes[bytes.size() - 2] = 1; // layers marker
    const std::int32_t many = 0x7FFFFFFF;
    std::memcpy(bytes.data() + 40 + 432, &many, 4);
    CImageContainer back;
    EXPECT_EQ(back.UnDump(bytes.data(), bytes.size()), 0u);
    EXPECT_EQ(back.GetNumLayers(), 0);
}

} // namespace
