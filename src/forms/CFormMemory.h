#pragma once

namespace tamsel {

class Form;

// Remembers the first position a window was recorded at, and centres windows on the screen.
// Positions are pixels, the unit of the forms runtime. A remembered top of 0 means nothing is
// remembered yet, so a window recorded at top 0 is recorded again next time.
class CFormMemory {
  public:
    // Records the form's top and left unless a position is already remembered.
    void SnapShot(const Form& form);
    // Centres a visible, not minimised form on the screen; a form larger than the screen gets
    // a negative position.
    static void forceCenter(Form& form);

    int RememberedTop() const { return m_lngTop; }
    int RememberedLeft() const { return m_lngLeft; }

  private:
    int m_lngTop = 0;
    int m_lngLeft = 0;
};

}  // namespace tamsel
