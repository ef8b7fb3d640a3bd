#pragma once
// Seeded random gestures for a board window: what a restless user does with
// the tools, the modifier keys, the keys and the menu commands, as the
// window messages the board would receive. Pure: a seed gives the same
// sequence every time; nothing here touches a window.
//
// Left out on purpose: commands that open a modal dialog (save, open a
// picture, the font dialog) or that close the board or end the program, and
// the right button, whose menu (TrackPopupMenu) is modal: its commands come
// as the WM_COMMAND the menu would post.

#include <windows.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "board/board_state.h"

namespace gestures {

// One message to post to the board window.
struct Input {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Gesture {
    std::string what;  // how it was made, for a failure message
    std::vector<Input> inputs;
};

struct Options {
    SIZE board{1920, 1080};  // points fall inside it
    POINT origin{0, 0};      // the board's client origin on the screen (wheel points)
    // Tools never chosen, as when the board's own gestures would hand over
    // to a modal loop of the platform (the move-board tool on a board smaller
    // than the screen).
    std::set<ToolKind> leftOutTools;
};

class GestureSource {
public:
    GestureSource(std::uint64_t seed, Options options);
    Gesture Next();

private:
    int Below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    POINT Point();
    POINT Near(POINT p);
    WPARAM Buttons(bool left) const;
    void Key(Gesture& g, WPARAM key);
    void Hold(Gesture& g, WPARAM key, bool down);
    void Mouse(Gesture& g, UINT message, POINT p, bool left);
    void Wheel(Gesture& g, POINT p);
    void Modifier(Gesture& g);  // presses a random modifier key not yet held
    void ReleaseAll(Gesture& g);
    void ToolByLetter(Gesture& g);
    void ToolByMenu(Gesture& g);
    void ToolByPalette(Gesture& g);
    void Drag(Gesture& g);
    void Clicks(Gesture& g);
    void DoubleClick(Gesture& g);
    void Hover(Gesture& g);
    void StepKeys(Gesture& g);
    void Typing(Gesture& g);
    void Setting(Gesture& g);

    std::mt19937_64 random_;
    Options options_;
    std::vector<char> letters_;        // tools' letter keys
    std::vector<int> menuIds_;          // tools' menu ids
    std::vector<ToolKind> paletteOnly_;  // tools with neither
    std::vector<int> commandIds_;       // the other board commands' menu ids
    char textLetter_ = 0;
    bool shift_ = false, ctrl_ = false, space_ = false;
};

// The first `count` gestures of `seed`.
std::vector<Gesture> RandomGestures(std::uint64_t seed, std::size_t count, const Options& options);

}  // namespace gestures
