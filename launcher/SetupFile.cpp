#include "launcher/SetupFile.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace launcher {

using platform::BOOL;
using platform::DWORD;
using platform::Os;
using platform::UINT;

SetupFileStream::Next SetupFileStream::NextByte(char& byte) {
    for (;;) {
        if (failed_) {
            return Next::Error;
        }
        if (ended_) {
            return Next::End;
        }
        if (chunkUsed_ == chunkFilled_) {
            DWORD got = 0;
            if (!Os().ReadFile(file_, chunk_, sizeof chunk_, &got, nullptr)) {
                failed_ = true;
                continue;
            }
            if (got == 0) {
                ended_ = true;
                continue;
            }
            chunkUsed_ = 0;
            chunkFilled_ = got;
        }
        const char c = chunk_[chunkUsed_++];
        if (c == '\r') {
            continue;
        }
        if (c == '\x1A') {
            ended_ = true;
            continue;
        }
        byte = c;
        return Next::Byte;
    }
}

bool SetupFileStream::ReadPiece(char (&piece)[kPieceSize]) {
    int length = 0;
    while (length < kPieceSize - 1) {
        char c = '\0';
        const Next next = NextByte(c);
        if (next == Next::Error) {
            // A read error spoils the piece it falls in, as with fgets.
            return false;
        }
        if (next == Next::End) {
            // What came before the end is still a piece; the next call reports the end.
            break;
        }
        piece[length++] = c;
        if (c == '\n') {
            break;
        }
    }
    if (length == 0) {
        return false;
    }
    piece[length] = '\0';
    return true;
}

std::optional<std::u16string> CurrentDirectory() {
    std::u16string directory;
    DWORD needed = Os().GetCurrentDirectoryW(0, nullptr);
    // The directory may change between the two calls; a few tries are plenty.
    for (int attempt = 0; attempt < 4 && needed != 0; ++attempt) {
        directory.assign(needed, u'\0');
        const DWORD written = Os().GetCurrentDirectoryW(needed, directory.data());
        if (written == 0) {
            return std::nullopt;
        }
        if (written < needed) {
            directory.resize(written);
            break;
        }
        needed = written;
        directory.clear();
    }
    if (directory.empty()) {
        return std::nullopt;
    }
    return directory;
}

namespace {

// The current directory in the ANSI code page, or nothing when the code page cannot express
// it: a best-fit or default character would name some other directory.
std::optional<std::string> CurrentDirectoryAnsi() {
    const std::optional<std::u16string> current = CurrentDirectory();
    if (!current) {
        return std::nullopt;
    }
    const std::u16string& directory = *current;

    const int wideLength = static_cast<int>(directory.size());
    BOOL usedDefault = platform::FALSE;
    DWORD flags = platform::WC_NO_BEST_FIT_CHARS;
    BOOL* usedDefaultQuery = &usedDefault;
    const UINT ansiCodePage = Os().GetACP();
    if (ansiCodePage == platform::CP_UTF8) {
        // A UTF-8 ANSI code page (a system option since Windows 10) takes neither the flag nor
        // the default-character query, and Windows may refuse either first; it expresses every
        // directory except one with a broken surrogate, which WC_ERR_INVALID_CHARS refuses.
        flags = platform::WC_ERR_INVALID_CHARS;
        usedDefaultQuery = nullptr;
    }
    int bytes = Os().WideCharToMultiByte(platform::CP_ACP, flags, directory.data(), wideLength,
                                         nullptr, 0, nullptr, usedDefaultQuery);
    if (bytes <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    if (Os().WideCharToMultiByte(platform::CP_ACP, flags, directory.data(), wideLength, ansi.data(),
                                 bytes, nullptr, usedDefaultQuery) != bytes ||
        usedDefault) {
        return std::nullopt;
    }
    return ansi;
}

// Everything from the first semicolon on goes, quotes or not.
void RemoveComment(char* line) {
    if (char* semicolon = std::strchr(line, ';')) {
        *semicolon = '\0';
    }
}

// Bytes of the file to display text, with the machine's ANSI code page.
std::u16string AnsiToText(const char* bytes) {
    const int length = static_cast<int>(std::strlen(bytes));
    if (length == 0) {
        return {};
    }
    const int units = Os().MultiByteToWideChar(platform::CP_ACP, 0, bytes, length, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::u16string text(static_cast<std::size_t>(units), u'\0');
    const int written =
        Os().MultiByteToWideChar(platform::CP_ACP, 0, bytes, length, text.data(), units);
    text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return text;
}

} // namespace

// The file of the current directory, "Setup.ini" first; an empty handle when neither opens,
// also when the code page cannot express the directory.
platform::UniqueKernelHandle OpenSetupFile() {
    static constexpr std::array<std::string_view, 2> kNames = {"Setup.ini", ".setup_ini"};

    const std::optional<std::string> directory = CurrentDirectoryAnsi();
    if (!directory) {
        return {};
    }
    for (std::string_view name : kNames) {
        // At a drive root this gives two backslashes in a row, which the system accepts.
        const std::string path = *directory + "\\" + std::string(name);
        // The sharing of the C library's fopen for reading: others may read and write.
        platform::UniqueKernelHandle file(
            Os().CreateFileA(path.c_str(), platform::GENERIC_READ,
                             platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE, nullptr,
                             platform::OPEN_EXISTING, platform::FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            return file;
        }
    }
    return {};
}

bool CompactSetupLine(char* line) {
    const std::size_t length = std::strlen(line);
    platform::HeapBlock scratch = platform::HeapBlock::Allocate(length + 4);
    if (!scratch) {
        return false;
    }
    char* out = static_cast<char*>(scratch.get());
    bool quoted = false;
    for (const char* in = line; *in != '\0'; ++in) {
        const char c = *in;
        if (c == '"') {
            quoted = !quoted;
        }
        // Taken as signed, so every byte from 0x80 up is dropped outside quotes.
        const signed char value = static_cast<signed char>(c);
        if (quoted || (value > 0x20 && value < 0x7F)) {
            *out++ = c;
        }
    }
    *out = '\0';
    std::memcpy(line, scratch.get(),
                static_cast<std::size_t>(out - static_cast<char*>(scratch.get())) + 1);
    return true;
}

SetupLineKind ParseSetupLine(char* line) {
    const auto startsWith = [line](std::string_view keyword) {
        return std::strncmp(line, keyword.data(), keyword.size()) == 0;
    };
    SetupLineKind kind;
    if (startsWith("$TITLE")) {
        kind = SetupLineKind::Title;
    } else if (startsWith("$DRV_TYPE")) {
        kind = SetupLineKind::DriverType;
    } else if (startsWith("$DRV_VERSION")) {
        kind = SetupLineKind::DriverVersion;
    } else if (startsWith("$END")) {
        return SetupLineKind::End;
    } else {
        return SetupLineKind::Unrecognised;
    }

    const char* open = std::strchr(line, '"');
    if (open == nullptr) {
        return SetupLineKind::Unrecognised;
    }
    const char* close = std::strchr(open + 1, '"');
    if (close == nullptr) {
        return SetupLineKind::Unrecognised;
    }
    const std::size_t length = static_cast<std::size_t>(close - open - 1);
    std::memmove(line, open + 1, length);
    line[length] = '\0';
    return kind;
}

SetupFileReader::SetupFileReader() : file_(OpenSetupFile()), stream_(file_.get()) {}

SetupStep SetupFileReader::Finish(SetupStep step) {
    finished_ = step;
    return step;
}

SetupStep SetupFileReader::Next() {
    using Kind = SetupStep::Kind;
    if (finished_) {
        return *finished_;
    }
    if (!file_) {
        return Finish({.kind = Kind::Failed, .failure = &MsgSetupFileOpenFailed});
    }
    char line[SetupFileStream::kPieceSize];
    for (;;) {
        if (!stream_.ReadPiece(line)) {
            return Finish({.kind = Kind::Failed, .failure = &MsgSetupFileReadFailed});
        }
        if (!CompactSetupLine(line)) {
            return Finish({.kind = Kind::Failed, .failure = &MsgSetupFileOutOfMemory});
        }
        RemoveComment(line);
        if (line[0] == '\0') {
            continue;
        }
        const SetupLineKind kind = ParseSetupLine(line);
        switch (kind) {
        case SetupLineKind::End:
            Close();
            return Finish({.kind = Kind::End});
        case SetupLineKind::Unrecognised:
            return Finish({.kind = Kind::Failed, .failure = &MsgSetupFileContentError});
        case SetupLineKind::Title:
        case SetupLineKind::DriverType:
        case SetupLineKind::DriverVersion:
            return {.kind = Kind::Value, .label = kind, .value = AnsiToText(line)};
        }
    }
}

} // namespace launcher
