// The block walk of a GIF file: where its graphic blocks lie, and each one cut out as a GIF file of its
// own, so that an animated GIF can be shown frame by frame by a decoder of single pictures. Reads only
// inside the data; a block that would run past the end ends the walk. Pure; any thread.
#pragma once

#include <QByteArray>

#include <vector>

namespace GifBlocks {

// One graphic block: from its graphic control extension (or its image when it has none) through the end of
// its image data.
struct Frame {
    qsizetype start = 0, end = 0; // byte offsets, end exclusive
    int left = 0, top = 0, width = 0, height = 0;
    int delay = -1;   // hundredths of a second; -1 without a graphic control extension
    int disposal = 0; // 2 restore to background, 3 restore to previous
};

// "GIF87a" or "GIF89a" at the start.
bool IsGif(const QByteArray& data);
// The logical screen size.
int ScreenWidth(const QByteArray& data);
int ScreenHeight(const QByteArray& data);
// The global colour table's size in bytes; 0 when the file has none.
int GlobalTableSize(const QByteArray& data);
// The index of the background colour in the global table, and its colour (0xRRGGBB); -1 without a table.
int BackgroundColour(const QByteArray& data);

// Every graphic block, in file order, until the trailer or a block that cannot be read.
std::vector<Frame> Frames(const QByteArray& data);
// The block as a GIF file of its own: the header, the logical screen descriptor and the global colour
// table of the file, the block's bytes and the trailer.
QByteArray SingleImage(const QByteArray& data, const Frame& frame);

} // namespace GifBlocks
