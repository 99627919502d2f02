// The top-level window.
#pragma once

#include "toolkit/Controls.h"

#include <string>
#include <string_view>

namespace toolkit {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 0x1, biMinimize = 0x2, biMaximize = 0x4 };
using TBorderIcons = unsigned;
// Where the form is placed when it is first shown.
enum TPosition { poDesigned, poScreenCenter, poDesktopCenter, poMainFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int width) override;
    void SetClientHeight(int height) override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    // Density scaling by the toolkit when loading ends: the layout was designed at
    // PixelsPerInch and is scaled to the screen's density when Scaled is on.
    bool Scaled() const { return scaled_; }
    void SetScaled(bool scaled) { scaled_ = scaled; }
    int PixelsPerInch() const { return designPixelsPerInch_; }
    void SetPixelsPerInch(int pixelsPerInch);
    // The RCDATA resource holding the window icon's .ico file; empty: none.
    const std::u16string& Icon() const { return iconName_; }
    void SetIcon(const std::u16string& resourceName);

    const TNotifyEvent& OnShow() const { return onShow_; }
    void SetOnShow(TNotifyEvent onShow) { onShow_ = std::move(onShow); }

    // Shows the window (placing it first when it is shown for the first time), then OnShow.
    void Show();
    void Hide();
    void SetVisible(bool visible) override;
    // May the form close? Then hide it; the application's main form also ends the
    // application. During construction (before it is the main form) this only hides.
    void Close();
    virtual bool CloseQuery() { return true; }

    // Reads the form's stored description from an RCDATA resource / from text, creating its
    // components. EDescriptionError names the line of a fault; nothing is left half-read.
    void LoadDescription(const std::u16string& resourceName);
    void LoadDescriptionText(std::string_view text);
    std::string WriteDescription() const;

    void Loaded() override;
    std::u16string ClassName() const override;
    const TPropertyList& PublishedProperties() const override;
    static const TPropertyList& ClassProperties();
    platform::LRESULT WndProc(platform::UINT message, platform::WPARAM wParam,
                              platform::LPARAM lParam) override;

    // The control that Enter / Escape activate; null when none.
    TControl* DefaultControl() const;
    TControl* CancelControl() const;
    // The control inside the form that has the focus; null when none has.
    TControl* FocusedChild() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandle() override;
    void UpdateBoundsFromWindow() override;
    TColor BackgroundColor() const override { return Color(); }

private:
    friend class TApplication;
    platform::DWORD WindowStyle() const;
    platform::DWORD WindowExStyle() const;
    void FrameSize(int& width, int& height) const;
    void ApplyStyle(int clientWidth, int clientHeight);
    bool FirstShowingPlace(int& left, int& top) const;
    void PlaceForShowing();
    void ScaleForDensity(int from, int to);

    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    bool scaled_ = false;
    int designPixelsPerInch_ = 96;
    std::u16string iconName_;
    TIconImage iconBig_;
    TIconImage iconSmall_;
    TNotifyEvent onShow_;
    bool shownOnce_ = false;
    bool onTaskBar_ = false;
    platform::HWND lastFocus_ = nullptr;
};

} // namespace toolkit
