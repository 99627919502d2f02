// What the author of a form of their own meets: the check that lists instances that will never
// do anything, and docs/resizekit.md held to the code (its description examples, its property
// table, its size errors, what it says of densities, and a form written from it alone).
#include "KitTestSupport.h"

#include "platform/Utf.h"

#include "toolkit/Controls.h"
#include "toolkit/Exceptions.h"
#include "toolkit/stored/StoredDescription.h"

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kit_test {
namespace {

using toolkit::TControl;

// ---- Instances that never registered -----------------------------------------------------

// A resize component with the design values of FormText's form, at the given indentation.
std::string Component(const std::string& name, const std::string& indent = "  ") {
    std::string text = indent + "object " + name + " : TResizeKit {\n";
    for (const char* line :
         {"DesignFrmW = 394", "DesignFrmH = 385", "DesignDpiW = 96", "DesignDpiH = 96"}) {
        text += indent + "  " + line + "\n";
    }
    return text + indent + "}\n";
}

// A form of TKitForm, which publishes the field "Kit", with one label and the components.
std::string Form(const std::string& components) {
    return "object F : TKitForm {\n  ClientWidth = 394\n  ClientHeight = 385\n" +
           Label("L1", 88, 32, 265, 31, 20) + components + "}\n";
}

struct UnregisteredCase {
    const char* what;
    std::string description;
    std::vector<std::u16string> listed; // names, in the form's component order
};

class UnregisteredInstances : public KitTest,
                              public ::testing::WithParamInterface<UnregisteredCase> {
protected:
    std::unique_ptr<TKitForm> form;

    std::vector<std::u16string> Listed() {
        std::vector<std::u16string> names;
        for (TResizeKit* kit : resizekit::UnregisteredInstances(*form)) {
            names.push_back(kit->Name());
        }
        return names;
    }
    ~UnregisteredInstances() override { form.reset(); }
};

TEST_P(UnregisteredInstances, AreListedAndAreTheOnesThatDoNothing) {
    const UnregisteredCase& c = GetParam();
    form = std::make_unique<TKitForm>(nullptr);
    form->LoadDescriptionText(c.description);
    EXPECT_EQ(Listed(), c.listed);

    // The check tells the truth: the label follows a resize only when the instance the form
    // publishes is at work.
    const bool working = form->Kit != nullptr;
    form->Show();
    desktop_.SetWindowPos(form->Handle(), nullptr, 0, 0, 800, 600, 0);
    auto& label = dynamic_cast<TControl&>(*form->FindComponent(u"L1"));
    if (working) {
        EXPECT_GT(label.Width(), 265);
    } else {
        EXPECT_EQ(label.Width(), 265) << "no instance is at work, nothing moves";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnregisteredInstances,
    ::testing::Values(
        UnregisteredCase{"published", Form(Component("Kit")), {}},
        UnregisteredCase{"fieldNameMatchedWithoutCase", Form(Component("KIT")), {}},
        UnregisteredCase{"noFieldOfItsName", Form(Component("ResizeKit1")), {u"ResizeKit1"}},
        UnregisteredCase{"oneOfTwo", Form(Component("Kit") + Component("Other")), {u"Other"}},
        // Owned by the frame, not by the form: the form's field is never looked at.
        UnregisteredCase{"onAFrame",
                         Form("  object Panel : TFrame {\n    Left = 8\n    Top = 100\n"
                              "    Width = 300\n    Height = 120\n" +
                              Component("Kit", "    ") + "  }\n"),
                         {u"Kit"}}),
    [](const ::testing::TestParamInfo<UnregisteredCase>& info) { return info.param.what; });

TEST_F(KitTest, UnregisteredInstancesListsOnesMadeInCodeOrNoLongerInTheirField) {
    TKitForm& form = Load(FormText(Label("L1", 88, 32, 265, 31)));
    EXPECT_TRUE(resizekit::UnregisteredInstances(form).empty());

    // Made by the application after loading: it never loads, so it never registers.
    auto* late = new TResizeKit(&form);
    late->SetName(u"Late");
    EXPECT_EQ(resizekit::UnregisteredInstances(form), std::vector<TResizeKit*>{late});
    delete late;

    // The interception reaches an instance through its field: cleared, it is out of reach.
    TResizeKit* kit = form.Kit;
    form.Kit = nullptr;
    EXPECT_EQ(resizekit::UnregisteredInstances(form), std::vector<TResizeKit*>{kit});
    EXPECT_EQ(FindKitForWindow(form.Handle()), nullptr);
    form.Kit = kit;
    EXPECT_TRUE(resizekit::UnregisteredInstances(form).empty());
}

// ---- The examples of docs/resizekit.md ----------------------------------------------------

struct GuideBlock {
    std::string kind; // desc, desc-error or desc-syntax
    std::string text;
    int line = 0; // of the opening fence, for messages
};

// The fenced blocks whose info string starts with "desc", without the fence's indentation.
std::vector<GuideBlock> GuideBlocks() {
    std::ifstream file(RESIZEKIT_GUIDE_FILE);
    EXPECT_TRUE(file) << RESIZEKIT_GUIDE_FILE;
    std::vector<GuideBlock> blocks;
    std::string line;
    int number = 0;
    GuideBlock* open = nullptr;
    std::size_t indent = 0;
    while (std::getline(file, line)) {
        ++number;
        const std::size_t first = line.find_first_not_of(' ');
        const bool fence = first != std::string::npos && line.compare(first, 3, "```") == 0;
        if (open != nullptr) {
            if (fence) {
                open = nullptr;
            } else {
                open->text += (line.size() >= indent ? line.substr(indent) : std::string()) + "\n";
            }
        } else if (fence && line.compare(first + 3, 4, "desc") == 0) {
            blocks.push_back({line.substr(first + 3), "", number});
            open = &blocks.back();
            indent = first;
        } else if (fence) {
            // Another language's block: skip to its end.
            while (std::getline(file, line)) {
                ++number;
                const std::size_t f = line.find_first_not_of(' ');
                if (f != std::string::npos && line.compare(f, 3, "```") == 0) {
                    break;
                }
            }
        }
    }
    EXPECT_EQ(open, nullptr) << "a block is not closed";
    return blocks;
}

// The quick start's form as the page declares it, with the handler of the event example.
class TMyForm : public toolkit::TForm {
public:
    toolkit::TLabel* LabelHello = nullptr;
    TResizeKit* ResizeKit1 = nullptr;
    int resized = 0;
    void KitResized(toolkit::TObject* /*Sender*/, double /*XScale*/, double /*YScale*/) {
        ++resized;
    }
    explicit TMyForm(toolkit::TComponent* AOwner) : toolkit::TForm(AOwner) {
        PublishField(u"LabelHello", LabelHello);
        PublishField(u"ResizeKit1", ResizeKit1);
        PublishMethod(u"KitResized", &TMyForm::KitResized);
        resizekit::RegisterClasses();
    }
};

TEST_F(KitTest, EveryExampleOfTheGuideReadsAsThePageSays) {
    const std::vector<GuideBlock> blocks = GuideBlocks();
    int counted[3] = {};
    for (const GuideBlock& block : blocks) {
        SCOPED_TRACE("docs/resizekit.md:" + std::to_string(block.line) + " " + block.kind);
        if (block.kind == "desc-syntax") {
            ++counted[2];
            EXPECT_NO_THROW(toolkit::stored::Parse(block.text));
            continue;
        }
        TMyForm form(nullptr);
        if (block.kind == "desc") {
            ++counted[0];
            EXPECT_NO_THROW(form.LoadDescriptionText(block.text));
            // A component in an example is at work unless the page says otherwise.
            EXPECT_TRUE(resizekit::UnregisteredInstances(form).empty());
            continue;
        }
        ASSERT_EQ(block.kind, "desc-error");
        ++counted[1];
        // The first line gives the message: "# line N: ...".
        const std::string expected = block.text.substr(2, block.text.find('\n') - 2);
        try {
            form.LoadDescriptionText(block.text);
            ADD_FAILURE() << "read without error";
        } catch (const toolkit::EDescriptionError& error) {
            EXPECT_EQ(std::string(error.what()), expected);
        }
        EXPECT_EQ(form.ComponentCount(), 0) << "a failed read leaves nothing behind";
    }
    // Each kind is there: a page whose fences were renamed would otherwise pass untested.
    EXPECT_GE(counted[0], 4);
    EXPECT_GE(counted[1], 2);
    EXPECT_GE(counted[2], 1);
}

// The property table of the reference: every published property in published order, each
// default as a new instance has it, and whether the writer always writes it.
TEST_F(KitTest, TheGuidesPropertyTableIsTheComponents) {
    std::ifstream file(RESIZEKIT_GUIDE_FILE);
    std::vector<std::vector<std::string>> rows;
    bool inTable = false;
    for (std::string line; std::getline(file, line);) {
        if (line == "| Property | Type | Default | Values | Written to a description |") {
            inTable = true;
            continue;
        }
        if (inTable && line.rfind("| `", 0) != 0 && line.rfind("|---", 0) != 0) {
            break;
        }
        if (inTable && line.rfind("| `", 0) == 0) {
            std::vector<std::string> cells;
            std::size_t at = 1;
            for (std::size_t bar; (bar = line.find(" |", at)) != std::string::npos; at = bar + 2) {
                cells.push_back(line.substr(at + 1, bar - at - 1));
            }
            rows.push_back(cells);
        }
    }
    TKitForm& form = Load(FormText(""));
    TResizeKit fresh(&form);
    const std::vector<const toolkit::TPropertyInfo*> own = fresh.PublishedProperties().All();
    ASSERT_EQ(rows.size(), own.size());
    for (std::size_t i = 0; i < own.size(); ++i) {
        const toolkit::TPropertyInfo& info = *own[i];
        const std::vector<std::string>& row = rows[i];
        ASSERT_EQ(row.size(), 5u);
        SCOPED_TRACE(row[0]);
        EXPECT_EQ(row[0], "`" + platform::Utf16ToUtf8(info.name) + "`");
        std::string shown;
        if (info.stored && !info.stored(fresh)) {
            shown = info.name == u"OnExitResize" ? "none" : "empty";
        } else {
            const toolkit::stored::Value value = info.write(fresh);
            switch (value.kind) {
            case toolkit::stored::Value::Kind::Integer:
                shown = std::to_string(value.integer);
                break;
            case toolkit::stored::Value::Kind::Identifier:
                shown = "`" + value.text + "`";
                break;
            default:
                shown = "?";
                break;
            }
        }
        EXPECT_EQ(row[2], shown);
        EXPECT_EQ(row[4] == "always", !info.stored);
    }
}

// The size errors of the reference, each brought about and compared in both languages.
TEST(GuideSizeErrors, AreTheMessagesTheSettersGive) {
    using Set = void (TResizeKit::*)(int);
    struct Cause {
        Set first = nullptr; // a value set beforehand, or none
        int firstValue = 0;
        Set refused;
        int value;
    };
    const std::map<std::string, Cause> causes = {
        {"negative (all six)", {nullptr, 0, &TResizeKit::SetFormMinHeight, -1}},
        {"at least `FormMinWidth`",
         {&TResizeKit::SetFormMinWidth, 300, &TResizeKit::SetFormWidth, 299}},
        {"at most `FormMaxWidth`",
         {&TResizeKit::SetFormMaxWidth, 400, &TResizeKit::SetFormWidth, 401}},
        {"at least `FormMinHeight`",
         {&TResizeKit::SetFormMinHeight, 300, &TResizeKit::SetFormHeight, 299}},
        {"at most `FormMaxHeight`",
         {&TResizeKit::SetFormMaxHeight, 400, &TResizeKit::SetFormHeight, 401}},
        {"at least `FormWidth`",
         {&TResizeKit::SetFormWidth, 500, &TResizeKit::SetFormMaxWidth, 499}},
        {"at most `FormWidth`",
         {&TResizeKit::SetFormWidth, 500, &TResizeKit::SetFormMinWidth, 501}},
        {"at least `FormHeight`",
         {&TResizeKit::SetFormHeight, 500, &TResizeKit::SetFormMaxHeight, 499}},
        {"at most `FormHeight`",
         {&TResizeKit::SetFormHeight, 500, &TResizeKit::SetFormMinHeight, 501}},
    };
    // Each case's message in one language, as the guide shows it: in backquotes.
    auto messagesIn = [&causes](const char* language) {
        platform::sim::SimConfig config;
        config.abbrevLangName = language;
        platform::sim::SimDesktop desktop(config);
        platform::ScopedApi installed(desktop);
        std::map<std::string, std::string> messages;
        for (const auto& [what, cause] : causes) {
            TResizeKit kit(nullptr);
            if (cause.first != nullptr) {
                (kit.*cause.first)(cause.firstValue);
            }
            messages[what] = "accepted";
            try {
                (kit.*cause.refused)(cause.value);
            } catch (const toolkit::EInvalidOperation& error) {
                messages[what] = "`" + std::string(error.what()) + "`";
            }
        }
        return messages;
    };
    const auto english = messagesIn("ENU");
    const auto japanese = messagesIn("JPN");

    std::ifstream file(RESIZEKIT_GUIDE_FILE);
    std::set<std::string> seen;
    bool inTable = false;
    for (std::string line; std::getline(file, line);) {
        if (line == "| Case | English | Japanese |") {
            inTable = true;
        } else if (inTable && line.rfind("|---", 0) != 0) {
            if (line.rfind("| ", 0) != 0) {
                break;
            }
            const std::size_t a = line.find(" | ", 2);
            const std::size_t b = line.find(" | ", a + 3);
            const std::string what = line.substr(2, a - 2);
            SCOPED_TRACE(what);
            const auto cause = causes.find(what);
            ASSERT_NE(cause, causes.end()) << "a case this test does not know";
            EXPECT_EQ(line.substr(a + 3, b - a - 3), english.at(what));
            EXPECT_EQ(line.substr(b + 3, line.size() - b - 5), japanese.at(what));
            seen.insert(what);
        }
    }
    EXPECT_EQ(seen.size(), causes.size()) << "every message is in the guide";
}

// ---- A form written from the guide alone ----------------------------------------------------

// What a reader who knows only docs/resizekit.md writes: a form class with its fields, the
// registration before reading, a description with a label and the component, and a host
// test set up as the page shows, without this file's fixtures.
const char* const kNotesForm = R"(# A note, written from the guide.
object Notes : TNotesForm {
  Caption = "Notes"
  ClientWidth = 400
  ClientHeight = 250
  BorderStyle = bsSizeable
  Font.Name = "Tahoma"
  Font.Height = -13
  object LabelNote : TLabel {
    Left = 40
    Top = 50
    Width = 320
    Height = 40
    AutoSize = false
    Caption = "Remember \u{2013} \"milk\""
    Font.Height = -24
  }
  object Resizer : TResizeKit {
    FormMinWidth = 200
    FormMinHeight = 150
    DesignFrmW = 400
    DesignFrmH = 250
    DesignDpiW = 96
    DesignDpiH = 96
  }
}
)";

class TNotesForm : public toolkit::TForm {
public:
    toolkit::TLabel* LabelNote = nullptr;
    TResizeKit* Resizer = nullptr;
    explicit TNotesForm(toolkit::TComponent* AOwner) : toolkit::TForm(AOwner) {
        PublishField(u"LabelNote", LabelNote);
        PublishField(u"Resizer", Resizer);
        resizekit::RegisterClasses();
        LoadDescriptionText(kNotesForm);
    }
};

TEST(FreshReader, AFormWrittenFromTheGuideRescales) {
    platform::sim::SimConfig config;
    platform::sim::SimDesktop desktop(config);
    platform::ScopedApi installed(desktop);
    toolkit::TApplication application;

    TNotesForm form(nullptr);
    ASSERT_NE(form.Resizer, nullptr);
    EXPECT_TRUE(resizekit::UnregisteredInstances(form).empty());
    EXPECT_EQ(form.LabelNote->Caption(), u"Remember \u2013 \"milk\"");
    form.Show();

    // Twice the client area: everything doubles (an 18-point font: 24 pixels at 96 dpi).
    platform::RECT outer{};
    platform::RECT client{};
    desktop.GetWindowRect(form.Handle(), &outer);
    desktop.GetClientRect(form.Handle(), &client);
    const int frameW = (outer.right - outer.left) - client.right;
    const int frameH = (outer.bottom - outer.top) - client.bottom;
    desktop.SetWindowPos(form.Handle(), nullptr, 0, 0, 800 + frameW, 500 + frameH, 0);
    EXPECT_EQ(Of(*form.LabelNote), (Geometry{80, 100, 640, 80, 36}));

    // Half the width, the same height: positions follow each direction, the font the smaller.
    desktop.SetWindowPos(form.Handle(), nullptr, 0, 0, 200 + frameW, 250 + frameH, 0);
    EXPECT_EQ(Of(*form.LabelNote), (Geometry{20, 50, 160, 40, 9}));

    // The minimum holds while the user drags a border smaller.
    platform::RECT drag{};
    desktop.GetWindowRect(form.Handle(), &drag);
    drag.right = drag.left + 100;
    drag.bottom = drag.top + 100;
    ASSERT_TRUE(desktop.DragBorder(form.Handle(), platform::WMSZ_BOTTOMRIGHT, drag));
    desktop.GetWindowRect(form.Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, 200);
    EXPECT_EQ(outer.bottom - outer.top, 150);
}

// ---- What the guide says of densities ---------------------------------------------------------

struct DensityCase {
    const char* what;
    int dpi;
    const char* border;
    Geometry shown; // the label after the first showing (font: its height in pixels, negated)
};

class DensityTest : public KitTest, public ::testing::WithParamInterface<DensityCase> {
protected:
    DensityTest()
        : KitTest([] {
              SimConfig config;
              config.dpiX = config.dpiY = GetParam().dpi;
              return config;
          }()) {}
};

// A client area of the design's size in pixels shows the design's layout in pixels; a font
// given by its height in pixels comes back within a pixel. Only a bsDialog or bsNone form
// without FormWidth/FormHeight keeps its positions at load, so its first rescale shrinks them
// by the density ratio.
TEST_P(DensityTest, TheFirstShowingGivesTheDesignInPixels) {
    const DensityCase& c = GetParam();
    std::string label = Label("L1", 88, 32, 265, 31);
    label.replace(label.find("Font.Size = 10"), 14, "Font.Height = -27");
    std::string text = FormText(label);
    text.replace(text.find("bsSizeable"), 10, c.border);
    form_ = std::make_unique<TKitForm>(nullptr);
    form_->LoadDescriptionText(text);
    form_->Show();
    EXPECT_EQ(ClientRect().right, 395) << "the window keeps its size in pixels, plus one";
    const TControl& l = Control(u"L1");
    EXPECT_EQ((Geometry{l.Left(), l.Top(), l.Width(), l.Height(), -l.Font().Height()}), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DensityTest,
    ::testing::Values(
        // The first showing's extra pixel: width 265 x 395 / 394 = 265.7.
        DensityCase{"sizeable96", 96, "bsSizeable", {88, 32, 266, 31, 27}},
        // Width 331 at load (265 / 0.8), 331 x 0.8 x 395 / 394 = 265.47 back; 27 pixels at 120 dpi
        // are 16 points, adapted 20, rescaled 16 (16.04).
        DensityCase{"sizeable120", 120, "bsSizeable", {88, 32, 265, 31, 27}},
        // 27 pixels at 144 dpi are 14 points (13.5 away from zero), 28 pixels again.
        DensityCase{"sizeable144", 144, "bsSizeable", {88, 32, 266, 31, 28}},
        // Positions kept at load, then times 395 / 394 x 96 / 144: 58.8, 21.4, 177.1, 20.7.
        DensityCase{"dialog144", 144, "bsDialog", {59, 21, 177, 21, 28}}),
    [](const ::testing::TestParamInfo<DensityCase>& info) { return info.param.what; });

} // namespace
} // namespace kit_test
