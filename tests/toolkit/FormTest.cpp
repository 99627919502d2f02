// Forms on the simulated desktop: creation through the application, the message loop, Close,
// the keyboard, exception display, message boxes, painting, and the release of everything.
#include "ToolkitTest.h"

#include "ResourceNames.h"

#include <gmock/gmock.h>

#include <vector>

namespace toolkit_test {
namespace {

using namespace toolkit;
using namespace platform;
using platform::sim::HandleKind;
using ::testing::HasSubstr;

class FormTest : public DesktopTest {
protected:
    FormTest() { AddProgramResources(); }

    // Start-up as the launcher does it, with a form that loads the main window's description.
    struct TLoadingForm : TTestForm {
        explicit TLoadingForm(TComponent* owner) : TTestForm(owner) {
            LoadDescription(resources::kMainForm);
            if (construct) {
                construct(*this);
            }
        }
        static inline std::function<void(TLoadingForm&)> construct;
    };

    TLoadingForm* StartUp() {
        app_.Initialize();
        app_.SetMainFormOnTaskBar(true);
        app_.CreateForm(form_);
        return form_;
    }

    void TearDown() override { TLoadingForm::construct = nullptr; }

    TLoadingForm* form_ = nullptr;
};

TEST_F(FormTest, CreateFormStoresTheReferenceBeforeTheBodyAndRecordsTheMainFormAfter) {
    bool referenceSet = false;
    bool mainFormDuringConstruction = true;
    bool windowAfter = false;
    TLoadingForm::construct = [&](TLoadingForm& form) {
        referenceSet = form_ == &form;
        mainFormDuringConstruction = app_.MainForm() != nullptr;
    };
    StartUp();
    windowAfter = form_->HandleAllocated();
    EXPECT_TRUE(referenceSet);
    EXPECT_FALSE(mainFormDuringConstruction);
    EXPECT_TRUE(windowAfter);
    EXPECT_EQ(app_.MainForm(), form_);
    // The main form carries the task-bar button itself.
    EXPECT_EQ(desktop_.OwnerOf(form_->WindowHandle()), nullptr);
    EXPECT_NE(desktop_.GetWindowLongPtrW(form_->WindowHandle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

TEST_F(FormTest, ConstructorFailureFreesTheFormAndClearsTheReference) {
    TLoadingForm::construct = [](TLoadingForm&) { throw EInvalidOperation(u"no"); };
    app_.Initialize();
    EXPECT_THROW(app_.CreateForm(form_), EInvalidOperation);
    EXPECT_EQ(form_, nullptr);
    EXPECT_EQ(app_.MainForm(), nullptr);
    EXPECT_EQ(app_.ComponentCount(), 0);
    // Only the application window is left.
    EXPECT_EQ(desktop_.Ledger().Outstanding(HandleKind::Window).size(), 1u);
    EXPECT_TRUE(desktop_.Ledger().Outstanding(HandleKind::Font).empty());
}

TEST_F(FormTest, CloseDuringConstructionHasNoEffect) {
    TLoadingForm::construct = [](TLoadingForm& form) { form.Close(); };
    StartUp();
    EXPECT_FALSE(app_.Terminated());
    EXPECT_FALSE(desktop_.IsWindowVisible(form_->WindowHandle()));
    bool shownThenClosed = false;
    desktop_.OnIdle([this] {
        EXPECT_TRUE(desktop_.IsWindowVisible(form_->WindowHandle()));
        desktop_.ClickButton(form_->BtnCancel->WindowHandle());
    });
    form_->onCancelAction = [&] {
        shownThenClosed = form_->shows == 1;
        form_->Close();
    };
    app_.Run();
    EXPECT_TRUE(shownThenClosed);
    EXPECT_FALSE(desktop_.IdleExhausted());
}

TEST_F(FormTest, CloseFromOnShowEndsTheLoopAtOnce) {
    StartUp();
    int shows = 0;
    form_->onShowAction = [&] {
        ++shows;
        EXPECT_TRUE(desktop_.IsWindowVisible(form_->WindowHandle()));
        form_->Close();
    };
    desktop_.OnIdle([] { ADD_FAILURE() << "the loop went on"; });
    app_.Run();
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(app_.Terminated());
    EXPECT_EQ(desktop_.PendingIdleActions(), 1u);
}

TEST_F(FormTest, RunShowsTheMainFormCentredWithTheFocusOnTheFirstButton) {
    StartUp();
    bool checked = false;
    desktop_.OnIdle([&] {
        HWND window = form_->WindowHandle();
        EXPECT_TRUE(desktop_.IsWindowVisible(window));
        EXPECT_EQ(form_->shows, 1);
        EXPECT_EQ(desktop_.GetFocus(), form_->BtnInstall->WindowHandle());
        RECT rect{};
        desktop_.GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, (1280 - (rect.right - rect.left)) / 2);
        EXPECT_EQ(rect.top, (1024 - (rect.bottom - rect.top)) / 2);
        EXPECT_EQ(form_->Left(), rect.left);
        checked = true;
        desktop_.CloseBox(window);
    });
    app_.Run();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(app_.Terminated());
    EXPECT_FALSE(desktop_.IdleExhausted());
}

TEST_F(FormTest, ACentredFormIsMadeWhereItShowsAndItsFirstShowingDoesNotMoveIt) {
    StartUp();
    HWND window = form_->WindowHandle();
    RECT made{};
    desktop_.GetWindowRect(window, &made);
    const int width = made.right - made.left;
    const int height = made.bottom - made.top;
    EXPECT_EQ(made.left, (1280 - width) / 2);
    EXPECT_EQ(made.top, (1024 - height) / 2);
    desktop_.SetMessageLog(true);
    bool checked = false;
    desktop_.OnIdle([&] {
        RECT shown{};
        desktop_.GetWindowRect(window, &shown);
        EXPECT_EQ(shown.left, made.left);
        EXPECT_EQ(shown.top, made.top);
        for (const auto& record : desktop_.MessagesTo(window)) {
            if (record.message == WM_WINDOWPOSCHANGING && record.windowPosBefore) {
                EXPECT_NE(record.windowPosBefore->flags & SWP_NOMOVE, 0u)
                    << "moved to " << record.windowPosBefore->x << ", "
                    << record.windowPosBefore->y;
            }
        }
        checked = true;
        desktop_.CloseBox(window);
    });
    app_.Run();
    EXPECT_TRUE(checked);
}

struct KeyRow {
    const char* what;
    std::vector<WPARAM> keys;
    int install, cancel;
};

TEST_F(FormTest, KeysWorkTheButtonsAsInADialog) {
    const KeyRow rows[] = {
        {"Enter presses the default button", {VK_RETURN}, 1, 0},
        {"Escape does nothing", {VK_ESCAPE}, 0, 0},
        {"Tab moves to Cancel; Enter presses the focused button", {VK_TAB, VK_RETURN}, 0, 1},
        {"Tab twice comes back", {VK_TAB, VK_TAB, VK_RETURN}, 1, 0},
        {"Space presses the focused button", {VK_SPACE}, 1, 0},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.what);
        platform::sim::SimDesktop desktop;
        platform::ScopedApi api(desktop);
        TApplication app;
        const std::string dir = SETUP_RESOURCE_DIR;
        for (const auto& raw : resources::kRawData) {
            desktop.AddResourceFromFile(raw.name, RT_RCDATA(), dir + "/" + raw.file);
        }
        int install = 0, cancel = 0;
        TLoadingForm::construct = [&](TLoadingForm& form) {
            form.onInstallAction = [&] { ++install; };
            form.onCancelAction = [&] { ++cancel; };
        };
        TLoadingForm* form = nullptr;
        app.Initialize();
        app.CreateForm(form);
        for (WPARAM key : row.keys) {
            desktop.OnIdle([&desktop, key] { desktop.PressKey(key); });
        }
        app.Run(); // ends when the user has nothing more to do
        EXPECT_TRUE(desktop.IdleExhausted());
        EXPECT_EQ(install, row.install);
        EXPECT_EQ(cancel, row.cancel);
    }
}

// The clicks are counted by a form that stays alive: Run destroys the forms at its end.
TEST_F(FormTest, EscapePressesACancelButtonWhenThereIsOne) {
    StartUp();
    form_->BtnCancel->SetCancel(true);
    int cancels = 0;
    form_->onCancelAction = [&] { ++cancels; };
    desktop_.OnIdle([this] { desktop_.PressKey(VK_ESCAPE); });
    desktop_.OnIdle([&] { EXPECT_EQ(cancels, 1); });
    app_.Run();
    EXPECT_EQ(cancels, 1);
}

TEST_F(FormTest, AltF4AndTheCloseBoxEndTheApplication) {
    for (bool altF4 : {false, true}) {
        SCOPED_TRACE(altF4 ? "Alt+F4" : "close box");
        platform::sim::SimDesktop desktop;
        platform::ScopedApi api(desktop);
        TApplication app;
        for (const auto& raw : resources::kRawData) {
            desktop.AddResourceFromFile(raw.name, RT_RCDATA(),
                                        std::string(SETUP_RESOURCE_DIR) + "/" + raw.file);
        }
        TLoadingForm* form = nullptr;
        app.Initialize();
        app.CreateForm(form);
        desktop.OnIdle([&] {
            if (altF4) {
                desktop.PressKey(VK_F4, true);
            } else {
                desktop.CloseBox(form->WindowHandle());
            }
        });
        app.Run();
        EXPECT_TRUE(app.Terminated());
        EXPECT_FALSE(desktop.IdleExhausted());
        EXPECT_TRUE(desktop.Ledger().Outstanding().empty()) << desktop.Ledger().Report();
    }
}

TEST_F(FormTest, EnterAndClicksReachTheHandlers) {
    StartUp();
    desktop_.OnIdle([this] { desktop_.PressKey(VK_RETURN); });
    desktop_.OnIdle([this] { desktop_.PressKey(VK_TAB); });
    desktop_.OnIdle([this] { desktop_.PressKey(VK_RETURN); });
    desktop_.OnIdle([this] { desktop_.PressKey(VK_ESCAPE); });
    desktop_.OnIdle([this] { desktop_.ClickButton(form_->BtnInstall->WindowHandle()); });
    desktop_.OnIdle([this] {
        EXPECT_EQ(form_->installClicks, 2);
        EXPECT_EQ(form_->cancelClicks, 1);
        form_->Close();
    });
    app_.Run();
    EXPECT_FALSE(desktop_.IdleExhausted());
}

TEST_F(FormTest, AnExceptionInAHandlerIsShownAndTheLoopGoesOn) {
    desktop_.SetModuleFileName(u"C:\\Packages\\Demo\\SETUP.Final.EXE");
    StartUp();
    int clicks = 0;
    form_->onInstallAction = [&] {
        ++clicks;
        if (clicks == 1) {
            throw EInvalidOperation(u"Something failed");
        }
        if (clicks == 2) {
            Abort();
        }
        if (clicks == 3) {
            throw std::runtime_error("not ours");
        }
        form_->Close();
    };
    for (int i = 0; i < 4; ++i) {
        desktop_.OnIdle([this] { desktop_.ClickButton(form_->BtnInstall->WindowHandle()); });
    }
    app_.Run();
    EXPECT_EQ(clicks, 4);
    const auto& boxes = desktop_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u); // the silent abort shows nothing
    EXPECT_EQ(boxes[0].text, u"Something failed.");
    EXPECT_EQ(boxes[0].caption, u"Setup");
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONERROR);
    EXPECT_EQ(boxes[1].text, u"");
    EXPECT_EQ(boxes[1].caption, u"Setup");
}

TEST_F(FormTest, MessageBoxIsOwnedByTheActiveFormAndDisablesTheOthers) {
    StartUp();
    // Before the main form shows: owned by the hidden application window.
    app_.MessageBox(u"early", u"c", MB_OK);
    ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
    EXPECT_EQ(desktop_.MessageBoxes()[0].owner, app_.Handle());
    EXPECT_FALSE(desktop_.IsWindowVisible(app_.Handle()));

    auto* second = new TForm(&app_);
    second->SetCaption(u"second");
    bool otherDisabled = false;
    desktop_.OnIdle([&] {
        second->Show();
        second->Hide();
        desktop_.SetForegroundWindow(form_->WindowHandle());
        form_->BtnCancel->SetFocus();
        second->Show();
        desktop_.SetForegroundWindow(form_->WindowHandle());
        desktop_.OnMessageBox([&](const platform::sim::MessageBoxRecord&) {
            otherDisabled = desktop_.IsWindowEnabled(second->WindowHandle()) == FALSE;
            return 0;
        });
        app_.MessageBox(u"later", u"c", MB_OK);
        EXPECT_TRUE(desktop_.IsWindowEnabled(second->WindowHandle()));
        EXPECT_TRUE(desktop_.IsWindowEnabled(form_->WindowHandle()));
        EXPECT_EQ(desktop_.GetFocus(), form_->BtnCancel->WindowHandle());
        form_->Close();
    });
    app_.Run();
    ASSERT_EQ(desktop_.MessageBoxes().size(), 2u);
    EXPECT_EQ(desktop_.MessageBoxes()[1].owner, desktop_.MessageBoxes()[1].activeBefore);
    EXPECT_TRUE(otherDisabled);
}

TEST_F(FormTest, MinimizeMinimisesTheMainFormOnTheTaskBar) {
    StartUp();
    desktop_.OnIdle([this] {
        app_.Minimize();
        EXPECT_TRUE(desktop_.IsIconic(form_->WindowHandle()));
        EXPECT_EQ(form_->WindowState(), wsMinimized);
        desktop_.ShowWindow(form_->WindowHandle(), SW_RESTORE);
        EXPECT_EQ(form_->WindowState(), wsNormal);
        EXPECT_EQ(form_->ClientWidth(), 394);
        form_->Close();
    });
    app_.Run();
}

TEST_F(FormTest, FormsOffTheTaskBarAreOwnedByTheApplicationWindow) {
    app_.Initialize();
    app_.CreateForm(form_);
    EXPECT_EQ(desktop_.OwnerOf(form_->WindowHandle()), app_.Handle());
    EXPECT_EQ(desktop_.GetWindowLongPtrW(form_->WindowHandle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

TEST_F(FormTest, EverythingIsReleasedExactlyOnceAtShutdown) {
    StartUp();
    std::vector<HWND> windows;
    desktop_.OnIdle([this, &windows] {
        windows = desktop_.ChildrenOf(form_->WindowHandle());
        windows.push_back(form_->WindowHandle());
        windows.push_back(app_.Handle());
        // Paint everything once, change fonts and colours, so that every kind of object exists.
        for (HWND child : desktop_.ChildrenOf(form_->WindowHandle())) {
            desktop_.UpdateWindow(child);
        }
        desktop_.UpdateWindow(form_->WindowHandle());
        form_->LabelTitle->Font().SetHeight(-30);
        form_->SetColor(clWhite);
        form_->BtnInstall->SetEnabled(false);
        desktop_.UpdateWindow(form_->BtnInstall->WindowHandle());
        form_->Close();
    });
    app_.Run();
    // Every window of the running program went, and objects of each kind painting makes were
    // made and went too.
    ASSERT_FALSE(windows.empty());
    for (HWND window : windows) {
        EXPECT_FALSE(desktop_.Ledger().IsOutstanding(window));
    }
    for (HandleKind kind : {HandleKind::Window, HandleKind::Icon, HandleKind::Brush,
                            HandleKind::Font, HandleKind::PaintDC}) {
        SCOPED_TRACE(platform::sim::KindName(kind));
        EXPECT_GT(desktop_.Ledger().AcquiredCount(kind), 0);
        EXPECT_EQ(desktop_.Ledger().ReleasedCount(kind), desktop_.Ledger().AcquiredCount(kind));
    }
    EXPECT_TRUE(desktop_.Ledger().Outstanding().empty()) << desktop_.Ledger().Report();
    EXPECT_TRUE(desktop_.Ledger().Faults().empty()) << desktop_.Ledger().Report();
}

TEST_F(FormTest, LabelsDrawInTheirFontColourOnTheFormsBackground) {
    StartUp();
    form_->Show();
    desktop_.ClearPaintOps();
    desktop_.InvalidateRect(form_->Label2->WindowHandle(), nullptr, TRUE);
    desktop_.UpdateWindow(form_->Label2->WindowHandle());
    const auto& ops = desktop_.PaintOps();
    auto text = std::find_if(ops.begin(), ops.end(), [](const platform::sim::PaintOp& op) {
        return op.kind == platform::sim::PaintOp::Kind::DrawText;
    });
    ASSERT_NE(text, ops.end());
    EXPECT_EQ(text->text, u"USB DRIVER SOFTWARE");
    EXPECT_EQ(text->textColor, RGB(255, 255, 255));
    auto fill = std::find_if(ops.begin(), ops.end(), [](const platform::sim::PaintOp& op) {
        return op.kind == platform::sim::PaintOp::Kind::FillRect;
    });
    ASSERT_NE(fill, ops.end());
    ASSERT_TRUE(fill->brushColor.has_value());
    EXPECT_EQ(*fill->brushColor, RGB(40, 40, 255));
}

TEST_F(FormTest, ButtonCentresGlyphAndCaptionTogether) {
    StartUp();
    form_->Show();
    desktop_.ClearPaintOps();
    desktop_.InvalidateRect(form_->BtnInstall->WindowHandle(), nullptr, TRUE);
    desktop_.UpdateWindow(form_->BtnInstall->WindowHandle());
    const auto& ops = desktop_.PaintOps();
    auto find = [&](platform::sim::PaintOp::Kind kind) {
        return std::find_if(ops.begin(), ops.end(),
                            [kind](const platform::sim::PaintOp& op) { return op.kind == kind; });
    };
    auto icon = find(platform::sim::PaintOp::Kind::DrawIcon);
    auto text = find(platform::sim::PaintOp::Kind::DrawText);
    ASSERT_NE(icon, ops.end());
    ASSERT_NE(text, ops.end());
    // 18-pixel glyph, 4 pixels, "Install" at 10 pixels a character in the desktop's model:
    // 92 pixels centred in 140.
    EXPECT_EQ(icon->rect.right - icon->rect.left, 18);
    EXPECT_EQ(icon->rect.left, 24);
    EXPECT_EQ(text->rect.left, 24 + 18 + 4);
    EXPECT_EQ(text->text, u"Install");
    EXPECT_EQ((icon->rect.top + icon->rect.bottom) / 2, 49 / 2);
    // It has the focus: a focus rectangle.
    EXPECT_NE(find(platform::sim::PaintOp::Kind::DrawFocusRect), ops.end());
}

TEST_F(FormTest, PictureIsStretchedToTheControl) {
    StartUp();
    form_->Show();
    desktop_.ClearPaintOps();
    desktop_.InvalidateRect(form_->Image1->WindowHandle(), nullptr, TRUE);
    desktop_.UpdateWindow(form_->Image1->WindowHandle());
    const auto& ops = desktop_.PaintOps();
    auto blit = std::find_if(ops.begin(), ops.end(), [](const platform::sim::PaintOp& op) {
        return op.kind == platform::sim::PaintOp::Kind::StretchDIBits;
    });
    ASSERT_NE(blit, ops.end());
    EXPECT_EQ(blit->rect.right - blit->rect.left, 26);
    EXPECT_EQ(blit->rect.bottom - blit->rect.top, 23);
}

TEST_F(FormTest, BoundsWrittenAreReadBackFromTheWindow) {
    StartUp();
    form_->Label2->SetBounds(10, 20, -5, 30);
    EXPECT_EQ(form_->Label2->Width(), 0);
    RECT rect{};
    desktop_.GetWindowRect(form_->Label2->WindowHandle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    form_->SetClientWidth(500);
    EXPECT_EQ(form_->ClientWidth(), 500);
    desktop_.GetClientRect(form_->WindowHandle(), &rect);
    EXPECT_EQ(rect.right, 500);
}

} // namespace
} // namespace toolkit_test
