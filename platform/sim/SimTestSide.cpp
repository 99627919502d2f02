// The arranging and observing sides of the simulated desktop, forwarded to the areas.
#include "platform/sim/SimAreas.h"
#include "platform/sim/SimDesktop.h"

namespace platform::sim {

DesktopAreas& DesktopArrangement::Areas() {
    return *static_cast<SimDesktop*>(this)->areas_;
}
const DesktopAreas& DesktopArrangement::Areas() const {
    return *static_cast<const SimDesktop*>(this)->areas_;
}
DesktopAreas& DesktopObservation::Areas() {
    return *static_cast<SimDesktop*>(this)->areas_;
}
const DesktopAreas& DesktopObservation::Areas() const {
    return *static_cast<const SimDesktop*>(this)->areas_;
}

// ---- Arranging --------------------------------------------------------------------------------

std::filesystem::path DesktopArrangement::DriveRoot() const {
    return Areas().kernel.DriveRoot();
}
std::filesystem::path DesktopArrangement::HostPath(std::u16string_view windowsPath) const {
    return Areas().kernel.HostPath(windowsPath);
}
void DesktopArrangement::CreateHostDirectory(std::u16string_view windowsPath) {
    Areas().kernel.CreateHostDirectory(windowsPath);
}
void DesktopArrangement::CreateHostFile(std::u16string_view windowsPath, std::string_view bytes) {
    Areas().kernel.CreateHostFile(windowsPath, bytes);
}
void DesktopArrangement::SetCurrentDirectory(std::u16string windowsPath) {
    Areas().kernel.SetCurrentDirectory(std::move(windowsPath));
}
void DesktopArrangement::SetModuleFileName(std::u16string windowsPath) {
    Areas().kernel.SetModuleFileName(std::move(windowsPath));
}
void DesktopArrangement::LockPath(std::u16string_view windowsPath, DWORD error) {
    Areas().kernel.LockPath(windowsPath, error);
}
void DesktopArrangement::UnlockPath(std::u16string_view windowsPath) {
    Areas().kernel.UnlockPath(windowsPath);
}
void DesktopArrangement::FailReadAfter(std::u16string_view windowsPath, std::uint64_t bytes,
                                       DWORD error) {
    Areas().kernel.FailReadAfter(windowsPath, bytes, error);
}
void DesktopArrangement::AddResource(ResourceId name, ResourceId type, std::vector<BYTE> bytes) {
    Areas().kernel.AddResource(std::move(name), std::move(type), std::move(bytes));
}
void DesktopArrangement::AddResourceFromFile(ResourceId name, ResourceId type,
                                             const std::filesystem::path& file) {
    Areas().kernel.AddResourceFromFile(std::move(name), std::move(type), file);
}
void DesktopArrangement::AddIconGroup(ResourceId name, const std::vector<BYTE>& icoFile) {
    Areas().kernel.AddIconGroup(std::move(name), icoFile);
}
void DesktopArrangement::AddIconGroupFromFile(ResourceId name,
                                              const std::filesystem::path& icoFile) {
    Areas().kernel.AddIconGroupFromFile(std::move(name), icoFile);
}
void DesktopArrangement::SetSystemMessage(DWORD code, std::u16string text) {
    Areas().kernel.SetSystemMessage(code, std::move(text));
}
void DesktopArrangement::RemoveSystemMessage(DWORD code) {
    Areas().kernel.RemoveSystemMessage(code);
}
void DesktopArrangement::FailHeapAlloc(std::function<bool(const HeapAllocRequest&)> predicate) {
    Areas().kernel.FailHeapAlloc(std::move(predicate));
}
void DesktopArrangement::FailNextHeapAllocs(int count) {
    Areas().kernel.FailNextHeapAllocs(count);
}
void DesktopArrangement::StopHeapFailures() {
    Areas().kernel.StopHeapFailures();
}
void DesktopArrangement::ScriptProcess(std::u16string program, ProcessScript script) {
    Areas().kernel.ScriptProcess(std::move(program), std::move(script));
}
void DesktopArrangement::AddPathFolder(std::u16string windowsPath) {
    Areas().config.pathFolders.push_back(std::move(windowsPath));
}
void DesktopArrangement::FailCurrentDirectory(DWORD error) {
    Areas().kernel.FailCurrentDirectory(error);
}
void DesktopArrangement::SetMessageLog(bool on) {
    Areas().messaging.SetMessageLog(on);
}
void DesktopArrangement::OnIdle(std::function<void()> action) {
    Areas().messaging.OnIdle(std::move(action));
}
void DesktopArrangement::OnMessageBox(std::function<int(const MessageBoxRecord&)> handler) {
    Areas().messaging.OnMessageBox(std::move(handler));
}
void DesktopArrangement::QueueMessageBoxAnswer(int answer) {
    Areas().messaging.QueueMessageBoxAnswer(answer);
}

// ---- Observing --------------------------------------------------------------------------------

const SimConfig& DesktopObservation::Config() const {
    return Areas().config;
}
const std::vector<FileOpenRecord>& DesktopObservation::FileOpens() const {
    return Areas().kernel.FileOpens();
}
int DesktopObservation::HeapAllocCount() const {
    return Areas().kernel.HeapAllocCount();
}
int DesktopObservation::HeapAllocFailures() const {
    return Areas().kernel.HeapAllocFailures();
}
const std::vector<ProcessLaunch>& DesktopObservation::Launches() const {
    return Areas().kernel.Launches();
}
const HandleLedger& DesktopObservation::Ledger() const {
    return Areas().kernel.Ledger();
}
const ProcessSettings& DesktopObservation::Settings() const {
    return Areas().kernel.Settings();
}

const std::vector<MessageRecord>& DesktopObservation::Messages() const {
    return Areas().messaging.Messages();
}
void DesktopObservation::ClearMessages() {
    Areas().messaging.ClearMessages();
}
std::vector<MessageRecord> DesktopObservation::MessagesTo(HWND window) const {
    return Areas().messaging.MessagesTo(window);
}
std::vector<UINT> DesktopObservation::SentTo(HWND window) const {
    return Areas().messaging.SentTo(window);
}
bool DesktopObservation::IdleExhausted() const {
    return Areas().messaging.IdleExhausted();
}
std::size_t DesktopObservation::PendingIdleActions() const {
    return Areas().messaging.PendingIdleActions();
}
const std::vector<MessageBoxRecord>& DesktopObservation::MessageBoxes() const {
    return Areas().messaging.MessageBoxes();
}

std::optional<LOGFONTW> DesktopObservation::FontOf(HWND window) const {
    const std::optional<HFONT> font = Areas().messaging.ObservedFont(window);
    if (!font || *font == nullptr) {
        return std::nullopt;
    }
    return LogFontOf(*font);
}
std::optional<LOGFONTW> DesktopObservation::LogFontOf(HFONT font) const {
    return Areas().gdi.LogFontOf(font);
}
std::optional<COLORREF> DesktopObservation::BrushColorOf(HBRUSH brush) const {
    return Areas().gdi.BrushColorOf(brush);
}
HICON DesktopObservation::IconOf(HWND window, int which) const {
    const Window* w = Areas().windows.Find(window);
    if (w == nullptr) {
        return nullptr;
    }
    return which == ICON_SMALL ? w->smallIcon : w->bigIcon;
}
const std::vector<LockWindowUpdateCall>& DesktopObservation::LockWindowUpdateCalls() const {
    return Areas().gdi.LockWindowUpdateCalls();
}
long long DesktopObservation::MoveCalls() const {
    return Areas().windows.MoveCalls();
}
HWND DesktopObservation::LockedWindow() const {
    return Areas().gdi.LockedWindow();
}
const std::vector<PaintOp>& DesktopObservation::PaintOps() const {
    return Areas().gdi.PaintOps();
}
void DesktopObservation::ClearPaintOps() {
    Areas().gdi.ClearPaintOps();
}
bool DesktopObservation::NeedsPaint(HWND window) const {
    return Areas().windows.Find(window) != nullptr && Areas().gdi.NeedsPaint(window);
}

const std::vector<HWND>& DesktopObservation::ForegroundRequests() const {
    return Areas().activation.ForegroundRequests();
}
std::vector<HWND> DesktopObservation::TopLevelWindows() const {
    return Areas().windows.TopLevel();
}
std::vector<HWND> DesktopObservation::ChildrenOf(HWND parent) const {
    const Window* w = Areas().windows.Find(parent);
    return w == nullptr ? std::vector<HWND>() : w->children;
}
HWND DesktopObservation::ChildById(HWND parent, int id) const {
    const WindowTree& windows = Areas().windows;
    const Window* w = windows.Find(parent);
    if (w == nullptr) {
        return nullptr;
    }
    for (HWND child : w->children) {
        if (const Window* c = windows.Find(child); c != nullptr && c->id == id) {
            return child;
        }
    }
    return nullptr;
}
HWND DesktopObservation::OwnerOf(HWND window) const {
    const Window* w = Areas().windows.Find(window);
    return w == nullptr ? nullptr : w->owner;
}
std::u16string DesktopObservation::ClassNameOf(HWND window) const {
    const Window* w = Areas().windows.Find(window);
    return w == nullptr ? std::u16string() : w->windowClass->name;
}
std::u16string DesktopObservation::TextOf(HWND window) const {
    const Window* w = Areas().windows.Find(window);
    return w == nullptr ? std::u16string() : w->text;
}
DWORD DesktopObservation::StyleOf(HWND window) const {
    const Window* w = Areas().windows.Find(window);
    return w == nullptr ? 0 : w->style;
}
RECT DesktopObservation::NormalRectOf(HWND window) const {
    const Window* w = Areas().windows.Find(window);
    if (w == nullptr) {
        return RECT{};
    }
    if ((w->style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0) {
        return w->rect;
    }
    return w->normalRect;
}

} // namespace platform::sim
