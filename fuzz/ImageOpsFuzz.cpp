// Drawing and layering as a caller of the image container would drive it: the input nests layers and dumps
// the image into a buffer of exactly its dump size, draws a line between any two points, selects a polygon of
// any points, and copies a memory stream that then grows. Far-off points cost no more than near ones, so
// every input runs in bounded time and memory.
#include "controls/image/ImageContainer.h"
#include "controls/image/ImageStream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Takes the input a piece at a time; what it lacks reads as zeros.
struct Input {
    const std::uint8_t* data;
    std::size_t left;
    std::int32_t Int() {
        std::uint32_t value = 0;
        const std::size_t n = left < 4 ? left : 4;
        std::memcpy(&value, data, n);
        data += n;
        left -= n;
        return static_cast<std::int32_t>(value);
    }
    std::uint8_t Byte() {
        if (left == 0)
            return 0;
        --left;
        return *data++;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    CImageContainer img(64, 48, 8, 0);
    img.SetGrayPalette();
    img.Clear(0);

    CImageContainer* layer = &img;
    for (int depth = in.Byte() % 64; depth > 0 && layer->LayerCreate(); --depth) {
        layer = layer->GetLayer(0);
        layer->Create(2, 2, 8, 0);
    }
    const DWORD dumpSize = img.DumpSize();
    // Exactly the size asked for, so a writer that passes it is caught.
    const auto dump = std::make_unique<BYTE[]>(dumpSize ? dumpSize : 1);
    img.Dump(dump.get());

    const std::int32_t x0 = in.Int(), x1 = in.Int(), y0 = in.Int(), y1 = in.Int();
    img.DrawLine(x0, x1, y0, y1, RGB(255, 255, 255));

    std::vector<POINT> points(in.Byte() % 16);
    for (POINT& p : points) {
        p.x = in.Int();
        p.y = in.Int();
    }
    img.SelectionAddPolygon(points.data(), static_cast<std::int32_t>(points.size()), 255);

    CImageMemoryStream original;
    original.Open();
    original.Write(in.data, 1, in.left);
    CImageMemoryStream copy(original);
    const std::vector<BYTE> more(1 + in.Byte() * 1024u, 'm');
    original.Write(more.data(), 1, more.size());
    copy.Seek(0, SEEK_SET);
    std::vector<BYTE> back(in.left + 1);
    copy.Read(back.data(), 1, back.size());
    return 0;
}
