// Damaged pictures through the two ways a picture reaches the board: the open
// command's file path and the clipboard. Each case comes from a seed (see
// support/malformed_pictures.h). Nothing may crash or hang, a refused picture
// leaves the open board exactly as it was, and GDI objects and private memory
// stay flat over the run.
//
// The suite runs DRAWBOARD_MALFORMED_CASES cases through each path (500 by
// default, a thousand in all); the long run sets it to 10000 (see the README).
// DRAWBOARD_MALFORMED_SEED moves the first seed.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board.h"
#include "capture/clipboard.h"
#include "graphics/canvas.h"
#include "graphics/gdip_image.h"
#include "support/board_fixture.h"
#include "support/long_run.h"
#include "support/malformed_pictures.h"

using namespace board_test;

namespace {

using long_run::EnvNumber;
using long_run::HangWatch;
using long_run::Resources;
using long_run::Sample;

std::uint64_t CasesPerPath() { return EnvNumber("DRAWBOARD_MALFORMED_CASES", 500); }
std::uint64_t FirstSeed() { return EnvNumber("DRAWBOARD_MALFORMED_SEED", 1); }

// What must not grow over a run once the first cases have warmed the decoders up.
constexpr DWORD kGdiGrowthBound = 16;
constexpr std::uint64_t kMemoryGrowthBound = 24ull << 20;

void ExpectFlat(const Resources& warm, const Resources& end, const char* path) {
    EXPECT_LE(end.gdi, warm.gdi + kGdiGrowthBound) << path;
    EXPECT_LE(end.user, warm.user + kGdiGrowthBound) << path;
    EXPECT_LE(end.privateBytes, warm.privateBytes + kMemoryGrowthBound) << path;
    std::printf("%s: GDI objects %lu -> %lu, user objects %lu -> %lu, private memory %llu -> %llu KB\n",
                path, warm.gdi, end.gdi, warm.user, end.user,
                static_cast<unsigned long long>(warm.privateBytes >> 10),
                static_cast<unsigned long long>(end.privateBytes >> 10));
}

bool PutDibOnClipboard(const std::vector<std::uint8_t>& dib) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.empty() ? 1 : dib.size());
    if (block == nullptr) return false;
    if (!dib.empty()) {
        std::memcpy(GlobalLock(block), dib.data(), dib.size());
        GlobalUnlock(block);
    }
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool put = SetClipboardData(CF_DIB, block) != nullptr;
    CloseClipboard();
    if (!put) GlobalFree(block);
    return put;
}

// The open board as the test left it: a 64 x 48 picture with one marked pixel.
class MalformedPictures : public BoardTest {
protected:
    void OpenReference() {
        ASSERT_TRUE(OpenPictureBoardFile(reference_));
        ASSERT_TRUE(WaitForBoardReady(10000));
        base_ = StartPictureBytes();
        ASSERT_FALSE(base_.empty());
        rect_ = BoardRect();
    }
    void SetUp() override {
        BoardTest::SetUp();
        reference_ = TempPath("malformed_reference.bmp");
        ASSERT_TRUE(WriteBytes(reference_, SolidBmp(64, 48, RGB(30, 60, 90), RGB(250, 0, 0))));
        OpenReference();
    }
    static RECT BoardRect() {
        RECT r{};
        GetWindowRect(BoardWindow.load(), &r);
        return r;
    }
    // A refused picture: the board is exactly as it was.
    void ExpectUnchanged(const std::string& what) {
        const RECT now = BoardRect();
        const SIZE size = LiveBoardSize();
        bool same = size.cx == 64 && size.cy == 48 && std::memcmp(&now, &rect_, sizeof now) == 0;
        OnBoard([&same](DrawingBoard& b) {
            same = same && b.Shown().Width() == 64 && b.Committed().Height() == 48 &&
                   b.Shown().GetPixel(0, 0) == RGB(250, 0, 0) &&
                   b.Committed().GetPixel(40, 30) == RGB(30, 60, 90);
        });
        EXPECT_TRUE(same && StartPictureBytes() == base_) << what;
    }
    // An accepted picture (damage the decoder could read past): a board of
    // the picture's own size; then the reference comes back for the next case.
    void ExpectAcceptedAndReset(const std::string& what) {
        EXPECT_TRUE(BoardExists()) << what;
        const SIZE size = LiveBoardSize();
        EXPECT_GT(size.cx, 0) << what;
        EXPECT_LE(size.cx, kMaxPictureSide) << what;
        EXPECT_TRUE(BothCanvases([size](Canvas& c) {
            return c.Width() == size.cx && c.Height() == size.cy;
        })) << what;
        OpenReference();
    }

    // The seeded cases through one way in: `put` leaves a case where that way
    // reads it, `take` is the board's command, true when it took the picture.
    void RunDamaged(const char* way, const char* tookWord, malformed::Case (*make)(std::uint64_t),
                    const std::function<bool(const malformed::Case&)>& put,
                    const std::function<bool()>& take) {
        HangWatch watch;
        const std::uint64_t first = FirstSeed(), count = CasesPerPath();
        const std::uint64_t warmUp = first + count / 10;
        Resources warm = Sample();
        int accepted = 0;
        for (std::uint64_t seed = first; seed < first + count; ++seed) {
            if (seed == warmUp) warm = Sample();
            const malformed::Case c = make(seed);
            ASSERT_TRUE(put(c)) << c.what;
            watch.Start(c.what);
            const bool took = take();
            watch.Done();
            if (took) {
                ++accepted;
                ExpectAcceptedAndReset(c.what);
            } else {
                ExpectUnchanged(c.what);
            }
            if (HasFailure()) return;
        }
        std::printf("%s: %llu cases, %d %s\n", way, static_cast<unsigned long long>(count),
                    accepted, tookWord);
        ExpectFlat(warm, Sample(), way);
    }

    std::string reference_;
    std::vector<std::uint8_t> base_;
    RECT rect_{};
};

}  // namespace

TEST(DibBlock, SoundBlocksPassAndEachLieIsRefused) {
    const std::vector<std::uint8_t> sound = malformed::SampleDib();  // 40-byte header, 24 bits, 7 x 5
    EXPECT_TRUE(DibBlockSound(sound));
    auto with = [&sound](std::size_t at, std::uint32_t value, int width = 4) {
        std::vector<std::uint8_t> b = sound;
        for (int i = 0; i < width; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return b;
    };
    struct Lie {
        const char* what;
        std::vector<std::uint8_t> block;
    };
    const Lie lies[] = {
        {"header size 39", with(0, 39)},
        {"header size 0xFFFFFFFF", with(0, 0xFFFFFFFF)},
        {"width 0", with(4, 0)},
        {"width negative", with(4, 0xFFFFFFF9)},
        {"width beyond the picture bound", with(4, 16385)},
        {"height INT_MIN", with(8, 0x80000000)},
        {"height 6: one row missing", with(8, 6)},
        {"planes 0", with(12, 0, 2)},
        {"bit count 0", with(14, 0, 2)},
        {"bit count 2", with(14, 2, 2)},
        {"bit count 32: rows missing", with(14, 32, 2)},
        {"run-length compression", with(16, BI_RLE8)},
        {"embedded PNG", with(16, 5)},
        {"palette of 257 entries", with(32, 257)},
        {"short data", std::vector<std::uint8_t>(sound.begin(), sound.end() - 1)},
        {"header only", std::vector<std::uint8_t>(sound.begin(), sound.begin() + 40)},
        {"nothing", {}},
    };
    for (const Lie& lie : lies) EXPECT_FALSE(DibBlockSound(lie.block)) << lie.what;

    // Top-down rows and an optional palette that is really there are fine.
    EXPECT_TRUE(DibBlockSound(with(8, static_cast<std::uint32_t>(-5))));
    std::vector<std::uint8_t> eightBit = with(14, 8, 2);
    eightBit = [&] {
        std::vector<std::uint8_t> b = eightBit;
        b[32] = 2;  // two palette entries, then 8-bit rows of 8 bytes
        b.resize(40 + 2 * 4 + 8 * 5);
        return b;
    }();
    EXPECT_TRUE(DibBlockSound(eightBit));
    eightBit.pop_back();
    EXPECT_FALSE(DibBlockSound(eightBit));
}

TEST_F(MalformedPictures, EverySampleOpensIntact) {
    int index = 0;
    for (const std::vector<std::uint8_t>& sample : malformed::SamplePictures()) {
        const std::string path = TempPath("malformed_sample_" + std::to_string(index++));
        ASSERT_TRUE(WriteBytes(path, sample));
        EXPECT_TRUE(OpenPictureBoardFile(path)) << "sample " << index - 1;
        EXPECT_GT(LiveBoardSize().cx, 0);
    }
    // Through the clipboard as well.
    ASSERT_TRUE(PutDibOnClipboard(malformed::SampleDib()));
    EXPECT_TRUE(PasteClipboardBoard());
    EXPECT_EQ(LiveBoardSize().cx, 7);
    EXPECT_EQ(LiveBoardSize().cy, 5);
}

TEST_F(MalformedPictures, DamagedFilesThroughTheOpenPathChangeNothing) {
    const std::string path = TempPath("malformed_case.pic");
    RunDamaged(
        "open path", "opened", &malformed::MalformedPicture,
        [&](const malformed::Case& c) { return WriteBytes(path, c.bytes); },
        [&] { return OpenPictureBoardFile(path); });
}

TEST_F(MalformedPictures, DamagedClipboardBitmapsChangeNothing) {
    RunDamaged(
        "clipboard path", "pasted", &malformed::MalformedDib,
        [](const malformed::Case& c) { return PutDibOnClipboard(c.bytes); },
        [] { return PasteClipboardBoard(); });
}
