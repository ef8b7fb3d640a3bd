#pragma once
// Small scoped owners for the platform's drawing and kernel handles. Each one
// releases what it holds in its destructor, in the one way the platform wants
// for that kind of handle, so no caller pairs Create/Delete or Get/Release by
// hand. All of them are move-only: a handle has exactly one owner.
//
// Destruction order matters where an object is selected into a DC: declare the
// object's owner before the SelectedObject guard, so that the guard puts the
// DC's previous object back before the owner deletes the object.

#include <windows.h>

#include <utility>

// Owns one GDI object (pen, brush, font, bitmap, region) and deletes it.
// Stock objects may be held too: deleting them is a harmless no-op.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives the handle up without deleting it (for example to the clipboard).
    Handle Release() { return std::exchange(handle_, nullptr); }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr && handle_ != handle) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

using OwnedPen = GdiObject<HPEN>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedFont = GdiObject<HFONT>;
using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedRegion = GdiObject<HRGN>;

// A memory DC, deleted when its owner goes. Made by Compatible(); a
// default-constructed owner is empty.
class MemoryDc {
public:
    MemoryDc() = default;
    // A memory DC compatible with `reference` (the screen when null).
    static MemoryDc Compatible(HDC reference = nullptr) {
        MemoryDc dc;
        dc.dc_ = CreateCompatibleDC(reference);
        return dc;
    }
    ~MemoryDc() { Reset(); }
    MemoryDc(MemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    MemoryDc& operator=(MemoryDc&& other) noexcept {
        if (this != &other) {
            Reset();
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    // False when a DC was held and could not be deleted. It is let go either
    // way: deleting its handle later could hit a DC that reused the number.
    bool Reset() {
        const bool deleted = dc_ == nullptr || DeleteDC(dc_) != FALSE;
        dc_ = nullptr;
        return deleted;
    }

private:
    HDC dc_ = nullptr;
};

// The DC of a window's client area (GetDC), released when the scope ends.
// Keep the scope short: a window DC is a shared, cached resource.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// The DC of the whole screen. Open it just around the copy or query that
// needs it: it is released as soon as the scope ends.
class ScreenDc : public WindowDc {
public:
    ScreenDc() : WindowDc(nullptr) {}
};

// Selects an object into a DC for one scope and puts the DC's previous object
// back when the scope ends. It does not own the selected object.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) {
        if (dc != nullptr && object != nullptr) {
            HGDIOBJ previous = SelectObject(dc, object);
            if (previous != nullptr && previous != HGDI_ERROR) {
                dc_ = dc;
                previous_ = previous;
            }
        }
    }
    ~SelectedObject() { Restore(); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    // Whether the object was selected.
    bool Ok() const { return dc_ != nullptr; }
    // Puts the previous object back now (some calls, such as GetDIBits, want
    // a bitmap out of every DC).
    void Restore() {
        if (dc_ != nullptr) SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// An owned GDI object selected into a DC for one scope: on leaving, the DC's
// previous object goes back first, then the object is deleted.
template <typename Handle>
class SelectedOwned {
public:
    SelectedOwned(HDC dc, Handle object) : owner_(object), selection_(dc, object) {}
    bool Ok() const { return selection_.Ok(); }
    Handle Get() const { return owner_.Get(); }

private:
    GdiObject<Handle> owner_;     // destroyed last
    SelectedObject selection_;    // destroyed first
};

// Owns a kernel handle (thread, event, file) and closes it. Both null and
// INVALID_HANDLE_VALUE (what CreateFile answers on failure) count as empty.
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle() { Reset(); }
    KernelHandle(KernelHandle&& other) noexcept : handle_(other.Release()) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return Valid(); }
    HANDLE Release() { return std::exchange(handle_, nullptr); }
    void Reset(HANDLE handle = nullptr) {
        if (Valid() && handle_ != handle) CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

// GDI+ for the life of one scope: the program's entry point (and the test
// entry point) holds one for the whole run, before any picture or canvas is
// used. Without a running session every picture operation fails quietly.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool Ok() const { return token_ != 0; }
    // Whether a session is running in this process. GDI+ objects that outlive
    // the session (static owners destroyed after the entry point returns) are
    // dropped without calling into GDI+, which has freed them already.
    static bool Running();

private:
    ULONG_PTR token_ = 0;
};
