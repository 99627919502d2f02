// Files on drive C: (a host folder), the current directory and the module.
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimLocale.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace platform::sim {

namespace {

constexpr DWORD DELETE_ACCESS = 0x00010000;

bool InvalidNameCharacter(char16_t c) {
    return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
           c == u'*';
}

std::vector<std::u16string> Components(std::u16string_view path) {
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.emplace_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

bool IsUnc(std::u16string_view path) {
    return path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\';
}

// A path's root and the rest: "C:" for a drive, "\\server\share" for a network path. Nothing
// when a network path lacks its server or share name.
std::optional<std::pair<std::u16string, std::u16string>> SplitRoot(std::u16string_view path) {
    if (IsUnc(path)) {
        const std::size_t serverEnd = path.find(u'\\', 2);
        if (serverEnd == std::u16string_view::npos || serverEnd == 2) {
            return std::nullopt;
        }
        std::size_t shareEnd = path.find(u'\\', serverEnd + 1);
        if (shareEnd == std::u16string_view::npos) {
            shareEnd = path.size();
        }
        if (shareEnd == serverEnd + 1) {
            return std::nullopt;
        }
        return std::pair{std::u16string(path.substr(0, shareEnd)),
                         std::u16string(path.substr(shareEnd))};
    }
    if (path.size() >= 2 && path[1] == u':') {
        return std::pair{std::u16string(path.substr(0, 2)), std::u16string(path.substr(2))};
    }
    return std::nullopt;
}

} // namespace

// ---- Paths ------------------------------------------------------------------------------------

std::optional<std::u16string> Kernel::NormalizePath(std::u16string_view input, DWORD& error) const {
    std::u16string path(input);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    if (path.size() >= 8 && UpperCase(path.substr(0, 8)) == u"\\\\?\\UNC\\") {
        path = u"\\\\" + path.substr(8);
    } else if (path.rfind(u"\\\\?\\", 0) == 0) {
        path = path.substr(4); // the long-path prefix changes nothing here
    }
    if (path.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    const std::u16string& current = config_.currentDirectory;
    const std::optional<std::pair<std::u16string, std::u16string>> currentSplit =
        SplitRoot(current);
    const std::u16string currentRoot =
        currentSplit ? (IsUnc(current) ? currentSplit->first : UpperCase(currentSplit->first))
                     : std::u16string(u"C:");
    const std::u16string currentRest = currentSplit ? currentSplit->second : std::u16string();
    std::u16string root;
    std::u16string rest;
    if (IsUnc(path)) {
        auto split = SplitRoot(path);
        if (!split) {
            error = ERROR_BAD_PATHNAME;
            return std::nullopt;
        }
        if (std::any_of(split->first.begin() + 2, split->first.end(),
                        [](char16_t c) { return c != u'\\' && InvalidNameCharacter(c); })) {
            error = ERROR_INVALID_NAME;
            return std::nullopt;
        }
        root = split->first;
        rest = split->second;
    } else if (path.size() >= 2 && path[1] == u':') {
        char16_t given = path[0];
        if (!((given >= u'A' && given <= u'Z') || (given >= u'a' && given <= u'z'))) {
            error = ERROR_INVALID_NAME;
            return std::nullopt;
        }
        root = UpperCase(std::u16string(1, given)) + u":";
        rest = path.substr(2);
        if (rest.empty() || rest[0] != u'\\') {
            // "C:name" is relative to the current directory when that is on the same drive.
            rest = (root == currentRoot ? currentRest : u"") + u"\\" + rest;
        }
    } else if (path[0] == u'\\') {
        // Rooted: the root of the current drive or share.
        root = currentRoot;
        rest = path;
    } else {
        root = currentRoot;
        rest = currentRest + u"\\" + path;
    }
    std::vector<std::u16string> parts;
    for (std::u16string part : Components(rest)) {
        if (part == u".") {
            continue;
        }
        // ".." stops at the root: a share's root as a drive's.
        if (part == u"..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        // Windows drops trailing dots and blanks of every name.
        while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) {
            part.pop_back();
        }
        if (part.empty()) {
            continue;
        }
        if (std::any_of(part.begin(), part.end(), InvalidNameCharacter)) {
            error = ERROR_INVALID_NAME;
            return std::nullopt;
        }
        parts.push_back(std::move(part));
    }
    std::u16string normalized = root;
    for (const auto& part : parts) {
        normalized += u"\\" + part;
    }
    if (parts.empty() && !IsUnc(root)) {
        normalized += u"\\";
    }
    return normalized;
}

std::optional<std::filesystem::path> Kernel::ShareFolder(std::u16string_view root,
                                                         DWORD& error) const {
    const std::u16string key = UpperCase(std::u16string(root));
    const std::u16string server = key.substr(0, key.find(u'\\', 2) + 1);
    bool serverKnown = false;
    for (const auto& [share, folder] : shares_) {
        if (share == key) {
            return folder;
        }
        serverKnown = serverKnown || share.rfind(server, 0) == 0;
    }
    error = serverKnown ? ERROR_BAD_NET_NAME : ERROR_BAD_NETPATH;
    return std::nullopt;
}

std::optional<std::filesystem::path> Kernel::ResolveHost(const std::u16string& normalized,
                                                         DWORD& error, bool& isDirectory) const {
    std::filesystem::path host;
    std::vector<std::u16string> parts;
    if (IsUnc(normalized)) {
        auto split = SplitRoot(normalized);
        std::optional<std::filesystem::path> share;
        if (split) {
            share = ShareFolder(split->first, error);
        } else {
            error = ERROR_BAD_PATHNAME;
        }
        if (!share) {
            return std::nullopt;
        }
        host = *share;
        parts = Components(split->second);
    } else {
        if (normalized.size() < 3 || normalized[0] != u'C') {
            error = ERROR_PATH_NOT_FOUND;
            return std::nullopt;
        }
        host = config_.driveRoot;
        parts = Components(std::u16string_view(normalized).substr(2));
    }
    isDirectory = true;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        std::error_code ec;
        std::filesystem::path exact = host / Utf16ToUtf8(parts[i]);
        std::optional<std::filesystem::path> match;
        if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec))) {
            match = exact;
        } else {
            // Names match whatever their case, as on NTFS.
            const std::u16string wanted = UpperCase(parts[i]);
            for (const auto& entry : std::filesystem::directory_iterator(host, ec)) {
                if (UpperCase(Utf8ToUtf16(entry.path().filename().string())) == wanted) {
                    match = entry.path();
                    break;
                }
            }
        }
        if (!match) {
            error = last ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
            return std::nullopt;
        }
        const bool directory = std::filesystem::is_directory(*match, ec);
        if (!last && !directory) {
            error = ERROR_PATH_NOT_FOUND;
            return std::nullopt;
        }
        host = *match;
        isDirectory = directory;
    }
    return host;
}

void Kernel::LockPath(std::u16string_view windowsPath, DWORD error) {
    DWORD ignored = 0;
    auto normalized = NormalizePath(windowsPath, ignored);
    if (!normalized) {
        throw std::invalid_argument("simulated desktop: LockPath needs a valid path");
    }
    UnlockPath(windowsPath);
    lockedPaths_.emplace_back(UpperCase(*normalized), error);
}

void Kernel::UnlockPath(std::u16string_view windowsPath) {
    DWORD ignored = 0;
    auto normalized = NormalizePath(windowsPath, ignored);
    if (!normalized) {
        return;
    }
    auto& locked = lockedPaths_;
    const std::u16string key = UpperCase(*normalized);
    locked.erase(std::remove_if(locked.begin(), locked.end(),
                                [&key](const auto& l) { return l.first == key; }),
                 locked.end());
}

void Kernel::FailReadAfter(std::u16string_view windowsPath, std::uint64_t bytes, DWORD error) {
    DWORD ignored = 0;
    auto normalized = NormalizePath(windowsPath, ignored);
    if (!normalized) {
        throw std::invalid_argument("simulated desktop: FailReadAfter needs a valid path");
    }
    readFailures_.emplace_back(UpperCase(*normalized), bytes, error);
}

// ---- Files ------------------------------------------------------------------------------------

DWORD Kernel::GetCurrentDirectoryW(DWORD cchBuffer, char16_t* buffer) {
    if (currentDirectoryError_ != 0) {
        Fail(currentDirectoryError_);
        return 0;
    }
    // Windows keeps the directory with a trailing backslash and reports it without one, except
    // at a drive root.
    std::u16string current = config_.currentDirectory;
    if (current.size() > 1 && current.back() == u'\\' && current[current.size() - 2] != u':') {
        current.pop_back();
    }
    const auto length = static_cast<DWORD>(current.size());
    if (buffer == nullptr || cchBuffer < length + 1) {
        return length + 1; // the size needed, terminator included
    }
    std::memcpy(buffer, current.c_str(), (length + 1) * sizeof(char16_t));
    return length;
}

HANDLE Kernel::CreateFileA(const char* fileName, DWORD access, DWORD shareMode,
                           void* securityAttributes, DWORD creationDisposition,
                           DWORD flagsAndAttributes, HANDLE templateFile) {
    (void)securityAttributes;
    (void)flagsAndAttributes;
    (void)templateFile;
    FileOpenRecord record;
    record.path = fileName == nullptr ? "" : fileName;
    record.access = access;
    record.shareMode = shareMode;
    record.disposition = creationDisposition;
    auto fail = [&](DWORD error) {
        record.handle = INVALID_HANDLE_VALUE;
        record.error = error;
        fileOpens_.push_back(record);
        Fail(error);
        return INVALID_HANDLE_VALUE;
    };
    if (fileName == nullptr) {
        return fail(ERROR_PATH_NOT_FOUND);
    }
    // The path is ANSI text: it becomes UTF-16 with the machine's code page, as on Windows.
    DWORD error = 0;
    int units = ToWide(config_.ansiCodePage, 0, fileName, -1, nullptr, 0, error);
    if (units <= 0) {
        return fail(ERROR_PATH_NOT_FOUND);
    }
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    ToWide(config_.ansiCodePage, 0, fileName, -1, wide.data(), units, error);
    wide.pop_back();
    auto normalized = NormalizePath(wide, error);
    if (!normalized) {
        return fail(error);
    }
    record.windowsPath = *normalized;
    constexpr DWORD kWriting = GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA |
                               FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES | DELETE_ACCESS;
    if (creationDisposition < CREATE_NEW || creationDisposition > TRUNCATE_EXISTING) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    if ((access & kWriting) != 0 || creationDisposition == CREATE_NEW ||
        creationDisposition == CREATE_ALWAYS || creationDisposition == TRUNCATE_EXISTING) {
        return fail(ERROR_ACCESS_DENIED); // drive C: is read-only here
    }
    const std::u16string key = UpperCase(*normalized);
    for (const auto& [path, lockError] : lockedPaths_) {
        if (path == key) {
            return fail(lockError);
        }
    }
    bool isDirectory = false;
    auto host = ResolveHost(*normalized, error, isDirectory);
    if (!host) {
        return fail(error == ERROR_FILE_NOT_FOUND && creationDisposition == OPEN_ALWAYS
                        ? ERROR_ACCESS_DENIED
                        : error);
    }
    record.hostPath = *host;
    if (isDirectory) {
        return fail(ERROR_ACCESS_DENIED);
    }
    for (const auto& [value, open] : files_) {
        if (open.hostPath == *host &&
            ((open.shareMode & FILE_SHARE_READ) == 0 || (shareMode & FILE_SHARE_READ) == 0)) {
            return fail(ERROR_SHARING_VIOLATION);
        }
    }
    int descriptor = ::open(host->c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return fail(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
    }
    OpenFile file;
    file.descriptor = descriptor;
    file.windowsPath = *normalized;
    file.hostPath = *host;
    file.shareMode = shareMode;
    for (const auto& [path, bytes, readError] : readFailures_) {
        if (path == key) {
            file.failAfter = bytes;
            file.failError = readError;
        }
    }
    auto handle = AsHandle<HANDLE>(NewHandleValue());
    files_[ValueOf(handle)] = std::move(file);
    ledger_.Acquire(ValueOf(handle), HandleKind::File, "CreateFileA", Utf16ToUtf8(*normalized));
    record.handle = handle;
    fileOpens_.push_back(record);
    if (creationDisposition == OPEN_ALWAYS) {
        lastError_ = ERROR_ALREADY_EXISTS;
    }
    return handle;
}

BOOL Kernel::ReadFile(HANDLE fileHandle, void* buffer, DWORD bytesToRead, DWORD* bytesRead,
                      void* overlapped) {
    if (overlapped != nullptr || bytesRead == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *bytesRead = 0;
    auto it = files_.find(ValueOf(fileHandle));
    if (it == files_.end()) {
        if (!ledger_.IsOutstanding(fileHandle)) {
            ledger_.Fault(FaultKind::UseOfReleased, ValueOf(fileHandle), "ReadFile", "");
        }
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    OpenFile& file = it->second;
    if (buffer == nullptr && bytesToRead > 0) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t allowed = bytesToRead;
    if (file.failAfter) {
        if (file.delivered >= *file.failAfter && bytesToRead > 0) {
            Fail(file.failError);
            return FALSE;
        }
        allowed = std::min<std::uint64_t>(allowed, *file.failAfter - file.delivered);
    }
    std::uint64_t got = 0;
    auto* out = static_cast<char*>(buffer);
    while (got < allowed) {
        ssize_t n = ::read(file.descriptor, out + got, static_cast<std::size_t>(allowed - got));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(ERROR_READ_FAULT);
            return FALSE;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::uint64_t>(n);
    }
    file.delivered += got;
    *bytesRead = static_cast<DWORD>(got);
    return TRUE;
}

// ---- The drive, arranged by tests -----------------------------------------------------------

std::filesystem::path Kernel::DriveRoot() const {
    return config_.driveRoot;
}

std::filesystem::path Kernel::HostPath(std::u16string_view windowsPath) const {
    std::u16string path(windowsPath);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    const std::u16string& current = config_.currentDirectory;
    if (!IsUnc(path) && !(path.size() >= 2 && path[1] == u':')) {
        if (!path.empty() && path[0] == u'\\') {
            const auto split = SplitRoot(current);
            path = (split ? split->first : std::u16string(u"C:")) + path;
        } else {
            path = current + u"\\" + path;
        }
    }
    const auto split = SplitRoot(path);
    if (!split) {
        throw std::invalid_argument("simulated desktop: not a path on a drive or a share: " +
                                    Utf16ToUtf8(path));
    }
    std::filesystem::path host = config_.driveRoot;
    if (IsUnc(path)) {
        DWORD error = 0;
        const auto share = ShareFolder(split->first, error);
        if (!share) {
            throw std::invalid_argument("simulated desktop: no such network share: " +
                                        Utf16ToUtf8(split->first));
        }
        host = *share;
    }
    for (const std::u16string& part : Components(split->second)) {
        host /= Utf16ToUtf8(part);
    }
    return host;
}

void Kernel::CreateHostDirectory(std::u16string_view windowsPath) {
    std::filesystem::create_directories(HostPath(windowsPath));
}

void Kernel::CreateHostFile(std::u16string_view windowsPath, std::string_view bytes) {
    std::filesystem::path host = HostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("simulated desktop: cannot write " + host.string());
    }
}

void Kernel::SetCurrentDirectory(std::u16string windowsPath) {
    config_.currentDirectory = std::move(windowsPath);
}

void Kernel::SetModuleFileName(std::u16string windowsPath) {
    config_.moduleFileName = std::move(windowsPath);
}

// ---- The module -------------------------------------------------------------------------------

HINSTANCE Kernel::GetModuleHandleW(const char16_t* moduleName) {
    if (moduleName == nullptr) {
        return module_;
    }
    const std::u16string& path = config_.moduleFileName;
    std::u16string file = path.substr(
        path.find_last_of(u"\\/") == std::u16string::npos ? 0 : path.find_last_of(u"\\/") + 1);
    std::u16string wanted = UpperCase(moduleName);
    std::u16string fileUpper = UpperCase(file);
    if (wanted == fileUpper || wanted + u".EXE" == fileUpper || wanted == UpperCase(path)) {
        return module_;
    }
    Fail(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD Kernel::GetModuleFileNameW(HINSTANCE module, char16_t* fileName, DWORD cchSize) {
    if (module != nullptr && module != module_) {
        Fail(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    const std::u16string& path = config_.moduleFileName;
    if (fileName == nullptr || cchSize == 0) {
        Fail(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() + 1 > cchSize) {
        // Cut to the buffer, terminator included, as Windows Vista and later do.
        std::memcpy(fileName, path.c_str(), (cchSize - 1) * sizeof(char16_t));
        fileName[cchSize - 1] = 0;
        Fail(ERROR_INSUFFICIENT_BUFFER);
        return cchSize;
    }
    std::memcpy(fileName, path.c_str(), (path.size() + 1) * sizeof(char16_t));
    return static_cast<DWORD>(path.size());
}

} // namespace platform::sim
