// Kernel services: errors and their texts, the process heap, system information, scripted
// processes and the closing of kernel handles.
#include "platform/sim/SimState.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace platform::sim {

namespace {

constexpr std::size_t kQuarantine = 1024;

HANDLE CurrentProcessPseudo() {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
}

void Quarantine(std::deque<void*>& quarantine, void* block) {
    quarantine.push_back(block);
    if (quarantine.size() > kQuarantine) {
        std::free(quarantine.front());
        quarantine.pop_front();
    }
}

bool HasInserts(const std::u16string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'%' && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            return true;
        }
    }
    return false;
}

} // namespace

// ---- Errors -----------------------------------------------------------------------------------

DWORD SimDesktop::GetLastError() {
    return state_->lastError;
}

void SimDesktop::SetLastError(DWORD errorCode) {
    state_->lastError = errorCode;
}

DWORD SimDesktop::FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                                 char16_t* buffer, DWORD size, void* arguments) {
    DesktopState& s = *state_;
    (void)source;
    if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 ||
        (flags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE)) != 0 ||
        buffer == nullptr || arguments != nullptr) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const LANGID userLanguage = static_cast<LANGID>(s.config.userLcid & 0xFFFF);
    if (languageId != 0 && languageId != 0x0400 && languageId != 0x0800 &&
        languageId != userLanguage && languageId != 0x0409) {
        s.Fail(ERROR_MUI_FILE_NOT_FOUND);
        return 0;
    }
    auto it = s.systemMessages.find(messageId);
    if (it == s.systemMessages.end()) {
        s.Fail(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    const std::u16string& text = it->second;
    // Without FORMAT_MESSAGE_IGNORE_INSERTS a text with %1 needs arguments, which are null.
    if ((flags & FORMAT_MESSAGE_IGNORE_INSERTS) == 0 && HasInserts(text)) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto length = static_cast<DWORD>(text.size());
    if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
        std::size_t units = std::max<std::size_t>(length + 1, size);
        auto* block = static_cast<char16_t*>(std::malloc(units * sizeof(char16_t)));
        if (block == nullptr) {
            s.Fail(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::memcpy(block, text.c_str(), (length + 1) * sizeof(char16_t));
        s.localBlocks[block] = units * sizeof(char16_t);
        s.ledger.Acquire(ValueOf(block), HandleKind::LocalBlock, "FormatMessageW",
                         "message " + std::to_string(messageId));
        *reinterpret_cast<char16_t**>(buffer) = block;
        return length;
    }
    if (size < length + 1) {
        s.Fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text.c_str(), (length + 1) * sizeof(char16_t));
    return length;
}

HLOCAL SimDesktop::LocalFree(HLOCAL memory) {
    DesktopState& s = *state_;
    if (memory == nullptr) {
        return nullptr;
    }
    auto it = s.localBlocks.find(memory);
    if (it == s.localBlocks.end()) {
        s.ledger.Release(ValueOf(memory), HandleKind::LocalBlock, "LocalFree");
        s.Fail(ERROR_INVALID_HANDLE);
        return memory;
    }
    s.ledger.Release(ValueOf(memory), HandleKind::LocalBlock, "LocalFree");
    s.localBlocks.erase(it);
    Quarantine(s.localQuarantine, memory);
    return nullptr;
}

// ---- Heap -------------------------------------------------------------------------------------

HANDLE SimDesktop::GetProcessHeap() {
    return state_->processHeap;
}

void* SimDesktop::HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    DesktopState& s = *state_;
    if (heap != s.processHeap) {
        s.Fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HeapAllocRequest request{bytes, flags, s.heapAllocCount++};
    bool fail = false;
    if (s.failNextHeapAllocs > 0) {
        --s.failNextHeapAllocs;
        fail = true;
    } else if (s.heapFailure && s.heapFailure(request)) {
        fail = true;
    }
    if (fail) {
        ++s.heapAllocFailures;
        return nullptr; // HeapAlloc leaves the last error alone
    }
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) {
        ++s.heapAllocFailures;
        return nullptr;
    }
    // Fresh heap memory is not zero on Windows either.
    std::memset(block, (flags & HEAP_ZERO_MEMORY) != 0 ? 0 : 0xBA, bytes == 0 ? 1 : bytes);
    s.heapBlocks[block] = bytes;
    s.ledger.Acquire(ValueOf(block), HandleKind::HeapBlock, "HeapAlloc",
                     std::to_string(bytes) + " bytes");
    return block;
}

BOOL SimDesktop::HeapFree(HANDLE heap, DWORD flags, void* memory) {
    DesktopState& s = *state_;
    (void)flags;
    if (memory == nullptr) {
        return TRUE;
    }
    auto it = s.heapBlocks.find(memory);
    if (heap != s.processHeap || it == s.heapBlocks.end()) {
        s.ledger.Release(ValueOf(memory), HandleKind::HeapBlock, "HeapFree");
        s.Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    s.ledger.Release(ValueOf(memory), HandleKind::HeapBlock, "HeapFree");
    s.heapBlocks.erase(it);
    Quarantine(s.heapQuarantine, memory);
    return TRUE;
}

BOOL SimDesktop::HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass,
                                    void* information, SIZE_T informationLength) {
    DesktopState& s = *state_;
    (void)heap; // Windows ignores the heap for this class: the setting is for the process
    // The one class modelled; the others tune one heap and are not used.
    if (informationClass != HeapEnableTerminationOnCorruption || information != nullptr ||
        informationLength != 0) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    s.settings.heapTerminationOnCorruption = true;
    return TRUE;
}

BOOL SimDesktop::SetDefaultDllDirectories(DWORD directoryFlags) {
    DesktopState& s = *state_;
    if (!s.config.hasSetDefaultDllDirectories) {
        s.Fail(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    constexpr DWORD known = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS |
                            LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
    if (directoryFlags == 0 || (directoryFlags & ~known) != 0) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    s.settings.defaultDllDirectories = directoryFlags;
    return TRUE;
}

BOOL SimDesktop::SetDllDirectoryW(const char16_t* pathName) {
    DesktopState& s = *state_;
    if (pathName == nullptr) {
        s.settings.dllDirectory.reset();
    } else {
        s.settings.dllDirectory = std::u16string(pathName);
    }
    return TRUE;
}

BOOL SimDesktop::SetSearchPathMode(DWORD flags) {
    DesktopState& s = *state_;
    if (!s.config.hasSetSearchPathMode) {
        s.Fail(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    const DWORD mode = flags & ~BASE_SEARCH_PATH_PERMANENT;
    if (mode != BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE &&
        mode != BASE_SEARCH_PATH_DISABLE_SAFE_SEARCHMODE) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Once made permanent, the mode cannot be changed again.
    if (s.settings.searchPathMode && (*s.settings.searchPathMode & BASE_SEARCH_PATH_PERMANENT)) {
        s.Fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // Only the safe mode can be made permanent.
    if ((flags & BASE_SEARCH_PATH_PERMANENT) && mode != BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    s.settings.searchPathMode = flags;
    return TRUE;
}

// ---- System information -----------------------------------------------------------------------

DWORD SimDesktop::GetVersion() {
    return state_->config.version;
}

DWORD SimDesktop::GetCurrentThreadId() {
    return state_->config.threadId;
}

HANDLE SimDesktop::GetCurrentProcess() {
    return CurrentProcessPseudo();
}

void SimDesktop::GetNativeSystemInfo(SYSTEM_INFO* info) {
    if (info == nullptr) {
        return;
    }
    const SimConfig& c = state_->config;
    std::memset(info, 0, sizeof *info);
    info->u.s.wProcessorArchitecture = c.nativeArchitecture;
    info->dwPageSize = 4096;
    info->lpMinimumApplicationAddress = reinterpret_cast<void*>(0x00010000);
    info->lpMaximumApplicationAddress = reinterpret_cast<void*>(0x7FFEFFFF);
    info->dwNumberOfProcessors = c.processorCount;
    info->dwActiveProcessorMask = c.processorCount >= 8 * sizeof(DWORD_PTR)
                                      ? ~DWORD_PTR{0}
                                      : (DWORD_PTR{1} << c.processorCount) - 1;
    switch (c.nativeArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
        info->dwProcessorType = 586;
        break;
    case PROCESSOR_ARCHITECTURE_AMD64:
        info->dwProcessorType = 8664;
        break;
    case PROCESSOR_ARCHITECTURE_IA64:
        info->dwProcessorType = 2200;
        break;
    default:
        info->dwProcessorType = 0;
        break;
    }
    info->dwAllocationGranularity = 0x10000;
    info->wProcessorLevel = 6;
    info->wProcessorRevision = 0x3A09;
}

BOOL SimDesktop::IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) {
    DesktopState& s = *state_;
    if (!s.config.hasIsWow64Process2) {
        s.Fail(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    if (process != CurrentProcessPseudo() && s.processHandles.count(ValueOf(process)) == 0) {
        s.Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (processMachine == nullptr) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    USHORT emulated = IMAGE_FILE_MACHINE_I386;
    USHORT native = IMAGE_FILE_MACHINE_AMD64;
    switch (s.config.nativeArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
        emulated = IMAGE_FILE_MACHINE_UNKNOWN;
        native = IMAGE_FILE_MACHINE_I386;
        break;
    case PROCESSOR_ARCHITECTURE_IA64:
        native = IMAGE_FILE_MACHINE_IA64;
        break;
    case PROCESSOR_ARCHITECTURE_ARM64:
        native = IMAGE_FILE_MACHINE_ARM64;
        break;
    case PROCESSOR_ARCHITECTURE_ARM:
        emulated = IMAGE_FILE_MACHINE_UNKNOWN;
        native = IMAGE_FILE_MACHINE_ARMNT;
        break;
    default:
        break;
    }
    *processMachine = s.config.wow64ProcessMachine.value_or(emulated);
    if (nativeMachine != nullptr) {
        *nativeMachine = s.config.wow64NativeMachine.value_or(native);
    }
    return TRUE;
}

// ---- Processes --------------------------------------------------------------------------------

namespace {

// The program file a command line names: its first word, unquoted.
std::u16string ImageOf(const std::u16string& commandLine) {
    if (!commandLine.empty() && commandLine[0] == u'"') {
        std::size_t end = commandLine.find(u'"', 1);
        return commandLine.substr(1, end == std::u16string::npos ? std::u16string::npos : end - 1);
    }
    std::size_t end = commandLine.find_first_of(u" \t");
    return commandLine.substr(0, end);
}

} // namespace

BOOL SimDesktop::CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                                void* processAttributes, void* threadAttributes,
                                BOOL inheritHandles, DWORD creationFlags, void* environment,
                                const char16_t* currentDirectory, STARTUPINFOW* startupInfo,
                                PROCESS_INFORMATION* processInformation) {
    DesktopState& s = *state_;
    ProcessLaunch launch;
    if (applicationName != nullptr) {
        launch.applicationName = std::u16string(applicationName);
    }
    if (commandLine != nullptr) {
        launch.commandLine = std::u16string(commandLine);
    }
    launch.commandLineBuffer = commandLine;
    launch.processAttributes = processAttributes != nullptr;
    launch.threadAttributes = threadAttributes != nullptr;
    launch.inheritHandles = inheritHandles;
    launch.creationFlags = creationFlags;
    launch.environment = environment;
    launch.currentDirectoryPointer = currentDirectory;
    if (currentDirectory != nullptr) {
        launch.currentDirectory = std::u16string(currentDirectory);
    }
    launch.hadStartupInfo = startupInfo != nullptr;
    if (startupInfo != nullptr) {
        launch.startupInfo = *startupInfo;
    }

    auto finish = [&](BOOL result, DWORD error) {
        launch.result = result;
        launch.error = error;
        if (result == FALSE) {
            s.Fail(error);
        }
        s.launches.push_back(launch);
        return result;
    };

    if (startupInfo == nullptr || processInformation == nullptr ||
        (applicationName == nullptr && commandLine == nullptr)) {
        return finish(FALSE, ERROR_INVALID_PARAMETER);
    }
    const std::u16string key =
        commandLine != nullptr ? std::u16string(commandLine) : std::u16string(applicationName);
    const ProcessScript* script = nullptr;
    for (const auto& [line, candidate] : s.scripts) {
        if (line == key) {
            script = &candidate;
        }
    }
    if (script == nullptr) {
        return finish(FALSE, ERROR_FILE_NOT_FOUND);
    }
    if (script->startError != 0) {
        return finish(FALSE, script->startError);
    }
    if (script->requireImageFile) {
        std::u16string image =
            applicationName != nullptr ? std::u16string(applicationName) : ImageOf(key);
        std::size_t lastSeparator = image.find_last_of(u"\\/");
        std::size_t dot = image.find_last_of(u'.');
        if (dot == std::u16string::npos ||
            (lastSeparator != std::u16string::npos && dot < lastSeparator)) {
            image += u".exe";
        }
        const bool absolute =
            (image.size() >= 2 && image[1] == u':') || (!image.empty() && image[0] == u'\\');
        if (!absolute) {
            std::u16string base = currentDirectory != nullptr ? std::u16string(currentDirectory)
                                                              : s.config.currentDirectory;
            image = base + u"\\" + image;
        }
        DWORD error = 0;
        bool isDirectory = false;
        auto normalized = s.NormalizePath(image, error);
        if (!normalized || !s.ResolveHost(*normalized, error, isDirectory) || isDirectory) {
            return finish(FALSE, error != 0 ? error : ERROR_ACCESS_DENIED);
        }
    }

    auto object = std::make_shared<ProcessObject>();
    object->launch = s.launches.size();
    object->script = *script;
    object->process = AsHandle<HANDLE>(NewHandleValue());
    object->thread = AsHandle<HANDLE>(NewHandleValue());
    s.processHandles[ValueOf(object->process)] = object;
    s.processHandles[ValueOf(object->thread)] = object;
    std::string detail = Utf16ToUtf8(key);
    s.ledger.Acquire(ValueOf(object->process), HandleKind::Process, "CreateProcessW", detail);
    s.ledger.Acquire(ValueOf(object->thread), HandleKind::Thread, "CreateProcessW", detail);
    processInformation->hProcess = object->process;
    processInformation->hThread = object->thread;
    processInformation->dwProcessId = s.nextProcessId;
    processInformation->dwThreadId = s.nextProcessId + 4;
    s.nextProcessId += 8;
    launch.information = *processInformation;
    return finish(TRUE, 0);
}

DWORD SimDesktop::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    DesktopState& s = *state_;
    (void)milliseconds;
    auto it = s.processHandles.find(ValueOf(handle));
    if (it == s.processHandles.end()) {
        if (s.files.count(ValueOf(handle)) != 0) {
            return WAIT_OBJECT_0; // a file is always signalled
        }
        s.ledger.Fault(FaultKind::UseOfReleased, ValueOf(handle), "WaitForSingleObject", "");
        s.Fail(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::shared_ptr<ProcessObject> process = it->second;
    if (process->ended) {
        return WAIT_OBJECT_0;
    }
    if (process->script.waitError != 0) {
        s.Fail(process->script.waitError);
        return WAIT_FAILED;
    }
    if (process->script.onWait) {
        ++s.blockedInWait;
        try {
            process->script.onWait();
        } catch (...) {
            --s.blockedInWait;
            throw;
        }
        --s.blockedInWait;
    }
    process->ended = true;
    s.launches[process->launch].waited = true;
    return WAIT_OBJECT_0;
}

BOOL SimDesktop::GetExitCodeProcess(HANDLE processHandle, DWORD* exitCode) {
    DesktopState& s = *state_;
    auto it = s.processHandles.find(ValueOf(processHandle));
    if (it == s.processHandles.end() || it->second->process != processHandle) {
        if (it == s.processHandles.end()) {
            s.ledger.Fault(FaultKind::UseOfReleased, ValueOf(processHandle), "GetExitCodeProcess",
                           "");
        }
        s.Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ProcessObject& process = *it->second;
    if (process.script.exitCodeError != 0) {
        s.Fail(process.script.exitCodeError);
        return FALSE;
    }
    if (exitCode == nullptr) {
        s.Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!process.ended) {
        *exitCode = STILL_ACTIVE;
        return TRUE;
    }
    *exitCode = process.script.exitCode;
    s.launches[process.launch].exitCodeRead = true;
    return TRUE;
}

// ---- Kernel handles ---------------------------------------------------------------------------

BOOL SimDesktop::CloseHandle(HANDLE object) {
    DesktopState& s = *state_;
    if (object == CurrentProcessPseudo()) {
        return TRUE; // closing the pseudo handle does nothing, as on Windows
    }
    const std::uintptr_t value = ValueOf(object);
    if (!s.ledger.Release(value, {HandleKind::File, HandleKind::Process, HandleKind::Thread},
                          "CloseHandle")) {
        s.Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (auto file = s.files.find(value); file != s.files.end()) {
        if (file->second.descriptor >= 0) {
            ::close(file->second.descriptor);
        }
        s.files.erase(file);
    }
    s.processHandles.erase(value);
    return TRUE;
}

} // namespace platform::sim
