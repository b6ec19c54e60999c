// The alpha plane and palette alpha of the image container, and its layers.
#include "controls/image/ImageContainer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

bool CImageContainer::AlphaCreate() {
    if (!pAlpha && pDib) {
        pAlpha = static_cast<BYTE*>(std::malloc(PlaneSize()));
        if (pAlpha)
            std::memset(pAlpha, 255, PlaneSize());
    }
    return pAlpha != nullptr;
}

void CImageContainer::AlphaDelete() {
    std::free(pAlpha);
    pAlpha = nullptr;
}

void CImageContainer::AlphaClear() {
    if (pAlpha)
        std::memset(pAlpha, 0, PlaneSize());
}

void CImageContainer::AlphaSet(BYTE level) {
    if (pAlpha)
        std::memset(pAlpha, level, PlaneSize());
}

void CImageContainer::AlphaSet(std::int32_t x, std::int32_t y, BYTE level) {
    if (pAlpha && IsInside(x, y))
        pAlpha[PlaneIndex(x, y)] = level;
}

bool CImageContainer::AlphaSet(CImageContainer& from) {
    if (!from.IsGrayScale() || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight() || !pDib ||
        !from.pDib)
        return false;
    if (!pAlpha) {
        pAlpha = static_cast<BYTE*>(std::malloc(PlaneSize()));
        if (!pAlpha)
            return false;
    }
    for (DWORD y = 0; y < GetHeight(); ++y)
        std::memcpy(pAlpha + std::size_t{y} * GetWidth(), from.GetBits(y), GetWidth());
    return true;
}

BYTE CImageContainer::AlphaGet(std::int32_t x, std::int32_t y) const {
    if (!pAlpha || !IsInside(x, y))
        return 0;
    return pAlpha[PlaneIndex(x, y)];
}

BYTE CImageContainer::BlindAlphaGet(std::int32_t x, std::int32_t y) const {
    return pAlpha[PlaneIndex(x, y)];
}

BYTE* CImageContainer::AlphaGetPointer(std::int32_t x, std::int32_t y) {
    if (!pAlpha || !IsInside(x, y))
        return nullptr;
    return pAlpha + PlaneIndex(x, y);
}

void CImageContainer::AlphaInvert() {
    if (!pAlpha)
        return;
    const std::size_t n = PlaneSize();
    for (std::size_t i = 0; i < n; ++i)
        pAlpha[i] = static_cast<BYTE>(~pAlpha[i]);
}

bool CImageContainer::AlphaCopy(const CImageContainer& from) {
    if (!from.pAlpha || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight() || !pDib)
        return false;
    if (!pAlpha) {
        pAlpha = static_cast<BYTE*>(std::malloc(PlaneSize()));
        if (!pAlpha)
            return false;
    }
    std::memcpy(pAlpha, from.pAlpha, PlaneSize());
    info.nAlphaMax = from.info.nAlphaMax;
    return true;
}

bool CImageContainer::AlphaFlip() {
    if (!pAlpha)
        return false;
    // Rows are swapped in place: a flip needs no memory, so it cannot fail for the lack of it.
    const std::size_t w = GetWidth();
    for (std::int32_t y = 0; y < head.biHeight / 2; ++y) {
        BYTE* a = pAlpha + PlaneIndex(0, y);
        std::swap_ranges(a, a + w, pAlpha + PlaneIndex(0, head.biHeight - 1 - y));
    }
    return true;
}

bool CImageContainer::AlphaMirror() {
    if (!pAlpha)
        return false;
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        std::reverse(pAlpha + PlaneIndex(0, y), pAlpha + PlaneIndex(0, y) + GetWidth());
    return true;
}

bool CImageContainer::AlphaPaletteIsValid() const {
    const RGBQUAD* pal = GetPalette();
    if (!pal)
        return false;
    for (DWORD i = 0; i < head.biClrUsed; ++i)
        if (pal[i].rgbReserved != 0)
            return true;
    return false;
}

void CImageContainer::AlphaPaletteClear() {
    if (RGBQUAD* pal = GetPalette())
        for (DWORD i = 0; i < head.biClrUsed; ++i)
            pal[i].rgbReserved = 0;
}

bool CImageContainer::AlphaPaletteSplit(CImageContainer* dest) {
    if (!AlphaPaletteIsValid() || !dest)
        return false;
    const std::unique_ptr<BYTE[]> plane(new (std::nothrow) BYTE[PlaneSize()]);
    if (!plane)
        return false;
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        for (std::int32_t x = 0; x < head.biWidth; ++x)
            plane[PlaneIndex(x, y)] =
                pAlpha ? pAlpha[PlaneIndex(x, y)] : GetPaletteColor(BlindGetPixelIndex(x, y)).rgbReserved;
    return SplitPlane(plane.get(), dest);
}

bool CImageContainer::AlphaSplit(CImageContainer* dest) {
    return SplitPlane(pAlpha, dest);
}

bool CImageContainer::AlphaFromTransparency() {
    if (!pDib || !IsTransparent() || !AlphaCreate())
        return false;
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        for (std::int32_t x = 0; x < head.biWidth; ++x)
            if (IsTransparent(x, y))
                pAlpha[PlaneIndex(x, y)] = 0;
    return true;
}

void CImageContainer::AlphaStrip() {
    const bool paletteAlpha = head.biBitCount < 24 && info.bAlphaPaletteEnabled && GetPalette();
    if (!pDib || (!pAlpha && !paletteAlpha))
        return;
    const RGBQUAD bg = info.nBkgndColor;
    auto weight = [&](std::int32_t x, std::int32_t y) {
        long w = pAlpha ? pAlpha[PlaneIndex(x, y)] * info.nAlphaMax / 255 : info.nAlphaMax;
        if (paletteAlpha)
            w = w * GetPaletteColor(BlindGetPixelIndex(x, y)).rgbReserved / 255;
        return w;
    };
    auto flatten = [&](BYTE background, BYTE pixel, long w) {
        return static_cast<BYTE>((background * (256 - w) + pixel * w) >> 8);
    };
    if (head.biBitCount == 24) {
        for (std::int32_t y = 0; y < head.biHeight; ++y)
            for (std::int32_t x = 0; x < head.biWidth; ++x) {
                const long w = weight(x, y);
                BYTE* p = BlindGetPixelPointer(x, y);
                p[0] = flatten(bg.rgbBlue, p[0], w);
                p[1] = flatten(bg.rgbGreen, p[1], w);
                p[2] = flatten(bg.rgbRed, p[2], w);
            }
        AlphaDelete();
        return;
    }
    CImageContainer flat(GetWidth(), GetHeight(), 24, GetType());
    if (!flat.IsValid()) {
        SetError(flat.GetLastError());
        return;
    }
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        for (std::int32_t x = 0; x < head.biWidth; ++x) {
            const long w = weight(x, y);
            const RGBQUAD c = BlindGetPixelColor(x, y, false);
            BYTE* p = flat.BlindGetPixelPointer(x, y);
            p[0] = flatten(bg.rgbBlue, c.rgbBlue, w);
            p[1] = flatten(bg.rgbGreen, c.rgbGreen, w);
            p[2] = flatten(bg.rgbRed, c.rgbRed, w);
        }
    Transfer(flat);
}

// layers

// A ghost shares its source's layers and never changes or frees them.
bool CImageContainer::LayerCreate(std::int32_t position) {
    if (info.pGhost)
        return false;
    const std::int32_t count = ppLayers ? info.nNumLayers : 0;
    if (position < 0 || position > count)
        position = count;
    auto** layers = new (std::nothrow) CImageContainer*[static_cast<std::size_t>(count) + 1];
    if (!layers)
        return false;
    auto* layer = new (std::nothrow) CImageContainer(0);
    if (!layer) {
        delete[] layers;
        return false;
    }
    layer->info.pParent = this;
    for (std::int32_t i = 0, j = 0; i <= count; ++i)
        layers[i] = i == position ? layer : ppLayers[j++];
    delete[] ppLayers;
    ppLayers = layers;
    info.nNumLayers = count + 1;
    return true;
}

bool CImageContainer::LayerDelete(std::int32_t position) {
    if (info.pGhost)
        return false;
    const std::int32_t count = ppLayers ? info.nNumLayers : 0;
    if (position >= count)
        return false;
    if (position < 0) {
        if (count == 0)
            return false;
        position = count - 1;
    }
    delete ppLayers[position];
    if (count == 1) {
        delete[] ppLayers;
        ppLayers = nullptr;
        info.nNumLayers = 0;
        return true;
    }
    auto** layers = new (std::nothrow) CImageContainer*[static_cast<std::size_t>(count) - 1];
    if (!layers) {
        // The layer is gone already: close the gap in place rather than leave a dangling entry.
        std::copy(ppLayers + position + 1, ppLayers + count, ppLayers + position);
        info.nNumLayers = count - 1;
        return true;
    }
    for (std::int32_t i = 0, j = 0; i < count; ++i)
        if (i != position)
            layers[j++] = ppLayers[i];
    delete[] ppLayers;
    ppLayers = layers;
    info.nNumLayers = count - 1;
    return true;
}

void CImageContainer::LayerDeleteAll() {
    if (info.pGhost)
        return;
    if (ppLayers) {
        for (std::int32_t i = 0; i < info.nNumLayers; ++i)
            delete ppLayers[i];
        delete[] ppLayers;
        ppLayers = nullptr;
    }
    info.nNumLayers = 0;
}

CImageContainer* CImageContainer::GetLayer(std::int32_t position) const {
    if (!ppLayers || info.nNumLayers <= 0)
        return nullptr;
    if (position < 0)
        position = info.nNumLayers - 1;
    if (position >= info.nNumLayers)
        return nullptr;
    return ppLayers[position];
}
