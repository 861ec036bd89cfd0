#include "catalogue/KitUrl.h"

#include "util/Text.h"

namespace tamsel {

KitUrlFault CheckKitUrl(std::string_view url) {
    if (HasControlCharacter(url)) {
        return KitUrlFault::ControlCharacter;
    }
    std::string_view rest(url);
    std::string_view last;
    while (true) {
        const auto slash = rest.find_first_of("/\\");
        last = rest.substr(0, slash);
        if (last == "..") {
            return KitUrlFault::LeavesKit;
        }
        if (slash == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(slash + 1);
    }
    return last.empty() || last == "." ? KitUrlFault::NoFileName : KitUrlFault::None;
}

std::string_view KitUrlFaultText(KitUrlFault fault) {
    switch (fault) {
        case KitUrlFault::None:
            return {};
        case KitUrlFault::NoFileName:
            return "names no file";
        case KitUrlFault::LeavesKit:
            return "leads outside the kit";
        case KitUrlFault::ControlCharacter:
            return "holds a control character";
    }
    return {};
}

}  // namespace tamsel
