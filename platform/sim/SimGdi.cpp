// Painting: device contexts, fonts, brushes, drawing calls and icons. Everything is checked
// and accounted; nothing is drawn.
#include "platform/sim/SimState.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

namespace platform::sim {

namespace {

constexpr int kStockFontHeight = 16;

// Windows 7's default system colours.
constexpr COLORREF kSysColors[] = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
    RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
    RGB(171, 171, 171), RGB(51, 153, 255),  RGB(255, 255, 255), RGB(240, 240, 240),
    RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(67, 78, 84),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
    RGB(215, 228, 242), RGB(51, 153, 255),  RGB(240, 240, 240),
};

std::uint32_t Read32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Read16(const BYTE* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// An icon image is a DIB of twice the icon's height (colour bits, then the mask) or a PNG.
bool ValidIconImage(const BYTE* bits, DWORD size, int& width, int& height) {
    if (bits == nullptr || size < 24) {
        return false;
    }
    static const BYTE kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (std::memcmp(bits, kPng, sizeof kPng) == 0) {
        auto be = [bits](std::size_t at) {
            return static_cast<int>((bits[at] << 24) | (bits[at + 1] << 16) | (bits[at + 2] << 8) |
                                    bits[at + 3]);
        };
        width = be(16);
        height = be(20);
        return width > 0 && height > 0;
    }
    if (size < 40) {
        return false;
    }
    const std::uint32_t headerSize = Read32(bits);
    const auto w = static_cast<std::int32_t>(Read32(bits + 4));
    const auto h2 = static_cast<std::int32_t>(Read32(bits + 8));
    const std::uint16_t planes = Read16(bits + 12);
    const std::uint16_t bitCount = Read16(bits + 14);
    const std::uint32_t compression = Read32(bits + 16);
    const std::uint32_t colorsUsed = Read32(bits + 32);
    if (headerSize < 40 || headerSize > size || w <= 0 || w > 1024 || h2 <= 0 || h2 > 2048 ||
        h2 % 2 != 0 || planes != 1 || compression != BI_RGB) {
        return false;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return false;
    }
    const std::uint64_t colors =
        colorsUsed != 0 ? colorsUsed : (bitCount <= 8 ? (1u << bitCount) : 0);
    const std::uint64_t h = static_cast<std::uint64_t>(h2) / 2;
    const std::uint64_t colorStride = ((static_cast<std::uint64_t>(w) * bitCount + 31) / 32) * 4;
    const std::uint64_t maskStride = ((static_cast<std::uint64_t>(w) + 31) / 32) * 4;
    if (headerSize + colors * 4 + colorStride * h + maskStride * h > size) {
        return false;
    }
    width = w;
    height = static_cast<int>(h);
    return true;
}

} // namespace

// ---- Stock objects
// ---------------------------------------------------------------------------------

HBRUSH DesktopState::SysColorBrush(int index) {
    auto it = sysBrushes.find(index);
    if (it != sysBrushes.end()) {
        return it->second;
    }
    auto brush = AsHandle<HBRUSH>(NewHandleValue());
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.color = desk.GetSysColor(index);
    gdiObjects[ValueOf(brush)] = object;
    sysBrushes[index] = brush;
    return brush;
}

bool DesktopState::IsStock(HGDIOBJ object) const {
    if (object == nullptr) {
        return false;
    }
    if (object == stockFont || object == stockBrush) {
        return true;
    }
    return std::any_of(sysBrushes.begin(), sysBrushes.end(), [object](const auto& entry) {
        return reinterpret_cast<HGDIOBJ>(entry.second) == object;
    });
}

// ---- Device contexts
// -------------------------------------------------------------------------------

DeviceContext* DesktopState::FindDc(HDC dc) {
    auto it = dcs.find(ValueOf(dc));
    return it == dcs.end() ? nullptr : &it->second;
}

HDC DesktopState::NewDc(HWND window, bool paint) {
    auto dc = AsHandle<HDC>(NewHandleValue());
    DeviceContext context;
    context.handle = dc;
    context.window = window;
    context.paint = paint;
    dcs[ValueOf(dc)] = context;
    const Window* w = Find(window);
    ledger.Acquire(ValueOf(dc), paint ? HandleKind::PaintDC : HandleKind::WindowDC,
                   paint ? "BeginPaint" : "GetDC",
                   w == nullptr ? std::string("screen") : Utf16ToUtf8(w->windowClass->name));
    return dc;
}

bool DesktopState::ReleaseDc(HDC dc, HWND window, bool paint, const char* call) {
    auto it = dcs.find(ValueOf(dc));
    if (it == dcs.end() || it->second.paint != paint) {
        ledger.Release(ValueOf(dc), paint ? HandleKind::PaintDC : HandleKind::WindowDC, call);
        return false;
    }
    if (it->second.window != window) {
        ledger.Fault(FaultKind::WrongWindow, ValueOf(dc), call, "");
        return false;
    }
    for (HGDIOBJ selected : {it->second.font, it->second.brush}) {
        if (auto object = gdiObjects.find(ValueOf(selected));
            object != gdiObjects.end() && object->second.selections > 0) {
            --object->second.selections;
        }
    }
    dcs.erase(it);
    ledger.Release(ValueOf(dc), paint ? HandleKind::PaintDC : HandleKind::WindowDC, call);
    return true;
}

const LOGFONTW* DesktopState::FontInDc(const DeviceContext& dc) const {
    HGDIOBJ font = dc.font != nullptr ? dc.font : stockFont;
    auto it = gdiObjects.find(ValueOf(font));
    return it == gdiObjects.end() ? nullptr : &it->second.font;
}

HDC SimDesktop::GetDC(HWND window) {
    DesktopState& s = *state_;
    if (window != nullptr && s.FindOrFail(window) == nullptr) {
        return nullptr;
    }
    return s.NewDc(window, false);
}

int SimDesktop::ReleaseDC(HWND window, HDC dc) {
    return state_->ReleaseDc(dc, window, false, "ReleaseDC") ? 1 : 0;
}

int SimDesktop::GetDeviceCaps(HDC dc, int index) {
    DesktopState& s = *state_;
    if (s.FindDc(dc) == nullptr) {
        s.ledger.Fault(FaultKind::UseOfReleased, ValueOf(dc), "GetDeviceCaps", "");
        return 0;
    }
    const SimConfig& c = s.config;
    switch (index) {
    case LOGPIXELSX:
        return c.dpiX;
    case LOGPIXELSY:
        return c.dpiY;
    case HORZRES:
        return c.screenWidth;
    case VERTRES:
        return c.screenHeight;
    case HORZSIZE:
        return c.screenWidth * 254 / (c.dpiX * 10);
    case VERTSIZE:
        return c.screenHeight * 254 / (c.dpiY * 10);
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    default:
        return 0;
    }
}

HDC SimDesktop::BeginPaint(HWND window, PAINTSTRUCT* paint) {
    DesktopState& s = *state_;
    Window* w = s.FindOrFail(window);
    if (w == nullptr || paint == nullptr) {
        return nullptr;
    }
    std::memset(paint, 0, sizeof *paint);
    const bool erase = w->needsErase;
    w->needsPaint = false;
    w->needsErase = false;
    HDC dc = s.NewDc(window, true);
    paint->hdc = dc;
    paint->rcPaint = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    if (erase) {
        paint->fErase =
            s.Send(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0 ? TRUE : FALSE;
    }
    return dc;
}

BOOL SimDesktop::EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (paint != nullptr) {
        state_->ReleaseDc(paint->hdc, window, true, "EndPaint");
    }
    return TRUE;
}

// ---- Objects
// ---------------------------------------------------------------------------------------

HFONT SimDesktop::CreateFontIndirectW(const LOGFONTW* font) {
    DesktopState& s = *state_;
    if (font == nullptr) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto handle = AsHandle<HFONT>(NewHandleValue());
    GdiObject object;
    object.kind = GdiObject::Kind::Font;
    object.font = *font;
    object.font.lfFaceName[31] = 0;
    s.gdiObjects[ValueOf(handle)] = object;
    s.ledger.Acquire(ValueOf(handle), HandleKind::Font, "CreateFontIndirectW",
                     Utf16ToUtf8(object.font.lfFaceName) + " " +
                         std::to_string(object.font.lfHeight));
    return handle;
}

HBRUSH SimDesktop::CreateSolidBrush(COLORREF color) {
    DesktopState& s = *state_;
    auto handle = AsHandle<HBRUSH>(NewHandleValue());
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.color = color;
    s.gdiObjects[ValueOf(handle)] = object;
    char detail[16];
    std::snprintf(detail, sizeof detail, "#%06X", static_cast<unsigned>(color));
    s.ledger.Acquire(ValueOf(handle), HandleKind::Brush, "CreateSolidBrush", detail);
    return handle;
}

BOOL SimDesktop::DeleteObject(HGDIOBJ object) {
    DesktopState& s = *state_;
    if (object == nullptr) {
        return FALSE;
    }
    if (s.IsStock(object)) {
        return TRUE; // stock objects are never deleted
    }
    auto it = s.gdiObjects.find(ValueOf(object));
    if (it == s.gdiObjects.end() || it->second.deleted) {
        s.ledger.Release(ValueOf(object), {HandleKind::Font, HandleKind::Brush}, "DeleteObject");
        return FALSE;
    }
    if (it->second.selections > 0) {
        s.ledger.Fault(FaultKind::DeleteWhileSelected, ValueOf(object), "DeleteObject", "");
        return FALSE;
    }
    s.ledger.Release(ValueOf(object), {HandleKind::Font, HandleKind::Brush}, "DeleteObject");
    it->second.deleted = true; // kept, so a test can still read what it was
    return TRUE;
}

HGDIOBJ SimDesktop::SelectObject(HDC dc, HGDIOBJ object) {
    DesktopState& s = *state_;
    DeviceContext* d = s.FindDc(dc);
    if (d == nullptr) {
        s.ledger.Fault(FaultKind::UseOfReleased, ValueOf(dc), "SelectObject", "DC");
        return nullptr;
    }
    auto it = s.gdiObjects.find(ValueOf(object));
    if (object == nullptr || it == s.gdiObjects.end() || it->second.deleted) {
        s.ledger.Fault(FaultKind::UseOfReleased, ValueOf(object), "SelectObject", "object");
        return nullptr;
    }
    const bool font = it->second.kind == GdiObject::Kind::Font;
    HGDIOBJ& slot = font ? d->font : d->brush;
    HGDIOBJ previous = slot != nullptr ? slot : (font ? s.stockFont : s.stockBrush);
    if (auto old = s.gdiObjects.find(ValueOf(previous));
        old != s.gdiObjects.end() && old->second.selections > 0) {
        --old->second.selections;
    }
    slot = object;
    ++it->second.selections;
    return previous;
}

DWORD SimDesktop::GetSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kSysColors))) {
        return 0;
    }
    return kSysColors[index];
}

// ---- Drawing
// -----------------------------------------------------------------------------------------

int SimDesktop::FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DesktopState& s = *state_;
    DeviceContext* d = s.FindDc(dc);
    if (d == nullptr || rect == nullptr) {
        if (d == nullptr) {
            s.ledger.Fault(FaultKind::UseOfReleased, ValueOf(dc), "FillRect", "DC");
        }
        return 0;
    }
    std::optional<COLORREF> color;
    const auto value = ValueOf(brush);
    if (value > 0 && value <= std::size(kSysColors)) {
        color = GetSysColor(static_cast<int>(value) - 1); // COLOR_x + 1 stands for the system brush
    } else {
        auto it = s.gdiObjects.find(value);
        if (it == s.gdiObjects.end() || it->second.deleted ||
            it->second.kind != GdiObject::Kind::Brush) {
            s.ledger.Fault(FaultKind::UseOfReleased, value, "FillRect", "brush");
            return 0;
        }
        color = it->second.color;
    }
    PaintOp op;
    op.kind = PaintOp::Kind::FillRect;
    op.window = d->window;
    op.rect = *rect;
    op.brushColor = color;
    s.paintOps.push_back(op);
    return 1;
}

int SimDesktop::SetBkMode(HDC dc, int mode) {
    DeviceContext* d = state_->FindDc(dc);
    if (d == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        state_->Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(d->backgroundMode, mode);
}

COLORREF SimDesktop::SetBkColor(HDC dc, COLORREF color) {
    DeviceContext* d = state_->FindDc(dc);
    return d == nullptr ? CLR_INVALID : std::exchange(d->backgroundColor, color);
}

COLORREF SimDesktop::SetTextColor(HDC dc, COLORREF color) {
    DeviceContext* d = state_->FindDc(dc);
    return d == nullptr ? CLR_INVALID : std::exchange(d->textColor, color);
}

int SimDesktop::DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format) {
    DesktopState& s = *state_;
    DeviceContext* d = s.FindDc(dc);
    if (d == nullptr || text == nullptr || rect == nullptr) {
        if (d == nullptr) {
            s.ledger.Fault(FaultKind::UseOfReleased, ValueOf(dc), "DrawTextW", "DC");
        }
        return 0;
    }
    std::u16string raw = cchText < 0 ? std::u16string(text)
                                     : std::u16string(text, static_cast<std::size_t>(cchText));
    // "&x" is a mnemonic: the ampersand is not drawn; "&&" draws one.
    std::u16string shown;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if ((format & DT_NOPREFIX) == 0 && raw[i] == u'&' && i + 1 < raw.size()) {
            ++i;
        }
        shown += raw[i];
    }
    const LOGFONTW* font = s.FontInDc(*d);
    int lineHeight =
        font == nullptr || font->lfHeight == 0 ? kStockFontHeight : std::abs(font->lfHeight);
    std::vector<std::u16string> lines;
    if ((format & DT_SINGLELINE) != 0) {
        lines.push_back(shown);
    } else {
        std::size_t start = 0;
        for (;;) {
            std::size_t end = shown.find(u'\n', start);
            std::u16string line = shown.substr(
                start, end == std::u16string::npos ? std::u16string::npos : end - start);
            if (!line.empty() && line.back() == u'\r') {
                line.pop_back();
            }
            lines.push_back(line);
            if (end == std::u16string::npos) {
                break;
            }
            start = end + 1;
        }
    }
    int width = 0;
    for (const auto& line : lines) {
        width = std::max(
            width, static_cast<int>((static_cast<long long>(line.size()) * lineHeight + 1) / 2));
    }
    const int height = lineHeight * static_cast<int>(lines.size());
    if ((format & DT_CALCRECT) != 0) {
        rect->right = rect->left + width;
        rect->bottom = rect->top + height;
        return height;
    }
    PaintOp op;
    op.kind = PaintOp::Kind::DrawText;
    op.window = d->window;
    op.rect = *rect;
    op.text = shown;
    op.format = format;
    if (d->font != nullptr) {
        op.font = *font;
    }
    op.textColor = d->textColor;
    op.backgroundMode = d->backgroundMode;
    s.paintOps.push_back(op);
    return height;
}

int SimDesktop::StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                              int ySrc, int srcWidth, int srcHeight, const void* bits,
                              const BITMAPINFO* info, UINT usage, DWORD rop) {
    DesktopState& s = *state_;
    (void)xSrc;
    (void)ySrc;
    (void)srcWidth;
    (void)rop;
    DeviceContext* d = s.FindDc(dc);
    if (d == nullptr) {
        s.ledger.Fault(FaultKind::UseOfReleased, ValueOf(dc), "StretchDIBits", "DC");
        return 0;
    }
    if (bits == nullptr || info == nullptr || usage > 1) {
        return 0;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const WORD count = h.biBitCount;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biPlanes != 1 ||
        (count != 1 && count != 4 && count != 8 && count != 16 && count != 24 && count != 32) ||
        (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)) {
        return 0;
    }
    PaintOp op;
    op.kind = PaintOp::Kind::StretchDIBits;
    op.window = d->window;
    op.rect = RECT{xDest, yDest, xDest + destWidth, yDest + destHeight};
    s.paintOps.push_back(op);
    return std::abs(srcHeight);
}

int SimDesktop::SetStretchBltMode(HDC dc, int mode) {
    DeviceContext* d = state_->FindDc(dc);
    if (d == nullptr || mode < 1 || mode > 4) {
        return 0;
    }
    return std::exchange(d->stretchMode, mode);
}

BOOL SimDesktop::DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    DesktopState& s = *state_;
    DeviceContext* d = s.FindDc(dc);
    if (d == nullptr || rect == nullptr) {
        return FALSE;
    }
    (void)type;
    PaintOp op;
    op.kind = PaintOp::Kind::DrawFrameControl;
    op.window = d->window;
    op.rect = *rect;
    op.format = state;
    s.paintOps.push_back(op);
    return TRUE;
}

BOOL SimDesktop::DrawFocusRect(HDC dc, const RECT* rect) {
    DesktopState& s = *state_;
    DeviceContext* d = s.FindDc(dc);
    if (d == nullptr || rect == nullptr) {
        return FALSE;
    }
    PaintOp op;
    op.kind = PaintOp::Kind::DrawFocusRect;
    op.window = d->window;
    op.rect = *rect;
    s.paintOps.push_back(op);
    return TRUE;
}

// ---- Icons
// -----------------------------------------------------------------------------------------

HICON SimDesktop::CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD version,
                                           int cx, int cy, UINT flags) {
    DesktopState& s = *state_;
    int width = 0;
    int height = 0;
    if (icon == FALSE || (version != 0x00030000 && version != 0x00020000) ||
        !ValidIconImage(bits, size, width, height)) {
        s.Fail(ERROR_INVALID_DATA);
        return nullptr;
    }
    if (cx == 0 && cy == 0 && (flags & LR_DEFAULTSIZE) != 0) {
        cx = s.config.iconWidth;
        cy = s.config.iconHeight;
    }
    IconObject object;
    object.width = cx != 0 ? cx : width;
    object.height = cy != 0 ? cy : height;
    auto handle = AsHandle<HICON>(NewHandleValue());
    s.icons[ValueOf(handle)] = object;
    s.ledger.Acquire(ValueOf(handle), HandleKind::Icon, "CreateIconFromResourceEx",
                     std::to_string(object.width) + "x" + std::to_string(object.height));
    return handle;
}

HANDLE SimDesktop::LoadImageW(HINSTANCE instance, const char16_t* name, UINT type, int cx, int cy,
                              UINT flags) {
    DesktopState& s = *state_;
    if (type != IMAGE_ICON || (flags & LR_LOADFROMFILE) != 0 || name == nullptr) {
        s.Fail(ERROR_INVALID_PARAMETER); // only icons from the module's resources
        return nullptr;
    }
    if (instance != nullptr && instance != s.module) {
        s.Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const Resource* group = s.FindResource(ResourceId(name), ResourceId(RT_GROUP_ICON()));
    if (group == nullptr) {
        s.Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const std::vector<BYTE>& g = group->bytes;
    if (g.size() < 6 || Read16(g.data()) != 0 || Read16(g.data() + 2) != 1 ||
        Read16(g.data() + 4) == 0 || g.size() < 6 + 14u * Read16(g.data() + 4)) {
        s.Fail(ERROR_INVALID_DATA);
        return nullptr;
    }
    const int wanted = cx != 0 ? cx : s.config.iconWidth;
    int best = -1;
    int bestDistance = 0;
    int bestBits = 0;
    const unsigned count = Read16(g.data() + 4);
    for (unsigned i = 0; i < count; ++i) {
        const BYTE* entry = g.data() + 6 + 14 * i;
        const int width = entry[0] == 0 ? 256 : entry[0];
        const int bits = Read16(entry + 6);
        const int distance = std::abs(width - wanted);
        if (best < 0 || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = static_cast<int>(i);
            bestDistance = distance;
            bestBits = bits;
        }
    }
    const BYTE* entry = g.data() + 6 + 14 * best;
    const Resource* image =
        s.FindResource(ResourceId(static_cast<int>(Read16(entry + 12))), ResourceId(RT_ICON()));
    int width = 0;
    int height = 0;
    if (image == nullptr ||
        !ValidIconImage(image->bytes.data(), static_cast<DWORD>(image->bytes.size()), width,
                        height)) {
        s.Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    IconObject object;
    object.width = cx != 0 ? cx : ((flags & LR_DEFAULTSIZE) != 0 ? s.config.iconWidth : width);
    object.height = cy != 0 ? cy : ((flags & LR_DEFAULTSIZE) != 0 ? s.config.iconHeight : height);
    if ((flags & LR_SHARED) != 0) {
        // A shared icon is the system's: the same handle every time, never destroyed.
        auto key = std::make_pair(group, object.width);
        if (auto it = s.sharedIcons.find(key); it != s.sharedIcons.end()) {
            return it->second;
        }
        object.shared = true;
        auto handle = AsHandle<HICON>(NewHandleValue());
        s.icons[ValueOf(handle)] = object;
        s.sharedIcons[key] = handle;
        return handle;
    }
    auto handle = AsHandle<HICON>(NewHandleValue());
    s.icons[ValueOf(handle)] = object;
    s.ledger.Acquire(ValueOf(handle), HandleKind::Icon, "LoadImageW",
                     std::to_string(object.width) + "x" + std::to_string(object.height));
    return handle;
}

BOOL SimDesktop::DestroyIcon(HICON icon) {
    DesktopState& s = *state_;
    auto it = s.icons.find(ValueOf(icon));
    if (it != s.icons.end() && it->second.shared) {
        s.ledger.Fault(FaultKind::SharedIconDestroyed, ValueOf(icon), "DestroyIcon", "");
        return TRUE;
    }
    if (it == s.icons.end() || it->second.destroyed) {
        s.ledger.Release(ValueOf(icon), HandleKind::Icon, "DestroyIcon");
        s.Fail(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    s.ledger.Release(ValueOf(icon), HandleKind::Icon, "DestroyIcon");
    it->second.destroyed = true;
    return TRUE;
}

BOOL SimDesktop::DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                            HBRUSH flickerFreeDraw, UINT flags) {
    DesktopState& s = *state_;
    (void)step;
    (void)flickerFreeDraw;
    (void)flags;
    DeviceContext* d = s.FindDc(dc);
    auto it = s.icons.find(ValueOf(icon));
    if (d == nullptr || it == s.icons.end() || it->second.destroyed) {
        s.ledger.Fault(FaultKind::UseOfReleased, d == nullptr ? ValueOf(dc) : ValueOf(icon),
                       "DrawIconEx", d == nullptr ? "DC" : "icon");
        return FALSE;
    }
    PaintOp op;
    op.kind = PaintOp::Kind::DrawIcon;
    op.window = d->window;
    op.rect =
        RECT{x, y, x + (cx != 0 ? cx : it->second.width), y + (cy != 0 ? cy : it->second.height)};
    s.paintOps.push_back(op);
    return TRUE;
}

} // namespace platform::sim
