#pragma once

#include <algorithm>
#include <string>

#include "forms/Control.h"

namespace tamsel {

// A straight line between two points of the form, drawn in ForeColor; a separator.
class Line : public Control {
  public:
    Line(Form& parent, std::string name) : Control(parent, std::move(name), ControlKind::Line) {
        SetForeColor(kColourButtonShadow);
    }

    void SetPoints(int x1, int y1, int x2, int y2) {
        m_x1 = x1;
        m_y1 = y1;
        m_x2 = x2;
        m_y2 = y2;
        Move(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) - std::min(x1, x2) + 1,
             std::max(y1, y2) - std::min(y1, y2) + 1);
    }
    int X1() const { return m_x1; }
    int Y1() const { return m_y1; }
    int X2() const { return m_x2; }
    int Y2() const { return m_y2; }

  private:
    int m_x1 = 0;
    int m_y1 = 0;
    int m_x2 = 0;
    int m_y2 = 0;
};

}  // namespace tamsel
