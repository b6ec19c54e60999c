// The Windows structures the image container exchanges with its callers, laid out byte for byte as the
// callers' own code and the dump format expect them.
#pragma once

#include "platform/WinTypes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

using LONG = std::int32_t;

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

// The header's resolution of a DPI value. A DPI read from a stream can be anything; the result stays in
// the field's range instead of overflowing it.
inline LONG PelsPerMeter(std::int32_t dpi) {
    const double pels = std::floor(dpi * 10000.0 / 254 + 0.5);
    return static_cast<LONG>(
        std::clamp(pels, double(std::numeric_limits<LONG>::min()), double(std::numeric_limits<LONG>::max())));
}

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

static_assert(sizeof(RGBQUAD) == 4);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RECT) == 16);
static_assert(sizeof(POINT) == 8);
static_assert(sizeof(COLORREF) == 4);

constexpr DWORD BI_RGB = 0;

constexpr BYTE GetRValue(COLORREF c) {
    return static_cast<BYTE>(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c) {
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c) {
    return static_cast<BYTE>((c >> 16) & 0xFF);
}
