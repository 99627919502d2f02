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
#include <ostream>
#include <string>

struct TResizeKitTestAccess {
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
    static void SetIsResized(TResizeKit& kit, bool resized) { kit.FIsResized = resized; }
    static void SetAddCnt(TResizeKit& kit, int count) { kit.FAddCnt = count; }
    static TCtrlList& Ctrls(TResizeKit& kit) { return kit.FCtrls; }
};

namespace kit_test {

using platform::sim::SimConfig;
using platform::sim::SimDesktop;

// What the layout tests compare of a control: its bounds and its font size.
struct Geometry {
    int left, top, width, height, font;
    bool operator==(const Geometry&) const = default;
};

inline void PrintTo(const Geometry& g, std::ostream* os) {
    *os << "{" << g.left << ", " << g.top << ", " << g.width << ", " << g.height << ", font "
        << g.font << "}";
}

inline Geometry Of(const toolkit::TControl& c) {
    return {c.Left(), c.Top(), c.Width(), c.Height(), c.Font().Size()};
}

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
        form_.reset();
        resizekit::CallWndHook = nullptr;
    }

    // Reads the form; its component registers itself when loading ends.
    TKitForm& Load(const std::string& text) {
        form_ = std::make_unique<TKitForm>(nullptr);
        form_->LoadDescriptionText(text);
        EXPECT_NE(form_->Kit, nullptr);
        EXPECT_EQ(std::count(resizekit::ResizeKitList.begin(), resizekit::ResizeKitList.end(),
                             form_->Kit->SelfPointer()),
                  1);
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
