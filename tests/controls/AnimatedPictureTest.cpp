// The flag picture: GIF block walk, animation on its timer with each frame's delay, still pictures scaled
// to the size asked for, and files that cannot be shown.
#include "controls/AnimatedPicture.h"
#include "controls/FlagPicture.h"
#include "controls/GifBlocks.h"
#include "platform/TickSource.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

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

TEST(AnimatedPictureTest, AnimatedGifPlaysEachFrameForItsDelayAndLoops) {
    platform::ManualTime clock;
    CAnimatedPicture picture;
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

TEST(AnimatedPictureTest, StillPicturesAndFilesThatCannotBeShown) {
    platform::ManualTime clock;
    TempHome home;
    CAnimatedPicture picture;

    // A single-image GIF is still: no timer.
    ASSERT_TRUE(picture.LoadFromMemory(Header() + Control(10) + Image(1) + kTrailer, 8, 6));
    EXPECT_TRUE(picture.Draw());
    EXPECT_FALSE(picture.IsPlaying());
    EXPECT_FALSE(clock.isArmed(picture.GetSafeHwnd(), CAnimatedPicture::kAnimationTimer));
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

// ---- bounds ----

QByteArray CorpusFile(const char* name) {
    QFile file(QStringLiteral(BELVANTA_SOURCE_DIR "/fuzz/corpus/flag_picture/") + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

TEST(FlagPictureBounds, FilesClaimingMoreThanAFlagAreRefusedAndFramesStayOnTheScreen) {
    const struct {
        const char* file;
        bool refused;
        std::vector<QRect> frames; // each frame's place on the logical screen
    } cases[] = {
        {"huge-second-frame.gif", false, {QRect(0, 0, 1, 1)}}, // the 65535 x 65535 frame is left out
        {"huge-only-frame.gif", true, {}},
        {"huge-screen.gif", true, {}},
        {"wide-screen.gif", true, {}},
        {"zero-screen.gif", true, {}},
        {"too-many-frames.gif", true, {}}, // five frames of 2048 x 2048 decode to more than the bound
        {"frame-outside.gif", false, {QRect(1, 1, 1, 1), QRect(2, 2, 1, 1)}},
        {"frame-partly-outside.gif", false, {QRect(3, 3, 1, 1), QRect(0, 0, 1, 1)}},
        {"frame-wider-than-screen.gif", false, {QRect(0, 0, 1, 1)}},
        {"two-frames.gif", false, {QRect(0, 0, 1, 1), QRect(1, 1, 1, 1)}},
        {"huge-declared.png", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::optional<FlagPictures::Picture> picture = FlagPictures::Decode(CorpusFile(c.file));
        ASSERT_EQ(!picture.has_value(), c.refused);
        if (!picture)
            continue;
        ASSERT_EQ(picture->frames.size(), c.frames.size());
        for (std::size_t i = 0; i < c.frames.size(); ++i) {
            const FlagPictures::Frame& frame = picture->frames[i];
            EXPECT_EQ(QRect(frame.block.left, frame.block.top, frame.block.width, frame.block.height),
                      c.frames[i])
                << i;
            EXPECT_EQ(frame.picture.size(), c.frames[i].size()) << i;
        }
    }
}

TEST(FlagPictureBounds, AControlShowsNothingOfARefusedFileAndOnlyTheFramesThatFit) {
    CAnimatedPicture picture;
    EXPECT_FALSE(picture.LoadFromMemory(CorpusFile("huge-screen.gif"), 30, 20));
    EXPECT_TRUE(picture.Surface().isNull());
    // One frame of two is left: an animation of one frame shows nothing.
    EXPECT_TRUE(picture.LoadFromMemory(CorpusFile("huge-second-frame.gif"), 30, 20));
    EXPECT_EQ(picture.FrameCount(), 1);
    EXPECT_FALSE(picture.Draw());
    EXPECT_FALSE(picture.IsPlaying());
    // A frame partly off the screen plays clipped to it.
    platform::ManualTime clock;
    ASSERT_TRUE(picture.LoadFromMemory(CorpusFile("frame-partly-outside.gif"), 40, 40));
    EXPECT_FALSE(picture.Draw());
    EXPECT_EQ(picture.Surface().pixelColor(35, 35), QColor(Qt::black)) << "the clipped frame at 3, 3";
    EXPECT_EQ(picture.Surface().pixelColor(5, 5), QColor(240, 240, 240)) << "nothing drawn outside it yet";
}

// ---- loading in the background ----

class FlagLoadTest : public ::testing::Test {
protected:
    QString Flag(const char* name, QColor colour) {
        QImage flag(6, 4, QImage::Format_RGB32);
        flag.fill(colour);
        const QString path = QString::fromStdString(home.file(std::string("Img/Flag/") + name));
        EXPECT_TRUE(flag.save(path, "PNG"));
        return path;
    }
    // Waits for the control's answer; false when none came.
    static bool Ready(CAnimatedPicture& picture, std::vector<bool>& answers) {
        return pumpUntil([&] { return !answers.empty() && !picture.IsLoading(); });
    }
    TempHome home;
};

TEST_F(FlagLoadTest, APictureIsReadOffTheUserInterfaceThreadAndThenShownAtOnceWhereverItIsShownAgain) {
    const QString path = Flag("KOR.png", QColor(0, 0, 255));
    CAnimatedPicture first;
    std::vector<bool> answers;
    QObject::connect(&first, &CAnimatedPicture::pictureReady, [&](bool shown) { answers.push_back(shown); });
    first.LoadInBackground(path, 60, 40);
    EXPECT_EQ(first.size(), QSize(60, 40)) << "the control takes its size at once";
    ASSERT_TRUE(Ready(first, answers));
    EXPECT_EQ(answers, std::vector<bool>{true});
    EXPECT_EQ(first.Surface().pixelColor(59, 39), QColor(0, 0, 255));

    // Read once, the same file is shown by another control without waiting.
    CAnimatedPicture second;
    std::vector<bool> again;
    QObject::connect(&second, &CAnimatedPicture::pictureReady, [&](bool shown) { again.push_back(shown); });
    second.LoadInBackground(path, 30, 20);
    EXPECT_EQ(again, std::vector<bool>{true});
    EXPECT_FALSE(second.IsLoading());
    EXPECT_EQ(second.Surface().pixelColor(29, 19), QColor(0, 0, 255));
    EXPECT_TRUE(second.Load(path, 12, 8)) << "and by a load that waits";
}

TEST_F(FlagLoadTest, ARefusedOrMissingFileEmptiesTheControl) {
    const QString refused = QString::fromStdString(home.file("Img/Flag/HUG.gif"));
    QFile file(refused);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(CorpusFile("huge-screen.gif"));
    file.close();
    for (const QString& path : {refused, QString::fromStdString(home.file("Img/Flag/none-such.png"))}) {
        CAnimatedPicture picture;
        std::vector<bool> answers;
        QObject::connect(&picture, &CAnimatedPicture::pictureReady,
                         [&](bool shown) { answers.push_back(shown); });
        picture.LoadInBackground(path, 60, 40);
        ASSERT_TRUE(Ready(picture, answers)) << path.toStdString();
        EXPECT_EQ(answers, std::vector<bool>{false}) << path.toStdString();
        EXPECT_TRUE(picture.Surface().isNull()) << path.toStdString();
    }
}

TEST_F(FlagLoadTest, OnlyTheLastLoadIsShownAndAnUnloadedOneNever) {
    const QString blue = Flag("A.png", QColor(0, 0, 255));
    const QString red = Flag("B.png", QColor(255, 0, 0));
    const QString green = Flag("C.png", QColor(0, 255, 0));
    CAnimatedPicture picture;
    std::vector<bool> answers;
    QObject::connect(&picture, &CAnimatedPicture::pictureReady,
                     [&](bool shown) { answers.push_back(shown); });
    picture.LoadInBackground(blue, 60, 40);
    picture.LoadInBackground(red, 60, 40);
    ASSERT_TRUE(Ready(picture, answers));
    // The blue one may have been read too; it is never shown.
    ASSERT_TRUE(pumpUntil([&] { return FlagPictures::Kept(red) != nullptr; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(answers, std::vector<bool>{true});
    EXPECT_EQ(picture.Surface().pixelColor(30, 20), QColor(255, 0, 0));

    answers.clear();
    picture.LoadInBackground(green, 60, 40);
    picture.UnLoad();
    ASSERT_TRUE(pumpUntil([&] { return FlagPictures::Kept(green) != nullptr; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(answers.empty()) << "an unloaded picture is never shown";
    EXPECT_TRUE(picture.Surface().isNull());
}

TEST_F(FlagLoadTest, AControlGoingWhileItsPictureIsReadWaitsForItsReader) {
    const QString path = Flag("D.png", QColor(9, 9, 9));
    for (int i = 0; i < 20; ++i) {
        CAnimatedPicture picture;
        picture.LoadInBackground(path + (i % 2 ? QString() : QStringLiteral(".missing")), 60, 40);
    } // each reader is joined before its window goes; nothing is posted to a window that is gone
    QCoreApplication::processEvents();
}

} // namespace
