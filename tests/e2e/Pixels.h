// Pixels: screenshots, and the message box's icon told apart by how it looks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> data; // top-down rows, 0x00RRGGBB
};

enum class Icon { Unknown, Exclamation, Information, Error, Question };

Pixels CaptureScreen(const RECT& r);
void WriteBmp(const std::wstring& path, const Pixels& p);
// The window as the screen shows it, to a BMP file.
void SaveWindowShot(HWND window, const std::wstring& path);
std::wstring IconName(Icon icon);

// The icon handle of another process cannot be examined, so the box's icon is told apart by
// its pixels: each standard icon is drawn here on the box's background and compared.
Icon BoxIcon(HWND box);

} // namespace e2e
