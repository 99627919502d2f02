// Times a program's live resize from another process: N size steps by SetWindowPos on its
// window, for programs one after another in rounds, and prints each one's median time per
// step and the first one's ratio to each of the others.
//
//   resize-driver ROUNDS STEPS EXE DIR EXE DIR [EXE DIR]...
//
// SetWindowPos on another process's window returns once that window has handled the move (its
// WM_GETMINMAXINFO, WM_WINDOWPOSCHANGED, WM_SIZE and the moves they bring); a WM_NULL sent
// after it waits until the program's queue is back in its message loop. The steps take the
// width and the height in turn 37 and 23 pixels beyond the size the window showed at, and back.
// Each round starts every program afresh, the first program of the round taking turns as in
// startup-probe; a few steps before the timed ones let the program settle after showing.
#include "Probe.h"

namespace {

constexpr int kSettleSteps = 8;

struct Size {
    int width, height;
};

// Step i of the cycle: wider, taller, narrower, shorter.
Size StepSize(const Size& base, int i) {
    switch (i % 4) {
    case 0:
        return {base.width + 37, base.height};
    case 1:
        return {base.width + 37, base.height + 23};
    case 2:
        return {base.width, base.height + 23};
    default:
        return base;
    }
}

Size WindowSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// Milliseconds of each of STEPS steps, after the settling ones; empty when the window did not
// take a size it was given or stopped answering.
std::vector<double> TimeSteps(HWND window, int steps) {
    const Size base = WindowSize(window);
    std::vector<double> times;
    for (int i = -kSettleSteps; i < steps; ++i) {
        const Size size = StepSize(base, i + kSettleSteps);
        const double start = probe::Now();
        SetWindowPos(window, nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) == 0) {
            std::fwprintf(stderr, L"resize-driver: the window stopped answering\n");
            return {};
        }
        const double elapsed = probe::Now() - start;
        const Size got = WindowSize(window);
        if (got.width != size.width || got.height != size.height) {
            std::fwprintf(stderr, L"resize-driver: asked for %d x %d, the window is %d x %d\n",
                          size.width, size.height, got.width, got.height);
            return {};
        }
        if (i >= 0) {
            times.push_back(elapsed);
        }
    }
    return times;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 7 || argc % 2 != 1) {
        std::fwprintf(stderr, L"usage: resize-driver ROUNDS STEPS EXE DIR EXE DIR [EXE DIR]...\n");
        return 2;
    }
    const int rounds = _wtoi(argv[1]);
    const int steps = _wtoi(argv[2]);
    if (rounds < 1 || steps < 4) {
        std::fwprintf(stderr, L"resize-driver: at least 1 round of at least 4 steps\n");
        return 2;
    }
    const std::size_t programs = static_cast<std::size_t>(argc - 3) / 2;
    std::vector<std::vector<double>> times(programs);
    for (int round = 1; round <= rounds; ++round) {
        std::vector<double> medians(programs);
        for (std::size_t k = 0; k < programs; ++k) {
            const std::size_t p = (static_cast<std::size_t>(round) + k) % programs;
            probe::Program program = probe::Start(argv[3 + 2 * p], argv[4 + 2 * p]);
            if (program.window == nullptr) {
                return 1;
            }
            // Showing may bring a first layout of its own; it is done once input is awaited.
            WaitForInputIdle(program.process.hProcess, 10000);
            const std::vector<double> stepTimes = TimeSteps(program.window, steps);
            probe::Close(program);
            if (stepTimes.empty()) {
                return 1;
            }
            medians[p] = probe::Median(stepTimes);
            times[p].insert(times[p].end(), stepTimes.begin(), stepTimes.end());
        }
        std::wprintf(L"round %2d:", round);
        for (std::size_t p = 0; p < programs; ++p) {
            std::wprintf(L" %7.2f ms", medians[p]);
        }
        std::wprintf(L"\n");
    }
    probe::PrintMedians(times, argv + 3);
    return 0;
}
