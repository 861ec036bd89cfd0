#pragma once

#include <functional>
#include <string>

#include "forms/Colour.h"
#include "forms/FormObserver.h"

namespace tamsel {

class Form;

enum class ControlKind {
    Label,
    TextBox,
    CommandButton,
    CheckBox,
    ListBox,
    ComboBox,
    Line,
    Timer,
    ProgressBar
};

// Position and size in pixels, relative to the form's client area.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// A named control owned by a form. Setters change the property, tell the form's observer and,
// where the control kind says so, raise the control's event. Events are plain std::function
// members; an empty one is simply not called.
class Control {
  public:
    Control(Form& parent, std::string name, ControlKind kind);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return m_name; }
    ControlKind Kind() const { return m_kind; }
    Form& Parent() const { return m_parent; }

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    const std::string& ToolTipText() const { return m_toolTip; }
    void SetToolTipText(std::string text);
    Colour ForeColor() const { return m_foreColor; }
    void SetForeColor(Colour colour);

    // Point size 0 means the toolkit's default font.
    int FontSize() const { return m_fontSize; }
    bool FontBold() const { return m_fontBold; }
    void SetFont(int pointSize, bool bold);

    const Rect& Geometry() const { return m_geometry; }
    void Move(int left, int top, int width, int height);

    // Can the user reach the control: enabled and visible, on a visible form.
    bool Reachable() const;
    // Asks the toolkit to give the control the keyboard focus; focus events follow.
    void SetFocus();

    std::function<void()> OnGotFocus;
    std::function<void()> OnLostFocus;

    // Raised by the toolkit when the focus arrives or leaves.
    void RaiseGotFocus();
    void RaiseLostFocus();

    // Called by the form when it loads or unloads; timers start and stop here.
    virtual void FormLoadChanged() {}

  protected:
    // Tells the control itself (PropertyChanged), then the form's observer.
    void Notify(ControlProperty property, int index = -1);
    virtual void PropertyChanged(ControlProperty /*property*/) {}
    static void Raise(const std::function<void()>& handler) {
        if (handler) {
            handler();
        }
    }

  private:
    Form& m_parent;
    std::string m_name;
    ControlKind m_kind;
    bool m_enabled = true;
    bool m_visible = true;
    std::string m_toolTip;
    Colour m_foreColor = kColourWindowText;
    int m_fontSize = 0;
    bool m_fontBold = false;
    Rect m_geometry;
};

}  // namespace tamsel
