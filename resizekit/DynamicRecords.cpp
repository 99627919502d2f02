// The record walks the application asks for after creating or destroying controls at run
// time. Apart from the life cycle's source so that a program that never calls them does not
// need the walks linked in.
#include "resizekit/ResizeKit.h"

using namespace toolkit;

// Both walks need the snapshot: before loading has registered the instance (or in the
// designer) there is nothing to bring up to date.
void TResizeKit::DynamicAdd() {
    if ((ComponentState() & csDesigning) != 0 || FSelfPointer == nullptr) {
        return;
    }
    AddNewControls(0, 0);
}

void TResizeKit::DynamicDelete() {
    if ((ComponentState() & csDesigning) != 0 || FSelfPointer == nullptr) {
        return;
    }
    DropVanishedControls(0, 0);
}
