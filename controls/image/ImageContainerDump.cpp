// The flat dump of an image with its planes, layers and frames, and its reading back.
#include "controls/image/ImageContainer.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Nested layers and frames deeper than this are refused when reading: a dump of our own never gets there.
constexpr int kMaxNesting = 16;

template <typename T> void Put(BYTE* block, std::size_t offset, T value) {
    std::memcpy(block + offset, &value, sizeof value);
}
template <typename T> T Get(const BYTE* block, std::size_t offset) {
    T value;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

// The 444-byte info block; the three references are written as 0 and never read back.
void WriteInfo(BYTE* b, const CImageContainer::IMAGEINFO& i, std::int32_t frames) {
    std::memset(b, 0, CImageContainer::kInfoDumpSize);
    Put<DWORD>(b, 0, i.dwEffWidth);
    Put<DWORD>(b, 16, i.dwType);
    std::memcpy(b + 20, i.szLastError, sizeof i.szLastError);
    Put<std::int32_t>(b, 276, i.nProgress);
    Put<std::int32_t>(b, 280, i.nEscape);
    Put<std::int32_t>(b, 284, i.nBkgndIndex);
    Put<RGBQUAD>(b, 288, i.nBkgndColor);
    Put<float>(b, 292, i.fQuality);
    Put<BYTE>(b, 296, i.nJpegScale);
    Put<std::int32_t>(b, 300, i.nFrame);
    Put<std::int32_t>(b, 304, frames);
    Put<DWORD>(b, 308, i.dwFrameDelay);
    Put<std::int32_t>(b, 312, i.xDPI);
    Put<std::int32_t>(b, 316, i.yDPI);
    Put<RECT>(b, 320, i.rSelectionBox);
    Put<BYTE>(b, 336, i.nAlphaMax);
    Put<BYTE>(b, 337, i.bAlphaPaletteEnabled);
    Put<BYTE>(b, 338, i.bEnabled);
    Put<std::int32_t>(b, 340, i.xOffset);
    Put<std::int32_t>(b, 344, i.yOffset);
    std::memcpy(b + 348, i.dwCodecOpt, sizeof i.dwCodecOpt);
    Put<RGBQUAD>(b, 424, i.last_c);
    Put<BYTE>(b, 428, i.last_c_index);
    Put<BYTE>(b, 429, i.last_c_isvalid);
    Put<std::int32_t>(b, 432, i.nNumLayers);
    Put<DWORD>(b, 436, i.dwFlags);
    Put<BYTE>(b, 440, i.dispmeth);
    Put<BYTE>(b, 441, i.bGetAllFrames);
    Put<BYTE>(b, 442, i.bLittleEndianHost);
}

CImageContainer::IMAGEINFO ReadInfo(const BYTE* b) {
    CImageContainer::IMAGEINFO i{};
    i.dwEffWidth = Get<DWORD>(b, 0);
    i.dwType = Get<DWORD>(b, 16);
    std::memcpy(i.szLastError, b + 20, sizeof i.szLastError);
    i.szLastError[sizeof i.szLastError - 1] = '\0';
    i.nProgress = Get<std::int32_t>(b, 276);
    i.nEscape = Get<std::int32_t>(b, 280);
    i.nBkgndIndex = Get<std::int32_t>(b, 284);
    i.nBkgndColor = Get<RGBQUAD>(b, 288);
    i.fQuality = Get<float>(b, 292);
    i.nJpegScale = Get<BYTE>(b, 296);
    i.nFrame = Get<std::int32_t>(b, 300);
    i.nNumFrames = Get<std::int32_t>(b, 304);
    i.dwFrameDelay = Get<DWORD>(b, 308);
    i.xDPI = Get<std::int32_t>(b, 312);
    i.yDPI = Get<std::int32_t>(b, 316);
    i.rSelectionBox = Get<RECT>(b, 320);
    i.nAlphaMax = Get<BYTE>(b, 336);
    i.bAlphaPaletteEnabled = Get<BYTE>(b, 337) != 0;
    i.bEnabled = Get<BYTE>(b, 338) != 0;
    i.xOffset = Get<std::int32_t>(b, 340);
    i.yOffset = Get<std::int32_t>(b, 344);
    std::memcpy(i.dwCodecOpt, b + 348, sizeof i.dwCodecOpt);
    i.last_c = Get<RGBQUAD>(b, 424);
    i.last_c_index = Get<BYTE>(b, 428);
    i.last_c_isvalid = Get<BYTE>(b, 429) != 0;
    i.nNumLayers = Get<std::int32_t>(b, 432);
    i.dwFlags = Get<DWORD>(b, 436);
    i.dispmeth = Get<BYTE>(b, 440);
    i.bGetAllFrames = Get<BYTE>(b, 441) != 0;
    i.bLittleEndianHost = Get<BYTE>(b, 442) != 0;
    return i;
}

// Reads a dump front to back without ever passing its end.
struct DumpReader {
    const BYTE* p;
    std::size_t left;
    std::size_t used = 0;
    const BYTE* Take(std::size_t n) {
        if (n > left)
            return nullptr;
        const BYTE* at = p;
        p += n;
        left -= n;
        used += n;
        return at;
    }
};

} // namespace

DWORD CImageContainer::DumpSize() {
    std::size_t bytes = 0;
    return DumpBytes(0, bytes) ? static_cast<DWORD>(bytes) : 0;
}

bool CImageContainer::DumpBytes(int depth, std::size_t& bytes) const {
    // The reader refuses what nests deeper, so the writer never writes it; counting and writing share the
    // bound.
    if (depth > kMaxNesting)
        return false;
    const std::size_t plane = pDib ? PlaneSize() : 0;
    bytes += kHeaderDumpSize + kInfoDumpSize + (pDib ? GetSize() : 0);
    bytes += 1 + (pAlpha ? plane : 0);
    bytes += 1 + (pSelection ? plane : 0);
    bytes += 2;
    for (std::int32_t i = 0; ppLayers && i < info.nNumLayers; ++i)
        if (!ppLayers[i]->DumpBytes(depth + 1, bytes))
            return false;
    for (std::int32_t i = 0; ppFrames && i < m_frameArrayCount; ++i)
        if (!ppFrames[i]->DumpBytes(depth + 1, bytes))
            return false;
    return bytes <= std::numeric_limits<DWORD>::max();
}

DWORD CImageContainer::Dump(BYTE* dst) {
    std::size_t bytes = 0;
    if (!dst || !DumpBytes(0, bytes))
        return 0;
    return DumpTo(dst);
}

DWORD CImageContainer::DumpTo(BYTE* dst) const {
    BYTE* const start = dst;
    std::memcpy(dst, &head, kHeaderDumpSize);
    dst += kHeaderDumpSize;
    WriteInfo(dst, info, ppFrames ? m_frameArrayCount : info.nNumFrames);
    dst += kInfoDumpSize;
    if (pDib) {
        std::memcpy(dst, pDib, GetSize());
        dst += GetSize();
    }
    const std::size_t plane = pDib ? PlaneSize() : 0;
    for (const BYTE* p : {pAlpha, pSelection}) {
        *dst++ = p ? 1 : 0;
        if (p) {
            std::memcpy(dst, p, plane);
            dst += plane;
        }
    }
    *dst++ = ppLayers ? 1 : 0;
    for (std::int32_t i = 0; ppLayers && i < info.nNumLayers; ++i)
        dst += ppLayers[i]->DumpTo(dst);
    *dst++ = ppFrames ? 1 : 0;
    for (std::int32_t i = 0; ppFrames && i < m_frameArrayCount; ++i)
        dst += ppFrames[i]->DumpTo(dst);
    return static_cast<DWORD>(dst - start);
}

DWORD CImageContainer::UnDump(const BYTE* src) {
    return UnDumpChecked(src, std::numeric_limits<std::size_t>::max(), 0);
}

DWORD CImageContainer::UnDump(const BYTE* src, std::size_t length) {
    return UnDumpChecked(src, length, 0);
}

DWORD CImageContainer::UnDumpChecked(const BYTE* src, std::size_t length, int depth) {
    if (!src || depth > kMaxNesting || !Destroy() || !DestroyFrames())
        return 0;
    DumpReader in{src, length};
    const BYTE* fixed = in.Take(kHeaderDumpSize + kInfoDumpSize);
    if (!fixed)
        return 0;
    BITMAPINFOHEADER dumpedHead;
    std::memcpy(&dumpedHead, fixed, sizeof dumpedHead);
    IMAGEINFO dumped = ReadInfo(fixed + kHeaderDumpSize);
    const std::int32_t layers = dumped.nNumLayers;
    const std::int32_t frames = dumped.nNumFrames;
    const WORD bits = dumpedHead.biBitCount;
    if (dumpedHead.biWidth <= 0 || dumpedHead.biHeight <= 0 ||
        !(bits == 1 || bits == 4 || bits == 8 || bits == 24))
        return 0;

    CImageContainer* parent = info.pParent;
    info = dumped;
    info.pParent = parent;
    if (!Create(static_cast<DWORD>(dumpedHead.biWidth), static_cast<DWORD>(dumpedHead.biHeight), bits,
                dumped.dwType))
        return 0;
    const BYTE* dib = in.Take(GetSize());
    if (!dib) {
        Destroy();
        return 0;
    }
    std::memcpy(pDib, dib, GetSize());
    // The geometry is the one just made; the rest of the header is the dumped one.
    head.biXPelsPerMeter = dumpedHead.biXPelsPerMeter;
    head.biYPelsPerMeter = dumpedHead.biYPelsPerMeter;
    head.biClrImportant = dumpedHead.biClrImportant <= head.biClrUsed ? dumpedHead.biClrImportant : 0;
    std::memcpy(pDib, &head, sizeof head);

    const std::size_t plane = PlaneSize();
    for (BYTE** target : {&pAlpha, &pSelection}) {
        const BYTE* marker = in.Take(1);
        if (!marker) {
            Destroy();
            return 0;
        }
        if (*marker) {
            const BYTE* bytes = in.Take(plane);
            *target = bytes ? static_cast<BYTE*>(std::malloc(plane)) : nullptr;
            if (!*target) {
                Destroy();
                return 0;
            }
            std::memcpy(*target, bytes, plane);
        }
    }

    // Each nested image takes at least its fixed part, which bounds the counts a short buffer can claim.
    const std::size_t minNested = kHeaderDumpSize + kInfoDumpSize;
    auto readList = [&](std::int32_t count, CImageContainer**& array, std::int32_t& arrayCount) {
        const BYTE* marker = in.Take(1);
        if (!marker)
            return false;
        if (!*marker)
            return true;
        if (count < 0 || static_cast<std::size_t>(count) > in.left / minNested)
            return false;
        array = new (std::nothrow) CImageContainer*[count > 0 ? count : 1]();
        if (!array)
            return false;
        arrayCount = count;
        for (std::int32_t i = 0; i < count; ++i) {
            array[i] = new (std::nothrow) CImageContainer(0);
            if (!array[i])
                return false;
            array[i]->info.pParent = this;
            const DWORD n = array[i]->UnDumpChecked(in.p, in.left, depth + 1);
            if (n == 0 || !in.Take(n))
                return false;
        }
        return true;
    };
    std::int32_t layerCount = 0;
    const bool layersOk = readList(layers, ppLayers, layerCount);
    info.nNumLayers = layerCount;
    if (!layersOk) {
        Destroy();
        return 0;
    }
    if (!readList(frames, ppFrames, m_frameArrayCount)) {
        DestroyFrames();
        Destroy();
        return 0;
    }
    return static_cast<DWORD>(in.used);
}
