#include "controls/FlagPicture.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRect>

#include <deque>
#include <mutex>

namespace FlagPictures {

namespace {

// The decoder's own refusal of larger images, in whole MiB above one picture's ARGB pixels.
constexpr int kDecoderLimitMiB = static_cast<int>(kMaxPixels * 4 / (1 << 20)) + 1;

// Decodes one picture file held in memory; nothing when it is none or beyond the bounds.
QImage DecodeOne(const QByteArray& data, const char* format) {
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(kDecoderLimitMiB);
    // The size the file declares is checked before a pixel is decoded.
    const QSize declared = reader.size();
    if (declared.isValid() && !Fits(declared))
        return {};
    QImage image = reader.read();
    if (image.isNull() || !Fits(image.size()))
        return {};
    return image;
}

// The frame's pixels within `own` (its rectangle clipped to the screen), from what the decoder gave: the
// whole logical screen, or the frame alone.
QImage FramePixels(const QImage& decoded, const GifBlocks::Frame& frame, const QRect& own, QSize screen) {
    if (decoded.size() == screen)
        return decoded.copy(own);
    if (decoded.size() == QSize(frame.width, frame.height))
        return decoded.copy(own.translated(-frame.left, -frame.top));
    return decoded.copy(QRect(QPoint(), own.size()));
}

std::optional<Picture> DecodeGif(const QByteArray& data) {
    Picture picture;
    picture.isGif = true;
    picture.size = QSize(GifBlocks::ScreenWidth(data), GifBlocks::ScreenHeight(data));
    if (!Fits(picture.size))
        return std::nullopt;
    picture.background = GifBlocks::BackgroundColour(data);
    const QRect screen(QPoint(), picture.size);

    const std::vector<GifBlocks::Frame> blocks = GifBlocks::Frames(data);
    struct Kept {
        GifBlocks::Frame block;
        QRect own;
    };
    std::vector<Kept> kept;
    for (const GifBlocks::Frame& block : blocks) {
        if (block.width <= 0 || block.height <= 0 || block.width > screen.width() ||
            block.height > screen.height())
            continue;
        const QRect own = QRect(block.left, block.top, block.width, block.height) & screen;
        if (!own.isEmpty())
            kept.push_back({block, own});
    }
    if (kept.empty())
        return std::nullopt;
    if (blocks.size() == 1) {
        picture.still = DecodeOne(data, "GIF");
        if (picture.still.isNull())
            return std::nullopt;
        return picture;
    }
    const qint64 area = qint64(screen.width()) * screen.height();
    if (qint64(kept.size()) > kMaxDecodedPixels / area)
        return std::nullopt;
    for (const Kept& k : kept) {
        const QImage decoded = DecodeOne(GifBlocks::SingleImage(data, k.block), "GIF");
        if (decoded.isNull())
            continue; // a frame that does not decode is left out
        GifBlocks::Frame clipped = k.block;
        clipped.left = k.own.x();
        clipped.top = k.own.y();
        clipped.width = k.own.width();
        clipped.height = k.own.height();
        picture.frames.push_back(
            {clipped,
             FramePixels(decoded, k.block, k.own, picture.size).convertToFormat(QImage::Format_ARGB32)});
    }
    if (picture.frames.empty())
        return std::nullopt;
    return picture;
}

struct KeptPicture {
    QString path;
    qint64 bytes;
    QDateTime modified;
    std::shared_ptr<const Picture> picture;
};

// The pictures kept, the most recent last; two flags a match and its winner's once more need no more.
constexpr std::size_t kKeptPictures = 8;
std::mutex g_keptLock; // guards g_kept
std::deque<KeptPicture> g_kept;

} // namespace

bool Fits(QSize size) {
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxSide && size.height() <= kMaxSide &&
           qint64(size.width()) * size.height() <= kMaxPixels;
}

std::optional<Picture> Decode(const QByteArray& data) {
    if (data.size() > kMaxFileBytes)
        return std::nullopt;
    if (GifBlocks::IsGif(data))
        return DecodeGif(data);
    Picture picture;
    picture.still = DecodeOne(data, nullptr);
    if (picture.still.isNull())
        return std::nullopt;
    picture.size = picture.still.size();
    return picture;
}

std::optional<Picture> Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return std::nullopt;
    return Decode(file.read(kMaxFileBytes + 1));
}

std::shared_ptr<const Picture> Kept(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return nullptr;
    std::lock_guard lock(g_keptLock);
    for (const KeptPicture& k : g_kept)
        if (k.path == path && k.bytes == info.size() && k.modified == info.lastModified())
            return k.picture;
    return nullptr;
}

std::shared_ptr<const Picture> ReadAndKeep(const QString& path) {
    const QFileInfo info(path);
    std::optional<Picture> read = Read(path);
    if (!read)
        return nullptr;
    auto picture = std::make_shared<const Picture>(std::move(*read));
    std::lock_guard lock(g_keptLock);
    std::erase_if(g_kept, [&](const KeptPicture& k) { return k.path == path; });
    g_kept.push_back({path, info.size(), info.lastModified(), picture});
    if (g_kept.size() > kKeptPictures)
        g_kept.pop_front();
    return picture;
}

} // namespace FlagPictures
