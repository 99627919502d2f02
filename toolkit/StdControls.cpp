// The standard controls: label, picture, button with glyph, frame.
#include "platform/Crackers.h"
#include "toolkit/Controls.h"

#include "toolkit/Forms.h"
#include "toolkit/Internal.h"
#include "toolkit/Properties.h"

#include <cstring>
#include <limits>

namespace toolkit {

using namespace platform;

namespace {
std::uint16_t Read16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
std::uint32_t Read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}
} // namespace

// ---- Resources ------------------------------------------------------------------------------

std::vector<std::uint8_t> LoadResourceData(const std::u16string& name) {
    HINSTANCE instance = Os().GetModuleHandleW(nullptr);
    HRSRC resource = Os().FindResourceW(instance, name.c_str(), RT_RCDATA());
    if (resource == nullptr) {
        throw EInvalidOperation(u"Resource " + name + u" not found");
    }
    HGLOBAL loaded = Os().LoadResource(instance, resource);
    const void* data = loaded != nullptr ? Os().LockResource(loaded) : nullptr;
    const DWORD size = Os().SizeofResource(instance, resource);
    if (data == nullptr || (size == 0 && Os().GetLastError() != ERROR_SUCCESS)) {
        throw EInvalidOperation(u"Resource " + name + u" cannot be read");
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

TBitmapImage ParseBitmapFile(const std::vector<std::uint8_t>& file) {
    constexpr std::size_t kFileHeader = 14;
    constexpr std::size_t kInfoHeader = 40;
    if (file.size() < kFileHeader + kInfoHeader || file[0] != 'B' || file[1] != 'M') {
        throw EInvalidOperation(u"The picture is not a bitmap file");
    }
    const std::uint32_t bitsOffset = Read32(file, 10);
    const std::uint32_t headerSize = Read32(file, 14);
    const auto width = static_cast<std::int32_t>(Read32(file, 18));
    const auto height = static_cast<std::int32_t>(Read32(file, 22));
    const std::uint16_t planes = Read16(file, 26);
    const std::uint16_t bitCount = Read16(file, 28);
    const std::uint32_t compression = Read32(file, 30);
    if (headerSize < kInfoHeader || planes != 1 || bitCount != 24 || compression != BI_RGB) {
        throw EInvalidOperation(u"The picture is not an uncompressed 24-bit bitmap");
    }
    const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    if (width <= 0 || rows == 0 || width > 0x4000 || rows > 0x4000) {
        throw EInvalidOperation(u"The picture's size is not usable");
    }
    const std::int64_t stride = (static_cast<std::int64_t>(width) * 3 + 3) & ~std::int64_t{3};
    const std::int64_t bytes = stride * rows;
    if (bitsOffset < kFileHeader + headerSize ||
        static_cast<std::int64_t>(bitsOffset) + bytes > static_cast<std::int64_t>(file.size())) {
        throw EInvalidOperation(u"The bitmap file is truncated");
    }
    TBitmapImage image;
    image.width = width;
    image.height = static_cast<int>(rows);
    BITMAPINFOHEADER& info = image.info.bmiHeader;
    info.biSize = kInfoHeader;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    image.bits.assign(file.begin() + bitsOffset, file.begin() + bitsOffset + bytes);
    return image;
}

TIconImage::TIconImage(const std::vector<std::uint8_t>& icoFile, int wantedWidth,
                       int wantedHeight) {
    constexpr std::size_t kDirectory = 6;
    constexpr std::size_t kEntry = 16;
    if (icoFile.size() < kDirectory || Read16(icoFile, 0) != 0 || Read16(icoFile, 2) != 1) {
        throw EInvalidOperation(u"The image is not an icon file");
    }
    const std::size_t count = Read16(icoFile, 4);
    if (count == 0 || icoFile.size() < kDirectory + count * kEntry) {
        throw EInvalidOperation(u"The icon file is truncated");
    }
    // The image nearest the wanted size; of equal ones, the one with more colours.
    std::size_t best = count;
    long bestDistance = std::numeric_limits<long>::max();
    int bestBits = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kDirectory + i * kEntry;
        const int width = icoFile[entry] == 0 ? 256 : icoFile[entry];
        const int height = icoFile[entry + 1] == 0 ? 256 : icoFile[entry + 1];
        const int bits = Read16(icoFile, entry + 6);
        const std::uint32_t size = Read32(icoFile, entry + 8);
        const std::uint32_t offset = Read32(icoFile, entry + 12);
        if (size == 0 || offset > icoFile.size() || size > icoFile.size() - offset) {
            continue;
        }
        const long distance = std::labs(static_cast<long>(width - wantedWidth)) +
                              std::labs(static_cast<long>(height - wantedHeight));
        if (distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            best = i;
            bestDistance = distance;
            bestBits = bits;
        }
    }
    if (best == count) {
        throw EInvalidOperation(u"The icon file holds no usable image");
    }
    const std::size_t entry = kDirectory + best * kEntry;
    const int width = icoFile[entry] == 0 ? 256 : icoFile[entry];
    const int height = icoFile[entry + 1] == 0 ? 256 : icoFile[entry + 1];
    width_ = wantedWidth > 0 ? wantedWidth : width;
    height_ = wantedHeight > 0 ? wantedHeight : height;
    HICON icon = Os().CreateIconFromResourceEx(icoFile.data() + Read32(icoFile, entry + 12),
                                               Read32(icoFile, entry + 8), TRUE, 0x00030000, width_,
                                               height_, LR_DEFAULTCOLOR);
    if (icon == nullptr) {
        throw EInvalidOperation(u"The system refused the icon image");
    }
    icon_.reset(icon);
}

// ---- TLabel ---------------------------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TControl(owner) {
    SetBoundsFields(0, 0, 65, 17);
}

void TLabel::CreateParams(TCreateParams& params) {
    TControl::CreateParams(params);
    params.windowClass = u"STATIC";
    params.systemClass = true;
    // One line from the top left, clipped at the edges; "&" marks a mnemonic.
    params.style |= SS_LEFTNOWORDWRAP;
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_) {
        // Measured with the font it is to have, not one a bounds bracket still holds back.
        MakeHeldFont();
    }
    AdjustSize();
}

// The size follows the font the window now has.
void TLabel::WindowFontChanged() {
    AdjustSize();
}

void TLabel::TextChanged() {
    Invalidate();
    AdjustSize();
}

void TLabel::AdjustSize() {
    if (!autoSize_ || (ComponentState() & csLoading) != 0 || !HandleAllocated()) {
        return;
    }
    // Measured with the window's own font, not one made for the purpose.
    HFONT font = FontHandle();
    if (font == nullptr) {
        return;
    }
    ScreenDC dc(nullptr);
    if (dc.get() == nullptr) {
        return;
    }
    SelectedObject selected(dc.get(), font);
    RECT extent{0, 0, 0, 0};
    // An empty label keeps the height of one line.
    const std::u16string text = Caption().empty() ? std::u16string(u" ") : Caption();
    const int height = Os().DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()),
                                      &extent, DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    selected.Restore();
    if (height != 0) {
        SetBounds(Left(), Top(), extent.right - extent.left, extent.bottom - extent.top);
    }
}

LRESULT TLabel::ParentNotify(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_CTLCOLORSTATIC && Parent() != nullptr) {
        HDC dc = crack::DeviceContextOf(wParam);
        Os().SetTextColor(dc, Enabled() ? ColorToRGB(Font().Color())
                                        : Os().GetSysColor(COLOR_GRAYTEXT));
        Os().SetBkColor(dc, ColorToRGB(BackgroundColor()));
        handled = true;
        return reinterpret_cast<LRESULT>(Parent()->Brush());
    }
    return TControl::ParentNotify(message, wParam, lParam, handled);
}

const TPropertyList& TLabel::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TLabel::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TControl::ClassProperties());
        l.Add(BooleanProperty(u"AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize));
        internal::AddTextProperties(l);
        return l;
    }();
    return list;
}

// ---- TImage ---------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TControl(owner) {
    SetBoundsFields(0, 0, 105, 105);
}

void TImage::SetPicture(const std::u16string& resourceName) {
    if (resourceName.empty()) {
        picture_ = TBitmapImage{};
    } else {
        picture_ = ParseBitmapFile(LoadResourceData(resourceName));
    }
    pictureName_ = resourceName;
    Invalidate();
}

void TImage::SetPictureData(const std::vector<std::uint8_t>& bitmapFile) {
    picture_ = ParseBitmapFile(bitmapFile);
    pictureName_.clear();
    Invalidate();
}

void TImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    Invalidate();
}

LRESULT TImage::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT: {
        const PaintDC paint(WindowHandle());
        HDC dc = paint.get();
        if (dc == nullptr) {
            return 0;
        }
        RECT client{};
        Os().GetClientRect(WindowHandle(), &client);
        const bool covered =
            HasPicture() &&
            (stretch_ || (picture_.width >= client.right && picture_.height >= client.bottom));
        if (!covered && Parent() != nullptr) {
            Os().FillRect(dc, &client, Parent()->Brush());
        }
        if (HasPicture()) {
            const int width = stretch_ ? client.right : picture_.width;
            const int height = stretch_ ? client.bottom : picture_.height;
            Os().SetStretchBltMode(dc, COLORONCOLOR);
            Os().StretchDIBits(dc, 0, 0, width, height, 0, 0, picture_.width, picture_.height,
                               picture_.bits.data(), &picture_.info, DIB_RGB_COLORS, SRCCOPY);
        }
        return 0;
    }
    default:
        return TControl::WndProc(message, wParam, lParam);
    }
}

const TPropertyList& TImage::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TImage::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TControl::ClassProperties());
        l.Add(StoredWhen(BooleanProperty(u"Stretch", &TImage::Stretch, &TImage::SetStretch),
                         [](const TComponent& c) { return As<TImage>(c).Stretch(); }));
        l.Add(ResourceProperty(u"Picture", &TImage::Picture, &TImage::SetPicture));
        return l;
    }();
    return list;
}

// ---- TBitBtn --------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* owner) : TWinControl(owner) {
    SetBoundsFields(0, 0, 75, 25);
    SetTabStop(true);
}

void TBitBtn::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.windowClass = u"BUTTON";
    params.systemClass = true;
    // Drawn here: BS_OWNERDRAW leaves no room for BS_DEFPUSHBUTTON, so the default button
    // answers WM_GETDLGCODE and the form DM_GETDEFID instead.
    params.style = (params.style & ~WS_CLIPCHILDREN) | BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(const std::u16string& resourceName) {
    glyph_ = resourceName.empty() ? TIconImage() : TIconImage(LoadResourceData(resourceName), 0, 0);
    glyphName_ = resourceName;
    Invalidate();
}

void TBitBtn::SetGlyphDisabled(const std::u16string& resourceName) {
    glyphDisabled_ =
        resourceName.empty() ? TIconImage() : TIconImage(LoadResourceData(resourceName), 0, 0);
    glyphDisabledName_ = resourceName;
    Invalidate();
}

void TBitBtn::SetSpacing(int spacing) {
    spacing_ = spacing;
    Invalidate();
}

void TBitBtn::SetDefault(bool isDefault) {
    default_ = isDefault;
    Invalidate();
}

void TBitBtn::SetCancel(bool isCancel) {
    cancel_ = isCancel;
}

void TBitBtn::Click() {
    if (onClick_) {
        onClick_(this);
    }
}

void TBitBtn::EnabledChanged() {
    Invalidate();
}

bool TBitBtn::IsActiveDefault() const {
    if (!HandleAllocated()) {
        return default_;
    }
    HWND focus = Os().GetFocus();
    if (focus == WindowHandle()) {
        return true;
    }
    if (!default_) {
        return false;
    }
    // Another button with the focus takes Enter for itself.
    return dynamic_cast<TBitBtn*>(TControl::FromHandle(focus)) == nullptr;
}

LRESULT TBitBtn::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (IsActiveDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button reports a double click apart; here it is a second click.
        return DefaultHandler(WM_LBUTTONDOWN, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        // The default button's look depends on where the focus is.
        const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
        if (Parent() != nullptr) {
            for (int i = 0; i < Parent()->ControlCount(); ++i) {
                if (auto* button = dynamic_cast<TBitBtn*>(Parent()->Controls(i))) {
                    button->Invalidate();
                }
            }
        }
        return result;
    }
    default:
        return TWinControl::WndProc(message, wParam, lParam);
    }
}

LRESULT TBitBtn::ParentNotify(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_COMMAND && crack::OnCommand(wParam, lParam).code == BN_CLICKED) {
        handled = true;
        if (Enabled()) {
            Click();
        }
        return 0;
    }
    if (message == WM_DRAWITEM) {
        handled = true;
        DrawItem(*crack::OnDrawItem(lParam));
        return TRUE;
    }
    return TWinControl::ParentNotify(message, wParam, lParam, handled);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT frame = item.rcItem;
    Os().DrawFrameControl(dc, &frame, DFC_BUTTON,
                          DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) |
                              (disabled ? DFCS_INACTIVE : 0));
    if (IsActiveDefault() && !disabled) {
        // The button Enter presses wears a dark edge.
        HBRUSH edge = Os().CreateSolidBrush(Os().GetSysColor(COLOR_WINDOWTEXT));
        if (edge != nullptr) {
            UniqueBrush owned(edge);
            const RECT& r = item.rcItem;
            const RECT sides[4] = {{r.left, r.top, r.right, r.top + 1},
                                   {r.left, r.bottom - 1, r.right, r.bottom},
                                   {r.left, r.top, r.left + 1, r.bottom},
                                   {r.right - 1, r.top, r.right, r.bottom}};
            for (const RECT& side : sides) {
                Os().FillRect(dc, &side, edge);
            }
        }
    }

    const LOGFONTW logFont = Font().LogFont();
    UniqueFont font(Os().CreateFontIndirectW(&logFont));
    SelectedObject selectedFont(dc, font.get());
    const std::u16string& caption = Caption();
    const UINT prefix = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
    RECT textExtent{0, 0, 0, 0};
    if (!caption.empty()) {
        Os().DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textExtent,
                       DT_CALCRECT | DT_SINGLELINE | prefix);
    }
    const TIconImage& glyph = disabled && glyphDisabled_ ? glyphDisabled_ : glyph_;
    const int glyphWidth = glyph ? glyph.Width() : 0;
    const int glyphHeight = glyph ? glyph.Height() : 0;
    const int textWidth = textExtent.right - textExtent.left;
    const int textHeight = textExtent.bottom - textExtent.top;
    const int gap = glyphWidth > 0 && textWidth > 0 ? spacing_ : 0;

    // Glyph and caption are centred together.
    const RECT& r = item.rcItem;
    const int shift = pushed ? 1 : 0;
    const int left = r.left + (r.right - r.left - (glyphWidth + gap + textWidth)) / 2 + shift;
    if (glyph) {
        const int top = r.top + (r.bottom - r.top - glyphHeight) / 2 + shift;
        Os().DrawIconEx(dc, left, top, glyph.Handle(), glyphWidth, glyphHeight, 0, nullptr,
                        DI_NORMAL);
    }
    if (!caption.empty()) {
        RECT textRect{};
        textRect.left = left + glyphWidth + gap;
        textRect.top = r.top + (r.bottom - r.top - textHeight) / 2 + shift;
        textRect.right = textRect.left + textWidth;
        textRect.bottom = textRect.top + textHeight;
        Os().SetBkMode(dc, TRANSPARENT);
        Os().SetTextColor(dc,
                          disabled ? Os().GetSysColor(COLOR_GRAYTEXT) : ColorToRGB(Font().Color()));
        Os().DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
                       DT_SINGLELINE | DT_LEFT | DT_NOCLIP | prefix);
    }
    selectedFont.Restore();
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
        Os().DrawFocusRect(dc, &focus);
    }
}

const TPropertyList& TBitBtn::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TBitBtn::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TWinControl::ClassProperties());
        l.Add(StoredWhen(BooleanProperty(u"Default", &TBitBtn::Default, &TBitBtn::SetDefault),
                         [](const TComponent& c) { return As<TBitBtn>(c).Default(); }));
        l.Add(StoredWhen(BooleanProperty(u"Cancel", &TBitBtn::Cancel, &TBitBtn::SetCancel),
                         [](const TComponent& c) { return As<TBitBtn>(c).Cancel(); }));
        l.Add(IntegerProperty(u"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder));
        l.Add(
            StoredWhen(BooleanProperty(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop),
                       [](const TComponent& c) { return !As<TBitBtn>(c).TabStop(); }));
        internal::AddTextProperties(l);
        l.Add(ResourceProperty(u"Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph));
        l.Add(ResourceProperty(u"GlyphDisabled", &TBitBtn::GlyphDisabled,
                               &TBitBtn::SetGlyphDisabled));
        l.Add(IntegerProperty(u"Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing));
        l.Add(EventProperty(u"OnClick", &TBitBtn::OnClick, &TBitBtn::SetOnClick));
        return l;
    }();
    return list;
}

// ---- TFrame ---------------------------------------------------------------------------------

TFrame::TFrame(TComponent* owner) : TWinControl(owner) {
    SetBoundsFields(0, 0, 320, 240);
    SetParentColor(true);
}

TFrame::~TFrame() {
    DestroyComponents();
}

void TFrame::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    // Tab and the dialog keys reach the controls inside.
    params.exStyle |= WS_EX_CONTROLPARENT;
}

const TPropertyList& TFrame::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TFrame::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TWinControl::ClassProperties());
        l.Add(IntegerProperty(u"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder));
        l.Add(StoredWhen(
            MakeEnumProperty(
                u"Color", ColorNames(), true,
                [](const TComponent& c) { return static_cast<int>(As<TFrame>(c).Color()); },
                [](TComponent& c, int v) { As<TFrame>(c).SetColor(v); }),
            [](const TComponent& c) { return !As<TFrame>(c).ParentColor(); }));
        l.Add(BooleanProperty(u"ParentColor", &TWinControl::ParentColor,
                              &TWinControl::SetParentColor));
        l.Add(BooleanProperty(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont));
        internal::AddFontProperties(l);
        return l;
    }();
    return list;
}

void RegisterStandardClasses() {
    RegisterComponentClass<TLabel>(u"TLabel");
    RegisterComponentClass<TImage>(u"TImage");
    RegisterComponentClass<TBitBtn>(u"TBitBtn");
    RegisterComponentClass<TFrame>(u"TFrame");
}

} // namespace toolkit
