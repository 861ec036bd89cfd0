#include "qt/FormWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "forms/Forms.h"
#include "qt/ControlWidgets.h"
#include "qt/QtText.h"
#include "qt/QtToolkit.h"

namespace tamsel {

namespace {
// Sets a flag for the lifetime of the guard.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = m_old; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

  private:
    bool& m_flag;
    bool m_old;
};
}  // namespace

FormWindow::FormWindow(Form& form, QtToolkit& toolkit)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_form(&form),
      m_toolkit(toolkit) {
    setObjectName(ToQString(form.Name()));
    setWindowTitle(ToQString(form.Caption()));
    setSizeGripEnabled(false);
    BuildWidgets();
    ApplyGeometry();
    form.SetObserver(this);
}

FormWindow::~FormWindow() {
    Detach();
}

void FormWindow::Detach() {
    if (m_form != nullptr && m_form->Observer() == this) {
        m_form->SetObserver(nullptr);
    }
    m_form = nullptr;
}

QWidget* FormWindow::WidgetOf(const Control& control) const {
    const auto found = m_widgets.find(&control);
    return found == m_widgets.end() ? nullptr : found->second;
}

Control* FormWindow::ControlOf(QObject* object) const {
    if (m_form == nullptr) {
        return nullptr;
    }
    const auto found = m_controls.find(object);
    return found == m_controls.end() ? nullptr : found->second;
}

void FormWindow::BuildWidgets() {
    for (Control* control : m_form->Controls()) {
        QWidget* widget = CreateControlWidget(*control, this);
        if (widget != nullptr) {
            m_widgets[control] = widget;
            m_controls[widget] = control;
            Wire(*control, *widget);
        }
    }
}

// Every handler checks m_form: a detached window may still deliver queued widget signals.
void FormWindow::Wire(Control& control, QWidget& widget) {
    widget.installEventFilter(this);
    Control* target = &control;
    switch (control.Kind()) {
        case ControlKind::TextBox:
            if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
                connect(line, &QLineEdit::textEdited, this, [this, target](const QString& text) {
                    if (m_form != nullptr) {
                        static_cast<TextBox*>(target)->SetText(FromQString(text));
                    }
                });
            } else if (auto* edit = qobject_cast<QPlainTextEdit*>(&widget)) {
                connect(edit, &QPlainTextEdit::textChanged, this, [this, target, edit] {
                    if (m_form != nullptr) {
                        static_cast<TextBox*>(target)->SetText(FromQString(edit->toPlainText()));
                    }
                });
            }
            break;
        case ControlKind::CommandButton:
            connect(static_cast<QPushButton*>(&widget), &QPushButton::clicked, this,
                    [this, target] {
                        if (m_form != nullptr) {
                            static_cast<CommandButton*>(target)->PerformClick();
                        }
                    });
            break;
        case ControlKind::CheckBox:
            connect(static_cast<QCheckBox*>(&widget), &QCheckBox::clicked, this,
                    [this, target](bool checked) {
                        if (m_form != nullptr) {
                            static_cast<CheckBox*>(target)->SetValue(
                                checked ? CheckBox::kChecked : CheckBox::kUnchecked);
                        }
                    });
            break;
        case ControlKind::ListBox: {
            auto* list = static_cast<QListWidget*>(&widget);
            connect(list, &QListWidget::itemChanged, this,
                    [this, target, list](QListWidgetItem* item) {
                        if (m_form != nullptr) {
                            static_cast<ListBox*>(target)->SetChecked(
                                list->row(item), item->checkState() == Qt::Checked);
                        }
                    });
            // The selected line, not Qt's current one: a list that takes the focus makes its first
            // line current without the user choosing anything.
            connect(list, &QListWidget::itemSelectionChanged, this, [this, target, list] {
                if (m_form != nullptr) {
                    const auto selected = list->selectedItems();
                    static_cast<ListBox*>(target)->SetListIndex(
                        selected.isEmpty() ? -1 : list->row(selected.first()));
                }
            });
            break;
        }
        case ControlKind::ComboBox:
            connect(static_cast<QComboBox*>(&widget), &QComboBox::activated, this,
                    [this, target](int index) {
                        if (m_form != nullptr) {
                            static_cast<ComboBox*>(target)->SetListIndex(index);
                        }
                    });
            break;
        default:
            break;
    }
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    Control* control = ControlOf(watched);
    if (control != nullptr) {
        switch (event->type()) {
            case QEvent::FocusIn:
                control->RaiseGotFocus();
                break;
            case QEvent::FocusOut:
                control->RaiseLostFocus();
                break;
            case QEvent::MouseButtonRelease:
                if (control->Kind() == ControlKind::Label && control->Enabled() &&
                    static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                    static_cast<Label*>(control)->PerformClick();
                }
                break;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FormWindow::ControlChanged(Control& control, ControlProperty property, int index) {
    if (QWidget* widget = WidgetOf(control)) {
        ApplyControlProperty(control, *widget, property, index);
    }
}

void FormWindow::FormChanged(FormProperty property) {
    if (m_form == nullptr) {
        return;
    }
    switch (property) {
        case FormProperty::Caption:
            setWindowTitle(ToQString(m_form->Caption()));
            break;
        case FormProperty::Geometry:
            ApplyGeometry();
            break;
        case FormProperty::TopMost:
            ApplyTopMost();
            break;
        case FormProperty::WindowState:
            ApplyWindowState();
            break;
        case FormProperty::Visible:  // the toolkit shows and hides
        case FormProperty::Loaded:
            break;
    }
}

void FormWindow::PrepareShow() {
    ApplyGeometry();
    const FlagGuard guard(m_applying);
    setWindowFlag(Qt::WindowStaysOnTopHint, m_form != nullptr && m_form->TopMost());
}

void FormWindow::ApplyGeometry() {
    if (m_form == nullptr) {
        return;
    }
    const FlagGuard guard(m_applying);
    setFixedSize(m_form->Width(), m_form->Height());
    move(m_form->Left(), m_form->Top());
}

void FormWindow::ApplyTopMost() {
    const FlagGuard guard(m_applying);
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, m_form->TopMost());
    if (wasVisible) {
        show();  // changing the window flags hides the window
    }
}

void FormWindow::ApplyWindowState() {
    const FlagGuard guard(m_applying);
    if (m_form->State() == WindowState::Minimized) {
        setWindowState(windowState() | Qt::WindowMinimized);
    } else {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    }
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The form decides; if it unloads, the toolkit hides and disposes of this window.
    event->ignore();
    if (m_form != nullptr) {
        m_form->RequestUnload(UnloadMode::FormControlMenu);
    }
}

void FormWindow::reject() {
    if (m_form == nullptr) {
        return;
    }
    for (Control* control : m_form->Controls()) {
        auto* button = dynamic_cast<CommandButton*>(control);
        if (button != nullptr && button->Cancel() && button->Reachable()) {
            button->PerformClick();
            return;
        }
    }
}

void FormWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (m_form == nullptr || m_applying) {
        return;
    }
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_toolkit.NoteActivated(*m_form);
    } else if (event->type() == QEvent::WindowStateChange) {
        m_form->SetWindowState(isMinimized() ? WindowState::Minimized : WindowState::Normal);
    }
}

void FormWindow::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (m_form != nullptr && !m_applying && isVisible()) {
        m_form->Move(pos().x(), pos().y(), m_form->Width(), m_form->Height());
    }
}

}  // namespace tamsel
