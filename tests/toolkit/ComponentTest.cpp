// The component model: ownership, names, published fields and methods, the class registry.
#include "ToolkitTest.h"

#include <gmock/gmock.h>

namespace toolkit_test {
namespace {

using namespace toolkit;
using ::testing::ElementsAre;

// Records its own destruction in a shared log.
class TTracked : public TComponent {
public:
    TTracked(TComponent* owner, std::vector<std::u16string>* log, std::u16string tag)
        : TComponent(owner), log_(log), tag_(std::move(tag)) {}
    ~TTracked() override { log_->push_back(tag_); }

private:
    std::vector<std::u16string>* log_;
    std::u16string tag_;
};

TEST(ComponentTest, OwnerKeepsCreationOrderAndDestroysInReverse) {
    std::vector<std::u16string> log;
    {
        TTracked owner(nullptr, &log, u"owner");
        auto* a = new TTracked(&owner, &log, u"a");
        auto* b = new TTracked(&owner, &log, u"b");
        new TTracked(b, &log, u"b1");
        auto* c = new TTracked(&owner, &log, u"c");
        ASSERT_EQ(owner.ComponentCount(), 3);
        EXPECT_EQ(owner.Components(0), a);
        EXPECT_EQ(c->ComponentIndex(), 2);
        EXPECT_EQ(c->Owner(), &owner);
        delete a; // leaves its owner
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(owner.Components(0), b);
        EXPECT_THROW(owner.Components(2), EInvalidOperation);
    }
    // Each destructor body runs before its owned components go.
    EXPECT_THAT(log, ElementsAre(u"a", u"owner", u"c", u"b", u"b1"));
}

TEST(ComponentTest, NamesAreIdentifiersUniqueWithinTheOwner) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName(u"Button1");
    struct Row {
        const char16_t* name;
        bool accepted;
    };
    const Row rows[] = {{u"Label_2", true},  {u"_x", true},   {u"button1", false},
                        {u"Button1", false}, {u"2nd", false}, {u"a b", false},
                        {u"名前", false},    {u"", true}};
    for (const Row& row : rows) {
        if (row.accepted) {
            EXPECT_NO_THROW(b->SetName(row.name));
            EXPECT_EQ(b->Name(), row.name);
        } else {
            const std::u16string before = b->Name();
            EXPECT_THROW(b->SetName(row.name), EInvalidOperation);
            EXPECT_EQ(b->Name(), before);
        }
    }
    a->SetName(u"Button1"); // renaming to its own name is fine
    EXPECT_EQ(owner.FindComponent(u"BUTTON1"), a);
}

TEST_F(DesktopTest, ControlWhoseTextIsItsNameTakesTheNewName) {
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetName(u"RKitAdd0001"); // empty text equals the empty old name
    EXPECT_EQ(label->Caption(), u"RKitAdd0001");
    label->SetName(u"Other");
    EXPECT_EQ(label->Caption(), u"Other");
    label->SetCaption(u"Hello");
    label->SetName(u"Third");
    EXPECT_EQ(label->Caption(), u"Hello");
    // While loading, names never touch texts.
    auto* loading = new TLabel(&form);
    loading->BeginLoading();
    loading->SetName(u"Quiet");
    EXPECT_EQ(loading->Caption(), u"");
}

TEST(ComponentTest, PublishedFieldFollowsItsComponent) {
    struct TOwner : TComponent {
        TComponent* Thing = nullptr;
        TControl* Control = nullptr;
        TOwner() : TComponent(nullptr) {
            PublishField(u"Thing", Thing);
            PublishField(u"Control", Control);
        }
    } owner;
    PublishedField* field = owner.FieldAddress(u"thing");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(owner.FieldAddress(u"Nothing"), nullptr);
    auto* thing = new TComponent(&owner);
    field->Set(thing);
    EXPECT_EQ(owner.Thing, thing);
    EXPECT_EQ(field->Get(), thing);
    EXPECT_THROW(owner.FieldAddress(u"Control")->Set(thing), EInvalidOperation);
    EXPECT_EQ(owner.Control, nullptr);
    delete thing; // the field does not dangle
    EXPECT_EQ(owner.Thing, nullptr);
    EXPECT_EQ(owner.FieldAddress(u"Thing"), field); // the same entry all along
}

TEST(ComponentTest, PublishedMethodsAreFoundByName) {
    struct TOwner : TComponent {
        int calls = 0;
        TObject* sender = nullptr;
        void Handler(TObject* s) {
            ++calls;
            sender = s;
        }
        TOwner() : TComponent(nullptr) { PublishMethod(u"Handler", &TOwner::Handler); }
    } owner;
    TNotifyEvent event = owner.MethodAddress(u"HANDLER");
    ASSERT_TRUE(event);
    EXPECT_EQ(event.MethodName(), u"Handler");
    event(&owner);
    EXPECT_EQ(owner.calls, 1);
    EXPECT_EQ(owner.sender, &owner);
    EXPECT_FALSE(owner.MethodAddress(u"Missing"));
}

TEST_F(DesktopTest, PublishedPropertyQuestionsPerClass) {
    struct Row {
        TComponent* component;
        const char16_t* property;
        bool published;
    };
    TComponent plain(nullptr);
    TLabel label(nullptr);
    TImage image(nullptr);
    TBitBtn button(nullptr);
    TFrame frame(nullptr);
    const Row rows[] = {
        {&label, u"Font", true},        {&label, u"Caption", true},  {&label, u"Text", false},
        {&label, u"Fon", false},        {&image, u"Font", false},    {&image, u"Caption", false},
        {&image, u"Picture", true},     {&button, u"Font", true},    {&button, u"Caption", true},
        {&frame, u"Font", true},        {&frame, u"Caption", false}, {&plain, u"Font", false},
        {&label, u"Font.Height", true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.component->HasPublishedProperty(row.property), row.published)
            << row.component->ClassName().size() << " "
            << std::string(row.property,
                           row.property + std::char_traits<char16_t>::length(row.property));
    }
}

TEST_F(DesktopTest, RegistryCreatesRegisteredClassesOnly) {
    TComponent owner(nullptr);
    TComponent* label = CreateComponentOfClass(u"TLabel", &owner);
    ASSERT_NE(dynamic_cast<TLabel*>(label), nullptr);
    EXPECT_EQ(label->Owner(), &owner);
    EXPECT_EQ(label->ClassName(), u"TLabel");
    EXPECT_EQ(CreateComponentOfClass(u"TNothing", &owner), nullptr);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_THROW(RegisterComponentClass<TLabel>(u"not valid"), EInvalidOperation);
}

} // namespace
} // namespace toolkit_test
