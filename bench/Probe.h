// What bench/StartupProbe.cpp and bench/ResizeDriver.cpp share: starting a program in its
// folder, finding its window, closing it, and the statistics.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace probe {

inline double Now() {
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Search {
    DWORD processId;
    HWND found;
};

// A named function, not a lambda: on i686 the callback must be a stdcall function.
inline BOOL CALLBACK FindShownWindow(HWND window, LPARAM lParam) {
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

struct Program {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    double shownAfter = -1; // milliseconds from the start until the window was visible
};

// Starts EXE in DIR and waits (20 s at most) until its first unowned top-level window is
// visible. The window is null when the program could not start or showed none; the process
// handles are then closed already.
inline Program Start(const std::wstring& exe, const std::wstring& dir) {
    Program program;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const double start = Now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &startup, &program.process)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
        return program;
    }
    Search search{program.process.dwProcessId, nullptr};
    while (Now() - start < 20000) {
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            program.shownAfter = Now() - start;
            program.window = search.found;
            return program;
        }
        if (WaitForSingleObject(program.process.hProcess, 1) == WAIT_OBJECT_0) {
            break;
        }
    }
    std::fwprintf(stderr, L"%ls showed no window\n", exe.c_str());
    TerminateProcess(program.process.hProcess, 1);
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
    program.process = PROCESS_INFORMATION{};
    return program;
}

// Asks the window to close (WM_CLOSE) and waits for the process to end, so that runs do not
// overlap.
inline void Close(Program& program) {
    if (program.process.hProcess == nullptr) {
        return;
    }
    PostMessageW(program.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(program.process.hProcess, 1);
        WaitForSingleObject(program.process.hProcess, 5000);
    }
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
    program = Program{};
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The file name of a path, for the report.
inline const wchar_t* BaseName(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p != L'\0'; ++p) {
        if (*p == L'\\' || *p == L'/') {
            name = p + 1;
        }
    }
    return name;
}

// "median: 1.0 ms (a.exe), 2.0 ms (b.exe)" and "ratio: a.exe over b.exe 0.500", the first
// program against each of the others.
inline void PrintMedians(const std::vector<std::vector<double>>& times, wchar_t** exes) {
    std::vector<double> medians;
    std::wprintf(L"median:");
    for (std::size_t p = 0; p < times.size(); ++p) {
        medians.push_back(Median(times[p]));
        std::wprintf(L"%ls %.2f ms (%ls)", p == 0 ? L"" : L",", medians.back(),
                     BaseName(exes[p * 2]));
    }
    std::wprintf(L"\nratio:");
    for (std::size_t p = 1; p < times.size(); ++p) {
        std::wprintf(L"%ls %ls over %ls %.3f", p == 1 ? L"" : L",", BaseName(exes[0]),
                     BaseName(exes[p * 2]), medians[0] / medians[p]);
    }
    std::wprintf(L"\n");
    std::fflush(stdout);
}

} // namespace probe
