#include "window/handler_table.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace {

struct HandlerRecord {
    std::vector<HandlerRoutine> routines;  // registration order; duplicates allowed
    bool directReturn = false;
    bool passExtra = false;
    // The extra values exist only once a registration with passExtra set them.
    bool hasExtra = false;
    int extra1 = 0;
    int extra2 = 0;
};

using HandlerKey = std::pair<HWND, UINT>;

// Shared by every window thread. The guard only covers the container: routines
// are always called after it is released, because a routine may register
// handlers, create windows or send messages to other threads.
std::mutex g_guard;
std::map<HandlerKey, HandlerRecord> g_table;

}  // namespace

bool RegisterHandler(HWND window, UINT message, HandlerRoutine routine, bool directReturn,
                     bool passExtra, int extra1, int extra2) {
    // A missing routine could only crash the window's thread later on.
    if (routine == nullptr || !IsWindow(window)) return false;
    std::lock_guard<std::mutex> lock(g_guard);
    HandlerRecord& record = g_table[HandlerKey(window, message)];
    record.routines.push_back(routine);
    record.directReturn = directReturn;
    record.passExtra = passExtra;
    if (passExtra) {
        record.hasExtra = true;
        record.extra1 = extra1;
        record.extra2 = extra2;
    }
    return true;
}

bool DispatchHandlers(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HandlerRecord record;
    {
        std::lock_guard<std::mutex> lock(g_guard);
        auto found = g_table.find(HandlerKey(window, message));
        if (found == g_table.end()) return false;
        record = found->second;
    }
    if (record.passExtra) {
        if (!record.hasExtra) return record.directReturn;
        wParam = static_cast<WPARAM>(static_cast<unsigned>(record.extra1));
        lParam = static_cast<LPARAM>(record.extra2);
    }
    for (HandlerRoutine routine : record.routines) routine(window, wParam, lParam);
    return record.directReturn;
}

void RemoveHandlers(HWND window) {
    std::lock_guard<std::mutex> lock(g_guard);
    for (auto it = g_table.begin(); it != g_table.end();) {
        if (it->first.first == window) {
            it = g_table.erase(it);
        } else {
            ++it;
        }
    }
}

std::size_t HandlerRoutineCount(HWND window, UINT message) {
    std::lock_guard<std::mutex> lock(g_guard);
    auto found = g_table.find(HandlerKey(window, message));
    return found == g_table.end() ? 0 : found->second.routines.size();
}

std::size_t HandlerKeyCount(HWND window) {
    std::lock_guard<std::mutex> lock(g_guard);
    std::size_t count = 0;
    for (const auto& [key, record] : g_table) {
        if (key.first == window) ++count;
    }
    return count;
}
