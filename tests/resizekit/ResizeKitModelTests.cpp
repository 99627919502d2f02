// The resize component's model: size validation with its messages, the name lists, the
// language test and the stored design values.
#include "resizekit/ResizeKit.h"

#include "platform/Utf.h"
#include "platform/sim/SimDesktop.h"
#include "toolkit/Application.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Forms.h"
#include "toolkit/Strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::sim::SimConfig;
using platform::sim::SimDesktop;

class ResizeKitModel : public ::testing::Test {
protected:
    explicit ResizeKitModel(SimConfig config = {}) : desktop_(config), scope_(desktop_) {}
    SimDesktop desktop_;
    platform::ScopedApi scope_;
};

enum class Prop { Width, Height, MaxWidth, MaxHeight, MinWidth, MinHeight };

void Write(TResizeKit& kit, Prop prop, int value) {
    switch (prop) {
    case Prop::Width: kit.SetFormWidth(value); break;
    case Prop::Height: kit.SetFormHeight(value); break;
    case Prop::MaxWidth: kit.SetFormMaxWidth(value); break;
    case Prop::MaxHeight: kit.SetFormMaxHeight(value); break;
    case Prop::MinWidth: kit.SetFormMinWidth(value); break;
    case Prop::MinHeight: kit.SetFormMinHeight(value); break;
    }
}

int Read(const TResizeKit& kit, Prop prop) {
    switch (prop) {
    case Prop::Width: return kit.FormWidth();
    case Prop::Height: return kit.FormHeight();
    case Prop::MaxWidth: return kit.FormMaxWidth();
    case Prop::MaxHeight: return kit.FormMaxHeight();
    case Prop::MinWidth: return kit.FormMinWidth();
    case Prop::MinHeight: return kit.FormMinHeight();
    }
    return -1;
}

struct SizeCase {
    const char* what;
    std::vector<std::pair<Prop, int>> before; // accepted writes that set the scene
    Prop prop;
    int value;
    std::u16string error; // empty: accepted
};

TEST_F(ResizeKitModel, SizeWritesAreValidatedAgainstTheOtherLimits) {
    const std::u16string negative = u"Set this value equal to or greater than 0";
    const std::vector<SizeCase> cases = {
        {"zero clears whatever the others hold", {{Prop::MinWidth, 300}, {Prop::MaxWidth, 400}},
         Prop::MaxWidth, 0, u""},
        {"negative width", {}, Prop::Width, -1, negative},
        {"negative min height", {}, Prop::MinHeight, -1, negative},
        {"width at the minimum", {{Prop::MinWidth, 300}}, Prop::Width, 300, u""},
        {"width below the minimum", {{Prop::MinWidth, 300}}, Prop::Width, 299,
         u"Set this value equal to or greater than the FormMinWidth"},
        {"width above the maximum", {{Prop::MaxWidth, 400}}, Prop::Width, 401,
         u"Set this value equal to or less than the FormMaxWidth"},
        {"height below the minimum", {{Prop::MinHeight, 200}}, Prop::Height, 199,
         u"Set this value equal to or greater than the FormMinHeight"},
        {"height above the maximum", {{Prop::MaxHeight, 300}}, Prop::Height, 301,
         u"Set this value equal to or less than the FormMaxHeight"},
        {"maximum below the width", {{Prop::Width, 500}}, Prop::MaxWidth, 400,
         u"Set this value equal to or greater than the FormWidth"},
        {"maximum with no width", {}, Prop::MaxWidth, 400, u""},
        {"maximum below the minimum", {{Prop::MinWidth, 300}}, Prop::MaxWidth, 299,
         u"Set this value equal to or greater than the FormMinWidth"},
        {"max height below the height", {{Prop::Height, 500}}, Prop::MaxHeight, 400,
         u"Set this value equal to or greater than the FormHeight"},
        {"width 1 with no limits", {}, Prop::Width, 1, u""},
        {"minimum checks the maximum before the width",
         {{Prop::MaxWidth, 400}, {Prop::Width, 350}}, Prop::MinWidth, 450,
         u"Set this value equal to or less than the FormMaxWidth"},
        {"minimum above the width", {{Prop::Width, 350}}, Prop::MinWidth, 351,
         u"Set this value equal to or less than the FormWidth"},
        {"min height above the max height", {{Prop::MaxHeight, 300}}, Prop::MinHeight, 301,
         u"Set this value equal to or less than the FormMaxHeight"},
        {"min height above the height", {{Prop::Height, 300}}, Prop::MinHeight, 301,
         u"Set this value equal to or less than the FormHeight"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TResizeKit kit(nullptr);
        for (auto [prop, value] : c.before) {
            Write(kit, prop, value);
        }
        const int old = Read(kit, c.prop);
        if (c.error.empty()) {
            EXPECT_NO_THROW(Write(kit, c.prop, c.value));
            EXPECT_EQ(Read(kit, c.prop), c.value);
        } else {
            try {
                Write(kit, c.prop, c.value);
                ADD_FAILURE() << "accepted";
            } catch (const toolkit::EInvalidOperation& e) {
                EXPECT_EQ(e.Message(), c.error);
            }
            EXPECT_EQ(Read(kit, c.prop), old) << "a rejected value must leave the field";
        }
    }
}

class JapaneseResizeKitModel : public ResizeKitModel {
protected:
    static SimConfig Japanese() {
        SimConfig config;
        config.userLcid = 1041;
        config.abbrevLangName = "jpn"; // small letters still count
        config.ansiCodePage = 932;
        return config;
    }
    JapaneseResizeKitModel() : ResizeKitModel(Japanese()) {}
};

TEST_F(JapaneseResizeKitModel, MessagesAreJapaneseForAJapaneseLocale) {
    TResizeKit kit(nullptr);
    EXPECT_TRUE(TResizeKit::IsJapaneseLocale());
    kit.SetFormMaxWidth(400);
    try {
        kit.SetFormWidth(401);
        ADD_FAILURE() << "accepted";
    } catch (const toolkit::EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), u"FormMaxWidth 以下の値を入れてください");
    }
    try {
        kit.SetFormHeight(-5);
        ADD_FAILURE() << "accepted";
    } catch (const toolkit::EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), u"0 以上の値を入れてください");
    }
}

TEST_F(ResizeKitModel, LanguageTestNeedsThreeLettersJPN) {
    for (auto [name, japanese] : std::vector<std::pair<std::string, bool>>{
             {"JPN", true}, {"jpn", true}, {"JP", false}, {"", false}, {"ENU", false},
             {"JPNX", true}}) {
        SCOPED_TRACE(name);
        SimConfig config;
        config.abbrevLangName = name;
        SimDesktop desktop(config);
        platform::ScopedApi scope(desktop);
        EXPECT_EQ(TResizeKit::IsJapaneseLocale(), japanese);
    }
}

TEST_F(ResizeKitModel, NameListsSplitAtEverySemicolon) {
    using Names = std::vector<std::u16string>;
    const std::vector<std::pair<std::u16string, Names>> cases = {
        {u"A;;B", {u"A", u"", u"B"}},
        {u"A;B;", {u"A", u"B"}},
        {u";", {u""}},
        {u"", {}},
        {u" A", {u" A"}},
    };
    TResizeKit kit(nullptr);
    for (const auto& [text, names] : cases) {
        kit.SetNoResizeCtl(text);
        kit.SetNoResizeFntCtl(text);
        EXPECT_EQ(kit.NoResizeCtls().Names(), names);
        EXPECT_EQ(kit.NoResizeFntCtls().Names(), names);
    }
    kit.SetNoResizeCtl(u"Image1; LabelTitle");
    EXPECT_TRUE(kit.NoResizeCtls().Contains(u"image1"));
    EXPECT_FALSE(kit.NoResizeCtls().Contains(u"LabelTitle")) << "the space belongs to the name";
    EXPECT_TRUE(kit.NoResizeCtls().Contains(u" labeltitle"));
}

// The comparison is the system's (CompareStringW, the user's locale, case ignored), so it
// covers every script, not ASCII alone.
TEST_F(ResizeKitModel, NameListsIgnoreCaseInEveryScript) {
    TResizeKit kit(nullptr);
    kit.SetNoResizeCtl(u"label1;Été;Ωmega;ԱԲԳ;ＢＴＮ");
    for (const char16_t* name : {u"LABEL1", u"Label1", u"ÉTÉ", u"ωMEGA", u"աբգ", u"ｂｔｎ"}) {
        EXPECT_TRUE(kit.NoResizeCtls().Contains(name)) << platform::Utf16ToUtf8(name);
    }
    for (const char16_t* name : {u"label", u"label11", u"Ete", u"BTN", u""}) {
        EXPECT_FALSE(kit.NoResizeCtls().Contains(name)) << platform::Utf16ToUtf8(name);
    }
}

TEST_F(ResizeKitModel, CreationReadsThePlatformVersion) {
    TResizeKit kit(nullptr);
    EXPECT_EQ(resizekit::OsMajorVersion, 6);
    EXPECT_EQ(resizekit::OsMinorVersion, 1);
    EXPECT_EQ(kit.FormPos(), rpDefault);
    EXPECT_TRUE(kit.ResizeFont());
    EXPECT_TRUE(kit.Enabled());
    EXPECT_TRUE(kit.ValidTaskbar());
}

} // namespace

// ---- Reading and writing through a form's stored description ----------------------------------

namespace {

class TKitForm : public toolkit::TForm {
public:
    TResizeKit* Kit = nullptr;
    explicit TKitForm(toolkit::TComponent* owner) : toolkit::TForm(owner) {
        PublishField(u"Kit", Kit);
    }
};

class ResizeKitStreaming : public ::testing::Test {
protected:
    static SimConfig At120Dpi() {
        SimConfig config;
        config.dpiX = 120;
        config.dpiY = 120;
        return config;
    }
    ResizeKitStreaming() : desktop_(At120Dpi()), scope_(desktop_) {
        resizekit::RegisterClasses();
    }
    SimDesktop desktop_;
    platform::ScopedApi scope_;
    toolkit::TApplication app_;
};

TEST_F(ResizeKitStreaming, PropertiesAndDesignValuesLoadInOrderAndWriteTheSituationOfNow) {
    TKitForm form(nullptr);
    form.LoadDescriptionText(R"(object F : TKitForm {
  ClientWidth = 500
  ClientHeight = 300
  object Kit : TResizeKit {
    FormPos = rpMiddleCenter
    FormWidth = 600
    FormHeight = 400
    FormMaxWidth = 800
    FormMaxHeight = 700
    FormMinWidth = 300
    FormMinHeight = 200
    ResizeFont = false
    NoResizeCtl = "Image1;Logo"
    Enabled = true
    ValidTaskbar = false
    DesignFrmW = 394
    DesignDpiH = 96
  }
})");
    ASSERT_NE(form.Kit, nullptr);
    const TResizeKit& kit = *form.Kit;
    EXPECT_EQ(kit.FormPos(), rpMiddleCenter);
    EXPECT_EQ(kit.FormWidth(), 600);
    EXPECT_EQ(kit.FormMaxHeight(), 700);
    EXPECT_EQ(kit.FormMinHeight(), 200);
    EXPECT_FALSE(kit.ResizeFont());
    EXPECT_FALSE(kit.ValidTaskbar());
    EXPECT_TRUE(kit.NoResizeCtls().Contains(u"logo"));
    EXPECT_EQ(kit.DesignFrmW(), 394);
    EXPECT_EQ(kit.DesignFrmH(), 0) << "a missing design value stays 0";
    EXPECT_EQ(kit.DesignDpiW(), 0);
    EXPECT_EQ(kit.DesignDpiH(), 96);

    // Writing records the present client size and screen density, after the properties.
    const std::string text = form.WriteDescription();
    for (const char* line : {"DesignFrmW = 500", "DesignFrmH = 300", "DesignDpiW = 120",
                             "DesignDpiH = 120", "NoResizeCtl = \"Image1;Logo\""}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    }
    EXPECT_LT(text.find("ValidTaskbar"), text.find("DesignFrmW"));
    EXPECT_EQ(text.find("NoResizeFntCtl"), std::string::npos) << "empty lists are not written";
}

TEST_F(ResizeKitStreaming, AnInvalidSizeInADescriptionIsAnErrorNamingItsLine) {
    TKitForm form(nullptr);
    try {
        form.LoadDescriptionText("object F : TKitForm {\n  object Kit : TResizeKit {\n"
                                 "    FormMaxWidth = 400\n    FormWidth = 500\n  }\n}\n");
        ADD_FAILURE() << "accepted";
    } catch (const toolkit::EDescriptionError& e) {
        EXPECT_EQ(e.Line(), 4);
        EXPECT_NE(e.Detail().find(u"Set this value equal to or less than the FormMaxWidth"),
                  std::u16string::npos);
    }
}

} // namespace
