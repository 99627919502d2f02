#include "launcher/SetupFile.h"

#include <algorithm>
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

// Everything from the first semicolon on goes, quotes or not.
void RemoveComment(char* line) {
    if (char* semicolon = std::strchr(line, ';')) {
        *semicolon = '\0';
    }
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

namespace {

constexpr std::string_view kKeywords[] = {"$TITLE", "$DRV_TYPE", "$DRV_VERSION", "$END"};

int KeywordIndex(SetupLineKind kind) {
    switch (kind) {
    case SetupLineKind::Title:
        return 0;
    case SetupLineKind::DriverType:
        return 1;
    case SetupLineKind::DriverVersion:
        return 2;
    case SetupLineKind::End:
    case SetupLineKind::Unrecognised:
        break;
    }
    return 3;
}

bool WordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The word a line begins with: "$" and word characters.
std::string FirstWord(const char* line) {
    std::size_t n = 0;
    if (line[n] == '$') {
        ++n;
    }
    while (WordCharacter(line[n]) && n < 24) {
        ++n;
    }
    return std::string(line, n == 0 ? std::min<std::size_t>(std::strlen(line), 1) : n);
}

// Two bytes that the code page reads as one character, as its lead and trail byte.
bool DoubleByteCharacter(UINT codePage, char lead, char trail) {
    const char pair[2] = {lead, trail};
    char16_t wide[2] = {};
    return Os().MultiByteToWideChar(codePage, platform::MB_ERR_INVALID_CHARS, pair, 2, wide, 2) ==
           1;
}

} // namespace

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
    if (!options_.diagnose) {
        return step;
    }
    const bool utf16 = stream_.Utf16ByteOrderMark() ||
                       (stream_.ZeroBytes() > 0 && stream_.ZeroBytes() * 4 >= stream_.BytesRead());
    if (stream_.Failed()) {
        step.cause = SetupCause::ReadError;
    } else if (stream_.CtrlZLine() != 0) {
        step.cause = SetupCause::CtrlZ;
        step.line = stream_.CtrlZLine();
    } else if (stream_.BytesRead() == 0) {
        step.cause = SetupCause::Empty;
    } else if (utf16) {
        step.cause = SetupCause::Utf16;
        step.line = 1;
    } else if (stream_.SawCarriageReturn() && !stream_.SawLineFeed()) {
        step.cause = SetupCause::CarriageReturnsOnly;
    } else {
        step.cause = SetupCause::NoEndMarker;
    }
    return step;
}

void SetupFileReader::ContentCause(SetupStep& step, const char* original, const char* compacted,
                                   const char* line, bool continuation) const {
    const int length = stream_.PieceLength();
    const bool zeroInside = static_cast<int>(std::strlen(original)) < length;
    if (stream_.Utf16ByteOrderMark() ||
        (stream_.ZeroBytes() > 0 && stream_.ZeroBytes() * 4 >= stream_.BytesRead())) {
        step.cause = SetupCause::Utf16;
        return;
    }
    if (continuation) {
        step.cause =
            stream_.SawLineFeed() ? SetupCause::LongLineRest : SetupCause::CarriageReturnsOnly;
        return;
    }
    const UINT codePage = options_.codePage;
    bool keyword = false;
    for (std::string_view k : kKeywords) {
        keyword = keyword || std::strncmp(line, k.data(), k.size()) == 0;
    }
    if (!keyword) {
        // A character whose first byte compaction dropped and whose second it kept. Only what
        // stands before the value can spoil the keyword.
        for (const char* p = original; *p != '\0' && *p != '"';) {
            const auto lead = static_cast<unsigned char>(p[0]);
            if (lead >= 0x80 && p[1] != '\0' && DoubleByteCharacter(codePage, p[0], p[1])) {
                const auto trail = static_cast<unsigned char>(p[1]);
                if (trail >= 0x40 && trail <= 0x7E) {
                    step.cause = SetupCause::TrailByte;
                    step.detail.assign(p, 2);
                    return;
                }
                p += 2;
            } else {
                ++p;
            }
        }
        for (std::string_view k : kKeywords) {
            std::size_t n = 0;
            while (n < k.size() && Upper(line[n]) == k[n]) {
                ++n;
            }
            if (n == k.size()) {
                step.cause = SetupCause::KeywordCase;
                step.detail.assign(line, k.size());
                return;
            }
        }
        step.cause = SetupCause::UnknownKeyword;
        step.detail = FirstWord(line);
        return;
    }
    // A value keyword with fewer than two quotes.
    for (int k = 0; k < 3; ++k) {
        if (std::strncmp(line, kKeywords[k].data(), kKeywords[k].size()) == 0) {
            step.label = k == 0
                             ? SetupLineKind::Title
                             : (k == 1 ? SetupLineKind::DriverType : SetupLineKind::DriverVersion);
            break;
        }
    }
    const char* semicolon = std::strchr(compacted, ';');
    if (semicolon != nullptr) {
        int quotes = 0;
        for (const char* p = compacted; p < semicolon; ++p) {
            quotes += *p == '"' ? 1 : 0;
        }
        if (quotes % 2 == 1) {
            step.cause = SetupCause::SemicolonInQuotes;
            return;
        }
    }
    if (zeroInside) {
        step.cause = SetupCause::ZeroByte;
        return;
    }
    if (stream_.PieceCut()) {
        step.cause = SetupCause::PieceCut;
        return;
    }
    if (std::strchr(line, '"') != nullptr) {
        step.cause = SetupCause::NoClosingQuote;
        return;
    }
    step.cause = SetupCause::NoQuotes;
    // Curly quotes are no quotes: compaction drops them outside quotes.
    const int originalLength = static_cast<int>(std::strlen(original));
    for (int i = 0; i < originalLength; ++i) {
        for (int n = 1; n <= 3 && i + n <= originalLength; ++n) {
            char16_t wide[2] = {};
            if (Os().MultiByteToWideChar(codePage, platform::MB_ERR_INVALID_CHARS, original + i, n,
                                         wide, 2) == 1 &&
                (wide[0] == u'\u201C' || wide[0] == u'\u201D' || wide[0] == u'\uFF02')) {
                step.cause = SetupCause::TypographicQuotes;
                step.detail.assign(original + i, static_cast<std::size_t>(n));
                return;
            }
        }
    }
}

void SetupFileReader::WarnAboutValueLine(SetupLineKind kind, const char* compacted) {
    const int index = KeywordIndex(kind);
    const int line = stream_.PieceLine();
    const std::string_view keyword = kKeywords[index];
    if (WordCharacter(compacted[keyword.size()])) {
        warnings_.push_back({.line = line,
                             .kind = SetupWarningKind::KeywordPrefix,
                             .keyword = kind,
                             .detail = FirstWord(compacted)});
    }
    // The compacted line still holds its comment; the value lies between its first two quotes.
    std::string rest(compacted);
    if (const std::size_t semicolon = rest.find(';'); semicolon != std::string::npos) {
        rest.resize(semicolon);
    }
    const std::size_t open = rest.find('"');
    const std::size_t close = rest.find('"', open + 1);
    if (close + 1 < rest.size()) {
        warnings_.push_back({.line = line,
                             .kind = SetupWarningKind::TextAfterValue,
                             .keyword = kind,
                             .detail = rest.substr(close + 1)});
    }
    if (firstLines_[index] != 0) {
        warnings_.push_back({.line = line,
                             .kind = SetupWarningKind::Repeated,
                             .keyword = kind,
                             .firstLine = firstLines_[index]});
    } else {
        firstLines_[index] = line;
    }
}

void SetupFileReader::WarnAtEnd(const char* compacted) {
    const int endLine = stream_.PieceLine();
    if (compacted[4] != '\0') {
        const bool word = WordCharacter(compacted[4]);
        warnings_.push_back(
            {.line = endLine,
             .kind = word ? SetupWarningKind::KeywordPrefix : SetupWarningKind::TextAfterEndOnLine,
             .keyword = SetupLineKind::End,
             .detail = word ? FirstWord(compacted) : std::string(compacted + 4)});
    }
    // What follows is never read by the launcher; a line of it that is more than a blank or a
    // comment was most likely meant to be read.
    char piece[SetupFileStream::kPieceSize];
    bool cut = stream_.PieceCut();
    while (stream_.ReadPiece(piece)) {
        const bool continuation = cut;
        cut = stream_.PieceCut();
        if (continuation || !CompactSetupLine(piece)) {
            continue;
        }
        RemoveComment(piece);
        if (piece[0] != '\0') {
            warnings_.push_back({.line = stream_.PieceLine(),
                                 .kind = SetupWarningKind::TextAfterEnd,
                                 .detail = FirstWord(piece)});
            break;
        }
    }
    constexpr SetupLineKind kValueKinds[] = {SetupLineKind::Title, SetupLineKind::DriverType,
                                             SetupLineKind::DriverVersion};
    for (SetupLineKind kind : kValueKinds) {
        if (firstLines_[KeywordIndex(kind)] == 0) {
            warnings_.push_back(
                {.line = endLine, .kind = SetupWarningKind::Missing, .keyword = kind});
        }
    }
}

SetupStep SetupFileReader::Next() {
    using Kind = SetupStep::Kind;
    if (finished_) {
        return *finished_;
    }
    if (!file_) {
        return Finish({.kind = Kind::Failed,
                       .failure = &MsgSetupFileOpenFailed,
                       .cause = options_.diagnose ? SetupCause::NotOpened : SetupCause::None});
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
        if (options_.diagnose) {
            std::memcpy(original, line, sizeof line);
        }
        if (!CompactSetupLine(line)) {
            return Finish(
                {.kind = Kind::Failed,
                 .failure = &MsgSetupFileOutOfMemory,
                 .line = stream_.PieceLine(),
                 .cause = options_.diagnose ? SetupCause::OutOfMemory : SetupCause::None});
        }
        if (options_.diagnose) {
            std::memcpy(compacted, line, sizeof line);
        }
        RemoveComment(line);
        if (line[0] == '\0') {
            continue;
        }
        const SetupLineKind kind = ParseSetupLine(line);
        switch (kind) {
        case SetupLineKind::End: {
            const int endLine = stream_.PieceLine();
            if (options_.diagnose) {
                RemoveComment(compacted);
                WarnAtEnd(compacted);
            }
            Close();
            return Finish({.kind = Kind::End, .line = endLine});
        }
        case SetupLineKind::Unrecognised: {
            SetupStep step{.kind = Kind::Failed,
                           .failure = &MsgSetupFileContentError,
                           .line = stream_.PieceLine()};
            if (options_.diagnose) {
                // The line as compacted, comment removed, for the keyword.
                char uncommented[SetupFileStream::kPieceSize];
                std::memcpy(uncommented, compacted, sizeof compacted);
                RemoveComment(uncommented);
                ContentCause(step, original, compacted, uncommented, continuation);
            }
            return Finish(std::move(step));
        }
        case SetupLineKind::Title:
        case SetupLineKind::DriverType:
        case SetupLineKind::DriverVersion:
            if (options_.diagnose) {
                WarnAboutValueLine(kind, compacted);
            }
            return {.kind = Kind::Value,
                    .label = kind,
                    .value = AnsiToText(line, options_.codePage),
                    .line = stream_.PieceLine()};
        }
    }
}

} // namespace launcher
