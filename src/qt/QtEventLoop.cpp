#include "qt/QtEventLoop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>

namespace tamsel {

QtEventLoop::QtEventLoop() {
    m_clock.start();
}

QtEventLoop::~QtEventLoop() = default;

EventLoop::TimerId QtEventLoop::StartTimer(std::chrono::milliseconds interval,
                                           std::function<void()> tick) {
    auto* timer = new QTimer(&m_context);
    timer->setInterval(std::max(interval, std::chrono::milliseconds(1)));
    QObject::connect(timer, &QTimer::timeout, &m_context, std::move(tick));
    timer->start();
    const TimerId id = m_nextId++;
    m_timers[id] = timer;
    return id;
}

void QtEventLoop::StopTimer(TimerId id) {
    const auto found = m_timers.find(id);
    if (found == m_timers.end()) {
        return;
    }
    // The timer may be stopping itself from its own timeout handler.
    found->second->stop();
    found->second->deleteLater();
    m_timers.erase(found);
}

EventLoop::Clock QtEventLoop::Now() const {
    return Clock(m_clock.elapsed());
}

void QtEventLoop::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(&m_context, std::move(task), Qt::QueuedConnection);
}

void QtEventLoop::RunUntil(const std::function<bool()>& done) {
    while (!m_quit && !done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void QtEventLoop::Quit() {
    m_quit = true;
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        dispatcher->wakeUp();
    }
}

}  // namespace tamsel
