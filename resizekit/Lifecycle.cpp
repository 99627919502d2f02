// Stand-in until the life cycle lands: the two pieces the rescale walks need.
#include "resizekit/ResizeKit.h"

void TResizeKit::CopyControlFont(std::unique_ptr<toolkit::TFont>& Font,
                                 const toolkit::TControl& Control) {
    if (!Control.HasPublishedProperty(u"Font")) {
        Font.reset();
        return;
    }
    Font = std::make_unique<toolkit::TFont>();
    Font->Assign(Control.Font());
}

void TResizeKit::DynamicAdd() { AddNewControls(0, 0); }

void TResizeKit::DynamicDelete() { DropVanishedControls(0, 0); }
