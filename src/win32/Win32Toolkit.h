#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "forms/Toolkit.h"
#include "win32/Win32EventLoop.h"

namespace tamsel {

class FormWindow;

// The toolkit on native windows: each loaded form gets a FormWindow; a modal show disables the
// program's other windows and pumps messages until the form hides or unloads; message boxes are
// the system's. The keyboard of every form window goes through the dialog manager (Tab, access
// keys, Enter, Escape), and focus changes reach the controls' focus events.
class Win32Toolkit : public Toolkit {
  public:
    explicit Win32Toolkit(Win32EventLoop& loop);
    ~Win32Toolkit() override;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    EventLoop& Loop() override { return m_loop; }

    void FormLoaded(Form& form) override;
    void ShowForm(Form& form, ShowMode mode) override;
    void HideForm(Form& form) override;
    void FormUnloaded(Form& form) override;
    std::vector<Form*> LoadedForms() const override { return m_loaded; }

    MsgBoxResult MsgBox(const std::string& prompt, int style, const std::string& title) override;
    void Beep() override;
    int ScreenWidth() const override;
    int ScreenHeight() const override;
    void SetFocus(Control& control) override;

    // The window of a loaded form and the window of one of its controls, or nullptr.
    FormWindow* WindowOf(const Form& form) const;
    HWND WindowOf(const Control& control) const;

    // Raises the form's Activate event when it becomes the active one of our windows.
    void NoteActivated(Form& form);

  private:
    bool FilterMessage(MSG& message);
    void TrackFocus();
    Control* ControlOf(HWND window) const;
    void LeaveActive(Form& form);

    Win32EventLoop& m_loop;
    std::vector<Form*> m_loaded;
    std::map<const Form*, std::unique_ptr<FormWindow>> m_windows;
    // Windows of unloaded forms, destroyed once the message that unloaded them is handled.
    std::vector<std::unique_ptr<FormWindow>> m_disposed;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    std::vector<Form*> m_zOrder;  // visible forms, the active one last
    Form* m_active = nullptr;
    HWND m_focus = nullptr;
};

}  // namespace tamsel
