// What a test does with the simulated desktop besides installing it: arrange it, observe it and
// act as its user. SimDesktop is all three; a helper that needs only one side can take it alone.
#pragma once

#include "platform/sim/SimConfig.h"
#include "platform/sim/SimLedger.h"
#include "platform/sim/SimRecords.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sim {

struct DesktopAreas;

// Configuration, scripts and failures, set before or while the program runs.
class DesktopArrangement {
public:
    // ---- Files and resources ----
    std::filesystem::path DriveRoot() const;
    // Where a Windows path on drive C: lies on the host (components as written, no folding).
    std::filesystem::path HostPath(std::u16string_view windowsPath) const;
    void CreateHostDirectory(std::u16string_view windowsPath);
    void CreateHostFile(std::u16string_view windowsPath, std::string_view bytes);
    void SetCurrentDirectory(std::u16string windowsPath);
    void SetModuleFileName(std::u16string windowsPath);
    // Appended to the PATH that CreateProcessW searches.
    void AddPathFolder(std::u16string windowsPath);
    // From now on GetCurrentDirectoryW fails with `error` (0: works again).
    void FailCurrentDirectory(DWORD error);
    // Opening the path fails with `error` (a file another program holds open).
    void LockPath(std::u16string_view windowsPath, DWORD error = ERROR_SHARING_VIOLATION);
    void UnlockPath(std::u16string_view windowsPath);
    // Files opened at this path deliver `bytes` bytes, then every ReadFile fails with `error`.
    void FailReadAfter(std::u16string_view windowsPath, std::uint64_t bytes,
                       DWORD error = ERROR_READ_FAULT);

    void AddResource(ResourceId name, ResourceId type, std::vector<BYTE> bytes);
    void AddResourceFromFile(ResourceId name, ResourceId type, const std::filesystem::path& file);
    // Splits an .ico file into an RT_GROUP_ICON named `name` and its RT_ICON images, as the
    // resource compiler does. Throws std::invalid_argument when the bytes are no icon file.
    void AddIconGroup(ResourceId name, const std::vector<BYTE>& icoFile);
    void AddIconGroupFromFile(ResourceId name, const std::filesystem::path& icoFile);

    // ---- Kernel ----
    void SetSystemMessage(DWORD code, std::u16string text);
    void RemoveSystemMessage(DWORD code);
    // HeapAlloc returns null whenever the predicate says so.
    void FailHeapAlloc(std::function<bool(const HeapAllocRequest&)> predicate);
    void FailNextHeapAllocs(int count);
    void StopHeapFailures();
    // The program file at `program` (completed against the current directory when relative) is
    // made on drive C:, and CreateProcessW runs it as the script says once it finds that file.
    void ScriptProcess(std::u16string program, ProcessScript script);

    // ---- Messages ----
    // Off: messages are delivered as ever but not recorded, so that a benchmark's thousands
    // of messages do not time the log. On by default.
    void SetMessageLog(bool on);
    // Runs when GetMessageW finds nothing to return, first in first out. When none is left,
    // GetMessageW posts WM_QUIT itself and IdleExhausted() becomes true.
    void OnIdle(std::function<void()> action);
    // Called while a message box is up; a non-zero result is the answer. Otherwise the next
    // queued answer is used, or the box's first button (IDOK for MB_OK).
    void OnMessageBox(std::function<int(const MessageBoxRecord&)> handler);
    void QueueMessageBoxAnswer(int answer);

protected:
    DesktopArrangement() = default;
    ~DesktopArrangement() = default;

private:
    DesktopAreas& Areas();
    const DesktopAreas& Areas() const;
};

// The records, the log, the ledger and what the windows are now.
class DesktopObservation {
public:
    const SimConfig& Config() const;

    // ---- Files and the kernel ----
    const std::vector<FileOpenRecord>& FileOpens() const;
    int HeapAllocCount() const;
    int HeapAllocFailures() const;
    const std::vector<ProcessLaunch>& Launches() const;
    const HandleLedger& Ledger() const;
    const ProcessSettings& Settings() const;

    // ---- Messages ----
    const std::vector<MessageRecord>& Messages() const;
    void ClearMessages();
    std::vector<MessageRecord> MessagesTo(HWND window) const;
    // The numbers of the messages sent to a window, in order.
    std::vector<UINT> SentTo(HWND window) const;
    bool IdleExhausted() const;
    std::size_t PendingIdleActions() const;
    const std::vector<MessageBoxRecord>& MessageBoxes() const;

    // ---- Painting ----
    std::optional<LOGFONTW> FontOf(HWND window) const; // the HFONT last set with WM_SETFONT
    std::optional<LOGFONTW> LogFontOf(HFONT font) const;
    std::optional<COLORREF> BrushColorOf(HBRUSH brush) const;
    HICON IconOf(HWND window, int which) const; // ICON_BIG / ICON_SMALL set with WM_SETICON
    const std::vector<LockWindowUpdateCall>& LockWindowUpdateCalls() const;
    HWND LockedWindow() const;
    const std::vector<PaintOp>& PaintOps() const;
    void ClearPaintOps();
    bool NeedsPaint(HWND window) const;

    // ---- Windows ----
    // Calls of SetWindowPos and MoveWindow so far, counted with the message log off too.
    long long MoveCalls() const;
    const std::vector<HWND>& ForegroundRequests() const;
    std::vector<HWND> TopLevelWindows() const;       // in z-order, topmost first
    std::vector<HWND> ChildrenOf(HWND parent) const; // in z-order (= tab order)
    HWND ChildById(HWND parent, int id) const;
    HWND OwnerOf(HWND window) const;
    std::u16string ClassNameOf(HWND window) const;
    std::u16string TextOf(HWND window) const;
    DWORD StyleOf(HWND window) const;
    RECT NormalRectOf(HWND window) const; // where SW_RESTORE puts it back

protected:
    DesktopObservation() = default;
    ~DesktopObservation() = default;

private:
    DesktopAreas& Areas();
    const DesktopAreas& Areas() const;
};

// The user. Actions taken while the thread is blocked in a wait (from ProcessScript::onWait)
// are held back and run when it next asks for a message, as a real desktop would deliver them.
class DesktopUser {
public:
    // Drags a border of a sizeable window: WM_GETMINMAXINFO, WM_ENTERSIZEMOVE, WM_SIZING with
    // the proposed rectangle (held within the tracking limits; the window may change it),
    // the move to the resulting rectangle, WM_EXITSIZEMOVE. False when no user could drag it.
    bool DragBorder(HWND window, WPARAM edge, RECT proposed);
    // The caption buttons: WM_SYSCOMMAND as the click sends it. False when the window has no
    // such button or is disabled.
    bool Maximize(HWND window);
    bool Minimize(HWND window);
    bool Restore(HWND window); // the restore button, or the task-bar button when minimised
    bool CloseBox(HWND window);
    bool ClickButton(HWND button); // BM_CLICK
    // Types into an edit box: its text becomes TEXT, and the parent hears EN_CHANGE.
    bool TypeText(HWND edit, const std::u16string& text);
    // Clicks a list box's line: it is selected, and the parent hears LBN_SELCHANGE.
    bool ChooseListItem(HWND list, int index);
    // WM_KEYDOWN (WM_SYSKEYDOWN with Alt) and WM_KEYUP through the message loop, to the focus
    // window (the active window when nothing has the focus).
    void PressKey(WPARAM virtualKey, bool alt = false, bool shift = false);
    // Changes the screen (the taskbar keeps its edge and thickness), sends WM_DISPLAYCHANGE to
    // every top-level window, then WM_NCPAINT to the visible ones.
    void SetScreenSize(int width, int height);
    void SetTaskbar(RECT rect, bool autoHide);
    // The system calling the thread's call-window hooks with a code of its own; a negative
    // code is one that every hook must hand on with CallNextHookEx and not act upon. Returns
    // the first hook's result (0 without hooks).
    LRESULT CallHooks(int code, WPARAM wParam, LPARAM lParam);

protected:
    DesktopUser() = default;
    ~DesktopUser() = default;

private:
    DesktopAreas& Areas();
    const DesktopAreas& Areas() const;
};

} // namespace platform::sim
