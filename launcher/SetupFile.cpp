#include "launcher/SetupFile.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

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
        if (bytes_ < 2) {
            firstBytes_[bytes_] = static_cast<unsigned char>(c);
        }
        ++bytes_;
        if (c == '\r') {
            ++carriageReturns_;
            continue;
        }
        if (c == '\x1A') {
            ended_ = true;
            ctrlZLine_ = line_;
            continue;
        }
        if (c == '\0') {
            ++zeros_;
        }
        lastLine_ = line_;
        if (c == '\n') {
            ++lineFeeds_;
            ++line_;
        }
        byte = c;
        return Next::Byte;
    }
}

bool SetupFileStream::Utf16ByteOrderMark() const {
    return bytes_ >= 2 && ((firstBytes_[0] == 0xFF && firstBytes_[1] == 0xFE) ||
                           (firstBytes_[0] == 0xFE && firstBytes_[1] == 0xFF));
}

bool SetupFileStream::ReadPiece(char (&piece)[kPieceSize]) {
    int length = 0;
    pieceLine_ = line_;
    pieceCut_ = false;
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
    pieceLength_ = length;
    if (length == 0) {
        return false;
    }
    pieceCut_ = length == kPieceSize - 1 && piece[length - 1] != '\n';
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
std::optional<std::string> DirectoryAnsi(const std::u16string* given) {
    const std::optional<std::u16string> current =
        given != nullptr ? std::optional<std::u16string>() : CurrentDirectory();
    if (given == nullptr && !current) {
        return std::nullopt;
    }
    const std::u16string& directory = given != nullptr ? *given : *current;

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

// Bytes of the file to display text, with the machine's ANSI code page (or the one asked for).
std::u16string AnsiToText(const char* bytes, UINT codePage) {
    const int length = static_cast<int>(std::strlen(bytes));
    if (length == 0) {
        return {};
    }
    const int units = Os().MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::u16string text(static_cast<std::size_t>(units), u'\0');
    const int written = Os().MultiByteToWideChar(codePage, 0, bytes, length, text.data(), units);
    text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return text;
}

} // namespace

platform::UniqueKernelHandle OpenSetupFile() {
    return OpenSetupFile(nullptr, nullptr);
}

platform::UniqueKernelHandle OpenSetupFile(const std::u16string* given, SetupFileOpening* opening) {
    const std::optional<std::string> directory = DirectoryAnsi(given);
    if (!directory) {
        if (opening != nullptr) {
            opening->directoryNotInCodePage = true;
        }
        return {};
    }
    for (int i = 0; i < 2; ++i) {
        // At a drive root this gives two backslashes in a row, which the system accepts.
        const std::string path = *directory + "\\" + kSetupFileNames[i];
        // The sharing of the C library's fopen for reading: others may read and write.
        platform::UniqueKernelHandle file(
            Os().CreateFileA(path.c_str(), platform::GENERIC_READ,
                             platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE, nullptr,
                             platform::OPEN_EXISTING, platform::FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            if (opening != nullptr) {
                opening->opened = i;
            }
            return file;
        }
        if (opening != nullptr) {
            opening->errors[i] = Os().GetLastError();
        }
    }
    return {};
}

void RemoveSetupComment(char* line) {
    if (char* semicolon = std::strchr(line, ';')) {
        *semicolon = '\0';
    }
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

SetupFileReader::SetupFileReader(SetupReadOptions options)
    : options_(std::move(options)),
      file_(OpenSetupFile(options_.directory ? &*options_.directory : nullptr, &opening_)),
      stream_(file_.get()) {}

SetupStep SetupFileReader::Finish(SetupStep step) {
    finished_ = step;
    return step;
}

SetupStep SetupFileReader::ReadFailure() {
    SetupStep step{.kind = SetupStep::Kind::Failed,
                   .failure = &MsgSetupFileReadFailed,
                   .line = stream_.LastLine()};
    if (options_.diagnosis != nullptr) {
        options_.diagnosis->ReadFailed(stream_, step);
    }
    return step;
}

SetupStep SetupFileReader::Next() {
    using Kind = SetupStep::Kind;
    if (finished_) {
        return *finished_;
    }
    if (!file_) {
        return Finish(
            {.kind = Kind::Failed,
             .failure = &MsgSetupFileOpenFailed,
             .cause = options_.diagnosis != nullptr ? SetupCause::NotOpened : SetupCause::None});
    }
    char line[SetupFileStream::kPieceSize];
    // Only a diagnosing reader keeps the piece as read and as compacted, for the cause.
    char original[SetupFileStream::kPieceSize];
    char compacted[SetupFileStream::kPieceSize];
    for (;;) {
        const bool continuation = stream_.PieceCut();
        if (!stream_.ReadPiece(line)) {
            return Finish(ReadFailure());
        }
        if (options_.diagnosis != nullptr) {
            std::memcpy(original, line, sizeof line);
        }
        if (!CompactSetupLine(line)) {
            return Finish({.kind = Kind::Failed,
                           .failure = &MsgSetupFileOutOfMemory,
                           .line = stream_.PieceLine(),
                           .cause = options_.diagnosis != nullptr ? SetupCause::OutOfMemory
                                                                  : SetupCause::None});
        }
        if (options_.diagnosis != nullptr) {
            std::memcpy(compacted, line, sizeof line);
        }
        RemoveSetupComment(line);
        if (line[0] == '\0') {
            continue;
        }
        const SetupLineKind kind = ParseSetupLine(line);
        switch (kind) {
        case SetupLineKind::End: {
            const int endLine = stream_.PieceLine();
            if (options_.diagnosis != nullptr) {
                RemoveSetupComment(compacted);
                options_.diagnosis->EndLine(stream_, compacted);
            }
            Close();
            return Finish({.kind = Kind::End, .line = endLine});
        }
        case SetupLineKind::Unrecognised: {
            SetupStep step{.kind = Kind::Failed,
                           .failure = &MsgSetupFileContentError,
                           .line = stream_.PieceLine()};
            if (options_.diagnosis != nullptr) {
                // The line as compacted, comment removed, for the keyword.
                char uncommented[SetupFileStream::kPieceSize];
                std::memcpy(uncommented, compacted, sizeof compacted);
                RemoveSetupComment(uncommented);
                options_.diagnosis->ContentFailed(stream_, step, original, compacted, uncommented,
                                                  continuation);
            }
            return Finish(std::move(step));
        }
        case SetupLineKind::Title:
        case SetupLineKind::DriverType:
        case SetupLineKind::DriverVersion:
            if (options_.diagnosis != nullptr) {
                options_.diagnosis->ValueLine(stream_, kind, compacted);
            }
            return {.kind = Kind::Value,
                    .label = kind,
                    .value = AnsiToText(line, options_.codePage),
                    .line = stream_.PieceLine()};
        }
    }
}

} // namespace launcher
