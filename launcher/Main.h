// The launcher's one window and its entry routine.
#pragma once

#include "launcher/Messages.h"
#include "launcher/SetupFile.h"
#include "toolkit/Forms.h"

#include <string>

class TResizeKit;

class TMainForm : public toolkit::TForm {
public:
    // Published: created from the stored description, in this order.
    toolkit::TLabel* LabelTitle = nullptr;
    toolkit::TImage* Image1 = nullptr;
    toolkit::TLabel* Label2 = nullptr;
    toolkit::TLabel* LabelType = nullptr;
    toolkit::TLabel* LabelVersion = nullptr;
    toolkit::TLabel* Label5 = nullptr;
    toolkit::TBitBtn* BtnInstall = nullptr;
    toolkit::TBitBtn* BtnCancel = nullptr;
    TResizeKit* ResizeKit1 = nullptr;

    void FormShow(toolkit::TObject* Sender);
    void BtnInstallClick(toolkit::TObject* Sender);
    void BtnCancelClick(toolkit::TObject* Sender);

    explicit TMainForm(toolkit::TComponent* AOwner);

private:
    // Set by a failure while the setup file is read; a close request made during construction
    // has no effect, so the window closes itself when first shown instead.
    bool CloseOnShow = false;

    // The published components with their names, in the description's order: the one list
    // that both publishes them and checks that the description made each.
    template <class Visit> void ForEachComponent(Visit&& visit);
    void RequireComponents();

    void ReadSetupFile();
    void SetupValueRead(launcher::SetupLineKind kind, std::u16string value);
    void SetupFileFailed(const launcher::LauncherMessage& message);

    void ReportLastError();
    static bool IsJapaneseUser();
};

extern TMainForm* MainForm;

// Start-up: the application, the main window, the message loop. Always 0.
int RunLauncher();
