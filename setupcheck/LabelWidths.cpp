#include "setupcheck/LabelWidths.h"

#include "resizekit/ResizeKit.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Forms.h"

#include <memory>

namespace setupcheck {

namespace {

// Setup.exe's window with nothing of its behaviour: the fields the description assigns and the
// handlers it binds, which do nothing.
class TMeasureForm final : public toolkit::TForm {
public:
    toolkit::TLabel* LabelTitle = nullptr;
    toolkit::TLabel* LabelType = nullptr;
    toolkit::TLabel* LabelVersion = nullptr;

    explicit TMeasureForm(toolkit::TComponent* owner) : toolkit::TForm(owner) {
        PublishField(u"LabelTitle", LabelTitle);
        PublishField(u"LabelType", LabelType);
        PublishField(u"LabelVersion", LabelVersion);
        PublishMethod(u"FormShow", &TMeasureForm::Ignore);
        PublishMethod(u"BtnInstallClick", &TMeasureForm::Ignore);
        PublishMethod(u"BtnCancelClick", &TMeasureForm::Ignore);
        resizekit::RegisterClasses();
        LoadDescription(u"MAINFORM");
        for (toolkit::TLabel* label : {LabelTitle, LabelType, LabelVersion}) {
            if (label == nullptr) {
                throw toolkit::EInvalidOperation(u"the window's description lacks a label");
            }
        }
    }

    void Ignore(toolkit::TObject* /*Sender*/) {}
};

class Measure {
public:
    std::optional<LabelFit> operator()(launcher::SetupLineKind which, const std::u16string& text) {
        if (!form_) {
            toolkit::Application().Initialize();
            form_ = std::make_shared<TMeasureForm>(nullptr);
        }
        toolkit::TLabel* label = which == launcher::SetupLineKind::Title ? form_->LabelTitle
                                 : which == launcher::SetupLineKind::DriverType
                                     ? form_->LabelType
                                     : form_->LabelVersion;
        const int width = label->Width();
        // Sizing to the text measures it with the font the label's window has.
        label->Handle();
        label->SetCaption(text);
        label->SetAutoSize(true);
        const LabelFit fit{label->Width(), width};
        label->SetAutoSize(false);
        label->SetBounds(label->Left(), label->Top(), width, label->Height());
        return fit;
    }

private:
    std::shared_ptr<TMeasureForm> form_;
};

} // namespace

LabelMeasure WindowLabelMeasure() {
    return Measure{};
}

} // namespace setupcheck
