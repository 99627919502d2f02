// The launcher's own texts: every message with its caption and icon, the button captions,
// and the modal box that shows them.
//
// The texts are held as UTF-16. Keeping the Japanese ones as Shift_JIS bytes decoded with the
// machine's ANSI code page would garble them everywhere but on Japanese systems, and the
// read-failure message and the caption "エラー" are shown in every language.
#pragma once

#include "platform/Types.h"

#include <string>
#include <string_view>

namespace launcher {

struct LauncherMessage {
    std::u16string_view english;
    std::u16string_view japanese;
    std::u16string_view captionEnglish;
    std::u16string_view captionJapanese;
    platform::UINT icon;

    std::u16string_view Text(bool japanese) const { return japanese ? this->japanese : english; }
    std::u16string_view Caption(bool japanese) const {
        return japanese ? captionJapanese : captionEnglish;
    }
};

extern const LauncherMessage MsgSetupFileOpenFailed;
extern const LauncherMessage MsgSetupFileReadFailed;
extern const LauncherMessage MsgSetupFileOutOfMemory;
extern const LauncherMessage MsgSetupFileContentError;
extern const LauncherMessage MsgIa64Unsupported;
extern const LauncherMessage MsgUnknownSystem;
extern const LauncherMessage MsgOutOfMemory;
extern const LauncherMessage MsgInstallerStartFailed;
// Its text is a prefix: the platform's own message text follows it directly.
extern const LauncherMessage MsgInstallError;

struct ButtonCaption {
    std::u16string_view english;
    std::u16string_view japanese;

    std::u16string_view Text(bool japanese) const { return japanese ? this->japanese : english; }
};

extern const ButtonCaption CaptionInstall;
extern const ButtonCaption CaptionCancel;

// A modal box with the single OK button, owned as the application decides (its active window,
// or its hidden window while none is active). Returns once it has been dismissed.
void ShowLauncherMessage(std::u16string_view text, std::u16string_view caption,
                         platform::UINT icon);

// The catalogue entry in the language asked for.
void ShowLauncherMessage(const LauncherMessage& message, bool japanese);

} // namespace launcher
