// Transparency, codec bookkeeping, resolution and packed-pixel conversion of the image container.
#include "controls/image/ImageContainer.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string_view>

namespace {

struct TypeName {
    std::string_view name;
    DWORD type;
};

constexpr TypeName kTypeNames[] = {
    {"bmp", 1},  {"gif", 2},  {"jpg", 3},  {"jpe", 3},  {"jfi", 3},  {"png", 4},  {"ico", 5},
    {"cur", 5},  {"tif", 6},  {"tga", 7},  {"pcx", 8},  {"wbm", 9},  {"wmf", 10}, {"emf", 10},
    {"jp2", 11}, {"j2k", 11}, {"jpc", 12}, {"j2c", 12}, {"pgx", 13}, {"pnm", 14}, {"pgm", 14},
    {"ppm", 14}, {"ras", 15}, {"mng", 17}, {"jng", 17}, {"ska", 18}, {"nef", 19}, {"crw", 19},
    {"cr2", 19}, {"dng", 19}, {"arw", 19}, {"erf", 19}, {"3fr", 19}, {"dcr", 19}, {"raw", 19},
    {"x3f", 19}, {"mef", 19}, {"raf", 19}, {"mrw", 19}, {"pef", 19}, {"sr2", 19}, {"orf", 19},
};

// Shifts left by n, or right by -n.
DWORD ShiftBy(DWORD v, int n) {
    return n >= 0 ? v << n : v >> -n;
}

int CountBits(DWORD mask) {
    int n = 0;
    for (int i = 0; i < 16; ++i)
        n += (mask >> i) & 1;
    return n;
}

int BytePosition(DWORD mask) {
    int pos = 0;
    for (int shift : {8, 16, 24})
        if ((mask >> shift) != 0)
            pos = shift / 8;
    return pos;
}

} // namespace

const char* CImageContainer::GetVersion() {
    return "CImageContainer 6.0.0";
}
float CImageContainer::GetVersionNumber() {
    return 6.0f;
}

void CImageContainer::SetTransIndex(std::int32_t idx) {
    // A negative index is below every count, so -1 switches transparency off.
    info.nBkgndIndex = idx < static_cast<std::int32_t>(head.biClrUsed) ? idx : 0;
}

void CImageContainer::SetTransColor(RGBQUAD rgb) {
    rgb.rgbReserved = 0;
    info.nBkgndColor = rgb;
}

RGBQUAD CImageContainer::GetTransColor() {
    if (head.biBitCount < 24 && info.nBkgndIndex >= 0)
        return GetPaletteColor(static_cast<BYTE>(info.nBkgndIndex));
    return info.nBkgndColor;
}

bool CImageContainer::IsTransparent() const {
    return info.nBkgndIndex >= 0;
}

bool CImageContainer::IsTransparent(std::int32_t x, std::int32_t y) {
    if (!pDib)
        return false;
    if (info.nBkgndIndex >= 0) {
        if (head.biClrUsed)
            return GetPixelIndex(x, y) == info.nBkgndIndex;
        const RGBQUAD c = GetPixelColor(x, y, false);
        return c.rgbBlue == info.nBkgndColor.rgbBlue && c.rgbGreen == info.nBkgndColor.rgbGreen &&
               c.rgbRed == info.nBkgndColor.rgbRed;
    }
    if (pAlpha)
        return AlphaGet(x, y) == 0;
    return false;
}

bool CImageContainer::GetTransparentMask(CImageContainer* iDst) {
    if (!pDib)
        return false;
    CImageContainer mask;
    if (!mask.Create(GetWidth(), GetHeight(), 1, GetType())) {
        SetError(mask.GetLastError());
        return false;
    }
    mask.SetStdPalette();
    mask.Clear(0);
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        for (std::int32_t x = 0; x < head.biWidth; ++x)
            if (IsTransparent(x, y))
                mask.BlindSetPixelIndex(x, y, 1);
    return iDst ? iDst->Transfer(mask) : Transfer(mask);
}

void CImageContainer::SetXDPI(std::int32_t dpi) {
    if (dpi <= 0)
        dpi = 96;
    info.xDPI = dpi;
    head.biXPelsPerMeter = PelsPerMeter(dpi);
    if (pDib)
        static_cast<BITMAPINFOHEADER*>(pDib)->biXPelsPerMeter = head.biXPelsPerMeter;
}

void CImageContainer::SetYDPI(std::int32_t dpi) {
    if (dpi <= 0)
        dpi = 96;
    info.yDPI = dpi;
    head.biYPelsPerMeter = PelsPerMeter(dpi);
    if (pDib)
        static_cast<BITMAPINFOHEADER*>(pDib)->biYPelsPerMeter = head.biYPelsPerMeter;
}

bool CImageContainer::SetType(DWORD type) {
    if (type >= 1 && type <= 19 && type != 16) {
        info.dwType = type;
        return true;
    }
    info.dwType = 0;
    return false;
}

DWORD CImageContainer::GetNumTypes() {
    return 18;
}

DWORD CImageContainer::GetTypeIdFromName(const WCHAR* ext) {
    if (!ext)
        return 0;
    char key[4] = {};
    for (int i = 0; i < 3; ++i) {
        if (ext[i] == 0 || ext[i] > 0x7F)
            return 0;
        key[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(ext[i])));
    }
    const std::string_view k(key, 3);
    for (const auto& t : kTypeNames)
        if (t.name == k)
            return t.type;
    return 0;
}

DWORD CImageContainer::GetTypeIndexFromId(DWORD id) {
    if (id <= 15)
        return id;
    switch (id) {
    case 17:
        return 16;
    case 18:
        return 17;
    case 19:
        return 18;
    default:
        return 0;
    }
}

DWORD CImageContainer::GetTypeIdFromIndex(DWORD index) {
    if (index <= 15)
        return index;
    switch (index) {
    case 16:
        return 17;
    case 17:
        return 18;
    case 18:
        return 19;
    default:
        return 0;
    }
}

DWORD CImageContainer::GetCodecOption(DWORD imagetype) const {
    DWORD slot = GetTypeIndexFromId(imagetype);
    if (slot == 0)
        slot = GetTypeIndexFromId(GetType());
    return info.dwCodecOpt[slot];
}

bool CImageContainer::SetCodecOption(DWORD opt, DWORD imagetype) {
    DWORD slot = GetTypeIndexFromId(imagetype);
    if (slot == 0)
        slot = GetTypeIndexFromId(GetType());
    info.dwCodecOpt[slot] = opt;
    return true;
}

BYTE CImageContainer::GetJpegQuality() const {
    return static_cast<BYTE>(info.fQuality + 0.5f);
}

void CImageContainer::GetOffset(std::int32_t* x, std::int32_t* y) const {
    if (x)
        *x = info.xOffset;
    if (y)
        *y = info.yOffset;
}

void CImageContainer::SetOffset(std::int32_t x, std::int32_t y) {
    info.xOffset = x;
    info.yOffset = y;
}

void CImageContainer::SetFlags(DWORD flags, bool bLockReservedFlags) {
    info.dwFlags = bLockReservedFlags ? (flags & 0x0000FFFF) : flags;
}

CImageContainer* CImageContainer::GetFrame(std::int32_t index) const {
    if (!ppFrames || m_frameArrayCount <= 0)
        return nullptr;
    if (index < 0)
        index = m_frameArrayCount - 1;
    if (index >= m_frameArrayCount)
        return nullptr;
    return ppFrames[index];
}

void CImageContainer::Bitfield2RGB(const BYTE* src, DWORD redmask, DWORD greenmask, DWORD bluemask,
                                   BYTE bpp) {
    if (!src || !pDib || GetBpp() != 24)
        return;
    const std::size_t width = GetWidth();
    const std::size_t height = GetHeight();
    if (bpp == 16) {
        const int r = CountBits(redmask), g = CountBits(greenmask), b = CountBits(bluemask);
        const std::size_t srcRow = ((width + 1) / 2) * 4;
        for (std::size_t y = 0; y < height; ++y) {
            const BYTE* s = src + (height - 1 - y) * srcRow;
            BYTE* d = info.pImage + (height - 1 - y) * info.dwEffWidth;
            for (std::size_t x = 0; x < width; ++x) {
                const DWORD w = s[2 * x] | (DWORD{s[2 * x + 1]} << 8);
                d[3 * x] = static_cast<BYTE>(ShiftBy((w & 0xFF) & bluemask, 8 - r));
                d[3 * x + 1] = static_cast<BYTE>(ShiftBy(w & greenmask, 8 - r - g));
                d[3 * x + 2] = static_cast<BYTE>(ShiftBy(w & redmask, 8 - r - g - b));
            }
        }
    } else if (bpp == 32) {
        const int rp = BytePosition(redmask), gp = BytePosition(greenmask), bp = BytePosition(bluemask);
        const std::size_t srcRow = width * 4;
        for (std::size_t y = 0; y < height; ++y) {
            const BYTE* s = src + (height - 1 - y) * srcRow;
            BYTE* d = info.pImage + (height - 1 - y) * info.dwEffWidth;
            for (std::size_t x = 0; x < width; ++x) {
                d[3 * x] = s[4 * x + bp];
                d[3 * x + 1] = s[4 * x + gp];
                d[3 * x + 2] = s[4 * x + rp];
            }
        }
    }
}

void CImageContainer::bihtoh(BITMAPINFOHEADER* bih) const {
    if (!bih || info.bLittleEndianHost)
        return;
    bih->biSize = static_cast<DWORD>(ntohl(static_cast<std::int32_t>(bih->biSize)));
    bih->biWidth = ntohl(bih->biWidth);
    bih->biHeight = ntohl(bih->biHeight);
    bih->biPlanes = ntohs(bih->biPlanes);
    bih->biBitCount = ntohs(bih->biBitCount);
    bih->biCompression = static_cast<DWORD>(ntohl(static_cast<std::int32_t>(bih->biCompression)));
    bih->biSizeImage = static_cast<DWORD>(ntohl(static_cast<std::int32_t>(bih->biSizeImage)));
    bih->biXPelsPerMeter = ntohl(bih->biXPelsPerMeter);
    bih->biYPelsPerMeter = ntohl(bih->biYPelsPerMeter);
    bih->biClrUsed = static_cast<DWORD>(ntohl(static_cast<std::int32_t>(bih->biClrUsed)));
    bih->biClrImportant = static_cast<DWORD>(ntohl(static_cast<std::int32_t>(bih->biClrImportant)));
}

std::int32_t CImageContainer::ntohl(std::int32_t dword) const {
    if (info.bLittleEndianHost)
        return dword;
    const auto u = static_cast<std::uint32_t>(dword);
    return static_cast<std::int32_t>((u >> 24) | ((u >> 8) & 0xFF00) | ((u << 8) & 0xFF0000) | (u << 24));
}

std::uint16_t CImageContainer::ntohs(std::uint16_t word) const {
    if (info.bLittleEndianHost)
        return word;
    return static_cast<std::uint16_t>((word >> 8) | (word << 8));
}
