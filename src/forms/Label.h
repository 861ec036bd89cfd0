#pragma once

#include <string>

#include "forms/Control.h"

namespace tamsel {

enum class Alignment { Left, Right, Center };

// Static text. With UseMnemonic an "&" marks the accelerator character (and "&&" shows one
// "&"); without it every "&" shows as it is.
class Label : public Control {
  public:
    Label(Form& parent, std::string name) : Control(parent, std::move(name), ControlKind::Label) {}

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption) {
        if (m_caption != caption) {
            m_caption = std::move(caption);
            Notify(ControlProperty::Caption);
        }
    }
    bool UseMnemonic() const { return m_useMnemonic; }
    void SetUseMnemonic(bool use) {
        if (m_useMnemonic != use) {
            m_useMnemonic = use;
            Notify(ControlProperty::Style);
        }
    }
    Alignment TextAlignment() const { return m_alignment; }
    void SetAlignment(Alignment alignment) {
        if (m_alignment != alignment) {
            m_alignment = alignment;
            Notify(ControlProperty::Style);
        }
    }

    std::function<void()> OnClick;
    void PerformClick() { Raise(OnClick); }

  private:
    std::string m_caption;
    bool m_useMnemonic = true;
    Alignment m_alignment = Alignment::Left;
};

}  // namespace tamsel
