// The walk over the owner's recorded controls, shared by the adaptation at load and the
// rescale pass. Internal to the component.
#pragma once

#include "resizekit/ResizeKit.h"

#include <limits>

namespace resizekit {

inline toolkit::TControl* AsControl(toolkit::TComponent* component) {
    return dynamic_cast<toolkit::TControl*>(component);
}
inline bool IsFrame(const toolkit::TComponent* component) {
    return dynamic_cast<const toolkit::TFrame*>(component) != nullptr;
}

struct RecordWalk {
    const TCtrlList& ctrls;
    const TCtrlList& childCtrls;
    // Names passed over before their record is looked for; null passes over none.
    const TNameList* skipped = nullptr;
    // Only a frame's own controls are visited; otherwise those of any control with a record.
    bool framesOnly = true;
    // At most this many of the owner's components, each walk step checking the count anew.
    int limit = std::numeric_limits<int>::max();
};

// In the owner's index order: `top` for each control with a record, then `child` for each of
// its own controls recorded under its name.
template <class Top, class Child>
void ForEachRecorded(toolkit::TComponent& owner, const RecordWalk& walk, Top top, Child child) {
    auto passed = [&walk](const toolkit::TControl* control) {
        return control == nullptr ||
               (walk.skipped != nullptr && walk.skipped->Contains(control->Name()));
    };
    for (int i = 0; i < walk.limit && i < owner.ComponentCount(); ++i) {
        toolkit::TControl* C = AsControl(owner.Components(i));
        if (passed(C)) {
            continue;
        }
        TCtrlInfo* R = walk.ctrls.Find(C->Name());
        if (R == nullptr) {
            continue;
        }
        top(*C, *R);
        if (C->ComponentCount() > 0 && (!walk.framesOnly || IsFrame(C))) {
            for (int j = 0; j < C->ComponentCount(); ++j) {
                toolkit::TControl* D = AsControl(C->Components(j));
                if (passed(D)) {
                    continue;
                }
                if (TCtrlInfo* S = walk.childCtrls.FindChild(C->Name(), D->Name())) {
                    child(*D, *S);
                }
            }
        }
    }
}

} // namespace resizekit
