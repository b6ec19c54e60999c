#include "resources/Artwork.h"

#include "app/PngResource.h"
#include "resources/ArtworkIds.h"
#include "resources/ArtworkPainters.h"
#include "tests/support/TextContrast.h"

#include <gtest/gtest.h>

#include <QColor>

#include <algorithm>
#include <set>
#include <utility>

namespace {

TEST(ArtworkTest, EveryPictureOfTheCatalogueIsDrawnAtItsSizeAndIdsAreUniquePerKind) {
    std::set<std::pair<ImageKind, int>> seen;
    for (const ArtworkEntry& entry : ArtworkCatalogue()) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(entry.kind) << " " << entry.id << " " << entry.what);
        EXPECT_TRUE(seen.insert({entry.kind, entry.id}).second) << "id used twice";
        const QImage image = Artwork(entry.kind, entry.id);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), entry.size);
    }
}

struct Use {
    ImageKind kind;
    int id;
    int width, height;
};

// Pictures as the screens load them, at the sizes they draw them.
TEST(ArtworkTest, ScreensFindTheirPicturesByKindAndId) {
    const Use uses[] = {
        {ImageKind::Bitmap, 504, 1280, 720},  // operator background
        {ImageKind::Bitmap, 913, 74, 37},     // a score-correction button
        {ImageKind::Bitmap, 1031, 74, 37},    // the last of Chung's
        {ImageKind::Bitmap, 1028, 74, 37},    // a Hong one, same number as a PNG below
        {ImageKind::Png, 1028, 1920, 1080},   // the Kye-Shi screen
        {ImageKind::Bitmap, 931, 45, 21},     // round-win system mark
        {ImageKind::Bitmap, 952, 1920, 1080}, // scoreboard background
        {ImageKind::Bitmap, 949, 1280, 720},  // reversed, small
        {ImageKind::Png, 983, 442, 220},      // centre panel
        {ImageKind::Png, 461, 41, 41},        // judge tile state 10
        {ImageKind::Png, 853, 1280, 720},     // video-replay mode 5, small
        {ImageKind::Png, 629, 1920, 1080},    // receiver lost
        {ImageKind::Png, 836, 962, 122},      // decision banner
        {ImageKind::Png, 978, 472, 320},      // round-win decision banner
        {ImageKind::Png, 872, 1020, 574},     // operator winner display
        {ImageKind::Icon, 563, 32, 32},       // scoreboard toggle on
        {ImageKind::Cursor, 401, 32, 32},     // hover cursor
        {ImageKind::Bitmap, 588, 20, 20},     // link lamp
        {ImageKind::Bitmap, 948, 48, 16},     // check list boxes
        {ImageKind::Png, ArtworkIds::TrunkChung, 40, 48},
    };
    for (const Use& use : uses) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(use.kind) << " " << use.id);
        std::unique_ptr<QImage> image;
        switch (use.kind) {
        case ImageKind::Png:
            image = LoadPngResource(use.id);
            break;
        case ImageKind::Bitmap:
            image = LoadBitmapResource(use.id);
            break;
        case ImageKind::Icon:
            image = LoadIconResource(use.id);
            break;
        case ImageKind::Cursor:
            image = LoadCursorResource(use.id);
            break;
        }
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->size(), QSize(use.width, use.height));
    }
    EXPECT_EQ(LoadBitmapResource(424242), nullptr);
    EXPECT_EQ(LoadIconResource(913), nullptr) << "a bitmap id is not an icon";
}

bool HasColour(const QImage& image, QColor colour, int tolerance = 12) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 255 && std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                return true;
        }
    return false;
}

TEST(ArtworkTest, ButtonFacesStandOnTheTransparentWhiteInTheirSideColour) {
    const QColor chung = QColor::fromRgba(ArtworkColours::Chung);
    const QColor hong = QColor::fromRgba(ArtworkColours::Hong);
    const struct {
        int id;
        QColor colour, other;
    } faces[] = {{913, chung, hong}, {912, chung, hong}, {915, hong, chung}, {1029, hong, chung}};
    for (const auto& face : faces) {
        SCOPED_TRACE(face.id);
        const QImage image = Artwork(ImageKind::Bitmap, face.id);
        EXPECT_EQ(image.pixel(0, 0), 0xFFFFFFFFu) << "corners are the buttons' transparent white";
        EXPECT_TRUE(HasColour(image, face.colour));
        EXPECT_FALSE(HasColour(image, face.other, 30));
    }
    // The add and remove faces differ.
    EXPECT_NE(Artwork(ImageKind::Bitmap, 913), Artwork(ImageKind::Bitmap, 912));
}

TEST(ArtworkTest, PicturesThatNameASideUseItsColour) {
    const QColor chung = QColor::fromRgba(ArtworkColours::Chung);
    const QColor hong = QColor::fromRgba(ArtworkColours::Hong);
    EXPECT_TRUE(HasColour(Artwork(ImageKind::Bitmap, 922), chung));
    EXPECT_TRUE(HasColour(Artwork(ImageKind::Bitmap, 923), hong));
    EXPECT_TRUE(HasColour(Artwork(ImageKind::Bitmap, 941), chung)) << "CHUNG label";
    EXPECT_TRUE(HasColour(Artwork(ImageKind::Bitmap, 940), hong)) << "HONG label, reversed";
    // Toggle faces: on and off differ.
    EXPECT_NE(Artwork(ImageKind::Icon, 563), Artwork(ImageKind::Icon, 559));
}

TEST(ArtworkTest, PicturesAreDrawnOnceAndSharedAcrossCalls) {
    const QImage first = Artwork(ImageKind::Png, 983);
    const QImage second = Artwork(ImageKind::Png, 983);
    EXPECT_EQ(first.constBits(), second.constBits()) << "the cached picture is shared, not drawn again";
}

// The pop-ups the arena reads over the scoreboard (a lost device, a video replay, the referee's request, a
// decision) are read from the stands: every pixel of their letters stands out from the glow right behind it,
// which is the same banner drawn without words.
TEST(ArtworkTest, EveryLetterOfABannerStandsOutFromTheGlowBehindIt) {
    using ArtworkPaint::Side;
    const QSize sizes[] = {{1920, 1080}, {1280, 720}, {1444, 183}, {962, 122}, {472, 320}};
    for (const Side side : {Side::Chung, Side::Hong, Side::Neutral, Side::Alert}) {
        for (const QSize size : sizes) {
            SCOPED_TRACE(testing::Message() << "side " << static_cast<int>(side) << ", " << size.width()
                                            << "x" << size.height());
            const QImage behind =
                ArtworkPaint::Banner(size, side, "", "").convertToFormat(QImage::Format_RGB32);
            const QImage shown =
                ArtworkPaint::Banner(size, side, "CHUNG TRUNK PROTECTOR", "DEVICE NOT RESPONDING")
                    .convertToFormat(QImage::Format_RGB32);
            double worst = 21;
            int letters = 0;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x) {
                    const QRgb ink = shown.pixel(x, y);
                    if (ink == behind.pixel(x, y) ||
                        (ink != qRgb(255, 255, 255) && ink != (ArtworkColours::Yellow | 0xFF000000)))
                        continue; // the glow, the frame, or a letter's blended edge
                    ++letters;
                    worst = std::min(worst, Contrast(QColor(ink), QColor(behind.pixel(x, y))));
                }
            EXPECT_GT(letters, 0);
            EXPECT_GE(worst, 4.5);
        }
    }
}

} // namespace
