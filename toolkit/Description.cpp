#include "toolkit/Description.h"

#include "toolkit/Controls.h"
#include "toolkit/Strings.h"
#include "toolkit/stored/StoredDescription.h"

#include <map>
#include <memory>

namespace toolkit {

namespace {

using stored::Object;
using stored::Property;
using stored::Value;

// Collects what DefineProperties declares.
class DefinitionList final : public TFiler {
public:
    struct Definition {
        std::u16string name;
        ReadProc read;
        WriteProc write;
        bool hasData;
    };
    void DefineProperty(const std::u16string& name, ReadProc read, WriteProc write,
                        bool hasData) override {
        definitions.push_back(Definition{name, std::move(read), std::move(write), hasData});
    }
    const Definition* Find(std::u16string_view name) const {
        for (const auto& definition : definitions) {
            if (SameText(definition.name, name)) {
                return &definition;
            }
        }
        return nullptr;
    }
    std::vector<Definition> definitions;
};

// Turns any failure of a step into a description error at `line`.
template <class F> void AtLine(int line, const std::u16string& context, F&& step) {
    try {
        step();
    } catch (const EDescriptionError&) {
        throw;
    } catch (const Exception& error) {
        throw EDescriptionError(line, context + error.Message());
    } catch (const std::exception& error) {
        throw EDescriptionError(line, context + platform::Utf8ToUtf16(error.what()));
    }
}

class DescriptionReader final : public TReader {
public:
    explicit DescriptionReader(TComponent& root) : root_(root) {}

    TComponent& Root() const override { return root_; }

    void Read(const Object& tree) {
        const std::u16string className = platform::Utf8ToUtf16(tree.className);
        const std::u16string registered = RegisteredClassName(typeid(root_));
        if (!registered.empty() && !SameText(registered, className)) {
            throw EDescriptionError(tree.line, u"the description is of class " + className +
                                                   u", not " + registered);
        }
        root_.BeginLoading();
        try {
            AtLine(tree.line, u"", [&] { root_.SetName(platform::Utf8ToUtf16(tree.name)); });
            if (registered.empty()) {
                root_.SetClassName(className);
            }
            ApplyProperties(root_, tree);
            auto* parent = dynamic_cast<TWinControl*>(&root_);
            for (const Object& child : tree.children) {
                ReadObject(child, root_, parent);
            }
        } catch (...) {
            Undo();
            throw;
        }
        // Loading has ended for all of them at once.
        root_.Loaded();
        for (TComponent* component : created_) {
            component->Loaded();
        }
    }

private:
    void ReadObject(const Object& object, TComponent& owner, TWinControl* parent) {
        const std::u16string className = platform::Utf8ToUtf16(object.className);
        const std::u16string name = platform::Utf8ToUtf16(object.name);
        if (!IsComponentClassRegistered(className)) {
            throw EDescriptionError(object.line, u"unknown class " + className);
        }
        TComponent* component = nullptr;
        AtLine(object.line, className + u": ",
               [&] { component = CreateComponentOfClass(className, &owner); });
        created_.push_back(component);
        component->BeginLoading();
        AtLine(object.line, u"", [&] { component->SetName(name); });

        if (PublishedField* field = owner.FieldAddress(name)) {
            if (!field->Accepts(component)) {
                throw EDescriptionError(object.line, u"field " + name + u" of " +
                                                         owner.ClassName() + u" cannot hold a " +
                                                         className);
            }
            field->Set(component);
        }
        if (auto* control = dynamic_cast<TControl*>(component)) {
            if (parent == nullptr) {
                throw EDescriptionError(object.line,
                                        u"control " + name + u" has no control to sit on");
            }
            AtLine(object.line, u"", [&] { control->SetParent(parent); });
        }

        ApplyProperties(*component, object);

        if (!object.children.empty()) {
            auto* container = dynamic_cast<TWinControl*>(component);
            if (container == nullptr) {
                throw EDescriptionError(object.children.front().line,
                                        className + u" cannot hold components");
            }
            // A frame owns what it holds; anything else leaves that to the enclosing owner.
            TComponent& childOwner =
                dynamic_cast<TFrame*>(component) != nullptr ? *component : owner;
            for (const Object& child : object.children) {
                ReadObject(child, childOwner, container);
            }
        }
    }

    void ApplyProperties(TComponent& component, const Object& object) {
        const TPropertyList& published = component.PublishedProperties();
        std::vector<const Property*> defined;
        for (const Property& property : object.properties) {
            const std::u16string name = platform::Utf8ToUtf16(property.name);
            const TPropertyInfo* info = published.Find(name);
            if (info == nullptr || !info->read) {
                defined.push_back(&property);
                continue;
            }
            AtLine(property.line, name + u": ",
                   [&] { info->read(component, property.value, *this); });
        }
        if (defined.empty()) {
            return;
        }
        // Stored values beyond the published properties come after them.
        DefinitionList definitions;
        component.DefineProperties(definitions);
        for (const Property* property : defined) {
            const std::u16string name = platform::Utf8ToUtf16(property->name);
            const auto* definition = definitions.Find(name);
            if (definition == nullptr || !definition->read) {
                throw EDescriptionError(property->line, u"unknown property " + name + u" of " +
                                                            component.ClassName());
            }
            AtLine(property->line, name + u": ", [&] { definition->read(property->value); });
        }
    }

    void Undo() {
        // Later components first: what a frame owns goes before the frame.
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
            delete *it;
        }
        created_.clear();
        root_.EndLoading();
    }

    TComponent& root_;
    std::vector<TComponent*> created_;
};

// ---- Writing --------------------------------------------------------------------------------

Object Describe(const TComponent& component) {
    if (component.Name().empty()) {
        throw EInvalidOperation(u"An unnamed " + component.ClassName() + u" cannot be written");
    }
    Object object;
    object.name = platform::Utf16ToUtf8(component.Name());
    object.className = platform::Utf16ToUtf8(component.ClassName());
    for (const TPropertyInfo* info : component.PublishedProperties().All()) {
        if (!info->write || (info->stored && !info->stored(component))) {
            continue;
        }
        object.properties.push_back(
            Property{platform::Utf16ToUtf8(info->name), info->write(component), 0});
    }
    DefinitionList definitions;
    // Declaring is not changing: DefineProperties only hands out accessors.
    const_cast<TComponent&>(component).DefineProperties(definitions);
    for (const auto& definition : definitions.definitions) {
        if (definition.hasData && definition.write) {
            object.properties.push_back(
                Property{platform::Utf16ToUtf8(definition.name), definition.write(), 0});
        }
    }
    return object;
}

struct Node {
    const TComponent* component = nullptr;
    std::vector<Node*> children;
};

class TreeBuilder {
public:
    Object Build(const TComponent& root) {
        Node& rootNode = NodeOf(root);
        CreateNodes(root);
        Attach(root, rootNode);
        return ToObject(rootNode);
    }

private:
    Node& NodeOf(const TComponent& component) {
        auto& node = nodes_[&component];
        if (!node) {
            node = std::make_unique<Node>();
            node->component = &component;
        }
        return *node;
    }

    void CreateNodes(const TComponent& owner) {
        for (int i = 0; i < owner.ComponentCount(); ++i) {
            const TComponent& component = *owner.Components(i);
            NodeOf(component);
            if (dynamic_cast<const TFrame*>(&component) != nullptr) {
                CreateNodes(component);
            }
        }
    }

    // Each component goes inside its parent control when that is written too, else inside
    // its owner.
    void Attach(const TComponent& owner, Node& ownerNode) {
        for (int i = 0; i < owner.ComponentCount(); ++i) {
            const TComponent& component = *owner.Components(i);
            Node* place = &ownerNode;
            if (const auto* control = dynamic_cast<const TControl*>(&component)) {
                const TComponent* parent = control->Parent();
                auto found = parent != nullptr ? nodes_.find(parent) : nodes_.end();
                if (found != nodes_.end() && parent != &component) {
                    place = found->second.get();
                }
            }
            Node& node = NodeOf(component);
            place->children.push_back(&node);
            if (dynamic_cast<const TFrame*>(&component) != nullptr) {
                Attach(component, node);
            }
        }
    }

    Object ToObject(const Node& node) {
        Object object = Describe(*node.component);
        for (const Node* child : node.children) {
            object.children.push_back(ToObject(*child));
        }
        return object;
    }

    std::map<const TComponent*, std::unique_ptr<Node>> nodes_;
};

} // namespace

void ReadDescription(TComponent& root, std::string_view text) {
    Object tree;
    try {
        tree = stored::Parse(text);
    } catch (const stored::ParseError& error) {
        throw EDescriptionError(error.line(), platform::Utf8ToUtf16(error.detail()));
    }
    DescriptionReader reader(root);
    reader.Read(tree);
}

std::string WriteDescription(const TComponent& root) {
    TreeBuilder builder;
    const Object tree = builder.Build(root);
    try {
        return stored::Write(tree);
    } catch (const stored::WriteError& error) {
        throw EInvalidOperation(platform::Utf8ToUtf16(error.what()));
    }
}

} // namespace toolkit
