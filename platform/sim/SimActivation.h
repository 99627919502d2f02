// Activation and focus: the active window, the focus window, and the requests to bring a window
// to the foreground.
#pragma once

#include "platform/sim/SimCommon.h"

#include <vector>

namespace platform::sim {

class Kernel;
class WindowTree;
class Messaging;

class Activation {
public:
    Activation(Kernel& kernel, WindowTree& windows, Messaging& messaging)
        : kernel_(kernel), windows_(windows), messaging_(messaging) {}
    Activation(const Activation&) = delete;
    Activation& operator=(const Activation&) = delete;

    void Activate(HWND window);
    void ActivateOther(HWND leaving); // the next window in line, when `leaving` goes
    void WindowGone(HWND window);
    const std::vector<HWND>& ForegroundRequests() const { return foregroundRequests_; }

    // ---- The calls ----
    BOOL SetForegroundWindow(HWND window);
    HWND GetActiveWindow() const { return active_; }
    HWND SetFocus(HWND window);
    HWND GetFocus() const { return focus_; }

private:
    Kernel& kernel_;
    WindowTree& windows_;
    Messaging& messaging_;
    HWND active_ = nullptr;
    HWND focus_ = nullptr;
    std::vector<HWND> foregroundRequests_;
};

} // namespace platform::sim
