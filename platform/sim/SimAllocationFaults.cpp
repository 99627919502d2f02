#include "platform/sim/SimAllocationFaults.h"

namespace platform::sim {

namespace {
// One thread runs the program and its desktop; plain globals are enough.
bool armed = false;
bool inSystem = false;
long failAt = 0;
long counted = 0;
bool failed = false;
AllocationKind failedKind = AllocationKind::New;
long firstHeapAlloc = 0;
long liveBlocks = 0;
} // namespace

void AllocationFaults::Arm(long failAtNumber) {
    armed = true;
    failAt = failAtNumber;
    counted = 0;
    failed = false;
    failedKind = AllocationKind::New;
    firstHeapAlloc = 0;
}

void AllocationFaults::Disarm() {
    armed = false;
}

bool AllocationFaults::Armed() {
    return armed;
}

long AllocationFaults::Counted() {
    return counted;
}

bool AllocationFaults::Failed() {
    return failed;
}

AllocationKind AllocationFaults::FailedKind() {
    return failedKind;
}

long AllocationFaults::FirstHeapAlloc() {
    return firstHeapAlloc;
}

bool AllocationFaults::Fails(AllocationKind kind) {
    if (!armed) {
        return false;
    }
    ++counted;
    if (kind == AllocationKind::Heap && firstHeapAlloc == 0) {
        firstHeapAlloc = counted;
    }
    if (counted != failAt) {
        return false;
    }
    failed = true;
    failedKind = kind;
    return true;
}

bool AllocationFaults::InSystem() {
    return inSystem;
}

long AllocationFaults::LiveBlocks() {
    return liveBlocks;
}

void AllocationFaults::BlockAllocated() {
    ++liveBlocks;
}

void AllocationFaults::BlockFreed() {
    --liveBlocks;
}

SystemSide::SystemSide() : previous_(inSystem) {
    inSystem = true;
}

SystemSide::~SystemSide() {
    inSystem = previous_;
}

ProgramSide::ProgramSide() : previous_(inSystem) {
    inSystem = false;
}

ProgramSide::~ProgramSide() {
    inSystem = previous_;
}

} // namespace platform::sim
