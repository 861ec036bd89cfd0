#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tamsel::server {

// The server's connection workers. A connection that arrives while every worker is busy is not
// queued behind the others: it is handed to a single refusing thread, on which Refusing() is
// true, so that it can be answered "busy" at once.
class WorkerPool final : public httplib::TaskQueue {
  public:
    explicit WorkerPool(std::size_t workers);
    ~WorkerPool() override;
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void enqueue(std::function<void()> task) override;
    void shutdown() override;

    // Whether the calling thread is the one that answers connections no worker could take.
    static bool Refusing();

  private:
    void work();
    void refuse();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    std::deque<std::function<void()>> refused_;
    std::size_t idle_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
    std::thread refuser_;
};

}  // namespace tamsel::server
