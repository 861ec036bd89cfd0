#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <map>
#include <memory>

#include "forms/EventLoop.h"

class QTimer;

namespace tamsel {

// The event loop on Qt: timers are QTimers, RunUntil processes Qt events (so it nests inside
// other loops) until its condition holds. Needs a QCoreApplication.
class QtEventLoop : public EventLoop {
  public:
    QtEventLoop();
    ~QtEventLoop() override;

    TimerId StartTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void StopTimer(TimerId id) override;
    Clock Now() const override;
    void Post(std::function<void()> task) override;
    void RunUntil(const std::function<bool()>& done) override;
    void Quit() override;
    bool QuitRequested() const override { return m_quit; }

  private:
    QObject m_context;  // owns the timers and queued tasks; they die with the loop
    std::map<TimerId, QTimer*> m_timers;
    TimerId m_nextId = 1;
    QElapsedTimer m_clock;
    bool m_quit = false;
};

}  // namespace tamsel
