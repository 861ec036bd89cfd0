#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace tamsel {

// Runs timers and nested loops on the one user-interface thread. A headless implementation
// runs on a virtual clock for tests; the Qt one runs on QTimer and QEventLoop.
class EventLoop {
  public:
    using TimerId = std::uint64_t;
    using Clock = std::chrono::milliseconds;

    virtual ~EventLoop() = default;

    // Calls tick every interval (at least 1 ms) until StopTimer. Ids are never 0.
    virtual TimerId StartTimer(std::chrono::milliseconds interval, std::function<void()> tick) = 0;
    virtual void StopTimer(TimerId id) = 0;

    // Time since the loop was created.
    virtual Clock Now() const = 0;

    // Runs a task on the loop soon (after the current handler returns).
    virtual void Post(std::function<void()> task) = 0;

    // Processes events (nesting allowed) until done() holds or Quit is called.
    virtual void RunUntil(const std::function<bool()>& done) = 0;

    // Ends every RunUntil, outermost included; later runs return at once.
    virtual void Quit() = 0;
    virtual bool QuitRequested() const = 0;
};

}  // namespace tamsel
