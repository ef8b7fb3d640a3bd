#include "support/random_gestures.h"

#include <algorithm>
#include <iterator>

#include "board/board.h"
#include "board/command_ids.h"
#include "board/commands.h"
#include "board/tools/tool_table.h"

namespace gestures {

namespace {

// Board menu commands that would open a modal dialog (save) or end the board
// or the program: a soak must keep its board, and nothing may wait on a
// dialog nobody answers.
constexpr BoardMenuId kLeftOutCommands[] = {BoardMenuId::Save, BoardMenuId::Close,
                                            BoardMenuId::Exit};

constexpr LPARAM kKeyDownBits = 1;
constexpr LPARAM kKeyUpBits = static_cast<LPARAM>(0xC0000001u);

LPARAM PointParam(POINT p) { return MAKELPARAM(p.x, p.y); }

// A GBK character ("中", "文", "画", "板") arrives as two WM_CHAR bytes.
constexpr unsigned char kGbk[][2] = {{0xD6, 0xD0}, {0xCE, 0xC4}, {0xBB, 0xAD}, {0xB0, 0xE5}};

}  // namespace

GestureSource::GestureSource(std::uint64_t seed, Options options)
    : random_(seed), options_(std::move(options)) {
    auto leftOut = [this](ToolKind kind) { return options_.leftOutTools.count(kind) != 0; };
    for (const ToolDescription& row : ToolDescriptions()) {
        if (leftOut(row.kind)) continue;
        if (row.letter != 0) letters_.push_back(row.letter);
        if (row.menuId != BoardMenuId::None) menuIds_.push_back(static_cast<int>(row.menuId));
        if (row.letter == 0 && row.menuId == BoardMenuId::None) paletteOnly_.push_back(row.kind);
        if (row.kind == ToolText) textLetter_ = row.letter;
    }
    for (const CommandDescription& row : CommandDescriptions()) {
        if (row.menuId == BoardMenuId::None) continue;
        if (std::find(std::begin(kLeftOutCommands), std::end(kLeftOutCommands), row.menuId) !=
            std::end(kLeftOutCommands))
            continue;
        commandIds_.push_back(static_cast<int>(row.menuId));
    }
}

POINT GestureSource::Point() {
    const int w = options_.board.cx, h = options_.board.cy;
    // Now and then right on an edge or a corner.
    if (Chance(5)) return POINT{Chance(50) ? 0 : w - 1, Below(h)};
    if (Chance(5)) return POINT{Below(w), Chance(50) ? 0 : h - 1};
    return POINT{Below(w), Below(h)};
}

POINT GestureSource::Near(POINT p) {
    // Mostly small steps, as a hand moves; sometimes a jump.
    if (Chance(20)) return Point();
    const int w = options_.board.cx, h = options_.board.cy;
    const int x = std::clamp(static_cast<int>(p.x) + Below(161) - 80, 0, w - 1);
    const int y = std::clamp(static_cast<int>(p.y) + Below(161) - 80, 0, h - 1);
    return POINT{x, y};
}

WPARAM GestureSource::Buttons(bool left) const {
    return (left ? MK_LBUTTON : 0) | (shift_ ? MK_SHIFT : 0) | (ctrl_ ? MK_CONTROL : 0);
}

void GestureSource::Key(Gesture& g, WPARAM key) {
    g.inputs.push_back({WM_KEYDOWN, key, kKeyDownBits});
    g.inputs.push_back({WM_KEYUP, key, kKeyUpBits});
}

void GestureSource::Hold(Gesture& g, WPARAM key, bool down) {
    bool& held = key == VK_SHIFT ? shift_ : key == VK_CONTROL ? ctrl_ : space_;
    if (held == down) return;
    held = down;
    g.inputs.push_back({down ? static_cast<UINT>(WM_KEYDOWN) : static_cast<UINT>(WM_KEYUP), key,
                        down ? kKeyDownBits : kKeyUpBits});
}

void GestureSource::Mouse(Gesture& g, UINT message, POINT p, bool left) {
    g.inputs.push_back({message, Buttons(left), PointParam(p)});
}

void GestureSource::Wheel(Gesture& g, POINT p) {
    const short delta = Chance(50) ? WHEEL_DELTA : -WHEEL_DELTA;
    const POINT screen{p.x + options_.origin.x, p.y + options_.origin.y};
    g.inputs.push_back({WM_MOUSEWHEEL,
                        MAKEWPARAM(static_cast<WORD>(Buttons(false)), static_cast<WORD>(delta)),
                        PointParam(screen)});
    g.what += delta > 0 ? " wheel+" : " wheel-";
}

void GestureSource::Modifier(Gesture& g) {
    static constexpr WPARAM kKeys[] = {VK_SHIFT, VK_CONTROL, VK_SPACE};
    static constexpr const char* kNames[] = {" Shift", " Ctrl", " Space"};
    const int i = Below(3);
    Hold(g, kKeys[i], true);
    g.what += kNames[i];
}

void GestureSource::ReleaseAll(Gesture& g) {
    Hold(g, VK_SPACE, false);
    Hold(g, VK_CONTROL, false);
    Hold(g, VK_SHIFT, false);
}

void GestureSource::ToolByLetter(Gesture& g) {
    const char letter = letters_[Below(static_cast<int>(letters_.size()))];
    g.what = std::string("letter ") + letter;
    Key(g, static_cast<WPARAM>(letter));
}

void GestureSource::ToolByMenu(Gesture& g) {
    const int id = menuIds_[Below(static_cast<int>(menuIds_.size()))];
    g.what = "menu command " + std::to_string(id);
    g.inputs.push_back({WM_COMMAND, static_cast<WPARAM>(id), 0});
}

void GestureSource::ToolByPalette(Gesture& g) {
    // A tool reached only through its palette cell comes as the toolbox's
    // tool message.
    if (paletteOnly_.empty()) return ToolByLetter(g);
    const ToolKind tool = paletteOnly_[Below(static_cast<int>(paletteOnly_.size()))];
    g.what = "palette tool " + std::to_string(tool);
    g.inputs.push_back({kBoardToolMessage, static_cast<WPARAM>(tool), 0});
}

void GestureSource::Drag(Gesture& g) {
    POINT p = Point();
    g.what = "drag";
    if (Chance(15)) Modifier(g);  // held before the press
    Mouse(g, WM_LBUTTONDOWN, p, true);
    const int moves = 1 + Below(6);
    const int holdAt = Chance(40) ? Below(moves) : -1;
    for (int i = 0; i < moves; ++i) {
        if (i == holdAt) Modifier(g);  // pressed mid-gesture
        if (Chance(8)) {
            static constexpr WPARAM kSteps[] = {VK_OEM_PLUS, VK_ADD, VK_OEM_MINUS, VK_SUBTRACT,
                                                VK_LEFT,     VK_RIGHT, VK_UP,      VK_DOWN};
            Key(g, kSteps[Below(8)]);
            g.what += " step key";
        }
        if (Chance(5)) Wheel(g, p);
        p = Near(p);
        Mouse(g, WM_MOUSEMOVE, p, true);
        if (Chance(10)) ReleaseAll(g);  // let go mid-gesture
    }
    if (Chance(50)) ReleaseAll(g);  // before the release, or after it
    Mouse(g, WM_LBUTTONUP, p, false);
    ReleaseAll(g);
}

void GestureSource::Clicks(Gesture& g) {
    // The shapes made of several clicks: polylines, arcs, curves, Béziers.
    const int clicks = 2 + Below(4);
    g.what = std::to_string(clicks) + " clicks";
    POINT p = Point();
    for (int i = 0; i < clicks; ++i) {
        if (Chance(10)) Modifier(g);
        Mouse(g, WM_LBUTTONDOWN, p, true);
        if (Chance(50)) Mouse(g, WM_MOUSEMOVE, p = Near(p), true);
        Mouse(g, WM_LBUTTONUP, p, false);
        ReleaseAll(g);
        p = Near(p);
        Mouse(g, WM_MOUSEMOVE, p, false);  // the hover between clicks (arc sweeps)
    }
}

void GestureSource::DoubleClick(Gesture& g) {
    // The board's window class does not ask for double clicks, so the
    // platform reports a quick second click as a second press.
    const POINT p = Point();
    g.what = "double click";
    Mouse(g, WM_LBUTTONDOWN, p, true);
    Mouse(g, WM_LBUTTONUP, p, false);
    Mouse(g, WM_LBUTTONDOWN, p, true);
    Mouse(g, WM_LBUTTONUP, p, false);
}

void GestureSource::Hover(Gesture& g) {
    POINT p = Point();
    const int moves = 1 + Below(4);
    g.what = std::to_string(moves) + " hover moves";
    for (int i = 0; i < moves; ++i) {
        Mouse(g, WM_MOUSEMOVE, p, false);
        p = Near(p);
    }
}

void GestureSource::StepKeys(Gesture& g) {
    static constexpr WPARAM kSteps[] = {VK_OEM_PLUS, VK_ADD,   VK_OEM_MINUS, VK_SUBTRACT,
                                        VK_LEFT,     VK_RIGHT, VK_UP,        VK_DOWN};
    const int presses = 1 + Below(3);
    g.what = std::to_string(presses) + " plus/minus/arrow keys";
    for (int i = 0; i < presses; ++i) Key(g, kSteps[Below(8)]);
}

void GestureSource::Typing(Gesture& g) {
    g.what = "typing";
    if (textLetter_ != 0 && Chance(50)) {
        Key(g, static_cast<WPARAM>(textLetter_));
        g.what += " after the text tool's letter";
    }
    const POINT p = Point();
    Mouse(g, WM_LBUTTONDOWN, p, true);
    Mouse(g, WM_LBUTTONUP, p, false);
    const int chars = 1 + Below(12);
    for (int i = 0; i < chars; ++i) {
        const int kind = Below(10);
        if (kind < 6) {
            g.inputs.push_back({WM_CHAR, static_cast<WPARAM>(' ' + Below(95)), kKeyDownBits});
        } else if (kind < 8) {
            const auto& pair = kGbk[Below(4)];
            g.inputs.push_back({WM_CHAR, pair[0], kKeyDownBits});
            g.inputs.push_back({WM_CHAR, pair[1], kKeyDownBits});
        } else if (kind == 8) {
            g.inputs.push_back({WM_CHAR, '\b', kKeyDownBits});
        } else {
            g.inputs.push_back({WM_CHAR, '\r', kKeyDownBits});
        }
    }
}

void GestureSource::Setting(Gesture& g) {
    const int code = static_cast<int>(SettingCode::PenWidth) + Below(6);
    int value = 0;
    switch (static_cast<SettingCode>(code)) {
    case SettingCode::PenWidth:
        value = 1 + Below(30);
        break;
    case SettingCode::BrushStyle:
        value = Below(8);
        break;
    default:
        value = static_cast<int>(random_() & 0xFFFFFF);
        break;
    }
    g.what = "setting " + std::to_string(code) + " = " + std::to_string(value);
    // As the toolbox changes it: the record holds the value, the message
    // tells the board which setting changed.
    SettingOfCode(static_cast<SettingCode>(code)).store(value);
    g.inputs.push_back({BoardSettingMessage, static_cast<WPARAM>(code), value});
}

Gesture GestureSource::Next() {
    Gesture g;
    const int pick = Below(100);
    if (pick < 8) {
        ToolByLetter(g);
    } else if (pick < 14) {
        ToolByMenu(g);
    } else if (pick < 15) {
        ToolByPalette(g);
    } else if (pick < 43) {
        Drag(g);
    } else if (pick < 53) {
        Clicks(g);
    } else if (pick < 57) {
        DoubleClick(g);
    } else if (pick < 61) {
        Hover(g);
    } else if (pick < 67) {
        StepKeys(g);
    } else if (pick < 71) {
        g.what = "wheel";
        const int steps = 1 + Below(3);
        for (int i = 0; i < steps; ++i) Wheel(g, Point());
    } else if (pick < 73) {
        g.what = "Esc";
        Key(g, VK_ESCAPE);
    } else if (pick < 80) {
        // Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z, one or more times.
        g.what = "undo/redo";
        Hold(g, VK_CONTROL, true);
        const bool shiftZ = Chance(20);
        if (shiftZ) Hold(g, VK_SHIFT, true);
        const int presses = 1 + Below(3);
        const WPARAM key = shiftZ || Chance(40) ? 'Y' : 'Z';
        if (shiftZ) g.what += " Shift";
        for (int i = 0; i < presses; ++i) Key(g, shiftZ ? 'Z' : key);
        ReleaseAll(g);
    } else if (pick < 81) {
        g.what = "Ctrl+C";
        Hold(g, VK_CONTROL, true);
        Key(g, 'C');
        ReleaseAll(g);
    } else if (pick < 88) {
        Typing(g);
    } else if (pick < 93) {
        Setting(g);
    } else if (pick < 95) {
        // Brush styles by digit.
        g.what = "digit key";
        Key(g, static_cast<WPARAM>('1' + Below(8)));
    } else {
        // A board command other than a tool (clear, copy), as its menu item.
        const int id = commandIds_[Below(static_cast<int>(commandIds_.size()))];
        g.what = "menu command " + std::to_string(id);
        g.inputs.push_back({WM_COMMAND, static_cast<WPARAM>(id), 0});
    }
    return g;
}

std::vector<Gesture> RandomGestures(std::uint64_t seed, std::size_t count, const Options& options) {
    GestureSource source(seed, options);
    std::vector<Gesture> out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) out.push_back(source.Next());
    return out;
}

}  // namespace gestures
