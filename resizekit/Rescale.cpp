// Proportional rescaling: every recorded control's position, size and font follow the owner's
// client area. Each pass starts again from the reference values, so repeated resizing never
// accumulates rounding errors.
#include "resizekit/ResizeKit.h"

#include "platform/Api.h"
#include "resizekit/Arithmetic.h"
#include "resizekit/RecordWalk.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>

using platform::Os;
using toolkit::TComponent;
using toolkit::TControl;
using resizekit::AsControl;
using resizekit::IsFrame;

namespace {

int r(double v) { return resizekit::RoundPixel(v); }
int t(double v) { return resizekit::TruncateSize(v); }

// Sum over the first `n` owned components of the number of components each owns.
int ChildSum(const TComponent& owner, int n) {
    int sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += owner.Components(i)->ComponentCount();
    }
    return sum;
}

// Holds painting of the owner back for the walk, and lets it go however the walk ends.
class WindowUpdateLock {
public:
    explicit WindowUpdateLock(platform::HWND window) { Os().LockWindowUpdate(window); }
    ~WindowUpdateLock() { Os().LockWindowUpdate(nullptr); }
    WindowUpdateLock(const WindowUpdateLock&) = delete;
    WindowUpdateLock& operator=(const WindowUpdateLock&) = delete;
};

// "RKitAdd" and the count (at least 1) with at least four digits, as "%.4d" writes it.
// Formatted by hand: printf would bring the C library's whole formatter into the program for
// this one name.
std::u16string GeneratedName(int count) {
    const std::string digits = std::to_string(count);
    std::u16string name = u"RKitAdd";
    name.append(digits.size() < 4 ? 4 - digits.size() : 0, u'0');
    name.append(digits.begin(), digits.end());
    return name;
}

bool IsBlank(const std::u16string& name) {
    for (char16_t c : name) {
        if (c > u' ') {
            return false;
        }
    }
    return true;
}

bool StartsWithGeneratedPrefix(const std::u16string& text) {
    return text.compare(0, 7, u"RKitAdd") == 0;
}

} // namespace

void TResizeKit::RescaleControls(int ClientWidth, int ClientHeight) {
    auto* owner = Owner();
    if (owner == nullptr) {
        return;
    }
    const double XScale = resizekit::ScaleFactor(ClientWidth, FOwnerWidth, FDesignDpiW, FRunDpiW);
    const double YScale = resizekit::ScaleFactor(ClientHeight, FOwnerHeight, FDesignDpiH, FRunDpiH);
    const double FontScale = XScale <= YScale ? XScale : YScale;

    SyncControlLists();
    // The windows take their bounds and fonts once, when the walk is over; reading a control
    // back meanwhile still gives what its window will have.
    std::optional<toolkit::TBoundsBracket> bracket;
    if (auto* ownerWindow = dynamic_cast<toolkit::TWinControl*>(owner)) {
        bracket.emplace(*ownerWindow);
    }
    SuspendParentFonts();
    auto* ownerControl = AsControl(owner);
    if (FResizeFont && !FNoResizeFntCtls.Contains(owner->Name()) && FOwnerFont &&
        ownerControl != nullptr) {
        ownerControl->Font().SetSize(r(FOwnerFont->Size() * FontScale));
    }

    auto apply = [&](TControl& C, TCtrlInfo& R) {
        if (FResizeFont && !FNoResizeFntCtls.Contains(C.Name()) && R.Font) {
            C.Font().SetSize(t(R.Font->Size() * FontScale));
            if (C.Font().Size() == 0) {
                C.Font().SetSize(1);
            }
        }
        C.SetTop(r(R.Top * YScale));
        C.SetLeft(r(R.Left * XScale));
        C.SetWidth(r(R.Width * XScale));
        C.SetHeight(r(R.Height * YScale));
        // Never at coordinate 0 and never of zero size; negative values stay.
        if (C.Top() == 0) C.SetTop(1);
        if (C.Left() == 0) C.SetLeft(1);
        if (C.Width() == 0) C.SetWidth(1);
        if (C.Height() == 0) C.SetHeight(1);
        R.OldTop = C.Top();
        R.OldLeft = C.Left();
        R.OldWidth = C.Width();
        R.OldHeight = C.Height();
        if (R.Font) {
            R.OldFontSize = C.Font().Size();
        }
    };

    {
        WindowUpdateLock lock(FOwnerHandle);
        resizekit::ForEachRecorded(
            *owner, {FCtrls, FChildCtrls, &FNoResizeCtls},
            [&](TControl& C, TCtrlInfo& R) {
                apply(C, R);
                FPrevScaleX = XScale;
                FPrevScaleY = YScale;
                FPrevScaleF = FontScale;
            },
            apply);
    }
    RestoreParentFonts();
    if (bracket) {
        bracket->Close();
    }

    if (FFormMaxWidth > 0 && FFormMaxHeight > 0 && FOwnerHandle != nullptr &&
        Os().IsZoomed(FOwnerHandle) != platform::FALSE) {
        FitMaximizedWindow();
    }
    if (FOnExitResize) {
        FOnExitResize(this, XScale, YScale);
    }
    FIsResized = true;
}

void TResizeKit::SyncControlLists() {
    const TComponent* owner = Owner();
    if (owner == nullptr) {
        return;
    }
    // Only when both counts have changed: a new control that owns nothing waits for
    // DynamicAdd.
    const int N = owner->ComponentCount();
    if (N == FCtlCnt) {
        return;
    }
    const int S = ChildSum(*owner, N);
    if (S == FChildCtlCnt) {
        return;
    }
    if (FCtlCnt + FChildCtlCnt < N + S) {
        AddNewControls(N, S);
    } else {
        DropVanishedControls(N, S);
    }
}

namespace {

// A count of 0 is counted afresh: N over the owner's components, S over the first N of them.
void CompleteCounts(const TComponent& owner, int& N, int& S) {
    if (N == 0 || N > owner.ComponentCount()) {
        N = owner.ComponentCount();
    }
    if (S == 0) {
        S = ChildSum(owner, N);
    }
}

} // namespace

void TResizeKit::AddNewControls(int N, int S) {
    TComponent* owner = Owner();
    if (owner == nullptr) {
        return;
    }
    CompleteCounts(*owner, N, S);
    for (int i = 0; i < N && i < owner->ComponentCount(); ++i) {
        TControl* K = AsControl(owner->Components(i));
        if (K == nullptr || FNoResizeCtls.Contains(K->Name())) {
            continue;
        }
        TCtrlInfo* existing = FCtrls.Find(K->Name());
        int M = K->ComponentCount();
        if (M > 0 && !IsFrame(K)) {
            M = 0;
        }
        if (existing == nullptr) {
            RecordControl(*K, std::u16string(), M);
        }
        // A frame that was recorded before is still searched for new children, so that
        // DynamicAdd picks up a control placed on an existing frame; its record counts them
        // so that dropping the frame releases them too.
        for (int j = 0; j < M && j < K->ComponentCount(); ++j) {
            TControl* J = AsControl(K->Components(j));
            if (J == nullptr || FNoResizeCtls.Contains(J->Name())) {
                continue;
            }
            if (FChildCtrls.FindChild(K->Name(), J->Name()) != nullptr) {
                continue;
            }
            RecordControl(*J, K->Name(), 0);
            if (existing != nullptr) {
                ++existing->ChildCtlCnt;
            }
        }
    }
    FCtlCnt = N;
    FChildCtlCnt = S;
}

void TResizeKit::DropVanishedControls(int N, int S) {
    TComponent* owner = Owner();
    if (owner == nullptr) {
        return;
    }
    CompleteCounts(*owner, N, S);
    // The owner's controls by name, first in index order, so the walk stays linear.
    std::unordered_map<std::u16string, TControl*> controls;
    for (int i = 0; i < N; ++i) {
        if (TControl* K = AsControl(owner->Components(i))) {
            controls.emplace(K->Name(), K);
        }
    }
    auto releaseChildrenOf = [this](const std::u16string& frame,
                                    const std::function<bool(const TCtrlInfo&)>& gone) {
        int released = 0;
        const int count = FChildCtrls.Count();
        for (int q = 0; q < count; ++q) {
            const TCtrlInfo* Q = FChildCtrls.Items(q);
            if (Q != nullptr && Q->ParentName == frame && gone(*Q)) {
                FChildCtrls.Release(q);
                ++released;
            }
        }
        return released;
    };

    // Slots are cleared during the walk and the gaps closed after it, so indexes stay valid.
    const int count = FCtrls.Count();
    for (int idx = 0; idx < count; ++idx) {
        TCtrlInfo* R = FCtrls.Items(idx);
        if (R == nullptr) {
            continue;
        }
        auto found = controls.find(R->Name);
        if (found == controls.end()) {
            if (R->ChildCtlCnt > 0) {
                releaseChildrenOf(R->Name, [](const TCtrlInfo&) { return true; });
            }
            FCtrls.Release(idx);
            continue;
        }
        TControl* K = found->second;
        if (K->ComponentCount() > 0 && IsFrame(K)) {
            const int released = releaseChildrenOf(K->Name(), [K](const TCtrlInfo& Q) {
                return K->FindComponent(Q.Name) == nullptr ||
                       K->FindComponent(Q.Name)->Name() != Q.Name;
            });
            R->ChildCtlCnt = std::max(R->ChildCtlCnt - released, 0);
        }
    }
    FCtrls.Compact();
    FChildCtrls.Compact();
    FCtlCnt = N;
    FChildCtlCnt = S;
}

void TResizeKit::RecordControl(TControl& C, const std::u16string& ParentName, int ChildCount) {
    ++FAddCnt; // also when the name is then refused
    if (IsBlank(C.Name())) {
        C.SetName(GeneratedName(FAddCnt));
    }
    // Naming a control whose text was its old name gave it the new name as text; a text
    // beginning with the generated prefix is cleared whenever it came.
    if (C.HasPublishedProperty(u"Caption") && StartsWithGeneratedPrefix(C.Caption())) {
        C.SetCaption(std::u16string());
    }
    if (C.HasPublishedProperty(u"Text") && StartsWithGeneratedPrefix(C.Text())) {
        C.SetText(std::u16string());
    }

    auto R = std::make_unique<TCtrlInfo>();
    R->Name = C.Name();
    // With a previous factor of 0 (a pass for a zero client size) there is nothing to divide
    // by: the present value is kept unscaled as the reference, which the next pass at a real
    // size scales like any other.
    R->Left = FPrevScaleX != 0 ? r(C.Left() / FPrevScaleX) : C.Left();
    R->Width = FPrevScaleX != 0 ? r(C.Width() / FPrevScaleX) : C.Width();
    R->Top = FPrevScaleY != 0 ? r(C.Top() / FPrevScaleY) : C.Top();
    R->Height = FPrevScaleY != 0 ? r(C.Height() / FPrevScaleY) : C.Height();
    R->OldLeft = C.Left();
    R->OldTop = C.Top();
    R->OldWidth = C.Width();
    R->OldHeight = C.Height();
    CopyControlFont(R->Font, C);
    R->ParentFont = true;
    R->OrgParentFont = true;
    if (R->Font) {
        R->ParentFont = C.ParentFont();
        R->OrgParentFont = C.ParentFont();
        // Likewise the font copy keeps the present size when the previous font factor is 0.
        if (FPrevScaleF != 0) {
            R->Font->SetSize(r(C.Font().Size() / FPrevScaleF));
        }
        R->OldFontSize = C.Font().Size();
    }
    R->ParentName = ParentName;
    R->ChildCtlCnt = ChildCount;
    (ParentName.empty() ? FCtrls : FChildCtrls).Append(std::move(R));
}

namespace {
// The parent-font switches cover every record, whatever NoResizeCtl says now.
resizekit::RecordWalk EveryRecord(const TCtrlList& ctrls, const TCtrlList& childCtrls) {
    return {ctrls, childCtrls, nullptr, false};
}
} // namespace

void TResizeKit::SuspendParentFonts() {
    if (Owner() == nullptr) {
        return;
    }
    auto suspend = [this](TControl& C, TCtrlInfo& R) {
        if (!R.Font) {
            return;
        }
        R.ParentFont = C.ParentFont();
        C.SetParentFont(false);
        if (R.ParentFont != R.OrgParentFont) {
            // The application switched ParentFont since the copy was derived: the font the
            // control has now becomes its reference.
            if (FPrevScaleF != 0) {
                R.Font->SetSize(r(C.Font().Size() / FPrevScaleF));
                R.OldFontSize = C.Font().Size();
            }
            R.OrgParentFont = R.ParentFont;
        }
    };
    resizekit::ForEachRecorded(*Owner(), EveryRecord(FCtrls, FChildCtrls), suspend, suspend);
}

void TResizeKit::RestoreParentFonts() {
    if (Owner() == nullptr) {
        return;
    }
    auto restore = [](TControl& C, TCtrlInfo& R) {
        if (R.Font) {
            C.SetParentFont(R.ParentFont);
        }
    };
    resizekit::ForEachRecorded(*Owner(), EveryRecord(FCtrls, FChildCtrls), restore, restore);
}
