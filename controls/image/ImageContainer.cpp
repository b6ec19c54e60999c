// Life cycle, geometry and pixel access of the image container.
#include "controls/image/ImageContainer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

std::uint64_t StrideOf(std::uint64_t width, std::uint64_t bits) {
    return ((width * bits + 31) / 32) * 4;
}

} // namespace

CImageContainer::CImageContainer(DWORD imagetype) {
    Startup(imagetype);
}

CImageContainer::CImageContainer(DWORD dwWidth, DWORD dwHeight, DWORD wBpp, DWORD imagetype) {
    Startup(imagetype);
    Create(dwWidth, dwHeight, wBpp, imagetype);
}

CImageContainer::CImageContainer(const CImageContainer& src, bool copypixels, bool copyselection,
                                 bool copyalpha) {
    Startup(src.GetType());
    Copy(src, copypixels, copyselection, copyalpha);
}

CImageContainer& CImageContainer::operator=(const CImageContainer& src) {
    if (this != &src)
        Copy(src);
    return *this;
}

CImageContainer::~CImageContainer() {
    DestroyFrames();
    Destroy();
}

void CImageContainer::Startup(DWORD imagetype) {
    pDib = nullptr;
    pSelection = nullptr;
    pAlpha = nullptr;
    ppLayers = nullptr;
    ppFrames = nullptr;
    m_frameArrayCount = 0;
    std::memset(&head, 0, sizeof head);
    info = IMAGEINFO{};
    info.dwType = imagetype;
    info.fQuality = 90.0f;
    info.nAlphaMax = 255;
    info.nBkgndIndex = -1;
    info.bEnabled = true;
    info.xDPI = 96;
    info.yDPI = 96;
    info.bLittleEndianHost = true;
}

void CImageContainer::SetError(const char* text) {
    std::strncpy(info.szLastError, text, sizeof info.szLastError - 1);
    info.szLastError[sizeof info.szLastError - 1] = '\0';
}

void* CImageContainer::Create(DWORD dwWidth, DWORD dwHeight, DWORD wBpp, DWORD imagetype) {
    if (!Destroy())
        return nullptr;
    if (dwWidth == 0 || dwHeight == 0) {
        SetError("CImageContainer::Create : width and height must be greater than zero");
        return nullptr;
    }
    if (wBpp <= 1)
        wBpp = 1;
    else if (wBpp <= 4)
        wBpp = 4;
    else if (wBpp <= 8)
        wBpp = 8;
    else
        wBpp = 24;

    // The memory test in full width: a product that wraps in 32 bits must not pass it.
    const std::uint64_t pixelBytes = std::uint64_t{dwWidth} * dwHeight * wBpp / 8;
    if (pixelBytes > IMAGE_MAX_MEMORY || dwWidth > std::numeric_limits<std::int32_t>::max() ||
        dwHeight > std::numeric_limits<std::int32_t>::max()) {
        SetError("IMAGE_MAX_MEMORY exceeded");
        return nullptr;
    }

    const DWORD entries = wBpp == 1 ? 2 : wBpp == 4 ? 16 : wBpp == 8 ? 256 : 0;
    const std::uint64_t stride = StrideOf(dwWidth, wBpp);
    const std::uint64_t imageSize = stride * dwHeight;
    // Rows are padded to 4 bytes: a tall, narrow image can need far more than its pixels, so the padded size
    // is held to the same limit.
    if (imageSize > IMAGE_MAX_MEMORY) {
        SetError("IMAGE_MAX_MEMORY exceeded");
        return nullptr;
    }

    info.dwType = imagetype;
    info.dwEffWidth = static_cast<DWORD>(stride);
    head.biSize = sizeof(BITMAPINFOHEADER);
    head.biWidth = static_cast<LONG>(dwWidth);
    head.biHeight = static_cast<LONG>(dwHeight);
    head.biPlanes = 1;
    head.biBitCount = static_cast<WORD>(wBpp);
    head.biCompression = BI_RGB;
    head.biClrUsed = entries;
    head.biClrImportant = 0;
    head.biSizeImage = static_cast<DWORD>(imageSize);
    head.biXPelsPerMeter = PelsPerMeter(info.xDPI);
    head.biYPelsPerMeter = PelsPerMeter(info.yDPI);

    pDib = std::malloc(GetSize());
    if (!pDib) {
        SetError("CImageContainer::Create can't allocate memory");
        std::memset(&head, 0, sizeof head);
        info.dwEffWidth = 0;
        return nullptr;
    }
    if (RGBQUAD* pal = GetPalette())
        std::memset(pal, 0, GetPaletteSize());
    std::free(pSelection);
    pSelection = nullptr;
    std::free(pAlpha);
    pAlpha = nullptr;
    std::memcpy(pDib, &head, sizeof head);
    info.pImage = static_cast<BYTE*>(pDib) + sizeof head + GetPaletteSize();
    return pDib;
}

DWORD CImageContainer::GetSize() const {
    return head.biSize + head.biSizeImage + GetPaletteSize();
}

bool CImageContainer::CreateFromArray(const BYTE* pArray, DWORD dwWidth, DWORD dwHeight, DWORD dwBitsperpixel,
                                      DWORD dwBytesperline, bool bFlipImage) {
    if (!pArray)
        return false;
    return CreateFromRows(dwWidth, dwHeight, dwBitsperpixel, dwBytesperline, bFlipImage,
                          [&](DWORD y) { return pArray + std::size_t{y} * dwBytesperline; });
}

bool CImageContainer::CreateFromMatrix(const BYTE* const* ppMatrix, DWORD dwWidth, DWORD dwHeight,
                                       DWORD dwBitsperpixel, DWORD dwBytesperline, bool bFlipImage) {
    if (!ppMatrix)
        return false;
    return CreateFromRows(dwWidth, dwHeight, dwBitsperpixel, dwBytesperline, bFlipImage,
                          [&](DWORD y) { return ppMatrix[y]; });
}

// Rows without a source (null) are left as they are.
bool CImageContainer::CreateFromRows(DWORD dwWidth, DWORD dwHeight, DWORD dwBitsperpixel,
                                     DWORD dwBytesperline, bool bFlipImage,
                                     const std::function<const BYTE*(DWORD)>& sourceRow) {
    if (!(dwBitsperpixel == 1 || dwBitsperpixel == 4 || dwBitsperpixel == 8 || dwBitsperpixel == 24 ||
          dwBitsperpixel == 32))
        return false;
    if (!Create(dwWidth, dwHeight, dwBitsperpixel, 0))
        return false;
    if (dwBitsperpixel < 24)
        SetGrayPalette();
    if (dwBitsperpixel == 32 && !AlphaCreate())
        return false;
    for (DWORD y = 0; y < dwHeight; ++y) {
        const BYTE* src = sourceRow(y);
        if (!src)
            continue;
        const DWORD target = bFlipImage ? dwHeight - 1 - y : y;
        BYTE* dst = info.pImage + std::size_t{target} * info.dwEffWidth;
        if (dwBitsperpixel == 32) {
            const DWORD pixels = std::min(dwWidth, dwBytesperline / 4);
            for (DWORD x = 0; x < pixels; ++x) {
                dst[3 * x] = src[4 * x];
                dst[3 * x + 1] = src[4 * x + 1];
                dst[3 * x + 2] = src[4 * x + 2];
                pAlpha[PlaneIndex(static_cast<std::int32_t>(x), static_cast<std::int32_t>(target))] =
                    src[4 * x + 3];
            }
        } else {
            std::memcpy(dst, src, std::min(info.dwEffWidth, dwBytesperline));
        }
    }
    return true;
}

bool CImageContainer::Destroy() {
    if (info.pGhost)
        return false;
    if (ppLayers) {
        for (std::int32_t n = 0; n < info.nNumLayers; ++n)
            delete ppLayers[n];
        delete[] ppLayers;
        ppLayers = nullptr;
    }
    info.nNumLayers = 0;
    std::free(pSelection);
    pSelection = nullptr;
    std::free(pAlpha);
    pAlpha = nullptr;
    std::free(pDib);
    pDib = nullptr;
    info.pImage = nullptr;
    return true;
}

bool CImageContainer::DestroyFrames() {
    if (info.pGhost)
        return false;
    if (ppFrames) {
        for (std::int32_t n = 0; n < m_frameArrayCount; ++n)
            delete ppFrames[n];
        delete[] ppFrames;
        ppFrames = nullptr;
    }
    m_frameArrayCount = 0;
    return true;
}

void CImageContainer::Copy(const CImageContainer& src, bool copypixels, bool copyselection, bool copyalpha) {
    if (&src == this)
        return;
    if (src.info.pGhost) {
        Ghost(&src);
        return;
    }
    // Layers and frames are not copied; this image's own go first, with the counts that describe them.
    if (!Destroy())
        return;
    head = src.head;
    CImageContainer* parent = info.pParent;
    info = src.info;
    info.pGhost = nullptr;
    info.pParent = parent;
    info.pImage = nullptr;
    info.nNumLayers = 0;
    if (!Create(src.GetWidth(), src.GetHeight(), src.GetBpp(), src.GetType()))
        return;
    head = src.head; // same geometry; keeps the source's resolution and important colours
    std::memcpy(pDib, &head, sizeof head);
    if (copypixels && pDib && src.pDib)
        std::memcpy(pDib, src.pDib, GetSize());
    else if (src.GetPalette() && GetPalette())
        std::memcpy(GetPalette(), src.GetPalette(),
                    std::min<DWORD>({GetPaletteSize(), src.GetPaletteSize(), 256 * sizeof(RGBQUAD)}));
    const std::size_t plane = PlaneSize();
    if (copyselection && src.pSelection) {
        pSelection = static_cast<BYTE*>(std::malloc(plane));
        if (pSelection)
            std::memcpy(pSelection, src.pSelection, plane);
    }
    if (copyalpha && src.pAlpha) {
        pAlpha = static_cast<BYTE*>(std::malloc(plane));
        if (pAlpha)
            std::memcpy(pAlpha, src.pAlpha, plane);
    }
}

void CImageContainer::Ghost(const CImageContainer* from) {
    if (!from)
        return;
    head = from->head;
    info = from->info;
    pDib = from->pDib;
    pSelection = from->pSelection;
    pAlpha = from->pAlpha;
    ppLayers = from->ppLayers;
    ppFrames = from->ppFrames;
    m_frameArrayCount = from->m_frameArrayCount;
    info.pGhost = const_cast<CImageContainer*>(from);
}

void CImageContainer::AdoptLayers(CImageContainer** layers, std::int32_t count) {
    ppLayers = layers;
    info.nNumLayers = layers ? count : 0;
    for (std::int32_t n = 0; ppLayers && n < count; ++n)
        if (ppLayers[n])
            ppLayers[n]->info.pParent = this;
}

bool CImageContainer::Transfer(CImageContainer& from, bool bTransferFrames) {
    if (&from == this || !Destroy())
        return false;
    const std::int32_t layers = from.info.nNumLayers;
    head = from.head;
    info = from.info;
    info.pGhost = nullptr;
    pDib = from.pDib;
    pSelection = from.pSelection;
    pAlpha = from.pAlpha;
    AdoptLayers(from.ppLayers, layers);

    if (bTransferFrames) {
        DestroyFrames();
        ppFrames = from.ppFrames;
        m_frameArrayCount = from.m_frameArrayCount;
        from.ppFrames = nullptr;
        from.m_frameArrayCount = 0;
    }
    std::memset(&from.head, 0, sizeof from.head);
    from.info = IMAGEINFO{};
    from.pDib = nullptr;
    from.pSelection = nullptr;
    from.pAlpha = nullptr;
    from.ppLayers = nullptr;
    return true;
}

void CImageContainer::CopyInfo(const CImageContainer& src) {
    if (pDib)
        return;
    const std::int32_t layers = info.nNumLayers;
    info = src.info;
    info.pGhost = nullptr;
    info.pImage = nullptr;
    info.nNumLayers = layers;
}

void CImageContainer::FreeMemory(void* memblock) {
    std::free(memblock);
}

void CImageContainer::Clear(BYTE bval) {
    if (!pDib)
        return;
    if (GetBpp() == 1)
        bval = bval ? 255 : 0;
    else if (GetBpp() == 4)
        bval = static_cast<BYTE>((bval % 16) * 17);
    std::memset(info.pImage, bval, head.biSizeImage);
}

BYTE* CImageContainer::GetBits(DWORD row) {
    if (!pDib)
        return nullptr;
    if (row == 0)
        return info.pImage;
    if (row < GetHeight())
        return info.pImage + std::size_t{row} * info.dwEffWidth;
    return nullptr;
}

bool CImageContainer::IsInside(std::int32_t x, std::int32_t y) const {
    return x >= 0 && y >= 0 && x < head.biWidth && y < head.biHeight;
}

bool CImageContainer::IsGrayScale() const {
    const RGBQUAD* pal = GetPalette();
    if (!pal || head.biClrUsed == 0)
        return false;
    for (DWORD i = 0; i < head.biClrUsed; ++i)
        if (pal[i].rgbBlue != i || pal[i].rgbGreen != i || pal[i].rgbRed != i)
            return false;
    return true;
}

BYTE CImageContainer::GetColorType() const {
    BYTE type = 0;
    if (head.biClrUsed)
        type = 1;
    else
        type = 2;
    if (pAlpha)
        type |= 4;
    return type;
}

std::size_t CImageContainer::PlaneSize() const {
    return static_cast<std::size_t>(GetWidth()) * GetHeight();
}

std::size_t CImageContainer::PlaneIndex(std::int32_t x, std::int32_t y) const {
    return static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * GetWidth();
}

// pixels

BYTE CImageContainer::BlindGetPixelIndex(std::int32_t x, std::int32_t y) {
    const BYTE* row = info.pImage + static_cast<std::size_t>(y) * info.dwEffWidth;
    switch (head.biBitCount) {
    case 8:
        return row[x];
    case 4:
        return static_cast<BYTE>((row[x >> 1] >> (4 * (1 - x % 2))) & 0x0F);
    case 1:
        return static_cast<BYTE>((row[x >> 3] >> (7 - x % 8)) & 0x01);
    default:
        return 0;
    }
}

BYTE CImageContainer::GetPixelIndex(std::int32_t x, std::int32_t y) {
    if (!pDib || head.biClrUsed == 0)
        return 0;
    if (!IsInside(x, y)) {
        if (info.nBkgndIndex >= 0)
            return static_cast<BYTE>(info.nBkgndIndex);
        return *info.pImage;
    }
    return BlindGetPixelIndex(x, y);
}

RGBQUAD CImageContainer::BlindGetPixelColor(std::int32_t x, std::int32_t y, bool bGetAlpha) {
    RGBQUAD rgb;
    if (head.biClrUsed) {
        rgb = GetPaletteColor(BlindGetPixelIndex(x, y));
    } else {
        const BYTE* p = info.pImage + static_cast<std::size_t>(y) * info.dwEffWidth + std::size_t{3} * x;
        rgb.rgbBlue = p[0];
        rgb.rgbGreen = p[1];
        rgb.rgbRed = p[2];
        rgb.rgbReserved = info.nBkgndColor.rgbReserved;
    }
    if (bGetAlpha && pAlpha)
        rgb.rgbReserved = BlindAlphaGet(x, y);
    return rgb;
}

RGBQUAD CImageContainer::GetPixelColor(std::int32_t x, std::int32_t y, bool bGetAlpha) {
    if (!pDib || !IsInside(x, y)) {
        if (info.nBkgndIndex < 0) {
            if (pDib)
                return BlindGetPixelColor(0, 0, true);
            return info.nBkgndColor;
        }
        if (head.biBitCount < 24)
            return GetPaletteColor(static_cast<BYTE>(info.nBkgndIndex));
        return info.nBkgndColor;
    }
    return BlindGetPixelColor(x, y, bGetAlpha);
}

BYTE* CImageContainer::BlindGetPixelPointer(std::int32_t x, std::int32_t y) {
    if (head.biClrUsed || !pDib)
        return nullptr;
    return info.pImage + static_cast<std::size_t>(y) * info.dwEffWidth + std::size_t{3} * x;
}

BYTE CImageContainer::GetPixelGray(std::int32_t x, std::int32_t y) {
    const RGBQUAD c = GetPixelColor(x, y);
    return static_cast<BYTE>((c.rgbRed * 306 + c.rgbGreen * 601 + c.rgbBlue * 117) >> 10);
}

void CImageContainer::BlindSetPixelIndex(std::int32_t x, std::int32_t y, BYTE i) {
    BYTE* row = info.pImage + static_cast<std::size_t>(y) * info.dwEffWidth;
    switch (head.biBitCount) {
    case 8:
        row[x] = i;
        return;
    case 4: {
        const int shift = 4 * (1 - x % 2);
        BYTE& b = row[x >> 1];
        b = static_cast<BYTE>((b & ~(0x0F << shift)) | ((i & 0x0F) << shift));
        return;
    }
    case 1: {
        const int shift = 7 - x % 8;
        BYTE& b = row[x >> 3];
        b = static_cast<BYTE>(i ? (b | (1 << shift)) : (b & ~(1 << shift)));
        return;
    }
    default:
        return;
    }
}

void CImageContainer::SetPixelIndex(std::int32_t x, std::int32_t y, BYTE i) {
    if (!pDib || head.biClrUsed == 0 || !IsInside(x, y))
        return;
    BlindSetPixelIndex(x, y, i);
}

void CImageContainer::BlindSetPixelColor(std::int32_t x, std::int32_t y, RGBQUAD c, bool bSetAlpha) {
    if (head.biClrUsed) {
        BlindSetPixelIndex(x, y, GetNearestIndex(c));
    } else {
        BYTE* p = info.pImage + static_cast<std::size_t>(y) * info.dwEffWidth + std::size_t{3} * x;
        p[0] = c.rgbBlue;
        p[1] = c.rgbGreen;
        p[2] = c.rgbRed;
    }
    if (bSetAlpha && pAlpha)
        pAlpha[PlaneIndex(x, y)] = c.rgbReserved;
}

void CImageContainer::SetPixelColor(std::int32_t x, std::int32_t y, COLORREF cr) {
    SetPixelColor(x, y, RGBtoRGBQUAD(cr), false);
}

void CImageContainer::SetPixelColor(std::int32_t x, std::int32_t y, RGBQUAD c, bool bSetAlpha) {
    if (!pDib || !IsInside(x, y))
        return;
    BlindSetPixelColor(x, y, c, bSetAlpha);
}

void CImageContainer::BlendPixelColor(std::int32_t x, std::int32_t y, RGBQUAD c, float blend,
                                      bool bSetAlpha) {
    if (!pDib || !IsInside(x, y))
        return;
    const int d = static_cast<int>(blend * 256);
    const RGBQUAD old = BlindGetPixelColor(x, y, false);
    RGBQUAD mixed;
    mixed.rgbBlue = static_cast<BYTE>((old.rgbBlue * (256 - d) + c.rgbBlue * d) >> 8);
    mixed.rgbGreen = static_cast<BYTE>((old.rgbGreen * (256 - d) + c.rgbGreen * d) >> 8);
    mixed.rgbRed = static_cast<BYTE>((old.rgbRed * (256 - d) + c.rgbRed * d) >> 8);
    mixed.rgbReserved = c.rgbReserved;
    if (head.biClrUsed) {
        BlindSetPixelIndex(x, y, GetNearestIndex(mixed));
        return;
    }
    BlindSetPixelColor(x, y, mixed, bSetAlpha);
}

void CImageContainer::DrawLine(int StartX, int EndX, int StartY, int EndY, COLORREF cr) {
    DrawLine(StartX, EndX, StartY, EndY, RGBtoRGBQUAD(cr), false);
}

namespace {

// Products of two spans of 32-bit coordinates.
__extension__ typedef __int128 Wide;

// Bresenham's walk along the major axis a from a0 for `major` steps (step sa) while the minor axis b moves
// `minor` in all (step sb), the error starting at half the major span. Only the steps whose a lies in
// [0, limit) are walked: the state at the first of them is computed, not stepped to, so far-off ends cost
// nothing. After k steps b has moved n = ceil((k * minor - major / 2) / major) (not below 0) times.
template <typename Plot>
void WalkLine(long long a0, int sa, long long b0, int sb, long long major, long long minor, long long limit,
              Plot plot) {
    const long long first = sa > 0 ? std::max(0LL, -a0) : std::max(0LL, a0 - (limit - 1));
    const long long last = sa > 0 ? std::min(major, limit - 1 - a0) : std::min(major, a0);
    if (first > last)
        return;
    const long long half = major / 2;
    const Wide owed = static_cast<Wide>(first) * minor - half;
    const long long moved = owed <= 0 ? 0 : static_cast<long long>((owed + major - 1) / major);
    long long err =
        static_cast<long long>(half - static_cast<Wide>(first) * minor + static_cast<Wide>(moved) * major);
    long long b = b0 + moved * sb;
    for (long long k = first; k <= last; ++k) {
        plot(a0 + k * sa, b);
        err -= minor;
        if (err < 0) {
            b += sb;
            err += major;
        }
    }
}

} // namespace

void CImageContainer::DrawLine(int StartX, int EndX, int StartY, int EndY, RGBQUAD color, bool bSetAlpha) {
    if (!pDib)
        return;
    const long long dx = std::llabs(static_cast<long long>(EndX) - StartX);
    const long long dy = std::llabs(static_cast<long long>(EndY) - StartY);
    const int sx = EndX >= StartX ? 1 : -1;
    const int sy = EndY >= StartY ? 1 : -1;
    auto plot = [&](long long px, long long py) {
        if (px >= 0 && py >= 0 && px < head.biWidth && py < head.biHeight)
            BlindSetPixelColor(static_cast<std::int32_t>(px), static_cast<std::int32_t>(py), color,
                               bSetAlpha);
    };
    if (dx >= dy)
        WalkLine(StartX, sx, StartY, sy, dx, dy, head.biWidth, plot);
    else
        WalkLine(StartY, sy, StartX, sx, dy, dx, head.biHeight,
                 [&](long long py, long long px) { plot(px, py); });
}
