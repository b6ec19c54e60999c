// The selection plane of the image container: one level per pixel and the box around what is selected.
#include "controls/image/ImageContainer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

void CImageContainer::ResetSelectionBox() {
    info.rSelectionBox.left = head.biWidth;
    info.rSelectionBox.bottom = head.biHeight;
    info.rSelectionBox.right = 0;
    info.rSelectionBox.top = 0;
}

void CImageContainer::GrowSelectionBox(std::int32_t left, std::int32_t bottom, std::int32_t rightExcl,
                                       std::int32_t topExcl) {
    RECT& box = info.rSelectionBox;
    box.left = std::min(box.left, left);
    box.bottom = std::min(box.bottom, bottom);
    box.right = std::max(box.right, rightExcl);
    box.top = std::max(box.top, topExcl);
}

bool CImageContainer::SelectionCreate() {
    SelectionDelete();
    if (!pDib)
        return false;
    pSelection = static_cast<BYTE*>(std::calloc(PlaneSize(), 1));
    return pSelection != nullptr;
}

bool CImageContainer::SelectionDelete() {
    std::free(pSelection);
    pSelection = nullptr;
    ResetSelectionBox();
    return true;
}

bool CImageContainer::EnsureSelection() {
    return pSelection || SelectionCreate();
}

bool CImageContainer::SelectionClear(BYTE level) {
    if (!pSelection)
        return false;
    std::memset(pSelection, level, PlaneSize());
    if (level) {
        info.rSelectionBox = RECT{0, head.biHeight, head.biWidth, 0};
    } else {
        ResetSelectionBox();
    }
    return true;
}

bool CImageContainer::SelectionAddRect(RECT r, BYTE level) {
    if (!EnsureSelection())
        return false;
    const std::int32_t x0 = std::max<std::int32_t>(std::min(r.left, r.right), 0);
    const std::int32_t x1 = std::min<std::int32_t>(std::max(r.left, r.right), head.biWidth - 1);
    const std::int32_t y0 = std::max<std::int32_t>(std::min(r.top, r.bottom), 0);
    const std::int32_t y1 = std::min<std::int32_t>(std::max(r.top, r.bottom), head.biHeight - 1);
    if (x0 > x1 || y0 > y1)
        return true;
    for (std::int32_t y = y0; y <= y1; ++y)
        std::memset(pSelection + PlaneIndex(x0, y), level, static_cast<std::size_t>(x1 - x0 + 1));
    GrowSelectionBox(x0, y0, x1 + 1, y1 + 1);
    return true;
}

bool CImageContainer::SelectionAddEllipse(RECT r, BYTE level) {
    if (!EnsureSelection())
        return false;
    const long long xc = (static_cast<long long>(r.left) + r.right) / 2;
    const long long yc = (static_cast<long long>(r.top) + r.bottom) / 2;
    const long long a = std::llabs(static_cast<long long>(r.right) - r.left) / 2;
    const long long b = std::llabs(static_cast<long long>(r.bottom) - r.top) / 2;
    if (a == 0 || b == 0)
        return false;
    const std::int32_t x0 = static_cast<std::int32_t>(std::max<long long>(xc - a, 0));
    const std::int32_t x1 = static_cast<std::int32_t>(std::min<long long>(xc + a, head.biWidth - 1));
    const std::int32_t y0 = static_cast<std::int32_t>(std::max<long long>(yc - b, 0));
    const std::int32_t y1 = static_cast<std::int32_t>(std::min<long long>(yc + b, head.biHeight - 1));
    if (x0 > x1 || y0 > y1)
        return true;
    for (std::int32_t x = x0; x <= x1; ++x) {
        const double u = static_cast<double>(x - xc) / static_cast<double>(a);
        const double t = u * u;
        if (t > 1.0)
            continue;
        const double half = std::sqrt(1.0 - t) * static_cast<double>(b);
        for (std::int32_t y = y0; y <= y1; ++y) {
            const bool inside = y < yc ? static_cast<long long>(static_cast<double>(yc) - half) < y
                                       : y < static_cast<long long>(half + static_cast<double>(yc));
            if (inside)
                pSelection[PlaneIndex(x, y)] = level;
        }
    }
    GrowSelectionBox(x0, y0, x1 + 1, y1 + 1);
    return true;
}

bool CImageContainer::SelectionAddPolygon(const POINT* points, std::int32_t npoints, BYTE level) {
    if (!points || npoints < 3)
        return false;
    if (!EnsureSelection())
        return false;
    const std::int32_t w = head.biWidth, h = head.biHeight;

    // The polygons' box, clipped to the image.
    long long bx0 = w, by0 = h, bx1 = -1, by1 = -1;
    for (std::int32_t i = 0; i < npoints; ++i) {
        if (points[i].x == -1)
            continue;
        bx0 = std::min<long long>(bx0, points[i].x);
        bx1 = std::max<long long>(bx1, points[i].x);
        by0 = std::min<long long>(by0, points[i].y);
        by1 = std::max<long long>(by1, points[i].y);
    }
    bx0 = std::max<long long>(bx0, 0);
    by0 = std::max<long long>(by0, 0);
    bx1 = std::min<long long>(bx1, w - 1);
    by1 = std::min<long long>(by1, h - 1);
    if (bx0 > bx1 || by0 > by1)
        return true;
    const std::size_t bw = static_cast<std::size_t>(bx1 - bx0 + 1);
    const std::size_t bh = static_cast<std::size_t>(by1 - by0 + 1);

    // 0 free, 1 outline, 2 reached from outside. Nothing here may throw: memory that cannot be had fails.
    const std::size_t cells = bw * bh;
    const std::unique_ptr<BYTE[]> scratch(new (std::nothrow) BYTE[cells]());
    const std::unique_ptr<std::uint32_t[]> queue(new (std::nothrow) std::uint32_t[cells]);
    if (!scratch || !queue)
        return false;
    auto at = [&](long long x, long long y) -> BYTE& {
        return scratch[static_cast<std::size_t>(y - by0) * bw + static_cast<std::size_t>(x - bx0)];
    };
    auto mark = [&](long long x, long long y) {
        if (x >= bx0 && x <= bx1 && y >= by0 && y <= by1)
            at(x, y) = 1;
    };
    auto segment = [&](POINT p, POINT q) {
        const long long dx = static_cast<long long>(q.x) - p.x, dy = static_cast<long long>(q.y) - p.y;
        if (dx != 0) {
            const long long xs = std::min<long long>(p.x, q.x), xe = std::max<long long>(p.x, q.x);
            for (long long x = std::max(xs, bx0); x <= std::min(xe, bx1); ++x)
                mark(x, static_cast<long long>(p.y + static_cast<double>(x - p.x) * dy / dx));
        }
        if (dy != 0) {
            const long long ys = std::min<long long>(p.y, q.y), ye = std::max<long long>(p.y, q.y);
            for (long long y = std::max(ys, by0); y <= std::min(ye, by1); ++y)
                mark(static_cast<long long>(p.x + static_cast<double>(y - p.y) * dx / dy), y);
        }
        if (dx == 0 && dy == 0)
            mark(p.x, p.y);
    };
    std::int32_t first = 0;
    while (first < npoints) {
        std::int32_t end = first;
        while (end < npoints && points[end].x != -1)
            ++end;
        for (std::int32_t i = first; i < end; ++i)
            segment(points[i], points[i + 1 < end ? i + 1 : first]);
        first = end + 1;
    }

    // Flood from the box's border over what the outlines leave free; what it cannot reach is inside.
    // Every cell is queued at most once, so the queue never holds more than the box.
    std::size_t queued = 0;
    auto push = [&](long long x, long long y) {
        if (x < bx0 || x > bx1 || y < by0 || y > by1 || at(x, y) != 0)
            return;
        at(x, y) = 2;
        queue[queued++] = static_cast<std::uint32_t>(static_cast<std::size_t>(y - by0) * bw +
                                                     static_cast<std::size_t>(x - bx0));
    };
    for (long long x = bx0; x <= bx1; ++x)
        push(x, by0);
    for (long long y = by0; y <= by1; ++y)
        push(bx1, y);
    for (long long x = bx0; x <= bx1; ++x)
        push(x, by1);
    for (long long y = by0; y <= by1; ++y)
        push(bx0, y);
    for (std::size_t next = 0; next < queued; ++next) {
        const long long x = bx0 + static_cast<long long>(queue[next] % bw);
        const long long y = by0 + static_cast<long long>(queue[next] / bw);
        push(x - 1, y);
        push(x + 1, y);
        push(x, y - 1);
        push(x, y + 1);
    }
    for (long long y = by0; y <= by1; ++y)
        for (long long x = bx0; x <= bx1; ++x)
            if (at(x, y) != 2)
                pSelection[PlaneIndex(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y))] = level;
    GrowSelectionBox(static_cast<std::int32_t>(bx0), static_cast<std::int32_t>(by0),
                     static_cast<std::int32_t>(bx1 + 1), static_cast<std::int32_t>(by1 + 1));
    return true;
}

bool CImageContainer::SelectionAddColor(RGBQUAD c, BYTE level) {
    if (!EnsureSelection())
        return false;
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        for (std::int32_t x = 0; x < head.biWidth; ++x) {
            const RGBQUAD p = BlindGetPixelColor(x, y, false);
            if (p.rgbRed == c.rgbRed && p.rgbGreen == c.rgbGreen && p.rgbBlue == c.rgbBlue) {
                pSelection[PlaneIndex(x, y)] = level;
                GrowSelectionBox(x, y, x + 1, y + 1);
            }
        }
    return true;
}

bool CImageContainer::SelectionAddPixel(std::int32_t x, std::int32_t y, BYTE level) {
    if (!IsInside(x, y) || !EnsureSelection())
        return false;
    pSelection[PlaneIndex(x, y)] = level;
    GrowSelectionBox(x, y, x + 1, y + 1);
    return true;
}

bool CImageContainer::SelectionInvert() {
    if (!pSelection)
        return false;
    const std::size_t n = PlaneSize();
    for (std::size_t i = 0; i < n; ++i)
        pSelection[i] = static_cast<BYTE>(~pSelection[i]);
    SelectionRebuildBox();
    return true;
}

void CImageContainer::SelectionRebuildBox() {
    ResetSelectionBox();
    if (!pSelection)
        return;
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        for (std::int32_t x = 0; x < head.biWidth; ++x)
            if (pSelection[PlaneIndex(x, y)])
                GrowSelectionBox(x, y, x + 1, y + 1);
}

bool CImageContainer::SelectionFlip() {
    if (!pSelection)
        return false;
    // Rows are swapped in place: a flip needs no memory, so it cannot fail for the lack of it.
    const std::size_t w = GetWidth();
    for (std::int32_t y = 0; y < head.biHeight / 2; ++y) {
        BYTE* a = pSelection + PlaneIndex(0, y);
        std::swap_ranges(a, a + w, pSelection + PlaneIndex(0, head.biHeight - 1 - y));
    }
    const RECT old = info.rSelectionBox;
    info.rSelectionBox.top = head.biHeight - old.bottom;
    info.rSelectionBox.bottom = head.biHeight - old.top;
    return true;
}

bool CImageContainer::SelectionMirror() {
    if (!pSelection)
        return false;
    const std::size_t w = GetWidth();
    for (std::int32_t y = 0; y < head.biHeight; ++y)
        std::reverse(pSelection + PlaneIndex(0, y), pSelection + PlaneIndex(0, y) + w);
    const RECT old = info.rSelectionBox;
    info.rSelectionBox.left = head.biWidth - old.right;
    info.rSelectionBox.right = head.biWidth - old.left;
    return true;
}

bool CImageContainer::SelectionCopy(const CImageContainer& from) {
    if (!from.pSelection || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight() || !pDib)
        return false;
    if (!pSelection) {
        pSelection = static_cast<BYTE*>(std::malloc(PlaneSize()));
        if (!pSelection)
            return false;
    }
    std::memcpy(pSelection, from.pSelection, PlaneSize());
    info.rSelectionBox = from.info.rSelectionBox;
    return true;
}

bool CImageContainer::SelectionSet(CImageContainer& from) {
    if (!from.IsGrayScale() || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight()) {
        SetError("CImageContainer::SelectionSet: wrong width or height, or image is not gray scale");
        return false;
    }
    if (!pSelection && pDib)
        pSelection = static_cast<BYTE*>(std::malloc(PlaneSize()));
    if (!pSelection || !from.pDib) {
        SetError("CImageContainer::SelectionSet: null pointer");
        return false;
    }
    for (DWORD y = 0; y < GetHeight(); ++y)
        std::memcpy(pSelection + std::size_t{y} * GetWidth(), from.GetBits(y), GetWidth());
    SelectionRebuildBox();
    return true;
}

bool CImageContainer::SplitPlane(const BYTE* plane, CImageContainer* dest) {
    if (!plane || !dest)
        return false;
    CImageContainer tmp(GetWidth(), GetHeight(), 8, 0);
    if (!tmp.IsValid()) {
        SetError(tmp.GetLastError());
        return false;
    }
    for (DWORD y = 0; y < GetHeight(); ++y)
        std::memcpy(tmp.GetBits(y), plane + std::size_t{y} * GetWidth(), GetWidth());
    tmp.SetGrayPalette();
    dest->Transfer(tmp);
    return true;
}

bool CImageContainer::SelectionSplit(CImageContainer* dest) {
    return SplitPlane(pSelection, dest);
}

BYTE CImageContainer::SelectionGet(std::int32_t x, std::int32_t y) const {
    if (!pSelection || !IsInside(x, y))
        return 0;
    return pSelection[PlaneIndex(x, y)];
}

BYTE* CImageContainer::SelectionGetPointer(std::int32_t x, std::int32_t y) {
    if (!pSelection || !IsInside(x, y))
        return nullptr;
    return pSelection + PlaneIndex(x, y);
}

bool CImageContainer::SelectionIsInside(std::int32_t x, std::int32_t y) const {
    if (!IsInside(x, y))
        return false;
    return !pSelection || pSelection[PlaneIndex(x, y)] != 0;
}

void CImageContainer::SelectionSet(std::int32_t x, std::int32_t y, BYTE level) {
    if (pSelection && IsInside(x, y))
        pSelection[PlaneIndex(x, y)] = level;
}

BYTE CImageContainer::BlindSelectionGet(std::int32_t x, std::int32_t y) const {
    return pSelection[PlaneIndex(x, y)];
}

bool CImageContainer::BlindSelectionIsInside(std::int32_t x, std::int32_t y) const {
    return !pSelection || pSelection[PlaneIndex(x, y)] != 0;
}

bool CImageContainer::SelectionToHRGN(HRGN& region) {
    if (!pSelection || !region)
        return false;
    for (std::int32_t y = 0; y < head.biHeight; ++y) {
        std::int32_t x = 0;
        while (x < head.biWidth) {
            if (!pSelection[PlaneIndex(x, y)]) {
                ++x;
                continue;
            }
            const std::int32_t x0 = x;
            while (x < head.biWidth && pSelection[PlaneIndex(x, y)])
                ++x;
            HRGN run = CreateRectRgn(x0, y, x, y + 1);
            CombineRgn(region, region, run, RGN_OR);
            DeleteObject(run);
        }
    }
    return true;
}
