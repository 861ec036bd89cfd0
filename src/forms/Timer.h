#pragma once

#include <functional>
#include <string>

#include "forms/Control.h"
#include "forms/EventLoop.h"

namespace tamsel {

// Raises OnTimer every Interval milliseconds while it is enabled, its interval is above 0 and
// its form is loaded; hidden forms keep ticking. Changing Enabled or Interval restarts the
// count. A tick never re-enters its own handler: while a handler runs (a modal dialog opened
// from it, say), further ticks of the same timer are dropped.
class Timer : public Control {
  public:
    Timer(Form& parent, std::string name);
    ~Timer() override;

    int Interval() const { return m_interval; }
    void SetInterval(int milliseconds);
    bool Running() const { return m_timerId != 0; }

    std::function<void()> OnTimer;

    void FormLoadChanged() override { Reschedule(); }

  protected:
    void PropertyChanged(ControlProperty property) override;

  private:
    void Reschedule();
    void Tick();

    int m_interval = 0;
    EventLoop::TimerId m_timerId = 0;
    bool m_inTick = false;
};

}  // namespace tamsel
