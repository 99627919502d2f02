// An example program on the window toolkit with the resize component on its form: the form
// comes from its stored description (ResizingForm.desc), and ResizeKit1 keeps every control in
// proportion to the client area.
#include "platform/win32/Win32Api.h"
#include "resizekit/ResizeKit.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

class TResizingForm : public toolkit::TForm {
public:
    // Published fields, named as in the description. ResizeKit1 must be one of them: without
    // its field the component stays inactive, and says nothing. The frame's own controls
    // (LabelNote, EditNote) belong to the frame and fill no field of the form.
    toolkit::TLabel* LabelHeading = nullptr;
    toolkit::TLabel* LabelName = nullptr;
    toolkit::TEdit* EditName = nullptr;
    toolkit::TListBox* ListColours = nullptr;
    toolkit::TFrame* FrameDetails = nullptr;
    toolkit::TLabel* LabelScale = nullptr;
    toolkit::TBitBtn* BtnClose = nullptr;
    TResizeKit* ResizeKit1 = nullptr;

    explicit TResizingForm(toolkit::TComponent* owner) : toolkit::TForm(owner) {
        PublishField(u"LabelHeading", LabelHeading);
        PublishField(u"LabelName", LabelName);
        PublishField(u"EditName", EditName);
        PublishField(u"ListColours", ListColours);
        PublishField(u"FrameDetails", FrameDetails);
        PublishField(u"LabelScale", LabelScale);
        PublishField(u"BtnClose", BtnClose);
        PublishField(u"ResizeKit1", ResizeKit1);
        PublishMethod(u"BtnCloseClick", &TResizingForm::BtnCloseClick);
        PublishMethod(u"ResizeKit1ExitResize", &TResizingForm::ResizeKit1ExitResize);

        // Before loading: the description names the classes TResizeKit, TEdit and TListBox.
        resizekit::RegisterClasses();
        toolkit::RegisterInputControls();
        LoadDescription(u"RESIZINGFORM");
        AddEditAtRunTime();
    }

    void BtnCloseClick(toolkit::TObject* /*sender*/) { Close(); }

    // Called at the end of every rescale with the factors it applied.
    void ResizeKit1ExitResize(toolkit::TObject* /*sender*/, double xScale, double yScale) {
        char text[64];
        std::snprintf(text, sizeof text, "x %.2f  y %.2f", xScale, yScale);
        LabelScale->SetCaption(std::u16string(text, text + std::strlen(text)));
    }

private:
    // A control made by code after loading: DynamicAdd records it so that the next rescale
    // includes it. It is placed by EditName, whose geometry loading has already adapted to the
    // screen's density, so the new box fits the adapted layout.
    void AddEditAtRunTime() {
        auto* edit = new toolkit::TEdit(this);
        edit->SetName(u"EditAdded");
        edit->SetParent(this);
        edit->SetBounds(EditName->Left(), EditName->Top() + EditName->Height() * 3 / 2,
                        EditName->Width(), EditName->Height());
        edit->Font().Assign(EditName->Font());
        edit->SetText(u"Added at run time");
        ResizeKit1->DynamicAdd();
    }
};

extern "C" int PLATFORM_CALLBACK wWinMain(platform::HINSTANCE, platform::HINSTANCE, wchar_t*, int) {
    platform::win32::Win32Api os;
    platform::ScopedApi installed(os);
    toolkit::TApplication& application = toolkit::Application();
    try {
        application.Initialize();
        application.SetMainFormOnTaskBar(true);
        TResizingForm* form = nullptr;
        application.CreateForm(form);
        application.Run();
    } catch (const std::exception& error) {
        application.ShowException(&error);
    }
    return 0;
}
