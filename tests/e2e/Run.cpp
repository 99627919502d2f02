#include "Run.h"

#include "Input.h"
#include "Launcher.h"
#include "Output.h"
#include "Pixels.h"
#include "WinUtil.h"
#include "WindowFacts.h"

#include <optional>
#include <vector>

namespace e2e {

namespace {

class Run {
public:
    explicit Run(const Options& o) : o_(o), s_(*o.scenario) {}

    void Go() {
        CheckEnvironment();
        switch (s_.flow) {
        case Flow::Cancel:
        case Flow::CloseBox:
        case Flow::AltF4:
        case Flow::Escape:
            CloseFlow();
            break;
        case Flow::Install:
        case Flow::Enter:
            InstallFlow();
            break;
        case Flow::InstallerMissing:
            InstallerMissingFlow();
            break;
        case Flow::BoxThenClose:
            BoxThenCloseFlow();
            break;
        case Flow::Resize:
            ResizeFlow();
            break;
        }
    }

private:
    std::wstring Work(const wchar_t* name) const { return o_.work + L"\\" + name; }
    std::wstring Shot(const wchar_t* suffix) const {
        return o_.shots + L"\\" + Wide(s_.name) + L"." + suffix + L".bmp";
    }

    void CheckEnvironment() {
        const LCID lcid = GetUserDefaultLCID();
        if (s_.lang == Lang::Japanese)
            Check(lcid == 1041, L"user locale is Japanese (1041)",
                  L"it is " + Num(lcid) + L": run with LC_ALL=ja_JP.UTF-8");
        else
            Check(lcid != 1041, L"user locale is not Japanese (" + Num(lcid) + L")",
                  L"run with LC_ALL=C.UTF-8");
        if (o_.dpi != 0) {
            HDC screen = GetDC(nullptr);
            const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
            ReleaseDC(nullptr, screen);
            Check(dpi == o_.dpi, L"screen density " + Num(o_.dpi) + L" dpi", L"it is " + Num(dpi));
        }
    }

    // The facts of a freshly shown window; remembers the controls for the clicks.
    void CheckWindow(Launcher& launcher, HWND form) {
        Check(Text(form) == L"Setup (1.0.3)", L"caption \"Setup (1.0.3)\"",
              L"it is " + Quote(Text(form)));
        Check(!IsIconic(form) && !IsZoomed(form), L"window neither minimised nor maximised");
        RECT client;
        GetClientRect(form, &client);
        Check(client.right == o_.client_width && client.bottom == o_.client_height,
              L"client area " + Num(o_.client_width) + L" x " + Num(o_.client_height),
              L"it is " + Num(client.right) + L" x " + Num(client.bottom));
        CheckControls(form, o_.client_width, o_.client_height);
        CheckFonts(launcher, form, o_.client_width, o_.client_height);
        launcher.RefuseBox(L"with the window open");
    }

    // Every control where the expected layout puts it for the client size, with its text.
    void CheckControls(HWND form, int client_width, int client_height) {
        const IniFile ini = IniFor(s_.ini);
        const bool ja = s_.lang == Lang::Japanese;
        const wchar_t* texts[kControlCount] = {ini.title,
                                               nullptr,
                                               L"USB DRIVER SOFTWARE",
                                               ini.type,
                                               ini.version,
                                               L"( for Windows 32bit/64bit )",
                                               ja ? L"インストール" : L"Install",
                                               ja ? L"中止" : L"Cancel"};

        const std::vector<HWND> children = Children(form);
        std::wstring listing;
        for (HWND child : children)
            listing += L" " + ClassOf(child) + Show(RectIn(child, form)) + Quote(Text(child));
        Check(children.size() == kControlCount, L"eight child controls",
              Num(static_cast<long long>(children.size())) + L":" + listing);

        const int dpi = o_.dpi != 0 ? o_.dpi : kDesignDpi;
        const ExpectedLayout& layout = ExpectedFor(dpi, client_width, client_height);
        for (int i = 0; i < kControlCount; ++i) {
            const std::wstring name = Wide(kControlNames[i]);
            const Rect expected = layout.controls[i];
            HWND match = nullptr;
            for (HWND child : children)
                if (RectIn(child, form) == expected)
                    match = child;
            if (!match)
                Fail(name + L": no control at " + Show(expected) + L"; controls:" + listing);
            if (!IsWindowVisible(match))
                Fail(name + L" is not visible");
            controls_[i] = match;
            const std::wstring what = name + L" at " + Show(expected);
            if (texts[i]) {
                const std::wstring text = Text(match);
                Check(text == texts[i], what + L" reads " + Quote(texts[i]),
                      L"it reads " + Quote(text));
            } else {
                Say(L"ok: " + what);
            }
        }
    }

    // Each text control's font, read inside the launcher: the description's height adapted to
    // the density and rescaled with the window.
    void CheckFonts(Launcher& launcher, HWND form, int client_width, int client_height) {
        const int dpi = o_.dpi != 0 ? o_.dpi : kDesignDpi;
        const ExpectedLayout& layout = ExpectedFor(dpi, client_width, client_height);
        const auto heights = launcher.FontHeights(form);
        for (int i = 0; i < kControlCount; ++i) {
            const int expected = layout.font_heights[i];
            if (expected == 0)
                continue;
            std::optional<int> got;
            for (const auto& [window, height] : heights)
                if (window == controls_[i])
                    got = height;
            const int points = MulDiv(-expected, 72, dpi);
            Check(got && *got == expected,
                  Wide(kControlNames[i]) + L" font height " + Num(expected) + L" (" + Num(points) +
                      L" points at " + Num(dpi) + L" dpi)",
                  got ? L"it is " + Num(*got) : std::wstring(L"it has no font"));
        }
    }

    HWND StartAndCheckWindow(Launcher& launcher) {
        HWND form = launcher.WaitForMainWindow();
        Say(L"window shown");
        Settle(form);
        CheckWindow(launcher, form);
        // Give the window a moment to paint before the picture is taken.
        Sleep(200);
        TakeShot(form, L"window");
        return form;
    }

    void TakeShot(HWND window, const wchar_t* suffix) { SaveWindowShot(window, Shot(suffix)); }

    void ExpectExitZero(const Launcher& launcher, const std::wstring& after) {
        const DWORD code = launcher.WaitForExit(after);
        Check(code == 0, L"launcher ended with exit status 0", L"it was " + Num(code));
    }

    void CloseFlow() {
        Launcher launcher(o_.setup_exe, o_.package, Work(L"window-log.txt"));
        HWND form = StartAndCheckWindow(launcher);
        switch (s_.flow) {
        case Flow::CloseBox:
            if (!PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0))
                Fail(L"cannot post SC_CLOSE");
            Say(L"close box (WM_SYSCOMMAND SC_CLOSE)");
            break;
        case Flow::AltF4:
            SendKeys(form, {{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
            Say(L"Alt+F4 pressed");
            break;
        case Flow::Escape: {
            SendKeys(form, {{VK_ESCAPE, false}, {VK_ESCAPE, true}});
            Say(L"Escape pressed");
            const DWORD start = GetTickCount();
            while (GetTickCount() - start < 1000) {
                if (!launcher.Running())
                    Fail(L"Escape ended the launcher");
                launcher.RefuseBox(L"after Escape");
                if (!IsWindowVisible(form) || IsIconic(form))
                    Fail(L"Escape hid or minimised the window");
                Sleep(kPollMs);
            }
            Say(L"ok: window still open 1 s after Escape");
            Click(controls_[kBtnCancel]);
            Say(L"Cancel clicked");
            break;
        }
        default:
            Click(controls_[kBtnCancel]);
            Say(L"Cancel clicked");
            break;
        }
        ExpectExitZero(launcher, L"after closing");
    }

    // The controls follow the client area in both directions, each axis by its own factor.
    void ResizeFlow() {
        Launcher launcher(o_.setup_exe, o_.package, Work(L"window-log.txt"));
        HWND form = StartAndCheckWindow(launcher);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE));
        const DWORD ex_style = static_cast<DWORD>(GetWindowLongW(form, GWL_EXSTYLE));
        const struct {
            int width, height;
            const wchar_t* name;
        } sizes[] = {{o_.client_width * 3 / 2, o_.client_height, L"wider"},
                     {300, 500, L"narrow"},
                     {591, 520, L"larger"}};
        for (const auto& size : sizes) {
            RECT outer{0, 0, size.width, size.height};
            AdjustWindowRectEx(&outer, style, FALSE, ex_style);
            // Handled by the launcher's thread before the call returns.
            if (!SetWindowPos(form, nullptr, 0, 0, outer.right - outer.left,
                              outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
                Fail(L"SetWindowPos failed, error " + Num(GetLastError()));
            RECT client;
            GetClientRect(form, &client);
            Check(client.right == size.width && client.bottom == size.height,
                  L"client area resized to " + Num(size.width) + L" x " + Num(size.height),
                  L"it is " + Num(client.right) + L" x " + Num(client.bottom));
            CheckControls(form, size.width, size.height);
            Sleep(200);
            TakeShot(form, size.name);
            launcher.RefuseBox(L"after resizing");
        }

        // Maximised: inside the work area, the controls in proportion to the maximised client.
        ShowWindow(form, SW_MAXIMIZE);
        Sleep(200);
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT client;
        GetClientRect(form, &client);
        POINT corners[2] = {{0, 0}, {client.right, client.bottom}};
        MapWindowPoints(form, nullptr, corners, 2);
        Check(IsZoomed(form), L"window maximised");
        Check(corners[0].x >= work.left && corners[0].y >= work.top && corners[1].x <= work.right &&
                  corners[1].y <= work.bottom,
              L"maximised client inside the work area " +
                  Show(Rect{work.left, work.top, work.right - work.left, work.bottom - work.top}),
              L"it spans " + Num(corners[0].x) + L"," + Num(corners[0].y) + L" to " +
                  Num(corners[1].x) + L"," + Num(corners[1].y));
        CheckControls(form, client.right, client.bottom);
        TakeShot(form, L"maximised");
        ShowWindow(form, SW_RESTORE);
        Sleep(200);
        GetClientRect(form, &client);
        CheckControls(form, client.right, client.bottom);
        TakeShot(form, L"restored");

        // Minimise then restore: every control exactly where it was.
        std::vector<Rect> before;
        for (HWND control : controls_)
            before.push_back(RectIn(control, form));
        ShowWindow(form, SW_MINIMIZE);
        Sleep(200);
        Check(IsIconic(form), L"window minimised");
        ShowWindow(form, SW_RESTORE);
        Sleep(200);
        std::vector<Rect> after;
        for (HWND control : controls_)
            after.push_back(RectIn(control, form));
        Check(after == before, L"minimise and restore give back every control's rectangle");
        TakeShot(form, L"minimise-restored");
        Click(controls_[kBtnCancel]);
        Say(L"Cancel clicked");
        ExpectExitZero(launcher, L"after closing");
    }

    void CheckBox(Launcher& launcher, HWND box, const BoxFact& fact) {
        const std::wstring caption = Text(box);
        HWND text_item = GetDlgItem(box, 0xFFFF);
        if (!text_item)
            Fail(L"the message box has no text item (id 0xFFFF)");
        const std::wstring text = Text(text_item);
        Check(text == fact.text, L"message box text " + Quote(fact.text), L"it is " + Quote(text));
        Check(caption == fact.caption, L"message box caption " + Quote(fact.caption),
              L"it is " + Quote(caption));
        const Icon icon = BoxIcon(box);
        Check(icon == fact.icon, L"message box icon " + IconName(fact.icon),
              L"it looks like " + IconName(icon));
        TakeShot(box, L"box");
        HWND ok = GetDlgItem(box, IDOK);
        if (!ok)
            Fail(L"the message box has no OK button");
        Click(ok);
        launcher.Dismiss(box);
        Say(L"OK clicked");
    }

    static std::vector<WatchEvent> For(const std::vector<WatchEvent>& events, HWND window) {
        std::vector<WatchEvent> out;
        for (const WatchEvent& e : events)
            if (e.window == HandleValue(window))
                out.push_back(e);
        return out;
    }

    void BoxThenCloseFlow() {
        Launcher launcher(o_.setup_exe, o_.package, Work(L"window-log.txt"));
        HWND box = launcher.WaitForBox(false);
        Say(L"ok: message box shown before the main window");
        CheckBox(launcher, box, s_.box);
        ExpectExitZero(launcher, L"after the message box");

        // From the window log: the box came first, then the main window showed and closed.
        const std::vector<WatchEvent> events = launcher.WatchLog();
        size_t i = 0;
        while (i < events.size() && !events[i].visible)
            ++i;
        Check(i < events.size() && events[i].box, L"window log: the first window shown is the box");
        bool shown = false, closed = false;
        unsigned long long main_window = 0;
        for (++i; i < events.size(); ++i) {
            if (events[i].box)
                continue;
            if (events[i].visible && !shown) {
                shown = true;
                main_window = events[i].window;
            } else if (shown && events[i].window == main_window && !events[i].visible) {
                closed = true;
            }
        }
        Check(shown, L"window log: the main window showed after the box");
        Check(closed, L"window log: the main window closed by itself");
    }

    struct StubRecord {
        int records = 0;
        std::wstring cwd, cmdline, argc, time, exit, error;
    };

    StubRecord ReadStubRecord() const {
        StubRecord r;
        const std::wstring text = Wide(ReadFileBytes(Work(L"stub-record.txt")));
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find(L'\n', pos);
            if (end == std::wstring::npos)
                break;
            const std::wstring line = text.substr(pos, end - pos);
            pos = end + 1;
            const size_t eq = line.find(L'=');
            if (eq == std::wstring::npos)
                continue;
            const std::wstring key = line.substr(0, eq), value = line.substr(eq + 1);
            if (key == L"cwd") {
                ++r.records;
                r.cwd = value;
            } else if (key == L"cmdline") {
                r.cmdline = value;
            } else if (key == L"argc") {
                r.argc = value;
            } else if (key == L"time") {
                r.time = value;
            } else if (key == L"exit") {
                r.exit = value;
            } else if (key == L"error") {
                r.error = value;
            }
        }
        return r;
    }

    void InstallFlow() {
        const std::wstring event_name = L"Local\\setup-e2e-stub-" + Num(GetCurrentProcessId());
        Handle release(CreateEventW(nullptr, TRUE, FALSE, event_name.c_str()));
        if (!release.get())
            Fail(L"cannot create the stub's event");
        // Passed on to the stub through the launcher's environment.
        SetEnvironmentVariableW(L"SETUP_STUB_WAIT_EVENT", event_name.c_str());
        SetEnvironmentVariableW(L"SETUP_STUB_RECORD", Work(L"stub-record.txt").c_str());
        SetEnvironmentVariableW(L"SETUP_STUB_EXIT_CODE", Num(s_.stub_exit).c_str());
        RemoveIfThere(Work(L"stub-record.txt"));

        struct ReleaseOnExit {
            HANDLE event;
            ~ReleaseOnExit() { SetEvent(event); } // never leave a stub waiting
        } release_guard{release.get()};

        Launcher launcher(o_.setup_exe, o_.package, Work(L"window-log.txt"));
        HWND form = StartAndCheckWindow(launcher);
        if (s_.flow == Flow::Enter) {
            SendKeys(form, {{VK_RETURN, false}, {VK_RETURN, true}});
            Say(L"Enter pressed");
        } else {
            Click(controls_[kBtnInstall]);
            Say(L"Install clicked");
        }

        // The stub writes its record in one piece, so a time stamp means the record is complete.
        const DWORD start = GetTickCount();
        while (ReadStubRecord().time.empty()) {
            if (!launcher.Running())
                Fail(L"the launcher ended before the installer started");
            launcher.RefuseBox(L"after Install");
            if (GetTickCount() - start > kWaitMs)
                Fail(L"the installer did not start within 10 s");
            Sleep(kPollMs);
        }
        StubRecord record = ReadStubRecord();
        Check(record.error.empty(), L"installer stub ran without trouble", record.error);
        Check(record.records == 1, L"installer started once",
              L"started " + Num(record.records) + L" times");
        // The installer by its full path in the package folder, quoted, with nothing after it.
        const std::wstring expected = L"\"" + o_.package + L"\\" + InstallerPath() + L"\"";
        Check(SamePath(record.cmdline, expected), L"installer command line " + Quote(expected),
              L"it is " + Quote(record.cmdline));
        Check(record.argc == L"1", L"installer got no arguments (argc 1)", L"argc " + record.argc);
        Check(SamePath(record.cwd, FullPath(o_.package)),
              L"installer's current directory is the package folder",
              L"it is " + Quote(record.cwd));

        Check(launcher.Running(), L"launcher waits while the installer runs");
        Check(IsWindowVisible(form) && IsIconic(form),
              L"window minimised while the installer runs");
        TakeShot(GetDesktopWindow(), L"desktop-waiting");
        const size_t events_before_release = For(launcher.WatchLog(), form).size();
        SetEvent(release.get());
        Say(L"installer released (exit code " + Num(s_.stub_exit) + L")");
        ExpectExitZero(launcher, L"after the installer ended");

        record = ReadStubRecord();
        Check(record.exit == Num(s_.stub_exit),
              L"installer ended with exit code " + Num(s_.stub_exit),
              L"its record says " + Quote(record.exit));
        const std::vector<WatchEvent> events = For(launcher.WatchLog(), form);
        bool restored = false;
        for (size_t i = events_before_release; i < events.size(); ++i)
            if (events[i].visible && !events[i].iconic)
                restored = true;
        Check(restored, L"window log: window restored after the installer ended");
    }

    void InstallerMissingFlow() {
        SetEnvironmentVariableW(L"SETUP_STUB_RECORD", Work(L"stub-record.txt").c_str());
        SetEnvironmentVariableW(L"SETUP_STUB_WAIT_EVENT", nullptr);
        RemoveIfThere(Work(L"stub-record.txt"));
        const std::wstring installer = InstallerPath();
        std::wstring exe = o_.setup_exe, dir = o_.package;
        switch (s_.planted) {
        case Planted::Nowhere:
            Check(!FileExists(o_.package + L"\\" + installer), installer + L" is missing");
            break;
        case Planted::OnPath: {
            const std::wstring folder = OnPathFolder(o_.package);
            Check(!FileExists(o_.package + L"\\Drivers"), L"the package has no Drivers folder");
            Check(!FileExists(exe.substr(0, exe.find_last_of(L'\\')) + L"\\Drivers"),
                  L"nor has the launcher's own folder");
            Check(FileExists(folder + L"\\" + installer),
                  L"the installer lies in " + Quote(folder));
            wchar_t path[32768] = {};
            const DWORD length = GetEnvironmentVariableW(L"PATH", path, 32768);
            const std::wstring searched =
                std::wstring(path, length < 32768 ? length : 0) + L";" + folder;
            if (!SetEnvironmentVariableW(L"PATH", searched.c_str()))
                Fail(L"cannot set PATH");
            Say(L"ok: that folder is on the launcher's PATH");
            break;
        }
        case Planted::BesideLauncher:
            // The package's own Setup.exe, started from a folder with a setup file and no
            // installer.
            exe = o_.package + L"\\Setup.exe";
            dir = Work(L"elsewhere");
            if (!CreateDirectoryW(dir.c_str(), nullptr) ||
                !CopyFileW((o_.package + L"\\Setup.ini").c_str(), (dir + L"\\Setup.ini").c_str(),
                           TRUE))
                Fail(L"cannot make " + Quote(dir) + L" with the package's Setup.ini");
            Check(FileExists(o_.package + L"\\" + installer),
                  installer + L" lies beside the launcher");
            Check(!FileExists(dir + L"\\Drivers"),
                  L"the current folder " + Quote(dir) + L" has no Drivers folder");
            break;
        }

        Launcher launcher(exe, dir, Work(L"window-log.txt"));
        HWND form = StartAndCheckWindow(launcher);
        Click(controls_[kBtnInstall]);
        Say(L"Install clicked");
        HWND box = launcher.WaitForBox(true);
        Check(IsWindowVisible(form) && !IsIconic(form),
              L"window restored when the message box shows");
        const std::vector<WatchEvent> before_box = For(launcher.WatchLog(), form);
        bool minimised = false;
        for (const WatchEvent& e : before_box)
            minimised = minimised || e.iconic;
        Check(minimised, L"window log: window was minimised for the start");
        CheckBox(launcher, box, s_.box);
        ExpectExitZero(launcher, L"after the message box (no second message)");
        Check(!FileExists(Work(L"stub-record.txt")), L"no installer was started");
    }

    const Options& o_;
    const Scenario& s_;
    HWND controls_[kControlCount] = {};
};

} // namespace

void RunScenario(const Options& o) {
    Run(o).Go();
}

} // namespace e2e
