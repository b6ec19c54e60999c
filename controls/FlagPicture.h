// A flag picture decoded from a file's bytes, ready for the flag control to show
// (controls/AnimatedPicture.h): a still picture, or the frames of an animated GIF cut out by the block walk
// (controls/GifBlocks.h), each clipped to the GIF's logical screen. A file that claims more than any flag
// needs is refused before anything of that size is decoded: the bounds below cap the file, every picture and
// an animation's frames together, so no file can hold a thread for long or grow the program.
//
// Thread: any; the results are plain data. The cache has one mutex.
#pragma once

#include "controls/GifBlocks.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace FlagPictures {

// Bytes of a picture file.
constexpr qint64 kMaxFileBytes = 8 << 20;
// Each side of a still picture or a GIF's logical screen, and its area.
constexpr int kMaxSide = 4096;
constexpr qint64 kMaxPixels = 2048 * 2048;
// An animation's frames together, each counted as its logical screen (what the decoder makes of it).
constexpr qint64 kMaxDecodedPixels = 16 * 1024 * 1024;

struct Frame {
    GifBlocks::Frame block; // its rectangle clipped to the logical screen
    QImage picture;         // the pixels of that rectangle
};

struct Picture {
    bool isGif = false;
    QSize size;                // the GIF's logical screen, or the still picture's size
    int background = -1;       // a GIF's background colour (0xRRGGBB); -1 without one
    QImage still;              // a still picture, a single-image GIF too
    std::vector<Frame> frames; // an animated GIF's frames that decoded
};

// True when a picture of this size is inside the bounds.
bool Fits(QSize size);

// The picture the bytes hold. Nothing when they hold none, or claim a size beyond the bounds: a logical
// screen or still picture too large, or more frames than the decoded bound takes. A GIF frame larger than
// the logical screen, or wholly outside it, is left out; one partly outside is clipped to it.
std::optional<Picture> Decode(const QByteArray& data);
// The same for a file; a file larger than kMaxFileBytes is refused without being read.
std::optional<Picture> Read(const QString& path);

// The picture of a file read before and still the same (its size and modification time); null when there
// is none. Pictures read with ReadAndKeep are kept, the most recent few, for every flag control to share.
std::shared_ptr<const Picture> Kept(const QString& path);
// Reads the file, keeps its picture and returns it; null when it is refused.
std::shared_ptr<const Picture> ReadAndKeep(const QString& path);

} // namespace FlagPictures
