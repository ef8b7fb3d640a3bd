// The soak: a screen board taking thousands of random gestures (every tool,
// the modifier keys, the step keys, the wheel, undo and redo, copy, typing,
// setting changes, the menu commands), and boards and picture windows opened
// and closed again and again. The board must keep answering, and what the
// process holds must stay flat.
//
// The suite runs a slice (DRAWBOARD_SOAK_GESTURES, DRAWBOARD_SOAK_WINDOWS);
// the long run sets them to 10000 and 100 (see the README).
// DRAWBOARD_SOAK_SEED moves the gestures' seed.

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/hotkey.h"
#include "board/board.h"
#include "board/command_ids.h"
#include "board/history.h"
#include "board/tools/tool_table.h"
#include "capture/picture_window.h"
#include "support/board_fixture.h"
#include "support/long_run.h"
#include "support/random_gestures.h"

using namespace board_test;
using long_run::EnvNumber;
using long_run::Resources;
using long_run::Sample;

namespace {

constexpr SIZE kSoakBoard{1920, 1080};

std::uint64_t Gestures() { return EnvNumber("DRAWBOARD_SOAK_GESTURES", 1000); }
std::uint64_t WindowRounds() { return EnvNumber("DRAWBOARD_SOAK_WINDOWS", 10); }
std::uint64_t Seed() { return EnvNumber("DRAWBOARD_SOAK_SEED", 1); }

// Rounds before the counts are taken: a tenth of the run, at least one.
std::uint64_t WarmUpRounds(std::uint64_t rounds) { return std::max<std::uint64_t>(1, rounds / 10); }

double Mb(std::uint64_t bytes) { return bytes / 1048576.0; }

// Private memory growth allowed over a gesture run once it has warmed up,
// beside what the undo history holds (counted apart, see below). A
// full-board surface is 1920 x 1080 x 4 = 7.9 MB: the bound is about four of
// them, room for the heap's own slack after steps of every size have come
// and gone; a lost surface every few hundred gestures would pass it within
// the slice, and one per thousand within the long run.
constexpr std::uint64_t kGestureMemoryBound = 32ull << 20;
// Open-and-close rounds: a lost board surface per round would be 79 MB over
// ten rounds; what may stay is the allocator's slack.
constexpr std::uint64_t kWindowMemoryBound = 16ull << 20;
// Handles and GDI/user objects a round may leave for a while (a clipboard
// bitmap, a cached DC); one lost per round would be ten in the slice.
constexpr DWORD kHandleSlack = 6;
constexpr DWORD kObjectSlack = 6;

void ExpectObjectsFlat(const Resources& warm, const Resources& end, const char* what) {
    // Wine counts no GDI or user objects (it answers 0); Windows does.
    if (long_run::RunningOnWine()) return;
    EXPECT_LE(end.gdi, warm.gdi + kObjectSlack) << what;
    EXPECT_LE(end.user, warm.user + kObjectSlack) << what;
}

// The process's threads once the closed windows' threads have ended.
Resources SettledSample(DWORD threadsWanted) {
    WaitUntil([threadsWanted] { return Sample().threads <= threadsWanted; }, 5000);
    return Sample();
}

class Soak : public BoardTest {};

}  // namespace

TEST(RandomGestures, AreRepeatableReachEveryToolAndLetGoOfEveryKey) {
    gestures::Options options;
    options.leftOutTools = {ToolMoveBoard};
    const auto a = gestures::RandomGestures(7, 3000, options);
    const auto b = gestures::RandomGestures(7, 3000, options);
    ASSERT_EQ(a.size(), b.size());
    std::set<int> tools;
    std::set<int> commands;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].inputs.size(), b[i].inputs.size()) << i;
        int held = 0;  // Shift, Ctrl and Space down minus up
        for (std::size_t k = 0; k < a[i].inputs.size(); ++k) {
            const gestures::Input& in = a[i].inputs[k];
            ASSERT_TRUE(in.message == b[i].inputs[k].message && in.wParam == b[i].inputs[k].wParam &&
                        in.lParam == b[i].inputs[k].lParam) << i;
            EXPECT_NE(in.message, static_cast<UINT>(WM_RBUTTONDOWN));  // its menu is modal
            if (in.message >= WM_MOUSEFIRST && in.message <= WM_MOUSELAST &&
                in.message != WM_MOUSEWHEEL) {
                const int x = GET_X_LPARAM(in.lParam), y = GET_Y_LPARAM(in.lParam);
                EXPECT_TRUE(x >= 0 && y >= 0 && x < 1920 && y < 1080) << a[i].what;
            }
            const bool modifier = in.wParam == VK_SHIFT || in.wParam == VK_CONTROL || in.wParam == VK_SPACE;
            if (modifier && in.message == WM_KEYDOWN) ++held;
            if (modifier && in.message == WM_KEYUP) --held;
            if (in.message == WM_KEYDOWN && held == 0)
                if (const ToolDescription* row = DescriptionOfLetter(static_cast<int>(in.wParam)))
                    tools.insert(row->kind);
            if (in.message == WM_COMMAND) {
                commands.insert(static_cast<int>(in.wParam));
                if (const ToolDescription* row = DescriptionOfMenuId(static_cast<BoardMenuId>(in.wParam)))
                    tools.insert(row->kind);
            }
        }
        EXPECT_EQ(held, 0) << "a key stays down after gesture " << i << ": " << a[i].what;
    }
    for (const ToolDescription& row : ToolDescriptions())
        EXPECT_EQ(tools.count(row.kind), row.kind == ToolMoveBoard ? 0u : 1u) << row.name;
    for (BoardMenuId modal : {BoardMenuId::Save, BoardMenuId::Close, BoardMenuId::Exit})
        EXPECT_EQ(commands.count(static_cast<int>(modal)), 0u);
    EXPECT_EQ(commands.count(static_cast<int>(BoardMenuId::Clear)), 1u);
    EXPECT_EQ(commands.count(static_cast<int>(BoardMenuId::CopyToClipboard)), 1u);
}

TEST_F(Soak, BoardsOpenedAndClosedGiveEverythingBack) {
    const std::uint64_t rounds = WindowRounds();
    // The first boards make what lives as long as the process does (and,
    // after a run that freed much memory, let the heap settle again).
    for (std::uint64_t i = 0; i < WarmUpRounds(rounds); ++i) {
        OnF9();
        ASSERT_TRUE(WaitForBoardReady(10000));
        OnF9();
        ASSERT_TRUE(WaitForBoardGone(10000));
    }
    const Resources warm = SettledSample(Sample().threads);
    std::vector<Resources> samples;  // every ten rounds
    const ULONGLONG started = GetTickCount64();
    for (std::uint64_t i = 0; i < rounds; ++i) {
        OnF9();  // what F9 does with no board: the screen becomes one
        ASSERT_TRUE(WaitForBoardReady(10000)) << "round " << i;
        HWND board = BoardWindow.load();
        Drag(POINT{100 + static_cast<LONG>(i % 50) * 10, 100}, POINT{600, 400});
        if (i % 2 == 0) {
            OnF9();  // and with one: it closes
        } else {
            PostMessageA(board, WM_COMMAND, static_cast<WPARAM>(BoardMenuId::Close), 0);
        }
        ASSERT_TRUE(WaitForBoardGone(10000)) << "round " << i;
        EXPECT_FALSE(IsWindow(board));
        if ((i + 1) % 10 == 0) samples.push_back(Sample());
    }
    const double seconds = (GetTickCount64() - started) / 1000.0;
    const Resources end = SettledSample(warm.threads);
    std::printf("soak: %llu boards opened and closed in %.0f s: %s\n",
                static_cast<unsigned long long>(rounds), seconds, long_run::Describe(warm, end).c_str());
    for (std::size_t k = 0; k < samples.size(); ++k)
        std::printf("  after %3zu: private %.1f MB, handles %lu, threads %lu\n", (k + 1) * 10,
                    Mb(samples[k].privateBytes), samples[k].handles, samples[k].threads);
    EXPECT_LE(end.threads, warm.threads);
    EXPECT_LE(end.handles, warm.handles + kHandleSlack);
    EXPECT_LE(end.privateBytes, warm.privateBytes + kWindowMemoryBound);
    ExpectObjectsFlat(warm, end, "boards");
}

TEST_F(Soak, PictureWindowsOpenedAndClosedGiveEverythingBack) {
    const std::uint64_t rounds = WindowRounds();
    // 640 x 480: a lost canvas per window would be 1.2 MB a round.
    const std::vector<std::uint8_t> picture = SolidBmp(640, 480, RGB(40, 120, 200), RGB(255, 0, 0));
    auto round = [&picture](std::uint64_t i) {
        const POINT centre{300 + static_cast<LONG>(i % 20) * 50, 500};
        if (!OpenPictureWindow(picture, centre)) return false;
        if (!WaitUntil([] { return PictureWindows().size() == 1; }, 10000)) return false;
        HWND window = PictureWindows().front();
        DWORD_PTR answer = 0;
        // Copy it, then close it through its menu's close or as Esc and a
        // close from outside do.
        SendMessageTimeoutA(window, WM_COMMAND, kPictureCopyId, 0, SMTO_ABORTIFHUNG, 10000, &answer);
        if (i % 2 == 0)
            SendMessageTimeoutA(window, WM_COMMAND, kPictureCloseId, 0, SMTO_ABORTIFHUNG, 10000, &answer);
        else
            PostMessageA(window, WM_CLOSE, 0, 0);
        return WaitUntil([window] { return PictureWindowCount() == 0 && !IsWindow(window); }, 10000);
    };
    ASSERT_EQ(PictureWindowCount(), 0u);
    // The first makes the menu and the classes for good.
    for (std::uint64_t i = 0; i < WarmUpRounds(rounds); ++i) ASSERT_TRUE(round(i));
    const Resources warm = SettledSample(Sample().threads);
    const ULONGLONG started = GetTickCount64();
    for (std::uint64_t i = 0; i < rounds; ++i) ASSERT_TRUE(round(i)) << "round " << i;
    const double seconds = (GetTickCount64() - started) / 1000.0;
    const Resources end = SettledSample(warm.threads);
    std::printf("soak: %llu picture windows opened and closed in %.0f s: %s\n",
                static_cast<unsigned long long>(rounds), seconds, long_run::Describe(warm, end).c_str());
    EXPECT_LE(end.threads, warm.threads);
    EXPECT_LE(end.handles, warm.handles + kHandleSlack);
    EXPECT_LE(end.privateBytes, warm.privateBytes + kWindowMemoryBound / 2);
    ExpectObjectsFlat(warm, end, "picture windows");
}

TEST_F(Soak, RandomGesturesLeaveTheBoardAnsweringAndFlat) {
    const std::uint64_t count = Gestures(), seed = Seed();
    const SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    gestures::Options options;
    options.board = kSoakBoard;
    if (screen.cx == kSoakBoard.cx && screen.cy == kSoakBoard.cy) {
        ASSERT_NE(CaptureBoard(), nullptr);  // the screen itself, as F9 makes it
    } else {
        // Another screen: a board of the soak's size from a picture. It is
        // not screen-sized, so the move-board tool would hand the pointer to
        // the platform's own (modal) window drag: left out.
        const std::string path = TempPath("soak_board.bmp");
        ASSERT_TRUE(WriteBytes(path, SolidBmp(kSoakBoard.cx, kSoakBoard.cy, RGB(200, 210, 220))));
        ASSERT_TRUE(OpenPictureBoardFile(path));
        ASSERT_TRUE(WaitForBoardReady(10000));
        options.leftOutTools = {ToolMoveBoard};
    }
    HWND board = BoardWindow.load();
    ASSERT_EQ(LiveBoardSize().cx, kSoakBoard.cx);
    ASSERT_EQ(LiveBoardSize().cy, kSoakBoard.cy);
    POINT origin{0, 0};
    ClientToScreen(board, &origin);
    options.origin = origin;

    // Samples every 500 gestures (a quarter of a shorter run); the undo
    // history's steps are counted apart: they may grow, by design, up to the
    // history's capacity, and the rest must not.
    struct Point {
        std::uint64_t gesture;
        Resources r;
        std::size_t stepBytes;
        std::size_t steps;
    };
    auto sampleAt = [](std::uint64_t gesture) {
        Point p{gesture, Sample(), 0, 0};
        OnBoard([&p](DrawingBoard& b) {
            p.stepBytes = b.History().StepBytes();
            p.steps = b.History().StepCount();
        });
        return p;
    };
    const std::uint64_t every = std::min<std::uint64_t>(500, std::max<std::uint64_t>(1, count / 4));
    std::vector<Point> samples{sampleAt(0)};

    long_run::HangWatch watch(30000);
    gestures::GestureSource source(seed, options);
    std::deque<gestures::Gesture> recent;  // the gestures shown when one hangs
    const ULONGLONG started = GetTickCount64();
    for (std::uint64_t i = 0; i < count; ++i) {
        const gestures::Gesture g = source.Next();
        recent.push_back(g);
        if (recent.size() > 12) recent.pop_front();
        const std::string what =
            "seed " + std::to_string(seed) + " gesture " + std::to_string(i) + ": " + g.what;
        watch.Start(what);
        for (const gestures::Input& in : g.inputs) PostMessageA(board, in.message, in.wParam, in.lParam);
        // After everything the gesture posted: the board's queue answers, and
        // a message sent to it is answered as well.
        DWORD_PTR answer = 0;
        const bool answered =
            WithBoard([](DrawingBoard&) {}, 15000) &&
            SendMessageTimeoutA(board, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 15000, &answer) != 0;
        watch.Done();
        if (!answered) {
            // What led there: the tool chosen last and the gestures since.
            std::fprintf(stderr, "the last gestures before the board stopped answering:\n");
            for (const gestures::Gesture& r : recent) {
                std::fprintf(stderr, "  %s:", r.what.c_str());
                for (const gestures::Input& in : r.inputs)
                    std::fprintf(stderr, " %04X/%llX/%llX", in.message,
                                 static_cast<unsigned long long>(in.wParam),
                                 static_cast<unsigned long long>(in.lParam));
                std::fprintf(stderr, "\n");
            }
        }
        ASSERT_TRUE(answered) << "the board stopped answering after " << what;
        ASSERT_EQ(BoardWindow.load(), board) << "the board went away after " << what;
        if ((i + 1) % every == 0) samples.push_back(sampleAt(i + 1));
    }
    const double seconds = (GetTickCount64() - started) / 1000.0;

    std::printf("soak: %llu gestures (seed %llu) in %.0f s\n", static_cast<unsigned long long>(count),
                static_cast<unsigned long long>(seed), seconds);
    for (const Point& p : samples)
        std::printf("  after %5llu: private %7.1f MB, undo steps %4zu holding %6.1f MB, "
                    "GDI %lu, user %lu, handles %lu, threads %lu\n",
                    static_cast<unsigned long long>(p.gesture), Mb(p.r.privateBytes), p.steps,
                    Mb(p.stepBytes), p.r.gdi, p.r.user, p.r.handles, p.r.threads);
    // Flat after the first sample: the first gestures make what lives as long
    // as the board does (the picture canvas, the history's copy, GDI+'s caches).
    ASSERT_GE(samples.size(), 3u);
    const Point& warm = samples[1];
    auto besideHistory = [](const Point& p) {
        return static_cast<std::int64_t>(p.r.privateBytes) - static_cast<std::int64_t>(p.stepBytes);
    };
    for (const Point& p : samples) {
        if (p.gesture < warm.gesture) continue;
        EXPECT_LE(besideHistory(p) - besideHistory(warm), static_cast<std::int64_t>(kGestureMemoryBound))
            << "private memory beside the undo steps grew by gesture " << p.gesture;
        EXPECT_LE(p.stepBytes, UndoHistory::kDefaultCapacity);
        EXPECT_LE(p.r.handles, warm.r.handles + kHandleSlack) << "gesture " << p.gesture;
        EXPECT_LE(p.r.threads, warm.r.threads) << "gesture " << p.gesture;
        ExpectObjectsFlat(warm.r, p.r, "gestures");
    }
}
