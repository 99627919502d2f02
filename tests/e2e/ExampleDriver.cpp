// Drives the example program (examples/resizing-form) under Wine:
//
//   example-driver EXAMPLE_EXE OUTPUT_DIR --dpi=N [--work=DIR]
//       starts EXAMPLE_EXE, checks every control's rectangle and font as first shown and at
//       two client sizes, checks the size limits, closes it with its button, and ends with
//       "PASS" (exit 0) or "FAIL: reason" (exit 1). Screenshots go to OUTPUT_DIR as
//       resizing-form-<N>dpi.<what>.bmp; the window log goes to DIR (default OUTPUT_DIR).
//
// The expectations are the literal table in ExampleFacts.cpp.

#include <windows.h>

#include "ExampleFacts.h"
#include "Input.h"
#include "Launcher.h"
#include "Output.h"
#include "Pixels.h"
#include "WinUtil.h"

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

using namespace e2e;
using namespace e2e::example;

namespace {

struct Options {
    std::wstring exe, shots, work;
    int dpi = 0;
};

class ExampleRun {
public:
    explicit ExampleRun(const Options& o) : o_(o) {}

    void Go() {
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        Check(dpi == o_.dpi, L"screen density " + Num(o_.dpi) + L" dpi", L"it is " + Num(dpi));

        const std::wstring folder = o_.exe.substr(0, o_.exe.find_last_of(L'\\'));
        Launcher launcher(o_.exe, folder, o_.work + L"\\window-log.txt");
        form_ = launcher.WaitForMainWindow();
        Settle(form_);
        Check(Text(form_) == L"Resizing form", L"caption \"Resizing form\"",
              L"it is " + Quote(Text(form_)));
        CheckClient(kFirstClientWidth, kFirstClientHeight);
        CheckLayout(launcher, kFirstClientWidth, kFirstClientHeight);

        const struct {
            int width, height;
            const wchar_t* name;
        } sizes[] = {{640, 480, L"larger"}, {432, 336, L"smaller"}};
        for (const auto& size : sizes) {
            Resize(size.width, size.height);
            CheckLayout(launcher, size.width, size.height);
            Sleep(200); // painted before the picture is taken
            Shoot(size.name);
            launcher.RefuseBox(L"after resizing");
        }
        CheckLimits();

        Click(controls_[kBtnClose]);
        Say(L"Close clicked");
        const DWORD code = launcher.WaitForExit(L"after closing");
        Check(code == 0, L"ended with exit status 0", L"it was " + Num(code));
    }

private:
    void Shoot(const wchar_t* what) {
        SaveWindowShot(form_,
                       o_.shots + L"\\resizing-form-" + Num(o_.dpi) + L"dpi." + what + L".bmp");
    }

    void CheckClient(int width, int height) {
        RECT client;
        GetClientRect(form_, &client);
        Check(client.right == width && client.bottom == height,
              L"client area " + Num(width) + L" x " + Num(height),
              L"it is " + Num(client.right) + L" x " + Num(client.bottom));
    }

    void Resize(int width, int height) {
        const DWORD style = static_cast<DWORD>(GetWindowLongW(form_, GWL_STYLE));
        const DWORD ex_style = static_cast<DWORD>(GetWindowLongW(form_, GWL_EXSTYLE));
        RECT outer{0, 0, width, height};
        AdjustWindowRectEx(&outer, style, FALSE, ex_style);
        // Handled by the program's thread before the call returns.
        if (!SetWindowPos(form_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
            Fail(L"SetWindowPos failed, error " + Num(GetLastError()));
        CheckClient(width, height);
    }

    // Every control where the table puts it, found among its parent's children by its
    // rectangle, with its text and its font.
    void CheckLayout(Launcher& launcher, int width, int height) {
        const ExpectedLayout& layout = ExpectedFor(o_.dpi, width, height);
        std::optional<std::vector<std::pair<HWND, int>>> form_fonts, frame_fonts;
        for (int i = 0; i < kControlCount; ++i) {
            const ControlFact& fact = kControls[i];
            const ExpectedControl& expected = layout.controls[i];
            const HWND parent = fact.parent == kControlCount ? form_ : controls_[fact.parent];
            const std::wstring name = Wide(fact.name);
            std::wstring listing;
            HWND match = nullptr;
            for (HWND child : Children(parent)) {
                listing += L" " + ClassOf(child) + Show(RectIn(child, parent));
                if (RectIn(child, parent) == expected.rect)
                    match = child;
            }
            if (!match)
                Fail(name + L": no control at " + Show(expected.rect) + L"; there are:" + listing);
            controls_[i] = match;
            const std::wstring what = name + L" at " + Show(expected.rect);
            if (fact.text) {
                const std::wstring text = Text(match);
                Check(text == fact.text, what + L" reads " + Quote(fact.text),
                      L"it reads " + Quote(text));
            } else {
                Say(L"ok: " + what);
            }
            if (expected.font_height == 0)
                continue; // shows no text
            // A font handle is private to its process: read inside the program.
            auto& fonts = parent == form_ ? form_fonts : frame_fonts;
            if (!fonts)
                fonts = launcher.FontHeights(parent);
            std::optional<int> got;
            for (const auto& [window, font_height] : *fonts)
                if (window == match)
                    got = font_height;
            Check(got && *got == expected.font_height,
                  name + L" font height " + Num(expected.font_height),
                  got ? L"it is " + Num(*got) : std::wstring(L"it has no font"));
        }
    }

    // Dragging a border asks the window with WM_SIZING; the answer keeps the outer size
    // within the limits, moving only the right and bottom edges.
    void CheckLimits() {
        RECT window;
        GetWindowRect(form_, &window);
        const struct {
            int width, height, expected_width, expected_height;
        } drags[] = {{200, 150, kMinWidth, kMinHeight}, {2000, 1500, kMaxWidth, kMaxHeight}};
        for (const auto& drag : drags) {
            RECT r{window.left, window.top, window.left + drag.width, window.top + drag.height};
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutW(form_, WM_SIZING, WMSZ_BOTTOMRIGHT,
                                     reinterpret_cast<LPARAM>(&r), SMTO_ABORTIFHUNG, 2000,
                                     &ignored))
                Fail(L"the program does not answer WM_SIZING");
            Check(r.left == window.left && r.top == window.top &&
                      r.right - r.left == drag.expected_width &&
                      r.bottom - r.top == drag.expected_height,
                  L"dragged to " + Num(drag.width) + L" x " + Num(drag.height) + L", held at " +
                      Num(drag.expected_width) + L" x " + Num(drag.expected_height),
                  L"it answers " + Num(r.left) + L"," + Num(r.top) + L" " + Num(r.right - r.left) +
                      L" x " + Num(r.bottom - r.top));
        }
        // Maximised: the largest size allowed, which the test screen has room for.
        ShowWindow(form_, SW_MAXIMIZE);
        Sleep(200);
        GetWindowRect(form_, &window);
        Check(IsZoomed(form_) && window.right - window.left == kMaxWidth &&
                  window.bottom - window.top == kMaxHeight,
              L"maximised to " + Num(kMaxWidth) + L" x " + Num(kMaxHeight),
              L"it is " + Num(window.right - window.left) + L" x " +
                  Num(window.bottom - window.top));
        Shoot(L"maximised");
        ShowWindow(form_, SW_RESTORE);
        Sleep(200);
    }

    const Options& o_;
    HWND form_ = nullptr;
    HWND controls_[kControlCount] = {};
};

int Usage() {
    Say(L"usage: example-driver EXAMPLE_EXE OUTPUT_DIR --dpi=N [--work=DIR]");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Physical pixels everywhere, whatever the density.
    SetProcessDPIAware();
    std::vector<std::wstring> args(argv + 1, argv + argc);
    try {
        if (args.size() < 3)
            return Usage();
        Options o;
        o.exe = FullPath(args[0]);
        o.shots = FullPath(args[1]);
        o.work = o.shots;
        for (size_t i = 2; i < args.size(); ++i) {
            const std::wstring& a = args[i];
            if (a.rfind(L"--dpi=", 0) == 0)
                o.dpi = std::wcstol(a.c_str() + 6, nullptr, 10);
            else if (a.rfind(L"--work=", 0) == 0)
                o.work = FullPath(a.substr(7));
            else
                return Usage();
        }
        if (o.dpi <= 0)
            return Usage();
        Say(L"example program (" + Num(sizeof(void*) * 8) + L"-bit driver)");
        ExampleRun(o).Go();
        Say(L"PASS");
        return 0;
    } catch (const Failure& f) {
        Say(L"FAIL: " + f.reason);
        return 1;
    }
}
