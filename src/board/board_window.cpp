#include "board/board.h"

#include <span>
#include <utility>

#include "board/board_events.h"
#include "board/board_menu.h"
#include "board/board_state.h"
#include "board/board_text.h"
#include "board/areas.h"
#include "board/board_thread.h"
#include "board/pointer.h"
#include "graphics/gdi_owners.h"
#include "graphics/gdip_image.h"
#include "graphics/monitors.h"
#include "settings/settings.h"
#include "window/owner_thread.h"

namespace {

constexpr const char* kBoardClass = "DrawBoardBoard";
constexpr COLORREF kNewCanvasBackground = 0xFFFFFF;

// Gives `canvas` the size `size`, creating it when it does not exist yet
// (unfilled either way: the board writes the whole picture onto it next).
bool SizeCanvas(Canvas& canvas, SIZE size) {
    if (!canvas.IsCreated()) return canvas.CreateToOverwrite(size.cx, size.cy, kNewCanvasBackground);
    if (canvas.Width() == size.cx && canvas.Height() == size.cy) return true;
    return canvas.ResizeToOverwrite(size.cx, size.cy);
}

// A board from a picture is centred on the monitor under the pointer.
POINT PictureBoardPosition(SIZE size) {
    POINT pointer{};
    GetCursorPos(&pointer);
    return CentreIn(MonitorAt(MonitorRects(), pointer), size);
}

}  // namespace

DrawingBoard::DrawingBoard(std::unique_ptr<Canvas> start) : pendingStart_(std::move(start)) {
    state.currentTool = static_cast<ToolKind>(ChosenTool.load());
}

DrawingBoard::~DrawingBoard() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

DrawingBoard* BoardOf(HWND window) {
    // Only a board window runs the board's procedure; its user data is then
    // the bound object (null once it is being destroyed).
    if (window == nullptr ||
        GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&DrawingBoard::Proc))
        return nullptr;
    return reinterpret_cast<DrawingBoard*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool DrawingBoard::Open() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_VREDRAW | CS_HREDRAW;
        wc.lpfnWndProc = &DrawingBoard::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kBoardClass;
        return RegisterClassExA(&wc) != 0;
    }();
    if (!registered) return false;
    POINT at{};
    if (pendingStart_) {
        size = SIZE{pendingStart_->Width(), pendingStart_->Height()};
        at = PictureBoardPosition(size);
    } else {
        // The whole desktop, every monitor, from its top-left corner (negative
        // when a monitor lies left of or above the primary).
        const RECT desktop = VirtualScreenRect();
        size = SIZE{desktop.right - desktop.left, desktop.bottom - desktop.top};
        at = POINT{desktop.left, desktop.top};
    }
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kBoardClass, "画板", WS_POPUP, at.x, at.y,
                                  size.cx, size.cy, nullptr, nullptr, GetModuleHandleA(nullptr),
                                  this);
    // A failed set-up makes WM_CREATE refuse the window.
    return window != nullptr && window_ != nullptr;
}

LRESULT CALLBACK DrawingBoard::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<DrawingBoard*>(cs->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self != nullptr) self->window_ = window;
    }
    auto* self = reinterpret_cast<DrawingBoard*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DropOwnerWork(window);
        HWND expected = window;
        BoardWindow.compare_exchange_strong(expected, nullptr);
        self->window_ = nullptr;
        PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT result = self->Handle(message, wParam, lParam);
    // Every commit goes through a message of the board: here, after it, is
    // the one place where what it changed becomes an undo step.
    self->RecordChange();
    return result;
}

LRESULT DrawingBoard::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND w = window_;
    switch (message) {
    // The window's own life, which needs no drawing: a board is shown from
    // its starting picture before the drawing's canvases exist.
    case WM_CREATE:
        return SetUp() ? 0 : -1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the canvas covers the whole client area
    case WM_CLOSE:
        Close();
        return 0;
    case WM_MOVE:
        OnBoardMoved(w, wParam, lParam);
        return 0;
    case kBoardPrepareMessage:
        PrepareDrawing();
        return 0;
    case WM_SETFOCUS:
        // Focus ends typing that lost it; before the drawing exists (the
        // set-up's own activation) nothing has been typed.
        if (drawing_ == Drawing::Ready) BoardTextFocus(*this);
        return 0;
    default:
        break;
    }
    // Everything else the board does itself works on its drawing. Most of it
    // is handed whole to a handler that takes the board window and the
    // message's own parameters; it answers 0. A short scan is cheaper than
    // anything a handler does, mouse moves included.
    struct Forwarded {
        UINT message;
        void (*handler)(HWND, WPARAM, LPARAM);
    };
    static constexpr Forwarded kForwarded[] = {
        {WM_MOUSEMOVE, &OnPointerMove},
        {WM_LBUTTONDOWN, &OnLeftDown},
        {WM_LBUTTONUP, &OnLeftUp},
        {WM_MOUSEWHEEL, &OnWheel},
        {WM_RBUTTONDOWN, &OnBoardRightButtonDown},
        {WM_RBUTTONUP, &OnBoardRightButtonUp},
        {WM_KEYDOWN, &OnBoardKeyDown},
        {WM_KEYUP, &OnBoardKeyUp},
        {WM_COMMAND, &BoardMenuCommand},
        {BoardSettingMessage, &OnBoardSettingMessage},
        {WM_CHAR, [](HWND b, WPARAM code, LPARAM) { BoardTextChar(*BoardOf(b), code); }},
        {kBoardFontMessage, [](HWND b, WPARAM, LPARAM) { BoardTextFontChanged(*BoardOf(b)); }},
        {kBoardToolMessage,
         [](HWND b, WPARAM tool, LPARAM) {
             SelectToolOnBoard(*BoardOf(b), static_cast<ToolKind>(tool));
         }},
        {kBoardClearMessage, [](HWND b, WPARAM, LPARAM) { ClearOnBoard(*BoardOf(b)); }},
    };
    const Forwarded* forwarded = nullptr;
    for (const Forwarded& entry : kForwarded) {
        if (entry.message == message) {
            forwarded = &entry;
            break;
        }
    }
    if (forwarded == nullptr && message != kRunOnOwnerMessage)
        return DefWindowProcA(w, message, wParam, lParam);
    // A message sent before the set-up's own posted one reached the queue
    // makes the drawing now.
    if (!PrepareDrawing()) {
        if (message == kRunOnOwnerMessage) DiscardOwnerWork(wParam, lParam);
        return 0;
    }
    if (message == kRunOnOwnerMessage) return RunOwnerWork(wParam, lParam);
    forwarded->handler(w, wParam, lParam);
    return 0;
}

bool DrawingBoard::SizeCanvases(SIZE wanted) {
    const bool boardWasCreated = boardCanvas_.IsCreated();
    const SIZE oldBoard{boardCanvas_.Width(), boardCanvas_.Height()};
    if (!SizeCanvas(boardCanvas_, wanted)) return false;
    if (!SizeCanvas(backCanvas_, wanted)) {
        if (boardWasCreated) {
            SizeCanvas(boardCanvas_, oldBoard);
            Restore();
        }
        return false;
    }
    return true;
}

// The board's creation, on the board thread (WM_CREATE). The window is not
// shown yet, so a screen capture does not contain it. The first frame needs
// only the starting picture: the board shows it and makes the drawing's
// canvases right after (a posted message, which the queue hands over before
// any input).
bool DrawingBoard::SetUp() {
    if (pendingStart_) {
        // The decoded picture becomes the starting picture as it is.
        startPicture_ = std::move(pendingStart_);
    } else {
        // A plain block copy of the desktop under the window, every monitor
        // (gaps between monitors give what the capture gives there).
        startPicture_ = std::make_unique<Canvas>();
        if (!startPicture_->CreateToOverwrite(size.cx, size.cy, kNewCanvasBackground)) return false;
        RECT placed{};
        GetWindowRect(window_, &placed);
        HDC screen = GetDC(nullptr);
        if (screen == nullptr) return false;
        BitBlt(startPicture_->DeviceContext(), 0, 0, size.cx, size.cy, screen, placed.left,
               placed.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    BoardWindowUp(window_);
    state.currentTool = static_cast<ToolKind>(ChosenTool.load());
    state.dragging = false;
    state.spaceHeld = false;
    state.ctrlHeld = false;
    state.shiftHeld = false;
    BuildBoardMenu();
    ResetMultiPointState(*this);

    ShowWindow(window_, SW_SHOW);
    // Shown once, as soon as the window is up: the paint the showing queued
    // has nothing to add.
    startPicture_->ShowInWindow(window_, std::nullopt, false);
    ValidateRect(window_, nullptr);
    // A look at the queue that does not wait: where the display takes a
    // window's pixels only when its thread next waits for messages (Wine),
    // the first frame reaches the screen now, not after the drawing is made.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);

    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (Events().Opened(window_)) {
        // A window of the program floats over the board.
        SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    SetActiveWindow(window_);
    SetForegroundWindow(window_);
    PostMessageA(window_, kBoardPrepareMessage, 0, 0);
    BoardSetUpDone();
    return true;
}

bool DrawingBoard::PrepareDrawing() {
    if (drawing_ != Drawing::NotMade) return drawing_ == Drawing::Ready;
    if (!SizeCanvases(size)) {
        // Too big for the memory left: the board goes, as a board that could
        // not be set up does.
        drawing_ = Drawing::Failed;
        PostMessageA(window_, WM_CLOSE, 0, 0);
        return false;
    }
    drawing_ = Drawing::Ready;  // from here on the canvases exist
    CopyWholeCanvas(boardCanvas_, *startPicture_);
    Replaced();
    Commit();
    state.unshownArea = RECT{};  // the window shows the starting picture already
    ApplySettings();
    PrepareLayer(CurrentLayerKind());
    StartHistory();
    return true;
}

void DrawingBoard::Paint() {
    PAINTSTRUCT ps{};
    BeginPaint(window_, &ps);
    Canvas* shown = drawing_ == Drawing::Ready ? &boardCanvas_ : startPicture_.get();
    if (shown != nullptr) shown->ShowInWindow(window_, std::nullopt, false);
    EndPaint(window_, &ps);
}

// WM_CLOSE: what the board leaves behind is settled here; the canvases go
// with the object when the thread ends.
void DrawingBoard::Close() {
    HWND expected = window_;
    BoardWindow.compare_exchange_strong(expected, nullptr);
    DestroyBoardMenu();
    DropLayer();
    history_.Drop();
    SaveSettings();
    Events().Closing();
    if (drawing_ == Drawing::Ready) BoardTextEnd(*this);
    DestroyWindow(window_);
}

bool DrawingBoard::Refill(std::unique_ptr<Canvas>& picture, bool fromFile) {
    if (!picture || !PrepareDrawing()) return false;
    const SIZE wanted{picture->Width(), picture->Height()};
    if (!SizeCanvases(wanted)) return false;
    startPicture_ = std::move(picture);
    size = wanted;

    const POINT at = PictureBoardPosition(size);
    MoveWindow(window_, at.x, at.y, size.cx, size.cy, TRUE);
    CopyWholeCanvas(boardCanvas_, *startPicture_);
    history_.Drop();  // the new picture is no step of the old drawing's history
    Replaced();
    Commit();
    ResetMultiPointState(*this);
    StartHistory();  // a new picture: what was drawn before cannot come back
    if (fromFile) {
        PrepareLayer(CurrentLayerKind());
        SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    Show();
    Events().Refilled();
    return true;
}

POINT CenteredBoardPosition(SIZE screen, SIZE board) {
    return CentreIn(RECT{0, 0, screen.cx, screen.cy}, board);
}

std::unique_ptr<Canvas> DecodePicture(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return nullptr;
    GdipImage image;
    if (!image.LoadFromData(bytes)) return nullptr;
    const int width = image.Width();
    const int height = image.Height();
    if (width <= 0 || height <= 0) return nullptr;
    auto canvas = std::make_unique<Canvas>();
    if (!canvas->Create(width, height, kNewCanvasBackground)) return nullptr;
    if (canvas->DrawPicture(image.Handle(), 0, 0, width, height) != 0) return nullptr;
    // GDI+ leaves an opaque alpha byte in every pixel, GDI drawing leaves
    // none. The board shows no alpha: it goes once, here, so a later change
    // (a fill) differs from the picture only where it shows.
    for (std::uint32_t& pixel : canvas->Pixels()) pixel &= 0x00FFFFFFu;
    return canvas;
}

void CopyWholeCanvas(Canvas& dest, const Canvas& source) {
    if (!source.IsCreated() || !dest.IsCreated()) return;
    CopyAreaArgs args;
    args.srcDC = source.DeviceContext();
    dest.CopyArea(args);
}

namespace {

// Copies `area` of `source` onto `dest`, two surfaces of rows of `width`
// pixels as they lie in memory; nothing when the area does not fit.
void CopyPixelRows(std::span<std::uint32_t> dest, std::span<const std::uint32_t> source,
                   int width, const PixelRect& area) {
    const std::size_t w = static_cast<std::size_t>(width);
    if (area.Empty() || area.left < 0 || area.top < 0 || area.right > width ||
        dest.size() != source.size() || static_cast<std::size_t>(area.bottom) * w > dest.size())
        return;
    for (int row = area.top; row < area.bottom; ++row) {
        const std::size_t at = static_cast<std::size_t>(row) * w + static_cast<std::size_t>(area.left);
        std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(at), area.Width(),
                    dest.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

}  // namespace

void CopyCanvasArea(Canvas& dest, const Canvas& source, const RECT& area) {
    if (!source.IsCreated() || !dest.IsCreated()) return;
    const RECT r = AreaClip(AreaClip(area, SIZE{dest.Width(), dest.Height()}),
                            SIZE{source.Width(), source.Height()});
    if (AreaEmpty(r)) return;
    BitBlt(dest.DeviceContext(), r.left, r.top, r.right - r.left, r.bottom - r.top,
           source.DeviceContext(), r.left, r.top, SRCCOPY);
}

void ShowCanvasArea(HWND window, const Canvas& canvas, const RECT& area) {
    const RECT r = AreaClip(area, SIZE{canvas.Width(), canvas.Height()});
    if (window == nullptr || !canvas.IsCreated() || AreaEmpty(r)) return;
    WindowDc dc(window);
    if (dc.Get() == nullptr) return;
    BitBlt(dc.Get(), r.left, r.top, r.right - r.left, r.bottom - r.top, canvas.DeviceContext(),
           r.left, r.top, SRCCOPY);
}

void DrawingBoard::Restore() {
    CopyWholeCanvas(boardCanvas_, backCanvas_);
    state.drawnArea = RECT{};
    state.unshownArea = WholeArea(size);
}

void DrawingBoard::Commit() { BoardPointerContext(*this).Commit(); }

void DrawingBoard::Show() {
    if (window_ != nullptr) boardCanvas_.ShowInWindow(window_, std::nullopt, false);
    state.unshownArea = RECT{};
}

void DrawingBoard::Replaced() {
    state.drawnArea = WholeArea(size);
    state.unshownArea = WholeArea(size);
}

void DrawingBoard::RestoreArea(const RECT& area) { CopyCanvasArea(boardCanvas_, backCanvas_, area); }

void DrawingBoard::ShowArea(const RECT& area) { ShowCanvasArea(window_, boardCanvas_, area); }

void DrawingBoard::CommitArea(const RECT& area) {
    WritingCommitted(area);
    CopyCanvasArea(backCanvas_, boardCanvas_, area);
}

void DrawingBoard::WritingCommitted(const RECT& area) {
    KeepBeforeWrite(SurfaceRows(area, backCanvas_.Height()), backCanvas_.Pixels());
}

void DrawingBoard::KeepBeforeWrite(const PixelRect& rows, std::span<const std::uint32_t> committed) {
    history_.BeforeWrite(rows, committed);
    committedChanged_ = true;
}

bool DrawingBoard::GestureUnderWay() const {
    if (state.dragging || state.typing) return true;
    const BoardTool* tool = tools.For(state.currentTool);
    return tool != nullptr && tool->ShapeOpen();
}

void DrawingBoard::RecordChange() {
    if (!committedChanged_ || GestureUnderWay()) return;
    committedChanged_ = false;
    history_.Seal(backCanvas_.Pixels());
}

void DrawingBoard::StartHistory() {
    history_.Start(backCanvas_.Width(), backCanvas_.Height());
    committedChanged_ = false;
}

bool DrawingBoard::StepHistory(bool redo) {
    // Any change not yet taken as a step is taken now (the undo then takes
    // it back first).
    committedChanged_ = false;
    std::span<std::uint32_t> pixels = backCanvas_.Pixels();
    const bool changed = (redo ? history_.Redo(pixels) : history_.Undo(pixels)).has_value();
    Restore();
    Show();
    return changed;
}

bool UndoOnBoard(DrawingBoard& b, bool redo) {
    if (b.GestureUnderWay()) {
        // Ended as a tool switch ends it: a drag in progress is dropped, a
        // shape of several clicks stays as far as it was committed, the
        // curve and the text being typed are drawn for good.
        if (b.state.dragging) {
            b.state.dragging = false;
            ReleaseCapture();
        }
        SelectToolOnBoard(b, b.state.currentTool);
        b.tools.ResetGestures();
    }
    return b.StepHistory(redo);
}

void DrawingBoard::ApplySettings() {
    const int back = Settings.backColor.load();
    for (Canvas* canvas : {&boardCanvas_, &backCanvas_}) {
        canvas->PenWidth(Settings.penWidth.load());
        canvas->PenColor(static_cast<COLORREF>(Settings.penColor.load()));
        canvas->BrushColor(static_cast<COLORREF>(Settings.brushColor.load()));
        canvas->BrushStyle(Settings.brushType.load());
        canvas->TextColor(static_cast<COLORREF>(Settings.textColor.load()));
        if (back == kNoTextBackground) {
            canvas->TextTransparent(true);
        } else {
            canvas->TextTransparent(false);
            canvas->TextBackColor(static_cast<COLORREF>(back));
        }
    }
}

void DrawingBoard::PrepareLayer(LayerKind kind) {
    if (kind == LayerKind::None) return;
    if (kind == LayerKind::StartPicture) {
        // The eraser's source is the untouched starting picture, which the
        // board keeps anyway: no copy of it.
        DropLayer();
        layerIsStart_ = true;
        return;
    }
    layerIsStart_ = false;
    if (!pictureCanvas_.IsCreated()) {
        pictureCanvas_.Create(size.cx, size.cy, boardCanvas_.BackgroundColor());
    } else if (pictureCanvas_.Width() != size.cx || pictureCanvas_.Height() != size.cy) {
        // A board refilled with a picture of another size: the curve layer
        // must cover the new board exactly.
        pictureCanvas_.Resize(size.cx, size.cy);
    }
    // The curve's layer is the drawing so far.
    CopyWholeCanvas(pictureCanvas_, boardCanvas_);
}

LayerKind DrawingBoard::CurrentLayerKind() const {
    const BoardTool* tool = tools.For(state.currentTool);
    return tool != nullptr ? tool->LayerNeeded() : LayerKind::None;
}

void DrawingBoard::DropLayer() {
    layerIsStart_ = false;
    if (pictureCanvas_.IsCreated()) pictureCanvas_.Destroy();
}

void DrawingBoard::ClearToStart() {
    // The drawing differs from the starting picture only where something was
    // written since the board began, and there only where its pixels differ;
    // the board canvas differs from the drawing only where a preview was
    // drawn. That is what the clear writes back, band by band (and what its
    // undo step keeps), so a line from corner to corner costs a compare, not
    // copies of the whole picture. Without a history, all of it.
    if (startPicture_) CopyCanvasArea(boardCanvas_, *startPicture_, state.drawnArea);
    std::span<std::uint32_t> committed = backCanvas_.Pixels();
    std::span<std::uint32_t> shown = boardCanvas_.Pixels();
    std::span<std::uint32_t> start =
        startPicture_ ? startPicture_->Pixels() : std::span<std::uint32_t>{};
    if (!RedrawWholeBoard.load() && history_.Started() && !committed.empty() &&
        start.size() == committed.size() && shown.size() == committed.size()) {
        // Many small boxes: copied as rows of memory, not one block copy
        // call each.
        constexpr int kBandRows = 64;
        for (const PixelRect& band : DifferingBands(committed, start, size.cx, size.cy,
                                                    history_.WrittenArea(), kBandRows)) {
            KeepBeforeWrite(band, committed);
            CopyPixelRows(shown, start, size.cx, band);
            CopyPixelRows(committed, start, size.cx, band);
        }
    } else {
        if (startPicture_) CopyWholeCanvas(boardCanvas_, *startPicture_);
        state.drawnArea = WholeArea(size);
        Commit();
    }
    Replaced();  // shown whole below
    state.drawnArea = RECT{};
    ResetMultiPointState(*this);
    Show();
    matchesCommitted_ = true;
}
