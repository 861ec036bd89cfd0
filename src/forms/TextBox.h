#pragma once

#include <string>

#include "forms/Control.h"

namespace tamsel {

// A text box. Every change of its text raises OnChange, whether the user typed it or the
// program set it; setting the text it already has changes nothing and raises nothing.
class TextBox : public Control {
  public:
    TextBox(Form& parent, std::string name)
        : Control(parent, std::move(name), ControlKind::TextBox) {}

    const std::string& Text() const { return m_text; }
    void SetText(std::string text) {
        if (m_text != text) {
            m_text = std::move(text);
            Notify(ControlProperty::Text);
            Raise(OnChange);
        }
    }
    bool MultiLine() const { return m_multiLine; }
    void SetMultiLine(bool multiLine) {
        if (m_multiLine != multiLine) {
            m_multiLine = multiLine;
            Notify(ControlProperty::Style);
        }
    }

    std::function<void()> OnChange;

  private:
    std::string m_text;
    bool m_multiLine = false;
};

}  // namespace tamsel
