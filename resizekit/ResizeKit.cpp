#include "resizekit/ResizeKit.h"

#include "platform/Api.h"
#include "platform/Handles.h"
#include "toolkit/Forms.h"
#include "toolkit/Properties.h"
#include "toolkit/stored/StoredDescription.h"

#include <algorithm>

using namespace toolkit;

namespace resizekit {
platform::DWORD OsVersion = 0;
platform::BYTE OsMajorVersion = 0;
platform::BYTE OsMinorVersion = 0;
bool UseJapaneseMessages = false;
std::vector<toolkit::PublishedField*> ResizeKitList;
platform::HHOOK CallWndHook = nullptr;
int LastScreenWidth = 0;
int LastScreenHeight = 0;

void RegisterClasses() { RegisterComponentClass<TResizeKit>(u"TResizeKit"); }
} // namespace resizekit

namespace {

// The validation messages; the property names read the same in both languages.
enum class SizeMessage {
    Negative,
    AtLeastMinWidth,
    AtMostMaxWidth,
    AtLeastMinHeight,
    AtMostMaxHeight,
    AtLeastWidth,
    AtMostWidth,
    AtLeastHeight,
    AtMostHeight,
};

std::u16string MessageText(SizeMessage message) {
    const bool japanese = resizekit::UseJapaneseMessages;
    auto atLeast = [japanese](const char16_t* name) {
        return japanese ? std::u16string(name) + u" 以上の値を入れてください"
                        : u"Set this value equal to or greater than the " + std::u16string(name);
    };
    auto atMost = [japanese](const char16_t* name) {
        return japanese ? std::u16string(name) + u" 以下の値を入れてください"
                        : u"Set this value equal to or less than the " + std::u16string(name);
    };
    switch (message) {
    case SizeMessage::Negative:
        return japanese ? u"0 以上の値を入れてください" : u"Set this value equal to or greater than 0";
    case SizeMessage::AtLeastMinWidth: return atLeast(u"FormMinWidth");
    case SizeMessage::AtMostMaxWidth: return atMost(u"FormMaxWidth");
    case SizeMessage::AtLeastMinHeight: return atLeast(u"FormMinHeight");
    case SizeMessage::AtMostMaxHeight: return atMost(u"FormMaxHeight");
    case SizeMessage::AtLeastWidth: return atLeast(u"FormWidth");
    case SizeMessage::AtMostWidth: return atMost(u"FormWidth");
    case SizeMessage::AtLeastHeight: return atLeast(u"FormHeight");
    case SizeMessage::AtMostHeight: return atMost(u"FormHeight");
    }
    return {};
}

[[noreturn]] void Reject(SizeMessage message) { throw EInvalidOperation(MessageText(message)); }

// Splits at every ";"; empty parts between separators count, a trailing empty one does not.
void SplitNames(const std::u16string& text, TNameList& list) {
    list.Clear();
    std::u16string rest = text;
    for (auto pos = rest.find(u';'); pos != std::u16string::npos; pos = rest.find(u';')) {
        list.Add(rest.substr(0, pos));
        rest.erase(0, pos + 1);
    }
    if (!rest.empty()) {
        list.Add(rest);
    }
}

int ScreenDensity(int index) {
    platform::ScreenDC dc(nullptr);
    return platform::Os().GetDeviceCaps(dc.get(), index);
}

} // namespace

bool TNameList::Contains(const std::u16string& name) const {
    // The user's locale decides which letters are the same but for case.
    return std::any_of(names_.begin(), names_.end(), [&](const std::u16string& entry) {
        return platform::Os().CompareStringW(platform::LOCALE_USER_DEFAULT,
                                             platform::NORM_IGNORECASE, entry.data(),
                                             static_cast<int>(entry.size()), name.data(),
                                             static_cast<int>(name.size())) == platform::CSTR_EQUAL;
    });
}

bool TResizeKit::IsJapaneseLocale() {
    auto& os = platform::Os();
    char name[4] = {};
    // At most three letters are kept; a failed call leaves the name empty.
    char buffer[16] = {};
    if (os.GetLocaleInfoA(platform::LOCALE_USER_DEFAULT, platform::LOCALE_SABBREVLANGNAME, buffer,
                          sizeof buffer) > 0) {
        for (int i = 0; i < 3 && buffer[i] != '\0'; ++i) {
            name[i] = buffer[i];
        }
    }
    os.CharUpperBuffA(name, static_cast<platform::DWORD>(std::char_traits<char>::length(name)));
    return os.lstrcmpA(name, "JPN") == 0;
}

void TResizeKit::SetFormPos(TResizeFormPos value) {
    if (value == FFormPos) {
        return;
    }
    FFormPos = value;
    if (ComponentState() & csDesigning) {
        return;
    }
    PlaceOwnerAtOnce();
}

void TResizeKit::WriteSize(int& field, int value, const std::function<void(int)>& checks) {
    resizekit::UseJapaneseMessages = IsJapaneseLocale();
    if (value == 0) {
        field = 0;
        return;
    }
    if (value < 0) {
        Reject(SizeMessage::Negative);
    }
    checks(value);
    field = value;
}

void TResizeKit::SetFormWidth(int value) {
    WriteSize(FFormWidth, value, [this](int v) {
        if (v < FFormMinWidth) Reject(SizeMessage::AtLeastMinWidth);
        if (FFormMaxWidth > 0 && FFormMaxWidth < v) Reject(SizeMessage::AtMostMaxWidth);
    });
}

void TResizeKit::SetFormHeight(int value) {
    WriteSize(FFormHeight, value, [this](int v) {
        if (v < FFormMinHeight) Reject(SizeMessage::AtLeastMinHeight);
        if (FFormMaxHeight > 0 && FFormMaxHeight < v) Reject(SizeMessage::AtMostMaxHeight);
    });
}

void TResizeKit::SetFormMaxWidth(int value) {
    WriteSize(FFormMaxWidth, value, [this](int v) {
        if (FFormMinWidth != 0 && FFormMinWidth > v) Reject(SizeMessage::AtLeastMinWidth);
        if (FFormWidth != 0 && FFormWidth > v) Reject(SizeMessage::AtLeastWidth);
    });
}

void TResizeKit::SetFormMaxHeight(int value) {
    WriteSize(FFormMaxHeight, value, [this](int v) {
        if (FFormMinHeight != 0 && FFormMinHeight > v) Reject(SizeMessage::AtLeastMinHeight);
        if (FFormHeight != 0 && FFormHeight > v) Reject(SizeMessage::AtLeastHeight);
    });
}

void TResizeKit::SetFormMinWidth(int value) {
    WriteSize(FFormMinWidth, value, [this](int v) {
        if (FFormMaxWidth != 0 && FFormMaxWidth < v) Reject(SizeMessage::AtMostMaxWidth);
        if (FFormWidth != 0 && FFormWidth < v) Reject(SizeMessage::AtMostWidth);
    });
}

void TResizeKit::SetFormMinHeight(int value) {
    WriteSize(FFormMinHeight, value, [this](int v) {
        if (FFormMaxHeight != 0 && FFormMaxHeight < v) Reject(SizeMessage::AtMostMaxHeight);
        if (FFormHeight != 0 && FFormHeight < v) Reject(SizeMessage::AtMostHeight);
    });
}

void TResizeKit::SetNoResizeFntCtl(const std::u16string& value) {
    FNoResizeFntCtl = value;
    if (!(ComponentState() & csDesigning)) {
        ParseNoResizeFntCtl();
    }
}

void TResizeKit::SetNoResizeCtl(const std::u16string& value) {
    FNoResizeCtl = value;
    if (!(ComponentState() & csDesigning)) {
        ParseNoResizeCtl();
    }
}

void TResizeKit::ParseNoResizeFntCtl() { SplitNames(FNoResizeFntCtl, FNoResizeFntCtls); }

void TResizeKit::ParseNoResizeCtl() { SplitNames(FNoResizeCtl, FNoResizeCtls); }

const TPropertyList& TResizeKit::PublishedProperties() const {
    static const TPropertyList list = [] {
        static const TIdentMap positions = {
            {u"rpDefault", rpDefault},           {u"rpTopLeft", rpTopLeft},
            {u"rpTopCenter", rpTopCenter},       {u"rpTopRight", rpTopRight},
            {u"rpMiddleLeft", rpMiddleLeft},     {u"rpMiddleCenter", rpMiddleCenter},
            {u"rpMiddleRight", rpMiddleRight},   {u"rpBottomLeft", rpBottomLeft},
            {u"rpBottomCenter", rpBottomCenter}, {u"rpBottomRight", rpBottomRight},
        };
        // The order is the order of writing and reading; every property but the name lists
        // and the handler is written whatever its value.
        TPropertyList l;
        l.Add(EnumProperty(u"FormPos", positions, &TResizeKit::FormPos, &TResizeKit::SetFormPos));
        l.Add(IntegerProperty(u"FormWidth", &TResizeKit::FormWidth, &TResizeKit::SetFormWidth));
        l.Add(IntegerProperty(u"FormHeight", &TResizeKit::FormHeight, &TResizeKit::SetFormHeight));
        l.Add(IntegerProperty(u"FormMaxWidth", &TResizeKit::FormMaxWidth,
                              &TResizeKit::SetFormMaxWidth));
        l.Add(IntegerProperty(u"FormMaxHeight", &TResizeKit::FormMaxHeight,
                              &TResizeKit::SetFormMaxHeight));
        l.Add(IntegerProperty(u"FormMinWidth", &TResizeKit::FormMinWidth,
                              &TResizeKit::SetFormMinWidth));
        l.Add(IntegerProperty(u"FormMinHeight", &TResizeKit::FormMinHeight,
                              &TResizeKit::SetFormMinHeight));
        l.Add(BooleanProperty(u"ResizeFont", &TResizeKit::ResizeFont, &TResizeKit::SetResizeFont));
        l.Add(StoredWhen(StringProperty(u"NoResizeFntCtl", &TResizeKit::NoResizeFntCtl,
                                        &TResizeKit::SetNoResizeFntCtl),
                         [](const TComponent& c) { return !As<TResizeKit>(c).NoResizeFntCtl().empty(); }));
        l.Add(StoredWhen(StringProperty(u"NoResizeCtl", &TResizeKit::NoResizeCtl,
                                        &TResizeKit::SetNoResizeCtl),
                         [](const TComponent& c) { return !As<TResizeKit>(c).NoResizeCtl().empty(); }));
        l.Add(BooleanProperty(u"Enabled", &TResizeKit::Enabled, &TResizeKit::SetEnabled));
        l.Add(BooleanProperty(u"ValidTaskbar", &TResizeKit::ValidTaskbar,
                              &TResizeKit::SetValidTaskbar));
        l.Add(EventProperty(u"OnExitResize", &TResizeKit::OnExitResize,
                            &TResizeKit::SetOnExitResize));
        return l;
    }();
    return list;
}

void TResizeKit::DefineProperties(TFiler& filer) {
    TComponent::DefineProperties(filer);
    // Each value records the situation when the description was written; a missing one
    // leaves its field at 0.
    auto owner = [this] { return dynamic_cast<const TControl*>(Owner()); };
    auto define = [&filer](const char16_t* name, int& field, std::function<int()> current) {
        filer.DefineProperty(
            name, [&field](const stored::Value& value) { field = IntegerOf(value); },
            [current] { return IntegerValue(current()); }, true);
    };
    define(u"DesignFrmW", FDesignFrmW, [owner] { return owner() ? owner()->ClientWidth() : 0; });
    define(u"DesignFrmH", FDesignFrmH, [owner] { return owner() ? owner()->ClientHeight() : 0; });
    define(u"DesignDpiW", FDesignDpiW, [] { return ScreenDensity(platform::LOGPIXELSX); });
    define(u"DesignDpiH", FDesignDpiH, [] { return ScreenDensity(platform::LOGPIXELSY); });
}
