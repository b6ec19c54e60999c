#include "app/PngResource.h"

#include "platform/DebugOutput.h"
#include "resources/Artwork.h"
#include "resources/ImageIds.h"

#include <QFile>

// The pictures live in the static core library, whose resource initialiser the linker would drop unless
// something refers to it. Q_INIT_RESOURCE must be used outside any namespace.
static bool registerImageResources() {
    Q_INIT_RESOURCE(images);
    return true;
}

static void ensureImageResources() {
    static const bool registered = registerImageResources();
    (void)registered;
}

std::unique_ptr<QImage> LoadPngFile(const QString& path) {
    ensureImageResources();
    if (!QFile::exists(path))
        return nullptr;
    auto image = std::make_unique<QImage>();
    if (!image->load(path, "PNG") || image->isNull()) {
        DebugPrintf("%s is not a readable PNG picture", path.toUtf8().constData());
        return nullptr;
    }
    return image;
}

namespace {

std::unique_ptr<QImage> FromCatalogue(ImageKind kind, int id) {
    QImage image = Artwork(kind, id);
    if (image.isNull())
        return nullptr;
    return std::make_unique<QImage>(std::move(image));
}

} // namespace

std::unique_ptr<QImage> LoadPngResource(int id) {
    for (const auto& resource : kImageResources)
        if (resource.id == id)
            return LoadPngFile(QString::fromLatin1(resource.path));
    return FromCatalogue(ImageKind::Png, id);
}

std::unique_ptr<QImage> LoadBitmapResource(int id) {
    return FromCatalogue(ImageKind::Bitmap, id);
}

std::unique_ptr<QImage> LoadIconResource(int id) {
    return FromCatalogue(ImageKind::Icon, id);
}

std::unique_ptr<QImage> LoadCursorResource(int id) {
    return FromCatalogue(ImageKind::Cursor, id);
}
