// Kernel, files, processes and the ledger: errors, the heap, system information, scripted
// processes, kernel handles, paths and files on drive C:, the module and its resources.
#pragma once

#include "platform/sim/SimCommon.h"
#include "platform/sim/SimConfig.h"
#include "platform/sim/SimLedger.h"
#include "platform/sim/SimRecords.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace platform::sim {

struct OpenFile {
    int descriptor = -1;
    std::u16string windowsPath;
    std::filesystem::path hostPath;
    DWORD shareMode = 0;
    std::uint64_t delivered = 0;
    std::optional<std::uint64_t> failAfter;
    DWORD failError = 0;
};

struct ProcessObject {
    std::size_t launch = 0; // index in launches
    ProcessScript script;
    bool ended = false;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
};

struct Resource {
    ResourceId name;
    ResourceId type;
    std::vector<BYTE> bytes;
};

// Blocks handed out by one allocator. Freed blocks are kept a while, so that addresses are not
// reused and a stale pointer stays recognisable.
struct Blocks {
    Blocks() = default;
    Blocks(const Blocks&) = delete;
    Blocks& operator=(const Blocks&) = delete;
    ~Blocks();
    std::map<void*, SIZE_T> live;
    std::deque<void*> quarantine;
};

class Kernel {
public:
    explicit Kernel(SimConfig& config);
    ~Kernel();
    Kernel(const Kernel&) = delete;
    Kernel& operator=(const Kernel&) = delete;

    // ---- For the other areas ----
    void Fail(DWORD error) { lastError_ = error; }
    void Acquire(std::uintptr_t value, HandleKind kind, std::string call, std::string detail);
    // False (and the fault recorded) when `value` is not live and of `kind`.
    bool Release(std::uintptr_t value, HandleKind kind, std::string call);
    bool Release(std::uintptr_t value, std::initializer_list<HandleKind> kinds, std::string call);
    void Fault(FaultKind kind, std::uintptr_t value, std::string call, std::string detail);
    // A scripted process runs inside a wait; the user's actions wait for it.
    bool BlockedInWait() const { return blockedInWait_ > 0; }
    HINSTANCE Module() const { return module_; }
    const Resource* FindResource(const ResourceId& name, const ResourceId& type) const;

    // ---- Test side ----
    std::filesystem::path DriveRoot() const;
    std::filesystem::path HostPath(std::u16string_view windowsPath) const;
    void CreateHostDirectory(std::u16string_view windowsPath);
    void CreateHostFile(std::u16string_view windowsPath, std::string_view bytes);
    void SetCurrentDirectory(std::u16string windowsPath);
    void SetModuleFileName(std::u16string windowsPath);
    void LockPath(std::u16string_view windowsPath, DWORD error);
    void UnlockPath(std::u16string_view windowsPath);
    void FailReadAfter(std::u16string_view windowsPath, std::uint64_t bytes, DWORD error);
    const std::vector<FileOpenRecord>& FileOpens() const { return fileOpens_; }
    void AddResource(ResourceId name, ResourceId type, std::vector<BYTE> bytes);
    void AddResourceFromFile(ResourceId name, ResourceId type, const std::filesystem::path& file);
    void AddIconGroup(ResourceId name, const std::vector<BYTE>& icoFile);
    void AddIconGroupFromFile(ResourceId name, const std::filesystem::path& icoFile);
    void SetSystemMessage(DWORD code, std::u16string text);
    void RemoveSystemMessage(DWORD code);
    void FailHeapAlloc(std::function<bool(const HeapAllocRequest&)> predicate);
    void FailNextHeapAllocs(int count);
    void StopHeapFailures();
    int HeapAllocCount() const { return heapAllocCount_; }
    int HeapAllocFailures() const { return heapAllocFailures_; }
    void ScriptProcess(std::u16string program, ProcessScript script);
    void FailCurrentDirectory(DWORD error) { currentDirectoryError_ = error; }
    const std::vector<ProcessLaunch>& Launches() const { return launches_; }
    const HandleLedger& Ledger() const { return ledger_; }
    const ProcessSettings& Settings() const { return settings_; }

    // ---- The calls ----
    DWORD GetVersion();
    DWORD GetCurrentDirectoryW(DWORD cchBuffer, char16_t* buffer);
    HANDLE CreateFileA(const char* fileName, DWORD access, DWORD shareMode,
                       void* securityAttributes, DWORD creationDisposition,
                       DWORD flagsAndAttributes, HANDLE templateFile);
    BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped);
    BOOL CloseHandle(HANDLE object);
    HINSTANCE GetModuleHandleW(const char16_t* moduleName);
    DWORD GetModuleFileNameW(HINSTANCE module, char16_t* fileName, DWORD cchSize);
    HRSRC FindResourceW(HINSTANCE module, const char16_t* name, const char16_t* type);
    HGLOBAL LoadResource(HINSTANCE module, HRSRC resource);
    void* LockResource(HGLOBAL resourceData);
    DWORD SizeofResource(HINSTANCE module, HRSRC resource);
    DWORD GetLastError();
    void SetLastError(DWORD errorCode);
    DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                         char16_t* buffer, DWORD size, void* arguments);
    HLOCAL LocalFree(HLOCAL memory);
    HANDLE GetProcessHeap();
    void* HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
    BOOL HeapFree(HANDLE heap, DWORD flags, void* memory);
    BOOL HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass, void* information,
                            SIZE_T informationLength);
    BOOL SetDefaultDllDirectories(DWORD directoryFlags);
    BOOL SetDllDirectoryW(const char16_t* pathName);
    BOOL SetSearchPathMode(DWORD flags);
    void GetNativeSystemInfo(SYSTEM_INFO* systemInfo);
    BOOL IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine);
    HANDLE GetCurrentProcess();
    DWORD GetCurrentThreadId();
    BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                        void* processAttributes, void* threadAttributes, BOOL inheritHandles,
                        DWORD creationFlags, void* environment, const char16_t* currentDirectory,
                        STARTUPINFOW* startupInfo, PROCESS_INFORMATION* processInformation);
    DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
    BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);

private:
    std::optional<std::u16string> NormalizePath(std::u16string_view path, DWORD& error) const;
    std::optional<std::u16string> FindProgram(const char16_t* applicationName,
                                              const char16_t* commandLine, DWORD& error) const;
    std::optional<std::filesystem::path> ResolveHost(const std::u16string& normalized, DWORD& error,
                                                     bool& isDirectory) const;
    // The host folder of a share's root ("\\server\share"): none, with ERROR_BAD_NETPATH when
    // no share has that server, ERROR_BAD_NET_NAME when the server lacks that share.
    std::optional<std::filesystem::path> ShareFolder(std::u16string_view root, DWORD& error) const;
    const Resource* ResourceOf(HRSRC handle) const;
    // The one way a block goes back to its allocator; false when it is not one of `blocks`.
    bool FreeBlock(Blocks& blocks, void* memory, HandleKind kind, const char* call, bool valid);

    SimConfig& config_;
    bool ownsDriveRoot_ = false;
    std::vector<std::pair<std::u16string, std::filesystem::path>> shares_; // upper-cased roots
    DWORD lastError_ = 0;
    HandleLedger ledger_;

    HANDLE processHeap_ = nullptr;
    HINSTANCE module_ = nullptr;
    std::map<DWORD, std::u16string> systemMessages_;
    std::function<bool(const HeapAllocRequest&)> heapFailure_;
    int failNextHeapAllocs_ = 0;
    int heapAllocCount_ = 0;
    int heapAllocFailures_ = 0;
    Blocks heapBlocks_;
    Blocks localBlocks_;
    std::vector<std::pair<std::u16string, ProcessScript>> scripts_; // upper-cased full paths
    DWORD currentDirectoryError_ = 0;
    std::vector<ProcessLaunch> launches_;
    std::map<std::uintptr_t, std::shared_ptr<ProcessObject>> processHandles_; // process, thread
    DWORD nextProcessId_ = 0x1000;
    ProcessSettings settings_;
    int blockedInWait_ = 0;

    std::map<std::uintptr_t, OpenFile> files_;
    std::vector<std::pair<std::u16string, DWORD>> lockedPaths_; // upper-cased Windows paths
    std::vector<std::tuple<std::u16string, std::uint64_t, DWORD>> readFailures_;
    std::vector<FileOpenRecord> fileOpens_;
    std::vector<std::unique_ptr<Resource>> resources_;
};

} // namespace platform::sim
