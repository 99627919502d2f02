// Scripted processes and the closing of kernel handles.
#include "platform/sim/SimKernel.h"

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace platform::sim {

namespace {

HANDLE CurrentProcessPseudo() {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
}

} // namespace

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

void Kernel::ScriptProcess(std::u16string program, ProcessScript script) {
    DWORD error = 0;
    const std::optional<std::u16string> normalized = NormalizePath(program, error);
    if (!normalized) {
        throw std::invalid_argument("simulated desktop: ScriptProcess needs a valid path");
    }
    if (!std::filesystem::exists(HostPath(*normalized))) {
        CreateHostFile(*normalized, "MZ");
    }
    const std::u16string key = UpperCase(*normalized);
    for (auto& entry : scripts_) {
        if (entry.first == key) {
            entry.second = std::move(script);
            return;
        }
    }
    scripts_.emplace_back(key, std::move(script));
}

HANDLE Kernel::GetCurrentProcess() {
    return CurrentProcessPseudo();
}

BOOL Kernel::IsWow64Process2(HANDLE process, USHORT* processMachine, USHORT* nativeMachine) {
    if (!config_.hasIsWow64Process2) {
        Fail(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    if (process != CurrentProcessPseudo() && processHandles_.count(ValueOf(process)) == 0) {
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (processMachine == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    USHORT emulated = IMAGE_FILE_MACHINE_I386;
    USHORT native = IMAGE_FILE_MACHINE_AMD64;
    switch (config_.nativeArchitecture) {
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
    *processMachine = config_.wow64ProcessMachine.value_or(emulated);
    if (nativeMachine != nullptr) {
        *nativeMachine = config_.wow64NativeMachine.value_or(native);
    }
    return TRUE;
}

// ---- Processes --------------------------------------------------------------------------------

namespace {

// The program a command line names: its first word, unquoted. (Windows also tries longer runs
// of an unquoted name with blanks in it; nothing here needs that.)
std::u16string FirstName(std::u16string_view commandLine) {
    if (!commandLine.empty() && commandLine[0] == u'"') {
        const std::size_t end = commandLine.find(u'"', 1);
        return std::u16string(
            commandLine.substr(1, end == std::u16string_view::npos ? end : end - 1));
    }
    return std::u16string(commandLine.substr(0, commandLine.find_first_of(u" \t")));
}

std::u16string FolderOf(const std::u16string& path) {
    const std::size_t separator = path.find_last_of(u"\\/");
    return separator == std::u16string::npos ? std::u16string() : path.substr(0, separator);
}

} // namespace

// With an application name, that file alone: a relative name is completed against the current
// directory, and nothing is searched. Without one, the first name of the command line (".exe"
// added when it has no extension); unless it is a full path or starts with "." or "..", it is
// looked for in the module's own folder, the current directory, the system folder and the PATH
// folders, in that order, and the first that exists is taken, a folder too. A folder cannot be
// started (ERROR_ACCESS_DENIED).
std::optional<std::u16string> Kernel::FindProgram(const char16_t* applicationName,
                                                  const char16_t* commandLine, DWORD& error) const {
    std::vector<std::u16string> candidates;
    bool searched = false;
    if (applicationName != nullptr) {
        candidates.emplace_back(applicationName);
    } else {
        std::u16string name = FirstName(commandLine);
        const std::size_t lastSeparator = name.find_last_of(u"\\/");
        const std::size_t dot = name.find_last_of(u'.');
        if (dot == std::u16string::npos ||
            (lastSeparator != std::u16string::npos && dot < lastSeparator)) {
            name += u".exe";
        }
        const bool full = (name.size() >= 2 && name[1] == u':') ||
                          (!name.empty() && (name[0] == u'\\' || name[0] == u'/'));
        const bool dotted = name.rfind(u".\\", 0) == 0 || name.rfind(u"..\\", 0) == 0 ||
                            name.rfind(u"./", 0) == 0 || name.rfind(u"../", 0) == 0;
        if (full || dotted) {
            candidates.push_back(name);
        } else {
            searched = true;
            std::vector<std::u16string> folders = {FolderOf(config_.moduleFileName),
                                                   config_.currentDirectory,
                                                   config_.systemDirectory};
            folders.insert(folders.end(), config_.pathFolders.begin(), config_.pathFolders.end());
            for (const std::u16string& folder : folders) {
                if (!folder.empty()) {
                    candidates.push_back(folder + u"\\" + name);
                }
            }
        }
    }
    error = ERROR_FILE_NOT_FOUND;
    for (const std::u16string& candidate : candidates) {
        DWORD candidateError = 0;
        const std::optional<std::u16string> normalized = NormalizePath(candidate, candidateError);
        bool isDirectory = false;
        if (!normalized || !ResolveHost(*normalized, candidateError, isDirectory)) {
            // One name alone reports why it failed; a search that finds nothing, that it did not.
            if (!searched) {
                error = candidateError;
            }
            continue;
        }
        if (isDirectory) {
            error = ERROR_ACCESS_DENIED;
            return std::nullopt;
        }
        return normalized;
    }
    return std::nullopt;
}

BOOL Kernel::CreateProcessW(const char16_t* applicationName, char16_t* commandLine,
                            void* processAttributes, void* threadAttributes, BOOL inheritHandles,
                            DWORD creationFlags, void* environment,
                            const char16_t* currentDirectory, STARTUPINFOW* startupInfo,
                            PROCESS_INFORMATION* processInformation) {
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
            Fail(error);
        }
        launches_.push_back(launch);
        return result;
    };

    if (startupInfo == nullptr || processInformation == nullptr ||
        (applicationName == nullptr && commandLine == nullptr)) {
        return finish(FALSE, ERROR_INVALID_PARAMETER);
    }
    DWORD error = 0;
    const std::optional<std::u16string> program = FindProgram(applicationName, commandLine, error);
    if (!program) {
        return finish(FALSE, error);
    }
    launch.program = *program;
    const std::u16string key = UpperCase(*program);
    const ProcessScript* script = nullptr;
    for (const auto& [path, candidate] : scripts_) {
        if (path == key) {
            script = &candidate;
        }
    }
    // A file that no script stands behind is no program the desktop can run.
    if (script == nullptr) {
        return finish(FALSE, ERROR_BAD_EXE_FORMAT);
    }
    if (script->startError != 0) {
        return finish(FALSE, script->startError);
    }

    auto object = std::make_shared<ProcessObject>();
    object->launch = launches_.size();
    object->script = *script;
    object->process = AsHandle<HANDLE>(NewHandleValue());
    object->thread = AsHandle<HANDLE>(NewHandleValue());
    processHandles_[ValueOf(object->process)] = object;
    processHandles_[ValueOf(object->thread)] = object;
    std::string detail = Utf16ToUtf8(*program);
    ledger_.Acquire(ValueOf(object->process), HandleKind::Process, "CreateProcessW", detail);
    ledger_.Acquire(ValueOf(object->thread), HandleKind::Thread, "CreateProcessW", detail);
    processInformation->hProcess = object->process;
    processInformation->hThread = object->thread;
    processInformation->dwProcessId = nextProcessId_;
    processInformation->dwThreadId = nextProcessId_ + 4;
    nextProcessId_ += 8;
    launch.information = *processInformation;
    return finish(TRUE, 0);
}

DWORD Kernel::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    (void)milliseconds;
    auto it = processHandles_.find(ValueOf(handle));
    if (it == processHandles_.end()) {
        if (files_.count(ValueOf(handle)) != 0) {
            return WAIT_OBJECT_0; // a file is always signalled
        }
        ledger_.Fault(FaultKind::UseOfReleased, ValueOf(handle), "WaitForSingleObject", "");
        Fail(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::shared_ptr<ProcessObject> process = it->second;
    if (process->ended) {
        return WAIT_OBJECT_0;
    }
    if (process->script.waitError != 0) {
        Fail(process->script.waitError);
        return WAIT_FAILED;
    }
    if (process->script.onWait) {
        const DepthGuard blocked(blockedInWait_);
        process->script.onWait();
    }
    process->ended = true;
    launches_[process->launch].waited = true;
    return WAIT_OBJECT_0;
}

BOOL Kernel::GetExitCodeProcess(HANDLE processHandle, DWORD* exitCode) {
    auto it = processHandles_.find(ValueOf(processHandle));
    if (it == processHandles_.end() || it->second->process != processHandle) {
        if (it == processHandles_.end()) {
            ledger_.Fault(FaultKind::UseOfReleased, ValueOf(processHandle), "GetExitCodeProcess",
                          "");
        }
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ProcessObject& process = *it->second;
    if (process.script.exitCodeError != 0) {
        Fail(process.script.exitCodeError);
        return FALSE;
    }
    if (exitCode == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!process.ended) {
        *exitCode = STILL_ACTIVE;
        return TRUE;
    }
    *exitCode = process.script.exitCode;
    launches_[process.launch].exitCodeRead = true;
    return TRUE;
}

// ---- Kernel handles ---------------------------------------------------------------------------

BOOL Kernel::CloseHandle(HANDLE object) {
    if (object == CurrentProcessPseudo()) {
        return TRUE; // closing the pseudo handle does nothing, as on Windows
    }
    const std::uintptr_t value = ValueOf(object);
    if (!ledger_.Release(value, {HandleKind::File, HandleKind::Process, HandleKind::Thread},
                         "CloseHandle")) {
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (auto file = files_.find(value); file != files_.end()) {
        if (file->second.descriptor >= 0) {
            ::close(file->second.descriptor);
        }
        files_.erase(file);
    }
    processHandles_.erase(value);
    return TRUE;
}

} // namespace platform::sim
