// The resize component's life cycle on the simulated desktop: the snapshot and density
// adaptation when a description has been read, the interception switch on every platform
// route, and destruction.
#include "resizekit/ResizeKit.h"

#include "LauncherTestSupport.h"
#include "tests/MainFormLayout.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using launcher_test::Config;
using launcher_test::LauncherTest;
using platform::sim::HandleKind;
using platform::sim::SimConfig;
using platform::sim::SimDesktop;

using Geometry = std::tuple<int, int, int, int>;

Geometry GeometryOf(const toolkit::TControl& control) {
    return {control.Left(), control.Top(), control.Width(), control.Height()};
}
Geometry ReferenceOf(const TCtrlInfo& record) {
    return {record.Left, record.Top, record.Width, record.Height};
}
Geometry OldOf(const TCtrlInfo& record) {
    return {record.OldLeft, record.OldTop, record.OldWidth, record.OldHeight};
}

std::vector<std::u16string> NamesOf(const TCtrlList& list) {
    std::vector<std::u16string> names;
    for (int i = 0; i < list.Count(); ++i) {
        names.push_back(list.Items(i)->Name);
    }
    return names;
}

SimConfig AtDensity(int dpi, platform::DWORD version = 0x1DB10106, int dpiY = 0) {
    SimConfig config = Config();
    config.dpiX = dpi;
    config.dpiY = dpiY != 0 ? dpiY : dpi;
    config.version = version;
    return config;
}

// MainForm's description with extra lines for ResizeKit1.
std::string MainFormWithKitLines(const std::string& lines) {
    std::string text = launcher_test::MainFormDescription();
    const std::string anchor = "    ValidTaskbar = true\n";
    const auto at = text.find(anchor);
    EXPECT_NE(at, std::string::npos);
    return text.insert(at + anchor.size(), lines);
}

// ---- The launcher's window ------------------------------------------------------------------

class MainFormSnapshot : public LauncherTest {
protected:
    TResizeKit& Open(SimConfig config, std::optional<std::string> description = std::nullopt) {
        if (description) {
            Start(std::move(config), *description);
        } else {
            Start(std::move(config));
        }
        WriteFile(u"Setup.ini", launcher_test::kGoodSetupIni);
        App().CreateForm(MainForm);
        EXPECT_NE(MainForm->ResizeKit1, nullptr);
        return *MainForm->ResizeKit1;
    }
    // The height of the font the control's window was given, in pixels.
    int WindowFontHeight(toolkit::TControl* control) {
        auto font = Desktop().FontOf(control->Handle());
        return font ? font->lfHeight : 0;
    }
};

std::u16string Wide(const char* ascii) {
    return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

std::vector<std::u16string> MainFormControlNames() {
    std::vector<std::u16string> names;
    for (const tests::ControlLayout& c : tests::kMainFormControls) {
        names.push_back(Wide(c.name));
    }
    return names;
}

TEST_F(MainFormSnapshot, AtItsDesignDensityRecordsEverythingAndMovesNothing) {
    TResizeKit& kit = Open(AtDensity(96));
    EXPECT_EQ(NamesOf(kit.Ctrls()), MainFormControlNames());
    EXPECT_EQ(kit.ChildCtrls().Count(), 0);
    EXPECT_EQ(kit.CtlCnt(), 9) << "the component itself counts but has no record";
    EXPECT_EQ(kit.ChildCtlCnt(), 0);
    EXPECT_EQ(kit.OwnerWidth(), 394);
    EXPECT_EQ(kit.OwnerHeight(), 385);
    EXPECT_EQ(kit.OwnerFormName(), u"MainForm");
    EXPECT_EQ(kit.OwnerHandle(), MainForm->Handle());
    EXPECT_EQ(kit.RunDpiW(), 96);
    EXPECT_EQ(kit.RunDpiH(), 96);

    const TCtrlInfo* image = kit.Ctrls().Find(u"Image1");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Font, nullptr) << "a picture publishes no font";
    EXPECT_TRUE(image->ParentFont);
    EXPECT_TRUE(image->OrgParentFont);

    // Every control as described, font heights included.
    for (const tests::ControlLayout& c : tests::kMainFormControls) {
        SCOPED_TRACE(c.name);
        const auto* control =
            dynamic_cast<const toolkit::TControl*>(MainForm->FindComponent(Wide(c.name)));
        ASSERT_NE(control, nullptr);
        const Geometry geometry{c.left, c.top, c.width, c.height};
        EXPECT_EQ(GeometryOf(*control), geometry);
        const TCtrlInfo* record = kit.Ctrls().Find(control->Name());
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(ReferenceOf(*record), geometry);
        EXPECT_EQ(OldOf(*record), geometry);
        EXPECT_EQ(record->ChildCtlCnt, 0);
        EXPECT_TRUE(record->ParentName.empty());
    }
    EXPECT_EQ(MainForm->LabelTitle->Font().Height(), -27);
    EXPECT_EQ(MainForm->BtnInstall->Font().Height(), -20);
    EXPECT_EQ(MainForm->Font().Height(), -13);
    EXPECT_EQ(kit.Ctrls().Find(u"LabelTitle")->OldFontSize, 20);
}

struct DensityCase {
    int dpi;            // horizontal
    int dpiY;           // vertical: also the density fonts are made at
    Geometry title;     // LabelTitle after loading
    int titlePoints;    // its font size
    Geometry install;   // BtnInstall after loading
    int installPoints;
    Geometry image;     // Image1 after loading
    int ownerPoints;    // the window's font
};

void PrintTo(const DensityCase& c, std::ostream* os) {
    *os << c.dpi << " x " << c.dpiY << " dpi";
}

class MainFormDensity : public MainFormSnapshot,
                        public ::testing::WithParamInterface<DensityCase> {};

// Geometry by the rounding rule with ratio 96 / dpi in each direction; fonts from the size the
// description's height gives at the vertical density, adapted with the horizontal ratio.
TEST_P(MainFormDensity, ControlsAndFontsAreAdaptedAndTheWindowKeepsItsSize) {
    const DensityCase& c = GetParam();
    TResizeKit& kit = Open(AtDensity(c.dpi, 0x1DB10106, c.dpiY));

    EXPECT_EQ(GeometryOf(*MainForm->LabelTitle), c.title);
    EXPECT_EQ(MainForm->LabelTitle->Font().Size(), c.titlePoints);
    EXPECT_EQ(GeometryOf(*MainForm->BtnInstall), c.install);
    EXPECT_EQ(MainForm->BtnInstall->Font().Size(), c.installPoints);
    EXPECT_EQ(GeometryOf(*MainForm->Image1), c.image);
    EXPECT_EQ(MainForm->Font().Size(), c.ownerPoints);
    // What the windows themselves got.
    EXPECT_EQ(WindowFontHeight(MainForm->LabelTitle), -toolkit::MulDiv(c.titlePoints, c.dpiY, 72));
    platform::RECT r{};
    Desktop().GetClientRect(MainForm->LabelTitle->Handle(), &r);
    EXPECT_EQ(r.right, std::get<2>(c.title));
    EXPECT_EQ(r.bottom, std::get<3>(c.title));

    // The reference geometry is the adapted one, and so are the recorded fonts.
    const TCtrlInfo* title = kit.Ctrls().Find(u"LabelTitle");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(ReferenceOf(*title), c.title);
    EXPECT_EQ(OldOf(*title), c.title);
    ASSERT_NE(title->Font, nullptr);
    EXPECT_EQ(title->Font->Size(), c.titlePoints);
    EXPECT_EQ(title->OldFontSize, c.titlePoints);
    EXPECT_FALSE(title->ParentFont);
    ASSERT_NE(kit.OwnerFont(), nullptr);
    EXPECT_EQ(kit.OwnerFont()->Size(), c.ownerPoints);

    // Loading leaves the window's own size to the first showing.
    EXPECT_EQ(MainForm->ClientWidth(), 394);
    EXPECT_EQ(MainForm->ClientHeight(), 385);
    EXPECT_EQ(kit.OwnerWidth(), 394);
    EXPECT_EQ(kit.RunDpiW(), c.dpi);
    EXPECT_EQ(kit.RunDpiH(), c.dpiY);
}

INSTANTIATE_TEST_SUITE_P(
    Densities, MainFormDensity,
    ::testing::Values(
        // 16 points at 120 dpi become 20; 88 / 0.8 = 110, 31 / 0.8 + 0.5 = 39.25.
        DensityCase{120, 120, {110, 40, 331, 39}, 20, {44, 378, 175, 61}, 15, {9, 8, 33, 29},
                    10},
        // 14 points at 144 dpi become 21; 265 * 1.5 + 0.5 = 398.
        DensityCase{144, 144, {132, 48, 398, 47}, 21, {53, 453, 210, 74}, 15, {11, 9, 39, 35},
                    11},
        // 120 across, 96 down: positions and widths follow 0.8, tops and heights stay, and
        // fonts follow the horizontal ratio: 20 points (27 pixels at 96) become 25, the
        // window's 10 (13 pixels) become 13; with the vertical ratio they would stay.
        DensityCase{120, 96, {110, 32, 331, 31}, 25, {44, 302, 175, 49}, 19, {9, 6, 33, 23},
                    13}),
    [](const auto& info) {
        return std::to_string(info.param.dpi) + "x" + std::to_string(info.param.dpiY) + "dpi";
    });

TEST_F(MainFormSnapshot, NameListsDecideWhatIsRecordedNotWhatIsAdaptedAtLoad) {
    {
        SCOPED_TRACE("NoResizeCtl names Image1");
        TResizeKit& kit = Open(AtDensity(120), MainFormWithKitLines("    NoResizeCtl = \"image1\"\n"));
        EXPECT_EQ(kit.Ctrls().Find(u"Image1"), nullptr);
        EXPECT_EQ(kit.Ctrls().Count(), 7);
        EXPECT_EQ(GeometryOf(*MainForm->Image1), (Geometry{7, 6, 26, 23})) << "left alone";
        EXPECT_EQ(kit.CtlCnt(), 9) << "still counted";
        EXPECT_EQ(GeometryOf(*MainForm->LabelTitle), (Geometry{110, 40, 331, 39}));
        TearDown();
    }
    {
        SCOPED_TRACE("NoResizeFntCtl names LabelTitle");
        TResizeKit& kit =
            Open(AtDensity(120), MainFormWithKitLines("    NoResizeFntCtl = \"LabelTitle\"\n"));
        EXPECT_EQ(MainForm->LabelTitle->Font().Size(), 20) << "adapted at load all the same";
        EXPECT_EQ(kit.Ctrls().Count(), 8);
    }
}

TEST_F(MainFormSnapshot, IsRegisteredThroughItsPublishedFieldAndTakesOverTheWindow) {
    TResizeKit& kit = Open(AtDensity(96));
    ASSERT_NE(kit.SelfPointer(), nullptr);
    EXPECT_EQ(kit.SelfPointer()->Name(), u"ResizeKit1");
    EXPECT_EQ(kit.SelfPointer()->Get(), &kit);
    EXPECT_EQ(resizekit::ResizeKitList, std::vector<toolkit::PublishedField*>{kit.SelfPointer()});
    EXPECT_EQ(FindKitForWindow(MainForm->Handle()), &kit);
    EXPECT_EQ(FindKitForWindow(MainForm->BtnInstall->Handle()), nullptr);
    EXPECT_FALSE(MainForm->Scaled()) << "the component alone adapts the layout";
    // Major version 6: the window procedure is replaced, no hook.
    EXPECT_NE(kit.PrevWndProc(), nullptr);
    EXPECT_EQ(Desktop().GetWindowLongPtrW(MainForm->Handle(), platform::GWLP_WNDPROC),
              reinterpret_cast<platform::LONG_PTR>(&ResizeKitWndProc));
    EXPECT_EQ(resizekit::CallWndHook, nullptr);
    EXPECT_TRUE(Desktop().Ledger().Outstanding(HandleKind::Hook).empty());
    // Messages still reach the window's own handling through the replacement.
    Desktop().SendMessageW(MainForm->Handle(), platform::WM_SETTEXT, 0,
                           reinterpret_cast<platform::LPARAM>(u"Through"));
    EXPECT_EQ(Desktop().TextOf(MainForm->Handle()), u"Through");
}

TEST_F(MainFormSnapshot, DestructionReleasesEverythingAndUnregisters) {
    Open(AtDensity(120));
    // The application takes its forms with it; TearDown checks that the ledger is clean.
    TearDown();
    EXPECT_TRUE(resizekit::ResizeKitList.empty());
    EXPECT_EQ(resizekit::CallWndHook, nullptr);
}

// ---- Forms of other shapes ---------------------------------------------------------------

class TLifeForm : public toolkit::TForm {
public:
    TResizeKit* ResizeKit1 = nullptr;
    toolkit::TLabel* Title = nullptr;
    toolkit::TFrame* Panel = nullptr;
    toolkit::TLabel* Holder = nullptr;
    // Runs when the form's loading ends, before its components' own Loaded.
    std::function<void(TLifeForm&)> onLoaded;
    std::vector<std::tuple<toolkit::TObject*, double, double>> exits;

    explicit TLifeForm(toolkit::TComponent* owner) : toolkit::TForm(owner) {
        PublishField(u"ResizeKit1", ResizeKit1);
        PublishField(u"Title", Title);
        PublishField(u"Panel", Panel);
        PublishField(u"Holder", Holder);
        PublishMethod(u"KitExitResize", &TLifeForm::KitExitResize);
        PublishMethod(u"FormShow", &TLifeForm::FormShow);
    }
    void KitExitResize(toolkit::TObject* Sender, double XScale, double YScale) {
        exits.emplace_back(Sender, XScale, YScale);
    }
    void FormShow(toolkit::TObject* /*Sender*/) {}
    void Loaded() override {
        toolkit::TForm::Loaded();
        if (onLoaded) {
            onLoaded(*this);
        }
    }
};

// A form with one label; `form` and `kit` are spliced into the description.
std::string LifeForm(const std::string& form, const std::string& kit,
                     const std::string& kitName = "ResizeKit1") {
    return "object F : TLifeForm {\n  ClientWidth = 400\n  ClientHeight = 300\n" + form +
           "  object Title : TLabel {\n    Left = 40\n    Top = 20\n    Width = 200\n"
           "    Height = 30\n    Font.Height = -20\n    ParentFont = false\n  }\n"
           "  object " + kitName + " : TResizeKit {\n" + kit + "  }\n}\n";
}

const Geometry kTitleDesigned{40, 20, 200, 30};
const Geometry kTitleAt120{50, 25, 250, 38};

const std::string kDesign96 = "    DesignFrmW = 400\n    DesignFrmH = 300\n"
                              "    DesignDpiW = 96\n    DesignDpiH = 96\n";

class ShapedForms : public ::testing::Test {
public:
    void Start(SimConfig config) {
        form_.reset();
        app_.reset();
        api_.reset();
        desktop_.emplace(std::move(config));
        api_.emplace(*desktop_);
        app_.emplace();
        resizekit::RegisterClasses();
        toolkit::RegisterComponentClass<TLifeForm>(u"TLifeForm");
    }
    ShapedForms() { Start(AtDensity(120)); }
    ~ShapedForms() override {
        form_.reset();
        app_.reset();
        api_.reset();
    }

    TLifeForm& Load(const std::string& text, std::function<void(TLifeForm&)> onLoaded = {}) {
        form_ = std::make_unique<TLifeForm>(nullptr);
        form_->onLoaded = std::move(onLoaded);
        form_->LoadDescriptionText(text);
        return *form_;
    }
    // Destroys the form and its components, then checks that nothing is left over.
    void DestroyAndCheckLedger() {
        form_.reset();
        EXPECT_TRUE(resizekit::ResizeKitList.empty());
        EXPECT_EQ(resizekit::CallWndHook, nullptr);
        EXPECT_TRUE(desktop_->Ledger().Outstanding().empty()) << desktop_->Ledger().Report();
        EXPECT_TRUE(desktop_->Ledger().Faults().empty()) << desktop_->Ledger().Report();
    }
    platform::LONG_PTR ProcOf(platform::HWND window) {
        return desktop_->GetWindowLongPtrW(window, platform::GWLP_WNDPROC);
    }

    std::optional<SimDesktop> desktop_;
    std::optional<platform::ScopedApi> api_;
    std::optional<toolkit::TApplication> app_;
    std::unique_ptr<TLifeForm> form_;
};

struct BorderCase {
    const char* what;
    std::string form;
    std::string kit;
    bool geometryAdapted;
};

// Fonts always follow the horizontal ratio; geometry only where the border style allows.
TEST_F(ShapedForms, BorderStyleAndStateDecideWhetherGeometryIsAdapted) {
    const std::vector<BorderCase> cases = {
        {"sizeable", "", "", true},
        {"dialog without a size", "  BorderStyle = bsDialog\n", "", false},
        {"dialog with a size", "  BorderStyle = bsDialog\n",
         "    FormWidth = 500\n    FormHeight = 400\n", true},
        {"dialog with a width only", "  BorderStyle = bsDialog\n", "    FormWidth = 500\n", true},
        {"borderless", "  BorderStyle = bsNone\n", "", false},
        {"borderless maximised", "  BorderStyle = bsNone\n  WindowState = wsMaximized\n", "",
         true},
        {"dialog maximised", "  BorderStyle = bsDialog\n  WindowState = wsMaximized\n", "",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TLifeForm& form = Load(LifeForm(c.form, c.kit + kDesign96));
        EXPECT_EQ(GeometryOf(*form.Title),
                  c.geometryAdapted ? kTitleAt120 : kTitleDesigned);
        EXPECT_EQ(form.Title->Font().Size(), 15) << "12 points at 120 dpi, adapted";
        EXPECT_EQ(ReferenceOf(*form.ResizeKit1->Ctrls().Find(u"Title")), GeometryOf(*form.Title));
        DestroyAndCheckLedger();
    }
}

TEST_F(ShapedForms, FramesAreRecordedOneLevelDeepAndEveryOwnerCounts) {
    const std::string frame =
        "  object Panel : TFrame {\n    Left = 8\n    Top = 100\n    Width = 300\n"
        "    Height = 120\n"
        "    object A : TLabel {\n      Left = 8\n      Top = 8\n      Width = 80\n"
        "      Height = 16\n    }\n"
        "    object B : TLabel {\n      Left = 8\n      Top = 40\n      Width = 80\n"
        "      Height = 16\n    }\n"
        "    object C : TLabel {\n      Left = 8\n      Top = 72\n      Width = 80\n"
        "      Height = 16\n    }\n  }\n"
        "  object Holder : TLabel {\n    Left = 300\n    Top = 8\n    Width = 40\n"
        "    Height = 16\n  }\n";
    // A component that is no frame owns two; they are counted but never recorded.
    TLifeForm& form = Load(LifeForm(frame, "    NoResizeCtl = \"b\"\n" + kDesign96),
                           [](TLifeForm& f) {
                               new toolkit::TComponent(f.Holder);
                               auto* label = new toolkit::TLabel(f.Holder);
                               label->SetName(u"Inner");
                           });
    const TResizeKit& kit = *form.ResizeKit1;
    EXPECT_EQ(NamesOf(kit.Ctrls()), (std::vector<std::u16string>{u"Panel", u"Holder", u"Title"}));
    EXPECT_EQ(kit.Ctrls().Find(u"Panel")->ChildCtlCnt, 3);
    EXPECT_EQ(kit.Ctrls().Find(u"Holder")->ChildCtlCnt, 0);
    EXPECT_EQ(NamesOf(kit.ChildCtrls()), (std::vector<std::u16string>{u"A", u"C"}));
    for (int i = 0; i < kit.ChildCtrls().Count(); ++i) {
        EXPECT_EQ(kit.ChildCtrls().Items(i)->ParentName, u"Panel");
        EXPECT_EQ(kit.ChildCtrls().Items(i)->ChildCtlCnt, 0);
    }
    EXPECT_EQ(kit.CtlCnt(), 4);
    EXPECT_EQ(kit.ChildCtlCnt(), 5) << "three of the frame and two of the label";

    // The frame's own controls are adapted inside it; the excluded one is left alone.
    auto* a = dynamic_cast<toolkit::TControl*>(form.Panel->FindComponent(u"A"));
    auto* b = dynamic_cast<toolkit::TControl*>(form.Panel->FindComponent(u"B"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GeometryOf(*form.Panel), (Geometry{10, 125, 375, 150}));
    EXPECT_EQ(GeometryOf(*a), (Geometry{10, 10, 100, 20}));
    EXPECT_EQ(ReferenceOf(*kit.ChildCtrls().FindChild(u"Panel", u"A")), (Geometry{10, 10, 100, 20}));
    EXPECT_EQ(GeometryOf(*b), (Geometry{8, 40, 80, 16}));
    // A label that takes its parent's font records the frame's, itself taken from the adapted
    // window font.
    const TCtrlInfo* ra = kit.ChildCtrls().FindChild(u"Panel", u"A");
    ASSERT_NE(ra->Font, nullptr);
    EXPECT_TRUE(ra->ParentFont);
    // The form's 8 points adapted to 120 dpi: 10.
    EXPECT_EQ(form.Font().Size(), 10);
    EXPECT_EQ(ra->Font->Size(), 10);
    EXPECT_EQ(kit.OwnerFont()->Size(), 10);
    DestroyAndCheckLedger();
}

TEST_F(ShapedForms, MissingDesignValuesTakeTheDesignAsItStands) {
    // No design densities: ratio 1.0 whatever the screen; no design size: the client size.
    TLifeForm& form = Load(LifeForm("", ""));
    const TResizeKit& kit = *form.ResizeKit1;
    EXPECT_EQ(GeometryOf(*form.Title), (Geometry{40, 20, 200, 30}));
    EXPECT_EQ(form.Title->Font().Height(), -20);
    EXPECT_EQ(kit.OwnerWidth(), 400);
    EXPECT_EQ(kit.OwnerHeight(), 300);
    EXPECT_EQ(kit.RunDpiW(), 120);
    DestroyAndCheckLedger();

    // One of the two missing: only that direction keeps its design.
    TLifeForm& half = Load(LifeForm("", "    DesignDpiW = 96\n"));
    EXPECT_EQ(GeometryOf(*half.Title), (Geometry{50, 20, 250, 30}));
    DestroyAndCheckLedger();
}

// Unregistered instances take their densities and reference size, record nothing at load and
// never take over the window; only the run-time walks, asked for, record.
TEST_F(ShapedForms, AnInstanceWithoutItsFieldOrLoadingNeverTakesOverTheWindow) {
    struct Case {
        const char* what;
        std::function<TResizeKit*(ShapedForms&)> make;
        bool titleAdapted; // by another, registered instance
    };
    const std::vector<Case> cases = {
        {"named unlike any member",
         [](ShapedForms& t) {
             TLifeForm& f = t.Load(LifeForm("", kDesign96, "Other"));
             return dynamic_cast<TResizeKit*>(f.FindComponent(u"Other"));
         },
         false},
        {"created by the application",
         [](ShapedForms& t) {
             TLifeForm& f = t.Load(LifeForm("", kDesign96, "ResizeKit1"));
             auto* kit = new TResizeKit(&f);
             kit->SetName(u"Later");
             return kit;
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TResizeKit* kit = c.make(*this);
        ASSERT_NE(kit, nullptr);
        const platform::HWND window = form_->Handle();
        const auto proc = ProcOf(window);
        EXPECT_EQ(kit->SelfPointer(), nullptr);
        EXPECT_EQ(kit->Ctrls().Count(), 0);
        EXPECT_EQ(kit->OwnerHandle(), nullptr);
        EXPECT_EQ(kit->PrevWndProc(), nullptr);
        EXPECT_EQ(kit->RunDpiW(), c.titleAdapted ? 0 : 120) << "only loading reads it";
        EXPECT_EQ(GeometryOf(*form_->Title),
                  c.titleAdapted ? kTitleAt120 : kTitleDesigned);
        EXPECT_EQ(std::count(resizekit::ResizeKitList.begin(), resizekit::ResizeKitList.end(),
                             kit->SelfPointer()),
                  0);
        // The run-time walks run all the same: they record what the owner has now.
        auto* late = new toolkit::TLabel(form_.get());
        late->SetParent(form_.get());
        kit->DynamicAdd();
        EXPECT_EQ(late->Name(), u"RKitAdd0002") << "the second control it recorded";
        EXPECT_NE(kit->Ctrls().Find(u"Title"), nullptr);
        EXPECT_NE(kit->Ctrls().Find(late->Name()), nullptr);
        EXPECT_EQ(kit->CtlCnt(), form_->ComponentCount());
        delete late;
        kit->DynamicDelete();
        EXPECT_EQ(kit->Ctrls().Count(), 1);
        EXPECT_EQ(kit->CtlCnt(), form_->ComponentCount());
        // Enabled True after False on an unregistered instance replaces nothing.
        kit->SetEnabled(false);
        kit->SetEnabled(true);
        EXPECT_EQ(kit->PrevWndProc(), nullptr);
        EXPECT_EQ(ProcOf(window), proc);
        DestroyAndCheckLedger();
    }
}

TEST_F(ShapedForms, EnabledFalseInTheDescriptionStillReplacesThenSwitchesTheReplacement) {
    TLifeForm& form = Load(LifeForm("", "    Enabled = false\n" + kDesign96));
    TResizeKit& kit = *form.ResizeKit1;
    const platform::HWND window = form.Handle();
    EXPECT_FALSE(kit.Enabled());
    const platform::WNDPROC previous = kit.PrevWndProc();
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(ProcOf(window), reinterpret_cast<platform::LONG_PTR>(&ResizeKitWndProc));

    kit.SetEnabled(true); // only makes the replacement active
    EXPECT_EQ(kit.PrevWndProc(), previous);
    EXPECT_EQ(ProcOf(window), reinterpret_cast<platform::LONG_PTR>(&ResizeKitWndProc));

    kit.SetEnabled(false); // puts the previous procedure back
    EXPECT_EQ(kit.PrevWndProc(), nullptr);
    EXPECT_EQ(ProcOf(window), reinterpret_cast<platform::LONG_PTR>(previous));

    kit.SetEnabled(false); // nothing to do
    EXPECT_EQ(ProcOf(window), reinterpret_cast<platform::LONG_PTR>(previous));

    kit.SetEnabled(true); // replaces it again
    EXPECT_EQ(kit.PrevWndProc(), previous);
    EXPECT_EQ(ProcOf(window), reinterpret_cast<platform::LONG_PTR>(&ResizeKitWndProc));
    DestroyAndCheckLedger();
}

TEST_F(ShapedForms, DestroyedBeforeItsWindowItPutsThePreviousProcedureBack) {
    TLifeForm& form = Load(LifeForm("", kDesign96));
    const platform::HWND window = form.Handle();
    const platform::WNDPROC previous = form.ResizeKit1->PrevWndProc();
    delete form.ResizeKit1;
    EXPECT_EQ(form.ResizeKit1, nullptr) << "the form forgets a component that is gone";
    EXPECT_TRUE(resizekit::ResizeKitList.empty());
    EXPECT_EQ(ProcOf(window), reinterpret_cast<platform::LONG_PTR>(previous));
    // The window goes on working without it.
    desktop_->SendMessageW(window, platform::WM_SETTEXT, 0,
                           reinterpret_cast<platform::LPARAM>(u"Alone"));
    EXPECT_EQ(desktop_->TextOf(window), u"Alone");
    DestroyAndCheckLedger();
}

TEST_F(ShapedForms, APlatformVersionChoosesTheRouteOfInterception) {
    struct Case {
        platform::DWORD version;
        int hooks;
        bool replaced;
    };
    for (const Case& c : {Case{0x00000003, 0, false}, Case{0x05650004, 1, false},
                          Case{0x0A280005, 0, true}, Case{0x23F00206, 0, true}}) {
        SCOPED_TRACE(c.version);
        Start(AtDensity(96, c.version));
        TLifeForm& form = Load(LifeForm("", kDesign96));
        EXPECT_EQ(static_cast<int>(desktop_->Ledger().Outstanding(HandleKind::Hook).size()),
                  c.hooks);
        EXPECT_EQ(resizekit::CallWndHook != nullptr, c.hooks > 0);
        EXPECT_EQ(form.ResizeKit1->PrevWndProc() != nullptr, c.replaced);
        EXPECT_EQ(ProcOf(form.Handle()) == reinterpret_cast<platform::LONG_PTR>(&ResizeKitWndProc),
                  c.replaced);
        EXPECT_EQ(form.ResizeKit1->Ctrls().Count(), 1) << "recorded on every platform";
        DestroyAndCheckLedger();
    }
}

TEST_F(ShapedForms, OnTheHookRouteEveryInstanceHasItsOwnHookAndTheLastIsKept) {
    Start(AtDensity(96, 0x05650004));
    auto first = std::make_unique<TResizeKit>(nullptr);
    const platform::HHOOK firstHook = resizekit::CallWndHook;
    auto second = std::make_unique<TResizeKit>(nullptr);
    const platform::HHOOK secondHook = resizekit::CallWndHook;
    EXPECT_NE(firstHook, nullptr);
    EXPECT_NE(secondHook, firstHook);
    EXPECT_EQ(desktop_->Ledger().Outstanding(HandleKind::Hook).size(), 2u);

    // Disabling removes the instance's hook, enabling installs a new one.
    second->SetEnabled(false);
    EXPECT_FALSE(desktop_->Ledger().IsOutstanding(secondHook));
    EXPECT_EQ(resizekit::CallWndHook, firstHook) << "the most recent hook still installed";
    second->SetEnabled(true);
    EXPECT_NE(resizekit::CallWndHook, nullptr);
    EXPECT_NE(resizekit::CallWndHook, firstHook);
    EXPECT_EQ(desktop_->Ledger().Outstanding(HandleKind::Hook).size(), 2u);

    // Each hook goes once, whichever instance goes first.
    first.reset();
    EXPECT_FALSE(desktop_->Ledger().IsOutstanding(firstHook));
    EXPECT_NE(resizekit::CallWndHook, nullptr);
    second.reset();
    EXPECT_EQ(resizekit::CallWndHook, nullptr);
    EXPECT_TRUE(desktop_->Ledger().Outstanding().empty()) << desktop_->Ledger().Report();
    EXPECT_TRUE(desktop_->Ledger().Faults().empty()) << desktop_->Ledger().Report();
}

std::vector<int> earlierHookCodes;
platform::LRESULT PLATFORM_CALLBACK EarlierHook(int code, platform::WPARAM,
                                                platform::LPARAM) noexcept {
    earlierHookCodes.push_back(code);
    return 42;
}

TEST_F(ShapedForms, TheHookPassesMessagesByAndKeepsNegativeCodesOnTheChain) {
    Start(AtDensity(96, 0x05650004));
    const platform::HHOOK earlier = desktop_->SetWindowsHookExW(
        platform::WH_CALLWNDPROC, &EarlierHook, nullptr, desktop_->GetCurrentThreadId());
    ASSERT_NE(earlier, nullptr);
    TLifeForm& form = Load(LifeForm("", kDesign96));
    // A negative code from the system goes down the chain and its answer comes back.
    earlierHookCodes.clear();
    EXPECT_EQ(desktop_->CallHooks(-1, 0, 0), 42);
    EXPECT_EQ(desktop_->CallHooks(-3, 0, 0), 42);
    EXPECT_EQ(earlierHookCodes, (std::vector<int>{-1, -3}));
    earlierHookCodes.clear();
    platform::CWPSTRUCT message{0, 0, platform::WM_SETTEXT, form.Handle()};
    EXPECT_EQ(ResizeKitHookProc(platform::HC_ACTION, 0, reinterpret_cast<platform::LPARAM>(&message)),
              0);
    EXPECT_EQ(ResizeKitHookProc(1, 0, 0), 0);
    // The window still gets what is sent to it with the hook in place.
    desktop_->SendMessageW(form.Handle(), platform::WM_SETTEXT, 0,
                           reinterpret_cast<platform::LPARAM>(u"Hooked"));
    EXPECT_EQ(desktop_->TextOf(form.Handle()), u"Hooked");
    EXPECT_TRUE(earlierHookCodes.empty()) << "HC_ACTION stays with the component's hook";
    desktop_->UnhookWindowsHookEx(earlier);
    DestroyAndCheckLedger();
}

TEST_F(ShapedForms, OnExitResizeIsStoredByItsHandlersName) {
    TLifeForm& form = Load(LifeForm("", "    OnExitResize = KitExitResize\n" + kDesign96));
    const TExitResizeEvent& handler = form.ResizeKit1->OnExitResize();
    ASSERT_TRUE(handler);
    EXPECT_EQ(handler.MethodName(), u"KitExitResize");
    handler(form.ResizeKit1, 1.25, 0.5);
    ASSERT_EQ(form.exits.size(), 1u);
    EXPECT_EQ(form.exits[0], std::make_tuple(static_cast<toolkit::TObject*>(form.ResizeKit1), 1.25, 0.5));

    // Written back by name, after the other properties, and read again from what was written.
    const std::string written = form.WriteDescription();
    const auto at = written.find("OnExitResize = KitExitResize");
    ASSERT_NE(at, std::string::npos) << written;
    EXPECT_LT(written.find("ValidTaskbar"), at);
    EXPECT_LT(at, written.find("DesignFrmW"));
    DestroyAndCheckLedger();
    TLifeForm& again = Load(written);
    EXPECT_EQ(again.ResizeKit1->OnExitResize().MethodName(), u"KitExitResize");
    DestroyAndCheckLedger();

    // A handler set from code is not written; one named for a method of another kind, or for
    // none, is an error of the description.
    TLifeForm& fromCode = Load(LifeForm("", kDesign96));
    fromCode.ResizeKit1->SetOnExitResize([](toolkit::TObject*, double, double) {});
    EXPECT_TRUE(fromCode.ResizeKit1->OnExitResize());
    EXPECT_EQ(fromCode.WriteDescription().find("OnExitResize"), std::string::npos);
    DestroyAndCheckLedger();
    for (const char* name : {"FormShow", "Nowhere"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(Load(LifeForm("", std::string("    OnExitResize = ") + name + "\n")),
                     toolkit::EDescriptionError);
        DestroyAndCheckLedger();
    }
}

} // namespace
