// A region as a set of rectangles, enough for code that builds a region by OR-ing rectangles into it and
// asks which points it holds. Header-only, so libraries outside the core can use it.
// Threads: a region belongs to the thread that made it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct GdiRegion {
    struct Box {
        std::int32_t left, top, right, bottom; // right and bottom excluded
    };
    std::vector<Box> boxes;
};
using HRGN = GdiRegion*;

constexpr int RGN_OR = 2;
constexpr int NULLREGION = 1;
constexpr int COMPLEXREGION = 3;
constexpr int RGNERROR = 0;

inline HRGN CreateRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    auto* r = new GdiRegion;
    if (left < right && top < bottom)
        r->boxes.push_back({left, top, right, bottom});
    return r;
}

// Only the union is offered; the destination may be one of the sources.
inline int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
    if (!dest || !a || !b || mode != RGN_OR)
        return RGNERROR;
    std::vector<GdiRegion::Box> boxes = a->boxes;
    boxes.insert(boxes.end(), b->boxes.begin(), b->boxes.end());
    dest->boxes = std::move(boxes);
    return dest->boxes.empty() ? NULLREGION : COMPLEXREGION;
}

inline bool DeleteObject(HRGN r) {
    delete r;
    return r != nullptr;
}

inline bool PtInRegion(HRGN r, std::int32_t x, std::int32_t y) {
    if (!r)
        return false;
    for (const auto& b : r->boxes)
        if (x >= b.left && x < b.right && y >= b.top && y < b.bottom)
            return true;
    return false;
}
