// A bounds bracket that cannot take a control in, because its list cannot grow, leaves the
// control free: its window still moves and takes fonts once the bracket has closed. A program
// of its own, because it replaces operator new.
#include "platform/Api.h"
#include "platform/sim/SimDesktop.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>

namespace {
// Set: the next allocation fails.
bool failNextAllocation = false;
} // namespace

void* operator new(std::size_t size) {
    if (failNextAllocation) {
        failNextAllocation = false;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace toolkit;
using namespace platform;

class HoldAllocationTest : public ::testing::Test {
protected:
    HoldAllocationTest() : scope_(desktop_) {
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(100, 100, 500, 400);
        label_ = new TLabel(form_.get());
        label_->SetParent(form_.get());
        label_->SetParentFont(false);
        label_->SetBounds(10, 20, 80, 17);
        form_->Show();
    }
    ~HoldAllocationTest() override { failNextAllocation = false; }

    int WindowLeft() {
        RECT r{};
        desktop_.GetWindowRect(label_->Handle(), &r);
        POINT corner{r.left, r.top};
        desktop_.MapWindowPoints(nullptr, form_->Handle(), &corner, 1);
        return corner.x;
    }

    sim::SimDesktop desktop_;
    ScopedApi scope_;
    TApplication app_;
    std::unique_ptr<TForm> form_;
    TLabel* label_ = nullptr;
};

TEST_F(HoldAllocationTest, AControlWhoseMoveCouldNotBeHeldMovesAfterTheBracket) {
    {
        TBoundsBracket bracket(*form_);
        EXPECT_THROW(
            {
                failNextAllocation = true;
                label_->SetLeft(30);
            },
            std::bad_alloc);
        bracket.Close();
    }
    label_->SetLeft(40);
    EXPECT_EQ(label_->Left(), 40);
    EXPECT_EQ(WindowLeft(), 40);
}

TEST_F(HoldAllocationTest, AControlWhoseFontCouldNotBeHeldTakesFontsAfterTheBracket) {
    {
        TBoundsBracket bracket(*form_);
        EXPECT_THROW(
            {
                failNextAllocation = true;
                label_->Font().SetSize(20);
            },
            std::bad_alloc);
        bracket.Close();
    }
    label_->Font().SetSize(14);
    const auto font = desktop_.FontOf(label_->Handle());
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->lfHeight, -19); // 14 points at 96 pixels per inch
}

} // namespace
