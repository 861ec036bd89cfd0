#include "DesktopFiles.h"

namespace tamsel::desktop {

namespace {

constexpr std::string_view kMarkerStart = "# Tamsel kit: ";

std::string DueCheckProgram(const std::string& kitFolder) {
    return kitFolder + "/Updater/tamsel-due-check";
}

// One argument of a desktop entry's Exec key: quoted, with the quoting rule's escapes, then the
// string escape that doubles every backslash, and "%" doubled as field codes require.
std::string ExecArgument(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += "\\\\";
            if (c == '\\') {
                quoted += "\\\\";
                continue;
            }
        }
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return quoted + "\"";
}

// One word of a unit's ExecStart: quoted, with C escapes, "%" doubled so that no specifier is
// expanded, and in the arguments (never in the command) "$" doubled so that no variable is.
std::string UnitWord(const std::string& text, bool isArgument) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        if (c == '%' || (c == '$' && isArgument)) {
            quoted += c;
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string KitMarker(const std::string& kitFolder) {
    return std::string(kMarkerStart) + kitFolder;
}

std::string KitOfText(const std::string& text) {
    if (text.rfind(kMarkerStart, 0) != 0) {
        return {};
    }
    const auto end = text.find('\n');
    return text.substr(kMarkerStart.size(),
                       end == std::string::npos ? std::string::npos : end - kMarkerStart.size());
}

std::string MenuEntry(const std::string& kitFolder) {
    return KitMarker(kitFolder) +
           "\n"
           "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tamsel Updater\n"
           "GenericName=Kit Updater\n"
           "Comment=Bring the Tamsel kit up to date with its publisher's master copy\n"
           "Exec=" +
           ExecArgument(kitFolder + "/Updater/tamsel-updater") +
           "\n"
           "Icon=" +
           kIconName +
           "\n"
           "Terminal=false\n"
           "Categories=Office;Utility;\n";
}

std::string AutostartEntry(const std::string& kitFolder) {
    return KitMarker(kitFolder) +
           "\n"
           "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tamsel Updater due check\n"
           "Comment=Start a background update of the Tamsel kit when one is due\n"
           "Exec=" +
           ExecArgument(DueCheckProgram(kitFolder)) + " " + ExecArgument(kitFolder) +
           "\n"
           "Terminal=false\n"
           "NoDisplay=true\n";
}

std::string ServiceUnit(const std::string& kitFolder) {
    return KitMarker(kitFolder) +
           "\n"
           "[Unit]\n"
           "Description=Tamsel Updater background run when the kit is due\n"
           // The updater shows its notice on the desktop: without one there is nothing to run on.
           "ConditionEnvironment=|DISPLAY\n"
           "ConditionEnvironment=|WAYLAND_DISPLAY\n"
           "\n"
           "[Service]\n"
           "Type=oneshot\n"
           "ExecStart=" +
           UnitWord(DueCheckProgram(kitFolder), false) + " " + UnitWord(kitFolder, true) + "\n";
}

std::string TimerUnit(const std::string& kitFolder) {
    return KitMarker(kitFolder) +
           "\n"
           "[Unit]\n"
           "Description=Daily due check of the Tamsel kit's background run\n"
           "\n"
           "[Timer]\n"
           "OnCalendar=daily\n"
           // A day missed while logged out is checked at the next login.
           "Persistent=true\n"
           "RandomizedDelaySec=1h\n"
           "\n"
           "[Install]\n"
           "WantedBy=timers.target\n";
}

}  // namespace tamsel::desktop
