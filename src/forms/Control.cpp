#include "forms/Control.h"

#include "forms/Form.h"

namespace tamsel {

Control::Control(Form& parent, std::string name, ControlKind kind)
    : m_parent(parent), m_name(std::move(name)), m_kind(kind) {}

void Control::SetEnabled(bool enabled) {
    if (m_enabled != enabled) {
        m_enabled = enabled;
        Notify(ControlProperty::Enabled);
    }
}

void Control::SetVisible(bool visible) {
    if (m_visible != visible) {
        m_visible = visible;
        Notify(ControlProperty::Visible);
    }
}

void Control::SetToolTipText(std::string text) {
    if (m_toolTip != text) {
        m_toolTip = std::move(text);
        Notify(ControlProperty::ToolTipText);
    }
}

void Control::SetForeColor(Colour colour) {
    if (m_foreColor != colour) {
        m_foreColor = colour;
        Notify(ControlProperty::ForeColor);
    }
}

void Control::SetFont(int pointSize, bool bold) {
    if (m_fontSize != pointSize || m_fontBold != bold) {
        m_fontSize = pointSize;
        m_fontBold = bold;
        Notify(ControlProperty::Font);
    }
}

void Control::Move(int left, int top, int width, int height) {
    const Rect geometry{left, top, width, height};
    if (!(m_geometry == geometry)) {
        m_geometry = geometry;
        Notify(ControlProperty::Geometry);
    }
}

bool Control::Reachable() const {
    return m_enabled && m_visible && m_parent.IsLoaded() && m_parent.Visible();
}

void Control::SetFocus() {
    m_parent.GetToolkit().SetFocus(*this);
}

void Control::RaiseGotFocus() {
    Raise(OnGotFocus);
}

void Control::RaiseLostFocus() {
    Raise(OnLostFocus);
}

void Control::Notify(ControlProperty property, int index) {
    PropertyChanged(property);
    m_parent.NotifyControlChanged(*this, property, index);
}

}  // namespace tamsel
