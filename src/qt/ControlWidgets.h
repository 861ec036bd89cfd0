#pragma once

#include "forms/Control.h"
#include "forms/FormObserver.h"

class QWidget;

namespace tamsel {

// The widget that shows a control of each kind (none for a timer), created with every
// property of the control applied.
QWidget* CreateControlWidget(Control& control, QWidget* parent);

// Shows one changed property of the control on its widget without raising the widget's own
// change signals.
void ApplyControlProperty(Control& control, QWidget& widget, ControlProperty property, int index);

}  // namespace tamsel
