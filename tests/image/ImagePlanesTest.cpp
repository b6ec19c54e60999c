#include "controls/image/ImageContainer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

RECT Box(const CImageContainer& img) {
    RECT r;
    img.SelectionGetBox(r);
    return r;
}

std::vector<std::string> Rows(const CImageContainer& img) {
    std::vector<std::string> rows;
    for (std::int32_t y = static_cast<std::int32_t>(img.GetHeight()) - 1; y >= 0; --y) {
        std::string row;
        for (std::int32_t x = 0; x < static_cast<std::int32_t>(img.GetWidth()); ++x)
            row += img.SelectionGet(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(Selection, ClearSetsTheEmptyOrTheFullBox) {
    CImageContainer img(10, 10, 8, 0);
    EXPECT_FALSE(img.SelectionClear(0)); // no plane yet
    ASSERT_TRUE(img.SelectionCreate());
    img.SelectionClear(0);
    RECT r = Box(img);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 10);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.top, 0);
    img.SelectionClear(255);
    r = Box(img);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.bottom, 0);
    EXPECT_EQ(r.right, 10);
    EXPECT_EQ(r.top, 10);
}

TEST(Selection, WithoutAPlaneEverythingInsideIsSelected) {
    CImageContainer img(3, 3, 24, 0);
    EXPECT_TRUE(img.SelectionIsInside(2, 2));
    EXPECT_FALSE(img.SelectionIsInside(3, 0));
    EXPECT_EQ(img.SelectionGet(1, 1), 0);
    EXPECT_EQ(img.SelectionGetPointer(), nullptr);
}

TEST(Selection, RectanglesAreNormalisedClippedAndBoxed) {
    CImageContainer img(8, 9, 8, 0);
    ASSERT_TRUE(img.SelectionAddRect(RECT{5, 7, 2, 3}, 200));
    for (std::int32_t y = 0; y < 9; ++y)
        for (std::int32_t x = 0; x < 8; ++x)
            EXPECT_EQ(img.SelectionGet(x, y), (x >= 2 && x <= 5 && y >= 3 && y <= 7) ? 200 : 0)
                << x << "," << y;
    const RECT r = Box(img);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.right, 6);
    EXPECT_EQ(r.bottom, 3);
    EXPECT_EQ(r.top, 8);
    ASSERT_TRUE(img.SelectionAddRect(RECT{-10, 100, 0, 8}, 9)); // clipped to column 0, row 8
    EXPECT_EQ(img.SelectionGet(0, 8), 9);
    EXPECT_EQ(Box(img).left, 0);
}

TEST(Selection, EllipseNeedsBothAxes) {
    CImageContainer img(10, 10, 8, 0);
    EXPECT_FALSE(img.SelectionAddEllipse(RECT{4, 2, 4, 8}));
    EXPECT_TRUE(img.SelectionIsValid()); // the plane it made stays
    ASSERT_TRUE(img.SelectionAddEllipse(RECT{1, 1, 9, 9}));
    EXPECT_EQ(img.SelectionGet(5, 5), 255);
    EXPECT_EQ(img.SelectionGet(1, 1), 0); // a corner of the box is outside the ellipse
    EXPECT_EQ(img.SelectionGet(5, 2), 255);
}

TEST(Selection, PolygonsFillTheirInsideAndOutline) {
    CImageContainer img(8, 6, 8, 0);
    const POINT two[2] = {{0, 0}, {3, 3}};
    EXPECT_FALSE(img.SelectionAddPolygon(two, 2));
    EXPECT_FALSE(img.SelectionAddPolygon(nullptr, 5));
    // a square, then (after the separator) a lone triangle
    const POINT shapes[8] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}, {-1, 0}, {6, 0}, {7, 0}, {7, 1}};
    ASSERT_TRUE(img.SelectionAddPolygon(shapes, 8, 255));
    EXPECT_EQ(Rows(img),
              (std::vector<std::string>{"........", //
                                        ".####...", ".####...", ".####...", ".####..#", "......##"}));
    const RECT r = Box(img);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.right, 8);
    EXPECT_EQ(r.bottom, 0);
    EXPECT_EQ(r.top, 5);
}

TEST(Selection, ColourInvertFlipMirrorAndRegion) {
    CImageContainer img(4, 3, 24, 0);
    img.Clear(0);
    img.SetPixelColor(0, 0, RGB(1, 2, 3));
    img.SetPixelColor(3, 0, RGB(1, 2, 3));
    ASSERT_TRUE(img.SelectionAddColor(RGBQUAD{3, 2, 1, 0}, 255));
    EXPECT_EQ(Rows(img), (std::vector<std::string>{"....", "....", "#..#"}));
    img.SelectionFlip();
    EXPECT_EQ(Rows(img), (std::vector<std::string>{"#..#", "....", "...."}));
    EXPECT_EQ(Box(img).bottom, 2);
    EXPECT_EQ(Box(img).top, 3);
    img.SelectionInvert(); // levels are complemented: 255 becomes 0
    EXPECT_EQ(Rows(img), (std::vector<std::string>{".##.", "####", "####"}));
    img.SelectionAddPixel(1, 2, 0);
    img.SelectionMirror();
    EXPECT_EQ(Rows(img), (std::vector<std::string>{".#..", "####", "####"}));
    EXPECT_EQ(Box(img).left, 0);
    EXPECT_EQ(Box(img).right, 4);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_TRUE(img.SelectionToHRGN(region));
    EXPECT_TRUE(PtInRegion(region, 1, 2));
    EXPECT_FALSE(PtInRegion(region, 2, 2));
    EXPECT_EQ(region->boxes.size(), 3u); // one run per row
    DeleteObject(region);
}

TEST(Selection, SetFromAGreyImageAndSplit) {
    CImageContainer img(3, 2, 24, 0), grey(3, 2, 8, 0), colour(3, 2, 8, 0);
    grey.SetGrayPalette();
    grey.Clear(0);
    grey.SetPixelIndex(2, 1, 90);
    EXPECT_FALSE(img.SelectionSet(colour)); // not grey
    EXPECT_STREQ(img.GetLastError(),
                 "CImageContainer::SelectionSet: wrong width or height, or image is not gray scale");
    ASSERT_TRUE(img.SelectionSet(grey));
    EXPECT_EQ(img.SelectionGet(2, 1), 90);
    EXPECT_EQ(Box(img).left, 2);

    CImageContainer split;
    ASSERT_TRUE(img.SelectionSplit(&split));
    EXPECT_TRUE(split.IsGrayScale());
    EXPECT_EQ(split.GetPixelIndex(2, 1), 90);
}

TEST(Alpha, CreateSetFlipAndCopy) {
    CImageContainer img(3, 2, 24, 0);
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
    ASSERT_TRUE(img.AlphaCreate());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(img.AlphaGet(x, y), 255);
    img.AlphaSet(0, 0, 10);
    img.AlphaSet(9, 9, 10); // outside: nothing
    img.AlphaFlip();
    EXPECT_EQ(img.AlphaGet(0, 1), 10);
    img.AlphaMirror();
    EXPECT_EQ(img.AlphaGet(2, 1), 10);
    img.AlphaInvert();
    EXPECT_EQ(img.AlphaGet(2, 1), 245);

    CImageContainer other(3, 2, 8, 0);
    img.AlphaSetMax(128);
    ASSERT_TRUE(other.AlphaCopy(img));
    EXPECT_EQ(other.AlphaGet(2, 1), 245);
    EXPECT_EQ(other.AlphaGetMax(), 128);
    CImageContainer wrongSize(2, 2, 8, 0);
    EXPECT_FALSE(wrongSize.AlphaCopy(img));
}

TEST(Alpha, StripFlattensOntoTheBackground) {
    CImageContainer img(2, 1, 24, 0);
    img.SetPixelColor(0, 0, RGB(200, 200, 200));
    img.SetPixelColor(1, 0, RGB(200, 200, 200));
    img.AlphaCreate();
    img.AlphaSet(0, 0, 0);
    img.SetTransColor(RGBQUAD{0, 0, 100, 0}); // background red 100
    img.AlphaStrip();
    EXPECT_FALSE(img.AlphaIsValid());
    EXPECT_EQ(img.GetPixelColor(0, 0).rgbRed, (100 * 256) >> 8);
    EXPECT_EQ(img.GetPixelColor(1, 0).rgbRed, (100 * 1 + 200 * 255) >> 8);

    CImageContainer indexed(2, 1, 8, 0);
    indexed.SetGrayPalette();
    indexed.SetPixelIndex(1, 0, 200);
    indexed.AlphaCreate();
    indexed.AlphaStrip();
    EXPECT_EQ(indexed.GetBpp(), 24u);
    EXPECT_EQ(indexed.GetPixelColor(1, 0).rgbGreen, (0 * 1 + 200 * 255) >> 8);
}

TEST(Alpha, FromTransparencyAndPaletteAlpha) {
    CImageContainer img(2, 2, 8, 0);
    img.SetGrayPalette();
    img.Clear(3);
    EXPECT_FALSE(img.AlphaFromTransparency());
    img.SetTransIndex(3);
    img.SetPixelIndex(1, 1, 4);
    ASSERT_TRUE(img.AlphaFromTransparency());
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
    EXPECT_EQ(img.AlphaGet(1, 1), 255);

    EXPECT_FALSE(img.AlphaPaletteIsValid());
    CImageContainer out;
    EXPECT_FALSE(img.AlphaPaletteSplit(&out));
    img.SetPaletteColor(4, 4, 4, 4, 77);
    EXPECT_TRUE(img.AlphaPaletteIsValid());
    img.AlphaDelete();
    ASSERT_TRUE(img.AlphaPaletteSplit(&out));
    EXPECT_EQ(out.GetPixelIndex(1, 1), 77);
    img.AlphaPaletteClear();
    EXPECT_FALSE(img.AlphaPaletteIsValid());
}

TEST(Layers, InsertDeleteAndOrder) {
    CImageContainer img(2, 2, 8, 0);
    EXPECT_FALSE(img.LayerDelete(-1));
    ASSERT_TRUE(img.LayerCreate());
    ASSERT_TRUE(img.LayerCreate());
    img.GetLayer(0)->SetFrameDelay(10);
    img.GetLayer(1)->SetFrameDelay(11);
    ASSERT_TRUE(img.LayerCreate(-1));
    img.GetLayer(-1)->SetFrameDelay(12);
    EXPECT_EQ(img.GetNumLayers(), 3);
    EXPECT_EQ(img.GetLayer(2)->GetParent(), &img);
    ASSERT_TRUE(img.LayerCreate(1));
    EXPECT_EQ(img.GetLayer(1)->GetFrameDelay(), 0u);
    ASSERT_TRUE(img.LayerDelete(1));
    ASSERT_TRUE(img.LayerDelete(0));
    EXPECT_EQ(img.GetNumLayers(), 2);
    EXPECT_EQ(img.GetLayer(0)->GetFrameDelay(), 11u);
    EXPECT_EQ(img.GetLayer(1)->GetFrameDelay(), 12u);
    EXPECT_FALSE(img.LayerDelete(2));
    EXPECT_EQ(img.GetLayer(2), nullptr);
    img.LayerDeleteAll();
    EXPECT_EQ(img.GetNumLayers(), 0);
    EXPECT_EQ(img.GetLayer(-1), nullptr);
}

} // namespace
