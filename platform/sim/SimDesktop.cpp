// Construction, the shared helpers and the test-side accessors of the simulated desktop.
#include "platform/sim/SimState.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace platform::sim {

namespace {

std::atomic<std::uintptr_t> nextHandle{0x1000};
std::vector<SimDesktop*> desktops;

} // namespace

std::uintptr_t NewHandleValue() {
    return nextHandle.fetch_add(4) + 4;
}

std::u16string UpperCase(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
            c = static_cast<char16_t>(c - 0x20);
        } else if (c == 0xFF) {
            c = 0x178;
        }
    }
    return out;
}

std::u16string FromNullable(const char16_t* text) {
    return text == nullptr ? std::u16string() : std::u16string(text);
}

// ---- Resource identifiers ----------------------------------------------------------------------

ResourceId::ResourceId(int id) : isInteger_(true), integer_(static_cast<WORD>(id)) {}

ResourceId::ResourceId(const char16_t* nameOrIntResource) {
    if (IS_INTRESOURCE(nameOrIntResource)) {
        isInteger_ = true;
        integer_ = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(nameOrIntResource));
        return;
    }
    std::u16string name(nameOrIntResource);
    // "#123" names the integer resource 123, as on Windows.
    if (name.size() > 1 && name[0] == u'#' &&
        std::all_of(name.begin() + 1, name.end(),
                    [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        isInteger_ = true;
        unsigned long value = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            value = value * 10 + (name[i] - u'0');
            if (value > 0xFFFF) {
                value = 0xFFFF;
            }
        }
        integer_ = static_cast<WORD>(value);
        return;
    }
    name_ = UpperCase(name);
}

ResourceId::ResourceId(std::u16string name) : ResourceId(name.c_str()) {}

bool ResourceId::operator==(const ResourceId& other) const {
    if (isInteger_ != other.isInteger_) {
        return false;
    }
    return isInteger_ ? integer_ == other.integer_ : name_ == other.name_;
}

ProcessScript ProcessScript::CannotStart(DWORD error) {
    ProcessScript script;
    script.startError = error;
    return script;
}

ProcessScript ProcessScript::Exits(DWORD exitCode) {
    ProcessScript script;
    script.exitCode = exitCode;
    return script;
}

// ---- The registry of desktops, for the built-in window procedures -----------------------------

void RegisterDesktop(SimDesktop* desktop) {
    desktops.push_back(desktop);
}

void UnregisterDesktop(SimDesktop* desktop) {
    desktops.erase(std::remove(desktops.begin(), desktops.end(), desktop), desktops.end());
}

DesktopState& StateOf(SimDesktop& desktop) {
    return *desktop.state_;
}

SimDesktop* DesktopOf(HWND window) {
    for (auto it = desktops.rbegin(); it != desktops.rend(); ++it) {
        if (StateOf(**it).Find(window) != nullptr) {
            return *it;
        }
    }
    return nullptr;
}

// ---- Construction ----------------------------------------------------------------------------

namespace {

std::filesystem::path MakeTemporaryRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "simdesk-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("simulated desktop: cannot create a temporary drive folder");
    }
    return std::filesystem::path(buffer.data());
}

const std::pair<DWORD, const char16_t*> kSystemMessages[] = {
    {0, u"The operation completed successfully.\r\n"},
    {1, u"Incorrect function.\r\n"},
    {2, u"The system cannot find the file specified.\r\n"},
    {3, u"The system cannot find the path specified.\r\n"},
    {5, u"Access is denied.\r\n"},
    {6, u"The handle is invalid.\r\n"},
    {8, u"Not enough storage is available to process this command.\r\n"},
    {13, u"The data is invalid.\r\n"},
    {14, u"Not enough storage is available to complete this operation.\r\n"},
    {30, u"The system cannot read from the specified device.\r\n"},
    {32, u"The process cannot access the file because it is being used by another process.\r\n"},
    {87, u"The parameter is incorrect.\r\n"},
    {122, u"The data area passed to a system call is too small.\r\n"},
    {123, u"The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {126, u"The specified module could not be found.\r\n"},
    {127, u"The specified procedure could not be found.\r\n"},
    {193, u"%1 is not a valid Win32 application.\r\n"},
    {216, u"This version of %1 is not compatible with the version of Windows you're running. "
          u"Check your computer's system information and then contact the software "
          u"publisher.\r\n"},
    {740, u"The requested operation requires elevation.\r\n"},
    {1113, u"No mapping for the Unicode character exists in the target multi-byte code "
           u"page.\r\n"},
    {1155, u"No application is associated with the specified file for this operation.\r\n"},
    {1223, u"The operation was canceled by the user.\r\n"},
    {1400, u"Invalid window handle.\r\n"},
};

} // namespace

DesktopState::DesktopState(SimDesktop& desktop, SimConfig cfg)
    : desk(desktop), config(std::move(cfg)) {
    for (const auto& [code, text] : kSystemMessages) {
        systemMessages[code] = text;
    }
    processHeap = AsHandle<HANDLE>(NewHandleValue());
    module = AsHandle<HINSTANCE>(0x00400000); // where a 32-bit executable loads
    GdiObject systemFont;
    systemFont.kind = GdiObject::Kind::Font;
    systemFont.font.lfHeight = 16;
    systemFont.font.lfWeight = FW_BOLD;
    std::memcpy(systemFont.font.lfFaceName, u"System", sizeof(u"System"));
    stockFont = AsHandle<HGDIOBJ>(NewHandleValue());
    gdiObjects[ValueOf(stockFont)] = systemFont;
    GdiObject whiteBrush;
    whiteBrush.kind = GdiObject::Kind::Brush;
    whiteBrush.color = RGB(255, 255, 255);
    stockBrush = AsHandle<HGDIOBJ>(NewHandleValue());
    gdiObjects[ValueOf(stockBrush)] = whiteBrush;
    if (config.driveRoot.empty()) {
        config.driveRoot = MakeTemporaryRoot();
        ownsDriveRoot = true;
    }
}

DesktopState::~DesktopState() {
    for (auto& [value, file] : files) {
        if (file.descriptor >= 0) {
            ::close(file.descriptor);
        }
    }
    for (auto& [block, size] : heapBlocks) {
        std::free(block);
    }
    for (void* block : heapQuarantine) {
        std::free(block);
    }
    for (auto& [block, size] : localBlocks) {
        std::free(block);
    }
    for (void* block : localQuarantine) {
        std::free(block);
    }
    if (ownsDriveRoot) {
        std::error_code ignored;
        std::filesystem::remove_all(config.driveRoot, ignored);
    }
}

SimDesktop::SimDesktop(SimConfig config)
    : state_(std::make_unique<DesktopState>(*this, std::move(config))) {
    DesktopState& s = *state_;
    auto builtIn = [&s](const char16_t* name, WNDPROC procedure, UINT style) {
        auto cls = std::make_unique<WindowClass>();
        cls->name = name;
        cls->upperName = UpperCase(name);
        cls->atom = s.nextAtom++;
        cls->procedure = procedure;
        cls->style = style;
        cls->builtIn = true;
        s.classes.push_back(std::move(cls));
    };
    builtIn(u"STATIC", StaticProcedure, 0x0008 /* CS_DBLCLKS */);
    builtIn(u"BUTTON", ButtonProcedure, 0x0008 | 0x0003 /* CS_DBLCLKS|CS_HREDRAW|CS_VREDRAW */);
    builtIn(u"#32770", MessageBoxProcedure, 0x0008);
    if (s.ownsDriveRoot) {
        // A private drive starts with the current directory in place.
        std::error_code ignored;
        std::filesystem::create_directories(HostPath(s.config.currentDirectory), ignored);
    }
    RegisterDesktop(this);
}

SimDesktop::~SimDesktop() {
    UnregisterDesktop(this);
}

const SimConfig& SimDesktop::Config() const {
    return state_->config;
}

// ---- Test-side accessors -----------------------------------------------------------------------

std::filesystem::path SimDesktop::DriveRoot() const {
    return state_->config.driveRoot;
}

std::filesystem::path SimDesktop::HostPath(std::u16string_view windowsPath) const {
    std::u16string path(windowsPath);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    if (path.size() >= 2 && path[1] == u':') {
        path = path.substr(2);
    } else if (path.empty() || path[0] != u'\\') {
        path = state_->config.currentDirectory.substr(2) + u"\\" + path;
    }
    std::filesystem::path host = state_->config.driveRoot;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos) {
            end = path.size();
        }
        if (end > start) {
            host /= Utf16ToUtf8(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return host;
}

void SimDesktop::CreateHostDirectory(std::u16string_view windowsPath) {
    std::filesystem::create_directories(HostPath(windowsPath));
}

void SimDesktop::CreateHostFile(std::u16string_view windowsPath, std::string_view bytes) {
    std::filesystem::path host = HostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("simulated desktop: cannot write " + host.string());
    }
}

void SimDesktop::SetCurrentDirectory(std::u16string windowsPath) {
    state_->config.currentDirectory = std::move(windowsPath);
}

void SimDesktop::SetModuleFileName(std::u16string windowsPath) {
    state_->config.moduleFileName = std::move(windowsPath);
}

const std::vector<FileOpenRecord>& SimDesktop::FileOpens() const {
    return state_->fileOpens;
}

void SimDesktop::SetSystemMessage(DWORD code, std::u16string text) {
    state_->systemMessages[code] = std::move(text);
}

void SimDesktop::RemoveSystemMessage(DWORD code) {
    state_->systemMessages.erase(code);
}

void SimDesktop::FailHeapAlloc(std::function<bool(const HeapAllocRequest&)> predicate) {
    state_->heapFailure = std::move(predicate);
}

void SimDesktop::FailNextHeapAllocs(int count) {
    state_->failNextHeapAllocs = count;
}

void SimDesktop::StopHeapFailures() {
    state_->heapFailure = nullptr;
    state_->failNextHeapAllocs = 0;
}

int SimDesktop::HeapAllocCount() const {
    return state_->heapAllocCount;
}
int SimDesktop::HeapAllocFailures() const {
    return state_->heapAllocFailures;
}

void SimDesktop::ScriptProcess(std::u16string commandLine, ProcessScript script) {
    auto& scripts = state_->scripts;
    for (auto& entry : scripts) {
        if (entry.first == commandLine) {
            entry.second = std::move(script);
            return;
        }
    }
    scripts.emplace_back(std::move(commandLine), std::move(script));
}

const std::vector<ProcessLaunch>& SimDesktop::Launches() const {
    return state_->launches;
}
const HandleLedger& SimDesktop::Ledger() const {
    return state_->ledger;
}

const ProcessSettings& SimDesktop::Settings() const {
    return state_->settings;
}

const std::vector<MessageRecord>& SimDesktop::Messages() const {
    return state_->messages;
}
void SimDesktop::ClearMessages() {
    state_->messages.clear();
}

void SimDesktop::SetMessageLog(bool on) {
    state_->logMessages = on;
}

std::vector<MessageRecord> SimDesktop::MessagesTo(HWND window) const {
    std::vector<MessageRecord> out;
    for (const auto& record : state_->messages) {
        if (record.window == window) {
            out.push_back(record);
        }
    }
    return out;
}

std::vector<UINT> SimDesktop::SentTo(HWND window) const {
    std::vector<UINT> out;
    for (const auto& record : state_->messages) {
        if (record.window == window && record.delivery == Delivery::Sent) {
            out.push_back(record.message);
        }
    }
    return out;
}

void SimDesktop::OnIdle(std::function<void()> action) {
    state_->idle.push_back(std::move(action));
    state_->idleExhausted = false;
}

bool SimDesktop::IdleExhausted() const {
    return state_->idleExhausted;
}
std::size_t SimDesktop::PendingIdleActions() const {
    return state_->idle.size();
}

void SimDesktop::OnMessageBox(std::function<int(const MessageBoxRecord&)> handler) {
    state_->messageBoxHandler = std::move(handler);
}

void SimDesktop::QueueMessageBoxAnswer(int answer) {
    state_->messageBoxAnswers.push_back(answer);
}

const std::vector<MessageBoxRecord>& SimDesktop::MessageBoxes() const {
    return state_->messageBoxes;
}

std::optional<LOGFONTW> SimDesktop::FontOf(HWND window) const {
    const Window* w = state_->Find(window);
    if (w == nullptr || !w->fontObservedSet || w->fontObserved == nullptr) {
        return std::nullopt;
    }
    return LogFontOf(w->fontObserved);
}

std::optional<LOGFONTW> SimDesktop::LogFontOf(HFONT font) const {
    auto it = state_->gdiObjects.find(ValueOf(font));
    if (it == state_->gdiObjects.end() || it->second.kind != GdiObject::Kind::Font) {
        return std::nullopt;
    }
    return it->second.font;
}

std::optional<COLORREF> SimDesktop::BrushColorOf(HBRUSH brush) const {
    auto it = state_->gdiObjects.find(ValueOf(brush));
    if (it == state_->gdiObjects.end() || it->second.kind != GdiObject::Kind::Brush) {
        return std::nullopt;
    }
    return it->second.color;
}

HICON SimDesktop::IconOf(HWND window, int which) const {
    const Window* w = state_->Find(window);
    if (w == nullptr) {
        return nullptr;
    }
    return which == ICON_SMALL ? w->smallIcon : w->bigIcon;
}

const std::vector<HWND>& SimDesktop::ForegroundRequests() const {
    return state_->foregroundRequests;
}

const std::vector<LockWindowUpdateCall>& SimDesktop::LockWindowUpdateCalls() const {
    return state_->lockCalls;
}

HWND SimDesktop::LockedWindow() const {
    return state_->locked;
}
const std::vector<PaintOp>& SimDesktop::PaintOps() const {
    return state_->paintOps;
}
void SimDesktop::ClearPaintOps() {
    state_->paintOps.clear();
}

std::vector<HWND> SimDesktop::TopLevelWindows() const {
    return state_->topLevel;
}

std::vector<HWND> SimDesktop::ChildrenOf(HWND parent) const {
    const Window* w = state_->Find(parent);
    return w == nullptr ? std::vector<HWND>() : w->children;
}

HWND SimDesktop::ChildById(HWND parent, int id) const {
    const Window* w = state_->Find(parent);
    if (w == nullptr) {
        return nullptr;
    }
    for (HWND child : w->children) {
        if (const Window* c = state_->Find(child); c != nullptr && c->id == id) {
            return child;
        }
    }
    return nullptr;
}

HWND SimDesktop::OwnerOf(HWND window) const {
    const Window* w = state_->Find(window);
    return w == nullptr ? nullptr : w->owner;
}

std::u16string SimDesktop::ClassNameOf(HWND window) const {
    const Window* w = state_->Find(window);
    return w == nullptr ? std::u16string() : w->windowClass->name;
}

std::u16string SimDesktop::TextOf(HWND window) const {
    const Window* w = state_->Find(window);
    return w == nullptr ? std::u16string() : w->text;
}

DWORD SimDesktop::StyleOf(HWND window) const {
    const Window* w = state_->Find(window);
    return w == nullptr ? 0 : w->style;
}

RECT SimDesktop::NormalRectOf(HWND window) const {
    const Window* w = state_->Find(window);
    if (w == nullptr) {
        return RECT{};
    }
    if ((w->style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0) {
        return w->rect;
    }
    return w->normalRect;
}

bool SimDesktop::NeedsPaint(HWND window) const {
    const Window* w = state_->Find(window);
    return w != nullptr && w->needsPaint;
}

} // namespace platform::sim
