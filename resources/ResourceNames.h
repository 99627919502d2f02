// Names and ids of Setup.exe's resources, as Setup.rc declares them. Plain C++, so that the
// host build names the same resources and can read them from the files they are made of.
#pragma once

namespace resources {

// The launcher icon, an icon group; the Windows side passes it through MAKEINTRESOURCEW.
inline constexpr unsigned short kLauncherIconId = 1;

// Raw data (RCDATA), found by name.
inline constexpr char16_t kMainForm[] = u"MAINFORM";
inline constexpr char16_t kFormIcon[] = u"FORMICON";
inline constexpr char16_t kLogo[] = u"LOGO";
inline constexpr char16_t kGlyphInstall[] = u"GLYPH_INSTALL";
inline constexpr char16_t kGlyphInstallDisabled[] = u"GLYPH_INSTALL_DISABLED";
inline constexpr char16_t kGlyphCancel[] = u"GLYPH_CANCEL";
inline constexpr char16_t kGlyphCancelDisabled[] = u"GLYPH_CANCEL_DISABLED";

// Each raw-data resource and the file in this folder that Setup.rc embeds under its name.
struct RawData {
    const char16_t* name;
    const char* file;
};

inline constexpr RawData kRawData[] = {
    {kMainForm, "MainForm.desc"},
    {kFormIcon, "MainForm.ico"},
    {kLogo, "Logo.bmp"},
    {kGlyphInstall, "GlyphInstall.ico"},
    {kGlyphInstallDisabled, "GlyphInstallDisabled.ico"},
    {kGlyphCancel, "GlyphCancel.ico"},
    {kGlyphCancelDisabled, "GlyphCancelDisabled.ico"},
};

// The launcher icon's file, for the same purpose.
inline constexpr char kLauncherIconFile[] = "Setup.ico";

} // namespace resources
