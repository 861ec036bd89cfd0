#pragma once

#include <QPointer>
#include <map>
#include <vector>

#include "forms/Toolkit.h"
#include "qt/QtEventLoop.h"

class QWidget;

namespace tamsel {

class FormWindow;

// The toolkit on Qt widgets: each loaded form gets a FormWindow; a modal show makes it
// application-modal and runs a nested loop until the form hides or unloads; message boxes are
// QMessageBoxes with the style's buttons and icon. Needs a QApplication.
class QtToolkit : public Toolkit {
  public:
    explicit QtToolkit(QtEventLoop& loop);
    ~QtToolkit() override;

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

    // The window of a loaded form and the widget of one of its controls, or nullptr.
    FormWindow* WindowOf(const Form& form) const;
    QWidget* WidgetOf(const Control& control) const;

    // Raises the form's Activate event when it becomes the active one of our windows.
    void NoteActivated(Form& form);

  private:
    void LeaveActive(Form& form);

    QtEventLoop& m_loop;
    std::vector<Form*> m_loaded;
    std::map<const Form*, QPointer<FormWindow>> m_windows;
    std::vector<QPointer<FormWindow>> m_disposed;  // deleteLater pending, deleted here at the end
    std::vector<Form*> m_zOrder;                   // visible forms, the active one last
    Form* m_active = nullptr;
};

}  // namespace tamsel
