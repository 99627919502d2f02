#include "resizekit/ResizeKit.h"

#include <algorithm>

void TCtrlList::Append(std::unique_ptr<TCtrlInfo> record) { items_.push_back(std::move(record)); }

TCtrlInfo* TCtrlList::Find(const std::u16string& name) const {
    for (const auto& item : items_) {
        if (item && item->Name == name) {
            return item.get();
        }
    }
    return nullptr;
}

TCtrlInfo* TCtrlList::FindChild(const std::u16string& parentName,
                                const std::u16string& name) const {
    for (const auto& item : items_) {
        if (item && item->ParentName == parentName && item->Name == name) {
            return item.get();
        }
    }
    return nullptr;
}

void TCtrlList::Release(int index) { items_[static_cast<std::size_t>(index)].reset(); }

void TCtrlList::Compact() {
    items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TCtrlList::Clear() {
    for (auto& item : items_) {
        item.reset();
    }
    items_.clear();
}
