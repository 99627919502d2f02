// Input to the launcher's window: keys through the real keyboard path, clicks by message.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <utility>

namespace e2e {

// Each key with whether it is released; the window must be in the foreground.
void SendKeys(HWND target, std::initializer_list<std::pair<WORD, bool>> keys);

// Posted, not sent: a sent click would block while the click's message box is open.
void Click(HWND button);

} // namespace e2e
