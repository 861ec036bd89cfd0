#pragma once

#include <windows.h>

namespace tamsel {

// Dots per inch of a window and of the system, with the calls of the Windows versions that know
// each monitor's DPI where they exist, and the system's DPI on older ones.
int DpiOf(HWND window);
int SystemDpi();

// Tells Windows that the program draws for each monitor's DPI itself.
void BecomeDpiAware();

// The frame of a window with that client rectangle, at a DPI.
void FrameForClient(RECT& rect, DWORD style, DWORD exStyle, int dpi);

// The font of message boxes and dialogs at a DPI.
LOGFONTW MessageFont(int dpi);

}  // namespace tamsel
