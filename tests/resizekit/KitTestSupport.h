// What the layout tests share: a simulated desktop, an application object, a small form with
// a resize component read from a description, and access to the component's run-time state.
#pragma once

#include "resizekit/ResizeKit.h"

#include "platform/Api.h"
#include "platform/sim/SimDesktop.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

struct TResizeKitTestAccess {
    // Brings a component whose life cycle has not run (the form was read, but Loaded took no
    // snapshot) to the registered state at factor 1.0: reference sizes, densities, records,
    // the entry in ResizeKitList and the interception route of the platform version. A
    // component that Loaded already registered is left as it is.
    static void Prime(TResizeKit& kit) {
        if (kit.FSelfPointer != nullptr) {
            return;
        }
        auto& owner = dynamic_cast<toolkit::TForm&>(*kit.Owner());
        auto& os = platform::Os();
        kit.FOwnerWidth = kit.FDesignFrmW;
        kit.FOwnerHeight = kit.FDesignFrmH;
        kit.FRunDpiW = kit.FRunDpiH = 0;
        platform::HDC dc = os.GetDC(nullptr);
        kit.FRunDpiW = os.GetDeviceCaps(dc, platform::LOGPIXELSX);
        kit.FRunDpiH = os.GetDeviceCaps(dc, platform::LOGPIXELSY);
        os.ReleaseDC(nullptr, dc);
        kit.FSelfPointer = owner.FieldAddress(kit.Name());
        if (kit.FSelfPointer == nullptr) {
            return;
        }
        resizekit::ResizeKitList.push_back(kit.FSelfPointer);
        kit.FOwnerFormName = owner.Name();
        kit.FOwnerHandle = owner.Handle();
        TResizeKit::CopyControlFont(kit.FOwnerFont, owner);
        kit.AddNewControls(0, 0);
        kit.FAddCnt = 0;
        if (resizekit::OsMajorVersion >= 5) {
            kit.lpPrevWndProc = reinterpret_cast<platform::WNDPROC>(
                os.SetWindowLongPtrW(kit.FOwnerHandle, platform::GWLP_WNDPROC,
                                     reinterpret_cast<platform::LONG_PTR>(&ResizeKitWndProc)));
        } else if (resizekit::OsMajorVersion == 4) {
            resizekit::CallWndHook = os.SetWindowsHookExW(
                platform::WH_CALLWNDPROC, &ResizeKitHookProc, nullptr, os.GetCurrentThreadId());
        }
        primed.push_back(&kit);
    }

    // Undoes Prime before the form goes, so that no entry outlives its component.
    static void Unprime() {
        for (TResizeKit* kit : primed) {
            auto& list = resizekit::ResizeKitList;
            list.erase(std::remove(list.begin(), list.end(), kit->FSelfPointer), list.end());
            if (resizekit::CallWndHook != nullptr) {
                platform::Os().UnhookWindowsHookEx(resizekit::CallWndHook);
                resizekit::CallWndHook = nullptr;
            }
        }
        primed.clear();
    }

    static void SetDensities(TResizeKit& kit, int designW, int designH, int runW, int runH) {
        kit.FDesignDpiW = designW;
        kit.FDesignDpiH = designH;
        kit.FRunDpiW = runW;
        kit.FRunDpiH = runH;
    }
    static void SetOwnerSize(TResizeKit& kit, int w, int h) {
        kit.FOwnerWidth = w;
        kit.FOwnerHeight = h;
    }
    static void SetPrevScales(TResizeKit& kit, double x, double y, double f) {
        kit.FPrevScaleX = x;
        kit.FPrevScaleY = y;
        kit.FPrevScaleF = f;
    }
    static void SetIsResized(TResizeKit& kit, bool resized) { kit.FIsResized = resized; }
    static void SetAddCnt(TResizeKit& kit, int count) { kit.FAddCnt = count; }
    static TCtrlList& Ctrls(TResizeKit& kit) { return kit.FCtrls; }
    static TCtrlList& ChildCtrls(TResizeKit& kit) { return kit.FChildCtrls; }
    static toolkit::TFont* OwnerFont(TResizeKit& kit) { return kit.FOwnerFont.get(); }

    static inline std::vector<TResizeKit*> primed;
};

namespace kit_test {

using platform::sim::SimConfig;
using platform::sim::SimDesktop;

// A form that publishes its resize component as "Kit".
class TKitForm : public toolkit::TForm {
public:
    TResizeKit* Kit = nullptr;
    explicit TKitForm(toolkit::TComponent* owner) : toolkit::TForm(owner) {
        PublishField(u"Kit", Kit);
    }
};

// A label line for a description: name, bounds and own font size in points.
inline std::string Label(const std::string& name, int left, int top, int width, int height,
                         int fontSize = 10) {
    return "  object " + name + " : TLabel {\n    Left = " + std::to_string(left) +
           "\n    Top = " + std::to_string(top) + "\n    Width = " + std::to_string(width) +
           "\n    Height = " + std::to_string(height) +
           "\n    AutoSize = false\n    Caption = \"" + name + "\"\n    Font.Size = " +
           std::to_string(fontSize) + "\n    ParentFont = false\n  }\n";
}

// The form: 394 x 385 client at 96 dpi, a 10-point owner font, the given controls and the
// component with the given properties (one "Name = value" per line).
inline std::string FormText(const std::string& controls, const std::string& kitProperties = "") {
    return "object F : TKitForm {\n  ClientWidth = 394\n  ClientHeight = 385\n"
           "  BorderStyle = bsSizeable\n  Font.Name = \"Tahoma\"\n  Font.Size = 10\n" +
           controls + "  object Kit : TResizeKit {\n" + kitProperties +
           "    DesignFrmW = 394\n    DesignFrmH = 385\n    DesignDpiW = 96\n"
           "    DesignDpiH = 96\n  }\n}\n";
}

class KitTest : public ::testing::Test {
protected:
    explicit KitTest(SimConfig config = {}) : desktop_(config), scope_(desktop_) {
        resizekit::RegisterClasses();
        resizekit::LastScreenWidth = 0;
        resizekit::LastScreenHeight = 0;
    }
    ~KitTest() override {
        TResizeKitTestAccess::Unprime();
        form_.reset();
        resizekit::CallWndHook = nullptr;
    }

    // Reads the form and brings its component to the registered state.
    TKitForm& Load(const std::string& text) {
        form_ = std::make_unique<TKitForm>(nullptr);
        form_->LoadDescriptionText(text);
        EXPECT_NE(form_->Kit, nullptr);
        TResizeKitTestAccess::Prime(*form_->Kit);
        return *form_;
    }
    TResizeKit& Kit() { return *form_->Kit; }
    toolkit::TControl& Control(const char16_t* name) {
        return dynamic_cast<toolkit::TControl&>(*form_->FindComponent(name));
    }
    platform::HWND Window() { return form_->Handle(); }
    platform::RECT WindowRect() {
        platform::RECT r{};
        desktop_.GetWindowRect(Window(), &r);
        return r;
    }
    platform::RECT ClientRect() {
        platform::RECT r{};
        desktop_.GetClientRect(Window(), &r);
        return r;
    }

    SimDesktop desktop_;
    platform::ScopedApi scope_;
    toolkit::TApplication app_;
    std::unique_ptr<TKitForm> form_;
};

inline SimConfig WithVersion(platform::DWORD version) {
    SimConfig config;
    config.version = version;
    return config;
}

} // namespace kit_test
