// Drives the real Setup.exe under Wine through one end-to-end scenario.
//
//   driver SCENARIO PACKAGE_DIR SETUP_EXE OUTPUT_DIR --client=WxH [--dpi=N] [--work=DIR]
//       starts SETUP_EXE in PACKAGE_DIR, checks what the scenario expects, prints every check
//       and ends with "PASS" (exit 0) or "FAIL: reason" (exit 1). Screenshots go to OUTPUT_DIR
//       as BMP files; the stub installer's record and the window log go to DIR (default
//       OUTPUT_DIR).
//   driver --prepare SCENARIO PACKAGE_DIR
//       writes the scenario's setup file into a copy of the example package and removes what
//       the scenario needs missing.
//   driver --probe
//       prints one line; the harness uses it to learn whether this build can run at all.
//
// The launcher is observed from outside with the ordinary window functions (texts with
// WM_GETTEXT, rectangles, IsIconic) and, for states too short to poll, through the window
// log of e2e-watch.dll, a call-window hook set on the launcher's main thread. The controls'
// fonts are read from inside the launcher by e2e-fonts.dll, another such hook.
//
// Driver.cpp     the command line
// Scenarios.cpp  each scenario's setup file, locale, flow and message box
// Run.cpp        the run of a scenario: the flows and the checks of the window
// WindowFacts.cpp the window's controls and the literal table of where they must be
// Launcher.cpp   the launcher's process, its windows and the hooks' reports
// Pixels.cpp     screenshots and the message box's icon
// Input.cpp      keys and clicks
// WinUtil.cpp    files, paths, window texts and rectangles
// Output.cpp     the lines printed and the failure that ends a run

#include <windows.h>

#include "Output.h"
#include "Run.h"
#include "Scenarios.h"
#include "WinUtil.h"

#include <cwchar>
#include <string>
#include <vector>

using namespace e2e;

namespace {

void Prepare(const Scenario& s, const std::wstring& package) {
    const IniFile ini = IniFor(s.ini);
    if (!FileExists(package + L"\\Drivers\\dpinst64.exe"))
        Fail(L"the package copy has no Drivers\\dpinst64.exe: lay out the example package first");
    RemoveIfThere(package + L"\\.setup_ini");
    if (ini.bytes)
        WriteFileBytes(package + L"\\Setup.ini", ini.bytes);
    else
        RemoveIfThere(package + L"\\Setup.ini");
    if (s.planted == Planted::OnPath) {
        // The Drivers folder moves out of the package, to where only a search finds it.
        const std::wstring folder = OnPathFolder(package);
        const std::wstring drivers = folder + L"\\Drivers";
        if (!CreateDirectoryW(folder.c_str(), nullptr) ||
            !MoveFileW((package + L"\\Drivers").c_str(), drivers.c_str()))
            Fail(L"cannot move the package's Drivers folder to " + Quote(drivers));
    }
    if (!s.installer_present) {
        // Both names: the launcher picks one by the machine's processor.
        RemoveIfThere(package + L"\\Drivers\\dpinst.exe");
        RemoveIfThere(package + L"\\Drivers\\dpinst64.exe");
    }
    Say(L"prepared " + Quote(package) + L" for " + Wide(s.name));
}

bool ParseSize(const std::wstring& text, int& w, int& h) {
    unsigned a = 0, b = 0;
    wchar_t rest = 0;
    if (std::swscanf(text.c_str(), L"%ux%u%lc", &a, &b, &rest) != 2 || a == 0 || b == 0)
        return false;
    w = static_cast<int>(a);
    h = static_cast<int>(b);
    return true;
}

int Usage() {
    Say(L"usage: driver SCENARIO PACKAGE_DIR SETUP_EXE OUTPUT_DIR --client=WxH [--dpi=N] "
        L"[--work=DIR]");
    Say(L"       driver --prepare SCENARIO PACKAGE_DIR");
    Say(L"       driver --probe");
    std::wstring names;
    for (const Scenario& s : Scenarios())
        names += L" " + Wide(s.name);
    Say(L"scenarios:" + names);
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Physical pixels everywhere, whatever the density.
    SetProcessDPIAware();
    std::vector<std::wstring> args(argv + 1, argv + argc);
    try {
        if (args.size() == 1 && args[0] == L"--probe") {
            Say(L"driver: ready (" + Num(sizeof(void*) * 8) + L"-bit)");
            return 0;
        }
        if (args.size() == 3 && args[0] == L"--prepare") {
            const Scenario* s = FindScenario(args[1]);
            if (!s)
                return Usage();
            Prepare(*s, FullPath(args[2]));
            return 0;
        }
        if (args.size() < 4)
            return Usage();
        Options o;
        o.scenario = FindScenario(args[0]);
        if (!o.scenario)
            return Usage();
        o.package = FullPath(args[1]);
        o.setup_exe = FullPath(args[2]);
        o.shots = FullPath(args[3]);
        o.work = o.shots;
        for (size_t i = 4; i < args.size(); ++i) {
            const std::wstring& a = args[i];
            if (a.rfind(L"--client=", 0) == 0) {
                if (!ParseSize(a.substr(9), o.client_width, o.client_height))
                    return Usage();
            } else if (a.rfind(L"--dpi=", 0) == 0) {
                o.dpi = std::wcstol(a.c_str() + 6, nullptr, 10);
            } else if (a.rfind(L"--work=", 0) == 0) {
                o.work = FullPath(a.substr(7));
            } else {
                return Usage();
            }
        }
        if (o.client_width == 0)
            return Usage();
        Say(L"scenario " + Wide(o.scenario->name) + L" (" + Num(sizeof(void*) * 8) +
            L"-bit driver)");
        RunScenario(o);
        Say(L"PASS");
        return 0;
    } catch (const Failure& f) {
        Say(L"FAIL: " + f.reason);
        return 1;
    }
}
