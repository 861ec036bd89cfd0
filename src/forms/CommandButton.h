#pragma once

#include <string>

#include "forms/Control.h"

namespace tamsel {

// A push button. The caption's "&" marks its accelerator. The default button is pressed by
// Enter, the cancel button by Escape.
class CommandButton : public Control {
  public:
    CommandButton(Form& parent, std::string name)
        : Control(parent, std::move(name), ControlKind::CommandButton) {}

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption) {
        if (m_caption != caption) {
            m_caption = std::move(caption);
            Notify(ControlProperty::Caption);
        }
    }
    bool Default() const { return m_default; }
    void SetDefault(bool isDefault) {
        if (m_default != isDefault) {
            m_default = isDefault;
            Notify(ControlProperty::Style);
        }
    }
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool isCancel) {
        if (m_cancel != isCancel) {
            m_cancel = isCancel;
            Notify(ControlProperty::Style);
        }
    }

    std::function<void()> OnClick;
    // Raises the click as if the button were pressed; the program may do this on a disabled
    // button, a user cannot (see forms/User.h).
    void PerformClick() { Raise(OnClick); }

  private:
    std::string m_caption;
    bool m_default = false;
    bool m_cancel = false;
};

}  // namespace tamsel
