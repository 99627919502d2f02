// The contract suite: what Windows does with the calls of platform::Api, written against the
// seam alone and run twice, on the simulated desktop (host) and on the real implementation
// (under Wine). No GoogleTest: MinGW has none, so a few macros of our own do.
#pragma once

#include "platform/Api.h"
#include "platform/MessageNames.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace contract {

using namespace platform;

// What differs between the two runs, supplied by each side's main.
class Environment {
public:
    virtual ~Environment() = default;
    virtual bool Simulated() const = 0;
    // A clean desktop before each case (a new simulated one; nothing on Windows).
    virtual void Fresh() = 0;
    // Puts a file with these bytes where CreateFileA finds it; gives its full ANSI path.
    virtual std::string MakeFile(const std::string& name, const std::string& bytes) = 0;
    // A command line whose process ends by itself with this exit code.
    virtual std::u16string ExitingProgram(DWORD exitCode) = 0;
    // A full path in an existing folder that holds no such file.
    virtual std::string MissingFile() = 0;

    // Programs for CreateProcessW to find, all under the current folder, which is neither the
    // suite's own folder nor on the PATH. Each gives the full path it made.
    // A program that ends by itself with kPlacedExitCode, at this relative path.
    virtual std::u16string PlaceProgram(const std::u16string& relative) = 0;
    virtual std::u16string MakeFolder(const std::u16string& relative) = 0;
    // Appends the folder to the PATH that CreateProcessW searches.
    virtual void AddToPath(const std::u16string& folder) = 0;
    // A command line naming this suite's own program by its bare file name, which lies only in
    // the suite's folder; that process ends with this exit code.
    virtual std::u16string OwnProgramByName(DWORD exitCode) = 0;

    // An empty folder on a network share, \\server\share\Package; nothing when this run
    // has no share (the Wine run gets one from its harness, E2E_SHARE).
    virtual std::optional<std::u16string> ShareFolder() = 0;
    // Makes the folder current, as SetCurrentDirectoryW; MakeFile, PlaceProgram and MakeFolder
    // then work in it. False when it cannot be entered.
    virtual bool EnterFolder(const std::u16string& folder) = 0;
};

inline constexpr DWORD kPlacedExitCode = 7;

Environment& Env();
int RunAll(Environment& environment, int argc, char** argv);

// ---- Cases and checks -----------------------------------------------------------------------

struct Case {
    const char* name;
    void (*run)();
    // Set: Wine differs from Windows' documented behaviour here; the case runs on the host.
    const char* hostOnlyBecause;
};

std::vector<Case>& Cases();

struct Register {
    Register(const char* name, void (*run)(), const char* hostOnlyBecause = nullptr) {
        Cases().push_back({name, run, hostOnlyBecause});
    }
};

void Failure(const char* file, int line, const std::string& what);

std::string ShowSigned(long long value);
std::string ShowUnsigned(unsigned long long value);
std::string Show(const std::string& value);
std::string Show(const std::u16string& value);
std::string Show(const void* value);
template <typename T>
requires std::is_integral_v<T> std::string Show(T value) {
    if constexpr (std::is_signed_v<T>) {
        return ShowSigned(value);
    } else {
        return ShowUnsigned(value);
    }
}
inline std::string Show(const char* value) {
    return Show(std::string(value));
}
inline std::string Show(const char16_t* value) {
    return Show(std::u16string(value));
}

template <typename A, typename B>
bool CheckEqual(const A& actual, const B& expected, const char* file, int line, const char* text) {
    if (actual == expected) {
        return true;
    }
    Failure(file, line, std::string(text) + ": got " + Show(actual) + ", want " + Show(expected));
    return false;
}

#define CONTRACT_CASE(name)                                                                        \
    static void name();                                                                            \
    static const ::contract::Register name##Registered(#name, name);                               \
    static void name()

// Wine is known to differ from Windows here; `why` says how, in one line.
#define CONTRACT_HOST_CASE(name, why)                                                              \
    static void name();                                                                            \
    static const ::contract::Register name##Registered(#name, name, why);                          \
    static void name()

#define CHECK(condition)                                                                           \
    ((condition) ? true : (::contract::Failure(__FILE__, __LINE__, "not true: " #condition), false))
#define CHECK_EQ(actual, expected)                                                                 \
    ::contract::CheckEqual((actual), (expected), __FILE__, __LINE__, #actual " == " #expected)
// Ends the case when the check fails: what follows depends on it.
#define REQUIRE(condition)                                                                         \
    do {                                                                                           \
        if (!CHECK(condition))                                                                     \
            return;                                                                                \
    } while (false)

// ---- Windows and their messages ---------------------------------------------------------------

enum class How { Sent, Posted, Hook };

// One message as a window procedure (or the call-window hook) saw it.
struct Seen {
    HWND window;
    UINT message;
    How how;
    WPARAM wParam;
    LPARAM lParam;
};

// One step of an expected sequence: the message, how it came, and the parameters that matter.
struct Step {
    UINT message;
    How how = How::Sent;
    std::optional<WPARAM> wParam{};
    std::optional<LPARAM> lParam{};
};

using Sequence = std::vector<Step>;

// What the test window does with a message before DefWindowProcW; nullopt: hand it on.
using Behaviour = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

std::vector<Seen>& Log();
void SetBehaviour(Behaviour behaviour);

// The test window class, registered on first use on each desktop.
const char16_t* TestClass();
LRESULT PLATFORM_CALLBACK TestProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A window of the test class; destroyed with the guard.
class TestWindow {
public:
    TestWindow(DWORD style, int x, int y, int width, int height, HWND parent = nullptr,
               const char16_t* text = u"contract");
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Posts a marker and dispatches until it arrives, so that every message posted before it has
// been delivered (and logged as posted).
void DeliverPosted(HWND window);

// The log, for one window, of the messages the expectation names, checked step by step.
bool CheckSequence(HWND window, const Sequence& expected, const char* file, int line,
                   const char* name);
#define CHECK_SEQUENCE(window, expected)                                                           \
    ::contract::CheckSequence((window), (expected), __FILE__, __LINE__, #expected)

using platform::MessageName;

constexpr LPARAM SizeParam(int width, int height) {
    return MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height));
}

} // namespace contract
