// The host tests' switch for running out of memory: the k-th allocation that the program asks
// for fails. It counts HeapAlloc, and operator new in a test program that replaces it
// (tests/launcher/CountingNew.cpp). What the simulated desktop allocates for itself is the
// system's, not the program's, and is not counted.
#pragma once

namespace platform::sim {

enum class AllocationKind { New, Heap };

class AllocationFaults {
public:
    // From now on the program's allocations are counted from 1, and number `failAt` fails.
    static void Arm(long failAt);
    // Counting stops; what it found can still be read.
    static void Disarm();
    static bool Armed();
    // The program's allocations counted since Arm.
    static long Counted();
    // Whether number `failAt` has come and failed, and of which kind it was.
    static bool Failed();
    static AllocationKind FailedKind();
    // The number of the first HeapAlloc counted since Arm (0: none).
    static long FirstHeapAlloc();

    // For the allocators: counts the request and says whether it fails. operator new asks only
    // while the program's own code runs (InSystem() false); HeapAlloc is always the program's.
    static bool Fails(AllocationKind kind);
    static bool InSystem();

    // operator new's blocks now alive, kept by the replacement (0 without it).
    static long LiveBlocks();
    static void BlockAllocated();
    static void BlockFreed();
};

// While one lives, the running code is the simulated system's; a ProgramSide made inside it
// (around a window or hook procedure that the system calls) makes it the program's again.
class SystemSide {
public:
    SystemSide();
    ~SystemSide();
    SystemSide(const SystemSide&) = delete;
    SystemSide& operator=(const SystemSide&) = delete;

private:
    bool previous_;
};

class ProgramSide {
public:
    ProgramSide();
    ~ProgramSide();
    ProgramSide(const ProgramSide&) = delete;
    ProgramSide& operator=(const ProgramSide&) = delete;

private:
    bool previous_;
};

} // namespace platform::sim
