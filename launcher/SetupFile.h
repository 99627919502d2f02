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

#include <cstring>
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

// The file of the current directory, "Setup.ini" first; an empty handle when neither opens,
// also when the code page cannot express the directory.
platform::UniqueKernelHandle OpenSetupFile();

enum class SetupLineKind { Title, DriverType, DriverVersion, End, Unrecognised };

// The work behind TMainForm's CompactSetupLine and ParseSetupLine.
bool CompactLine(char* line);
SetupLineKind ParseLine(char* line);

// Everything from the first semicolon on goes, quotes or not.
inline void RemoveComment(char* line) {
    if (char* semicolon = std::strchr(line, ';')) {
        *semicolon = '\0';
    }
}

// Bytes of the file to display text, with the machine's ANSI code page.
std::u16string AnsiToText(const char* bytes);

// Reads the file on behalf of a form, which supplies
//   bool CompactSetupLine(char* line);
//   SetupLineKind ParseSetupLine(char* line);
//   void SetupValueRead(SetupLineKind kind, std::u16string value);
//   void SetupFileFailed(const LauncherMessage& message);  // report, and end the launcher
// The failure report comes before the file is closed; the file is closed exactly once.
template <class Form> void ReadSetupFile(Form& form) {
    platform::UniqueKernelHandle file = OpenSetupFile();
    if (!file) {
        form.SetupFileFailed(MsgSetupFileOpenFailed);
        return;
    }
    SetupFileStream stream(file.get());
    char line[SetupFileStream::kPieceSize];
    for (;;) {
        if (!stream.ReadPiece(line)) {
            form.SetupFileFailed(MsgSetupFileReadFailed);
            file.reset();
            return;
        }
        if (!form.CompactSetupLine(line)) {
            form.SetupFileFailed(MsgSetupFileOutOfMemory);
            file.reset();
            return;
        }
        RemoveComment(line);
        if (line[0] == '\0') {
            continue;
        }
        const SetupLineKind kind = form.ParseSetupLine(line);
        switch (kind) {
        case SetupLineKind::End:
            file.reset();
            return;
        case SetupLineKind::Unrecognised:
            form.SetupFileFailed(MsgSetupFileContentError);
            file.reset();
            return;
        case SetupLineKind::Title:
        case SetupLineKind::DriverType:
        case SetupLineKind::DriverVersion:
            form.SetupValueRead(kind, AnsiToText(line));
            break;
        }
    }
}

} // namespace launcher
