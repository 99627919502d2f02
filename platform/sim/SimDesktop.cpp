// The front of the simulated desktop: its areas built and registered, and the helpers they
// share.
#include "platform/sim/SimDesktop.h"

#include "platform/sim/SimAreas.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace platform::sim {

namespace {

std::atomic<std::uintptr_t> nextHandle{0x1000};
std::vector<DesktopAreas*> desktops; // for the built-in window procedures

} // namespace

std::uintptr_t NewHandleValue() {
    return nextHandle.fetch_add(4) + 4;
}

std::u16string UpperCase(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
            c = static_cast<char16_t>(c - 0x20);
        } else if (c == 0xFF) {
            c = 0x178;
        }
    }
    return out;
}

std::u16string FromNullable(const char16_t* text) {
    return text == nullptr ? std::u16string() : std::u16string(text);
}

DesktopAreas::DesktopAreas(SimConfig configuration)
    : config(std::move(configuration)), kernel(config), locale(config, kernel),
      windows(config, kernel, activation, messaging, gdi), activation(kernel, windows, messaging),
      messaging(config, kernel, windows, activation, gdi), gdi(config, kernel, windows, messaging) {
    desktops.push_back(this);
}

DesktopAreas::~DesktopAreas() {
    desktops.erase(std::remove(desktops.begin(), desktops.end(), this), desktops.end());
}

DesktopAreas* AreasOf(HWND window) {
    for (auto it = desktops.rbegin(); it != desktops.rend(); ++it) {
        if ((*it)->windows.Find(window) != nullptr) {
            return *it;
        }
    }
    return nullptr;
}

SimDesktop::SimDesktop(SimConfig config)
    : areas_(std::make_unique<DesktopAreas>(std::move(config))) {}

SimDesktop::~SimDesktop() = default;

} // namespace platform::sim
