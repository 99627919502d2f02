// A desktop installed for one test, and a window class whose behaviour each test scripts.
#pragma once

#include "platform/Api.h"
#include "platform/MessageNames.h"
#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <tuple>
#include <vector>

namespace simtest {

using namespace platform;
namespace sim = platform::sim;

constexpr DWORD kOverlappedWindow =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// What a test window does with a message; nullopt hands it to DefWindowProcW.
using Behaviour = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

inline Behaviour& CurrentBehaviour() {
    static Behaviour behaviour;
    return behaviour;
}

inline LRESULT PLATFORM_CALLBACK TestProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (CurrentBehaviour()) {
        if (auto result = CurrentBehaviour()(window, message, wParam, lParam)) {
            return *result;
        }
    }
    return Os().DefWindowProcW(window, message, wParam, lParam);
}

// One message of a sequence: which, and how it reached the window.
struct Expected {
    UINT message = 0;
    sim::Delivery how = sim::Delivery::Sent;
    bool operator==(const Expected& other) const = default;
};
inline const char* HowDelivered(sim::Delivery how) {
    switch (how) {
    case sim::Delivery::Sent:
        return "sent";
    case sim::Delivery::Posted:
        return "posted";
    case sim::Delivery::Dispatched:
        return "dispatched";
    }
    return "?";
}
inline std::ostream& operator<<(std::ostream& os, const Expected& e) {
    return os << platform::MessageName(e.message) << " (" << HowDelivered(e.how) << ")";
}
// A named sequence of messages, in the spirit of Wine's user32 message tests (Sequences.h).
using Sequence = std::vector<Expected>;

class SimTest : public ::testing::Test {
protected:
    SimTest() { Start(sim::SimConfig{}); }
    ~SimTest() override { CurrentBehaviour() = nullptr; }

    // Replaces the desktop by one with another configuration.
    void Start(sim::SimConfig config) {
        api_.reset();
        desk_ = std::make_unique<sim::SimDesktop>(std::move(config));
        api_ = std::make_unique<ScopedApi>(*desk_);
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = TestProcedure;
        cls.hInstance = desk_->GetModuleHandleW(nullptr);
        cls.lpszClassName = u"SimTest";
        ASSERT_NE(desk_->RegisterClassExW(&cls), 0);
    }

    sim::SimDesktop& Desk() { return *desk_; }

    HWND CreateTopLevel(DWORD style = kOverlappedWindow, RECT r = {100, 100, 500, 400},
                        HWND owner = nullptr) {
        return desk_->CreateWindowExW(0, u"SimTest", u"Top", style, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, owner, nullptr,
                                      desk_->GetModuleHandleW(nullptr), nullptr);
    }

    HWND CreateChild(HWND parent, const char16_t* cls, int id, DWORD style = WS_VISIBLE,
                     RECT r = {10, 10, 90, 40}) {
        return desk_->CreateWindowExW(0, cls, u"Child", WS_CHILD | style, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)),
                                      desk_->GetModuleHandleW(nullptr), nullptr);
    }

    // The messages sent to a window since the log was cleared, leaving out those no test here
    // is about.
    std::vector<UINT> Sent(HWND window, std::vector<UINT> ignore = {}) {
        std::vector<UINT> out;
        for (UINT m : desk_->SentTo(window)) {
            if (std::find(ignore.begin(), ignore.end(), m) == ignore.end()) {
                out.push_back(m);
            }
        }
        return out;
    }

    // What reached a window since the log was cleared, however delivered, as a sequence,
    // leaving out the messages no test here is about.
    Sequence Received(HWND window, std::vector<UINT> ignore = {}) {
        Sequence out;
        for (const auto& r : desk_->Messages()) {
            if (r.window == window &&
                std::find(ignore.begin(), ignore.end(), r.message) == ignore.end()) {
                out.push_back({r.message, r.delivery});
            }
        }
        return out;
    }

    std::vector<sim::MessageRecord> Records(HWND window, UINT message) {
        std::vector<sim::MessageRecord> out;
        for (const auto& r : desk_->Messages()) {
            if (r.window == window && r.message == message) {
                out.push_back(r);
            }
        }
        return out;
    }

    // Runs the program's usual loop until WM_QUIT.
    int RunLoop(HWND dialog = nullptr) {
        MSG msg{};
        while (desk_->GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (dialog == nullptr || !desk_->IsDialogMessageW(dialog, &msg)) {
                desk_->TranslateMessage(&msg);
                desk_->DispatchMessageW(&msg);
            }
        }
        return static_cast<int>(msg.wParam);
    }

    static RECT Rect(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

private:
    std::unique_ptr<sim::SimDesktop> desk_;
    std::unique_ptr<ScopedApi> api_;
};

// An .ico file with one square 32-bit image.
inline std::vector<BYTE> MakeIconFile(int size) {
    std::vector<BYTE> out;
    auto put16 = [&out](unsigned v) {
        out.push_back(static_cast<BYTE>(v & 0xFF));
        out.push_back(static_cast<BYTE>(v >> 8));
    };
    auto put32 = [&](unsigned v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    const unsigned image = 40 + static_cast<unsigned>(size * size * 4) +
                           static_cast<unsigned>(((size + 31) / 32) * 4 * size);
    put16(0);
    put16(1);
    put16(1);
    out.push_back(static_cast<BYTE>(size));
    out.push_back(static_cast<BYTE>(size));
    out.push_back(0);
    out.push_back(0);
    put16(1);
    put16(32);
    put32(image);
    put32(22);
    put32(40);
    put32(static_cast<unsigned>(size));
    put32(static_cast<unsigned>(2 * size));
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i) {
        put32(0);
    }
    out.resize(22 + image, 0x7F);
    return out;
}

// A rectangle as comparable, printable edges.
inline std::tuple<LONG, LONG, LONG, LONG> Edges(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace simtest
