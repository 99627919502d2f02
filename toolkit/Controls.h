// Controls: every control is a real child window, so its text reaches screen readers and
// test drivers. TControl holds the geometry, font, text and window; TWinControl can hold
// other controls; TFrame owns the controls it holds.
#pragma once

#include "platform/Handles.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace toolkit {

class TControl;
class TWinControl;

namespace internal {
bool HoldBounds(TControl& control);
bool HoldFont(TControl& control);
void ReleaseHeld(TControl& control);
} // namespace internal

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // Position relative to the parent's client area (the screen for a form) and size, in
    // pixels. A write may be adjusted by the window: read the value back.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    virtual void SetClientWidth(int width) { SetWidth(width); }
    virtual void SetClientHeight(int height) { SetHeight(height); }

    // Changing the font (any attribute) switches ParentFont off.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // On: takes the parent's font at once and follows its changes.
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);

    // Caption and Text are the same string; a class publishes the name that fits it.
    const std::u16string& Caption() const { return text_; }
    void SetCaption(const std::u16string& caption);
    const std::u16string& Text() const { return text_; }
    void SetText(const std::u16string& text) { SetCaption(text); }

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);

    // The window, created on demand (with the parent's first). EInvalidOperation for a child
    // control that has no parent.
    platform::HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The window if it exists, never creating it.
    platform::HWND WindowHandle() const { return handle_; }
    // The control a window of the toolkit belongs to; null for any other window.
    static TControl* FromHandle(platform::HWND window);

    void Invalidate();
    // The identifier its window carries in WM_COMMAND / WM_DRAWITEM (0 before it has one).
    int ControlId() const { return id_; }

    // A control whose text equals its old name takes the new name as its text (outside of
    // loading), as a freshly named control shows its name.
    void SetName(const std::u16string& name) override;
    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();

    // Every message of the control's window arrives here. Overrides handle what they know and
    // pass the rest to the base.
    virtual platform::LRESULT WndProc(platform::UINT message, platform::WPARAM wParam,
                                      platform::LPARAM lParam);

protected:
    struct TCreateParams {
        std::u16string windowClass;
        bool systemClass = false; // "STATIC", "BUTTON": subclassed after creation
        platform::DWORD style = 0;
        platform::DWORD exStyle = 0;
        int x = 0, y = 0, width = 0, height = 0;
        platform::HWND parent = nullptr;
        platform::HMENU menu = nullptr; // a child's identifier
    };
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateHandle();
    virtual void DestroyHandle();
    // The window exists now; the base gives it its font.
    virtual void HandleCreated();
    virtual void FontChanged();
    virtual void TextChanged();
    virtual void EnabledChanged();
    // What the message would get without the toolkit: the system class's procedure or
    // DefWindowProcW.
    platform::LRESULT DefaultHandler(platform::UINT message, platform::WPARAM wParam,
                                     platform::LPARAM lParam);
    // Reads Left/Top/Width/Height back from the window.
    virtual void UpdateBoundsFromWindow();
    // The window has taken a font made from different attributes.
    virtual void WindowFontChanged() {}
    // True for a control whose size follows its font: a bounds bracket cannot hold its font
    // back, or its size would read back wrong until the bracket closes.
    virtual bool SizesToFont() const { return false; }
    // Makes the font a bounds bracket holds back for this control now.
    void MakeHeldFont();
    // The font the window has; null before it has a window.
    platform::HFONT FontHandle() const { return hfont_.get(); }
    void SetBoundsFields(int left, int top, int width, int height);
    void SetVisibleField(bool visible) { visible_ = visible; }
    // The parent's font changed, or the control was switched to follow it.
    void TakeParentFont();
    // Messages the parent receives about this control (WM_COMMAND, WM_DRAWITEM,
    // WM_CTLCOLORSTATIC, ...) are passed on to it here; `handled` false: the parent's default.
    virtual platform::LRESULT ParentNotify(platform::UINT message, platform::WPARAM wParam,
                                           platform::LPARAM lParam, bool& handled);
    // The colour the control's background shows: its parent's.
    virtual TColor BackgroundColor() const;
    // The window's text changed by the user's hand: take it, without writing it back.
    void TakeWindowText();

private:
    friend class TWinControl;
    friend class TBoundsBracket;
    friend struct WindowGlue;
    friend bool internal::HoldBounds(TControl& control);
    friend bool internal::HoldFont(TControl& control);
    friend void internal::ReleaseHeld(TControl& control);

    // Makes the window's font from the font's attributes, unless it has that font already.
    void UpdateWindowFont();

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TFont font_;
    bool parentFont_ = true;
    bool takingParentFont_ = false;
    std::u16string text_;
    TWinControl* parent_ = nullptr;
    bool enabled_ = true;
    bool visible_ = true;
    // Borrowed, not owned: a child window is destroyed with its parent, by the system, so the
    // window procedure clears this at WM_NCDESTROY, whoever destroyed it; DestroyHandle only
    // asks for the destruction.
    platform::HWND handle_ = nullptr;
    platform::WNDPROC systemProc_ = nullptr;
    platform::UniqueFont hfont_;
    // What hfont_ was made from: a rescale assigns every control's font again, and most of
    // the time nothing in it changed. Released with the window that took it.
    platform::LOGFONTW hfontLog_{};
    TColor hfontColor_{};
    int id_ = 0;
    // An open TBoundsBracket holds this control's window moves / window font.
    bool boundsHeld_ = false;
    bool fontHeld_ = false;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;

    virtual TColor Color() const;
    void SetColor(TColor color);
    // On: shows the parent's colour (and follows it).
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parentColor);
    // A solid brush of Color, made on demand and kept until the colour changes.
    platform::HBRUSH Brush();

    // Position among the parent's windowed controls; the order Tab walks.
    int TabOrder() const;
    void SetTabOrder(int tabOrder);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);
    bool Focused() const;
    void SetFocus();

    void SetParent(TWinControl* parent) override;
    void Loaded() override;
    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();
    platform::LRESULT WndProc(platform::UINT message, platform::WPARAM wParam,
                              platform::LPARAM lParam) override;

    // The parent's windowed controls in tab order.
    const std::vector<TWinControl*>& TabList() const { return tabList_; }
    // The first enabled, visible tab stop within this control, depth first; null when none.
    TWinControl* FirstTabStop();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandle() override;
    void DestroyHandle() override;
    void FontChanged() override;
    virtual void ColorChanged();

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void ApplyTabOrder();
    void ChildWindowOrderChanged();

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    bool tabStop_ = false;
    int pendingTabOrder_ = -1;
    platform::UniqueBrush brush_;
    TColor brushColor_ = 0;
};

// Holds back the window work of the controls inside a parent while it lays them out. Bounds
// written meanwhile are kept as the window will take them, so reading them back gives what the
// window ends up with; fonts are made once, from the last attributes, except for a control
// whose size follows its font (an AutoSize label): it takes each font at once, without
// drawing, so that its size reads back right and a later write of its bounds still wins. On
// closing, each moved window is moved once, without drawing, and the parent is drawn again once
// with all its children. Brackets nest: the outermost one closes.
class TBoundsBracket {
public:
    explicit TBoundsBracket(TWinControl& parent);
    // EInvalidOperation when a window could not be moved (the others are moved all the same).
    void Close();
    // Closes if Close was not called.
    ~TBoundsBracket();
    TBoundsBracket(const TBoundsBracket&) = delete;
    TBoundsBracket& operator=(const TBoundsBracket&) = delete;

private:
    bool open_ = true;
    int exceptions_;
};

// A label: a STATIC window drawing its text on one line from the top left, clipped at its
// edges, on the parent's background colour in its font's colour; "&" marks a mnemonic.
class TLabel : public TControl {
public:
    explicit TLabel(TComponent* owner);
    // On: the label takes the size of its text whenever text or font change.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();

protected:
    void CreateParams(TCreateParams& params) override;
    void WindowFontChanged() override;
    bool SizesToFont() const override { return autoSize_; }
    void TextChanged() override;
    platform::LRESULT ParentNotify(platform::UINT message, platform::WPARAM wParam,
                                   platform::LPARAM lParam, bool& handled) override;

private:
    void AdjustSize();
    bool autoSize_ = false;
};

// A 24-bit picture read from a bitmap file's bytes.
struct TBitmapImage {
    int width = 0;
    int height = 0;
    platform::BITMAPINFO info{};    // the header as the file has it (24 bits, no palette)
    std::vector<std::uint8_t> bits; // rows as the file has them, each padded to 4 bytes
};
// EInvalidOperation when the bytes are not an uncompressed 24-bit bitmap file.
TBitmapImage ParseBitmapFile(const std::vector<std::uint8_t>& file);

// The bytes of an RCDATA resource of the running program; EInvalidOperation when missing.
std::vector<std::uint8_t> LoadResourceData(const std::u16string& name);

// A picture, drawn at its size or stretched to the control (StretchDIBits).
class TImage : public TControl {
public:
    explicit TImage(TComponent* owner);
    // The RCDATA resource holding the bitmap file; empty: no picture.
    const std::u16string& Picture() const { return pictureName_; }
    void SetPicture(const std::u16string& resourceName);
    void SetPictureData(const std::vector<std::uint8_t>& bitmapFile);
    bool HasPicture() const { return picture_.width > 0; }
    int PictureWidth() const { return picture_.width; }
    int PictureHeight() const { return picture_.height; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();
    platform::LRESULT WndProc(platform::UINT message, platform::WPARAM wParam,
                              platform::LPARAM lParam) override;

private:
    std::u16string pictureName_;
    TBitmapImage picture_;
    bool stretch_ = false;
};

// An icon made from an .ico file's bytes: the image closest to the wanted size.
class TIconImage {
public:
    TIconImage() = default;
    // EInvalidOperation when the bytes are no icon file or the system refuses the image.
    TIconImage(const std::vector<std::uint8_t>& icoFile, int wantedWidth, int wantedHeight);
    platform::HICON Handle() const { return icon_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    explicit operator bool() const { return static_cast<bool>(icon_); }

private:
    platform::UniqueIcon icon_;
    int width_ = 0;
    int height_ = 0;
};

// A push button with a glyph left of its caption, both centred together, Spacing pixels
// apart. An owner-drawn BUTTON window.
class TBitBtn : public TWinControl {
public:
    explicit TBitBtn(TComponent* owner);

    const std::u16string& Glyph() const { return glyphName_; }
    void SetGlyph(const std::u16string& resourceName);
    const std::u16string& GlyphDisabled() const { return glyphDisabledName_; }
    void SetGlyphDisabled(const std::u16string& resourceName);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    // Enter activates the default button unless another button has the focus.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    // Escape activates a cancel button.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel);
    const TNotifyEvent& OnClick() const { return onClick_; }
    void SetOnClick(TNotifyEvent onClick) { onClick_ = std::move(onClick); }
    virtual void Click();

    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();
    platform::LRESULT WndProc(platform::UINT message, platform::WPARAM wParam,
                              platform::LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    platform::LRESULT ParentNotify(platform::UINT message, platform::WPARAM wParam,
                                   platform::LPARAM lParam, bool& handled) override;
    void EnabledChanged() override;
    virtual void DrawItem(const platform::DRAWITEMSTRUCT& item);

private:
    // Whether Enter would press this button now: it has the focus, or it is the default
    // button and no other button has the focus.
    bool IsActiveDefault() const;

    std::u16string glyphName_;
    std::u16string glyphDisabledName_;
    TIconImage glyph_;
    TIconImage glyphDisabled_;
    int spacing_ = 4;
    bool default_ = false;
    bool cancel_ = false;
    TNotifyEvent onClick_;
};

// A panel that owns the controls it holds (a reusable group with components of its own).
class TFrame : public TWinControl {
public:
    explicit TFrame(TComponent* owner);
    ~TFrame() override;
    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();

protected:
    void CreateParams(TCreateParams& params) override;
};

// A one-line edit box: an EDIT window with a sunken edge. Text follows what the user types.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    const TNotifyEvent& OnChange() const { return onChange_; }
    void SetOnChange(TNotifyEvent onChange) { onChange_ = std::move(onChange); }
    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();

protected:
    void CreateParams(TCreateParams& params) override;
    platform::LRESULT ParentNotify(platform::UINT message, platform::WPARAM wParam,
                                   platform::LPARAM lParam, bool& handled) override;

private:
    TNotifyEvent onChange_;
};

// A list of lines to choose one from: a LISTBOX window with a sunken edge and a vertical
// scroll bar. Its height is the one it is given, not rounded to whole lines, so that a layout
// can size it freely.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    const std::vector<std::u16string>& Items() const { return items_; }
    void SetItems(std::vector<std::u16string> items);
    void AddItem(const std::u16string& item);
    // The items as one text, a line each: the stored form.
    std::u16string ItemsText() const;
    void SetItemsText(const std::u16string& text);
    // The selected line, -1 for none; the user's choice once the window exists.
    int ItemIndex() const;
    void SetItemIndex(int index);
    const TNotifyEvent& OnClick() const { return onClick_; }
    void SetOnClick(TNotifyEvent onClick) { onClick_ = std::move(onClick); }
    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    platform::LRESULT ParentNotify(platform::UINT message, platform::WPARAM wParam,
                                   platform::LPARAM lParam, bool& handled) override;

private:
    // Puts the items and the selection into the window.
    void FillWindow();
    std::vector<std::u16string> items_;
    int itemIndex_ = -1;
    TNotifyEvent onClick_;
};

// Registers TLabel, TImage, TBitBtn and TFrame (done on first use of the registry).
void RegisterStandardClasses();
// Registers TEdit and TListBox. A program whose descriptions use them calls it before loading;
// left apart so that a program without them does not carry them.
void RegisterInputControls();

} // namespace toolkit
