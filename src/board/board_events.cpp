#include "board/board_events.h"

#include <atomic>

namespace {

BoardEvents g_silent;
std::atomic<BoardEvents*> g_events{nullptr};

}  // namespace

BoardEvents* InstallBoardEvents(BoardEvents* events) { return g_events.exchange(events); }

BoardEvents& Events() {
    BoardEvents* events = g_events.load();
    return events != nullptr ? *events : g_silent;
}
