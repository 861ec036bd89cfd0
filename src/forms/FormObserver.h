#pragma once

namespace tamsel {

class Control;

// What changed on a control, so a renderer can update only that part of its widget.
enum class ControlProperty {
    Caption,  // Label, CommandButton, CheckBox caption
    Text,     // TextBox text
    ForeColor,
    Enabled,
    Visible,
    ToolTipText,
    Font,
    Geometry,
    Value,        // CheckBox value
    ItemAdded,    // ListBox/ComboBox: index = new item
    ItemText,     // index = item whose text changed
    ItemChecked,  // index = item whose tick changed
    ItemsCleared,
    ListIndex,  // the selected item changed
    Style,      // flags such as Default/Cancel, tick boxes, multi-line, mnemonics
};

// What changed on a form.
enum class FormProperty { Caption, Visible, TopMost, WindowState, Geometry, Loaded };

// Receives every property change of a form and its controls; the renderer of a form is one.
class FormObserver {
  public:
    virtual ~FormObserver() = default;
    virtual void ControlChanged(Control& control, ControlProperty property, int index) = 0;
    virtual void FormChanged(FormProperty property) = 0;
};

}  // namespace tamsel
