// TResizeKit: the proportional-layout component of a form. This file declares it, with its
// published properties, the name lists, the per-control snapshot record and its list, the
// stored design values, the state shared by all instances and the message procedures; the
// sources are split by concern.
#pragma once

#include "platform/Handles.h"
#include "platform/Types.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
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

// Called at the end of every rescale pass with the factors just applied: a handler bound to an
// object, Sender, XScale, YScale; stored in the description by its method's name.
using TExitResizeEvent = toolkit::TMethodEvent<double, double>;

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

// An ordered list of records that owns them. Lookups by name answer "the first record in
// list order" through an index kept in step with every append, clear and compaction, so a
// rescale pass costs O(N) rather than O(N^2).
class TCtrlList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Null for a slot cleared by Release and not yet compacted. A record's Name and
    // ParentName stay as appended: the index holds them.
    TCtrlInfo* Items(int index) const { return items_[static_cast<std::size_t>(index)].get(); }
    void Append(std::unique_ptr<TCtrlInfo> record);
    // The first record whose Name equals `name` (exact), or null.
    TCtrlInfo* Find(const std::u16string& name) const;
    // The first record whose ParentName and Name equal the two (exact), or null.
    TCtrlInfo* FindChild(const std::u16string& parentName, const std::u16string& name) const;
    // Releases the record in a slot (its font with it) and leaves the slot empty, so that the
    // indexes of a walk stay valid; Compact closes the gaps.
    void Release(int index);
    void Compact();
    // Releases every record in list order.
    void Clear();

private:
    using Slots = std::vector<int>; // ascending slot numbers of the live records of one key
    static std::u16string ChildKey(const std::u16string& parentName, const std::u16string& name);
    void Index(int slot);
    void Unindex(int slot);
    void Reindex();

    std::vector<std::unique_ptr<TCtrlInfo>> items_;
    std::unordered_map<std::u16string, Slots> byName_;
    std::unordered_map<std::u16string, Slots> byParentAndName_;
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
    explicit TResizeKit(toolkit::TComponent* AOwner); // Create
    ~TResizeKit() override;                          // Destroy

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

    // Brings controls created or destroyed at run time into the records, or out of them.
    void DynamicAdd();
    void DynamicDelete();

    // ---- Life cycle and snapshot ----------------------------------------------------------
    void Loaded() override;
    // A private copy of the control's font, or absent when its class publishes no "Font".
    static void CopyControlFont(std::unique_ptr<toolkit::TFont>& Font,
                                const toolkit::TControl& Control);

    // ---- Proportional rescaling -----------------------------------------------------------
    void RescaleControls(int ClientWidth, int ClientHeight);
    void SyncControlLists();
    void AddNewControls(int N, int S);
    void DropVanishedControls(int N, int S);
    void RecordControl(toolkit::TControl& C, const std::u16string& ParentName, int ChildCount);
    void SuspendParentFonts();
    void RestoreParentFonts();

    // ---- Placement and work area ----------------------------------------------------------
    struct TWorkArea {
        int Width = 0;       // AW
        int Height = 0;      // AH
        int TaskbarEdge = -1; // -1 not asked, 0 top, 1 left, 2 right, 3 bottom
        platform::RECT Taskbar{}; // TB, clipped and collapsed
    };
    TWorkArea GetWorkArea(bool ValidTaskbar) const;
    void PlaceForm(platform::HWND Window, TResizeFormPos Pos, bool ValidTaskbar, int W, int H);
    // Where FormPos says, with the owner's window as large as it is now.
    void PlaceOwnerAtOnce();
    void PlaceOnFirstShow();
    void ClampSizingRect(platform::RECT& R) const;
    void FillMinMaxInfo(platform::MINMAXINFO& M);
    void FitMaximizedWindow();
    void RefitOnScreenChange();

    // ---- Read access for tests and the interception -----------------------------------------
    const std::u16string& OwnerFormName() const { return FOwnerFormName; }
    int OwnerWidth() const { return FOwnerWidth; }
    int OwnerHeight() const { return FOwnerHeight; }
    platform::HWND OwnerHandle() const { return FOwnerHandle; }
    const toolkit::TFont* OwnerFont() const { return FOwnerFont.get(); }
    const TCtrlList& Ctrls() const { return FCtrls; }
    const TCtrlList& ChildCtrls() const { return FChildCtrls; }
    toolkit::PublishedField* SelfPointer() const { return FSelfPointer; }
    int AddCnt() const { return FAddCnt; }
    double PrevScaleX() const { return FPrevScaleX; }
    double PrevScaleY() const { return FPrevScaleY; }
    double PrevScaleF() const { return FPrevScaleF; }
    int RunDpiW() const { return FRunDpiW; }
    int RunDpiH() const { return FRunDpiH; }
    bool IsResized() const { return FIsResized; }
    int CtlCnt() const { return FCtlCnt; }
    int ChildCtlCnt() const { return FChildCtlCnt; }
    platform::WNDPROC PrevWndProc() const { return lpPrevWndProc; }

protected:
    void DefineProperties(toolkit::TFiler& filer) override;

private:
    friend struct TResizeKitTestAccess; // tests and benchmarks arrange run-time state

    void ParseNoResizeFntCtl();
    void ParseNoResizeCtl();
    // The call-window hook of this instance (major version 4): installed, and removed again
    // with CallWndHook kept naming the most recent hook still installed.
    void InstallCallWndHook();
    void RemoveCallWndHook();
    // The owner's window procedure: replaced by ResizeKitWndProc, or the previous one put back.
    void ReplaceOwnerWndProc();
    void RestoreOwnerWndProc();
    // The common steps of the six size writes; `checks` rejects with a message or returns.
    void WriteSize(int& field, int value, const std::function<void(int)>& checks);

    // Fields in their declared order.
    std::u16string FOwnerFormName;
    int FOwnerWidth = 0;
    int FOwnerHeight = 0;
    platform::HWND FOwnerHandle = nullptr;
    std::unique_ptr<toolkit::TFont> FOwnerFont;
    TCtrlList FCtrls;
    toolkit::PublishedField* FSelfPointer = nullptr;
    TNameList FNoResizeFntCtls;
    TNameList FNoResizeCtls;
    int FAddCnt = 0;
    double FPrevScaleX = 1.0;
    double FPrevScaleY = 1.0;
    double FPrevScaleF = 1.0;
    int FDesignFrmW = 0;
    int FDesignFrmH = 0;
    int FDesignDpiW = 0;
    int FDesignDpiH = 0;
    int FRunDpiW = 0;
    int FRunDpiH = 0;
    bool FIsResized = false;
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
    int FCtlCnt = 0;
    TExitResizeEvent FOnExitResize;
    bool FEnabled = true;
    bool FValidTaskbar = true;
    platform::WNDPROC lpPrevWndProc = nullptr;
    TCtrlList FChildCtrls;
    int FChildCtlCnt = 0;

    // Not one of the component's data fields: the owner of the hook this instance installed,
    // so that each hook is removed exactly once however many instances there are.
    platform::UniqueHook FCallWndHookOwned;
};

// The message interception: the replacement window procedure (major version 5 and later),
// the call-window hook (major version 4) and the one dispatch both use.
// Both procedures are noexcept and catch whatever the dispatch throws (a failing OnExitResize
// handler, say): the platform calls them from C code, and no exception may cross a window or
// hook procedure. What is caught goes to the application's exception display, and the message
// is then passed on as if nothing had happened, so that the window's own handling still runs.
platform::LRESULT PLATFORM_CALLBACK ResizeKitWndProc(platform::HWND window, platform::UINT message,
                                                     platform::WPARAM wParam,
                                                     platform::LPARAM lParam) noexcept;
platform::LRESULT PLATFORM_CALLBACK ResizeKitHookProc(int code, platform::WPARAM wParam,
                                                      platform::LPARAM lParam) noexcept;
void HandleOwnerMessage(TResizeKit& kit, platform::HWND window, platform::UINT message,
                        platform::WPARAM wParam, platform::LPARAM lParam);
// The first registered instance whose owner window is `window`, or null.
TResizeKit* FindKitForWindow(platform::HWND window);

// State shared by every instance (one thread touches it; no locks).
namespace resizekit {
extern platform::DWORD OsVersion;
extern platform::BYTE OsMajorVersion;
extern platform::BYTE OsMinorVersion;
extern bool UseJapaneseMessages;
// One entry per registered instance (its FSelfPointer), in the order loading ended.
extern std::vector<toolkit::PublishedField*> ResizeKitList;
extern platform::HHOOK CallWndHook;
extern int LastScreenWidth;
extern int LastScreenHeight;

// Makes TResizeKit creatable from stored descriptions.
void RegisterClasses();

// The instances on `form` (owned by it, or by a frame or other component of it at any depth)
// that did not register when loading ended and so never rescale, place or limit anything:
// the form publishes no field of the instance's name, the field holds another component, the
// owner is not a form, or the instance was made in code and never loaded. Nothing else says
// so, by design; a form's author asks this once the form has been created, and an empty list
// means every instance on it is at work. Instances still being loaded are not listed.
std::vector<TResizeKit*> UnregisteredInstances(const toolkit::TComponent& form);
} // namespace resizekit
