// What setup-check learns from the reader beyond what the launcher needs: the cause of each
// failure and the warnings. Kept apart from the reader so that Setup.exe does not carry it.
#include "launcher/SetupDiagnosis.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace launcher {

using platform::Os;
using platform::UINT;

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

void SetupFileDiagnosis::ReadFailed(const SetupFileStream& stream, SetupStep& step) {
    const bool utf16 = stream.Utf16ByteOrderMark() ||
                       (stream.ZeroBytes() > 0 && stream.ZeroBytes() * 4 >= stream.BytesRead());
    if (stream.Failed()) {
        step.cause = SetupCause::ReadError;
    } else if (stream.CtrlZLine() != 0) {
        step.cause = SetupCause::CtrlZ;
        step.line = stream.CtrlZLine();
    } else if (stream.BytesRead() == 0) {
        step.cause = SetupCause::Empty;
    } else if (utf16) {
        step.cause = SetupCause::Utf16;
        step.line = 1;
    } else if (stream.SawCarriageReturn() && !stream.SawLineFeed()) {
        step.cause = SetupCause::CarriageReturnsOnly;
    } else {
        step.cause = SetupCause::NoEndMarker;
    }
}

void SetupFileDiagnosis::ContentFailed(const SetupFileStream& stream, SetupStep& step,
                                       const char* original, const char* compacted,
                                       const char* line, bool continuation) {
    const int length = stream.PieceLength();
    const bool zeroInside = static_cast<int>(std::strlen(original)) < length;
    if (stream.Utf16ByteOrderMark() ||
        (stream.ZeroBytes() > 0 && stream.ZeroBytes() * 4 >= stream.BytesRead())) {
        step.cause = SetupCause::Utf16;
        return;
    }
    if (continuation) {
        step.cause =
            stream.SawLineFeed() ? SetupCause::LongLineRest : SetupCause::CarriageReturnsOnly;
        return;
    }
    const UINT codePage = codePage_;
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
    if (stream.PieceCut()) {
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

// A label hides a lone "&" and underlines the character after it; "&&" shows one "&". No lead
// or trail byte of a double-byte code page is "&", so a byte-wise look is enough.
static bool HasLoneAmpersand(std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '&') {
            if (i + 1 == value.size() || value[i + 1] != '&') {
                return true;
            }
            ++i;
        }
    }
    return false;
}

void SetupFileDiagnosis::ValueLine(const SetupFileStream& stream, SetupLineKind kind,
                                   const char* compacted) {
    const int index = KeywordIndex(kind);
    const int line = stream.PieceLine();
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
    if (open != std::string::npos && close != std::string::npos &&
        HasLoneAmpersand(std::string_view(rest).substr(open + 1, close - open - 1))) {
        warnings_.push_back({.line = line,
                             .kind = SetupWarningKind::Ampersand,
                             .keyword = kind,
                             .detail = rest.substr(open + 1, close - open - 1)});
    }
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

void SetupFileDiagnosis::EndLine(SetupFileStream& stream, const char* compacted) {
    const int endLine = stream.PieceLine();
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
    bool cut = stream.PieceCut();
    while (stream.ReadPiece(piece)) {
        const bool continuation = cut;
        cut = stream.PieceCut();
        if (continuation || !CompactSetupLine(piece)) {
            continue;
        }
        RemoveSetupComment(piece);
        if (piece[0] != '\0') {
            warnings_.push_back({.line = stream.PieceLine(),
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

} // namespace launcher
