// The yardstick for Setup.exe's window: the same window written by hand in plain Win32, doing
// what the window needs and nothing more. The same application window, form, eight child
// windows, fonts, icons, picture and texts (read from the package's Setup.ini), built from the
// very resources Setup.exe embeds. On every size change it asks for the work area as Setup.exe
// does (WM_GETMINMAXINFO), and lays the children out in proportion to the client area: one
// MoveWindow without drawing per child that moved and a new font only where a height changed,
// under LockWindowUpdate, then the client area drawn once. bench/startup and bench/resize time
// Setup.exe against it.
//
// Laid out for 96 dots per inch, the density the benchmarks run at; Setup.exe adapts its
// layout to other densities, this program does not.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDesignWidth = 394;
constexpr int kDesignHeight = 385;
constexpr COLORREF kFormColor = RGB(40, 40, 255);
constexpr COLORREF kLabelColor = RGB(255, 255, 255);
constexpr int kFirstId = 100;
constexpr int kGlyphSpacing = 4;

constexpr wchar_t kTimes[] = L"Times New Roman";
constexpr wchar_t kMincho[] = L"\xFF2D\xFF33 \x660E\x671D";                    // MS Mincho
constexpr wchar_t kGothic[] = L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF";        // MS Gothic
constexpr wchar_t kPGothic[] = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF"; // MS PGothic

enum class Kind { Label, Picture, Button };

struct Bounds {
    int left, top, width, height;
    bool operator==(const Bounds&) const = default;
};

struct Child {
    Kind kind;
    int left, top, width, height; // designed, client pixels
    const wchar_t* face;          // null: no font (the picture)
    int points;                   // designed font size, whole points
    bool bold, italic;
    COLORREF color;
    const wchar_t* text;
    const wchar_t* glyph;
    const wchar_t* glyphDisabled;

    HWND window = nullptr;
    HFONT font = nullptr;
    int fontHeight = 0;
    Bounds bounds{}; // as laid out last
    HICON glyphIcon = nullptr, glyphDisabledIcon = nullptr;
    int glyphWidth = 0, glyphHeight = 0;
};

// In creation order, which is Setup.exe's: the labels and the picture, then the buttons in tab
// order. Font sizes are the designed heights (-27, -23, -20 pixels) in points, as the product
// scales them.
Child children[] = {
    {Kind::Label, 88, 32, 265, 31, kTimes, 20, true, true, RGB(192, 192, 192), L"????????", nullptr,
     nullptr},
    {Kind::Picture, 7, 6, 26, 23, nullptr, 0, false, false, 0, L"", nullptr, nullptr},
    {Kind::Label, 70, 105, 292, 26, kTimes, 17, false, false, kLabelColor, L"USB DRIVER SOFTWARE",
     nullptr, nullptr},
    {Kind::Label, 159, 146, 114, 29, kMincho, 15, false, false, kLabelColor, L"????????", nullptr,
     nullptr},
    {Kind::Label, 117, 181, 172, 36, kGothic, 17, false, false, kLabelColor, L"?.??.??", nullptr,
     nullptr},
    {Kind::Label, 77, 245, 241, 28, kPGothic, 15, false, false, kLabelColor,
     L"( for Windows 32bit/64bit )", nullptr, nullptr},
    {Kind::Button, 35, 302, 140, 49, kPGothic, 15, false, false, 0, L"Install", L"GLYPH_INSTALL",
     L"GLYPH_INSTALL_DISABLED"},
    {Kind::Button, 223, 302, 139, 49, kPGothic, 15, false, false, 0, L"Cancel", L"GLYPH_CANCEL",
     L"GLYPH_CANCEL_DISABLED"},
};
constexpr int kTitle = 0, kType = 3, kVersion = 4, kInstall = 6, kCancel = 7;
constexpr int kChildCount = sizeof children / sizeof children[0];

HINSTANCE instance;
HWND form;
HBRUSH formBrush;
const BITMAPINFO* logoInfo;
const void* logoBits;
wchar_t titleText[128], typeText[128], versionText[132];

const unsigned char* Resource(const wchar_t* name, DWORD& size) {
    HRSRC found = FindResourceW(instance, name, MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    size = found != nullptr ? SizeofResource(instance, found) : 0;
    return loaded != nullptr ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
}

unsigned Read16(const unsigned char* p) {
    return p[0] | p[1] << 8;
}
unsigned Read32(const unsigned char* p) {
    return Read16(p) | Read16(p + 2) << 16;
}

// An icon of an .ico file stored as raw data: the image nearest the wanted size (of equal ones
// the one with more colours), at the wanted size, or at its own when none is wanted.
HICON IconFromFile(const wchar_t* name, int wantedWidth, int wantedHeight, int* width = nullptr,
                   int* height = nullptr) {
    DWORD size = 0;
    const unsigned char* file = Resource(name, size);
    if (file == nullptr || size < 6) {
        return nullptr;
    }
    const unsigned count = Read16(file + 4);
    const unsigned char* best = nullptr;
    long bestDistance = 0;
    unsigned bestBits = 0;
    for (unsigned i = 0; i < count && 6 + 16 * (i + 1) <= size; ++i) {
        const unsigned char* entry = file + 6 + 16 * i;
        const int w = entry[0] == 0 ? 256 : entry[0];
        const int h = entry[1] == 0 ? 256 : entry[1];
        const long distance = labs(w - wantedWidth) + labs(h - wantedHeight);
        if (Read32(entry + 8) > size || Read32(entry + 12) > size - Read32(entry + 8)) {
            continue;
        }
        if (best == nullptr || distance < bestDistance ||
            (distance == bestDistance && Read16(entry + 6) > bestBits)) {
            best = entry;
            bestDistance = distance;
            bestBits = Read16(entry + 6);
        }
    }
    if (best == nullptr) {
        return nullptr;
    }
    const int w = wantedWidth > 0 ? wantedWidth : (best[0] == 0 ? 256 : best[0]);
    const int h = wantedHeight > 0 ? wantedHeight : (best[1] == 0 ? 256 : best[1]);
    if (width != nullptr) {
        *width = w;
        *height = h;
    }
    return CreateIconFromResourceEx(const_cast<unsigned char*>(file + Read32(best + 12)),
                                    Read32(best + 8), TRUE, 0x00030000, w, h, LR_DEFAULTCOLOR);
}

// The part of the primary screen the taskbar leaves free, asked for as Setup.exe asks: the
// taskbar's state and rectangle from the shell.
struct WorkArea {
    int width, height;
    int taskbarWidth, taskbarHeight;
    int edge; // 0 top, 1 left, 2 right, 3 bottom
};

WorkArea GetWorkArea() {
    WorkArea area{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 0, 0, 3};
    APPBARDATA data{};
    data.cbSize = sizeof data;
    const bool autoHide = (SHAppBarMessage(ABM_GETSTATE, &data) & ABS_AUTOHIDE) != 0;
    data = APPBARDATA{};
    data.cbSize = sizeof data;
    SHAppBarMessage(ABM_GETTASKBARPOS, &data);
    RECT bar = data.rc;
    bar.left = std::max(bar.left, 0L);
    bar.top = std::max(bar.top, 0L);
    bar.right = std::min(bar.right, static_cast<LONG>(area.width));
    bar.bottom = std::min(bar.bottom, static_cast<LONG>(area.height));
    const bool horizontal = bar.right - bar.left > bar.bottom - bar.top;
    area.edge = horizontal ? (bar.top > 0 ? 3 : 0) : (bar.left > 0 ? 2 : 1);
    area.taskbarWidth = autoHide && !horizontal ? 0 : bar.right - bar.left;
    area.taskbarHeight = autoHide && horizontal ? 0 : bar.bottom - bar.top;
    if (horizontal) {
        area.height -= area.taskbarHeight;
    } else {
        area.width -= area.taskbarWidth;
    }
    return area;
}

void FillMinMaxInfo(MINMAXINFO& info) {
    WorkArea area = GetWorkArea();
    // A negative proposal widens the area by its amount (the frame hanging off-screen).
    if (info.ptMaxSize.x < 0) {
        area.width -= info.ptMaxSize.x;
    }
    if (info.ptMaxSize.y < 0) {
        area.height -= info.ptMaxSize.y;
    }
    info.ptMaxSize = info.ptMaxTrackSize = POINT{area.width, area.height};
    if (area.edge == 0) {
        info.ptMaxPosition.y -= area.taskbarHeight;
    }
    if (area.edge == 1) {
        info.ptMaxPosition.x -= area.taskbarWidth;
    }
}

int Round(double v) {
    return static_cast<int>(v + 0.5);
}
int NotZero(int v) {
    return v == 0 ? 1 : v;
}

// Bounds and fonts in proportion to the client area, as Setup.exe computes them: positions
// and sizes rounded (never 0), font sizes in whole points truncated.
void LayOut(int clientWidth, int clientHeight) {
    const double x = static_cast<double>(clientWidth) / kDesignWidth;
    const double y = static_cast<double>(clientHeight) / kDesignHeight;
    const double f = x <= y ? x : y;
    const bool created = children[0].window != nullptr;
    if (created) {
        LockWindowUpdate(form);
    }
    for (Child& child : children) {
        const Bounds bounds{NotZero(Round(child.left * x)), NotZero(Round(child.top * y)),
                            NotZero(Round(child.width * x)), NotZero(Round(child.height * y))};
        if (child.face != nullptr) {
            const int points = std::max(static_cast<int>(child.points * f), 1);
            const int height = -MulDiv(points, 96, 72);
            if (height != child.fontHeight) {
                HFONT font =
                    CreateFontW(height, 0, 0, 0, child.bold ? FW_BOLD : FW_NORMAL, child.italic,
                                FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, child.face);
                if (child.window != nullptr && child.kind == Kind::Label) {
                    SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
                }
                if (child.font != nullptr) {
                    DeleteObject(child.font);
                }
                child.font = font;
                child.fontHeight = height;
            }
        }
        const bool moved = !(bounds == child.bounds);
        child.bounds = bounds;
        if (child.window == nullptr) {
            continue;
        }
        // Nothing is drawn before every child is in place: the whole client area is drawn
        // once at the end.
        if (moved) {
            MoveWindow(child.window, bounds.left, bounds.top, bounds.width, bounds.height, FALSE);
        }
    }
    if (created) {
        LockWindowUpdate(nullptr);
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

bool IsActiveDefault(HWND button) {
    HWND focus = GetFocus();
    if (focus == button) {
        return true;
    }
    return button == children[kInstall].window && focus != children[kCancel].window;
}

void DrawButton(const Child& child, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT frame = r;
    DrawFrameControl(dc, &frame, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));
    if (IsActiveDefault(item.hwndItem) && !disabled) {
        // The button Enter presses wears a dark edge.
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    HGDIOBJ previous = SelectObject(dc, child.font);
    const UINT prefix = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
    wchar_t caption[32];
    const int length = GetWindowTextW(item.hwndItem, caption, 32);
    RECT extent{0, 0, 0, 0};
    DrawTextW(dc, caption, length, &extent, DT_CALCRECT | DT_SINGLELINE | prefix);
    HICON glyph = disabled ? child.glyphDisabledIcon : child.glyphIcon;
    const int textWidth = extent.right - extent.left;
    const int textHeight = extent.bottom - extent.top;
    const int shift = pushed ? 1 : 0;
    // Glyph and caption are centred together.
    const int left =
        r.left + (r.right - r.left - (child.glyphWidth + kGlyphSpacing + textWidth)) / 2 + shift;
    DrawIconEx(dc, left, r.top + (r.bottom - r.top - child.glyphHeight) / 2 + shift, glyph,
               child.glyphWidth, child.glyphHeight, 0, nullptr, DI_NORMAL);
    RECT text{left + child.glyphWidth + kGlyphSpacing,
              r.top + (r.bottom - r.top - textHeight) / 2 + shift, 0, 0};
    text.right = text.left + textWidth;
    text.bottom = text.top + textHeight;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    DrawTextW(dc, caption, length, &text, DT_SINGLELINE | DT_LEFT | DT_NOCLIP | prefix);
    SelectObject(dc, previous);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
        DrawFocusRect(dc, &focus);
    }
}

Child* ChildOf(HWND window) {
    for (Child& child : children) {
        if (child.window == window) {
            return &child;
        }
    }
    return nullptr;
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETMINMAXINFO:
        if (!IsIconic(window)) {
            FillMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        }
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            LayOut(LOWORD(lParam), HIWORD(lParam));
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        if (const Child* child = ChildOf(reinterpret_cast<HWND>(lParam))) {
            SetTextColor(reinterpret_cast<HDC>(wParam), child->color);
            SetBkColor(reinterpret_cast<HDC>(wParam), kFormColor);
            return reinterpret_cast<LRESULT>(formBrush);
        }
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (const Child* child = ChildOf(item.hwndItem)) {
            DrawButton(*child, item);
            // The other button's edge follows the focus.
            if (item.itemAction == ODA_FOCUS) {
                const Child& other = children[child == &children[kInstall] ? kCancel : kInstall];
                InvalidateRect(other.window, nullptr, FALSE);
            }
            return TRUE;
        }
        break;
    }
    case DM_GETDEFID:
        return MAKELRESULT(kFirstId + kInstall, DC_HASDEFID);
    case WM_COMMAND:
        // Cancel closes; Install would start the installer, which is no part of the window.
        if (LOWORD(wParam) == kFirstId + kCancel && HIWORD(wParam) == BN_CLICKED) {
            DestroyWindow(window);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the stretched picture covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, logoInfo->bmiHeader.biWidth,
                      abs(logoInfo->bmiHeader.biHeight), logoBits, logoInfo, DIB_RGB_COLORS,
                      SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        PostMessageW(form, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Setup.ini (else .setup_ini) of the current folder: the values of $TITLE, $DRV_TYPE and
// $DRV_VERSION up to $END. False when neither file opens or $END is missing.
bool ReadSetupFile() {
    HANDLE file = CreateFileW(L"Setup.ini", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        file = CreateFileW(L".setup_ini", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    char data[4096];
    DWORD size = 0;
    const BOOL read = ReadFile(file, data, sizeof data - 1, &size, nullptr);
    CloseHandle(file);
    if (!read) {
        return false;
    }
    data[size] = '\0';
    for (char* line = data; *line != '\0';) {
        char* end = line;
        while (*end != '\0' && *end != '\n') {
            ++end;
        }
        const char next = *end;
        *end = '\0';
        while (*line == ' ' || *line == '\t') {
            ++line;
        }
        if (strncmp(line, "$END", 4) == 0) {
            return true;
        }
        wchar_t* target = strncmp(line, "$TITLE", 6) == 0          ? titleText
                          : strncmp(line, "$DRV_TYPE", 9) == 0     ? typeText
                          : strncmp(line, "$DRV_VERSION", 12) == 0 ? versionText + 4
                                                                   : nullptr;
        char* open = target != nullptr ? strchr(line, '"') : nullptr;
        char* close = open != nullptr ? strchr(open + 1, '"') : nullptr;
        if (close != nullptr) {
            const int units = MultiByteToWideChar(CP_ACP, 0, open + 1,
                                                  static_cast<int>(close - open - 1), target, 127);
            target[units] = L'\0';
            if (target == versionText + 4) {
                memcpy(versionText, L"Ver.", 4 * sizeof(wchar_t));
                children[kVersion].text = versionText;
            } else {
                children[target == titleText ? kTitle : kType].text = target;
            }
        }
        line = next == '\0' ? end : end + 1;
    }
    return false;
}

ATOM Register(const wchar_t* name, WNDPROC procedure, HCURSOR cursor, HBRUSH background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass);
}

} // namespace

int WINAPI wWinMain(HINSTANCE self, HINSTANCE, PWSTR, int) {
    instance = self;
    // The same protections as Setup.exe: DLLs from the system folder only.
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetDllDirectoryW(L"");
    }
    SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);

    if (!ReadSetupFile()) {
        MessageBoxW(nullptr, L"Can not open the setup file ('Setup.ini' or '.setup_ini')", L"ERROR",
                    MB_ICONEXCLAMATION);
        return 1;
    }
    if (GetUserDefaultLCID() == 1041) {
        children[kInstall].text = L"\x30A4\x30F3\x30B9\x30C8\x30FC\x30EB";
        children[kCancel].text = L"\x4E2D\x6B62";
    }

    HCURSOR arrow = static_cast<HCURSOR>(
        LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    formBrush = CreateSolidBrush(kFormColor);
    if (!Register(L"SameWindowApplication", ApplicationProc, arrow, nullptr) ||
        !Register(L"SameWindowForm", FormProc, arrow, formBrush) ||
        !Register(L"SameWindowPicture", PictureProc, arrow, nullptr)) {
        return 1;
    }

    // The hidden application window with the launcher icon, as Setup.exe has.
    HWND application =
        CreateWindowExW(0, L"SameWindowApplication", L"Setup",
                        WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                        0, 0, nullptr, nullptr, instance, nullptr);
    if (application == nullptr) {
        return 1;
    }
    HANDLE launcherIcon =
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR);
    SendMessageW(application, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(launcherIcon));

    HICON bigIcon =
        IconFromFile(L"FORMICON", GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    HICON smallIcon =
        IconFromFile(L"FORMICON", GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    DWORD logoSize = 0;
    const unsigned char* logo = Resource(L"LOGO", logoSize);
    if (logo == nullptr || logoSize < 54 || logo[0] != 'B' || logo[1] != 'M' ||
        Read32(logo + 10) >= logoSize) {
        return 1;
    }
    logoInfo = reinterpret_cast<const BITMAPINFO*>(logo + 14);
    logoBits = logo + Read32(logo + 10);
    for (Child& child : children) {
        if (child.kind == Kind::Button) {
            child.glyphIcon =
                IconFromFile(child.glyph, 0, 0, &child.glyphWidth, &child.glyphHeight);
            child.glyphDisabledIcon = IconFromFile(child.glyphDisabled, 0, 0);
            if (child.glyphIcon == nullptr || child.glyphDisabledIcon == nullptr) {
                return 1;
            }
        }
    }

    // Where Setup.exe shows its window: centred at the designed size, then one pixel larger
    // each way and kept inside the work area.
    const DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU;
    const DWORD exStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
    RECT frame{0, 0, kDesignWidth, kDesignHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int designedWidth = frame.right - frame.left;
    const int designedHeight = frame.bottom - frame.top;
    const WorkArea area = GetWorkArea();
    const int width = std::min(designedWidth + 1, area.width);
    const int height = std::min(designedHeight + 1, area.height);
    int left = std::max((GetSystemMetrics(SM_CXSCREEN) - designedWidth) / 2, 0);
    int top = std::max((GetSystemMetrics(SM_CYSCREEN) - designedHeight) / 2, 0);
    left = std::max(left + width > area.width ? area.width - width : left, 0);
    top = std::max(top + height > area.height ? area.height - height : top, 0);

    form = CreateWindowExW(exStyle, L"SameWindowForm", L"Setup (" SETUP_VERSION ")", style, left,
                           top, width, height, nullptr, nullptr, instance, nullptr);
    if (form == nullptr) {
        return 1;
    }
    SendMessageW(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    // Laid out already if the form had its WM_SIZE while it was made; each child starts at
    // its bounds.
    RECT client{};
    GetClientRect(form, &client);
    LayOut(client.right, client.bottom);
    for (int i = 0; i < kChildCount; ++i) {
        Child& child = children[i];
        const wchar_t* windowClass = child.kind == Kind::Label     ? L"STATIC"
                                     : child.kind == Kind::Picture ? L"SameWindowPicture"
                                                                   : L"BUTTON";
        const DWORD childStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE |
                                 (child.kind == Kind::Label    ? SS_LEFTNOWORDWRAP
                                  : child.kind == Kind::Button ? BS_OWNERDRAW | WS_TABSTOP
                                                               : 0);
        child.window = CreateWindowExW(
            0, windowClass, child.text, childStyle, child.bounds.left, child.bounds.top,
            child.bounds.width, child.bounds.height, form,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)), instance, nullptr);
        if (child.window == nullptr) {
            return 1;
        }
        if (child.kind == Kind::Label) {
            SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(child.font), FALSE);
        }
    }

    ShowWindow(form, SW_SHOWNORMAL);
    SetFocus(children[kInstall].window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(form, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DestroyWindow(application);
    return 0;
}
