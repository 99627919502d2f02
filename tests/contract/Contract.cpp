#include "Contract.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace contract {
namespace {

Environment* environment = nullptr;
int failures = 0;
bool classRegistered = false;
Behaviour behaviour;

// The message DeliverPosted is dispatching, so the procedure can tell it from a sent one.
HWND dispatchWindow = nullptr;
UINT dispatchMessage = 0;
int procedureDepth = 0;

constexpr UINT kMarker = WM_USER + 99;

} // namespace

Environment& Env() {
    return *environment;
}

std::vector<Case>& Cases() {
    static std::vector<Case> cases;
    return cases;
}

void Failure(const char* file, int line, const std::string& what) {
    ++failures;
    const char* base = std::strrchr(file, '/');
    std::printf("    %s:%d: %s\n", base != nullptr ? base + 1 : file, line, what.c_str());
}

std::string ShowSigned(long long value) {
    return std::to_string(value);
}

std::string ShowUnsigned(unsigned long long value) {
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%llx", value);
    return std::to_string(value) + (value > 9 ? std::string(" (") + hex + ")" : "");
}

std::string Show(const std::string& value) {
    std::string out = "\"";
    for (unsigned char c : value) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

std::string Show(const std::u16string& value) {
    std::string out = "u\"";
    for (char16_t c : value) {
        if (c >= 0x20 && c < 0x7F && c != u'\\') {
            out += static_cast<char>(c);
        } else {
            char hex[12];
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out + "\"";
}

std::string Show(const void* value) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", value);
    return text;
}

std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
}

void SetBehaviour(Behaviour next) {
    behaviour = std::move(next);
}

LRESULT PLATFORM_CALLBACK TestProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool posted = procedureDepth == 0 && window == dispatchWindow &&
                        message == dispatchMessage && dispatchMessage != 0;
    if (message != kMarker) {
        Log().push_back({window, message, posted ? How::Posted : How::Sent, wParam, lParam});
    }
    ++procedureDepth;
    std::optional<LRESULT> result;
    if (behaviour) {
        result = behaviour(window, message, wParam, lParam);
    }
    if (!result) {
        result = Os().DefWindowProcW(window, message, wParam, lParam);
    }
    --procedureDepth;
    return *result;
}

const char16_t* TestClass() {
    static const char16_t* const kName = u"ContractWindow";
    if (!classRegistered) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = TestProcedure;
        wc.hInstance = Os().GetModuleHandleW(nullptr);
        wc.lpszClassName = kName;
        if (Os().RegisterClassExW(&wc) == 0) {
            Failure(__FILE__, __LINE__, "RegisterClassExW failed: " + Show(Os().GetLastError()));
        }
        classRegistered = true;
    }
    return kName;
}

TestWindow::TestWindow(DWORD style, int x, int y, int width, int height, HWND parent,
                       const char16_t* text)
    : window_(Os().CreateWindowExW(0, TestClass(), text, style, x, y, width, height, parent,
                                   nullptr, Os().GetModuleHandleW(nullptr), nullptr)) {
    if (window_ == nullptr) {
        Failure(__FILE__, __LINE__, "CreateWindowExW failed: " + Show(Os().GetLastError()));
    }
}

TestWindow::~TestWindow() {
    if (window_ != nullptr && Os().IsWindow(window_)) {
        Os().DestroyWindow(window_);
    }
}

void DeliverPosted(HWND window) {
    Os().PostMessageW(window, kMarker, 0, 0);
    for (int i = 0; i < 1000; ++i) {
        MSG msg{};
        if (Os().GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            return;
        }
        dispatchWindow = msg.hwnd;
        dispatchMessage = msg.message;
        Os().DispatchMessageW(&msg);
        dispatchWindow = nullptr;
        dispatchMessage = 0;
        if (msg.hwnd == window && msg.message == kMarker) {
            return;
        }
    }
    Failure(__FILE__, __LINE__, "the posted marker never came");
}

namespace {

const char* HowName(How how) {
    switch (how) {
    case How::Sent:
        return "sent";
    case How::Posted:
        return "posted";
    case How::Hook:
        return "hook";
    }
    return "?";
}

std::string Describe(UINT message, How how, std::optional<WPARAM> wParam,
                     std::optional<LPARAM> lParam) {
    std::string text = MessageName(message) + " " + HowName(how);
    if (wParam) {
        text += " w=" + std::to_string(static_cast<unsigned long long>(*wParam));
    }
    if (lParam) {
        text += " l=" + std::to_string(static_cast<long long>(*lParam));
        if (message == WM_SIZE) {
            text += " (" + std::to_string(LOWORD(static_cast<std::uintptr_t>(*lParam))) + "x" +
                    std::to_string(HIWORD(static_cast<std::uintptr_t>(*lParam))) + ")";
        }
    }
    return text;
}

} // namespace

bool CheckSequence(HWND window, const Sequence& expected, const char* file, int line,
                   const char* name) {
    std::vector<Seen> seen;
    for (const Seen& entry : Log()) {
        const bool named = std::any_of(expected.begin(), expected.end(), [&](const Step& step) {
            return step.message == entry.message;
        });
        if (entry.window == window && named) {
            seen.push_back(entry);
        }
    }
    bool same = seen.size() == expected.size();
    for (std::size_t i = 0; same && i < seen.size(); ++i) {
        const Step& step = expected[i];
        same = seen[i].message == step.message && seen[i].how == step.how &&
               (!step.wParam || *step.wParam == seen[i].wParam) &&
               (!step.lParam || *step.lParam == seen[i].lParam);
    }
    if (same) {
        return true;
    }
    std::string what = std::string("sequence ") + name + " differs\n      expected:";
    for (const Step& step : expected) {
        what += "\n        " + Describe(step.message, step.how, step.wParam, step.lParam);
    }
    what += "\n      seen:";
    for (const Seen& entry : seen) {
        what += "\n        " + Describe(entry.message, entry.how, entry.wParam, entry.lParam);
    }
    Failure(file, line, what);
    return false;
}

int RunAll(Environment& env, int argc, char** argv) {
    environment = &env;
    // --host-only-too runs the host-only cases here as well, to see whether Wine still differs.
    bool hostOnlyToo = false;
    const char* filter = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--host-only-too") == 0) {
            hostOnlyToo = true;
        } else {
            filter = argv[i];
        }
    }
    int passed = 0;
    int failed = 0;
    int hostOnly = 0;
    std::printf("contract suite on %s\n", env.Simulated() ? "the simulated desktop" : "Windows");
    for (const Case& c : Cases()) {
        if (filter != nullptr && std::strstr(c.name, filter) == nullptr) {
            continue;
        }
        if (c.hostOnlyBecause != nullptr && !env.Simulated() && !hostOnlyToo) {
            ++hostOnly;
            std::printf("[ HOST ] %s: %s\n", c.name, c.hostOnlyBecause);
            continue;
        }
        env.Fresh();
        if (env.Simulated()) {
            classRegistered = false;
        }
        Log().clear();
        behaviour = nullptr;
        const int before = failures;
        c.run();
        behaviour = nullptr;
        if (failures == before) {
            ++passed;
            std::printf("[ PASS ] %s\n", c.name);
        } else {
            ++failed;
            std::printf("[ FAIL ] %s\n", c.name);
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed", passed, failed);
    if (hostOnly > 0) {
        std::printf(" (%d host-only cases not run here)", hostOnly);
    }
    std::printf("\n");
    return failed == 0 ? 0 : 1;
}

} // namespace contract
