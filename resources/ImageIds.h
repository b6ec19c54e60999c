// Ids of the pictures compiled into the program, and the resource path each one names. A screen that needs
// a picture adds its id and one table line here, and its file to images.qrc.
#pragma once

constexpr int IDB_PNG_PROBE = 1; // 4 x 3 colour bars that prove the resources are linked in

struct ImageResource {
    int id;
    const char* path;
};

inline constexpr ImageResource kImageResources[] = {
    {IDB_PNG_PROBE, ":/images/probe.png"},
};

consteval bool ImageIdsAreUnique() {
    for (const auto& a : kImageResources)
        for (const auto& b : kImageResources)
            if (&a != &b && a.id == b.id)
                return false;
    return true;
}
static_assert(ImageIdsAreUnique(), "two pictures share an id");
