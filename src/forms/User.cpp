#include "forms/User.h"

#include <string>

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/TextBox.h"

namespace tamsel::user {

namespace {
CommandButton* ReachableButton(Form& form, bool (CommandButton::*flag)() const) {
    for (Control* control : form.Controls()) {
        auto* button = dynamic_cast<CommandButton*>(control);
        if (button != nullptr && (button->*flag)() && button->Reachable()) {
            return button;
        }
    }
    return nullptr;
}
}  // namespace

bool Focus(Control& control) {
    if (!control.Reachable()) {
        return false;
    }
    control.SetFocus();
    return true;
}

bool Click(CommandButton& button) {
    if (!Focus(button)) {
        return false;
    }
    button.PerformClick();
    return true;
}

bool Click(Label& label) {
    if (!label.Reachable()) {
        return false;  // labels take no focus
    }
    label.PerformClick();
    return true;
}

bool Click(CheckBox& box) {
    if (!Focus(box)) {
        return false;
    }
    box.SetValue(box.Checked() ? CheckBox::kUnchecked : CheckBox::kChecked);
    return true;
}

bool Type(TextBox& box, std::string_view text) {
    if (!Focus(box)) {
        return false;
    }
    if (text.empty()) {
        box.SetText(std::string());
    }
    for (std::size_t length = 1; length <= text.size(); ++length) {
        box.SetText(std::string(text.substr(0, length)));
    }
    return true;
}

bool Tick(ListBox& list, int index, bool checked) {
    if (!Select(list, index)) {
        return false;
    }
    list.SetChecked(index, checked);
    return true;
}

bool Select(ListBox& list, int index) {
    if (!Focus(list)) {
        return false;
    }
    list.SetListIndex(index);
    return true;
}

bool Select(ComboBox& box, int index) {
    if (!Focus(box)) {
        return false;
    }
    box.SetListIndex(index);
    return true;
}

bool PressEnter(Form& form) {
    CommandButton* button = ReachableButton(form, &CommandButton::Default);
    return button != nullptr && Click(*button);
}

bool PressEscape(Form& form) {
    CommandButton* button = ReachableButton(form, &CommandButton::Cancel);
    return button != nullptr && Click(*button);
}

bool CloseByFrame(Form& form) {
    if (!form.IsLoaded() || !form.Visible()) {
        return false;
    }
    form.RequestUnload(UnloadMode::FormControlMenu);
    return true;
}

}  // namespace tamsel::user
