#include "qt/QtToolkit.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "forms/Form.h"
#include "qt/FormWindow.h"
#include "qt/QtText.h"

namespace tamsel {

namespace {

QMessageBox::Icon IconOf(int style) {
    switch (style & msgbox::kIconMask) {
        case msgbox::kCritical:
            return QMessageBox::Critical;
        case msgbox::kQuestion:
            return QMessageBox::Question;
        case msgbox::kExclamation:
            return QMessageBox::Warning;
        case msgbox::kInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    MsgBoxResult answer;
};

std::vector<ButtonAnswer> ButtonsOf(int style) {
    using B = QMessageBox;
    switch (style & msgbox::kButtonsMask) {
        case msgbox::kOkCancel:
            return {{B::Ok, MsgBoxResult::Ok}, {B::Cancel, MsgBoxResult::Cancel}};
        case msgbox::kAbortRetryIgnore:
            return {{B::Abort, MsgBoxResult::Abort},
                    {B::Retry, MsgBoxResult::Retry},
                    {B::Ignore, MsgBoxResult::Ignore}};
        case msgbox::kYesNoCancel:
            return {{B::Yes, MsgBoxResult::Yes},
                    {B::No, MsgBoxResult::No},
                    {B::Cancel, MsgBoxResult::Cancel}};
        case msgbox::kYesNo:
            return {{B::Yes, MsgBoxResult::Yes}, {B::No, MsgBoxResult::No}};
        case msgbox::kRetryCancel:
            return {{B::Retry, MsgBoxResult::Retry}, {B::Cancel, MsgBoxResult::Cancel}};
        default:
            return {{B::Ok, MsgBoxResult::Ok}};
    }
}

}  // namespace

QtToolkit::QtToolkit(QtEventLoop& loop) : m_loop(loop) {}

QtToolkit::~QtToolkit() {
    for (auto& [form, window] : m_windows) {
        if (window) {
            window->Detach();
            delete window.data();
        }
    }
    for (const auto& window : m_disposed) {
        delete window.data();
    }
}

void QtToolkit::FormLoaded(Form& form) {
    if (std::find(m_loaded.begin(), m_loaded.end(), &form) != m_loaded.end()) {
        return;
    }
    m_loaded.push_back(&form);
    m_windows[&form] = new FormWindow(form, *this);
}

void QtToolkit::ShowForm(Form& form, ShowMode mode) {
    FormWindow* window = WindowOf(form);
    if (window == nullptr) {
        return;
    }
    std::erase(m_zOrder, &form);
    m_zOrder.push_back(&form);
    window->PrepareShow();
    window->setWindowModality(mode == ShowMode::Modal ? Qt::ApplicationModal : Qt::NonModal);
    if (form.State() == WindowState::Minimized) {
        window->showMinimized();
    } else {
        window->show();
        window->raise();
        window->activateWindow();
    }
    // Activation events arrive later, if at all (offscreen); the form hears of it now.
    NoteActivated(form);

    if (mode == ShowMode::Modal) {
        m_loop.RunUntil([&form, this] {
            return std::find(m_loaded.begin(), m_loaded.end(), &form) == m_loaded.end() ||
                   !form.Visible();
        });
        if (FormWindow* still = WindowOf(form)) {
            still->setWindowModality(Qt::NonModal);
        }
    }
}

void QtToolkit::HideForm(Form& form) {
    if (FormWindow* window = WindowOf(form)) {
        window->hide();
    }
    LeaveActive(form);
}

void QtToolkit::FormUnloaded(Form& form) {
    const auto found = m_windows.find(&form);
    if (found != m_windows.end()) {
        if (FormWindow* window = found->second.data()) {
            window->Detach();
            window->hide();
            // Not deleted at once: the unload may run inside one of the window's own signals.
            window->deleteLater();
            std::erase_if(m_disposed, [](const QPointer<FormWindow>& gone) { return !gone; });
            m_disposed.emplace_back(window);
        }
        m_windows.erase(found);
    }
    std::erase(m_loaded, &form);
    LeaveActive(form);
}

void QtToolkit::LeaveActive(Form& form) {
    std::erase(m_zOrder, &form);
    if (m_active == &form) {
        m_active = nullptr;
        if (!m_zOrder.empty()) {
            Form& next = *m_zOrder.back();
            if (FormWindow* window = WindowOf(next)) {
                window->activateWindow();
            }
            NoteActivated(next);
        }
    }
}

void QtToolkit::NoteActivated(Form& form) {
    if (m_active != &form) {
        m_active = &form;
        form.RaiseActivate();
    }
}

MsgBoxResult QtToolkit::MsgBox(const std::string& prompt, int style, const std::string& title) {
    QWidget* parent = m_active != nullptr ? WindowOf(*m_active) : nullptr;
    QMessageBox box(IconOf(style), ToQString(TitleOrDefault(title)), ToQString(prompt),
                    QMessageBox::NoButton, parent);
    const auto buttons = ButtonsOf(style);
    for (const auto& entry : buttons) {
        box.addButton(entry.button);
    }
    box.setDefaultButton(buttons.front().button);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& entry : buttons) {
        if (entry.button == pressed) {
            return entry.answer;
        }
    }
    // Closed without a button: the cancel answer if there is one, else the only button.
    const bool hasCancel = std::any_of(buttons.begin(), buttons.end(), [](const auto& entry) {
        return entry.answer == MsgBoxResult::Cancel;
    });
    return hasCancel ? MsgBoxResult::Cancel : buttons.front().answer;
}

void QtToolkit::Beep() {
    QApplication::beep();
}

int QtToolkit::ScreenWidth() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : 0;
}

int QtToolkit::ScreenHeight() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().height() : 0;
}

void QtToolkit::SetFocus(Control& control) {
    if (!control.Enabled() || !control.Visible()) {
        return;
    }
    if (QWidget* widget = WidgetOf(control)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

FormWindow* QtToolkit::WindowOf(const Form& form) const {
    const auto found = m_windows.find(&form);
    return found == m_windows.end() ? nullptr : found->second.data();
}

QWidget* QtToolkit::WidgetOf(const Control& control) const {
    FormWindow* window = WindowOf(control.Parent());
    return window != nullptr ? window->WidgetOf(control) : nullptr;
}

}  // namespace tamsel
