#pragma once

#include <string>
#include <vector>

#include "forms/EventLoop.h"
#include "forms/MsgBox.h"

namespace tamsel {

class Control;
class Form;

enum class ShowMode { Modeless = 0, Modal = 1 };

// The windowing world as a form sees it. Forms call the first group themselves (Form::Show,
// Hide, Load, Unload go through here); dialogs call the rest. A modal ShowForm returns when the
// form is hidden or unloaded.
class Toolkit {
  public:
    virtual ~Toolkit() = default;

    virtual EventLoop& Loop() = 0;

    // Called by Form only.
    virtual void FormLoaded(Form& form) = 0;
    virtual void ShowForm(Form& form, ShowMode mode) = 0;
    virtual void HideForm(Form& form) = 0;
    virtual void FormUnloaded(Form& form) = 0;

    // Every form currently loaded, in loading order.
    virtual std::vector<Form*> LoadedForms() const = 0;

    // A modal message box. An empty title shows the application title.
    virtual MsgBoxResult MsgBox(const std::string& prompt, int style = msgbox::kOkOnly,
                                const std::string& title = {}) = 0;
    virtual void Beep() = 0;
    // Screen size in pixels, the unit of every position and size of the forms.
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    // Gives the keyboard focus to an enabled and visible control; ignored otherwise.
    virtual void SetFocus(Control& control) = 0;

    const std::string& ApplicationTitle() const { return m_applicationTitle; }
    void SetApplicationTitle(std::string title) { m_applicationTitle = std::move(title); }

  protected:
    const std::string& TitleOrDefault(const std::string& title) const {
        return title.empty() ? m_applicationTitle : title;
    }

  private:
    std::string m_applicationTitle = "Tamsel Updater";
};

}  // namespace tamsel
