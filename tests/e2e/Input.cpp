#include "Input.h"

#include "Output.h"

#include <vector>

namespace e2e {

void SendKeys(HWND target, std::initializer_list<std::pair<WORD, bool>> keys) {
    if (GetForegroundWindow() != target)
        SetForegroundWindow(target);
    if (GetForegroundWindow() != target)
        Fail(L"the launcher's window is not in the foreground");
    std::vector<INPUT> inputs;
    for (const auto& [vk, up] : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    }
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        Fail(L"SendInput failed");
}

void Click(HWND button) {
    if (!PostMessageW(button, BM_CLICK, 0, 0))
        Fail(L"cannot post BM_CLICK");
}

} // namespace e2e
