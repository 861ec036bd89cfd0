#include "forms/Form.h"

namespace tamsel {

Form::Form(Toolkit& toolkit, std::string name) : m_toolkit(toolkit), m_name(std::move(name)) {}

Form::~Form() {
    if (m_loaded) {
        // No events here: the derived form whose handlers they would call is already gone.
        m_loaded = false;
        m_visible = false;
        m_toolkit.FormUnloaded(*this);
        for (Control* control : m_controlList) {
            control->FormLoadChanged();
        }
    }
}

Control* Form::Find(std::string_view name) const {
    for (Control* control : m_controlList) {
        if (control->Name() == name) {
            return control;
        }
    }
    return nullptr;
}

void Form::SetCaption(std::string caption) {
    if (m_caption != caption) {
        m_caption = std::move(caption);
        NotifyForm(FormProperty::Caption);
    }
}

void Form::SetTopMost(bool topMost) {
    if (m_topMost != topMost) {
        m_topMost = topMost;
        NotifyForm(FormProperty::TopMost);
    }
}

void Form::SetWindowState(WindowState state) {
    if (m_windowState != state) {
        m_windowState = state;
        NotifyForm(FormProperty::WindowState);
    }
}

void Form::Move(int left, int top, int width, int height) {
    const Rect geometry{left, top, width, height};
    if (!(m_geometry == geometry)) {
        m_geometry = geometry;
        NotifyForm(FormProperty::Geometry);
    }
}

void Form::SetVisible(bool visible) {
    if (visible) {
        Show(ShowMode::Modeless);
    } else {
        Hide();
    }
}

void Form::Load() {
    if (m_loaded) {
        return;
    }
    SetLoaded(true);
    if (OnLoad) {
        OnLoad();
    }
}

void Form::Show(ShowMode mode) {
    Load();
    if (!m_loaded) {
        return;  // the load handler unloaded the form again
    }
    if (!m_shownSinceLoad) {
        m_shownSinceLoad = true;
        if (m_startUp == StartUpPosition::CenterScreen) {
            Move((m_toolkit.ScreenWidth() - Width()) / 2, (m_toolkit.ScreenHeight() - Height()) / 2,
                 Width(), Height());
        }
    }
    if (!m_visible) {
        m_visible = true;
        NotifyForm(FormProperty::Visible);
    }
    m_toolkit.ShowForm(*this, mode);
}

void Form::Hide() {
    if (m_visible) {
        m_visible = false;
        NotifyForm(FormProperty::Visible);
        m_toolkit.HideForm(*this);
    }
}

bool Form::RequestUnload(UnloadMode mode) {
    if (!m_loaded || m_unloading) {
        return !m_loaded;
    }
    m_unloading = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_unloading};

    bool cancel = false;
    if (OnQueryUnload) {
        OnQueryUnload(cancel, mode);
    }
    if (!cancel && OnUnload) {
        OnUnload(cancel);
    }
    if (cancel) {
        return false;
    }
    if (m_visible) {
        m_visible = false;
        NotifyForm(FormProperty::Visible);
        m_toolkit.HideForm(*this);
    }
    SetLoaded(false);
    return true;
}

void Form::RaiseActivate() {
    if (OnActivate) {
        OnActivate();
    }
}

void Form::NotifyControlChanged(Control& control, ControlProperty property, int index) {
    if (m_observer != nullptr) {
        m_observer->ControlChanged(control, property, index);
    }
}

void Form::NotifyForm(FormProperty property) {
    if (m_observer != nullptr) {
        m_observer->FormChanged(property);
    }
}

void Form::SetLoaded(bool loaded) {
    m_loaded = loaded;
    m_shownSinceLoad = false;
    if (loaded) {
        m_toolkit.FormLoaded(*this);
    }
    for (Control* control : m_controlList) {
        control->FormLoadChanged();
    }
    NotifyForm(FormProperty::Loaded);
    if (!loaded) {
        m_toolkit.FormUnloaded(*this);
    }
}

}  // namespace tamsel
