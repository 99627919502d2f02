// Reading and writing a component tree in the stored-description format.
#pragma once

#include "toolkit/Classes.h"

#include <string>
#include <string_view>

namespace toolkit {

// The root object's properties apply to `root`; every nested object becomes a component
// created through the class registry, owned by `root` (by the enclosing frame inside a frame)
// and parented by the enclosing control. Properties are set in written order; the values
// declared by DefineProperties follow the published ones; published fields of the owner are
// assigned by name and event handlers bound to the root's published methods. Loaded() runs on
// every component (root first, then in creation order) once everything has been read.
// Errors raise EDescriptionError naming the line; the components made by the failed read
// are destroyed again.
void ReadDescription(TComponent& root, std::string_view text);

// The root and every component it owns (frames: with their own), nested by parent.
std::string WriteDescription(const TComponent& root);

} // namespace toolkit
