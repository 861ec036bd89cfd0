#pragma once

#include <QDialog>
#include <map>

#include "forms/Form.h"

namespace tamsel {

class QtToolkit;

// The Qt window of one form, built from its control list and kept in sync both ways: the form's
// property changes show at once, and clicks, edits, ticks, selections and focus changes reach
// the controls' handlers. Closing the frame asks the form to unload (it may refuse); Escape
// presses the cancel button. The toolkit creates it when the form loads and detaches it when
// the form unloads.
class FormWindow : public QDialog, public FormObserver {
  public:
    FormWindow(Form& form, QtToolkit& toolkit);
    ~FormWindow() override;

    // Forgets the form: no more calls into it, the widgets stay until the window is deleted.
    void Detach();
    Form* AttachedForm() const { return m_form; }
    QWidget* WidgetOf(const Control& control) const;

    void ControlChanged(Control& control, ControlProperty property, int index) override;
    void FormChanged(FormProperty property) override;

    // Applies the form's window flags, state and position before a show.
    void PrepareShow();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildWidgets();
    void Wire(Control& control, QWidget& widget);
    void ApplyGeometry();
    void ApplyTopMost();
    void ApplyWindowState();
    Control* ControlOf(QObject* object) const;

    Form* m_form;
    QtToolkit& m_toolkit;
    std::map<const Control*, QWidget*> m_widgets;
    std::map<const QObject*, Control*> m_controls;
    bool m_applying = false;  // set while the window follows the form, so it does not echo back
};

}  // namespace tamsel
