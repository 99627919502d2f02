#include "resizekit/ResizeKit.h"

#include <algorithm>

// Each key maps to the slots of its live records in ascending order, so the front is always
// "the first record in list order". Appends add at the back of a key's slots and releases
// remove one slot; only Compact, which moves every record, rebuilds the index.

std::u16string TCtrlList::ChildKey(const std::u16string& parentName, const std::u16string& name) {
    // U+0000 appears in no component name, so the pair cannot be confused with another.
    std::u16string key = parentName;
    key.push_back(u'\0');
    key += name;
    return key;
}

void TCtrlList::Index(int slot) {
    const TCtrlInfo& record = *items_[static_cast<std::size_t>(slot)];
    // Slots are indexed in ascending order (appends, and Reindex's walk), so each lands at the
    // back.
    byName_[record.Name].push_back(slot);
    byParentAndName_[ChildKey(record.ParentName, record.Name)].push_back(slot);
}

void TCtrlList::Unindex(int slot) {
    const TCtrlInfo& record = *items_[static_cast<std::size_t>(slot)];
    auto drop = [slot](std::unordered_map<std::u16string, Slots>& map, const std::u16string& key) {
        auto it = map.find(key);
        if (it == map.end()) {
            return;
        }
        Slots& slots = it->second;
        auto at = std::lower_bound(slots.begin(), slots.end(), slot);
        if (at != slots.end() && *at == slot) {
            slots.erase(at);
        }
        if (slots.empty()) {
            map.erase(it);
        }
    };
    drop(byName_, record.Name);
    drop(byParentAndName_, ChildKey(record.ParentName, record.Name));
}

void TCtrlList::Reindex() {
    byName_.clear();
    byParentAndName_.clear();
    for (int slot = 0; slot < Count(); ++slot) {
        if (items_[static_cast<std::size_t>(slot)]) {
            Index(slot);
        }
    }
}

void TCtrlList::Append(std::unique_ptr<TCtrlInfo> record) {
    if (!record) {
        return;
    }
    items_.push_back(std::move(record));
    Index(Count() - 1);
}

TCtrlInfo* TCtrlList::Find(const std::u16string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : items_[static_cast<std::size_t>(it->second.front())].get();
}

TCtrlInfo* TCtrlList::FindChild(const std::u16string& parentName,
                                const std::u16string& name) const {
    auto it = byParentAndName_.find(ChildKey(parentName, name));
    return it == byParentAndName_.end() ? nullptr
                                        : items_[static_cast<std::size_t>(it->second.front())].get();
}

void TCtrlList::Release(int index) {
    if (index < 0 || index >= Count() || !items_[static_cast<std::size_t>(index)]) {
        return;
    }
    Unindex(index);
    items_[static_cast<std::size_t>(index)].reset();
}

void TCtrlList::Compact() {
    const auto end = std::remove(items_.begin(), items_.end(), nullptr);
    if (end == items_.end()) {
        return;
    }
    items_.erase(end, items_.end());
    Reindex();
}

void TCtrlList::Clear() {
    for (auto& item : items_) {
        item.reset();
    }
    items_.clear();
    byName_.clear();
    byParentAndName_.clear();
}
