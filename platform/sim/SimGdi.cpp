// Painting: device contexts, fonts, brushes, drawing calls and icons. Everything is checked
// and accounted; nothing is drawn.
#include "platform/sim/SimGdi.h"

#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMessaging.h"
#include "platform/sim/SimWindowTree.h"

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

} // namespace

Gdi::Gdi(const SimConfig& config, Kernel& kernel, WindowTree& windows, Messaging& messaging)
    : config_(config), kernel_(kernel), windows_(windows), messaging_(messaging) {
    GdiObject systemFont;
    systemFont.kind = GdiObject::Kind::Font;
    systemFont.font.lfHeight = 16;
    systemFont.font.lfWeight = FW_BOLD;
    std::memcpy(systemFont.font.lfFaceName, u"System", sizeof(u"System"));
    stockFont_ = AsHandle<HGDIOBJ>(NewHandleValue());
    gdiObjects_[ValueOf(stockFont_)] = systemFont;
    GdiObject whiteBrush;
    whiteBrush.kind = GdiObject::Kind::Brush;
    whiteBrush.color = RGB(255, 255, 255);
    stockBrush_ = AsHandle<HGDIOBJ>(NewHandleValue());
    gdiObjects_[ValueOf(stockBrush_)] = whiteBrush;
}

// ---- Stock objects ------------------------------------------------------------------------------

HBRUSH Gdi::SysColorBrush(int index) {
    auto it = sysBrushes_.find(index);
    if (it != sysBrushes_.end()) {
        return it->second;
    }
    auto brush = AsHandle<HBRUSH>(NewHandleValue());
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.color = GetSysColor(index);
    gdiObjects_[ValueOf(brush)] = object;
    sysBrushes_[index] = brush;
    return brush;
}

bool Gdi::IsStock(HGDIOBJ object) const {
    if (object == nullptr) {
        return false;
    }
    if (object == stockFont_ || object == stockBrush_) {
        return true;
    }
    return std::any_of(sysBrushes_.begin(), sysBrushes_.end(), [object](const auto& entry) {
        return reinterpret_cast<HGDIOBJ>(entry.second) == object;
    });
}

// ---- Device contexts ----------------------------------------------------------------------------

DeviceContext* Gdi::FindDc(HDC dc) {
    auto it = dcs_.find(ValueOf(dc));
    return it == dcs_.end() ? nullptr : &it->second;
}

HDC Gdi::NewDc(HWND window, bool paint) {
    auto dc = AsHandle<HDC>(NewHandleValue());
    DeviceContext context;
    context.handle = dc;
    context.window = window;
    context.paint = paint;
    dcs_[ValueOf(dc)] = context;
    const Window* w = windows_.Find(window);
    kernel_.Acquire(ValueOf(dc), paint ? HandleKind::PaintDC : HandleKind::WindowDC,
                    paint ? "BeginPaint" : "GetDC",
                    w == nullptr ? std::string("screen") : Utf16ToUtf8(w->windowClass->name));
    return dc;
}

bool Gdi::ReleaseDc(HDC dc, HWND window, bool paint, const char* call) {
    auto it = dcs_.find(ValueOf(dc));
    if (it == dcs_.end() || it->second.paint != paint) {
        kernel_.Release(ValueOf(dc), paint ? HandleKind::PaintDC : HandleKind::WindowDC, call);
        return false;
    }
    if (it->second.window != window) {
        kernel_.Fault(FaultKind::WrongWindow, ValueOf(dc), call, "");
        return false;
    }
    for (HGDIOBJ selected : {it->second.font, it->second.brush}) {
        if (auto object = gdiObjects_.find(ValueOf(selected));
            object != gdiObjects_.end() && object->second.selections > 0) {
            --object->second.selections;
        }
    }
    dcs_.erase(it);
    kernel_.Release(ValueOf(dc), paint ? HandleKind::PaintDC : HandleKind::WindowDC, call);
    return true;
}

const LOGFONTW* Gdi::FontInDc(const DeviceContext& dc) const {
    HGDIOBJ font = dc.font != nullptr ? dc.font : stockFont_;
    auto it = gdiObjects_.find(ValueOf(font));
    return it == gdiObjects_.end() ? nullptr : &it->second.font;
}

HDC Gdi::GetDC(HWND window) {
    if (window != nullptr && windows_.FindOrFail(window) == nullptr) {
        return nullptr;
    }
    return NewDc(window, false);
}

int Gdi::ReleaseDC(HWND window, HDC dc) {
    return ReleaseDc(dc, window, false, "ReleaseDC") ? 1 : 0;
}

int Gdi::GetDeviceCaps(HDC dc, int index) {
    if (FindDc(dc) == nullptr) {
        kernel_.Fault(FaultKind::UseOfReleased, ValueOf(dc), "GetDeviceCaps", "");
        return 0;
    }
    const SimConfig& c = config_;
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

HDC Gdi::BeginPaint(HWND window, PAINTSTRUCT* paint) {
    const Window* w = windows_.FindOrFail(window);
    if (w == nullptr || paint == nullptr) {
        return nullptr;
    }
    std::memset(paint, 0, sizeof *paint);
    auto invalid = invalid_.find(ValueOf(window));
    const bool erase = invalid != invalid_.end() && invalid->second;
    Validate(window);
    HDC dc = NewDc(window, true);
    paint->hdc = dc;
    paint->rcPaint = ClientRectOf(*w);
    if (erase) {
        paint->fErase = messaging_.Send(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0
                            ? TRUE
                            : FALSE;
    }
    return dc;
}

BOOL Gdi::EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (paint != nullptr) {
        ReleaseDc(paint->hdc, window, true, "EndPaint");
    }
    return TRUE;
}

// ---- Objects ------------------------------------------------------------------------------------

HFONT Gdi::CreateFontIndirectW(const LOGFONTW* font) {
    if (font == nullptr) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto handle = AsHandle<HFONT>(NewHandleValue());
    GdiObject object;
    object.kind = GdiObject::Kind::Font;
    object.font = *font;
    object.font.lfFaceName[31] = 0;
    gdiObjects_[ValueOf(handle)] = object;
    kernel_.Acquire(ValueOf(handle), HandleKind::Font, "CreateFontIndirectW",
                    Utf16ToUtf8(object.font.lfFaceName) + " " +
                        std::to_string(object.font.lfHeight));
    return handle;
}

HBRUSH Gdi::CreateSolidBrush(COLORREF color) {
    auto handle = AsHandle<HBRUSH>(NewHandleValue());
    GdiObject object;
    object.kind = GdiObject::Kind::Brush;
    object.color = color;
    gdiObjects_[ValueOf(handle)] = object;
    char detail[16];
    std::snprintf(detail, sizeof detail, "#%06X", static_cast<unsigned>(color));
    kernel_.Acquire(ValueOf(handle), HandleKind::Brush, "CreateSolidBrush", detail);
    return handle;
}

BOOL Gdi::DeleteObject(HGDIOBJ object) {
    if (object == nullptr) {
        return FALSE;
    }
    if (IsStock(object)) {
        return TRUE; // stock objects are never deleted
    }
    auto it = gdiObjects_.find(ValueOf(object));
    if (it == gdiObjects_.end() || it->second.deleted) {
        kernel_.Release(ValueOf(object), {HandleKind::Font, HandleKind::Brush}, "DeleteObject");
        return FALSE;
    }
    if (it->second.selections > 0) {
        kernel_.Fault(FaultKind::DeleteWhileSelected, ValueOf(object), "DeleteObject", "");
        return FALSE;
    }
    kernel_.Release(ValueOf(object), {HandleKind::Font, HandleKind::Brush}, "DeleteObject");
    it->second.deleted = true; // kept, so a test can still read what it was
    return TRUE;
}

HGDIOBJ Gdi::SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* d = FindDc(dc);
    if (d == nullptr) {
        kernel_.Fault(FaultKind::UseOfReleased, ValueOf(dc), "SelectObject", "DC");
        return nullptr;
    }
    auto it = gdiObjects_.find(ValueOf(object));
    if (object == nullptr || it == gdiObjects_.end() || it->second.deleted) {
        kernel_.Fault(FaultKind::UseOfReleased, ValueOf(object), "SelectObject", "object");
        return nullptr;
    }
    const bool font = it->second.kind == GdiObject::Kind::Font;
    HGDIOBJ& slot = font ? d->font : d->brush;
    HGDIOBJ previous = slot != nullptr ? slot : (font ? stockFont_ : stockBrush_);
    if (auto old = gdiObjects_.find(ValueOf(previous));
        old != gdiObjects_.end() && old->second.selections > 0) {
        --old->second.selections;
    }
    slot = object;
    ++it->second.selections;
    return previous;
}

DWORD Gdi::GetSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kSysColors))) {
        return 0;
    }
    return kSysColors[index];
}

// ---- Drawing ------------------------------------------------------------------------------------

// Every drawing call is recorded for the tests, with the DC's window.
PaintOp& Gdi::Draw(PaintOp::Kind kind, const DeviceContext& dc, RECT rect) {
    PaintOp& op = paintOps_.emplace_back();
    op.kind = kind;
    op.window = dc.window;
    op.rect = rect;
    return op;
}

int Gdi::FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* d = FindDc(dc);
    if (d == nullptr || rect == nullptr) {
        if (d == nullptr) {
            kernel_.Fault(FaultKind::UseOfReleased, ValueOf(dc), "FillRect", "DC");
        }
        return 0;
    }
    std::optional<COLORREF> color;
    const auto value = ValueOf(brush);
    if (value > 0 && value <= std::size(kSysColors)) {
        color = GetSysColor(static_cast<int>(value) - 1); // COLOR_x + 1 stands for the system brush
    } else {
        auto it = gdiObjects_.find(value);
        if (it == gdiObjects_.end() || it->second.deleted ||
            it->second.kind != GdiObject::Kind::Brush) {
            kernel_.Fault(FaultKind::UseOfReleased, value, "FillRect", "brush");
            return 0;
        }
        color = it->second.color;
    }
    Draw(PaintOp::Kind::FillRect, *d, *rect).brushColor = color;
    return 1;
}

int Gdi::SetBkMode(HDC dc, int mode) {
    DeviceContext* d = FindDc(dc);
    if (d == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        kernel_.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(d->backgroundMode, mode);
}

COLORREF Gdi::SetBkColor(HDC dc, COLORREF color) {
    DeviceContext* d = FindDc(dc);
    return d == nullptr ? CLR_INVALID : std::exchange(d->backgroundColor, color);
}

COLORREF Gdi::SetTextColor(HDC dc, COLORREF color) {
    DeviceContext* d = FindDc(dc);
    return d == nullptr ? CLR_INVALID : std::exchange(d->textColor, color);
}

int Gdi::DrawTextW(HDC dc, const char16_t* text, int cchText, RECT* rect, UINT format) {
    DeviceContext* d = FindDc(dc);
    if (d == nullptr || text == nullptr || rect == nullptr) {
        if (d == nullptr) {
            kernel_.Fault(FaultKind::UseOfReleased, ValueOf(dc), "DrawTextW", "DC");
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
    const LOGFONTW* font = FontInDc(*d);
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
    PaintOp& op = Draw(PaintOp::Kind::DrawText, *d, *rect);
    op.text = shown;
    op.format = format;
    if (d->font != nullptr) {
        op.font = *font;
    }
    op.textColor = d->textColor;
    op.backgroundMode = d->backgroundMode;
    return height;
}

int Gdi::StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                       int ySrc, int srcWidth, int srcHeight, const void* bits,
                       const BITMAPINFO* info, UINT usage, DWORD rop) {
    (void)xSrc;
    (void)ySrc;
    (void)srcWidth;
    (void)rop;
    DeviceContext* d = FindDc(dc);
    if (d == nullptr) {
        kernel_.Fault(FaultKind::UseOfReleased, ValueOf(dc), "StretchDIBits", "DC");
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
    Draw(PaintOp::Kind::StretchDIBits, *d,
         RECT{xDest, yDest, xDest + destWidth, yDest + destHeight});
    return std::abs(srcHeight);
}

int Gdi::SetStretchBltMode(HDC dc, int mode) {
    DeviceContext* d = FindDc(dc);
    if (d == nullptr || mode < 1 || mode > 4) {
        return 0;
    }
    return std::exchange(d->stretchMode, mode);
}

BOOL Gdi::DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    DeviceContext* d = FindDc(dc);
    if (d == nullptr || rect == nullptr) {
        return FALSE;
    }
    (void)type;
    Draw(PaintOp::Kind::DrawFrameControl, *d, *rect).format = state;
    return TRUE;
}

BOOL Gdi::DrawFocusRect(HDC dc, const RECT* rect) {
    DeviceContext* d = FindDc(dc);
    if (d == nullptr || rect == nullptr) {
        return FALSE;
    }
    Draw(PaintOp::Kind::DrawFocusRect, *d, *rect);
    return TRUE;
}

// ---- Test side ----------------------------------------------------------------------------------

std::optional<LOGFONTW> Gdi::LogFontOf(HFONT font) const {
    auto it = gdiObjects_.find(ValueOf(font));
    if (it == gdiObjects_.end() || it->second.kind != GdiObject::Kind::Font) {
        return std::nullopt;
    }
    return it->second.font;
}

std::optional<COLORREF> Gdi::BrushColorOf(HBRUSH brush) const {
    auto it = gdiObjects_.find(ValueOf(brush));
    if (it == gdiObjects_.end() || it->second.kind != GdiObject::Kind::Brush) {
        return std::nullopt;
    }
    return it->second.color;
}

} // namespace platform::sim
