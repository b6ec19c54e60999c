// An image dump as it would arrive through the container's streams: the bytes go into a memory stream, are
// read back a piece at a time as the input's first bytes say, and the dump is read with its length.
#include "controls/image/ImageContainer.h"
#include "controls/image/ImageStream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t step = data[0];
    const int origin = data[1] % 4; // 3 is not an origin: it must be refused
    data += 2;
    size -= 2;

    CImageMemoryStream stream;
    stream.Open();
    stream.Write(data, 1, size);
    stream.Seek(static_cast<std::int32_t>(step) - 128, origin);
    std::vector<BYTE> back(size + 1);
    std::size_t got = 0;
    char line[64];
    while (!stream.Eof() && got < size) {
        if (step & 1)
            stream.GetS(line, static_cast<std::int32_t>(step % 64));
        got += stream.Read(back.data() + got, 1 + step % 7, 1) * (1 + step % 7);
        if (stream.GetC() < 0)
            break;
        ++got;
    }

    CImageContainer img;
    if (img.UnDump(data, size) != 0) {
        std::vector<BYTE> again(img.DumpSize());
        img.Dump(again.data());
    }
    return 0;
}
