// The message log: every message as it was sent, posted or dispatched, with its decoded views
// before and after the window procedure had it.
#include "platform/sim/SimMessaging.h"

#include "platform/Crackers.h"

namespace platform::sim {

// ---- The message log --------------------------------------------------------------------------

Messaging::LogEntry Messaging::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      Delivery how) {
    if (!logMessages_) {
        return LogEntry{}; // Complete finds no record for it
    }
    MessageRecord r;
    r.sequence = ++messageSequence_;
    r.window = window;
    r.message = message;
    r.wParam = wParam;
    r.lParam = lParam;
    r.delivery = how;
    r.depth = sendDepth_;
    switch (message) {
    case WM_SIZE: {
        const crack::Size size = crack::OnSize(wParam, lParam);
        r.sizeType = size.type;
        r.clientWidth = size.clientWidth;
        r.clientHeight = size.clientHeight;
        break;
    }
    case WM_MOVE:
        r.position = crack::OnMove(lParam);
        break;
    case WM_SHOWWINDOW:
        r.show = wParam != 0;
        break;
    case WM_GETMINMAXINFO:
        if (const MINMAXINFO* info = crack::OnGetMinMaxInfo(lParam)) {
            r.minMaxBefore = *info;
        }
        break;
    case WM_SIZING:
        if (const RECT* rect = crack::OnSizing(lParam)) {
            r.rectBefore = *rect;
        }
        break;
    case WM_NCCALCSIZE:
        if (const RECT* rect = crack::OnNcCalcSize(wParam, lParam)) {
            r.rectBefore = *rect;
        }
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        if (const WINDOWPOS* pos = crack::OnWindowPos(lParam)) {
            r.windowPosBefore = *pos;
        }
        break;
    case WM_SETTEXT:
        if (const char16_t* text = crack::OnSetText(lParam)) {
            r.text = text;
        }
        break;
    default:
        break;
    }
    const std::uint64_t sequence = r.sequence;
    messages_.push_back(std::move(r));
    return LogEntry{messages_.size() - 1, sequence};
}

void Messaging::Complete(LogEntry entry, LRESULT result) {
    if (entry.index >= messages_.size() || messages_[entry.index].sequence != entry.sequence) {
        return; // the log was cleared meanwhile
    }
    MessageRecord& r = messages_[entry.index];
    r.result = result;
    r.completed = true;
    if (r.lParam == 0) {
        return;
    }
    switch (r.message) {
    case WM_GETMINMAXINFO:
        r.minMaxAfter = *reinterpret_cast<const MINMAXINFO*>(r.lParam);
        break;
    case WM_SIZING:
        r.rectAfter = *reinterpret_cast<const RECT*>(r.lParam);
        break;
    case WM_NCCALCSIZE:
        r.rectAfter = r.wParam != 0 ? reinterpret_cast<const NCCALCSIZE_PARAMS*>(r.lParam)->rgrc[0]
                                    : *reinterpret_cast<const RECT*>(r.lParam);
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        r.windowPosAfter = *reinterpret_cast<const WINDOWPOS*>(r.lParam);
        break;
    default:
        break;
    }
}

std::vector<MessageRecord> Messaging::MessagesTo(HWND window) const {
    std::vector<MessageRecord> out;
    for (const auto& record : messages_) {
        if (record.window == window) {
            out.push_back(record);
        }
    }
    return out;
}

std::vector<UINT> Messaging::SentTo(HWND window) const {
    std::vector<UINT> out;
    for (const auto& record : messages_) {
        if (record.window == window && record.delivery == Delivery::Sent) {
            out.push_back(record.message);
        }
    }
    return out;
}

} // namespace platform::sim
