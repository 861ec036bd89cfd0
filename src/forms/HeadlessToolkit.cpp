#include "forms/HeadlessToolkit.h"

#include <algorithm>

#include "forms/Form.h"

namespace tamsel {

HeadlessToolkit::HeadlessToolkit(HeadlessEventLoop& loop, int screenWidth, int screenHeight)
    : m_loop(loop), m_screenWidth(screenWidth), m_screenHeight(screenHeight) {}

HeadlessToolkit::~HeadlessToolkit() {
    for (Form* form : m_loaded) {
        form->SetObserver(nullptr);
    }
}

void HeadlessToolkit::FormLoaded(Form& form) {
    if (!IsLoaded(&form)) {
        m_loaded.push_back(&form);
    }
}

void HeadlessToolkit::ShowForm(Form& form, ShowMode mode) {
    m_showLog.push_back(form.Name());
    const bool wasActive = ActiveForm() == &form;
    std::erase(m_zOrder, &form);
    m_zOrder.push_back(&form);
    if (!wasActive) {
        form.RaiseActivate();
    }

    auto scripts = m_scripts.find(form.Name());
    if (scripts != m_scripts.end() && !scripts->second.empty()) {
        FormScript script = std::move(scripts->second.front());
        scripts->second.pop_front();
        Form* target = &form;
        m_loop.Post([this, target, script = std::move(script)] {
            // The form may have closed (or gone) before the user got to it.
            if (IsLoaded(target) && target->Visible()) {
                script(*target);
            }
        });
    }

    if (mode == ShowMode::Modal) {
        m_loop.RunUntil([&form, this] { return !IsLoaded(&form) || !form.Visible(); });
    }
}

void HeadlessToolkit::HideForm(Form& form) {
    Deactivate(form);
}

void HeadlessToolkit::FormUnloaded(Form& form) {
    Deactivate(form);
    std::erase(m_loaded, &form);
    m_focus.erase(&form);
}

void HeadlessToolkit::Deactivate(Form& form) {
    const bool wasActive = ActiveForm() == &form;
    std::erase(m_zOrder, &form);
    if (wasActive && !m_zOrder.empty()) {
        m_zOrder.back()->RaiseActivate();
    }
}

MsgBoxResult HeadlessToolkit::MsgBox(const std::string& prompt, int style,
                                     const std::string& title) {
    MsgBoxResult answer = FirstButtonOf(style);
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    m_messageBoxes.push_back(MessageBox{prompt, style, TitleOrDefault(title), answer});
    return answer;
}

void HeadlessToolkit::SetFocus(Control& control) {
    if (!control.Enabled() || !control.Visible() || !IsLoaded(&control.Parent())) {
        return;
    }
    Control*& focused = m_focus[&control.Parent()];
    if (focused == &control) {
        return;
    }
    Control* previous = focused;
    focused = &control;
    if (previous != nullptr) {
        previous->RaiseLostFocus();
    }
    control.RaiseGotFocus();
}

void HeadlessToolkit::WhenShown(const std::string& formName, FormScript script) {
    m_scripts[formName].push_back(std::move(script));
}

std::size_t HeadlessToolkit::PendingScripts() const {
    std::size_t count = 0;
    for (const auto& [name, scripts] : m_scripts) {
        count += scripts.size();
    }
    return count;
}

Control* HeadlessToolkit::Focused(const Form& form) const {
    const auto found = m_focus.find(&form);
    return found == m_focus.end() ? nullptr : found->second;
}

Form* HeadlessToolkit::ActiveForm() const {
    return m_zOrder.empty() ? nullptr : m_zOrder.back();
}

bool HeadlessToolkit::IsLoaded(const Form* form) const {
    return std::find(m_loaded.begin(), m_loaded.end(), form) != m_loaded.end();
}

}  // namespace tamsel
