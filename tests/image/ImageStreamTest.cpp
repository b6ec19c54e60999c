#include "controls/image/ImageStream.h"
#include "controls/image/ImageContainer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(MemFile, WithoutABufferNothingWorks) {
    CImageMemoryStream f;
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Error(), -1);
    const char c = 'x';
    EXPECT_EQ(f.Write(&c, 1, 1), 0u);
    EXPECT_FALSE(f.PutC('y'));
    EXPECT_FALSE(f.Seek(0, SEEK_SET));
    ASSERT_TRUE(f.Open());
    EXPECT_FALSE(f.Open());
    EXPECT_EQ(f.Write(&c, 1, 1), 1u);
}

TEST(MemFile, GrowsInSteps) {
    CImageMemoryStream f;
    ASSERT_TRUE(f.Open());
    std::vector<BYTE> data(70000, 7);
    EXPECT_EQ(f.Write(data.data(), 1, data.size()), data.size());
    EXPECT_EQ(f.Size(), 70000);
    // the capacity is 131072: one byte more stays in place
    const BYTE* before = f.GetBuffer(false);
    f.Seek(131071, SEEK_SET);
    EXPECT_TRUE(f.PutC(1));
    EXPECT_EQ(f.GetBuffer(false), before);
    EXPECT_EQ(f.Size(), 131072);
    EXPECT_EQ(f.GetBuffer(false)[100000], 0); // skipped bytes read as zeros
}

struct SeekCase {
    std::int32_t offset;
    int origin;
    bool ok;
    std::int32_t position;
    bool eof;
    std::int32_t error;
};

class MemSeek : public testing::TestWithParam<SeekCase> {};

TEST_P(MemSeek, PositionsFromEachOrigin) {
    const SeekCase c = GetParam();
    BYTE four[4] = {1, 2, 3, 4};
    CImageMemoryStream f(four, 4);
    f.Seek(2, SEEK_SET);
    EXPECT_EQ(f.Seek(c.offset, c.origin), c.ok);
    EXPECT_EQ(f.Tell(), c.position);
    EXPECT_EQ(f.Eof(), c.eof);
    EXPECT_EQ(f.Error(), c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemSeek,
    testing::Values(SeekCase{-5, SEEK_SET, true, 0, false, 0}, SeekCase{10, SEEK_END, true, 14, true, 1},
                    SeekCase{1, SEEK_CUR, true, 3, false, 0}, SeekCase{-9, SEEK_CUR, true, 0, false, 0},
                    SeekCase{4, SEEK_SET, true, 4, true, 0}, SeekCase{0, 7, false, 2, false, 0}));

TEST(MemFile, ReadsWholeItemsAndLines) {
    BYTE bytes[12] = {'a', 'b', '\n', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k'};
    CImageMemoryStream f(bytes, 12);
    f.Seek(2, SEEK_SET);
    BYTE out[12];
    EXPECT_EQ(f.Read(out, 4, 3), 2u); // 10 bytes left: two whole items, all ten taken
    EXPECT_EQ(f.Tell(), 12);
    EXPECT_EQ(f.GetC(), -1);

    f.Seek(0, SEEK_SET);
    char line[8];
    EXPECT_EQ(f.GetS(line, 1), line);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_EQ(f.GetS(line, 8), line);
    EXPECT_STREQ(line, "ab\n");
    EXPECT_EQ(f.GetS(line, 4), line);
    EXPECT_STREQ(line, "cde");
    f.Seek(-2, SEEK_END);
    EXPECT_EQ(f.GetS(line, 8), nullptr); // the data ends before a line does
    EXPECT_EQ(f.Scanf("%d", nullptr), 0);
}

TEST(MemFile, ALentBufferIsCopiedNotReallocated) {
    BYTE lent[4] = {1, 2, 3, 4};
    {
        CImageMemoryStream f(lent, 4);
        f.Seek(0, SEEK_END);
        const BYTE more[3] = {5, 6, 7};
        ASSERT_EQ(f.Write(more, 1, 3), 3u);
        EXPECT_NE(f.GetBuffer(false), lent);
        EXPECT_EQ(f.GetBuffer(false)[0], 1);
        EXPECT_EQ(f.Size(), 7);
    } // the file frees its own copy, never the lent array
    EXPECT_EQ(lent[3], 4);
}

TEST(MemFile, CopiesHoldTheirOwnBytesThroughTheOthersGrowthAndEnd) {
    const std::vector<BYTE> more(70000, 'm');
    const struct {
        const char* label;
        bool assign;
        bool originalGrows; // else the copy grows
    } cases[] = {{"copied, the original grows", false, true},
                 {"copied, the copy grows", false, false},
                 {"assigned, the original grows", true, true},
                 {"assigned, the copy grows", true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto* original = new CImageMemoryStream;
        original->Open();
        original->PutC('q');
        std::unique_ptr<CImageMemoryStream> made;
        if (c.assign) {
            made = std::make_unique<CImageMemoryStream>();
            made->Open();
            made->PutC('x'); // its own buffer goes with the assignment
            *made = *original;
        } else {
            made = std::make_unique<CImageMemoryStream>(*original);
        }
        CImageMemoryStream& copy = *made;
        EXPECT_NE(copy.GetBuffer(false), original->GetBuffer(false));
        EXPECT_EQ(copy.Tell(), 1) << "the position comes with the bytes";
        CImageMemoryStream& grower = c.originalGrows ? *original : copy;
        CImageMemoryStream& other = c.originalGrows ? copy : *original;
        ASSERT_EQ(grower.Write(more.data(), 1, more.size()), more.size());
        EXPECT_EQ(other.Size(), 1);
        other.Seek(0, SEEK_SET);
        EXPECT_EQ(other.GetC(), 'q');
        delete original; // the copy reads its own bytes after the original is gone
        copy.Seek(0, SEEK_SET);
        EXPECT_EQ(copy.GetC(), 'q');
        EXPECT_EQ(copy.Size(), c.originalGrows ? 1 : 70001);
    }
}

TEST(MemFile, ACopyOfAStreamWithoutABufferHasNone) {
    CImageMemoryStream empty;
    CImageMemoryStream copy(empty);
    EXPECT_EQ(copy.Size(), -1);
    EXPECT_EQ(copy.Write("a", 1, 1), 0u);
}

TEST(MemFile, DetachedBufferBelongsToTheCaller) {
    CImageMemoryStream f;
    f.Open();
    f.PutC('z');
    BYTE* buffer = f.GetBuffer(true);
    f.Close();
    EXPECT_EQ(buffer[0], 'z');
    std::free(buffer);
}

class IoFile : public testing::Test {
protected:
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("image-container-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin");
    void TearDown() override { std::filesystem::remove(path); }
    std::u16string Name() const {
        const std::string s = path.string();
        return std::u16string(s.begin(), s.end());
    }
};

TEST_F(IoFile, WithoutAStreamTheFixedAnswers) {
    CImageFileStream f;
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Error(), -1);
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_FALSE(f.PutC('a'));
    EXPECT_FALSE(f.Flush());
}

TEST_F(IoFile, OpenTwiceKeepsTheFirstStream) {
    CImageFileStream f;
    ASSERT_TRUE(f.Open(Name().c_str(), u"wb"));
    EXPECT_FALSE(f.Open(Name().c_str(), u"rb"));
    EXPECT_TRUE(f.PutC('a'));
    EXPECT_EQ(f.Size(), 1);
    EXPECT_TRUE(f.Close());
}

// A dump written through either stream reads back into the same image.
TEST_F(IoFile, ImagesRoundTripThroughBothStreams) {
    for (DWORD bits : {1u, 4u, 8u, 24u}) {
        CImageContainer img(9, 4, bits, IMAGE_FORMAT_TIF);
        img.SetStdPalette();
        img.Clear(0x5A);
        img.AlphaCreate();
        img.SelectionAddPixel(8, 3, 1);
        std::vector<BYTE> dump(img.DumpSize());
        img.Dump(dump.data());

        CImageMemoryStream mem;
        mem.Open();
        ASSERT_EQ(mem.Write(dump.data(), 1, dump.size()), dump.size());
        {
            CImageFileStream out;
            ASSERT_TRUE(out.Open(Name().c_str(), u"wb"));
            ASSERT_EQ(out.Write(mem.GetBuffer(false), 1, static_cast<std::size_t>(mem.Size())), dump.size());
        }
        CImageFileStream in;
        ASSERT_TRUE(in.Open(Name().c_str(), u"rb"));
        std::vector<BYTE> back(static_cast<std::size_t>(in.Size()));
        ASSERT_EQ(in.Read(back.data(), 1, back.size()), dump.size());
        EXPECT_EQ(back, dump) << bits;

        CImageContainer restored;
        ASSERT_EQ(restored.UnDump(back.data(), back.size()), dump.size());
        std::vector<BYTE> again(restored.DumpSize());
        restored.Dump(again.data());
        EXPECT_EQ(again, dump) << bits;
    }
}

} // namespace
