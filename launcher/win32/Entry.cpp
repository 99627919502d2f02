// The Windows entry of Setup.exe: the real operating system behind the seam, then the launcher.
#include "launcher/Main.h"
#include "platform/win32/Win32Api.h"

// Declared with the seam's types so that nothing here needs the Windows headers; the symbol is
// the one the C runtime's start-up code calls (-municode).
extern "C" int PLATFORM_CALLBACK wWinMain(platform::HINSTANCE /*instance*/,
                                          platform::HINSTANCE /*previous*/,
                                          wchar_t* /*commandLine*/, int /*show*/) {
    // The command line is ignored, and the exit status is 0 on every path.
    platform::win32::Win32Api os;
    platform::ScopedApi installed(os);
    return RunLauncher();
}
