#include "catalogue/CMenu.h"

#include "config/CConfiguration.h"

namespace tamsel {

void CMenu::promoteHistorical(const CConfiguration& local) {
    for (const auto& choice : choices_) {
        if (choice->Active()) {
            continue;
        }
        for (const auto& line : local.asCollection()) {
            if (line->myType() == CSetting::SettingLine && line->Key() == "historical" &&
                line->Value() == choice->Choice()) {
                choice->Historical(true);
                choice->Active(true);
            }
        }
    }
}

}  // namespace tamsel
