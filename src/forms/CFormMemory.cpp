#include "forms/CFormMemory.h"

#include "forms/Form.h"

namespace tamsel {

namespace {
bool ShownNormally(const Form& form) {
    return form.State() != WindowState::Minimized && form.Visible();
}
}  // namespace

void CFormMemory::SnapShot(const Form& form) {
    if (m_lngTop == 0) {
        m_lngTop = form.Top();
        m_lngLeft = form.Left();
    }
}

void CFormMemory::forceCenter(Form& form) {
    if (ShownNormally(form)) {
        const Toolkit& toolkit = form.GetToolkit();
        form.Move((toolkit.ScreenWidth() - form.Width()) / 2,
                  (toolkit.ScreenHeight() - form.Height()) / 2, form.Width(), form.Height());
    }
}

}  // namespace tamsel
