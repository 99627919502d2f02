#include "launcher/Messages.h"

#include "toolkit/Application.h"

namespace launcher {

using platform::MB_ICONEXCLAMATION;
using platform::MB_ICONINFORMATION;

namespace {
constexpr std::u16string_view kError = u"ERROR";
constexpr std::u16string_view kErrorJapanese = u"エラー";
} // namespace

// Full-width parentheses (U+FF08, U+FF09) where the Japanese texts have them; everything else
// that is punctuation is ASCII.
const LauncherMessage MsgSetupFileOpenFailed{
    u"Can not open the setup file ('Setup.ini' or '.setup_ini')",
    u"設定ファイル\uFF08\"Setup.ini\" または \".setup_ini\"\uFF09を開けません",
    kError,
    kError,
    MB_ICONEXCLAMATION,
};

// Japanese in every language, as are its caption and that of MsgInstallError.
const LauncherMessage MsgSetupFileReadFailed{
    u"設定ファイルの読み込みに失敗しました.",
    u"設定ファイルの読み込みに失敗しました.",
    kErrorJapanese,
    kErrorJapanese,
    MB_ICONEXCLAMATION,
};

const LauncherMessage MsgSetupFileOutOfMemory{
    u"failed to read a setup file\n(out of memory)",
    u"設定ファイルの読み込みに失敗しました.\n\uFF08メモリアロケーションエラー\uFF09",
    kError,
    kError,
    MB_ICONEXCLAMATION,
};

const LauncherMessage MsgSetupFileContentError{
    u"Error of setup file(.ini) contents",
    u"設定ファイル(.ini)に誤りがあります.",
    kError,
    kError,
    MB_ICONEXCLAMATION,
};

const LauncherMessage MsgIa64Unsupported{
    u"Sorry, it does not support a computer processor \"IA64\".",
    u"このコンピュータのCPU \"IA64\" には対応していません.",
    kError,
    kError,
    MB_ICONEXCLAMATION,
};

const LauncherMessage MsgUnknownSystem{
    u"The operating system is unclear.",
    u"オペレーティングシステムの識別ができません.",
    kError,
    kError,
    MB_ICONEXCLAMATION,
};

const LauncherMessage MsgOutOfMemory{
    u"Out of memory", u"メモリが足りません.", kError, kError, MB_ICONEXCLAMATION,
};

const LauncherMessage MsgInstallerStartFailed{
    u"It failed in the start from an installer.",
    u"インストーラを起動できませんでした.",
    kError,
    kError,
    MB_ICONINFORMATION,
};

const LauncherMessage MsgInstallError{
    u"An error occurred during installation.",
    u"インストール中にエラーが発生しました.",
    kErrorJapanese,
    kErrorJapanese,
    MB_ICONEXCLAMATION,
};

const ButtonCaption CaptionInstall{u"Install", u"インストール"};
const ButtonCaption CaptionCancel{u"Cancel", u"中止"};

void ShowLauncherMessage(std::u16string_view text, std::u16string_view caption,
                         platform::UINT icon) {
    // The answer is always OK and nobody asks for it.
    toolkit::Application().MessageBox(std::u16string(text), std::u16string(caption), icon);
}

void ShowLauncherMessage(const LauncherMessage& message, bool japanese) {
    ShowLauncherMessage(message.Text(japanese), message.Caption(japanese), message.icon);
}

} // namespace launcher
