// Times how long programs take from their start until their first top-level window is
// visible, one after another in rounds, and prints each one's median and the first one's
// ratio to each of the others.
//
//   startup-probe ROUNDS EXE DIR EXE DIR [EXE DIR]...
//
// One warm-up round is run first and not counted. Each round starts with the next program
// (round 1 with the second, round 2 with the third...), so that every program takes every
// place equally often: what the system still does after one program has ended (destroying its
// windows) must not always weigh on the same one. Each program is started in its folder; once
// its window shows, it is asked to close and waited for, so the runs do not overlap.
#include "Probe.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 6 || argc % 2 != 0) {
        std::fwprintf(stderr, L"usage: startup-probe ROUNDS EXE DIR EXE DIR [EXE DIR]...\n");
        return 2;
    }
    const int rounds = _wtoi(argv[1]);
    if (rounds < 1) {
        std::fwprintf(stderr, L"startup-probe: ROUNDS must be at least 1\n");
        return 2;
    }
    const std::size_t programs = static_cast<std::size_t>(argc - 2) / 2;
    std::vector<std::vector<double>> times(programs);
    for (int round = 0; round <= rounds; ++round) {
        std::vector<double> row(programs);
        for (std::size_t k = 0; k < programs; ++k) {
            const std::size_t p = (static_cast<std::size_t>(round) + k) % programs;
            probe::Program program = probe::Start(argv[2 + 2 * p], argv[3 + 2 * p]);
            if (program.window == nullptr) {
                return 1;
            }
            row[p] = program.shownAfter;
            probe::Close(program);
        }
        if (round == 0) {
            std::wprintf(L"warm-up: ");
        } else {
            std::wprintf(L"round %2d:", round);
        }
        for (std::size_t p = 0; p < programs; ++p) {
            std::wprintf(L" %7.1f ms", row[p]);
            if (round > 0) {
                times[p].push_back(row[p]);
            }
        }
        std::wprintf(L"\n");
    }
    probe::PrintMedians(times, argv + 2);
    return 0;
}
