// The flag picture: GIF block walk, animation on its timer with each frame's delay, still pictures scaled
// to the size asked for, and files that cannot be shown.
#include "controls/PictureEx.h"
#include "controls/GifBlocks.h"
#include "platform/TickSource.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QImage>

#include <initializer_list>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (const int v : values)
        bytes += char(v);
    return bytes;
}

// A 1 x 1 GIF with a white (index 0) and black (index 1) colour table.
QByteArray Header() {
    return QByteArray("GIF89a") + Bytes({1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0});
}
QByteArray Control(int delay, int disposal = 0) {
    return Bytes({0x21, 0xF9, 4, disposal << 2, delay & 0xFF, delay >> 8, 0, 0});
}
// One pixel of colour index 0 or 1.
QByteArray Image(int index) {
    return Bytes({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, index ? 0x4C : 0x44, 1, 0});
}
QByteArray Comment() {
    return Bytes({0x21, 0xFE, 3, 'a', 'b', 'c', 0});
}
const QByteArray kTrailer = Bytes({0x3B});

TEST(GifBlocksTest, WalkFindsEachGraphicBlockWithItsDelayAndCutsItOut) {
    const QByteArray gif = Header() + Comment() + Control(0) + Image(0) + Control(50, 2) + Comment() +
                           Image(1) + Image(0) + kTrailer;
    ASSERT_TRUE(GifBlocks::IsGif(gif));
    EXPECT_EQ(GifBlocks::GlobalTableSize(gif), 6);
    EXPECT_EQ(GifBlocks::BackgroundColour(gif), 0xFFFFFF);
    const std::vector<GifBlocks::Frame> frames = GifBlocks::Frames(gif);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].delay, 0);
    EXPECT_EQ(frames[1].delay, 50);
    EXPECT_EQ(frames[1].disposal, 2);
    EXPECT_EQ(frames[2].delay, -1) << "no graphic control extension";
    EXPECT_EQ(frames[1].width, 1);

    const QImage second = QImage::fromData(GifBlocks::SingleImage(gif, frames[1]), "GIF");
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(second.pixelColor(0, 0), QColor(Qt::black));

    // A block cut short ends the walk; what came before stays.
    const QByteArray cut = Header() + Control(0) + Image(0) + Control(0) + Image(1).left(8);
    EXPECT_EQ(GifBlocks::Frames(cut).size(), 1u);
    EXPECT_TRUE(GifBlocks::Frames(QByteArray("GIF89a")).empty());
    EXPECT_TRUE(GifBlocks::Frames(QByteArray("\x89PNG")).empty());
}

TEST(PictureExTest, AnimatedGifPlaysEachFrameForItsDelayAndLoops) {
    platform::ManualTime clock;
    CPictureEx picture;
    const QByteArray gif = Header() + Control(3) + Image(0) + Control(50) + Image(1) + kTrailer;
    ASSERT_TRUE(picture.LoadFromMemory(gif, 30, 20));
    EXPECT_EQ(picture.size(), QSize(30, 20));
    ASSERT_EQ(picture.FrameCount(), 2);
    EXPECT_EQ(picture.FrameDelayMs(0), 100) << "delays up to 4 play for 100 ms";
    EXPECT_EQ(picture.FrameDelayMs(1), 500);
    EXPECT_FALSE(picture.Draw()) << "an animation only starts";
    EXPECT_TRUE(picture.IsPlaying());
    EXPECT_EQ(picture.Surface().pixelColor(15, 10), QColor(Qt::white));
    clock.advance(99);
    EXPECT_EQ(picture.CurrentFrame(), 0);
    clock.advance(1);
    EXPECT_EQ(picture.CurrentFrame(), 1);
    EXPECT_EQ(picture.Surface().pixelColor(15, 10), QColor(Qt::black)) << "scaled to the whole display";
    clock.advance(499);
    EXPECT_EQ(picture.CurrentFrame(), 1);
    clock.advance(1);
    EXPECT_EQ(picture.CurrentFrame(), 0) << "back to the first frame";
    EXPECT_EQ(picture.Surface().pixelColor(15, 10), QColor(Qt::white));
    picture.Stop();
    clock.advance(1000);
    EXPECT_EQ(picture.CurrentFrame(), 0);
    EXPECT_FALSE(picture.IsPlaying());
}

TEST(PictureExTest, StillPicturesAndFilesThatCannotBeShown) {
    platform::ManualTime clock;
    TempHome home;
    CPictureEx picture;

    // A single-image GIF is still: no timer.
    ASSERT_TRUE(picture.LoadFromMemory(Header() + Control(10) + Image(1) + kTrailer, 8, 6));
    EXPECT_TRUE(picture.Draw());
    EXPECT_FALSE(picture.IsPlaying());
    EXPECT_FALSE(clock.isArmed(picture.GetSafeHwnd(), CPictureEx::kAnimationTimer));
    EXPECT_EQ(picture.Surface().pixelColor(4, 3), QColor(Qt::black));

    // A PNG scaled to the display size.
    QImage flag(4, 2, QImage::Format_RGB32);
    flag.fill(QColor(0, 0, 255));
    const QString path = QString::fromStdString(home.file("Img/Flag/KOR.gif"));
    ASSERT_TRUE(flag.save(path, "PNG"));
    ASSERT_TRUE(picture.Load(path, 150, 100));
    EXPECT_TRUE(picture.Draw());
    EXPECT_EQ(picture.Surface().size(), QSize(150, 100));
    EXPECT_EQ(picture.Surface().pixelColor(149, 99), QColor(0, 0, 255));

    // A missing file or bytes that are no picture leave the control empty.
    EXPECT_FALSE(picture.Load(QString::fromStdString(home.file("Img/Flag/none.gif")), 150, 100));
    EXPECT_TRUE(picture.Surface().isNull());
    EXPECT_FALSE(picture.Draw());
    EXPECT_FALSE(picture.LoadFromMemory(QByteArray("not a picture"), 10, 10));
    // An animated GIF whose second frame does not decode has one frame and shows nothing.
    const QByteArray broken = Header() + Control(10) + Image(0) + Control(10) +
                              Bytes({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 1, 0xFF, 0}) + kTrailer;
    if (picture.LoadFromMemory(broken, 10, 10)) {
        EXPECT_LE(picture.FrameCount(), 1);
        EXPECT_FALSE(picture.Draw());
    }
}

} // namespace
