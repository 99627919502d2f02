// The setup description file: "Setup.ini" (else ".setup_ini") in the current directory,
// keyword lines up to a required "$END".
//
// The file was always read with the C library's fgets on a stream in text mode, and packages in
// the field depend on exactly how that splits and filters bytes, so SetupFileStream reproduces it
// on top of ReadFile instead of relying on whatever C library the launcher is built with.
#pragma once

#include "launcher/Messages.h"
#include "platform/Api.h"
#include "platform/Handles.h"

#include <cstdint>
#include <optional>
#include <string>

namespace launcher {

// fgets(piece, 128, stream) on a stream opened with "r": every carriage return is dropped
// wherever it stands, a Ctrl-Z byte ends the data, and a piece ends after a line feed or at 127
// bytes. End of data and read errors stay in force once met.
class SetupFileStream {
public:
    static constexpr int kPieceSize = 128;

    explicit SetupFileStream(platform::HANDLE file) : file_(file) {}

    // False when nothing could be read: the end of the data, or a read error.
    bool ReadPiece(char (&piece)[kPieceSize]);

    // What the reader tells an author about the last piece and the data so far. Counting costs
    // nothing the launcher would notice, so it is always done.
    int PieceLine() const { return pieceLine_; }       // the line the last piece starts on
    int PieceLength() const { return pieceLength_; }   // zero bytes included
    bool PieceCut() const { return pieceCut_; }        // 127 bytes and no line feed
    int LastLine() const { return lastLine_; }         // the line of the last byte read
    bool Failed() const { return failed_; }            // a read error, not the end
    int CtrlZLine() const { return ctrlZLine_; }       // 0: no Ctrl-Z ended the data
    std::uint64_t BytesRead() const { return bytes_; } // carriage returns included
    std::uint64_t ZeroBytes() const { return zeros_; }
    bool SawLineFeed() const { return lineFeeds_ > 0; }
    bool SawCarriageReturn() const { return carriageReturns_ > 0; }
    // FF FE or FE FF at the start of the file.
    bool Utf16ByteOrderMark() const;

private:
    enum class Next { Byte, End, Error };
    Next NextByte(char& byte);

    platform::HANDLE file_;
    char chunk_[4096] = {};
    platform::DWORD chunkUsed_ = 0;
    platform::DWORD chunkFilled_ = 0;
    bool ended_ = false;
    bool failed_ = false;

    unsigned char firstBytes_[2] = {};
    std::uint64_t bytes_ = 0;
    std::uint64_t zeros_ = 0;
    std::uint64_t lineFeeds_ = 0;
    std::uint64_t carriageReturns_ = 0;
    int line_ = 1;
    int lastLine_ = 1;
    int pieceLine_ = 1;
    int pieceLength_ = 0;
    bool pieceCut_ = false;
    int ctrlZLine_ = 0;
};

enum class SetupLineKind { Title, DriverType, DriverVersion, End, Unrecognised };

// The two steps every piece goes through, comment removal between them. CompactSetupLine is
// false when its scratch memory cannot be had; the line is then unchanged. ParseSetupLine moves
// a value keyword's value to the start of the line.
bool CompactSetupLine(char* line);
SetupLineKind ParseSetupLine(char* line);
// Everything from the first semicolon on goes, quotes or not.
void RemoveSetupComment(char* line);

// The current directory as the system gives it, in UTF-16: no trailing backslash except at a
// drive root. Nothing when it cannot be read; std::bad_alloc when memory runs out.
std::optional<std::u16string> CurrentDirectory();

// The two names, in the order they are tried.
inline constexpr const char* kSetupFileNames[2] = {"Setup.ini", ".setup_ini"};

// How the opening went, for an author: which name opened (-1: neither), the system's error for
// each name tried, and whether the code page could not express the directory at all.
struct SetupFileOpening {
    int opened = -1;
    platform::DWORD errors[2] = {0, 0};
    bool directoryNotInCodePage = false;
};

// The file of the current directory (or of `directory`), "Setup.ini" first; an empty handle
// when neither opens, also when the code page cannot express the directory.
platform::UniqueKernelHandle OpenSetupFile();
platform::UniqueKernelHandle OpenSetupFile(const std::u16string* directory,
                                           SetupFileOpening* opening);

// Why a reading failed, as an author needs to hear it. The launcher shows only the message of
// the failure's kind; setup-check turns the cause into words.
enum class SetupCause {
    None,
    NotOpened,           // neither name opens (SetupFileOpening says why)
    Empty,               // not one byte
    NoEndMarker,         // the data ends before "$END"
    CtrlZ,               // a byte 0x1A ends the data before "$END"
    CarriageReturnsOnly, // no line feeds: one long line cut into 127-byte pieces
    ReadError,           // the system failed to read
    Utf16,               // zero bytes throughout, or a UTF-16 byte order mark
    OutOfMemory,
    UnknownKeyword,    // detail: the line's first word
    KeywordCase,       // detail: the keyword as written, in the wrong case
    TrailByte,         // detail: the double-byte character whose second byte stayed
    ZeroByte,          // a zero byte ends the line early
    NoQuotes,          // a value keyword without any double quote
    TypographicQuotes, // ... with curly quotes instead; detail: the first one
    NoClosingQuote,
    SemicolonInQuotes,
    PieceCut,     // a value line longer than 127 bytes loses its closing quote
    LongLineRest, // the bytes of a line beyond its 127th, read as a line of their own
};

// One step of the reading: a value for one of the labels, the end marker, or a failure that the
// caller reports.
struct SetupStep {
    enum class Kind { Value, End, Failed };
    Kind kind = Kind::End;
    // Title, DriverType or DriverVersion for a value, and for a failure on a line that begins
    // with one of them
    SetupLineKind label = SetupLineKind::End;
    std::u16string value{};
    const LauncherMessage* failure = nullptr; // for a failure: its kind
    int line = 0;                             // of the value, the end marker or the failure
    // For a failure of a diagnosing reader (None otherwise), with its detail in the file's bytes.
    SetupCause cause = SetupCause::None;
    std::string detail{};
};

// What a reader does besides reading when setup-check asks it to (SetupDiagnosis.h): work out
// each failure's cause, collect warnings, and read on past "$END" for text there. The launcher
// never has one.
class SetupDiagnosis {
public:
    virtual ~SetupDiagnosis() = default;
    virtual void ReadFailed(const SetupFileStream& stream, SetupStep& step) = 0;
    // `original` as read, `compacted` before and `line` after comment removal.
    virtual void ContentFailed(const SetupFileStream& stream, SetupStep& step, const char* original,
                               const char* compacted, const char* line, bool continuation) = 0;
    virtual void ValueLine(const SetupFileStream& stream, SetupLineKind kind,
                           const char* compacted) = 0;
    // May read on; the file is closed afterwards.
    virtual void EndLine(SetupFileStream& stream, const char* compacted) = 0;

protected:
    SetupDiagnosis() = default;
    SetupDiagnosis(const SetupDiagnosis&) = default;
    SetupDiagnosis& operator=(const SetupDiagnosis&) = default;
};

struct SetupReadOptions {
    // Nothing: the current directory, as the launcher reads it.
    std::optional<std::u16string> directory{};
    // The code page the values are decoded with.
    platform::UINT codePage = platform::CP_ACP;
    // Null for the launcher, which shows the message of a failure's kind and nothing more.
    SetupDiagnosis* diagnosis = nullptr;
};

// Reads "Setup.ini" (else ".setup_ini") of the current directory, one value at a time. The file
// is opened on construction and closed at the end marker; after a failure it stays open until
// Close or the reader goes, so that the report comes before the file is closed.
class SetupFileReader {
public:
    SetupFileReader();
    explicit SetupFileReader(SetupReadOptions options);

    // Once the end or a failure has been given, every further call gives it again.
    SetupStep Next();
    void Close() { file_.reset(); }

    const SetupFileOpening& Opening() const { return opening_; }

private:
    SetupStep Finish(SetupStep step);
    SetupStep ReadFailure();

    SetupReadOptions options_;
    SetupFileOpening opening_{};
    platform::UniqueKernelHandle file_;
    SetupFileStream stream_;
    std::optional<SetupStep> finished_{};
};

} // namespace launcher
