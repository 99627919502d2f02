// The record list's name index answers as a walk in list order would, through every append,
// release, compaction and clear.
#include "resizekit/ResizeKit.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::unique_ptr<TCtrlInfo> Record(std::u16string name, std::u16string parent = u"", int tag = 0) {
    auto r = std::make_unique<TCtrlInfo>();
    r->Name = std::move(name);
    r->ParentName = std::move(parent);
    r->Left = tag;
    return r;
}

// What a walk over the records in list order answers, for comparison.
const TCtrlInfo* Walk(const TCtrlList& list, const std::u16string* parent,
                      const std::u16string& name) {
    for (int i = 0; i < list.Count(); ++i) {
        const TCtrlInfo* item = list.Items(i);
        if (item != nullptr && item->Name == name &&
            (parent == nullptr || item->ParentName == *parent)) {
            return item;
        }
    }
    return nullptr;
}

TEST(CtrlList, FirstRecordInListOrderWinsThroughReleaseAndCompact) {
    TCtrlList list;
    list.Append(Record(u"A", u"", 1));
    list.Append(Record(u"B", u"", 2));
    list.Append(Record(u"A", u"", 3));
    list.Append(Record(u"A", u"F", 4));
    EXPECT_EQ(list.Find(u"A")->Left, 1);
    EXPECT_EQ(list.Find(u"a"), nullptr) << "letter case counts";
    EXPECT_EQ(list.FindChild(u"F", u"A")->Left, 4);
    EXPECT_EQ(list.FindChild(u"", u"B")->Left, 2);

    list.Release(0); // the slot stays empty until Compact
    EXPECT_EQ(list.Items(0), nullptr);
    EXPECT_EQ(list.Find(u"A")->Left, 3);
    list.Compact();
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Find(u"A")->Left, 3);
    EXPECT_EQ(list.Find(u"A"), list.Items(1));

    list.Release(7); // out of range: nothing
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Find(u"B"), nullptr);
}

TEST(CtrlList, TheIndexAgreesWithTheWalkOverRandomEdits) {
    std::mt19937 random(12345);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::u16string names[] = {u"A", u"B", u"C", u"D", u"E"};
    const std::u16string parents[] = {u"", u"F1", u"F2"};
    TCtrlList list;
    for (int step = 0; step < 3000; ++step) {
        switch (pick(10)) {
        case 0: case 1: case 2: case 3: case 7:
            list.Append(Record(names[pick(5)], parents[pick(3)], step));
            break;
        case 4: case 5:
            if (list.Count() > 0) list.Release(pick(list.Count()));
            break;
        case 6:
            list.Compact();
            break;
        case 8:
            if (pick(20) == 0) list.Clear();
            break;
        default:
            break;
        }
        for (const auto& name : names) {
            ASSERT_EQ(list.Find(name), Walk(list, nullptr, name)) << "step " << step;
            for (const auto& parent : parents) {
                ASSERT_EQ(list.FindChild(parent, name), Walk(list, &parent, name))
                    << "step " << step;
            }
        }
    }
}

} // namespace
