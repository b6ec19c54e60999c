// Palette access of the image container.
#include "controls/image/ImageContainer.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

struct Rgb {
    BYTE r, g, b;
};

// The sixteen colours of the 4-bit standard palette.
constexpr std::array<Rgb, 16> kStd16 = {{{0, 0, 0},
                                         {128, 0, 0},
                                         {0, 128, 0},
                                         {128, 128, 0},
                                         {0, 0, 128},
                                         {128, 0, 128},
                                         {0, 128, 128},
                                         {192, 192, 192},
                                         {128, 128, 128},
                                         {255, 0, 0},
                                         {0, 255, 0},
                                         {255, 255, 0},
                                         {0, 0, 255},
                                         {255, 0, 255},
                                         {0, 255, 255},
                                         {255, 255, 255}}};

// The first hue's tint and shade ramps are fixed; the other hues are built the same way.
constexpr std::array<Rgb, 12> kFirstRamps = {{{255, 240, 212},
                                              {255, 226, 177},
                                              {255, 212, 142},
                                              {255, 198, 107},
                                              {255, 184, 72},
                                              {255, 170, 37},
                                              {255, 170, 0},
                                              {220, 146, 0},
                                              {185, 122, 0},
                                              {150, 98, 0},
                                              {115, 74, 0},
                                              {80, 50, 0}}};

constexpr std::array<Rgb, 18> kHues = {{{255, 170, 0},
                                        {255, 85, 0},
                                        {255, 0, 0},
                                        {255, 0, 85},
                                        {255, 0, 170},
                                        {255, 0, 255},
                                        {170, 0, 255},
                                        {85, 0, 255},
                                        {0, 0, 255},
                                        {0, 85, 255},
                                        {0, 170, 255},
                                        {0, 255, 255},
                                        {0, 255, 170},
                                        {0, 255, 85},
                                        {0, 255, 0},
                                        {85, 255, 0},
                                        {170, 255, 0},
                                        {255, 255, 0}}};

constexpr std::array<Rgb, 10> kStdTail = {{{255, 251, 240},
                                           {160, 160, 164},
                                           {128, 128, 128},
                                           {255, 0, 0},
                                           {0, 255, 0},
                                           {255, 255, 0},
                                           {0, 0, 255},
                                           {255, 0, 255},
                                           {0, 255, 255},
                                           {255, 255, 255}}};

RGBQUAD Quad(Rgb c) {
    return RGBQUAD{c.b, c.g, c.r, 0};
}

BYTE Tint(BYTE pure, int step) {
    return static_cast<BYTE>(pure + (255 - pure) * (6 - step) * 5 / 36);
}
BYTE Shade(BYTE pure, int step) {
    return static_cast<BYTE>(pure * (255 - 35 * step) / 255);
}

} // namespace

RGBQUAD* CImageContainer::GetPalette() const {
    if (pDib && head.biClrUsed)
        return reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(pDib) + sizeof(BITMAPINFOHEADER));
    return nullptr;
}

RGBQUAD CImageContainer::GetPaletteColor(BYTE idx) const {
    RGBQUAD rgb{0, 0, 0, 0};
    if (const RGBQUAD* pal = GetPalette(); pal && idx < head.biClrUsed)
        rgb = pal[idx];
    return rgb;
}

bool CImageContainer::GetPaletteColor(BYTE i, BYTE* r, BYTE* g, BYTE* b) const {
    const RGBQUAD* pal = GetPalette();
    if (!pal || i >= head.biClrUsed || !r || !g || !b)
        return false;
    *r = pal[i].rgbRed;
    *g = pal[i].rgbGreen;
    *b = pal[i].rgbBlue;
    return true;
}

void CImageContainer::SetPalette(DWORD n, const BYTE* r, const BYTE* g, const BYTE* b) {
    RGBQUAD* pal = GetPalette();
    if (!pal || !r)
        return;
    if (!g)
        g = r;
    if (!b)
        b = g;
    const DWORD m = std::min(n, head.biClrUsed);
    for (DWORD i = 0; i < m; ++i)
        pal[i] = RGBQUAD{b[i], g[i], r[i], 0};
    info.last_c_isvalid = false;
}

void CImageContainer::SetPalette(const rgb_color* rgb, DWORD nColors) {
    RGBQUAD* pal = GetPalette();
    if (!pal || !rgb)
        return;
    const DWORD m = std::min(nColors, head.biClrUsed);
    for (DWORD i = 0; i < m; ++i)
        pal[i] = RGBQUAD{rgb[i].b, rgb[i].g, rgb[i].r, 0};
    info.last_c_isvalid = false;
}

void CImageContainer::SetPalette(const RGBQUAD* pPal, DWORD nColors) {
    RGBQUAD* pal = GetPalette();
    if (!pal || !pPal)
        return;
    std::memcpy(pal, pPal, std::min(nColors, head.biClrUsed) * sizeof(RGBQUAD));
    info.last_c_isvalid = false;
}

void CImageContainer::SetPaletteColor(BYTE idx, BYTE r, BYTE g, BYTE b, BYTE alpha) {
    RGBQUAD* pal = GetPalette();
    if (!pal || idx >= head.biClrUsed)
        return;
    pal[idx] = RGBQUAD{b, g, r, alpha};
    info.last_c_isvalid = false;
}

void CImageContainer::SetPaletteColor(BYTE idx, COLORREF cr) {
    SetPaletteColor(idx, GetRValue(cr), GetGValue(cr), GetBValue(cr), 0);
}

void CImageContainer::SetPaletteColor(BYTE idx, RGBQUAD c) {
    SetPaletteColor(idx, c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved);
}

void CImageContainer::SetGrayPalette() {
    RGBQUAD* pal = GetPalette();
    if (!pal || head.biClrUsed < 2)
        return;
    const DWORD step = 255 / (head.biClrUsed - 1);
    for (DWORD i = 0; i < head.biClrUsed; ++i) {
        const BYTE v = static_cast<BYTE>(i * step);
        pal[i] = RGBQUAD{v, v, v, 0};
    }
    info.last_c_isvalid = false;
}

void CImageContainer::SetStdPalette() {
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    switch (head.biBitCount) {
    case 1:
        pal[0] = RGBQUAD{0, 0, 0, 0};
        pal[1] = RGBQUAD{255, 255, 255, 0};
        break;
    case 4:
        for (int i = 0; i < 16; ++i)
            pal[i] = Quad(kStd16[i]);
        break;
    case 8: {
        for (int i = 0; i < 8; ++i)
            pal[i] = Quad(kStd16[i]);
        pal[8] = Quad({192, 220, 192});
        pal[9] = Quad({166, 202, 240});
        int e = 10;
        for (std::size_t h = 0; h < kHues.size(); ++h) {
            const Rgb pure = kHues[h];
            for (int k = 0; k < 6; ++k, ++e)
                pal[e] =
                    h == 0 ? Quad(kFirstRamps[k]) : Quad({Tint(pure.r, k), Tint(pure.g, k), Tint(pure.b, k)});
            for (int k = 0; k < 6; ++k, ++e)
                pal[e] = h == 0 ? Quad(kFirstRamps[6 + k])
                                : Quad({Shade(pure.r, k), Shade(pure.g, k), Shade(pure.b, k)});
        }
        for (int k = 0; k < 20; ++k, ++e) {
            const BYTE v = static_cast<BYTE>(242 - 12 * k);
            pal[e] = RGBQUAD{v, v, v, 0};
        }
        for (const Rgb& c : kStdTail)
            pal[e++] = Quad(c);
        break;
    }
    default:
        break;
    }
    info.last_c_isvalid = false;
}

void CImageContainer::BlendPalette(COLORREF cr, long perc) {
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    perc = std::clamp(perc, 0L, 100L);
    const long r = GetRValue(cr), g = GetGValue(cr), b = GetBValue(cr);
    for (DWORD i = 0; i < head.biClrUsed; ++i) {
        pal[i].rgbBlue = static_cast<BYTE>((b * perc + pal[i].rgbBlue * (100 - perc)) / 100);
        pal[i].rgbGreen = static_cast<BYTE>((g * perc + pal[i].rgbGreen * (100 - perc)) / 100);
        pal[i].rgbRed = static_cast<BYTE>((r * perc + pal[i].rgbRed * (100 - perc)) / 100);
    }
    info.last_c_isvalid = false;
}

void CImageContainer::SwapIndex(BYTE idx1, BYTE idx2) {
    RGBQUAD* pal = GetPalette();
    if (!pal || idx1 >= head.biClrUsed || idx2 >= head.biClrUsed)
        return;
    std::swap(pal[idx1], pal[idx2]);
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        for (std::int32_t x = 0; x < head.biWidth; ++x) {
            const BYTE i = BlindGetPixelIndex(x, y);
            if (i == idx1)
                BlindSetPixelIndex(x, y, idx2);
            else if (i == idx2)
                BlindSetPixelIndex(x, y, idx1);
        }
    info.last_c_isvalid = false;
}

void CImageContainer::SwapRGB2BGR() {
    if (!pDib)
        return;
    if (RGBQUAD* pal = GetPalette()) {
        for (DWORD i = 0; i < head.biClrUsed; ++i)
            std::swap(pal[i].rgbRed, pal[i].rgbBlue);
        info.last_c_isvalid = false;
        return;
    }
    for (DWORD y = 0; y < GetHeight(); ++y)
        RGBtoBGR(info.pImage + std::size_t{y} * info.dwEffWidth, static_cast<int>(3 * GetWidth()));
}

void CImageContainer::RGBtoBGR(BYTE* buffer, int length) {
    if (!buffer || !pDib || head.biClrUsed)
        return;
    length = std::min<int>(length, static_cast<int>(info.dwEffWidth));
    for (int i = 0; i + 2 < length; i += 3)
        std::swap(buffer[i], buffer[i + 2]);
}

BYTE CImageContainer::GetNearestIndex(RGBQUAD c) {
    const RGBQUAD* pal = GetPalette();
    if (!pDib || !pal)
        return 0;
    if (info.last_c_isvalid && std::memcmp(&info.last_c, &c, sizeof c) == 0)
        return info.last_c_index;
    const DWORD n = head.biClrImportant ? std::min(head.biClrImportant, head.biClrUsed) : head.biClrUsed;
    long best = 200000;
    BYTE index = 0;
    for (DWORD j = 0; j < n; ++j) {
        const long dr = pal[j].rgbRed - c.rgbRed;
        const long dg = pal[j].rgbGreen - c.rgbGreen;
        const long db = pal[j].rgbBlue - c.rgbBlue;
        const long d = dr * dr + dg * dg + db * db;
        if (d == 0) {
            index = static_cast<BYTE>(j);
            break;
        }
        if (d < best) {
            best = d;
            index = static_cast<BYTE>(j);
        }
    }
    info.last_c = c;
    info.last_c_index = index;
    info.last_c_isvalid = true;
    return index;
}

bool CImageContainer::IsSamePalette(const CImageContainer& img, bool bCheckAlpha) const {
    const RGBQUAD* a = GetPalette();
    const RGBQUAD* b = img.GetPalette();
    if (!a || !b || head.biClrUsed == 0 || head.biClrUsed != img.head.biClrUsed)
        return false;
    for (DWORD i = 0; i < head.biClrUsed; ++i)
        if (a[i].rgbRed != b[i].rgbRed || a[i].rgbGreen != b[i].rgbGreen || a[i].rgbBlue != b[i].rgbBlue ||
            (bCheckAlpha && a[i].rgbReserved != b[i].rgbReserved))
            return false;
    return true;
}

void CImageContainer::SetClrImportant(DWORD ncolors) {
    if (ncolors == 0 || ncolors > 256) {
        head.biClrImportant = 0;
        return;
    }
    switch (head.biBitCount) {
    case 1:
        head.biClrImportant = std::min<DWORD>(ncolors, 2);
        break;
    case 4:
        head.biClrImportant = std::min<DWORD>(ncolors, 16);
        break;
    case 8:
        head.biClrImportant = ncolors;
        break;
    default:
        break;
    }
}

RGBQUAD CImageContainer::RGBtoRGBQUAD(COLORREF cr) {
    return RGBQUAD{GetBValue(cr), GetGValue(cr), GetRValue(cr), 0};
}

COLORREF CImageContainer::RGBQUADtoRGB(RGBQUAD c) {
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

long CImageContainer::CompareColors(const void* elem1, const void* elem2) {
    const auto* c1 = static_cast<const RGBQUAD*>(elem1);
    const auto* c2 = static_cast<const RGBQUAD*>(elem2);
    const long g1 = c1->rgbRed * 306 + c1->rgbGreen * 601 + c1->rgbBlue * 117;
    const long g2 = c2->rgbRed * 306 + c2->rgbGreen * 601 + c2->rgbBlue * 117;
    return g1 - g2;
}
