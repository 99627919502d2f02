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

private:
    enum class Next { Byte, End, Error };
    Next NextByte(char& byte);

    platform::HANDLE file_;
    char chunk_[4096] = {};
    platform::DWORD chunkUsed_ = 0;
    platform::DWORD chunkFilled_ = 0;
    bool ended_ = false;
    bool failed_ = false;
};

enum class SetupLineKind { Title, DriverType, DriverVersion, End, Unrecognised };

// The two steps every piece goes through, comment removal between them. CompactSetupLine is
// false when its scratch memory cannot be had; the line is then unchanged. ParseSetupLine moves
// a value keyword's value to the start of the line.
bool CompactSetupLine(char* line);
SetupLineKind ParseSetupLine(char* line);

// The current directory as the system gives it, in UTF-16: no trailing backslash except at a
// drive root. Nothing when it cannot be read; std::bad_alloc when memory runs out.
std::optional<std::u16string> CurrentDirectory();

// The file of the current directory, "Setup.ini" first; an empty handle when neither opens,
// also when the code page cannot express the directory.
platform::UniqueKernelHandle OpenSetupFile();

// One step of the reading: a value for one of the labels, the end marker, or a failure that the
// caller reports.
struct SetupStep {
    enum class Kind { Value, End, Failed };
    Kind kind = Kind::End;
    SetupLineKind label = SetupLineKind::End; // Title, DriverType or DriverVersion for a value
    std::u16string value{};
    const LauncherMessage* failure = nullptr; // for a failure
};

// Reads "Setup.ini" (else ".setup_ini") of the current directory, one value at a time. The file
// is opened on construction and closed at the end marker; after a failure it stays open until
// Close or the reader goes, so that the report comes before the file is closed.
class SetupFileReader {
public:
    SetupFileReader();

    // Once the end or a failure has been given, every further call gives it again.
    SetupStep Next();
    void Close() { file_.reset(); }

private:
    SetupStep Finish(SetupStep step);

    platform::UniqueKernelHandle file_;
    SetupFileStream stream_;
    std::optional<SetupStep> finished_{};
};

} // namespace launcher
