// Times how long a program takes from its start until its first top-level window is visible,
// for two programs alternately, and prints both medians and their ratio.
//
//   startup-probe PAIRS FIRST_EXE FIRST_DIR SECOND_EXE SECOND_DIR
//
// One warm-up pair is run first and not counted; the pairs alternate which program goes
// first. Each program is started in its folder; once
// its window shows, it is asked to close (WM_CLOSE) and waited for, so the runs do not overlap.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

double Now() {
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds until the window showed; negative when the program failed to show one.
double TimeOne(const std::wstring& exe, const std::wstring& dir) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &startup, &process)) {
        std::fwprintf(stderr, L"startup-probe: cannot start %ls (error %lu)\n", exe.c_str(),
                      GetLastError());
        return -1;
    }
    Search search{process.dwProcessId, nullptr};
    double shown = -1;
    while (Now() - start < 20000) {
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            shown = Now() - start;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
            break;
        }
    }
    if (search.found != nullptr) {
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (shown < 0) {
        std::fwprintf(stderr, L"startup-probe: %ls showed no window\n", exe.c_str());
    }
    return shown;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 6) {
        std::fwprintf(stderr,
                      L"usage: startup-probe PAIRS FIRST_EXE FIRST_DIR SECOND_EXE SECOND_DIR\n");
        return 2;
    }
    const int pairs = _wtoi(argv[1]);
    if (pairs < 1) {
        std::fwprintf(stderr, L"startup-probe: PAIRS must be at least 1\n");
        return 2;
    }
    std::vector<double> first, second;
    for (int i = -1; i < pairs; ++i) {
        // Every other pair in the other order: what the system still does after one program
        // has ended (destroying its windows) must not always weigh on the same one.
        double a = 0, b = 0;
        if (i % 2 == 0) {
            b = TimeOne(argv[4], argv[5]);
            a = TimeOne(argv[2], argv[3]);
        } else {
            a = TimeOne(argv[2], argv[3]);
            b = TimeOne(argv[4], argv[5]);
        }
        if (a < 0 || b < 0) {
            return 1;
        }
        if (i < 0) {
            std::wprintf(L"warm-up: %.1f ms, %.1f ms\n", a, b);
            continue;
        }
        std::wprintf(L"pair %2d: %.1f ms, %.1f ms\n", i + 1, a, b);
        first.push_back(a);
        second.push_back(b);
    }
    const double m1 = Median(first), m2 = Median(second);
    std::wprintf(L"median: %.1f ms (first), %.1f ms (second); ratio %.3f\n", m1, m2, m1 / m2);
    std::fflush(stdout);
    return 0;
}
