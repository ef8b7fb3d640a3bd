#pragma once
// The drawing board: a borderless window on a thread of its own that shows a
// frozen picture (the screen, a picture file or the clipboard's picture) and
// lets the user draw over it. At most one board exists at a time.
//
// Threads: a DrawingBoard object owns the board's state and canvases; it is
// made, used and destroyed on the board thread only. Other threads reach it
// through its window's queue: typed messages (settings, font, tool, close)
// posted to it, or work handed over with RunOnOwner / CallOnOwner
// (window/owner_thread.h). Work for a board that is gone is dropped.

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "board/board_state.h"
#include "board/history.h"
#include "board/tools/board_tool.h"
#include "board/tools/tool_table.h"
#include "graphics/canvas.h"
#include "window/owner_thread.h"

// Private messages of the board window.
// The toolbox posts a setting change: wParam code 51-56, lParam value.
constexpr UINT BoardSettingMessage = 0x8075;
// The text font setting changed (posted; the board reads the setting).
constexpr UINT kBoardFontMessage = WM_APP + 0x3B0;
// Select a tool on the board (posted; wParam the ToolKind).
constexpr UINT kBoardToolMessage = WM_APP + 0x3B1;
// Clear the board back to its starting picture (posted).
constexpr UINT kBoardClearMessage = WM_APP + 0x3B2;
// Make the drawing's canvases (posted by the set-up to itself once the first
// frame is shown).
constexpr UINT kBoardPrepareMessage = WM_APP + 0x3B3;

class DrawingBoard : public ToolSurface {
public:
    // `start` is the starting picture; null means the screen, captured when
    // the window is set up.
    explicit DrawingBoard(std::unique_ptr<Canvas> start);
    ~DrawingBoard();
    DrawingBoard(const DrawingBoard&) = delete;
    DrawingBoard& operator=(const DrawingBoard&) = delete;

    // Makes the window and sets the board up (hidden until set up). False
    // when the window or its canvases cannot be made; nothing is left then.
    bool Open();
    HWND Window() const { return window_; }

    // The board's state and tools, for code running on the board thread.
    BoardState state;
    ToolSet tools;  // one object per tool, with its gesture in progress
    SIZE size{};    // the board picture's (and the window's) size

    // The canvases, on the board thread. The tools draw previews on the board
    // canvas; the committed drawing changes only through Commit.
    Canvas& Shown() { return boardCanvas_; }         // what the window shows
    Canvas& Committed() { return backCanvas_; }      // the committed drawing
    // The eraser's source (the starting picture itself, which it only reads)
    // or the curve's layer.
    Canvas& Layer() { return layerIsStart_ && startPicture_ ? *startPicture_ : pictureCanvas_; }
    Canvas* StartPicture() { return startPicture_.get(); }
    const UndoHistory& History() const { return history_; }

    // ---- the one commit path (ToolSurface) ----
    // What the tools drew since the last restore (or all of it, see
    // RedrawWholeBoard) onto the committed drawing, the history told first;
    // it takes what changed as a step once the message (or the gesture) is
    // over.
    void Commit();
    // Committed drawing onto the board canvas, all of it: wipes any preview.
    void Restore();
    // Board canvas into the window, all of it.
    void Show();
    void RestoreArea(const RECT& area) override;
    void ShowArea(const RECT& area) override;
    void CommitArea(const RECT& area) override;
    void WritingCommitted(const RECT& area) override;
    // The board canvas was replaced as a whole (a new or cleared picture):
    // a commit must take all of it.
    void Replaced();

    // Back to the starting picture, committed and shown (the clear).
    void ClearToStart();
    // The layer for a tool that draws over one (board/tools/board_tool.h):
    // the curve's made in the board's size and filled, the eraser's the
    // starting picture; none for LayerKind::None.
    void PrepareLayer(LayerKind kind);
    void DropLayer();
    LayerKind CurrentLayerKind() const;  // the current tool's
    // True once after a clear: the board canvas still equals the committed
    // drawing, so a switch need not restore it.
    bool TakeMatchesCommitted() { return std::exchange(matchesCommitted_, false); }
    // Takes the newest change back (or makes the one taken back again) on
    // the committed drawing; false when there was none.
    bool StepHistory(bool redo);
    // Applies the settings record's pen, brush and text settings to the
    // board and back canvases: the one mapping of settings onto canvases.
    void ApplySettings();

    // True while a gesture is under way: the button is down, a shape of
    // several clicks is being built, or text is being typed.
    bool GestureUnderWay() const;
    // Takes what the commits since the last step changed as one step, unless
    // a gesture is still under way.
    void RecordChange();
    // A new drawing: the history follows the committed drawing as it is
    // now, with nothing to undo.
    void StartHistory();

    // A new starting picture for this board (open or paste while it exists):
    // recentred, resized and refilled. False, with nothing changed, when the
    // canvases cannot take its size.
    // The board takes `picture` when it succeeds.
    bool Refill(std::unique_ptr<Canvas>& picture, bool fromFile);

private:
    friend DrawingBoard* BoardOf(HWND window);
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool SetUp();
    // The canvases the drawing needs (the board canvas and the committed
    // drawing, both the starting picture at first, the current tool's layer,
    // the settings and the history), made once: a board is shown from its
    // starting picture before they exist. False when they cannot be made:
    // the board then closes.
    bool PrepareDrawing();
    // The history keeps `rows` of the committed drawing (`committed`, its
    // pixels) before a write; what was written becomes a step later.
    void KeepBeforeWrite(const PixelRect& rows, std::span<const std::uint32_t> committed);
    void Paint();
    void Close();
    bool SizeCanvases(SIZE size);

    HWND window_ = nullptr;
    std::unique_ptr<Canvas> pendingStart_;
    Canvas boardCanvas_;    // what the window shows; the tools draw on it
    Canvas backCanvas_;     // the committed drawing
    Canvas pictureCanvas_;  // the curve's layer, on demand
    bool layerIsStart_ = false;  // the layer is the starting picture (the eraser's)
    // The starting picture, decoded once (never null once set up).
    std::unique_ptr<Canvas> startPicture_;
    // Undo and redo of the committed drawing. Every commit sets
    // committedChanged_; after each message the board handles, what the
    // commits changed becomes one step, unless a gesture is still under way
    // (then its commits become one step when it ends).
    UndoHistory history_;
    bool committedChanged_ = false;
    // Set by a clear: the board canvas equals the committed drawing.
    bool matchesCommitted_ = false;
    enum class Drawing { NotMade, Ready, Failed };
    Drawing drawing_ = Drawing::NotMade;
};

// The board bound to `window` (null for any other window). Board thread only.
DrawingBoard* BoardOf(HWND window);

// The current board window, or null. Only a handle to post to: the board's
// state is reached through its queue.
extern std::atomic<HWND> BoardWindow;

// The tool the user chose last. A new board starts with it; while a board
// exists it is the tool the board has been asked to make current.
extern std::atomic<int> ChosenTool;

// The board window when it names a live window, else null. Any thread; only
// a handle to post to.
HWND LiveBoard();
// True while the board window handle names a live window.
bool BoardExists();
// True on the thread that runs the board window.
bool OnBoardThread();

// ---- board operations (any thread) ----

// Makes a board from the primary screen (after the capture delay, on the
// board thread); only re-highlights the previous palette cell when a board
// exists or is being made.
void CaptureToBoard();
// Asks for a picture file and makes (or refills) the board from it.
void OpenPictureBoard();
// The board from a picture file without asking (what OpenPictureBoard does
// once a file is chosen). False, with everything left as it was, when the
// file cannot be read, does not decode or is too large.
bool OpenPictureBoardFile(const std::string& path);
// Makes (or refills) the board from the clipboard's picture. False, with
// everything left as it was, when the clipboard holds no usable picture.
bool PasteClipboardBoard();
// Puts the board back to its starting picture.
void ClearBoard();
// Asks the board window to close and selects the pen again.
void CloseBoard();
// Closes the board and waits (at most `timeoutMs`) until its thread has
// ended. True when no board thread is left.
bool CloseBoardAndWait(DWORD timeoutMs);
// Tells the board the text font setting changed.
void PostBoardFontChanged();
// Puts the board canvas on the clipboard as a bitmap.
void CopyBoardToClipboard();
// Asks the program to end (the board menu's "结束程序").
void ExitProgram();

// ---- on the board thread ----

// Copies all of `source` onto `dest` at (0,0) in one block copy; nothing when
// either is not created.
void CopyWholeCanvas(Canvas& dest, const Canvas& source);
// Copies `area` of `source` onto `dest` (clipped to both); nothing when
// either is not created or the area is empty.
void CopyCanvasArea(Canvas& dest, const Canvas& source, const RECT& area);
// Copies `area` of `canvas` into the window at the same place (1:1).
void ShowCanvasArea(HWND window, const Canvas& canvas, const RECT& area);
// Ctrl+Z (redo false) and Ctrl+Y / Ctrl+Shift+Z (redo true): a gesture under
// way is first ended as a tool switch would end it, then the newest change
// to the committed drawing is taken back (or the last one taken back is made
// again) and shown. False when there was nothing to undo (or redo).
bool UndoOnBoard(DrawingBoard& b, bool redo);

// The open dialog's filter, '|'-separated.
extern const char* const kOpenPictureFilter;

// Window position that centres a board of `board` size on a screen of
// `screen` size (halves truncated toward zero; negative when larger).
POINT CenteredBoardPosition(SIZE screen, SIZE board);

// The board from a decoded picture (what open and paste do once the picture
// is decoded): the live board is refilled, or a new board is started; then
// the move-board tool is selected. False when neither could be done.
bool MakeBoardFromPicture(std::unique_ptr<Canvas> picture, bool fromFile);

// A picture file's bytes decoded once into a canvas of the picture's size.
// Null when the bytes do not decode, are refused as too large, or the canvas
// cannot be made.
std::unique_ptr<Canvas> DecodePicture(const std::vector<std::uint8_t>& bytes);

// ---- waiting (for tests and the toolbox's teardown) ----

// Runs `work` on the board thread after everything already queued there and
// waits for it (at most `timeoutMs`, processing the caller's messages). False
// when there is no board or the time ran out (then it does not run).
bool WithBoard(const std::function<void(DrawingBoard&)>& work, DWORD timeoutMs = 5000);
// Waits up to `timeoutMs` (processing messages) until a board has finished
// its set-up; true when it has.
bool WaitForBoardReady(DWORD timeoutMs);
// Waits until no board window exists and its thread has ended.
bool WaitForBoardGone(DWORD timeoutMs);
// Waits `milliseconds` while processing messages.
void WaitProcessingMessages(DWORD milliseconds);
