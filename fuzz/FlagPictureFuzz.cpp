// A flag picture file as the screens read it: the GIF block walk and the frames it cuts out, then the whole
// decode with its bounds. A file that claims a huge screen or frame must be refused before anything of that
// size is made, so every input runs in bounded time and memory.
#include "controls/FlagPicture.h"
#include "controls/GifBlocks.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const GifBlocks::Frame& frame : GifBlocks::Frames(bytes))
        GifBlocks::SingleImage(bytes, frame);
    GifBlocks::BackgroundColour(bytes);
    FlagPictures::Decode(bytes);
    return 0;
}
