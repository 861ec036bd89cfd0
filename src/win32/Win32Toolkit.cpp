#include "win32/Win32Toolkit.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/Forms.h"
#include "win32/Dpi.h"
#include "win32/FormWindow.h"
#include "win32/WindowText.h"

namespace tamsel {

Win32Toolkit::Win32Toolkit(Win32EventLoop& loop) : m_loop(loop) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    m_loop.SetMessageFilter([this](MSG& message) { return FilterMessage(message); });
    m_loop.SetAfterMessage([this] { TrackFocus(); });
}

Win32Toolkit::~Win32Toolkit() {
    *m_alive = false;
    m_loop.SetMessageFilter({});
    m_loop.SetAfterMessage({});
    m_windows.clear();
    m_disposed.clear();
}

bool Win32Toolkit::FilterMessage(MSG& message) {
    if (message.hwnd == nullptr) {
        return false;
    }
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    for (const auto& [form, window] : m_windows) {
        if (window->Handle() == root) {
            return IsDialogMessageW(root, &message) != FALSE;
        }
    }
    return false;
}

Control* Win32Toolkit::ControlOf(HWND window) const {
    for (HWND at = window; at != nullptr; at = GetParent(at)) {
        for (const auto& [form, formWindow] : m_windows) {
            if (Control* control = formWindow->ControlOf(at)) {
                return control;
            }
        }
    }
    return nullptr;
}

void Win32Toolkit::TrackFocus() {
    HWND focus = GetFocus();
    if (focus == m_focus) {
        return;
    }
    Control* left = ControlOf(m_focus);
    Control* arrived = ControlOf(focus);
    m_focus = focus;
    if (left == arrived) {
        return;  // inside one control (the edit of a list, say)
    }
    if (left != nullptr) {
        left->RaiseLostFocus();
    }
    if (arrived != nullptr) {
        arrived->RaiseGotFocus();
    }
}

void Win32Toolkit::FormLoaded(Form& form) {
    if (std::find(m_loaded.begin(), m_loaded.end(), &form) != m_loaded.end()) {
        return;
    }
    m_loaded.push_back(&form);
    m_windows[&form] = std::make_unique<FormWindow>(form, *this);
}

void Win32Toolkit::ShowForm(Form& form, ShowMode mode) {
    FormWindow* window = WindowOf(form);
    if (window == nullptr) {
        return;
    }
    std::erase(m_zOrder, &form);
    m_zOrder.push_back(&form);
    window->PrepareShow();
    if (form.State() == WindowState::Minimized) {
        ShowWindow(window->Handle(), SW_SHOWMINNOACTIVE);
    } else {
        ShowWindow(window->Handle(), SW_SHOW);
        SetForegroundWindow(window->Handle());
    }
    // Activation messages may come later, or not at all; the form hears of it now.
    NoteActivated(form);
    if (mode != ShowMode::Modal) {
        return;
    }
    // The other windows of the program wait until this one is done.
    std::vector<HWND> disabled;
    for (const auto& [other, otherWindow] : m_windows) {
        HWND handle = otherWindow->Handle();
        if (other != &form && IsWindowEnabled(handle)) {
            EnableWindow(handle, FALSE);
            disabled.push_back(handle);
        }
    }
    m_loop.RunUntil([&form, this] {
        return std::find(m_loaded.begin(), m_loaded.end(), &form) == m_loaded.end() ||
               !form.Visible();
    });
    for (HWND handle : disabled) {
        if (IsWindow(handle)) {
            EnableWindow(handle, TRUE);
        }
    }
}

void Win32Toolkit::HideForm(Form& form) {
    if (FormWindow* window = WindowOf(form)) {
        ShowWindow(window->Handle(), SW_HIDE);
    }
    LeaveActive(form);
}

void Win32Toolkit::FormUnloaded(Form& form) {
    const auto found = m_windows.find(&form);
    if (found != m_windows.end()) {
        found->second->Detach();
        ShowWindow(found->second->Handle(), SW_HIDE);
        // Not destroyed at once: the unload may run inside one of the window's own messages.
        m_disposed.push_back(std::move(found->second));
        m_windows.erase(found);
        m_loop.Post([this, alive = m_alive] {
            if (*alive) {
                m_disposed.clear();
            }
        });
    }
    std::erase(m_loaded, &form);
    LeaveActive(form);
}

void Win32Toolkit::LeaveActive(Form& form) {
    std::erase(m_zOrder, &form);
    if (m_active == &form) {
        m_active = nullptr;
        if (!m_zOrder.empty()) {
            Form& next = *m_zOrder.back();
            if (FormWindow* window = WindowOf(next)) {
                SetForegroundWindow(window->Handle());
            }
            NoteActivated(next);
        }
    }
}

void Win32Toolkit::NoteActivated(Form& form) {
    if (m_active != &form) {
        m_active = &form;
        form.RaiseActivate();
    }
}

MsgBoxResult Win32Toolkit::MsgBox(const std::string& prompt, int style, const std::string& title) {
    // The styles and answers of the forms are the system's own values.
    HWND owner = nullptr;
    if (m_active != nullptr) {
        if (FormWindow* window = WindowOf(*m_active)) {
            owner = window->Handle();
        }
    }
    const UINT flags =
        static_cast<UINT>(style & (msgbox::kButtonsMask | msgbox::kIconMask)) | MB_SETFOREGROUND;
    const int answer = MessageBoxW(owner, ShownText(prompt).c_str(),
                                   ShownText(TitleOrDefault(title)).c_str(), flags);
    return answer >= IDOK && answer <= IDNO ? static_cast<MsgBoxResult>(answer)
                                            : FirstButtonOf(style);
}

void Win32Toolkit::Beep() {
    MessageBeep(MB_OK);
}

// Form pixels are pixels at 96 dots per inch.
int Win32Toolkit::ScreenWidth() const {
    return MulDiv(GetSystemMetrics(SM_CXSCREEN), 96, SystemDpi());
}

int Win32Toolkit::ScreenHeight() const {
    return MulDiv(GetSystemMetrics(SM_CYSCREEN), 96, SystemDpi());
}

void Win32Toolkit::SetFocus(Control& control) {
    if (!control.Enabled() || !control.Visible()) {
        return;
    }
    if (HWND window = WindowOf(control)) {
        ::SetFocus(window);
        TrackFocus();
    }
}

FormWindow* Win32Toolkit::WindowOf(const Form& form) const {
    const auto found = m_windows.find(&form);
    return found == m_windows.end() ? nullptr : found->second.get();
}

HWND Win32Toolkit::WindowOf(const Control& control) const {
    FormWindow* window = WindowOf(control.Parent());
    return window != nullptr ? window->WindowOf(control) : nullptr;
}

}  // namespace tamsel
