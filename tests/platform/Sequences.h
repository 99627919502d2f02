// The messages Windows sends for a call, named once and shared by the tests (as in Wine's
// user32 msg.c). Each lists what reaches the window in question, with how it arrives.
#pragma once

#include "SimFixture.h"

namespace simtest::seq {

// CreateWindowExW of a sizeable top-level window: its limits come before anything else.
inline const Sequence kCreateTopLevel = {
    {WM_GETMINMAXINFO}, {WM_NCCREATE}, {WM_NCCALCSIZE}, {WM_CREATE}};

// CreateWindowExW of a child, and what its parent hears of it.
inline const Sequence kCreateChild = {
    {WM_NCCREATE}, {WM_NCCALCSIZE}, {WM_CREATE}, {WM_SIZE}, {WM_MOVE}};
inline const Sequence kChildCreatedToParent = {{platform::WM_PARENTNOTIFY}};

// ShowWindow(SW_SHOWNORMAL) of a new top-level window: activation inside the position change,
// then the size and the move.
inline const Sequence kFirstShow = {{WM_SHOWWINDOW},  {WM_WINDOWPOSCHANGING},
                                    {WM_ACTIVATEAPP}, {platform::WM_NCACTIVATE},
                                    {WM_ACTIVATE},    {WM_SETFOCUS},
                                    {WM_NCPAINT},     {WM_WINDOWPOSCHANGED},
                                    {WM_SIZE},        {WM_MOVE}};

// MoveWindow that moves and resizes; that only moves; that changes nothing.
inline const Sequence kMoveAndResize = {
    {WM_WINDOWPOSCHANGING}, {WM_GETMINMAXINFO}, {WM_NCCALCSIZE}, {WM_NCPAINT},
    {WM_WINDOWPOSCHANGED},  {WM_MOVE},          {WM_SIZE}};
inline const Sequence kMoveOnly = {
    {WM_WINDOWPOSCHANGING}, {WM_GETMINMAXINFO}, {WM_WINDOWPOSCHANGED}, {WM_MOVE}};
inline const Sequence kMoveToSamePlace = {{WM_WINDOWPOSCHANGING}, {WM_GETMINMAXINFO}};

// EnableWindow(FALSE) of the focused window.
inline const Sequence kDisableFocused = {{WM_KILLFOCUS}, {WM_ENABLE}};

// The user drags a border: the loop's brackets around WM_SIZING (the moves left out).
inline const Sequence kBorderDrag = {
    {platform::WM_ENTERSIZEMOVE}, {WM_SIZING}, {platform::WM_EXITSIZEMOVE}};
inline const std::vector<UINT> kMoveMessages = {
    WM_GETMINMAXINFO, WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_NCPAINT, WM_WINDOWPOSCHANGED, WM_MOVE,
    WM_SIZE};

// The screen size changes: every top-level window hears of it, a shown one repaints its frame.
inline const Sequence kDisplayChangeShown = {{platform::WM_DISPLAYCHANGE}, {WM_NCPAINT}};
inline const Sequence kDisplayChangeHidden = {{platform::WM_DISPLAYCHANGE}};

} // namespace simtest::seq
