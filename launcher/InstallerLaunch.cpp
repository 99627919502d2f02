// Install: start the driver installer that suits the machine, wait for it, then end.
#include "launcher/Main.h"

#include "platform/Handles.h"
#include "toolkit/Application.h"

#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>

using namespace platform;

namespace {

constexpr std::u16string_view kInstallerX86 = u"Drivers\\dpinst.exe";
constexpr std::u16string_view kInstallerX64 = u"Drivers\\dpinst64.exe";

// The machine's own processor architecture. A 32-bit process on an ARM64 machine is told an
// emulated architecture by GetNativeSystemInfo (x86 or x64, depending on the Windows version),
// and a driver installer for that would not work; IsWow64Process2, where the system has it,
// names the real machine.
WORD NativeArchitecture() {
    USHORT processMachine = IMAGE_FILE_MACHINE_UNKNOWN;
    USHORT nativeMachine = IMAGE_FILE_MACHINE_UNKNOWN;
    if (Os().IsWow64Process2(Os().GetCurrentProcess(), &processMachine, &nativeMachine)) {
        switch (nativeMachine) {
        case IMAGE_FILE_MACHINE_I386:
            return PROCESSOR_ARCHITECTURE_INTEL;
        case IMAGE_FILE_MACHINE_AMD64:
            return PROCESSOR_ARCHITECTURE_AMD64;
        case IMAGE_FILE_MACHINE_IA64:
            return PROCESSOR_ARCHITECTURE_IA64;
        case IMAGE_FILE_MACHINE_ARM64:
            return PROCESSOR_ARCHITECTURE_ARM64;
        default:
            return PROCESSOR_ARCHITECTURE_UNKNOWN;
        }
    }
    SYSTEM_INFO info{};
    Os().GetNativeSystemInfo(&info);
    return info.u.s.wProcessorArchitecture;
}

// The installer's full path in the current directory; nothing when the directory cannot be
// read. Throws std::bad_alloc when memory runs out.
std::optional<std::u16string> InstallerPath(std::u16string_view installer) {
    std::optional<std::u16string> path = launcher::CurrentDirectory();
    if (!path) {
        return std::nullopt;
    }
    // Only a drive root ends with a backslash.
    if (path->back() != u'\\') {
        *path += u'\\';
    }
    *path += installer;
    return path;
}

} // namespace

void TMainForm::BtnInstallClick(toolkit::TObject* /*Sender*/) {
    std::u16string_view installer;
    switch (NativeArchitecture()) {
    case PROCESSOR_ARCHITECTURE_INTEL:
        installer = kInstallerX86;
        break;
    case PROCESSOR_ARCHITECTURE_AMD64:
        installer = kInstallerX64;
        break;
    case PROCESSOR_ARCHITECTURE_IA64:
        // Refused, but the window stays: Cancel still ends the launcher.
        launcher::ShowLauncherMessage(launcher::MsgIa64Unsupported, IsJapaneseUser());
        return;
    default:
        launcher::ShowLauncherMessage(launcher::MsgUnknownSystem, IsJapaneseUser());
        Close();
        return;
    }

    // What a start that failed shows, and how the launcher then ends.
    const auto startFailed = [this] {
        Os().ShowWindow(Handle(), SW_RESTORE);
        Os().SetForegroundWindow(Handle());
        launcher::ShowLauncherMessage(launcher::MsgInstallerStartFailed, IsJapaneseUser());
        Close();
    };

    // No memory for what the command line needs is reported as no memory for the command line.
    const auto outOfMemory = [this] {
        launcher::ShowLauncherMessage(launcher::MsgOutOfMemory, IsJapaneseUser());
        Close();
    };

    // The installer goes by its full path in the current directory, as the application name:
    // without one, CreateProcessW searches the launcher's own folder, the system folders and
    // every PATH folder for it, and whatever it found there would run with the launcher's
    // administrator rights.
    std::optional<std::u16string> path;
    try {
        path = InstallerPath(installer);
    } catch (const std::bad_alloc&) {
        outOfMemory();
        return;
    }
    if (!path) {
        // No directory, no path to start: nothing is started, as when the start fails.
        startFailed();
        return;
    }

    // The command line is the same path in quotes, so that a blank in a folder name does not end
    // the program's name for it. CreateProcessW may write into its command line, so it gets a
    // writable copy.
    const SIZE_T units = path->size() + 3;
    HeapBlock command = HeapBlock::Allocate(units * sizeof(char16_t));
    if (!command) {
        outOfMemory();
        return;
    }
    auto* commandLine = static_cast<char16_t*>(command.get());
    commandLine[0] = u'"';
    std::memcpy(commandLine + 1, path->data(), path->size() * sizeof(char16_t));
    commandLine[path->size() + 1] = u'"';
    commandLine[path->size() + 2] = u'\0';

    PROCESS_INFORMATION process{};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // The launcher's position goes into the record as it always has, but without
    // STARTF_USEPOSITION: the installer's window opens where the system places it.
    startup.dwX = static_cast<DWORD>(Left());
    startup.dwY = static_cast<DWORD>(Top());

    toolkit::Application().Minimize();

    // A null working directory: the installer runs in the launcher's current directory.
    if (!Os().CreateProcessW(path->c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process)) {
        command.reset();
        startFailed();
        return;
    }
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);

    // No time-out and no messages: the window stays minimised until the installer has ended.
    if (Os().WaitForSingleObject(processHandle.get(), INFINITE) != WAIT_OBJECT_0) {
        ReportLastError();
    }
    // The installer's exit status does not change what happens next.
    DWORD exitCode = 0;
    if (!Os().GetExitCodeProcess(processHandle.get(), &exitCode)) {
        ReportLastError();
    }

    // Process handle, thread handle, then the command buffer.
    processHandle.reset();
    threadHandle.reset();
    command.reset();

    Os().ShowWindow(Handle(), SW_RESTORE);
    Os().SetForegroundWindow(Handle());
    Close();
}

void TMainForm::ReportLastError() {
    const DWORD code = Os().GetLastError();
    char16_t* text = nullptr;
    const DWORD length = Os().FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
        LANG_USER_DEFAULT, reinterpret_cast<char16_t*>(&text), 0, nullptr);
    UniqueLocal block(text);
    if (length == 0) {
        return;
    }
    const bool japanese = IsJapaneseUser();
    std::u16string message(launcher::MsgInstallError.Text(japanese));
    message.append(text, length);
    block.reset();
    launcher::ShowLauncherMessage(message, launcher::MsgInstallError.Caption(japanese),
                                  launcher::MsgInstallError.icon);
}
