#pragma once

#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>
#include <map>

#include "forms/EventLoop.h"

namespace tamsel {

// The event loop on the Windows message queue of the calling thread: timers (SetTimer) and posted
// tasks arrive as messages to a message-only window of the loop's own, RunUntil pumps
// messages (so it nests inside other loops) until its condition holds. A filter sees every
// message first (the toolkit's keyboard handling of dialogs) and an observer every message after
// it was dispatched.
class Win32EventLoop : public EventLoop {
  public:
    Win32EventLoop();
    ~Win32EventLoop() override;
    Win32EventLoop(const Win32EventLoop&) = delete;
    Win32EventLoop& operator=(const Win32EventLoop&) = delete;

    TimerId StartTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void StopTimer(TimerId id) override;
    Clock Now() const override;
    void Post(std::function<void()> task) override;
    void RunUntil(const std::function<bool()>& done) override;
    void Quit() override;
    bool QuitRequested() const override { return m_quit; }

    // Returns true when it handled the message, which is then not dispatched.
    void SetMessageFilter(std::function<bool(MSG&)> filter) { m_filter = std::move(filter); }
    void SetAfterMessage(std::function<void()> after) { m_after = std::move(after); }

  private:
    static LRESULT CALLBACK WakeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick(TimerId id);
    void RunTasks();

    HWND m_wake = nullptr;
    std::map<TimerId, std::function<void()>> m_timers;
    std::deque<std::function<void()>> m_tasks;
    std::function<bool(MSG&)> m_filter;
    std::function<void()> m_after;
    TimerId m_nextId = 1;
    ULONGLONG m_start;
    bool m_quit = false;
};

}  // namespace tamsel
