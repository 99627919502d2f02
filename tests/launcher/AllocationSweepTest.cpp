// Running out of memory anywhere. Each flow of the launcher runs on the simulated desktop again
// and again, with allocation number k of the flow's part failing, k = 1, 2, ... until a run in
// which nothing failed. Every run must end as the rules say for that point: the message they
// name, else the exception display, then the launcher ends; exit status 0; at most one
// installer; every handle and heap block released once; no leak; no half-made window.
#include "LauncherTestSupport.h"
#include "SystemSideApi.h"

#include "platform/sim/SimAllocationFaults.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace launcher_test {
namespace {

using namespace platform;
using platform::sim::AllocationFaults;
using platform::sim::AllocationKind;
using platform::sim::ProcessScript;

// The part of a flow whose allocations are counted.
enum class Part { StartUp, FirstShowing, Rescale, Install };

struct Flow {
    const char* name;
    Part part;
    // User turns a run takes when nothing fails: the window waits, the user acts.
    int normalTurns;
};

const Flow kFlows[] = {
    {"start-up and the setup file", Part::StartUp, 1},
    {"first showing", Part::FirstShowing, 1},
    {"rescale", Part::Rescale, 2},
    {"Install", Part::Install, 1},
};

constexpr long kNever = LONG_MAX;

// What one run showed; read once the launcher has returned and the desktop is gone.
struct RunResult {
    bool failed = false;
    AllocationKind kind = AllocationKind::New;
    long counted = 0;
    long firstHeapAlloc = 0;
    int exitCode = -1;
    std::vector<Box> boxes;
    std::size_t launches = 0;
    int turns = 0;
    bool idleExhausted = false;
    std::string problems;
};

std::vector<BYTE> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Setup.exe's resources, read from disk once.
struct Resources {
    std::vector<std::pair<std::u16string, std::vector<BYTE>>> raw;
    std::vector<BYTE> icon;
};

const Resources& SetupResources() {
    static const Resources resources = [] {
        Resources r;
        for (const auto& data : resources::kRawData) {
            r.raw.emplace_back(data.name,
                               FileBytes(std::string(SETUP_RESOURCE_DIR) + "/" + data.file));
        }
        r.icon = FileBytes(std::string(SETUP_RESOURCE_DIR) + "/" + resources::kLauncherIconFile);
        return r;
    }();
    return resources;
}

void Note(std::string& problems, const std::string& what) {
    problems += problems.empty() ? "" : "; ";
    problems += what;
}

// The window the user is given must be the whole window: every control made and shown with
// its text, and nothing holding back its painting.
void CheckWholeWindow(SimDesktop& desktop, std::string& problems) {
    if (MainForm == nullptr || desktop.IsWindow(MainForm->WindowHandle()) == FALSE) {
        Note(problems, "the user is given no window");
        return;
    }
    HWND main = MainForm->WindowHandle();
    if (desktop.IsWindowVisible(main) == FALSE) {
        Note(problems, "the user is given a hidden window");
    }
    if (desktop.TextOf(main) != u"Setup (1.0.3)") {
        Note(problems, "window caption \"" + Utf8(desktop.TextOf(main)) + "\"");
    }
    const std::pair<toolkit::TControl*, std::u16string_view> controls[] = {
        {MainForm->LabelTitle, u"Example Driver"},
        {MainForm->Image1, u""},
        {MainForm->Label2, u"USB DRIVER SOFTWARE"},
        {MainForm->LabelType, u"TYPE-3"},
        {MainForm->LabelVersion, u"Ver.2.08.28"},
        {MainForm->Label5, u"( for Windows 32bit/64bit )"},
        {MainForm->BtnInstall, u"Install"},
        {MainForm->BtnCancel, u"Cancel"},
    };
    for (const auto& [control, text] : controls) {
        if (control == nullptr) {
            Note(problems, "a control is missing");
            continue;
        }
        HWND window = control->WindowHandle();
        if (window == nullptr || desktop.IsWindow(window) == FALSE ||
            desktop.GetParent(window) != main || desktop.IsWindowVisible(window) == FALSE) {
            Note(problems, Utf8(control->Name()) + " is not on the window");
        } else if (desktop.TextOf(window) != text) {
            Note(problems,
                 Utf8(control->Name()) + " shows \"" + Utf8(desktop.TextOf(window)) + "\"");
        }
    }
    if (desktop.LockedWindow() != nullptr) {
        Note(problems, "a window is still locked against painting");
    }
}

RunResult RunOnce(const Flow& flow, long failAt) {
    RunResult result;
    SimDesktop desktop(Config());
    for (const auto& [name, bytes] : SetupResources().raw) {
        desktop.AddResource(name.c_str(), 10 /* RT_RCDATA */, bytes);
    }
    desktop.AddIconGroup(resources::kLauncherIconId, SetupResources().icon);
    desktop.CreateHostDirectory(kPackage);
    desktop.CreateHostFile(InPackage(u"Setup.ini"), kGoodSetupIni);
    desktop.ScriptProcess(u"Drivers\\dpinst64.exe", ProcessScript::Exits(0));
    desktop.SetMessageLog(false);

    // The user: the first turn takes the flow's action, every later one presses Cancel.
    const auto turn = [&] {
        ++result.turns;
        if (flow.part == Part::FirstShowing) {
            AllocationFaults::Disarm();
        }
        CheckWholeWindow(desktop, result.problems);
        if (MainForm == nullptr) {
            return;
        }
        HWND main = MainForm->WindowHandle();
        if (result.turns == 1 && flow.part == Part::Rescale) {
            RECT now{};
            desktop.GetWindowRect(main, &now);
            RECT wider = now;
            wider.right += 150;
            wider.bottom += 60;
            AllocationFaults::Arm(failAt);
            desktop.DragBorder(main, WMSZ_BOTTOMRIGHT, wider);
            AllocationFaults::Disarm();
        } else if (result.turns == 1 && flow.part == Part::Install) {
            AllocationFaults::Arm(failAt);
            desktop.ClickButton(MainForm->BtnInstall->WindowHandle());
            AllocationFaults::Disarm();
        } else {
            desktop.ClickButton(MainForm->BtnCancel->WindowHandle());
        }
    };
    desktop.OnIdle(turn);
    desktop.OnIdle(turn);
    // No third turn: the loop then ends by itself and IdleExhausted() tells.

    {
        platform::ScopedApi simulated(desktop);
        // The first showing begins when the application has its main window.
        bool running = false;
        bool showing = false;
        SystemSideApi system(desktop, [&] {
            if (running && !showing && toolkit::Application().MainForm() != nullptr) {
                showing = true;
                if (flow.part == Part::StartUp) {
                    AllocationFaults::Disarm();
                } else if (flow.part == Part::FirstShowing) {
                    AllocationFaults::Arm(failAt);
                }
            }
        });
        platform::ScopedApi seam(system);
        toolkit::TApplication application;

        running = true;
        if (flow.part == Part::StartUp) {
            AllocationFaults::Arm(failAt);
        }
        result.exitCode = RunLauncher();
        AllocationFaults::Disarm();
        running = false;

        result.failed = AllocationFaults::Failed();
        result.kind = AllocationFaults::FailedKind();
        result.counted = AllocationFaults::Counted();
        result.firstHeapAlloc = AllocationFaults::FirstHeapAlloc();
        result.boxes = BoxesOf(desktop);
        result.launches = desktop.Launches().size();
        result.idleExhausted = desktop.IdleExhausted();
        for (HWND window : desktop.TopLevelWindows()) {
            if (desktop.IsWindowVisible(window) != FALSE) {
                Note(result.problems,
                     "a window is left on screen: \"" + Utf8(desktop.TextOf(window)) + "\"");
            }
        }
    }
    MainForm = nullptr;
    // Everything of the launcher is gone with the application: each handle and heap block
    // (the command buffer among them) released once.
    if (!desktop.Ledger().Outstanding().empty() || !desktop.Ledger().Faults().empty()) {
        Note(result.problems, desktop.Ledger().Report());
    }
    return result;
}

const Box kSetupFileOutOfMemory{u"failed to read a setup file\n(out of memory)", u"ERROR",
                                MB_ICONEXCLAMATION};
const Box kOutOfMemory{u"Out of memory", u"ERROR", MB_ICONEXCLAMATION};

std::string Describe(const std::vector<Box>& boxes) {
    std::string text;
    for (const Box& box : boxes) {
        text += " {\"" + Utf8(box.text) + "\", \"" + Utf8(box.caption) + "\", icon " +
                std::to_string(box.icon) + "}";
    }
    return boxes.empty() ? " none" : text;
}

// What the rules say for the point where allocation `failAt` failed. `commandBuffer` is the
// number of the command buffer's HeapAlloc in Install's run without failures.
void Judge(const Flow& flow, long failAt, long commandBuffer, RunResult& r) {
    std::string& problems = r.problems;
    if (r.exitCode != 0) {
        Note(problems, "exit status " + std::to_string(r.exitCode));
    }
    if (r.launches > 1) {
        Note(problems, std::to_string(r.launches) + " installers started");
    }
    if (r.idleExhausted) {
        Note(problems, "the launcher does not end, not even after Cancel");
    }
    if (!r.failed) {
        if (!r.boxes.empty()) {
            Note(problems, "boxes without a failure:" + Describe(r.boxes));
        }
        if (r.turns != flow.normalTurns) {
            Note(problems, std::to_string(r.turns) + " user turns without a failure");
        }
        if (flow.part == Part::Install && r.launches != 1) {
            Note(problems, "Install started no installer");
        }
        return;
    }
    if (r.boxes.size() != 1) {
        Note(problems, "boxes:" + Describe(r.boxes));
        return;
    }
    const Box& box = r.boxes.front();
    const bool heap = r.kind == AllocationKind::Heap;
    if (flow.part == Part::StartUp && heap) {
        // Compaction's scratch memory: the named message, and the window closes when shown.
        if (box != kSetupFileOutOfMemory) {
            Note(problems, "setup file without memory shows" + Describe(r.boxes));
        }
        if (r.turns != 0) {
            Note(problems, "the window waits for the user after a setup file failure");
        }
    } else if (flow.part == Part::Install && (heap || failAt < commandBuffer)) {
        // No memory up to the command buffer: the named message, then Close.
        if (box != kOutOfMemory) {
            Note(problems, "Install without memory shows" + Describe(r.boxes));
        }
        if (r.launches != 0) {
            Note(problems, "an installer started after the out-of-memory message");
        }
        if (r.turns != 1) {
            Note(problems, "the window waits for the user after Install ran out of memory");
        }
    } else if (box.caption != u"Setup" || box.icon != MB_ICONERROR) {
        Note(problems, "not the exception display:" + Describe(r.boxes));
    }
}

// What one run in a child process reports back.
struct PointResult {
    bool completed = false; // false: the child died before it could report
    bool failed = false;
    long counted = 0;
    long firstHeapAlloc = 0;
    long residualBlocks = 0; // operator new's blocks alive after everything of the run went
    std::string problems;
};

void WriteAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written <= 0) {
            return;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

std::string ReadAll(int fd) {
    std::string data;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            return data;
        }
        data.append(buffer, static_cast<std::size_t>(got));
    }
}

// Each run is a process of its own, forked before the launcher ever ran: its statics are as
// fresh as at a real start (the first run allocates what later ones find made), and a crash is
// that point's finding rather than the sweep's end. (A new start of the program would be
// fresher still, but costs three times as much under the sanitizers.)
struct Report {
    bool failed;
    long counted, firstHeapAlloc, residualBlocks;
};

// A point's process while it runs: its id and the pipe its report comes through.
struct Started {
    pid_t child = -1;
    int report = -1;
};

Started StartPoint(const Flow& flow, long failAt, long commandBuffer) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return {};
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        Report head{};
        std::string problems;
        const long liveBefore = AllocationFaults::LiveBlocks();
        {
            RunResult run = RunOnce(flow, failAt);
            Judge(flow, failAt, commandBuffer, run);
            head.failed = run.failed;
            head.counted = run.counted;
            head.firstHeapAlloc = run.firstHeapAlloc;
            problems = std::move(run.problems);
        }
        head.residualBlocks = AllocationFaults::LiveBlocks() - liveBefore -
                              (problems.capacity() > std::string().capacity() ? 1 : 0);
#if defined(__SANITIZE_ADDRESS__)
        // LeakSanitizer takes longer than a run: it looks at the runs without failures, and
        // the count of live blocks above at every point.
        if (failAt == kNever && __lsan_do_recoverable_leak_check() != 0) {
            Note(problems, "LeakSanitizer found a leak (its report is above)");
        }
#endif
        WriteAll(pipeEnds[1], &head, sizeof head);
        WriteAll(pipeEnds[1], problems.data(), problems.size());
        close(pipeEnds[1]);
        _exit(0);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return {};
    }
    return {child, pipeEnds[0]};
}

PointResult FinishPoint(const Started& started) {
    PointResult result;
    if (started.child < 0) {
        result.problems = "could not start a run";
        return result;
    }
    const std::string data = ReadAll(started.report);
    close(started.report);
    int status = 0;
    waitpid(started.child, &status, 0);
    Report head{};
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && data.size() >= sizeof head) {
        std::memcpy(&head, data.data(), sizeof head);
        result.completed = true;
        result.failed = head.failed;
        result.counted = head.counted;
        result.firstHeapAlloc = head.firstHeapAlloc;
        result.residualBlocks = head.residualBlocks;
        result.problems = data.substr(sizeof head);
    } else if (WIFSIGNALED(status)) {
        result.problems = "crashed with signal " + std::to_string(WTERMSIG(status));
    } else {
        result.problems = "ended with status " + std::to_string(WEXITSTATUS(status)) +
                          " before it could report (a sanitizer's report is above)";
    }
    return result;
}

TEST(AllocationSweep, EveryFailurePointOfEveryFlowIsHandled) {
    long points = 0;
    std::vector<std::string> faults;
    for (const Flow& flow : kFlows) {
        // A run without failures first: how many allocations the part makes, where Install's
        // command buffer comes, and what a run leaves alive (what is made once per program).
        const PointResult reference = FinishPoint(StartPoint(flow, kNever, 0));
        ASSERT_TRUE(reference.completed) << flow.name << ": " << reference.problems;
        ASSERT_EQ(reference.problems, "") << flow.name;
        ASSERT_GT(reference.counted, 0) << flow.name;
        const long commandBuffer = flow.part == Part::Install ? reference.firstHeapAlloc : 0;
        if (flow.part == Part::Install) {
            ASSERT_GT(commandBuffer, 0) << "Install allocated no command buffer";
        }

        // Two points at a time, one for each core; past the end, the second is not looked at.
        constexpr long kAtOnce = 2;
        std::vector<PointResult> ahead;
        for (long k = 1;; ++k) {
            if ((k - 1) % kAtOnce == 0) {
                std::vector<Started> started;
                for (long i = 0; i < kAtOnce; ++i) {
                    started.push_back(StartPoint(flow, k + i, commandBuffer));
                }
                ahead.clear();
                for (const Started& one : started) {
                    ahead.push_back(FinishPoint(one));
                }
            }
            PointResult run = std::move(ahead[static_cast<std::size_t>((k - 1) % kAtOnce)]);
            // More left alive than by a run without failures: a failure path leaked.
            if (run.residualBlocks > reference.residualBlocks) {
                Note(run.problems, std::to_string(run.residualBlocks - reference.residualBlocks) +
                                       " blocks leaked");
            }
            if (!run.problems.empty()) {
                faults.push_back(std::string(flow.name) + ", allocation " + std::to_string(k) +
                                 (run.completed && !run.failed ? " (none failed)" : "") + ": " +
                                 run.problems);
            }
            if (run.completed && !run.failed) {
                if (k <= reference.counted) {
                    faults.push_back(std::string(flow.name) + ": allocation " + std::to_string(k) +
                                     " did not come, although the run without failures had " +
                                     std::to_string(reference.counted));
                }
                break;
            }
            ++points;
            if (k > reference.counted + 1) {
                faults.push_back(std::string(flow.name) + ": runs go on failing beyond " +
                                 std::to_string(reference.counted) + " allocations");
                break;
            }
        }
    }

    for (std::size_t i = 0; i < faults.size() && i < 40; ++i) {
        ADD_FAILURE() << faults[i];
    }
    EXPECT_TRUE(faults.empty()) << faults.size() << " points not handled";
    if (faults.empty()) {
        std::printf("allocation sweep: %ld points, each handled\n", points);
    }
}

} // namespace
} // namespace launcher_test
