#pragma once

#include <string_view>

namespace tamsel {

// Why a catalogue URL cannot name a file of the kit. The updater drops such entries and the
// publisher's lint warns about them: both ask this one function.
enum class KitUrlFault {
    None,
    NoFileName,        // empty, or ends in "/", "\" or "." (it would name the kit folder itself)
    LeavesKit,         // a ".." segment climbs out of the folder it is joined to
    ControlCharacter,  // NUL, CR, LF and the like cut or split the name on its way to disk
};

KitUrlFault CheckKitUrl(std::string_view url);

// "names no file", "leads outside the kit", "holds a control character"; empty for None.
std::string_view KitUrlFaultText(KitUrlFault fault);

}  // namespace tamsel
