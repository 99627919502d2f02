#include "platform/MessageNames.h"

#include <cstdio>

namespace platform {

std::string MessageName(UINT message) {
    switch (message) {
    case WM_NULL:
        return "WM_NULL";
    case WM_CREATE:
        return "WM_CREATE";
    case WM_DESTROY:
        return "WM_DESTROY";
    case WM_MOVE:
        return "WM_MOVE";
    case WM_SIZE:
        return "WM_SIZE";
    case WM_ACTIVATE:
        return "WM_ACTIVATE";
    case WM_SETFOCUS:
        return "WM_SETFOCUS";
    case WM_KILLFOCUS:
        return "WM_KILLFOCUS";
    case WM_ENABLE:
        return "WM_ENABLE";
    case WM_SETREDRAW:
        return "WM_SETREDRAW";
    case WM_SETTEXT:
        return "WM_SETTEXT";
    case WM_GETTEXT:
        return "WM_GETTEXT";
    case WM_GETTEXTLENGTH:
        return "WM_GETTEXTLENGTH";
    case WM_PAINT:
        return "WM_PAINT";
    case WM_CLOSE:
        return "WM_CLOSE";
    case WM_QUERYOPEN:
        return "WM_QUERYOPEN";
    case WM_QUIT:
        return "WM_QUIT";
    case WM_ERASEBKGND:
        return "WM_ERASEBKGND";
    case WM_SHOWWINDOW:
        return "WM_SHOWWINDOW";
    case WM_ACTIVATEAPP:
        return "WM_ACTIVATEAPP";
    case WM_CHILDACTIVATE:
        return "WM_CHILDACTIVATE";
    case WM_GETMINMAXINFO:
        return "WM_GETMINMAXINFO";
    case WM_DRAWITEM:
        return "WM_DRAWITEM";
    case WM_SETFONT:
        return "WM_SETFONT";
    case WM_GETFONT:
        return "WM_GETFONT";
    case WM_WINDOWPOSCHANGING:
        return "WM_WINDOWPOSCHANGING";
    case WM_WINDOWPOSCHANGED:
        return "WM_WINDOWPOSCHANGED";
    case WM_STYLECHANGING:
        return "WM_STYLECHANGING";
    case WM_STYLECHANGED:
        return "WM_STYLECHANGED";
    case WM_DISPLAYCHANGE:
        return "WM_DISPLAYCHANGE";
    case WM_GETICON:
        return "WM_GETICON";
    case WM_SETICON:
        return "WM_SETICON";
    case WM_NCCREATE:
        return "WM_NCCREATE";
    case WM_NCDESTROY:
        return "WM_NCDESTROY";
    case WM_NCCALCSIZE:
        return "WM_NCCALCSIZE";
    case WM_NCPAINT:
        return "WM_NCPAINT";
    case WM_NCACTIVATE:
        return "WM_NCACTIVATE";
    case WM_GETDLGCODE:
        return "WM_GETDLGCODE";
    case WM_KEYDOWN:
        return "WM_KEYDOWN";
    case WM_KEYUP:
        return "WM_KEYUP";
    case WM_CHAR:
        return "WM_CHAR";
    case WM_SYSKEYDOWN:
        return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP:
        return "WM_SYSKEYUP";
    case WM_SYSCHAR:
        return "WM_SYSCHAR";
    case WM_COMMAND:
        return "WM_COMMAND";
    case WM_SYSCOMMAND:
        return "WM_SYSCOMMAND";
    case WM_CTLCOLORBTN:
        return "WM_CTLCOLORBTN";
    case WM_CTLCOLORSTATIC:
        return "WM_CTLCOLORSTATIC";
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_PARENTNOTIFY:
        return "WM_PARENTNOTIFY";
    case WM_SIZING:
        return "WM_SIZING";
    case WM_ENTERSIZEMOVE:
        return "WM_ENTERSIZEMOVE";
    case WM_EXITSIZEMOVE:
        return "WM_EXITSIZEMOVE";
    case BM_SETSTYLE:
        return "BM_SETSTYLE";
    case BM_CLICK:
        return "BM_CLICK";
    case BM_GETSTATE:
        return "BM_GETSTATE";
    case BM_SETSTATE:
        return "BM_SETSTATE";
    case DM_GETDEFID:
        return "DM_GETDEFID";
    case DM_SETDEFID:
        return "DM_SETDEFID";
    default:
        break;
    }
    if (message >= WM_USER) {
        return "WM_USER+" + std::to_string(message - WM_USER);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", message);
    return hex;
}

} // namespace platform
