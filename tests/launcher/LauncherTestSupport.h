// A simulated desktop with Setup.exe's resources, a package folder as current directory and a
// fresh application object: what every launcher test starts from.
#pragma once

#include "toolkit/Strings.h"

#include "launcher/Main.h"
#include "platform/sim/SimDesktop.h"
#include "toolkit/Application.h"

#include "ResourceNames.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace launcher_test {

using platform::sim::DesktopObservation;
using platform::sim::DesktopUser;
using platform::sim::HandleKind;
using platform::sim::SimConfig;
using platform::sim::SimDesktop;

inline constexpr std::u16string_view kPackage = u"C:\\Packages\\Demo";

// What one message box showed.
struct Box {
    std::u16string text;
    std::u16string caption;
    platform::UINT icon = 0;

    bool operator==(const Box&) const = default;
};

inline std::string Utf8(std::u16string_view text) {
    return platform::Utf16ToUtf8(text);
}

inline void PrintTo(const Box& box, std::ostream* os) {
    *os << "{\"" << Utf8(box.text) << "\", \"" << Utf8(box.caption) << "\", icon 0x" << std::hex
        << box.icon << std::dec << "}";
}

inline std::vector<Box> BoxesOf(const DesktopObservation& desktop) {
    std::vector<Box> boxes;
    for (const auto& record : desktop.MessageBoxes()) {
        // Only the icon bits: every launcher box has the single OK button.
        boxes.push_back({record.text, record.caption, record.type & 0xF0u});
    }
    return boxes;
}

inline SimConfig Config(platform::LCID locale = 1033, platform::UINT codePage = 1252) {
    SimConfig config;
    config.userLcid = locale;
    config.abbrevLangName = locale == 1041 ? "JPN" : "ENU";
    config.ansiCodePage = codePage;
    config.currentDirectory = std::u16string(kPackage);
    config.moduleFileName = std::u16string(kPackage) + u"\\Setup.exe";
    return config;
}

// MainForm's stored description as the executable embeds it.
inline std::string MainFormDescription() {
    std::ifstream file(std::string(SETUP_RESOURCE_DIR) + "/MainForm.desc", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::u16string InPackage(std::u16string_view name) {
    return std::u16string(kPackage) + u"\\" + std::u16string(name);
}

// A valid description file, so that the window opens and waits for the user.
inline constexpr std::string_view kGoodSetupIni =
    "$TITLE = \"Example Driver\"\r\n$DRV_TYPE = \"TYPE-3\"\r\n$DRV_VERSION = "
    "\"2.08.28\"\r\n$END\r\n";

class LauncherTest : public ::testing::Test {
protected:
    // Makes the desktop, with Setup.exe's resources and the package folder, and installs it.
    // `description` stands in for MainForm's stored description when given.
    void Start(SimConfig config = Config(),
               std::optional<std::string_view> description = std::nullopt) {
        desktop_.emplace(std::move(config));
        for (const auto& data : resources::kRawData) {
            if (description && std::u16string_view(data.name) == resources::kMainForm) {
                desktop_->AddResource(
                    data.name, 10 /* RT_RCDATA */,
                    std::vector<platform::BYTE>(description->begin(), description->end()));
                continue;
            }
            desktop_->AddResourceFromFile(data.name, 10 /* RT_RCDATA */,
                                          std::string(SETUP_RESOURCE_DIR) + "/" + data.file);
        }
        desktop_->AddIconGroupFromFile(resources::kLauncherIconId,
                                       std::string(SETUP_RESOURCE_DIR) + "/" +
                                           resources::kLauncherIconFile);
        desktop_->CreateHostDirectory(desktop_->Config().currentDirectory);
        api_.emplace(*desktop_);
        application_.emplace();
    }

    void TearDown() override {
        application_.reset();
        MainForm = nullptr;
        api_.reset();
        if (desktop_) {
            // Whatever ran, everything is released once the application has gone, and
            // nothing twice or through the wrong call.
            EXPECT_TRUE(desktop_->Ledger().Outstanding().empty()) << desktop_->Ledger().Report();
            EXPECT_TRUE(desktop_->Ledger().Faults().empty()) << desktop_->Ledger().Report();
        }
        desktop_.reset();
    }

    SimDesktop& Desktop() { return *desktop_; }
    bool Started() const { return desktop_.has_value(); }
    toolkit::TApplication& App() { return *application_; }

    void WriteFile(std::u16string_view name, std::string_view bytes) {
        desktop_->CreateHostFile(InPackage(name), bytes);
    }

    // The window of a control, as the user sees it.
    std::u16string Shown(toolkit::TControl* control) { return desktop_->TextOf(control->Handle()); }

    int OutstandingFiles() const {
        return static_cast<int>(desktop_->Ledger().Outstanding(HandleKind::File).size());
    }

private:
    std::optional<SimDesktop> desktop_;
    std::optional<platform::ScopedApi> api_;
    std::optional<toolkit::TApplication> application_;
};

} // namespace launcher_test
