// Colours and fonts.
#pragma once

#include "platform/Types.h"
#include "toolkit/Exceptions.h"

#include <cstdint>
#include <functional>
#include <string>

namespace toolkit {

// An RGB value (0x00BBGGRR) or a system colour: clSystemColor | COLOR_xxx index.
using TColor = std::int32_t;
constexpr TColor clSystemColor = INT32_MIN;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// The RGB value of a colour; system colours are asked of the system (GetSysColor).
platform::COLORREF ColorToRGB(TColor color);

// number * numerator / denominator with a 64-bit intermediate, rounded to the nearest
// integer with halves away from zero; -1 when the denominator is 0 or the result does not
// fit, as the Windows call does.
int MulDiv(int number, int numerator, int denominator);

// The screen's density (LOGPIXELSY), read once per application object through the seam.
int ScreenPixelsPerInch();

enum TFontStyle : unsigned {
    fsBold = 0x1,
    fsItalic = 0x2,
    fsUnderline = 0x4,
    fsStrikeOut = 0x8,
};
using TFontStyles = unsigned;
using TFontCharset = std::uint8_t;

// A font description. The height is the master value: Size is converted from it with the
// font's density. Every setter notifies the owner (OnChange), even when the value is the same.
class TFont : public TObject {
public:
    // "Tahoma", 8 points at the screen's density, regular, window text, default charset.
    TFont();
    explicit TFont(int pixelsPerInch);
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    const std::u16string& Name() const { return name_; }
    void SetName(std::u16string name);
    // Pixels; negative: the character height, positive: the cell height.
    int Height() const { return height_; }
    void SetHeight(int height);
    // Points: -MulDiv(Height, 72, PixelsPerInch).
    int Size() const;
    // Height := -MulDiv(size, PixelsPerInch, 72).
    void SetSize(int size);
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int pixelsPerInch); // keeps Height
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset charset);

    // Takes over every attribute of `source` (density included) with one notification.
    void Assign(const TFont& source);
    bool operator==(const TFont& other) const;

    // The LOGFONTW a window's HFONT is created from.
    platform::LOGFONTW LogFont() const;

    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    void Changed();

    std::u16string name_;
    int height_;
    int pixelsPerInch_;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    TFontCharset charset_ = platform::DEFAULT_CHARSET;
    std::function<void()> onChange_;
};

} // namespace toolkit
