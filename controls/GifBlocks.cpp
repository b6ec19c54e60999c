#include "controls/GifBlocks.h"

#include <optional>

namespace GifBlocks {

namespace {

enum class Kind { Application, Comment, GraphicControl, PlainText, Image, Trailer, Unknown };

int Byte(const QByteArray& data, qsizetype at) {
    return at >= 0 && at < data.size() ? static_cast<unsigned char>(data[at]) : -1;
}

int Word(const QByteArray& data, qsizetype at) {
    const int low = Byte(data, at);
    const int high = Byte(data, at + 1);
    return low < 0 || high < 0 ? 0 : low | (high << 8);
}

// The bytes of the colour table that a packed field announces (its top bit set); 0 without one.
int TableBytes(int packed) {
    return packed >= 0 && (packed & 0x80) ? 3 * (1 << ((packed & 7) + 1)) : 0;
}

Kind KindAt(const QByteArray& data, qsizetype at) {
    switch (Byte(data, at)) {
    case 0x21:
        switch (Byte(data, at + 1)) {
        case 0x01:
            return Kind::PlainText;
        case 0xF9:
            return Kind::GraphicControl;
        case 0xFE:
            return Kind::Comment;
        case 0xFF:
            return Kind::Application;
        default:
            return Kind::Unknown;
        }
    case 0x2C:
        return Kind::Image;
    case 0x3B:
        return Kind::Trailer;
    default:
        return Kind::Unknown;
    }
}

// The length of the sub-block chain at `at`, with its terminator; nullopt when it runs past the data.
std::optional<qsizetype> ChainLength(const QByteArray& data, qsizetype at) {
    qsizetype length = 0;
    for (;;) {
        const int size = Byte(data, at + length);
        if (size < 0)
            return std::nullopt;
        length += size + 1;
        if (size == 0)
            return length;
    }
}

std::optional<qsizetype> BlockLength(const QByteArray& data, qsizetype at, Kind kind) {
    std::optional<qsizetype> length;
    switch (kind) {
    case Kind::Application:
        if (auto chain = ChainLength(data, at + 14))
            length = 14 + *chain;
        break;
    case Kind::Comment:
        if (auto chain = ChainLength(data, at + 2))
            length = 2 + *chain;
        break;
    case Kind::GraphicControl:
        length = 8;
        break;
    case Kind::PlainText:
        if (auto chain = ChainLength(data, at + 15))
            length = 15 + *chain;
        break;
    case Kind::Image: {
        const int packed = Byte(data, at + 9);
        if (packed < 0)
            break;
        const int table = TableBytes(packed);
        if (auto chain = ChainLength(data, at + 11 + table))
            length = 11 + table + *chain;
        break;
    }
    case Kind::Trailer:
        length = 1;
        break;
    case Kind::Unknown:
        break;
    }
    if (!length || *length <= 0 || at + *length > data.size())
        return std::nullopt;
    return length;
}

// Passes one graphic block from `at`; the frame found, with `at` moved past it, or nullopt at the end.
std::optional<Frame> NextFrame(const QByteArray& data, qsizetype& at) {
    Frame frame;
    bool inBlock = false; // a graphic control extension has begun the block
    for (;;) {
        const Kind kind = KindAt(data, at);
        if (kind == Kind::Trailer || kind == Kind::Unknown)
            return std::nullopt;
        const std::optional<qsizetype> length = BlockLength(data, at, kind);
        if (!length)
            return std::nullopt;
        switch (kind) {
        case Kind::GraphicControl:
            if (!inBlock) {
                frame.start = at;
                frame.delay = Word(data, at + 4);
                frame.disposal = (Byte(data, at + 3) >> 2) & 7;
                inBlock = true;
            }
            break;
        case Kind::Image:
        case Kind::PlainText:
            if (!inBlock)
                frame.start = at;
            if (kind == Kind::Image) {
                frame.left = Word(data, at + 1);
                frame.top = Word(data, at + 3);
                frame.width = Word(data, at + 5);
                frame.height = Word(data, at + 7);
            }
            at += *length;
            frame.end = at;
            return frame;
        default: // application and comment extensions are passed over
            break;
        }
        at += *length;
    }
}

} // namespace

bool IsGif(const QByteArray& data) {
    return data.startsWith("GIF87a") || data.startsWith("GIF89a");
}

int ScreenWidth(const QByteArray& data) {
    return Word(data, 6);
}

int ScreenHeight(const QByteArray& data) {
    return Word(data, 8);
}

int GlobalTableSize(const QByteArray& data) {
    return TableBytes(Byte(data, 10));
}

int BackgroundColour(const QByteArray& data) {
    const int table = GlobalTableSize(data);
    const int index = Byte(data, 11);
    if (table == 0 || index < 0 || 13 + 3 * index + 2 >= 13 + table)
        return -1;
    const qsizetype at = 13 + 3 * index;
    const int r = Byte(data, at), g = Byte(data, at + 1), b = Byte(data, at + 2);
    if (r < 0 || g < 0 || b < 0)
        return -1;
    return (r << 16) | (g << 8) | b;
}

std::vector<Frame> Frames(const QByteArray& data) {
    std::vector<Frame> frames;
    if (!IsGif(data))
        return frames;
    qsizetype at = 13 + GlobalTableSize(data);
    while (const std::optional<Frame> frame = NextFrame(data, at))
        frames.push_back(*frame);
    return frames;
}

QByteArray SingleImage(const QByteArray& data, const Frame& frame) {
    const qsizetype head = 13 + GlobalTableSize(data);
    if (frame.start < head || frame.end > data.size() || frame.end <= frame.start)
        return {};
    QByteArray file = data.left(head);
    file += data.mid(frame.start, frame.end - frame.start);
    file += char(0x3B);
    return file;
}

} // namespace GifBlocks
