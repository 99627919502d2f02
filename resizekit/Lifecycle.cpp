// TResizeKit's life cycle: creation, the snapshot and density adaptation when loading ends,
// the run-time record walks on request, switching the interception, destruction.
#include "resizekit/ResizeKit.h"

#include "platform/Api.h"
#include "platform/Handles.h"
#include "resizekit/Arithmetic.h"
#include "resizekit/RecordWalk.h"
#include "toolkit/Forms.h"

#include <algorithm>

using namespace toolkit;

namespace {

bool Designing(const TComponent& component) {
    return (component.ComponentState() & csDesigning) != 0;
}

// Hooks installed by live instances, oldest first; CallWndHook names the last one.
std::vector<platform::HHOOK>& InstalledHooks() {
    static std::vector<platform::HHOOK> hooks;
    return hooks;
}

// Design density over run-time density. A density that is not positive (a description
// without DesignDpiW/DesignDpiH, or a screen that reports none) counts as the other one:
// the layout is then taken as it was designed, ratio 1.0.
double LoadRatio(int designDpi, int runDpi) {
    if (designDpi <= 0 || runDpi <= 0) {
        return 1.0;
    }
    return static_cast<double>(designDpi) / runDpi;
}

// Adaptation rounds as the rescale pass does.
int Adapt(int value, double ratio) { return resizekit::RoundPixel(value / ratio); }

// A record of the control as it stands, its own font (not one taken from its parent) adapted
// first.
std::unique_ptr<TCtrlInfo> RecordAtLoad(TControl& control, double ratioX) {
    auto record = std::make_unique<TCtrlInfo>();
    record->Name = control.Name();
    TResizeKit::CopyControlFont(record->Font, control);
    record->ParentFont = true;
    record->OrgParentFont = true;
    if (record->Font) {
        record->ParentFont = control.ParentFont();
        record->OrgParentFont = control.ParentFont();
        if (!control.ParentFont()) {
            control.Font().SetSize(Adapt(control.Font().Size(), ratioX));
        }
        record->Font->SetSize(control.Font().Size());
        record->OldFontSize = control.Font().Size();
    }
    record->Left = control.Left();
    record->Top = control.Top();
    record->Width = control.Width();
    record->Height = control.Height();
    return record;
}

// Writes the adapted geometry one value at a time and takes what the control made of it as
// the new reference.
void AdaptGeometry(TControl& control, TCtrlInfo& record, double gx, double gy) {
    control.SetLeft(Adapt(record.Left, gx));
    control.SetTop(Adapt(record.Top, gy));
    control.SetWidth(Adapt(record.Width, gx));
    control.SetHeight(Adapt(record.Height, gy));
    record.Left = record.OldLeft = control.Left();
    record.Top = record.OldTop = control.Top();
    record.Width = record.OldWidth = control.Width();
    record.Height = record.OldHeight = control.Height();
}

} // namespace

TResizeKit::TResizeKit(TComponent* AOwner) : TComponent(AOwner) {
    FFormPos = rpDefault;
    FFormWidth = FFormHeight = FFormMaxWidth = FFormMaxHeight = FFormMinWidth = FFormMinHeight = 0;
    FResizeFont = FEnabled = FValidTaskbar = true;
    FDesignFrmW = FDesignFrmH = FDesignDpiW = FDesignDpiH = 0;
    if (Designing(*this)) {
        return;
    }
    resizekit::UseJapaneseMessages = IsJapaneseLocale();
    FIsResized = false;
    FAddCnt = 0;
    FCtlCnt = 0;
    FPrevScaleX = FPrevScaleY = FPrevScaleF = 1.0;
    FCtrls.Clear();
    ParseNoResizeFntCtl();
    ParseNoResizeCtl();
    lpPrevWndProc = nullptr;
    FChildCtrls.Clear();
    FChildCtlCnt = 0;
    auto& os = platform::Os();
    resizekit::OsVersion = os.GetVersion();
    resizekit::OsMajorVersion = platform::LOBYTE(resizekit::OsVersion);
    resizekit::OsMinorVersion = platform::LOBYTE(resizekit::OsVersion >> 8);
    if (resizekit::OsMajorVersion == 4) {
        InstallCallWndHook();
    }
}

TResizeKit::~TResizeKit() {
    if (!Designing(*this)) {
        // The window may outlive the component (an application that frees it early): it must
        // not go on calling a procedure whose component is gone.
        RestoreOwnerWndProc();
        FCtrls.Clear();
        FOwnerFont.reset();
        FNoResizeFntCtls.Clear();
        FNoResizeCtls.Clear();
        if (FSelfPointer != nullptr) {
            auto& list = resizekit::ResizeKitList;
            auto entry = std::find(list.begin(), list.end(), FSelfPointer);
            if (entry != list.end()) {
                list.erase(entry);
            }
            FSelfPointer = nullptr;
        }
        FChildCtrls.Clear();
    }
    RemoveCallWndHook();
}

void TResizeKit::InstallCallWndHook() {
    auto& os = platform::Os();
    FCallWndHookOwned.reset(os.SetWindowsHookExW(platform::WH_CALLWNDPROC, &ResizeKitHookProc,
                                                 nullptr, os.GetCurrentThreadId()));
    // A null handle simply means that no hook is installed.
    resizekit::CallWndHook = FCallWndHookOwned.get();
    if (FCallWndHookOwned) {
        InstalledHooks().push_back(FCallWndHookOwned.get());
    }
}

void TResizeKit::RemoveCallWndHook() {
    if (!FCallWndHookOwned) {
        return;
    }
    auto& hooks = InstalledHooks();
    hooks.erase(std::remove(hooks.begin(), hooks.end(), FCallWndHookOwned.get()), hooks.end());
    FCallWndHookOwned.reset();
    resizekit::CallWndHook = hooks.empty() ? nullptr : hooks.back();
}

void TResizeKit::ReplaceOwnerWndProc() {
    lpPrevWndProc = reinterpret_cast<platform::WNDPROC>(platform::Os().SetWindowLongPtrW(
        FOwnerHandle, platform::GWLP_WNDPROC, reinterpret_cast<platform::LONG_PTR>(&ResizeKitWndProc)));
}

void TResizeKit::RestoreOwnerWndProc() {
    auto& os = platform::Os();
    if (lpPrevWndProc == nullptr || FOwnerHandle == nullptr || !os.IsWindow(FOwnerHandle)) {
        return;
    }
    // Someone who replaced the procedure after us keeps theirs.
    const auto current = os.GetWindowLongPtrW(FOwnerHandle, platform::GWLP_WNDPROC);
    if (current == reinterpret_cast<platform::LONG_PTR>(&ResizeKitWndProc)) {
        os.SetWindowLongPtrW(FOwnerHandle, platform::GWLP_WNDPROC,
                             reinterpret_cast<platform::LONG_PTR>(lpPrevWndProc));
    }
    lpPrevWndProc = nullptr;
}

void TResizeKit::Loaded() {
    TComponent::Loaded();
    if (Designing(*this)) {
        return;
    }
    auto* form = dynamic_cast<TForm*>(Owner());
    FOwnerWidth = FDesignFrmW;
    FOwnerHeight = FDesignFrmH;
    // Without a stored design size the form's own client size, as described, is the
    // reference; the rescale pass divides by it.
    if (form != nullptr && FOwnerWidth <= 0) {
        FOwnerWidth = form->ClientWidth();
    }
    if (form != nullptr && FOwnerHeight <= 0) {
        FOwnerHeight = form->ClientHeight();
    }
    {
        auto& os = platform::Os();
        platform::ScreenDC dc(nullptr);
        FRunDpiW = os.GetDeviceCaps(dc.get(), platform::LOGPIXELSX);
        FRunDpiH = os.GetDeviceCaps(dc.get(), platform::LOGPIXELSY);
    }
    const double RatioX = LoadRatio(FDesignDpiW, FRunDpiW);
    const double RatioY = LoadRatio(FDesignDpiH, FRunDpiH);

    // Registered only as the named member of a form that holds this very instance; otherwise
    // nothing is recorded, adapted or replaced.
    PublishedField* self = form != nullptr ? form->FieldAddress(Name()) : nullptr;
    if (self == nullptr || self->Get() != this) {
        return;
    }
    FSelfPointer = self;
    resizekit::ResizeKitList.push_back(FSelfPointer);
    FOwnerFormName = form->Name();
    FOwnerHandle = form->Handle();

    CopyControlFont(FOwnerFont, *form);
    form->Font().SetSize(Adapt(form->Font().Size(), RatioX));
    if (FOwnerFont) {
        FOwnerFont->SetSize(form->Font().Size());
    }

    const int N = form->ComponentCount();
    int ChildSum = 0;
    for (int i = 0; i < N && i < form->ComponentCount(); ++i) {
        TComponent* C = form->Components(i);
        int K = C->ComponentCount();
        if (K > 0) {
            ChildSum += K;
            if (!resizekit::IsFrame(C)) {
                K = 0;
            }
        }
        auto* control = dynamic_cast<TControl*>(C);
        if (control == nullptr || FNoResizeCtls.Contains(C->Name())) {
            continue;
        }
        auto R = RecordAtLoad(*control, RatioX);
        R->ChildCtlCnt = K;
        FCtrls.Append(std::move(R));
        // One level deep: what a frame's own controls own is not recorded.
        for (int j = 0; j < K && j < C->ComponentCount(); ++j) {
            auto* D = dynamic_cast<TControl*>(C->Components(j));
            if (D == nullptr || FNoResizeCtls.Contains(D->Name())) {
                continue;
            }
            auto S = RecordAtLoad(*D, RatioX);
            S->ParentName = C->Name();
            S->ChildCtlCnt = 0;
            FChildCtrls.Append(std::move(S));
        }
    }

    double GX = RatioX;
    double GY = RatioY;
    const TFormBorderStyle border = form->BorderStyle();
    if ((border == bsNone || border == bsDialog) && FFormWidth == 0 && FFormHeight == 0) {
        GX = GY = 1.0;
    }
    if (border == bsNone && form->WindowState() == wsMaximized) {
        GX = RatioX;
        GY = RatioY;
    }

    auto adapt = [GX, GY](TControl& control, TCtrlInfo& record) {
        AdaptGeometry(control, record, GX, GY);
    };
    resizekit::ForEachRecorded(*form, {FCtrls, FChildCtrls, &FNoResizeCtls, true, N}, adapt, adapt);

    FCtlCnt = N;
    FChildCtlCnt = ChildSum;
    // Replaced whatever Enabled holds: the procedure itself passes everything on while the
    // component is disabled.
    if (resizekit::OsMajorVersion >= 5) {
        ReplaceOwnerWndProc();
    }
}

void TResizeKit::CopyControlFont(std::unique_ptr<TFont>& Font, const TControl& Control) {
    if (!Control.HasPublishedProperty(u"Font")) {
        Font.reset();
        return;
    }
    Font = std::make_unique<TFont>(Control.Font().PixelsPerInch());
    Font->Assign(Control.Font());
}

// The walks run whether or not loading registered the instance: an unregistered one records
// and forgets controls like any other, it only never rescales them. In the designer the
// lists are not in use and nothing is walked.
void TResizeKit::DynamicAdd() {
    if (Designing(*this)) {
        return;
    }
    AddNewControls(0, 0);
}

void TResizeKit::DynamicDelete() {
    if (Designing(*this)) {
        return;
    }
    DropVanishedControls(0, 0);
}

void TResizeKit::SetEnabled(bool value) {
    if (value == FEnabled) {
        return;
    }
    FEnabled = value;
    if (Designing(*this)) {
        return;
    }
    if (resizekit::OsMajorVersion == 4) {
        if (FCallWndHookOwned && !value) {
            RemoveCallWndHook();
        } else if (!FCallWndHookOwned && value) {
            InstallCallWndHook();
        }
        return;
    }
    if (lpPrevWndProc != nullptr) {
        if (!value) {
            platform::Os().SetWindowLongPtrW(FOwnerHandle, platform::GWLP_WNDPROC,
                                             reinterpret_cast<platform::LONG_PTR>(lpPrevWndProc));
            lpPrevWndProc = nullptr;
        }
    } else if (value && FSelfPointer != nullptr && FOwnerHandle != nullptr) {
        // An unregistered instance replaces nothing: no component could be found for the
        // window, and its messages would go nowhere.
        ReplaceOwnerWndProc();
    }
}

namespace {
void CollectUnregistered(const TComponent& owner, std::vector<TResizeKit*>& found) {
    for (int i = 0; i < owner.ComponentCount(); ++i) {
        TComponent* component = owner.Components(i);
        auto* kit = dynamic_cast<TResizeKit*>(component);
        const bool settled = (component->ComponentState() & (csLoading | csDesigning)) == 0;
        // Registered means the interception can reach it: the entry it appended still holds it.
        if (kit != nullptr && settled &&
            (kit->SelfPointer() == nullptr || kit->SelfPointer()->Get() != kit)) {
            found.push_back(kit);
        }
        CollectUnregistered(*component, found);
    }
}
} // namespace

std::vector<TResizeKit*> resizekit::UnregisteredInstances(const TComponent& form) {
    std::vector<TResizeKit*> found;
    CollectUnregistered(form, found);
    return found;
}
