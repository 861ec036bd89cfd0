#pragma once

#include <algorithm>
#include <string>

#include "forms/Control.h"

namespace tamsel {

// A bar that fills as work is done: Value out of Max, kept within 0..Max.
class ProgressBar : public Control {
  public:
    ProgressBar(Form& parent, std::string name)
        : Control(parent, std::move(name), ControlKind::ProgressBar) {}

    int Value() const { return m_value; }
    int Max() const { return m_max; }
    void SetRange(int value, int max) {
        max = std::max(max, 0);
        value = std::clamp(value, 0, max);
        if (value != m_value || max != m_max) {
            m_value = value;
            m_max = max;
            Notify(ControlProperty::Value);
        }
    }

  private:
    int m_value = 0;
    int m_max = 100;
};

}  // namespace tamsel
