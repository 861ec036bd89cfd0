#include "forms/HeadlessEventLoop.h"

#include <algorithm>
#include <string>

namespace tamsel {

namespace {
// Posted tasks that keep posting tasks would spin without the clock moving.
constexpr int kTaskLimitPerRun = 1'000'000;
}  // namespace

EventLoop::TimerId HeadlessEventLoop::StartTimer(std::chrono::milliseconds interval,
                                                 std::function<void()> tick) {
    const Clock period = std::max(interval, Clock(1));
    const TimerId id = m_nextId++;
    m_timers[id] = Entry{period, std::move(tick), m_now + period, m_nextOrder++, false};
    return id;
}

void HeadlessEventLoop::StopTimer(TimerId id) {
    m_timers.erase(id);
}

void HeadlessEventLoop::PostAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    const TimerId id = m_nextId++;
    m_timers[id] = Entry{delay, std::move(task), m_now + delay, m_nextOrder++, true};
}

std::map<EventLoop::TimerId, HeadlessEventLoop::Entry>::iterator HeadlessEventLoop::NextDue() {
    auto best = m_timers.end();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (best == m_timers.end() || it->second.due < best->second.due ||
            (it->second.due == best->second.due && it->second.order < best->second.order)) {
            best = it;
        }
    }
    return best;
}

void HeadlessEventLoop::Fire(TimerId id) {
    auto it = m_timers.find(id);
    m_now = std::max(m_now, it->second.due);
    // The handler may stop this timer or start others, so call a copy and look the entry up
    // again afterwards.
    const auto tick = it->second.tick;
    if (it->second.once) {
        m_timers.erase(it);
        tick();
        return;
    }
    it->second.due = Clock::max();  // not due again while its own handler runs
    tick();
    it = m_timers.find(id);
    if (it != m_timers.end()) {
        it->second.due = m_now + it->second.interval;
        it->second.order = m_nextOrder++;
    }
}

bool HeadlessEventLoop::RunOneTask() {
    if (m_tasks.empty()) {
        return false;
    }
    auto task = std::move(m_tasks.front());
    m_tasks.pop_front();
    task();
    return true;
}

void HeadlessEventLoop::RunPending() {
    for (int count = 0; RunOneTask(); ++count) {
        if (count > kTaskLimitPerRun) {
            throw HeadlessStall("posted tasks keep posting tasks");
        }
    }
}

void HeadlessEventLoop::Advance(std::chrono::milliseconds span) {
    const Clock end = m_now + span;
    RunPending();
    for (auto next = NextDue(); next != m_timers.end() && next->second.due <= end;
         next = NextDue()) {
        Fire(next->first);
        RunPending();
    }
    m_now = std::max(m_now, end);
}

void HeadlessEventLoop::RunUntil(const std::function<bool()>& done) {
    const Clock start = m_now;
    int tasks = 0;
    while (!m_quit && !done()) {
        if (RunOneTask()) {
            if (++tasks > kTaskLimitPerRun) {
                throw HeadlessStall("posted tasks keep posting tasks");
            }
            continue;
        }
        const auto next = NextDue();
        if (next == m_timers.end() || next->second.due == Clock::max()) {
            throw HeadlessStall("nothing left to run while waiting (virtual time " +
                                std::to_string(m_now.count()) + " ms)");
        }
        if (next->second.due - start > m_runLimit) {
            throw HeadlessStall("still waiting after " + std::to_string(m_runLimit.count()) +
                                " ms of virtual time");
        }
        Fire(next->first);
    }
}

}  // namespace tamsel
