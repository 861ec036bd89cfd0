#pragma once

#include <memory>
#include <string>
#include <vector>

#include "catalogue/CFile.h"

namespace tamsel {

// An ordered, unkeyed list of entries in insertion order. It shares the entries it holds.
class CFiles {
  public:
    using Entries = std::vector<std::shared_ptr<CFile>>;

    void add(std::shared_ptr<CFile> entry) { entries_.push_back(std::move(entry)); }
    const Entries& asCollection() const { return entries_; }

    // Appends a clone of each entry of the other list, in its order. Appending a list to itself
    // clones each original entry once.
    void Append(const CFiles& other);
    // The number of entries; not limited to 16 bits.
    long Size() const { return static_cast<long>(entries_.size()); }
    void setTags();
    bool anyHot() const;

  private:
    Entries entries_;
};

}  // namespace tamsel
