// Kernel services: errors and their texts, the process heap and system information. The kernel
// area also keeps the ledger, on the other areas' behalf.
#include "platform/sim/SimKernel.h"

#include "platform/sim/SimAllocationFaults.h"
#include "platform/sim/SimCommon.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace platform::sim {

namespace {

constexpr std::size_t kQuarantine = 1024;

bool HasInserts(const std::u16string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'%' && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            return true;
        }
    }
    return false;
}

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

Kernel::Kernel(SimConfig& config) : config_(config) {
    for (const auto& [code, text] : kSystemMessages) {
        systemMessages_[code] = text;
    }
    processHeap_ = AsHandle<HANDLE>(NewHandleValue());
    module_ = AsHandle<HINSTANCE>(0x00400000); // where a 32-bit executable loads
    if (config_.driveRoot.empty()) {
        config_.driveRoot = MakeTemporaryRoot();
        ownsDriveRoot_ = true;
    }
    for (const std::u16string& share : config_.networkShares) {
        const std::size_t serverEnd = share.find(u'\\', 2);
        if (share.size() < 5 || share.rfind(u"\\\\", 0) != 0 || serverEnd == std::u16string::npos ||
            serverEnd == 2 || serverEnd + 1 == share.size() ||
            share.find(u'\\', serverEnd + 1) != std::u16string::npos) {
            throw std::invalid_argument(
                "simulated desktop: a network share is \\\\server\\share, not " +
                Utf16ToUtf8(share));
        }
        shares_.emplace_back(UpperCase(share), MakeTemporaryRoot());
    }
    // A private drive, or a share, starts with the current directory in place.
    const bool onShare = config_.currentDirectory.rfind(u"\\\\", 0) == 0;
    if (ownsDriveRoot_ || onShare) {
        std::error_code ignored;
        try {
            std::filesystem::create_directories(HostPath(config_.currentDirectory), ignored);
        } catch (const std::invalid_argument&) {
            // A current directory on a share that does not exist: as a share that went away.
        }
    }
}

Kernel::~Kernel() {
    for (auto& [value, file] : files_) {
        if (file.descriptor >= 0) {
            ::close(file.descriptor);
        }
    }
    std::error_code ignored;
    if (ownsDriveRoot_) {
        std::filesystem::remove_all(config_.driveRoot, ignored);
    }
    for (const auto& [share, folder] : shares_) {
        std::filesystem::remove_all(folder, ignored);
    }
}

Blocks::~Blocks() {
    for (auto& [block, size] : live) {
        std::free(block);
    }
    for (void* block : quarantine) {
        std::free(block);
    }
}

// ---- The ledger, for the other areas ------------------------------------------------------------

void Kernel::Acquire(std::uintptr_t value, HandleKind kind, std::string call, std::string detail) {
    ledger_.Acquire(value, kind, std::move(call), std::move(detail));
}

bool Kernel::Release(std::uintptr_t value, HandleKind kind, std::string call) {
    return ledger_.Release(value, kind, std::move(call));
}

bool Kernel::Release(std::uintptr_t value, std::initializer_list<HandleKind> kinds,
                     std::string call) {
    return ledger_.Release(value, kinds, std::move(call));
}

void Kernel::Fault(FaultKind kind, std::uintptr_t value, std::string call, std::string detail) {
    ledger_.Fault(kind, value, std::move(call), std::move(detail));
}

// ---- Errors -----------------------------------------------------------------------------------

DWORD Kernel::GetLastError() {
    return lastError_;
}

void Kernel::SetLastError(DWORD errorCode) {
    lastError_ = errorCode;
}

DWORD Kernel::FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                             char16_t* buffer, DWORD size, void* arguments) {
    (void)source;
    if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 ||
        (flags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE)) != 0 ||
        buffer == nullptr || arguments != nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const LANGID userLanguage = static_cast<LANGID>(config_.userLcid & 0xFFFF);
    if (languageId != 0 && languageId != 0x0400 && languageId != 0x0800 &&
        languageId != userLanguage && languageId != 0x0409) {
        Fail(ERROR_MUI_FILE_NOT_FOUND);
        return 0;
    }
    auto it = systemMessages_.find(messageId);
    if (it == systemMessages_.end()) {
        Fail(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    const std::u16string& text = it->second;
    // Without FORMAT_MESSAGE_IGNORE_INSERTS a text with %1 needs arguments, which are null.
    if ((flags & FORMAT_MESSAGE_IGNORE_INSERTS) == 0 && HasInserts(text)) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto length = static_cast<DWORD>(text.size());
    if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
        std::size_t units = std::max<std::size_t>(length + 1, size);
        auto* block = static_cast<char16_t*>(std::malloc(units * sizeof(char16_t)));
        if (block == nullptr) {
            Fail(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        std::memcpy(block, text.c_str(), (length + 1) * sizeof(char16_t));
        localBlocks_.live[block] = units * sizeof(char16_t);
        ledger_.Acquire(ValueOf(block), HandleKind::LocalBlock, "FormatMessageW",
                        "message " + std::to_string(messageId));
        *reinterpret_cast<char16_t**>(buffer) = block;
        return length;
    }
    if (size < length + 1) {
        Fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text.c_str(), (length + 1) * sizeof(char16_t));
    return length;
}

HLOCAL Kernel::LocalFree(HLOCAL memory) {
    if (memory == nullptr) {
        return nullptr;
    }
    if (!FreeBlock(localBlocks_, memory, HandleKind::LocalBlock, "LocalFree", true)) {
        Fail(ERROR_INVALID_HANDLE);
        return memory;
    }
    return nullptr;
}

// The ledger hears of every release, even one of a block that is not there (it records the
// fault); a block that is there goes to the quarantine.
bool Kernel::FreeBlock(Blocks& blocks, void* memory, HandleKind kind, const char* call,
                       bool valid) {
    ledger_.Release(ValueOf(memory), kind, call);
    auto it = blocks.live.find(memory);
    if (!valid || it == blocks.live.end()) {
        return false;
    }
    blocks.live.erase(it);
    blocks.quarantine.push_back(memory);
    if (blocks.quarantine.size() > kQuarantine) {
        std::free(blocks.quarantine.front());
        blocks.quarantine.pop_front();
    }
    return true;
}

// ---- Heap -------------------------------------------------------------------------------------

HANDLE Kernel::GetProcessHeap() {
    return processHeap_;
}

void* Kernel::HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (heap != processHeap_) {
        Fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HeapAllocRequest request{bytes, flags, heapAllocCount_++};
    // The switch counts every request, also one that fails for another reason below.
    bool fail = AllocationFaults::Fails(AllocationKind::Heap);
    if (!fail && failNextHeapAllocs_ > 0) {
        --failNextHeapAllocs_;
        fail = true;
    } else if (!fail && heapFailure_ && heapFailure_(request)) {
        fail = true;
    }
    if (fail) {
        ++heapAllocFailures_;
        return nullptr; // HeapAlloc leaves the last error alone
    }
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) {
        ++heapAllocFailures_;
        return nullptr;
    }
    // Fresh heap memory is not zero on Windows either.
    std::memset(block, (flags & HEAP_ZERO_MEMORY) != 0 ? 0 : 0xBA, bytes == 0 ? 1 : bytes);
    heapBlocks_.live[block] = bytes;
    ledger_.Acquire(ValueOf(block), HandleKind::HeapBlock, "HeapAlloc",
                    std::to_string(bytes) + " bytes");
    return block;
}

BOOL Kernel::HeapFree(HANDLE heap, DWORD flags, void* memory) {
    (void)flags;
    if (memory == nullptr) {
        return TRUE;
    }
    if (!FreeBlock(heapBlocks_, memory, HandleKind::HeapBlock, "HeapFree", heap == processHeap_)) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

BOOL Kernel::HeapSetInformation(HANDLE heap, HEAP_INFORMATION_CLASS informationClass,
                                void* information, SIZE_T informationLength) {
    (void)heap; // Windows ignores the heap for this class: the setting is for the process
    // The one class modelled; the others tune one heap and are not used.
    if (informationClass != HeapEnableTerminationOnCorruption || information != nullptr ||
        informationLength != 0) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    settings_.heapTerminationOnCorruption = true;
    return TRUE;
}

BOOL Kernel::SetDefaultDllDirectories(DWORD directoryFlags) {
    if (!config_.hasSetDefaultDllDirectories) {
        Fail(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    constexpr DWORD known = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS |
                            LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
    if (directoryFlags == 0 || (directoryFlags & ~known) != 0) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    settings_.defaultDllDirectories = directoryFlags;
    return TRUE;
}

BOOL Kernel::SetDllDirectoryW(const char16_t* pathName) {
    if (pathName == nullptr) {
        settings_.dllDirectory.reset();
    } else {
        settings_.dllDirectory = std::u16string(pathName);
    }
    return TRUE;
}

BOOL Kernel::SetSearchPathMode(DWORD flags) {
    if (!config_.hasSetSearchPathMode) {
        Fail(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    const DWORD mode = flags & ~BASE_SEARCH_PATH_PERMANENT;
    if (mode != BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE &&
        mode != BASE_SEARCH_PATH_DISABLE_SAFE_SEARCHMODE) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Once made permanent, the mode cannot be changed again.
    if (settings_.searchPathMode && (*settings_.searchPathMode & BASE_SEARCH_PATH_PERMANENT)) {
        Fail(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // Only the safe mode can be made permanent.
    if ((flags & BASE_SEARCH_PATH_PERMANENT) && mode != BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    settings_.searchPathMode = flags;
    return TRUE;
}

// ---- Arranged by tests -----------------------------------------------------------------------

void Kernel::SetSystemMessage(DWORD code, std::u16string text) {
    systemMessages_[code] = std::move(text);
}

void Kernel::RemoveSystemMessage(DWORD code) {
    systemMessages_.erase(code);
}

void Kernel::FailHeapAlloc(std::function<bool(const HeapAllocRequest&)> predicate) {
    heapFailure_ = std::move(predicate);
}

void Kernel::FailNextHeapAllocs(int count) {
    failNextHeapAllocs_ = count;
}

void Kernel::StopHeapFailures() {
    heapFailure_ = nullptr;
    failNextHeapAllocs_ = 0;
}

// ---- System information -----------------------------------------------------------------------

DWORD Kernel::GetVersion() {
    return config_.version;
}

DWORD Kernel::GetCurrentThreadId() {
    return config_.threadId;
}

void Kernel::GetNativeSystemInfo(SYSTEM_INFO* info) {
    if (info == nullptr) {
        return;
    }
    const SimConfig& c = config_;
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

} // namespace platform::sim
