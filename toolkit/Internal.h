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

// Values the seam's headers do not name.
inline constexpr platform::DWORD kErrorClassAlreadyExists = 1410;
inline constexpr platform::UINT kWmLButtonDblClk = 0x0203;
inline constexpr platform::UINT kWmCtlColorDlg = 0x0136;
inline constexpr platform::UINT kOdsNoAccel = 0x0100;
inline constexpr platform::UINT kCsDblClks = 0x0008;
inline constexpr int kColorOnColor = 3;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr platform::UINT kImageCursor = 2;
inline constexpr platform::UINT kLrDefaultSize = 0x0040;
inline constexpr platform::WORD kIdcArrow = 32512;

// Registers a window class of the program (again when a new desktop is in force: a
// registration that already exists is fine).
void RegisterWindowClass(const char16_t* name, platform::WNDPROC procedure);

// The window procedure of every toolkit control and form.
platform::LRESULT PLATFORM_CALLBACK ControlWindowProcedure(platform::HWND window,
                                                           platform::UINT message,
                                                           platform::WPARAM wParam,
                                                           platform::LPARAM lParam);

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
