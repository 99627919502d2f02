// What the toolkit's tests share: a simulated desktop with the program's resources, an
// application object per test, and a form class shaped like the launcher's main window with a
// stand-in for the resize component.
#pragma once

#include "platform/sim/SimDesktop.h"
#include "toolkit/Application.h"
#include "toolkit/Properties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace toolkit_test {

std::string ReadResourceFile(const char* name);

// Stands in for the resize component: the same published properties and stored values, and a
// record of what reached it and when.
class TStandInKit : public toolkit::TComponent {
public:
    enum TFormPos { rpDefault, rpTopLeft, rpMiddleCenter };

    explicit TStandInKit(toolkit::TComponent* owner);

    TFormPos FormPos() const { return formPos_; }
    void SetFormPos(TFormPos pos);
    int FormWidth() const { return formWidth_; }
    void SetFormWidth(int width);
    int FormHeight() const { return formHeight_; }
    void SetFormHeight(int height);
    bool ResizeFont() const { return resizeFont_; }
    void SetResizeFont(bool on);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);

    int designFrmW = 0, designFrmH = 0, designDpiW = 0, designDpiH = 0;
    // Names of the values applied, in order.
    std::vector<std::string> applied;
    // At Loaded: the owner's component count and whether its fields were all set.
    int loadedCalls = 0;
    int ownerComponentsAtLoaded = -1;
    bool ownerFieldsSetAtLoaded = false;
    bool stillLoadingAtLoaded = false;

    void Loaded() override;
    void DefineProperties(toolkit::TFiler& filer) override;
    const toolkit::TPropertyList& PublishedProperties() const override;
    static const toolkit::TPropertyList& ClassProperties();

private:
    TFormPos formPos_ = rpDefault;
    int formWidth_ = 0;
    int formHeight_ = 0;
    bool resizeFont_ = true;
    bool enabled_ = true;
};

// Components' Loaded calls, in order, across one test.
std::vector<std::u16string>& LoadedLog();

class TTestForm : public toolkit::TForm {
public:
    toolkit::TLabel* LabelTitle = nullptr;
    toolkit::TImage* Image1 = nullptr;
    toolkit::TLabel* Label2 = nullptr;
    toolkit::TLabel* LabelType = nullptr;
    toolkit::TLabel* LabelVersion = nullptr;
    toolkit::TLabel* Label5 = nullptr;
    toolkit::TBitBtn* BtnInstall = nullptr;
    toolkit::TBitBtn* BtnCancel = nullptr;
    TStandInKit* ResizeKit1 = nullptr;

    int shows = 0, installClicks = 0, cancelClicks = 0;
    std::function<void()> onShowAction, onInstallAction, onCancelAction;

    void FormShow(toolkit::TObject* sender);
    void BtnInstallClick(toolkit::TObject* sender);
    void BtnCancelClick(toolkit::TObject* sender);

    explicit TTestForm(toolkit::TComponent* owner);
    void Loaded() override;
};

class DesktopTest : public ::testing::Test {
protected:
    DesktopTest() : DesktopTest(platform::sim::SimConfig{}) {}
    explicit DesktopTest(const platform::sim::SimConfig& config);

    // The program's resources as Setup.rc embeds them.
    void AddProgramResources();
    // A form of the test class loaded from resources/MainForm.desc.
    TTestForm& LoadMainForm();

    platform::sim::SimDesktop desktop_;
    platform::ScopedApi api_;
    toolkit::TApplication app_;
};

} // namespace toolkit_test
