// The handle ledger: every handle and block the simulated desktop hands out, its release, and
// what came back wrongly.
#pragma once

#include "platform/Api.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::sim {

class Kernel;

enum class HandleKind {
    File,
    Process,
    Thread,
    HeapBlock,
    LocalBlock,
    Window,
    Hook,
    WindowDC, // GetDC
    PaintDC,  // BeginPaint
    Font,
    Brush,
    Icon,
};
const char* KindName(HandleKind kind);

struct LedgerEntry {
    std::uintptr_t value = 0;
    HandleKind kind = HandleKind::File;
    std::string detail; // e.g. the file's path, the window's class, the block's size
    std::uint64_t sequence = 0;
};

enum class LedgerAction { Acquire, Release };

struct LedgerEvent {
    std::uint64_t sequence = 0;
    LedgerAction action = LedgerAction::Acquire;
    HandleKind kind = HandleKind::File;
    std::uintptr_t value = 0;
    std::string call; // the call that acquired or released it, e.g. "CloseHandle"
    std::string detail;
};

enum class FaultKind {
    UnknownRelease,      // released something the desktop never handed out
    DoubleRelease,       // released something already released
    WrongKind,           // released through the wrong call (CloseHandle on a window, ...)
    UseOfReleased,       // used a handle after its release, or one never handed out
    DeleteWhileSelected, // DeleteObject on an object still selected into a DC
    WrongWindow,         // ReleaseDC / EndPaint with another window than the DC's
    SharedIconDestroyed, // DestroyIcon on an LR_SHARED icon
};
const char* FaultName(FaultKind kind);

struct LedgerFault {
    FaultKind kind = FaultKind::UnknownRelease;
    std::uintptr_t value = 0;
    std::string call;
    std::string detail;
};

class HandleLedger {
public:
    // Everything handed out and not yet released, in the order of acquisition.
    std::vector<LedgerEntry> Outstanding() const;
    std::vector<LedgerEntry> Outstanding(HandleKind kind) const;
    const std::vector<LedgerFault>& Faults() const { return faults_; }
    // Every acquisition and release, in order.
    const std::vector<LedgerEvent>& Events() const { return events_; }
    bool IsOutstanding(const void* handle) const;
    int AcquiredCount(HandleKind kind) const;
    int ReleasedCount(HandleKind kind) const;
    // Outstanding handles and faults in readable form, for a failing assertion's message.
    std::string Report() const;

private:
    friend class Kernel; // the other areas go through the kernel
    void Acquire(std::uintptr_t value, HandleKind kind, std::string call, std::string detail);
    // Records the release when `value` is live and of `kind`; otherwise records the fault
    // and returns false.
    bool Release(std::uintptr_t value, HandleKind kind, std::string call);
    bool Release(std::uintptr_t value, std::initializer_list<HandleKind> kinds, std::string call);
    void Fault(FaultKind kind, std::uintptr_t value, std::string call, std::string detail);
    std::optional<HandleKind> LiveKind(std::uintptr_t value) const;

    struct Live {
        HandleKind kind;
        std::string detail;
        std::uint64_t sequence;
    };
    std::unordered_map<std::uintptr_t, Live> live_;
    std::unordered_map<std::uintptr_t, HandleKind> released_;
    std::vector<LedgerEvent> events_;
    std::vector<LedgerFault> faults_;
    std::uint64_t sequence_ = 0;
};

} // namespace platform::sim
