// Pieces shared by the toolkit's own sources; not for other layers.
#pragma once

#include "platform/Api.h"
#include "toolkit/Properties.h"

#include <exception>
#include <utility>
#include <vector>

namespace toolkit {

class TControl;
class TForm;

// Runs a function when the scope ends, however it ends.
template <class F> class Finally {
public:
    explicit Finally(F f) : f_(std::move(f)) {}
    ~Finally() { f_(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    F f_;
};

// Binds a control to its window and lets it go when the window is destroyed.
struct WindowGlue {
    static void Attach(TControl& control, platform::HWND window);
    static void Detach(TControl& control);
};

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

// What a control's WM_NCCREATE threw while its window was made, once (null: nothing).
std::exception_ptr TakeCreationError();

// Identifiers for child windows, unique among the live ones.
int AllocateControlId(TControl* control);
void ReleaseControlId(int id);
TControl* ControlById(int id);

// The open bounds bracket (TBoundsBracket), as the control sees it. Bounds: true when the
// bracket holds the control's window moves, having taken the control in. Painting: true when
// the bracket's closing draws the control again (it or its parent is inside). Font: true when
// the bracket makes the control's window font at its closing, having taken the control in.
bool HoldBounds(TControl& control);
bool HoldPainting(const TControl& control);
bool HoldFont(TControl& control);
// The control's window is going: the bracket forgets it.
void ReleaseHeld(TControl& control);

// Published-property groups shared by several classes.
const TIdentMap& FontStyleNames();
void AddFontProperties(TPropertyList& list);
// Caption, ParentFont, then the font members.
void AddTextProperties(TPropertyList& list);

// Every TForm alive, in creation order.
std::vector<TForm*>& LiveForms();

} // namespace internal
} // namespace toolkit
