// The scenarios: each one's setup file, locale and flow, and what its message box must say.
#pragma once

#include "Pixels.h"

#include <windows.h>

#include <span>
#include <string>

namespace e2e {

enum class Lang { English, Japanese };
enum class Ini { Good, EndOnly, None, NoEnd, ShiftJisTitle };
enum class Flow {
    Cancel,
    CloseBox,
    AltF4,
    Escape,
    Enter,
    Install,
    InstallerMissing,
    BoxThenClose,
    Resize
};
struct BoxFact {
    const wchar_t* text;
    const wchar_t* caption;
    Icon icon;
};

// Where an installer lies that the launcher must not start: the package has none of its own.
enum class Planted {
    Nowhere,
    OnPath,         // in a folder on the PATH, under the installer's relative path
    BesideLauncher, // beside Setup.exe, which is started from another folder
};

struct Scenario {
    const char* name;
    Lang lang;
    Ini ini;
    Flow flow;
    bool installer_present;
    DWORD stub_exit;
    BoxFact box;
    Planted planted = Planted::Nowhere;
};

std::span<const Scenario> Scenarios();
const Scenario* FindScenario(const std::wstring& name);

// The setup files, byte for byte, and the label texts each one must produce.
struct IniFile {
    const char* bytes; // nullptr: no setup file at all
    const wchar_t* title;
    const wchar_t* type;
    const wchar_t* version;
};

IniFile IniFor(Ini ini);

// The installer the launcher picks on this machine, relative to its current directory.
std::wstring InstallerPath();

// The folder on the PATH that holds the package's Drivers folder in the scenario that plants it
// there: beside the package copy, in the scenario's work folder.
std::wstring OnPathFolder(const std::wstring& package);

} // namespace e2e
