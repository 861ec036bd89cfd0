#include "forms/Timer.h"

#include "forms/Form.h"

namespace tamsel {

Timer::Timer(Form& parent, std::string name)
    : Control(parent, std::move(name), ControlKind::Timer) {
    SetVisible(false);
}

Timer::~Timer() {
    if (m_timerId != 0) {
        Parent().GetToolkit().Loop().StopTimer(m_timerId);
    }
}

void Timer::SetInterval(int milliseconds) {
    if (m_interval != milliseconds) {
        m_interval = milliseconds;
        Reschedule();
    }
}

void Timer::PropertyChanged(ControlProperty property) {
    if (property == ControlProperty::Enabled) {
        Reschedule();
    }
}

void Timer::Reschedule() {
    EventLoop& loop = Parent().GetToolkit().Loop();
    if (m_timerId != 0) {
        loop.StopTimer(m_timerId);
        m_timerId = 0;
    }
    if (Enabled() && m_interval > 0 && Parent().IsLoaded()) {
        m_timerId = loop.StartTimer(std::chrono::milliseconds(m_interval), [this] { Tick(); });
    }
}

void Timer::Tick() {
    if (m_inTick) {
        return;
    }
    m_inTick = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_inTick};
    Raise(OnTimer);
}

}  // namespace tamsel
