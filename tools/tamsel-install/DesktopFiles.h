#pragma once

#include <string>

// The texts of the files that make a kit feel installed: the menu entry, the login entry and
// the timer with its service. Each begins with a marker line naming the kit it belongs to, so
// that removing one kit's integration never removes another's.
namespace tamsel::desktop {

inline constexpr const char* kServiceName = "tamsel-updater.service";
inline constexpr const char* kTimerName = "tamsel-updater.timer";
inline constexpr const char* kMenuEntryName = "tamsel-updater.desktop";
inline constexpr const char* kAutostartEntryName = "tamsel-updater-due-check.desktop";
inline constexpr const char* kIconName = "tamsel-updater";

// "# Tamsel kit: " + the kit folder.
std::string KitMarker(const std::string& kitFolder);
// The kit folder a file's first line names, or empty text when it has no marker.
std::string KitOfText(const std::string& text);

std::string MenuEntry(const std::string& kitFolder);
std::string AutostartEntry(const std::string& kitFolder);
std::string ServiceUnit(const std::string& kitFolder);
std::string TimerUnit(const std::string& kitFolder);

// The updater's icon as SVG.
extern const char* const kIconSvg;

}  // namespace tamsel::desktop
