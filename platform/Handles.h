// Move-only owners for operating-system handles, one per kind of release call. A plain
// handle type (HWND, HANDLE, ...) is always a borrowed one; only these types own.
#pragma once

#include "platform/Api.h"

#include <utility>

namespace platform {

template <class Handle, class Traits> class Unique {
public:
    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Null())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.handle_, Traits::Null()));
        }
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::Valid(handle_); }
    Handle release() { return std::exchange(handle_, Traits::Null()); }
    void reset(Handle handle = Traits::Null()) {
        Handle old = std::exchange(handle_, handle);
        if (Traits::Valid(old)) {
            Traits::Close(old);
        }
    }

private:
    Handle handle_ = Traits::Null();
};

struct KernelHandleTraits {
    static HANDLE Null() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { Os().CloseHandle(h); }
};
using UniqueKernelHandle = Unique<HANDLE, KernelHandleTraits>;

template <class H> struct GdiObjectTraits {
    static H Null() { return nullptr; }
    static bool Valid(H h) { return h != nullptr; }
    static void Close(H h) { Os().DeleteObject(reinterpret_cast<HGDIOBJ>(h)); }
};
using UniqueFont = Unique<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBrush = Unique<HBRUSH, GdiObjectTraits<HBRUSH>>;

struct IconTraits {
    static HICON Null() { return nullptr; }
    static bool Valid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { Os().DestroyIcon(h); }
};
using UniqueIcon = Unique<HICON, IconTraits>;

struct HookTraits {
    static HHOOK Null() { return nullptr; }
    static bool Valid(HHOOK h) { return h != nullptr; }
    static void Close(HHOOK h) { Os().UnhookWindowsHookEx(h); }
};
using UniqueHook = Unique<HHOOK, HookTraits>;

struct WindowTraits {
    static HWND Null() { return nullptr; }
    static bool Valid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { Os().DestroyWindow(h); }
};
// For a top-level window that nothing else destroys. A child window or one the system may
// destroy holds its handle borrowed, cleared at WM_NCDESTROY.
using UniqueWindow = Unique<HWND, WindowTraits>;

struct LocalTraits {
    static HLOCAL Null() { return nullptr; }
    static bool Valid(HLOCAL h) { return h != nullptr; }
    static void Close(HLOCAL h) { Os().LocalFree(h); }
};
using UniqueLocal = Unique<HLOCAL, LocalTraits>;

// A screen device context from GetDC(window), released to the same window.
class ScreenDC {
public:
    explicit ScreenDC(HWND window) : window_(window), dc_(Os().GetDC(window)) {}
    ~ScreenDC() {
        if (dc_ != nullptr) {
            Os().ReleaseDC(window_, dc_);
        }
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The painting of one WM_PAINT: BeginPaint on construction, EndPaint when it goes, so that a
// throw while painting cannot leave the window's update region pending.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window), dc_(Os().BeginPaint(window, &paint_)) {}
    ~PaintDC() {
        if (dc_ != nullptr) {
            Os().EndPaint(window_, &paint_);
        }
    }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An object selected into a device context until Restore or the end of the scope, whichever
// comes first; then the previous object goes back. Nothing is selected for a null object.
// Declare it after the owner of the object, so that the object is deselected before it is
// deleted.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object != nullptr ? Os().SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() { Restore(); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    void Restore() {
        if (HGDIOBJ previous = std::exchange(previous_, nullptr)) {
            Os().SelectObject(dc_, previous);
        }
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A block of the process heap.
class HeapBlock {
public:
    HeapBlock() = default;
    HeapBlock(HANDLE heap, void* memory) : heap_(heap), memory_(memory) {}
    HeapBlock(HeapBlock&& other) noexcept
        : heap_(other.heap_), memory_(std::exchange(other.memory_, nullptr)) {}
    HeapBlock& operator=(HeapBlock&& other) noexcept {
        if (this != &other) {
            reset();
            heap_ = other.heap_;
            memory_ = std::exchange(other.memory_, nullptr);
        }
        return *this;
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    ~HeapBlock() { reset(); }

    static HeapBlock Allocate(SIZE_T bytes) {
        HANDLE heap = Os().GetProcessHeap();
        return HeapBlock(heap, Os().HeapAlloc(heap, 0, bytes));
    }
    void* get() const { return memory_; }
    explicit operator bool() const { return memory_ != nullptr; }
    void reset() {
        if (void* old = std::exchange(memory_, nullptr)) {
            Os().HeapFree(heap_, 0, old);
        }
    }

private:
    HANDLE heap_ = nullptr;
    void* memory_ = nullptr;
};

} // namespace platform
