// The resize component's model: size validation with its messages, the name lists, the
// language test and the stored design values.
#include "resizekit/ResizeKit.h"

#include "platform/sim/SimDesktop.h"
#include "toolkit/Exceptions.h"

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
