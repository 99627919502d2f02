#include "ToolkitTest.h"

#include "ResourceNames.h"
#include "toolkit/stored/StoredDescription.h"

#include <fstream>
#include <sstream>

namespace toolkit_test {

using namespace toolkit;

std::string ReadResourceFile(const char* name) {
    std::ifstream file(std::string(SETUP_RESOURCE_DIR) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::vector<std::u16string>& LoadedLog() {
    static std::vector<std::u16string> log;
    return log;
}

TStandInKit::TStandInKit(TComponent* owner) : TComponent(owner) {}

void TStandInKit::SetFormPos(TFormPos pos) {
    formPos_ = pos;
    applied.push_back("FormPos");
}
void TStandInKit::SetFormWidth(int width) {
    if (width < 0) {
        throw EInvalidOperation(u"FormWidth must not be negative");
    }
    formWidth_ = width;
    applied.push_back("FormWidth");
}
void TStandInKit::SetFormHeight(int height) {
    formHeight_ = height;
    applied.push_back("FormHeight");
}
void TStandInKit::SetResizeFont(bool on) {
    resizeFont_ = on;
    applied.push_back("ResizeFont");
}
void TStandInKit::SetEnabled(bool on) {
    enabled_ = on;
    applied.push_back("Enabled");
}

void TStandInKit::Loaded() {
    stillLoadingAtLoaded = (ComponentState() & csLoading) != 0;
    TComponent::Loaded();
    ++loadedCalls;
    LoadedLog().push_back(Name());
    if (auto* form = dynamic_cast<TTestForm*>(Owner())) {
        ownerComponentsAtLoaded = form->ComponentCount();
        ownerFieldsSetAtLoaded = form->LabelTitle && form->Image1 && form->Label2 &&
                                 form->LabelType && form->LabelVersion && form->Label5 &&
                                 form->BtnInstall && form->BtnCancel && form->ResizeKit1 == this;
    }
}

void TStandInKit::DefineProperties(TFiler& filer) {
    auto define = [&](const char16_t* name, int& field) {
        std::string log(name, name + std::char_traits<char16_t>::length(name));
        filer.DefineProperty(
            name,
            [this, &field, log](const stored::Value& v) {
                field = IntegerOf(v);
                applied.push_back(log);
            },
            [&field] { return IntegerValue(field); }, field != 0);
    };
    define(u"DesignFrmW", designFrmW);
    define(u"DesignFrmH", designFrmH);
    define(u"DesignDpiW", designDpiW);
    define(u"DesignDpiH", designDpiH);
}

const TPropertyList& TStandInKit::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TStandInKit::ClassProperties() {
    static const TPropertyList list = [] {
        TPropertyList l(&TComponent::ClassProperties());
        l.Add(EnumProperty(u"FormPos",
                           {{u"rpDefault", rpDefault},
                            {u"rpTopLeft", rpTopLeft},
                            {u"rpMiddleCenter", rpMiddleCenter}},
                           &TStandInKit::FormPos, &TStandInKit::SetFormPos));
        l.Add(IntegerProperty(u"FormWidth", &TStandInKit::FormWidth, &TStandInKit::SetFormWidth));
        l.Add(
            IntegerProperty(u"FormHeight", &TStandInKit::FormHeight, &TStandInKit::SetFormHeight));
        // Accepted and dropped, as the component has more size limits than this stand-in.
        for (const char16_t* name :
             {u"FormMaxWidth", u"FormMaxHeight", u"FormMinWidth", u"FormMinHeight"}) {
            l.Add(MakeIntegerProperty(
                name, [](const TComponent&) { return 0; }, [](TComponent&, int) {}));
        }
        l.Add(
            BooleanProperty(u"ResizeFont", &TStandInKit::ResizeFont, &TStandInKit::SetResizeFont));
        l.Add(BooleanProperty(u"Enabled", &TStandInKit::Enabled, &TStandInKit::SetEnabled));
        l.Add(MakeBooleanProperty(
            u"ValidTaskbar", [](const TComponent&) { return true; }, [](TComponent&, bool) {}));
        return l;
    }();
    return list;
}

TTestForm::TTestForm(TComponent* owner) : TForm(owner) {
    PublishField(u"LabelTitle", LabelTitle);
    PublishField(u"Image1", Image1);
    PublishField(u"Label2", Label2);
    PublishField(u"LabelType", LabelType);
    PublishField(u"LabelVersion", LabelVersion);
    PublishField(u"Label5", Label5);
    PublishField(u"BtnInstall", BtnInstall);
    PublishField(u"BtnCancel", BtnCancel);
    PublishField(u"ResizeKit1", ResizeKit1);
    PublishMethod(u"FormShow", &TTestForm::FormShow);
    PublishMethod(u"BtnInstallClick", &TTestForm::BtnInstallClick);
    PublishMethod(u"BtnCancelClick", &TTestForm::BtnCancelClick);
}

void TTestForm::Loaded() {
    TForm::Loaded();
    LoadedLog().push_back(Name());
}

void TTestForm::FormShow(TObject*) {
    ++shows;
    if (onShowAction) {
        onShowAction();
    }
}
void TTestForm::BtnInstallClick(TObject*) {
    ++installClicks;
    if (onInstallAction) {
        onInstallAction();
    }
}
void TTestForm::BtnCancelClick(TObject*) {
    ++cancelClicks;
    if (onCancelAction) {
        onCancelAction();
    }
}

DesktopTest::DesktopTest(const platform::sim::SimConfig& config)
    : desktop_(config), api_(desktop_) {
    RegisterComponentClass<TStandInKit>(u"TResizeKit");
    // So that a description of another class is refused.
    RegisterComponentClass<TTestForm>(u"TMainForm");
    LoadedLog().clear();
}

void DesktopTest::AddProgramResources() {
    const std::string dir = SETUP_RESOURCE_DIR;
    for (const auto& raw : resources::kRawData) {
        desktop_.AddResourceFromFile(raw.name, platform::RT_RCDATA(), dir + "/" + raw.file);
    }
    desktop_.AddIconGroupFromFile(resources::kLauncherIconId,
                                  dir + "/" + resources::kLauncherIconFile);
}

TTestForm& DesktopTest::LoadMainForm() {
    AddProgramResources();
    auto* form = new TTestForm(&app_);
    form->LoadDescription(resources::kMainForm);
    return *form;
}

} // namespace toolkit_test
