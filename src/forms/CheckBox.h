#pragma once

#include <string>

#include "forms/Control.h"

namespace tamsel {

// A check box with the values 0 (clear), 1 (ticked) and 2 (greyed). Every change of the value,
// by the user or by the program, raises OnClick.
class CheckBox : public Control {
  public:
    static constexpr int kUnchecked = 0;
    static constexpr int kChecked = 1;
    static constexpr int kGrayed = 2;

    CheckBox(Form& parent, std::string name)
        : Control(parent, std::move(name), ControlKind::CheckBox) {}

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption) {
        if (m_caption != caption) {
            m_caption = std::move(caption);
            Notify(ControlProperty::Caption);
        }
    }
    int Value() const { return m_value; }
    bool Checked() const { return m_value == kChecked; }
    void SetValue(int value) {
        if (m_value != value) {
            m_value = value;
            Notify(ControlProperty::Value);
            Raise(OnClick);
        }
    }

    std::function<void()> OnClick;

  private:
    std::string m_caption;
    int m_value = kUnchecked;
};

}  // namespace tamsel
