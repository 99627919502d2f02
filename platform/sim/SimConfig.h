// What a test sets up before the simulated desktop starts: the screen, the frame metrics, the
// locale and the system, drive C:.
#pragma once

#include "platform/Api.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform::sim {

// ---- Configuration ---------------------------------------------------------------------------

// Window frame sizes, as the classic theme of Windows 7 has them at 96 dpi. They drive
// AdjustWindowRectEx, the client rectangle of every window and GetSystemMetrics.
struct FrameMetrics {
    int captionHeight = 19;      // SM_CYCAPTION: the caption bar with its bottom line
    int smallCaptionHeight = 16; // SM_CYSMCAPTION: tool windows
    int sizingFrame = 4;         // SM_CXSIZEFRAME: WS_THICKFRAME
    int fixedFrame = 3;          // SM_CXFIXEDFRAME: WS_DLGFRAME / WS_CAPTION without sizing
    int border = 1;              // SM_CXBORDER: WS_BORDER alone
    int edge = 2;                // SM_CXEDGE: WS_EX_CLIENTEDGE
    int menuHeight = 19;         // SM_CYMENU
    int minTrackWidth = 112;     // SM_CXMINTRACK
    int minTrackHeight = 27;     // SM_CYMINTRACK
    int minimizedWidth = 160;    // SM_CXMINIMIZED
    int minimizedHeight = 24;    // SM_CYMINIMIZED
};

struct SimConfig {
    // Screen and shell.
    int screenWidth = 1280;
    int screenHeight = 1024;
    int dpiX = 96; // GetDeviceCaps(LOGPIXELSX) on any DC
    int dpiY = 96; // GetDeviceCaps(LOGPIXELSY)
    RECT taskbar{0, 1004, 1280, 1024};
    bool taskbarAutoHide = false;
    FrameMetrics frame;
    int iconWidth = 32, iconHeight = 32;           // SM_CXICON / SM_CYICON
    int smallIconWidth = 16, smallIconHeight = 16; // SM_CXSMICON / SM_CYSMICON

    // Locale and system.
    LCID userLcid = 1033;
    std::string abbrevLangName = "ENU"; // GetLocaleInfoA(LOCALE_SABBREVLANGNAME)
    UINT ansiCodePage = 1252;           // CP_ACP, GetACP
    // WideCharToMultiByte to UTF-8 refuses flags other than WC_ERR_INVALID_CHARS (to UTF-7,
    // any flag) with ERROR_INVALID_FLAGS, and any default-character argument with
    // ERROR_INVALID_PARAMETER.
    // Windows does not say which it checks first; a call that breaks both gets the flag
    // error unless this is set.
    bool utf8DefaultCharCheckFirst = false;
    DWORD version = 0x1DB10106; // GetVersion: 6.1, build 7601
    WORD nativeArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    DWORD processorCount = 2;
    bool hasIsWow64Process2 = false; // false: the call fails with ERROR_PROC_NOT_FOUND
    // What IsWow64Process2 reports; unset: derived from nativeArchitecture for a 32-bit
    // process (I386 under emulation on a 64-bit machine, "not emulated" on x86).
    std::optional<USHORT> wow64ProcessMachine;
    std::optional<USHORT> wow64NativeMachine;
    DWORD threadId = 1;
    // Windows 7 without its loader update lacks the first; Vista before SP2 the second. Absent,
    // the call fails with ERROR_PROC_NOT_FOUND.
    bool hasSetDefaultDllDirectories = true;
    bool hasSetSearchPathMode = true;

    // Files: drive C: is a host folder. Empty: the desktop makes a private temporary folder
    // (with the current directory inside it) and removes it when it is destroyed.
    std::filesystem::path driveRoot;
    // Network shares, each "\\server\share": the desktop makes a private temporary folder for
    // each and removes it when it is destroyed. The current directory may lie on one.
    std::vector<std::u16string> networkShares;
    // As SetCurrentDirectory keeps it; GetCurrentDirectoryW drops a trailing backslash except
    // at a drive root ("C:\"), so a share's root reads "\\server\share".
    std::u16string currentDirectory = u"C:\\Packages\\Demo";
    std::u16string moduleFileName = u"C:\\Packages\\Demo\\Setup.exe";
    // Where CreateProcessW without an application name looks for a program, after the
    // module's own folder and the current directory.
    std::u16string systemDirectory = u"C:\\Windows\\System32";
    std::vector<std::u16string> pathFolders; // the PATH, in order
};

} // namespace platform::sim
