#include "launcher/Main.h"

#include "launcher/ProcessHardening.h"

#include "resizekit/ResizeKit.h"
#include "toolkit/Application.h"

#include <exception>
#include <utility>

TMainForm* MainForm = nullptr;

namespace {
constexpr std::u16string_view kVersion = u"" SETUP_VERSION;
constexpr platform::LCID kJapanese = 1041;
} // namespace

template <class Visit> void TMainForm::ForEachComponent(Visit&& visit) {
    visit(u"LabelTitle", LabelTitle);
    visit(u"Image1", Image1);
    visit(u"Label2", Label2);
    visit(u"LabelType", LabelType);
    visit(u"LabelVersion", LabelVersion);
    visit(u"Label5", Label5);
    visit(u"BtnInstall", BtnInstall);
    visit(u"BtnCancel", BtnCancel);
    visit(u"ResizeKit1", ResizeKit1);
}

TMainForm::TMainForm(toolkit::TComponent* AOwner) : toolkit::TForm(AOwner) {
    ForEachComponent([this](const char16_t* name, auto*& field) { PublishField(name, field); });
    PublishMethod(u"FormShow", &TMainForm::FormShow);
    PublishMethod(u"BtnInstallClick", &TMainForm::BtnInstallClick);
    PublishMethod(u"BtnCancelClick", &TMainForm::BtnCancelClick);

    resizekit::RegisterClasses();
    // The window, its controls and ResizeKit1; the component takes its snapshot once loading
    // has ended.
    LoadDescription(u"MAINFORM");
    RequireComponents();

    CloseOnShow = false;

    LabelTitle->SetCaption(u"????????");
    LabelType->SetCaption(u"????????");
    LabelVersion->SetCaption(u"?.??.??");

    ReadSetupFile();

    // Through MainForm: the application stored it before this body ran.
    MainForm->SetCaption(u"Setup (" + std::u16string(kVersion) + u")");

    const bool japanese = IsJapaneseUser();
    BtnInstall->SetCaption(std::u16string(launcher::CaptionInstall.Text(japanese)));
    BtnCancel->SetCaption(std::u16string(launcher::CaptionCancel.Text(japanese)));
}

// The description is part of the executable, but a component missing from it must not become
// a null pointer the constructor runs into.
void TMainForm::RequireComponents() {
    ForEachComponent([](const char16_t* name, const auto* field) {
        if (field == nullptr) {
            throw toolkit::EInvalidOperation(u"The window's description has no " +
                                             std::u16string(name));
        }
    });
}

void TMainForm::FormShow(toolkit::TObject* /*Sender*/) {
    if (CloseOnShow) {
        Close();
    }
}

void TMainForm::BtnCancelClick(toolkit::TObject* /*Sender*/) {
    Close();
}

void TMainForm::ReadSetupFile() {
    // The reader keeps the file open after a failure until it goes, so the report comes first.
    launcher::SetupFileReader reader;
    for (;;) {
        launcher::SetupStep step = reader.Next();
        switch (step.kind) {
        case launcher::SetupStep::Kind::Value:
            SetupValueRead(step.label, std::move(step.value));
            break;
        case launcher::SetupStep::Kind::End:
            return;
        case launcher::SetupStep::Kind::Failed:
            SetupFileFailed(*step.failure);
            return;
        }
    }
}

void TMainForm::SetupValueRead(launcher::SetupLineKind kind, std::u16string value) {
    switch (kind) {
    case launcher::SetupLineKind::Title:
        LabelTitle->SetCaption(value);
        break;
    case launcher::SetupLineKind::DriverType:
        LabelType->SetCaption(value);
        break;
    case launcher::SetupLineKind::DriverVersion:
        LabelVersion->SetCaption(u"Ver." + value);
        break;
    case launcher::SetupLineKind::End:
    case launcher::SetupLineKind::Unrecognised:
        break;
    }
}

void TMainForm::SetupFileFailed(const launcher::LauncherMessage& message) {
    launcher::ShowLauncherMessage(message, IsJapaneseUser());
    CloseOnShow = true;
    // Not yet the application's main window: this only hides a window that is not shown.
    Close();
}

bool TMainForm::IsJapaneseUser() {
    return platform::Os().GetUserDefaultLCID() == kJapanese;
}

int RunLauncher() {
    launcher::HardenProcess();
    toolkit::TApplication& application = toolkit::Application();
    try {
        application.Initialize();
        application.SetMainFormOnTaskBar(true);
        application.CreateForm(MainForm);
        application.Run();
    } catch (const std::exception& error) {
        application.ShowException(&error);
    } catch (...) {
        application.ShowException(nullptr);
    }
    // The application has destroyed its forms, or will when it goes.
    MainForm = nullptr;
    return 0;
}
