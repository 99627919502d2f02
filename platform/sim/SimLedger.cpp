// The handle ledger: what the desktop handed out, what came back, and what came back wrongly.
#include "platform/sim/SimKernel.h"

#include <algorithm>
#include <cstdio>

namespace platform::sim {

const char* KindName(HandleKind kind) {
    switch (kind) {
    case HandleKind::File:
        return "file";
    case HandleKind::Process:
        return "process";
    case HandleKind::Thread:
        return "thread";
    case HandleKind::HeapBlock:
        return "heap block";
    case HandleKind::LocalBlock:
        return "local block";
    case HandleKind::Window:
        return "window";
    case HandleKind::Hook:
        return "hook";
    case HandleKind::WindowDC:
        return "window DC";
    case HandleKind::PaintDC:
        return "paint DC";
    case HandleKind::Font:
        return "font";
    case HandleKind::Brush:
        return "brush";
    case HandleKind::Icon:
        return "icon";
    }
    return "?";
}

const char* FaultName(FaultKind kind) {
    switch (kind) {
    case FaultKind::UnknownRelease:
        return "release of an unknown handle";
    case FaultKind::DoubleRelease:
        return "second release";
    case FaultKind::WrongKind:
        return "release through the wrong call";
    case FaultKind::UseOfReleased:
        return "use of a released or unknown handle";
    case FaultKind::DeleteWhileSelected:
        return "deleted while selected into a DC";
    case FaultKind::WrongWindow:
        return "released with another window";
    case FaultKind::SharedIconDestroyed:
        return "destroyed a shared icon";
    }
    return "?";
}

std::vector<LedgerEntry> HandleLedger::Outstanding() const {
    std::vector<LedgerEntry> out;
    for (const auto& [value, live] : live_) {
        out.push_back(LedgerEntry{value, live.kind, live.detail, live.sequence});
    }
    std::sort(out.begin(), out.end(),
              [](const LedgerEntry& a, const LedgerEntry& b) { return a.sequence < b.sequence; });
    return out;
}

std::vector<LedgerEntry> HandleLedger::Outstanding(HandleKind kind) const {
    std::vector<LedgerEntry> out = Outstanding();
    out.erase(std::remove_if(out.begin(), out.end(),
                             [kind](const LedgerEntry& e) { return e.kind != kind; }),
              out.end());
    return out;
}

bool HandleLedger::IsOutstanding(const void* handle) const {
    return LiveKind(reinterpret_cast<std::uintptr_t>(handle)).has_value();
}

int HandleLedger::AcquiredCount(HandleKind kind) const {
    return static_cast<int>(
        std::count_if(events_.begin(), events_.end(), [kind](const LedgerEvent& e) {
            return e.kind == kind && e.action == LedgerAction::Acquire;
        }));
}

int HandleLedger::ReleasedCount(HandleKind kind) const {
    return static_cast<int>(
        std::count_if(events_.begin(), events_.end(), [kind](const LedgerEvent& e) {
            return e.kind == kind && e.action == LedgerAction::Release;
        }));
}

std::string HandleLedger::Report() const {
    std::string out;
    char line[160];
    for (const auto& entry : Outstanding()) {
        std::snprintf(line, sizeof line, "outstanding %s %#zx (%s)\n", KindName(entry.kind),
                      static_cast<std::size_t>(entry.value), entry.detail.c_str());
        out += line;
    }
    for (const auto& fault : faults_) {
        std::snprintf(line, sizeof line, "fault: %s %#zx in %s (%s)\n", FaultName(fault.kind),
                      static_cast<std::size_t>(fault.value), fault.call.c_str(),
                      fault.detail.c_str());
        out += line;
    }
    return out.empty() ? "ledger clean\n" : out;
}

void HandleLedger::Acquire(std::uintptr_t value, HandleKind kind, std::string call,
                           std::string detail) {
    // An address may come back from the allocator after its release; it is then a new block.
    released_.erase(value);
    ++sequence_;
    live_[value] = Live{kind, detail, sequence_};
    events_.push_back(LedgerEvent{sequence_, LedgerAction::Acquire, kind, value, std::move(call),
                                  std::move(detail)});
}

std::optional<HandleKind> HandleLedger::LiveKind(std::uintptr_t value) const {
    auto it = live_.find(value);
    if (it == live_.end()) {
        return std::nullopt;
    }
    return it->second.kind;
}

bool HandleLedger::Release(std::uintptr_t value, HandleKind kind, std::string call) {
    return Release(value, {kind}, std::move(call));
}

bool HandleLedger::Release(std::uintptr_t value, std::initializer_list<HandleKind> kinds,
                           std::string call) {
    auto it = live_.find(value);
    if (it == live_.end()) {
        bool wasReleased = released_.count(value) != 0;
        Fault(wasReleased ? FaultKind::DoubleRelease : FaultKind::UnknownRelease, value,
              std::move(call), "");
        return false;
    }
    if (std::find(kinds.begin(), kinds.end(), it->second.kind) == kinds.end()) {
        Fault(FaultKind::WrongKind, value, std::move(call), KindName(it->second.kind));
        return false;
    }
    ++sequence_;
    events_.push_back(LedgerEvent{sequence_, LedgerAction::Release, it->second.kind, value,
                                  std::move(call), it->second.detail});
    released_[value] = it->second.kind;
    live_.erase(it);
    return true;
}

void HandleLedger::Fault(FaultKind kind, std::uintptr_t value, std::string call,
                         std::string detail) {
    faults_.push_back(LedgerFault{kind, value, std::move(call), std::move(detail)});
}

} // namespace platform::sim
