#include "catalogue/CMenus.h"

#include "util/Error.h"

namespace tamsel {

std::shared_ptr<CMenu> CMenus::getMenu() const {
    if (cursor_ < 1 || cursor_ > Size()) {
        throw TamselError(err::SubscriptOutOfRange, "CMenus.getMenu", "Subscript out of range");
    }
    return menus_[static_cast<std::size_t>(cursor_ - 1)];
}

std::shared_ptr<CMenu> CMenus::flattenMenus() const {
    auto flat = std::make_shared<CMenu>();
    for (const auto& menu : menus_) {
        for (const auto& choice : menu->asCollection()) {
            flat->add(choice);
        }
    }
    return flat;
}

void CMenus::promoteHistorical(const CConfiguration& local) {
    for (const auto& menu : menus_) {
        menu->promoteHistorical(local);
    }
}

}  // namespace tamsel
