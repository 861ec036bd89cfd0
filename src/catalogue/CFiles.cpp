#include "catalogue/CFiles.h"

#include <algorithm>

namespace tamsel {

void CFiles::Append(const CFiles& other) {
    // Count first: the other list may be this one, and it grows while we append.
    const std::size_t count = other.entries_.size();
    entries_.reserve(entries_.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        entries_.push_back(other.entries_[i]->Clone());
    }
}

void CFiles::setTags() {
    for (const auto& entry : entries_) {
        entry->Tag(true);
    }
}

bool CFiles::anyHot() const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [](const std::shared_ptr<CFile>& entry) { return entry->Hot(); });
}

}  // namespace tamsel
