// The (window, message) handler table: order, overwrite and extra-value rules,
// removal, and refusal for dead windows.
#include <windows.h>

#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "window/handler_table.h"

namespace {

struct Call {
    int routine;
    HWND window;
    WPARAM first;
    LPARAM second;
    bool operator==(const Call&) const = default;
};

std::mutex g_callsGuard;
std::vector<Call> g_calls;

void Record(int routine, HWND w, WPARAM a, LPARAM b) {
    std::lock_guard<std::mutex> lock(g_callsGuard);
    g_calls.push_back({routine, w, a, b});
}
void RoutineA(HWND w, WPARAM a, LPARAM b) { Record(1, w, a, b); }
void RoutineB(HWND w, WPARAM a, LPARAM b) { Record(2, w, a, b); }
void RoutineC(HWND w, WPARAM a, LPARAM b) { Record(3, w, a, b); }

// A routine that registers another one for the same key while it runs: the
// table must not be locked during the call.
void RegistersMore(HWND w, WPARAM a, LPARAM b) {
    Record(4, w, a, b);
    RegisterHandler(w, WM_USER + 50, &RoutineA);
}

class HandlerTable : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        first_ = MakeWindow();
        second_ = MakeWindow();
        ASSERT_NE(first_, nullptr);
        ASSERT_NE(second_, nullptr);
    }
    void TearDown() override {
        for (HWND w : {first_, second_}) {
            RemoveHandlers(w);
            if (IsWindow(w)) DestroyWindow(w);
        }
    }
    static HWND MakeWindow() {
        return CreateWindowExA(0, "STATIC", "handlers", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    HWND first_ = nullptr;
    HWND second_ = nullptr;
};

TEST_F(HandlerTable, RoutinesRunInRegistrationOrderWithTheSameValues) {
    ASSERT_TRUE(RegisterHandler(first_, WM_USER + 1, &RoutineA));
    ASSERT_TRUE(RegisterHandler(first_, WM_USER + 1, &RoutineB));
    ASSERT_TRUE(RegisterHandler(first_, WM_USER + 1, &RoutineA));  // twice: called twice
    EXPECT_EQ(HandlerRoutineCount(first_, WM_USER + 1), 3u);

    EXPECT_FALSE(DispatchHandlers(first_, WM_USER + 1, 5, -6));
    std::vector<Call> expected = {{1, first_, 5, -6}, {2, first_, 5, -6}, {1, first_, 5, -6}};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(HandlerTable, KeysAreSeparatePerWindowAndMessage) {
    RegisterHandler(first_, WM_USER + 1, &RoutineA);
    RegisterHandler(first_, WM_USER + 2, &RoutineB);
    RegisterHandler(second_, WM_USER + 1, &RoutineC);

    DispatchHandlers(first_, WM_USER + 2, 1, 2);
    DispatchHandlers(second_, WM_USER + 2, 3, 4);  // nothing for this pair
    DispatchHandlers(second_, WM_USER + 1, 5, 6);
    std::vector<Call> expected = {{2, first_, 1, 2}, {3, second_, 5, 6}};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(HandlerTable, UnknownKeyIsANoOp) {
    EXPECT_FALSE(DispatchHandlers(first_, WM_USER + 9, 1, 2));
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(HandlerTable, LatestRegistrationDecidesDirectReturn) {
    RegisterHandler(first_, WM_USER + 3, &RoutineA, /*directReturn=*/true);
    EXPECT_TRUE(DispatchHandlers(first_, WM_USER + 3, 0, 0));
    RegisterHandler(first_, WM_USER + 3, &RoutineB, /*directReturn=*/false);
    EXPECT_FALSE(DispatchHandlers(first_, WM_USER + 3, 0, 0));
    EXPECT_EQ(g_calls.size(), 3u);  // A, then A and B
}

TEST_F(HandlerTable, PassExtraReachesRoutinesRegisteredEarlier) {
    RegisterHandler(first_, WM_USER + 4, &RoutineA);
    RegisterHandler(first_, WM_USER + 4, &RoutineB, false, /*passExtra=*/true, 7, -8);
    DispatchHandlers(first_, WM_USER + 4, 100, 200);
    std::vector<Call> expected = {{1, first_, 7, -8}, {2, first_, 7, -8}};
    EXPECT_EQ(g_calls, expected);

    // A later plain registration turns the extra values off again for everyone.
    g_calls.clear();
    RegisterHandler(first_, WM_USER + 4, &RoutineC);
    DispatchHandlers(first_, WM_USER + 4, 100, 200);
    expected = {{1, first_, 100, 200}, {2, first_, 100, 200}, {3, first_, 100, 200}};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(HandlerTable, NewerExtraValuesOverwriteOlderOnes) {
    RegisterHandler(first_, WM_USER + 5, &RoutineA, false, true, 1, 2);
    RegisterHandler(first_, WM_USER + 5, &RoutineB, false, true, 30, 40);
    DispatchHandlers(first_, WM_USER + 5, 0, 0);
    std::vector<Call> expected = {{1, first_, 30, 40}, {2, first_, 30, 40}};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(HandlerTable, RemoveHandlersForgetsOnlyThatWindow) {
    RegisterHandler(first_, WM_USER + 1, &RoutineA);
    RegisterHandler(first_, WM_USER + 2, &RoutineA);
    RegisterHandler(second_, WM_USER + 1, &RoutineB);
    EXPECT_EQ(HandlerKeyCount(first_), 2u);

    RemoveHandlers(first_);
    EXPECT_EQ(HandlerKeyCount(first_), 0u);
    EXPECT_EQ(HandlerKeyCount(second_), 1u);
    EXPECT_FALSE(DispatchHandlers(first_, WM_USER + 1, 0, 0));
    DispatchHandlers(second_, WM_USER + 1, 0, 0);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].routine, 2);

    // Registering again starts a fresh list.
    RegisterHandler(first_, WM_USER + 1, &RoutineC);
    EXPECT_EQ(HandlerRoutineCount(first_, WM_USER + 1), 1u);
}

TEST_F(HandlerTable, DeadWindowIsRefusedAndNothingChanges) {
    HWND dead = MakeWindow();
    ASSERT_NE(dead, nullptr);
    DestroyWindow(dead);
    EXPECT_FALSE(RegisterHandler(dead, WM_USER + 1, &RoutineA));
    EXPECT_EQ(HandlerKeyCount(dead), 0u);
    EXPECT_FALSE(DispatchHandlers(dead, WM_USER + 1, 0, 0));
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(HandlerTable, MissingRoutineIsRefused) {
    EXPECT_FALSE(RegisterHandler(first_, WM_USER + 1, nullptr));
    EXPECT_EQ(HandlerKeyCount(first_), 0u);
}

TEST_F(HandlerTable, RoutineMayRegisterWhileBeingDispatched) {
    RegisterHandler(first_, WM_USER + 50, &RegistersMore);
    DispatchHandlers(first_, WM_USER + 50, 1, 1);  // would deadlock if the table stayed locked
    ASSERT_EQ(g_calls.size(), 1u);                 // the new routine joins from the next message
    EXPECT_EQ(HandlerRoutineCount(first_, WM_USER + 50), 2u);
    g_calls.clear();
    DispatchHandlers(first_, WM_USER + 50, 2, 2);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].routine, 4);
    EXPECT_EQ(g_calls[1].routine, 1);
}

}  // namespace
