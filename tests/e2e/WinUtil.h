// Small Win32 helpers of the driver: files, paths, and other processes' windows.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle() {
        if (h_ && h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

std::wstring FullPath(const std::wstring& path);
bool SamePath(const std::wstring& a, const std::wstring& b);
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
void RemoveIfThere(const std::wstring& path);

// Cross-process GetWindowTextW does not reach every class; WM_GETTEXT does.
std::optional<std::wstring> TryText(HWND window);
std::wstring Text(HWND window);
std::wstring ClassOf(HWND window);

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};

std::wstring Show(const Rect& r);

// A window's rectangle in the client coordinates of another window.
Rect RectIn(HWND window, HWND reference);

// The direct children of a window.
std::vector<HWND> Children(HWND parent);

} // namespace e2e
