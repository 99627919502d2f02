// TResizeKit: the proportional-layout component of a form. This file holds its data model:
// the published properties with their validation, the name lists, the per-control snapshot
// record, the stored design values and the state shared by all instances.
#pragma once

#include "platform/Types.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TResizeFormPos : std::uint8_t {
    rpDefault,
    rpTopLeft,
    rpTopCenter,
    rpTopRight,
    rpMiddleLeft,
    rpMiddleCenter,
    rpMiddleRight,
    rpBottomLeft,
    rpBottomCenter,
    rpBottomRight,
};

// Called at the end of every rescale pass with the factors just applied.
using TExitResizeEvent = std::function<void(toolkit::TObject* Sender, double XScale, double YScale)>;

// The snapshot of one control.
struct TCtrlInfo {
    std::u16string Name;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int OldLeft = 0;
    int OldTop = 0;
    int OldWidth = 0;
    int OldHeight = 0;
    int OldFontSize = 0;
    std::unique_ptr<toolkit::TFont> Font; // absent when the class publishes no "Font"
    bool ParentFont = false;
    bool OrgParentFont = false;
    std::u16string ParentName;
    int ChildCtlCnt = 0;
};

// A list of control names, compared without regard to case.
class TNameList {
public:
    void Clear() { names_.clear(); }
    void Add(std::u16string name) { names_.push_back(std::move(name)); }
    bool Contains(const std::u16string& name) const;
    const std::vector<std::u16string>& Names() const { return names_; }

private:
    std::vector<std::u16string> names_;
};

class TResizeKit : public toolkit::TComponent {
public:
    explicit TResizeKit(toolkit::TComponent* AOwner);

    TResizeFormPos FormPos() const { return FFormPos; }
    void SetFormPos(TResizeFormPos value);
    int FormWidth() const { return FFormWidth; }
    void SetFormWidth(int value);
    int FormHeight() const { return FFormHeight; }
    void SetFormHeight(int value);
    int FormMaxWidth() const { return FFormMaxWidth; }
    void SetFormMaxWidth(int value);
    int FormMaxHeight() const { return FFormMaxHeight; }
    void SetFormMaxHeight(int value);
    int FormMinWidth() const { return FFormMinWidth; }
    void SetFormMinWidth(int value);
    int FormMinHeight() const { return FFormMinHeight; }
    void SetFormMinHeight(int value);
    bool ResizeFont() const { return FResizeFont; }
    void SetResizeFont(bool value) { FResizeFont = value; }
    const std::u16string& NoResizeFntCtl() const { return FNoResizeFntCtl; }
    void SetNoResizeFntCtl(const std::u16string& value);
    const std::u16string& NoResizeCtl() const { return FNoResizeCtl; }
    void SetNoResizeCtl(const std::u16string& value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    bool ValidTaskbar() const { return FValidTaskbar; }
    void SetValidTaskbar(bool value) { FValidTaskbar = value; }
    const TExitResizeEvent& OnExitResize() const { return FOnExitResize; }
    void SetOnExitResize(TExitResizeEvent handler) { FOnExitResize = std::move(handler); }

    // The stored design values as read from the description.
    int DesignFrmW() const { return FDesignFrmW; }
    int DesignFrmH() const { return FDesignFrmH; }
    int DesignDpiW() const { return FDesignDpiW; }
    int DesignDpiH() const { return FDesignDpiH; }

    const TNameList& NoResizeFntCtls() const { return FNoResizeFntCtls; }
    const TNameList& NoResizeCtls() const { return FNoResizeCtls; }

    const toolkit::TPropertyList& PublishedProperties() const override;

    // Whether the user's default locale is Japanese (its abbreviated language name is JPN).
    static bool IsJapaneseLocale();

protected:
    void DefineProperties(toolkit::TFiler& filer) override;

private:
    void ParseNoResizeFntCtl();
    void ParseNoResizeCtl();
    // The common steps of the six size writes; `checks` rejects with a message or returns.
    void WriteSize(int& field, int value, const std::function<void(int)>& checks);

    // The run-time snapshot fields (owner, records, factors, interception) come with the
    // layout behaviour; this is the model the stored description fills.
    TNameList FNoResizeFntCtls;
    TNameList FNoResizeCtls;
    int FDesignFrmW = 0;
    int FDesignFrmH = 0;
    int FDesignDpiW = 0;
    int FDesignDpiH = 0;
    TResizeFormPos FFormPos = rpDefault;
    int FFormWidth = 0;
    int FFormHeight = 0;
    int FFormMaxWidth = 0;
    int FFormMaxHeight = 0;
    int FFormMinWidth = 0;
    int FFormMinHeight = 0;
    bool FResizeFont = true;
    std::u16string FNoResizeFntCtl;
    std::u16string FNoResizeCtl;
    TExitResizeEvent FOnExitResize;
    bool FEnabled = true;
    bool FValidTaskbar = true;
};

// State shared by every instance (one thread touches it; no locks).
namespace resizekit {
extern platform::DWORD OsVersion;
extern platform::BYTE OsMajorVersion;
extern platform::BYTE OsMinorVersion;
extern bool UseJapaneseMessages;

// Makes TResizeKit creatable from stored descriptions.
void RegisterClasses();
} // namespace resizekit
