#pragma once

#include <string_view>

namespace tamsel {

class CheckBox;
class ComboBox;
class CommandButton;
class Control;
class Form;
class Label;
class ListBox;
class TextBox;

// What a user does with the mouse and keyboard, for scripted tests on any toolkit. Each
// gesture first moves the focus where a real click would, and does nothing (returning false)
// when the control cannot be reached: disabled, hidden, or on a form that is not shown.
namespace user {

bool Focus(Control& control);
bool Click(CommandButton& button);
bool Click(Label& label);
// Toggles the box between ticked and clear.
bool Click(CheckBox& box);
// Types text into the box, replacing what was there, one character at a time: the change
// event runs once per character.
bool Type(TextBox& box, std::string_view text);
// Clicks a line (selecting it) and sets its tick box.
bool Tick(ListBox& list, int index, bool checked);
bool Select(ListBox& list, int index);
bool Select(ComboBox& box, int index);
// Enter presses the form's reachable default button, Escape its cancel button.
bool PressEnter(Form& form);
bool PressEscape(Form& form);
// The close box of the window frame.
bool CloseByFrame(Form& form);

}  // namespace user
}  // namespace tamsel
