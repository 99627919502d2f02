// The component model: owner and owned components, names, component state, published
// fields and methods, property metadata and the class registry used by the description
// reader and writer.
#pragma once

#include "toolkit/Exceptions.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <typeinfo>
#include <type_traits>
#include <utility>
#include <vector>

namespace toolkit {

namespace stored {
struct Value;
}

class TComponent;
class TReader;

enum TComponentStateFlag : unsigned {
    csLoading = 0x1,    // its stored description is being read; cleared by Loaded()
    csDesigning = 0x2,  // a form designer hosts it (never the case at run time)
    csDestroying = 0x4, // its destructor has begun
};
using TComponentState = unsigned;

// A handler bound to an object, the sender first, with the name of the published method it was
// bound to (so that the writer can write it back); the name is empty for a handler set from code.
template <class... Args> class TMethodEvent {
public:
    using Code = std::function<void(TObject* sender, Args... args)>;
    TMethodEvent() = default;
    // Any callable of the signature converts.
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TMethodEvent> &&
                                                std::is_invocable_v<F&, TObject*, Args...>>>
    TMethodEvent(F code, std::u16string methodName = {}) // NOLINT: a plain callable converts
        : code_(std::move(code)), methodName_(std::move(methodName)) {}
    explicit operator bool() const { return static_cast<bool>(code_); }
    void operator()(TObject* sender, Args... args) const {
        if (code_) {
            code_(sender, args...);
        }
    }
    const std::u16string& MethodName() const { return methodName_; }

private:
    Code code_;
    std::u16string methodName_;
};

// A handler of the notify kind: the sender alone.
using TNotifyEvent = TMethodEvent<>;

// A published member of a component that holds a pointer to another component: the reader
// assigns it by name, and the entry stays at the same address for the component's lifetime,
// so it can be kept as a "pointer to the owner's member".
class PublishedField {
public:
    virtual ~PublishedField() = default;
    PublishedField(const PublishedField&) = delete;
    PublishedField& operator=(const PublishedField&) = delete;
    const std::u16string& Name() const { return name_; }
    virtual TComponent* Get() const = 0;
    // Null clears the field. EInvalidOperation when the component is not of its class.
    virtual void Set(TComponent* component) = 0;
    virtual bool Accepts(const TComponent* component) const = 0;

protected:
    explicit PublishedField(std::u16string name) : name_(std::move(name)) {}

private:
    std::u16string name_;
};

[[noreturn]] void ThrowFieldClassMismatch(const std::u16string& field);

template <class T> class TypedPublishedField final : public PublishedField {
public:
    TypedPublishedField(std::u16string name, T*& field)
        : PublishedField(std::move(name)), field_(field) {}
    TComponent* Get() const override { return field_; }
    bool Accepts(const TComponent* component) const override {
        return component == nullptr || dynamic_cast<const T*>(component) != nullptr;
    }
    void Set(TComponent* component) override {
        if (!Accepts(component)) {
            ThrowFieldClassMismatch(Name());
        }
        field_ = component == nullptr ? nullptr : dynamic_cast<T*>(component);
    }

private:
    T*& field_;
};

// Stored values a component declares beyond its published properties (DefineProperties).
class TFiler {
public:
    using ReadProc = std::function<void(const stored::Value& value)>;
    using WriteProc = std::function<stored::Value()>;
    virtual ~TFiler() = default;
    // `hasData`: whether the writer writes the value; the reader ignores it.
    virtual void DefineProperty(const std::u16string& name, ReadProc read, WriteProc write,
                                bool hasData) = 0;
};

// One published property: how a stored value is applied (through the setter, so validation
// runs) and how the present value is written. toolkit/Properties.h has helpers to make them.
struct TPropertyInfo {
    std::u16string name; // dotted for members of a sub-object: "Font.Height"
    std::function<void(TComponent& instance, const stored::Value& value, TReader& reader)> read;
    std::function<stored::Value(const TComponent& instance)> write;
    // Whether the writer writes it; empty: always. A property without `write` is read-only
    // for the reader's purposes (accepted, never written).
    std::function<bool(const TComponent& instance)> stored;
};

// The published properties of one class, in declared order, after those of its base class.
class TPropertyList {
public:
    explicit TPropertyList(const TPropertyList* base = nullptr) : base_(base) {}
    // A property of the same name as one of the base's replaces it in place.
    TPropertyList& Add(TPropertyInfo info);
    const TPropertyInfo* Find(std::u16string_view name) const;
    // True for a property of that name and for the head of a dotted one ("Font").
    bool Has(std::u16string_view name) const;
    std::vector<const TPropertyInfo*> All() const;

private:
    const TPropertyList* base_;
    std::vector<TPropertyInfo> own_;
};

class TComponent : public TObject {
public:
    // Joins the owner's list of components at the end; the owner destroys it.
    explicit TComponent(TComponent* owner);
    // Destroys the owned components in reverse order, then leaves the owner.
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::u16string& Name() const { return name_; }
    // Unique within the owner (compared ignoring ASCII case) and a valid identifier, or empty;
    // EInvalidOperation otherwise.
    virtual void SetName(const std::u16string& name);
    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    TComponent* FindComponent(std::u16string_view name) const;
    TComponentState ComponentState() const { return state_; }
    void SetDesigning(bool designing);

    // The registered class name, or the one the description gave the root.
    virtual std::u16string ClassName() const;
    void SetClassName(std::u16string name) { className_ = std::move(name); }

    // Called once the description it belongs to has been read completely. The base clears
    // csLoading; an override calls it first.
    virtual void Loaded();
    // Declares stored values beyond the published properties. The base declares none.
    virtual void DefineProperties(TFiler& filer);
    virtual const TPropertyList& PublishedProperties() const;
    // This class's list, for a derived class's list to build on.
    static const TPropertyList& ClassProperties();
    bool HasPublishedProperty(std::u16string_view name) const;

    template <class T> void PublishField(std::u16string name, T*& field) {
        AddField(std::make_unique<TypedPublishedField<T>>(std::move(name), field));
    }
    // Null when no field of that name is published.
    PublishedField* FieldAddress(const std::u16string& name);

    // Bound as TMethodEvent<Args...>. A name is looked up together with the signature: a
    // method of another kind is not found.
    template <class T, class... Args>
    void PublishMethod(std::u16string name, void (T::*method)(TObject* sender, Args...)) {
        using Event = TMethodEvent<Args...>;
        T* self = static_cast<T*>(this);
        auto event = std::make_shared<const Event>(
            [self, method](TObject* sender, Args... args) { (self->*method)(sender, args...); },
            name);
        AddMethod(name, std::type_index(typeid(Event)), std::move(event));
    }
    template <class Event> Event MethodAddressOf(const std::u16string& name) const {
        const void* found = FindMethod(name, std::type_index(typeid(Event)));
        return found != nullptr ? *static_cast<const Event*>(found) : Event{};
    }
    // An empty event when no method of that name and the notify kind is published.
    TNotifyEvent MethodAddress(const std::u16string& name) const {
        return MethodAddressOf<TNotifyEvent>(name);
    }

    // Marks the start and the end of reading a description (the reader's business).
    void BeginLoading() { state_ |= csLoading; }
    void EndLoading() { state_ &= ~static_cast<TComponentState>(csLoading); }

protected:
    // Destroys the owned components now, in reverse order. Derived destructors call it
    // first, while the whole object is still intact for the components' own destructors.
    void DestroyComponents();
    // A component owned by this one has joined or is leaving.
    virtual void Notification(TComponent* component, bool inserted);

private:
    void AddField(std::unique_ptr<PublishedField> field);
    void AddMethod(const std::u16string& name, std::type_index type,
                   std::shared_ptr<const void> event);
    const void* FindMethod(const std::u16string& name, std::type_index type) const;
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::u16string name_;
    std::u16string className_;
    TComponentState state_ = 0;
    std::vector<std::unique_ptr<PublishedField>> fields_;
    struct PublishedMethod {
        std::u16string name;
        std::type_index type;
        std::shared_ptr<const void> event;
    };
    std::vector<PublishedMethod> methods_;
};

// The reader's side of applying one property: what it needs beyond the value.
class TReader {
public:
    virtual ~TReader() = default;
    // The component whose description is being read (the form).
    virtual TComponent& Root() const = 0;
};

// ---- The class registry -------------------------------------------------------------------

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

void RegisterComponentFactory(const std::u16string& className, std::type_index type,
                              TComponentFactory factory);

// Makes `className` creatable by the reader. T's constructor takes the owner.
template <class T> void RegisterComponentClass(const std::u16string& className) {
    RegisterComponentFactory(className, std::type_index(typeid(T)),
                             [](TComponent* owner) -> TComponent* { return new T(owner); });
}

bool IsComponentClassRegistered(std::u16string_view className);
// Creates a component of a registered class (the owner owns it); null when unknown.
TComponent* CreateComponentOfClass(std::u16string_view className, TComponent* owner);
// The name a class was registered under; empty when it was not.
std::u16string RegisteredClassName(const std::type_info& type);

bool IsValidIdentifier(std::u16string_view name);

} // namespace toolkit
