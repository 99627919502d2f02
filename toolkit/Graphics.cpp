#include "toolkit/Graphics.h"

#include "platform/Api.h"

#include <cstdint>
#include <limits>

namespace toolkit {

platform::COLORREF ColorToRGB(TColor color) {
    if (color < 0) {
        return platform::Os().GetSysColor(color & 0xFF);
    }
    return static_cast<platform::COLORREF>(color) & 0x00FFFFFF;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t quotient = product / denominator;
    const std::int64_t remainder = product % denominator;
    const std::int64_t absRemainder = remainder < 0 ? -remainder : remainder;
    const std::int64_t absDenominator =
        denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator;
    if (2 * absRemainder >= absDenominator) {
        // Halves go away from zero.
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    }
    if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min()) {
        return -1;
    }
    return static_cast<int>(quotient);
}

TFont::TFont() : TFont(ScreenPixelsPerInch()) {}

TFont::TFont(int pixelsPerInch)
    : name_(u"Tahoma"), height_(-MulDiv(8, pixelsPerInch, 72)), pixelsPerInch_(pixelsPerInch) {}

void TFont::Changed() {
    if (onChange_) {
        onChange_();
    }
}

void TFont::SetName(std::u16string name) {
    name_ = std::move(name);
    Changed();
}

void TFont::SetHeight(int height) {
    height_ = height;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(height_, 72, pixelsPerInch_);
}

void TFont::SetSize(int size) {
    SetHeight(-MulDiv(size, pixelsPerInch_, 72));
}

void TFont::SetPixelsPerInch(int pixelsPerInch) {
    if (pixelsPerInch <= 0) {
        throw EInvalidOperation(u"A font's density must be positive");
    }
    pixelsPerInch_ = pixelsPerInch;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    style_ = style & (fsBold | fsItalic | fsUnderline | fsStrikeOut);
    Changed();
}

void TFont::SetColor(TColor color) {
    color_ = color;
    Changed();
}

void TFont::SetCharset(TFontCharset charset) {
    charset_ = charset;
    Changed();
}

void TFont::Assign(const TFont& source) {
    if (&source == this) {
        return;
    }
    name_ = source.name_;
    height_ = source.height_;
    pixelsPerInch_ = source.pixelsPerInch_;
    style_ = source.style_;
    color_ = source.color_;
    charset_ = source.charset_;
    Changed();
}

bool TFont::operator==(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ &&
           pixelsPerInch_ == other.pixelsPerInch_ && style_ == other.style_ &&
           color_ == other.color_ && charset_ == other.charset_;
}

platform::LOGFONTW TFont::LogFont() const {
    platform::LOGFONTW font{};
    font.lfHeight = height_;
    font.lfWeight = (style_ & fsBold) != 0 ? platform::FW_BOLD : platform::FW_NORMAL;
    font.lfItalic = (style_ & fsItalic) != 0 ? 1 : 0;
    font.lfUnderline = (style_ & fsUnderline) != 0 ? 1 : 0;
    font.lfStrikeOut = (style_ & fsStrikeOut) != 0 ? 1 : 0;
    font.lfCharSet = charset_;
    // The face name field holds 31 characters and the terminator.
    const std::size_t length = std::min<std::size_t>(name_.size(), 31);
    for (std::size_t i = 0; i < length; ++i) {
        font.lfFaceName[i] = name_[i];
    }
    return font;
}

} // namespace toolkit
