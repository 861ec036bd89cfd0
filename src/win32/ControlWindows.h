#pragma once

#include <windows.h>

#include <string>

#include "forms/Control.h"
#include "forms/FormObserver.h"

namespace tamsel {

// What a control's window needs from the window of its form.
class ControlHost {
  public:
    virtual ~ControlHost() = default;
    // Form pixels (96 per inch) in the window's pixels.
    virtual int Scale(int pixels) const = 0;
    virtual HFONT FontOf(const Control& control) = 0;
    virtual void SetToolTip(HWND window, const std::wstring& text) = 0;
};

// The child window that shows a control of each kind, created with every property of the
// control applied; none for a timer or a line (the form draws lines itself).
HWND CreateControlWindow(Control& control, HWND parent, int id, ControlHost& host);

// Shows one changed property of the control on its window. The window's own notifications that
// this causes must be ignored by the caller.
void ApplyControlProperty(Control& control, HWND window, ControlProperty property, int index,
                          ControlHost& host);

// A colour of the forms as Windows draws it (system colours from the current scheme).
COLORREF ToColorRef(Colour colour);

}  // namespace tamsel
