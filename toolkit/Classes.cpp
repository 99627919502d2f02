#include "toolkit/Classes.h"

#include "toolkit/Controls.h"
#include "toolkit/Strings.h"

#include <algorithm>
#include <map>

namespace toolkit {

void ThrowFieldClassMismatch(const std::u16string& field) {
    throw EInvalidOperation(u"The component assigned to field " + field +
                            u" is not of the field's class");
}

bool IsValidIdentifier(std::u16string_view name) {
    if (name.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        const bool digit = c >= u'0' && c <= u'9';
        if (!letter && !(digit && i > 0)) {
            return false;
        }
    }
    return true;
}

// ---- TPropertyList ------------------------------------------------------------------------

TPropertyList& TPropertyList::Add(TPropertyInfo info) {
    for (auto& own : own_) {
        if (own.name == info.name) {
            own = std::move(info);
            return *this;
        }
    }
    own_.push_back(std::move(info));
    return *this;
}

const TPropertyInfo* TPropertyList::Find(std::u16string_view name) const {
    for (const auto& own : own_) {
        if (SameText(own.name, name)) {
            return &own;
        }
    }
    return base_ != nullptr ? base_->Find(name) : nullptr;
}

bool TPropertyList::Has(std::u16string_view name) const {
    for (const TPropertyInfo* info : All()) {
        const std::u16string_view candidate = info->name;
        if (SameText(candidate, name)) {
            return true;
        }
        if (candidate.size() > name.size() && candidate[name.size()] == u'.' &&
            SameText(candidate.substr(0, name.size()), name)) {
            return true;
        }
    }
    return false;
}

std::vector<const TPropertyInfo*> TPropertyList::All() const {
    std::vector<const TPropertyInfo*> all;
    if (base_ != nullptr) {
        all = base_->All();
    }
    for (const auto& own : own_) {
        auto same = std::find_if(all.begin(), all.end(), [&](const TPropertyInfo* p) {
            return SameText(p->name, own.name);
        });
        if (same != all.end()) {
            *same = &own;
        } else {
            all.push_back(&own);
        }
    }
    return all;
}

// ---- TComponent ---------------------------------------------------------------------------

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) {
        owner->Insert(this);
        if ((owner->state_ & csDesigning) != 0) {
            state_ |= csDesigning;
        }
    }
}

TComponent::~TComponent() {
    state_ |= csDestroying;
    DestroyComponents();
    if (owner_ != nullptr) {
        owner_->Remove(this);
    }
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        // The component's destructor takes it out of the list.
        delete components_.back();
    }
}

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, true);
}

void TComponent::Remove(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) {
        return;
    }
    components_.erase(it);
    component->owner_ = nullptr;
    // No field keeps pointing at a component that is gone.
    for (auto& field : fields_) {
        if (field->Get() == component) {
            field->Set(nullptr);
        }
    }
    Notification(component, false);
}

void TComponent::Notification(TComponent* /*component*/, bool /*inserted*/) {}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) {
        throw EInvalidOperation(u"Component index out of range");
    }
    return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
    if (owner_ == nullptr) {
        return -1;
    }
    auto it = std::find(owner_->components_.begin(), owner_->components_.end(), this);
    return static_cast<int>(it - owner_->components_.begin());
}

TComponent* TComponent::FindComponent(std::u16string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    for (TComponent* component : components_) {
        if (SameText(component->name_, name)) {
            return component;
        }
    }
    return nullptr;
}

void TComponent::SetName(const std::u16string& name) {
    if (name == name_) {
        return;
    }
    if (!name.empty() && !IsValidIdentifier(name)) {
        throw EInvalidOperation(u"\"" + name + u"\" is not a valid component name");
    }
    if (owner_ != nullptr) {
        const TComponent* other = owner_->FindComponent(name);
        if (other != nullptr && other != this) {
            throw EInvalidOperation(u"A component named " + name + u" already exists");
        }
    }
    name_ = name;
}

void TComponent::SetDesigning(bool designing) {
    if (designing) {
        state_ |= csDesigning;
    } else {
        state_ &= ~static_cast<TComponentState>(csDesigning);
    }
}

std::u16string TComponent::ClassName() const {
    if (!className_.empty()) {
        return className_;
    }
    std::u16string registered = RegisteredClassName(typeid(*this));
    return registered.empty() ? u"TComponent" : registered;
}

void TComponent::Loaded() {
    state_ &= ~static_cast<TComponentState>(csLoading);
}

void TComponent::DefineProperties(TFiler& /*filer*/) {}

const TPropertyList& TComponent::PublishedProperties() const {
    return ClassProperties();
}

const TPropertyList& TComponent::ClassProperties() {
    static const TPropertyList none;
    return none;
}

bool TComponent::HasPublishedProperty(std::u16string_view name) const {
    return PublishedProperties().Has(name);
}

void TComponent::AddField(std::unique_ptr<PublishedField> field) {
    for (auto& existing : fields_) {
        if (SameText(existing->Name(), field->Name())) {
            existing = std::move(field);
            return;
        }
    }
    fields_.push_back(std::move(field));
}

PublishedField* TComponent::FieldAddress(const std::u16string& name) {
    for (auto& field : fields_) {
        if (SameText(field->Name(), name)) {
            return field.get();
        }
    }
    return nullptr;
}

void TComponent::AddMethod(const std::u16string& name, std::type_index type,
                           std::shared_ptr<const void> event) {
    for (auto& existing : methods_) {
        if (SameText(existing.name, name) && existing.type == type) {
            existing.event = std::move(event);
            return;
        }
    }
    methods_.push_back(PublishedMethod{name, type, std::move(event)});
}

const void* TComponent::FindMethod(const std::u16string& name, std::type_index type) const {
    for (const auto& method : methods_) {
        if (method.type == type && SameText(method.name, name)) {
            return method.event.get();
        }
    }
    return nullptr;
}

// ---- The class registry -------------------------------------------------------------------

namespace {
struct Registration {
    std::u16string name;
    std::type_index type;
    TComponentFactory factory;
};

struct Registry {
    std::vector<Registration> classes;
    bool standardRegistered = false;
};

Registry& TheRegistry() {
    static Registry registry;
    if (!registry.standardRegistered) {
        registry.standardRegistered = true;
        RegisterStandardClasses();
    }
    return registry;
}

const Registration* FindRegistration(std::u16string_view className) {
    for (const auto& registration : TheRegistry().classes) {
        if (SameText(registration.name, className)) {
            return &registration;
        }
    }
    return nullptr;
}
} // namespace

void RegisterComponentFactory(const std::u16string& className, std::type_index type,
                              TComponentFactory factory) {
    if (!IsValidIdentifier(className)) {
        throw EInvalidOperation(u"\"" + className + u"\" is not a valid class name");
    }
    auto& classes = TheRegistry().classes;
    for (auto& registration : classes) {
        if (SameText(registration.name, className)) {
            registration.type = type;
            registration.factory = std::move(factory);
            return;
        }
    }
    classes.push_back(Registration{className, type, std::move(factory)});
}

bool IsComponentClassRegistered(std::u16string_view className) {
    return FindRegistration(className) != nullptr;
}

TComponent* CreateComponentOfClass(std::u16string_view className, TComponent* owner) {
    const Registration* registration = FindRegistration(className);
    if (registration == nullptr) {
        return nullptr;
    }
    TComponent* component = registration->factory(owner);
    if (component != nullptr && component->ClassName() != registration->name) {
        component->SetClassName(registration->name);
    }
    return component;
}

std::u16string RegisteredClassName(const std::type_info& type) {
    for (const auto& registration : TheRegistry().classes) {
        if (registration.type == std::type_index(type)) {
            return registration.name;
        }
    }
    return {};
}

} // namespace toolkit
