// Pieces shared by the toolkit's own sources; not for other layers.
#pragma once

#include "platform/Api.h"
#include "toolkit/Properties.h"

#include <vector>

namespace toolkit {

class TControl;
class TForm;

namespace internal {

inline constexpr char16_t kControlClass[] = u"ToolkitControl";
inline constexpr char16_t kFormClass[] = u"ToolkitForm";
inline constexpr char16_t kApplicationClass[] = u"ToolkitApplication";

// Registers a window class of the program (again when a new desktop is in force: a
// registration that already exists is fine).
void RegisterWindowClass(const char16_t* name, platform::WNDPROC procedure);

// The window procedure of every toolkit control and form.
platform::LRESULT PLATFORM_CALLBACK ControlWindowProcedure(platform::HWND window,
                                                           platform::UINT message,
                                                           platform::WPARAM wParam,
                                                           platform::LPARAM lParam) noexcept;

// Identifiers for child windows, unique among the live ones.
int AllocateControlId(TControl* control);
void ReleaseControlId(int id);
TControl* ControlById(int id);

// Published-property groups shared by several classes.
const TIdentMap& FontStyleNames();
void AddFontProperties(TPropertyList& list);
// Caption, ParentFont, then the font members.
void AddTextProperties(TPropertyList& list);

// Every TForm alive, in creation order.
std::vector<TForm*>& LiveForms();

} // namespace internal
} // namespace toolkit
