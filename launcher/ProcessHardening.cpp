#include "launcher/ProcessHardening.h"

#include "platform/Api.h"

namespace launcher {

void HardenProcess() {
    platform::Api& os = platform::Os();
    // Only the system folder: a DLL planted beside Setup.exe (in a download folder, on a
    // stick) is never loaded on its behalf. Where the call is missing, the current directory at
    // least leaves the search; the application folder stays in it there.
    if (!os.SetDefaultDllDirectories(platform::LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        os.SetDllDirectoryW(u"");
    }
    // SearchPath looks in the current directory last. Missing before Windows 7; nothing to
    // fall back to.
    os.SetSearchPathMode(platform::BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE |
                         platform::BASE_SEARCH_PATH_PERMANENT);
    os.HeapSetInformation(nullptr, platform::HeapEnableTerminationOnCorruption, nullptr, 0);
    // None of these failing is a reason not to run: the launcher itself loads no library by
    // name, and the user could not act on such a message.
}

} // namespace launcher
