#pragma once

#include <memory>
#include <vector>

#include "catalogue/CMenu.h"

namespace tamsel {

class CConfiguration;

// The catalogue's menus in catalogue order, with a 1-based cursor for showing them one at a
// time: moveFirst; show getMenu; while anotherMenu, moveNext and show getMenu.
class CMenus {
  public:
    using Menus = std::vector<std::shared_ptr<CMenu>>;

    void add(std::shared_ptr<CMenu> menu) { menus_.push_back(std::move(menu)); }
    const Menus& asCollection() const { return menus_; }
    long Size() const { return static_cast<long>(menus_.size()); }

    void moveFirst() { cursor_ = 1; }
    void moveNext() { ++cursor_; }
    // A menu follows the current one.
    bool anotherMenu() const { return cursor_ < Size(); }

    // The menu at the cursor. Throws TamselError(err::SubscriptOutOfRange) outside 1..Size().
    std::shared_ptr<CMenu> getMenu() const;
    // One menu holding every menu's choices (the same objects), menu after menu; empty caption,
    // Force 0.
    std::shared_ptr<CMenu> flattenMenus() const;
    void promoteHistorical(const CConfiguration& local);

  private:
    Menus menus_;
    long cursor_ = 0;
};

}  // namespace tamsel
