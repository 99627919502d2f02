// setup-check's side of the setup file's reader: why a reading failed and what may surprise
// in one that did not, worked out from what the reader saw.
#pragma once

#include "launcher/SetupFile.h"

#include <string>
#include <vector>

namespace launcher {

// Something that works but may surprise; only a diagnosing reader looks for these.
enum class SetupWarningKind {
    Repeated,       // line: the later one; firstLine: the earlier
    KeywordPrefix,  // detail: the word as written ("$TITLEX")
    TextAfterValue, // detail: what follows the closing quote
    Ampersand,      // detail: the value; a label takes a lone "&" as its shortcut mark
    TextAfterEndOnLine,
    TextAfterEnd, // line: the first line after "$END" that is not blank or a comment
    Missing,      // line: the "$END" line
};

struct SetupWarning {
    int line = 0;
    SetupWarningKind kind = SetupWarningKind::Repeated;
    SetupLineKind keyword = SetupLineKind::End;
    int firstLine = 0;
    std::string detail{};
};

class SetupFileDiagnosis final : public SetupDiagnosis {
public:
    // The code page decides which bytes form one character.
    explicit SetupFileDiagnosis(platform::UINT codePage) : codePage_(codePage) {}

    void ReadFailed(const SetupFileStream& stream, SetupStep& step) override;
    void ContentFailed(const SetupFileStream& stream, SetupStep& step, const char* original,
                       const char* compacted, const char* line, bool continuation) override;
    void ValueLine(const SetupFileStream& stream, SetupLineKind kind,
                   const char* compacted) override;
    void EndLine(SetupFileStream& stream, const char* compacted) override;

    // Complete once the reader has given its end or a failure.
    const std::vector<SetupWarning>& Warnings() const { return warnings_; }

private:
    platform::UINT codePage_;
    std::vector<SetupWarning> warnings_{};
    int firstLines_[3] = {0, 0, 0}; // of $TITLE, $DRV_TYPE, $DRV_VERSION
};

} // namespace launcher
