#include "Scenarios.h"

#include "Output.h"

namespace e2e {

namespace {

const wchar_t kOpenFailedEn[] = L"Can not open the setup file ('Setup.ini' or '.setup_ini')";
// Full-width parentheses around ASCII double quotes.
const wchar_t kOpenFailedJa[] =
    L"設定ファイル\uFF08\"Setup.ini\" または \".setup_ini\"\uFF09を開けません";
const wchar_t kReadFailed[] = L"設定ファイルの読み込みに失敗しました.";
const wchar_t kStartFailed[] = L"It failed in the start from an installer.";

const Scenario kScenarios[] = {
    {"window-cancel", Lang::English, Ini::Good, Flow::Cancel, true, 0, {}},
    {"close-box", Lang::English, Ini::Good, Flow::CloseBox, true, 0, {}},
    {"alt-f4", Lang::English, Ini::Good, Flow::AltF4, true, 0, {}},
    {"escape", Lang::English, Ini::Good, Flow::Escape, true, 0, {}},
    {"placeholders", Lang::English, Ini::EndOnly, Flow::Cancel, true, 0, {}},
    {"no-setup-file",
     Lang::English,
     Ini::None,
     Flow::BoxThenClose,
     true,
     0,
     {kOpenFailedEn, L"ERROR", Icon::Exclamation}},
    {"no-setup-file-ja",
     Lang::Japanese,
     Ini::None,
     Flow::BoxThenClose,
     true,
     0,
     {kOpenFailedJa, L"ERROR", Icon::Exclamation}},
    {"japanese-buttons", Lang::Japanese, Ini::Good, Flow::Cancel, true, 0, {}},
    {"no-end-marker",
     Lang::English,
     Ini::NoEnd,
     Flow::BoxThenClose,
     true,
     0,
     {kReadFailed, L"エラー", Icon::Exclamation}},
    {"shift-jis-title", Lang::Japanese, Ini::ShiftJisTitle, Flow::Cancel, true, 0, {}},
    {"install", Lang::English, Ini::Good, Flow::Install, true, 0, {}},
    {"install-exit3", Lang::English, Ini::Good, Flow::Install, true, 3, {}},
    {"installer-missing",
     Lang::English,
     Ini::Good,
     Flow::InstallerMissing,
     false,
     0,
     {kStartFailed, L"ERROR", Icon::Information}},
    // The launcher searches nowhere for its installer: one that only a search would find is
    // not started, and the start fails as with no installer.
    {"installer-on-path",
     Lang::English,
     Ini::Good,
     Flow::InstallerMissing,
     false,
     0,
     {kStartFailed, L"ERROR", Icon::Information},
     Planted::OnPath},
    {"installer-beside-launcher",
     Lang::English,
     Ini::Good,
     Flow::InstallerMissing,
     true,
     0,
     {kStartFailed, L"ERROR", Icon::Information},
     Planted::BesideLauncher},
    {"enter-installs", Lang::English, Ini::Good, Flow::Enter, true, 0, {}},
    {"resize", Lang::English, Ini::Good, Flow::Resize, true, 0, {}},
    {"resize-120dpi", Lang::English, Ini::Good, Flow::Resize, true, 0, {}},
    {"resize-144dpi", Lang::English, Ini::Good, Flow::Resize, true, 0, {}},
    // Run at 120 and 144 dpi: the window as first shown, adapted to the density.
    {"density-120", Lang::English, Ini::Good, Flow::Cancel, true, 0, {}},
    {"density-144", Lang::English, Ini::Good, Flow::Cancel, true, 0, {}},
};

} // namespace

std::span<const Scenario> Scenarios() {
    return kScenarios;
}

const Scenario* FindScenario(const std::wstring& name) {
    for (const Scenario& s : kScenarios)
        if (Wide(s.name) == name)
            return &s;
    return nullptr;
}

IniFile IniFor(Ini ini) {
    switch (ini) {
    case Ini::Good:
        return {"; Setup description of the end-to-end test package\r\n"
                "$TITLE = \"E2E Test Driver\"\r\n"
                "$DRV_TYPE = \"TYPE-5\"\r\n"
                "$DRV_VERSION = \"1.23.45\"\r\n"
                "$END\r\n",
                L"E2E Test Driver", L"TYPE-5", L"Ver.1.23.45"};
    case Ini::EndOnly:
        return {"$END\r\n", L"????????", L"????????", L"?.??.??"};
    case Ini::None:
        return {nullptr, nullptr, nullptr, nullptr};
    case Ini::NoEnd:
        return {"$TITLE = \"E2E Test Driver\"\r\n"
                "$DRV_TYPE = \"TYPE-5\"\r\n"
                "$DRV_VERSION = \"1.23.45\"\r\n",
                nullptr, nullptr, nullptr};
    case Ini::ShiftJisTitle:
        // "ドライバ" in Shift_JIS.
        return {"$TITLE = \"\x83\x68\x83\x89\x83\x43\x83\x6F\"\r\n"
                "$DRV_TYPE = \"TYPE-5\"\r\n"
                "$DRV_VERSION = \"1.23.45\"\r\n"
                "$END\r\n",
                L"ドライバ", L"TYPE-5", L"Ver.1.23.45"};
    }
    return {};
}

std::wstring InstallerPath() {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL ? L"Drivers\\dpinst.exe"
                                                                       : L"Drivers\\dpinst64.exe";
}

std::wstring OnPathFolder(const std::wstring& package) {
    return package.substr(0, package.find_last_of(L'\\')) + L"\\on-path";
}

} // namespace e2e
