// The areas of one simulated desktop. Each keeps references to the ones it talks to and uses
// none of them while it is built, so the order matters once only: the kernel's constructor
// reads and completes the configuration, which therefore comes first. The front (SimDesktop)
// and the built-in window procedures reach the areas here.
#pragma once

#include "platform/sim/SimActivation.h"
#include "platform/sim/SimConfig.h"
#include "platform/sim/SimGdi.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimLocale.h"
#include "platform/sim/SimMessaging.h"
#include "platform/sim/SimWindowTree.h"

namespace platform::sim {

struct DesktopAreas {
    explicit DesktopAreas(SimConfig configuration);
    ~DesktopAreas();
    DesktopAreas(const DesktopAreas&) = delete;
    DesktopAreas& operator=(const DesktopAreas&) = delete;

    SimConfig config;
    Kernel kernel;
    Locale locale;
    WindowTree windows;
    Activation activation;
    Messaging messaging;
    Gdi gdi;
};

// The desktop that holds a window, for the built-in window procedures.
DesktopAreas* AreasOf(HWND window);

} // namespace platform::sim
