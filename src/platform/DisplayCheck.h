#pragma once

namespace tamsel {

// Whether a window can be shown here: a toolkit platform is named in QT_QPA_PLATFORM, a Wayland
// display is set, or the X display of $DISPLAY accepts a connection.
bool DisplayAvailable();

}  // namespace tamsel
