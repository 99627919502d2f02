// The application's two display rules and its title.
#include "ToolkitTest.h"

namespace toolkit_test {
namespace {

using namespace toolkit;

// The lower case is the system's (CharLowerBuffW), here the desktop's.
TEST(ApplicationRulesTest, TitleIsTheFileNameCutAtItsFirstDotInLowerCaseAfterTheFirst) {
    platform::sim::SimDesktop desktop;
    platform::ScopedApi api(desktop);
    struct Row {
        const char16_t* path;
        const char16_t* title;
    };
    const Row rows[] = {
        {u"C:\\x\\SETUP.Final.EXE", u"Setup"},
        {u"C:\\x\\my.exe", u"my"},
        {u"C:\\Program Files\\Driver Kit\\SETUP.EXE", u"Setup"},
        {u"setup.exe", u"setup"},
        {u"C:\\x.y\\NoExtension", u"Noextension"},
        {u"C:\\x\\.hidden.exe", u""},
        {u"C:\\x\\ÉCOLE.EXE", u"École"},
        {u"C:\\x\\ＡＢＣ.exe", u"Ａｂｃ"},
        {u"C:\\x\\ДРАЙВЕР.exe", u"Драйвер"},
        {u"C:\\x\\ÉTÉ.Setup.exe", u"Été"},
        {u"C:\\x\\ԱԲԳ.exe", u"Աբգ"}, // Armenian, beyond any table of the usual scripts
        {u"C:\\x\\ΣΕΤΑΠ.exe", u"Σεταπ"},
        {u"C:\\x\\", u""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ApplicationTitleFromPath(row.path), row.title);
    }
}

TEST(ApplicationRulesTest, FullStopIsAddedAfterACharacterAboveTheFullStop) {
    struct Row {
        const char16_t* message;
        const char16_t* shown;
    };
    const Row rows[] = {
        {u"a", u"a."}, {u"ok!", u"ok!"},       {u"a)", u"a)"},  {u"x.", u"x."},
        {u"", u""},    {u"a ", u"a "},         {u"a-", u"a-"},  {u"a/", u"a/."},
        {u"1", u"1."}, {u"line\n", u"line\n"}, {u"終", u"終."},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ExceptionDisplayText(row.message), row.shown);
    }
}

TEST_F(DesktopTest, TitleComesFromTheProgramFile) {
    desktop_.SetModuleFileName(u"C:\\Packages\\Demo\\SETUP.Final.EXE");
    EXPECT_EQ(app_.Title(), u"Setup");
}

TEST_F(DesktopTest, ShowExceptionShowsOnlyTheToolkitsMessages) {
    desktop_.SetModuleFileName(u"C:\\Packages\\Demo\\launch.exe");
    const EInvalidOperation own(u"Bad value");
    const std::runtime_error foreign("foreign");
    app_.ShowException(&own);
    app_.ShowException(&foreign);
    app_.ShowException(nullptr);
    const auto& boxes = desktop_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"Bad value.");
    EXPECT_EQ(boxes[0].caption, u"launch");
    EXPECT_EQ(boxes[0].type, platform::MB_OK | platform::MB_ICONERROR);
    EXPECT_EQ(boxes[1].text, u"");
    EXPECT_EQ(boxes[2].text, u"");
}

// A form whose window procedure fails while the system makes its window.
class TUnmadeForm : public TForm {
public:
    using TForm::TForm;
    platform::LRESULT WndProc(platform::UINT message, platform::WPARAM wParam,
                              platform::LPARAM lParam) override {
        if (message == platform::WM_NCCREATE) {
            throw EInvalidOperation(u"No room for the window");
        }
        return TForm::WndProc(message, wParam, lParam);
    }
};

// The failure goes to whoever wanted the window, and is shown once: not on its way through the
// window procedure as well. Nothing is left that names the window that was never made.
TEST_F(DesktopTest, AWindowThatCannotBeMadeFailsItsCreatorOnce) {
    TUnmadeForm form(&app_);
    try {
        form.Handle();
        ADD_FAILURE() << "the window was made";
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(error.Message(), u"No room for the window");
    }
    EXPECT_TRUE(desktop_.MessageBoxes().empty());
    EXPECT_FALSE(form.HandleAllocated());
    EXPECT_TRUE(desktop_.Ledger().Faults().empty()) << desktop_.Ledger().Report();
}

TEST_F(DesktopTest, ApplicationWindowIsHiddenAndCarriesTheLauncherIcon) {
    AddProgramResources();
    app_.Initialize();
    ASSERT_NE(app_.Handle(), nullptr);
    EXPECT_FALSE(desktop_.IsWindowVisible(app_.Handle()));
    EXPECT_NE(desktop_.IconOf(app_.Handle(), platform::ICON_BIG), nullptr);
}

TEST(ApplicationObjectTest, TheInnermostApplicationIsTheOneInForce) {
    TApplication& outer = Application();
    {
        TApplication inner;
        EXPECT_EQ(&Application(), &inner);
    }
    EXPECT_EQ(&Application(), &outer);
}

} // namespace
} // namespace toolkit_test
