#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <stdexcept>

#include "forms/EventLoop.h"

namespace tamsel {

// Thrown when a headless run cannot end: nothing is left to run, or it waited longer than
// the run limit. A broken test fails with this instead of hanging.
class HeadlessStall : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// An event loop on a virtual clock that starts at 0. Time moves only when a test advances it
// or a RunUntil waits for the next timer; due timers fire in the order of their due times
// (ties in the order they were scheduled), with the clock set to each due time.
class HeadlessEventLoop : public EventLoop {
  public:
    TimerId StartTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void StopTimer(TimerId id) override;
    Clock Now() const override { return m_now; }
    void Post(std::function<void()> task) override { m_tasks.push_back(std::move(task)); }
    // Runs posted tasks, then moves the clock to the next due timer and fires it, until done
    // holds. Throws HeadlessStall when nothing is left to run or the run limit is passed.
    void RunUntil(const std::function<bool()>& done) override;
    void Quit() override { m_quit = true; }
    bool QuitRequested() const override { return m_quit; }

    // Runs posted tasks and every timer due within the span, then sets the clock to its end.
    void Advance(std::chrono::milliseconds span);
    // Runs the posted tasks (and the tasks they post) without moving the clock.
    void RunPending();
    // Runs task once, delay from now.
    void PostAfter(std::chrono::milliseconds delay, std::function<void()> task);

    std::size_t ActiveTimers() const { return m_timers.size(); }
    // Longest virtual time one RunUntil may wait; an hour unless set.
    void SetRunLimit(std::chrono::milliseconds limit) { m_runLimit = limit; }

  private:
    struct Entry {
        Clock interval{};
        std::function<void()> tick;
        Clock due{};
        std::uint64_t order = 0;
        bool once = false;
    };

    // The timer due first, or m_timers.end().
    std::map<TimerId, Entry>::iterator NextDue();
    void Fire(TimerId id);
    bool RunOneTask();

    std::map<TimerId, Entry> m_timers;
    std::deque<std::function<void()>> m_tasks;
    Clock m_now{0};
    TimerId m_nextId = 1;
    std::uint64_t m_nextOrder = 0;
    Clock m_runLimit = std::chrono::hours(1);
    bool m_quit = false;
};

}  // namespace tamsel
