#include "Pixels.h"

#include "Output.h"
#include "WinUtil.h"

namespace e2e {

namespace {

// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        screen_ = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen_);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (!dc_ || !bitmap_ || !bits_)
            Fail(L"cannot create a bitmap for a screenshot");
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        ReleaseDC(nullptr, screen_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HDC screen() const { return screen_; }
    Pixels Read() const {
        GdiFlush();
        Pixels p{width_, height_, {}};
        const auto* src = static_cast<const std::uint32_t*>(bits_);
        p.data.assign(src, src + static_cast<size_t>(width_) * height_);
        for (auto& px : p.data)
            px &= 0xFFFFFF;
        return p;
    }

private:
    int width_, height_;
    HDC screen_ = nullptr, dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

struct IconStaticSearch {
    HWND found;
};

BOOL CALLBACK FindIconStatic(HWND window, LPARAM param) {
    if ((GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        ClassOf(window) == L"Static") {
        reinterpret_cast<IconStaticSearch*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

Pixels CaptureScreen(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        Fail(L"nothing to capture");
    Canvas canvas(w, h);
    if (!BitBlt(canvas.dc(), 0, 0, w, h, canvas.screen(), r.left, r.top, SRCCOPY))
        Fail(L"cannot copy from the screen");
    return canvas.Read();
}

void WriteBmp(const std::wstring& path, const Pixels& p) {
    const int row = p.width * 3 + (4 - p.width * 3 % 4) % 4;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(row) * p.height;
    ih.biSize = sizeof ih;
    ih.biWidth = p.width;
    ih.biHeight = p.height; // bottom-up
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    for (int y = p.height - 1; y >= 0; --y) {
        std::string line(row, '\0');
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t px = p.data[static_cast<size_t>(y) * p.width + x];
            line[x * 3] = static_cast<char>(px & 0xFF);
            line[x * 3 + 1] = static_cast<char>((px >> 8) & 0xFF);
            line[x * 3 + 2] = static_cast<char>((px >> 16) & 0xFF);
        }
        bytes += line;
    }
    WriteFileBytes(path, bytes);
}

void SaveWindowShot(HWND window, const std::wstring& path) {
    RECT r;
    GetWindowRect(window, &r);
    // A maximised window's frame hangs off the screen; only the screen can be copied.
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&r, &r, &screen);
    WriteBmp(path, CaptureScreen(r));
    Say(L"screenshot " + Quote(path));
}

std::wstring IconName(Icon icon) {
    switch (icon) {
    case Icon::Exclamation:
        return L"exclamation";
    case Icon::Information:
        return L"information";
    case Icon::Error:
        return L"error";
    case Icon::Question:
        return L"question";
    case Icon::Unknown:
        break;
    }
    return L"unknown";
}

Icon BoxIcon(HWND box) {
    IconStaticSearch search{nullptr};
    EnumChildWindows(box, FindIconStatic, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return Icon::Unknown;
    const struct {
        Icon icon;
        LPCWSTR id;
    } candidates[] = {{Icon::Exclamation, IDI_EXCLAMATION},
                      {Icon::Information, IDI_ASTERISK},
                      {Icon::Error, IDI_HAND},
                      {Icon::Question, IDI_QUESTION}};
    const DWORD start = GetTickCount();
    for (;;) {
        RECT r;
        GetWindowRect(search.found, &r);
        const Pixels shot = CaptureScreen(r);
        const std::uint32_t background = shot.data[0];
        Icon best = Icon::Unknown;
        size_t best_diff = shot.data.size(), second_diff = shot.data.size();
        for (const auto& c : candidates) {
            Canvas canvas(shot.width, shot.height);
            HBRUSH brush = CreateSolidBrush(
                RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
            RECT all{0, 0, shot.width, shot.height};
            FillRect(canvas.dc(), &all, brush);
            DeleteObject(brush);
            DrawIconEx(canvas.dc(), 0, 0, LoadIconW(nullptr, c.id), shot.width, shot.height, 0,
                       nullptr, DI_NORMAL);
            const Pixels drawn = canvas.Read();
            size_t diff = 0;
            for (size_t i = 0; i < drawn.data.size(); ++i)
                diff += drawn.data[i] != shot.data[i];
            if (diff < best_diff) {
                second_diff = best_diff;
                best_diff = diff;
                best = c.icon;
            } else if (diff < second_diff) {
                second_diff = diff;
            }
        }
        // A clear winner: almost identical to one icon and much less so to any other.
        if (best_diff * 50 <= shot.data.size() && best_diff * 4 < second_diff)
            return best;
        if (GetTickCount() - start > 2000)
            return Icon::Unknown;
        Sleep(50); // not painted yet
    }
}

} // namespace e2e
