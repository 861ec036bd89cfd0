#include "WorkerPool.h"

namespace tamsel::server {

namespace {

thread_local bool tRefusing = false;

}  // namespace

WorkerPool::WorkerPool(std::size_t workers) : idle_(workers) {
    workers_.reserve(workers);
    for (std::size_t i = 0; i < workers; ++i) {
        workers_.emplace_back([this] { work(); });
    }
    refuser_ = std::thread([this] { refuse(); });
}

WorkerPool::~WorkerPool() {
    shutdown();
}

bool WorkerPool::Refusing() {
    return tRefusing;
}

void WorkerPool::enqueue(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (idle_ > 0) {
            --idle_;
            tasks_.push_back(std::move(task));
        } else {
            refused_.push_back(std::move(task));
        }
    }
    wake_.notify_all();
}

void WorkerPool::shutdown() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& worker : workers_) {
        worker.join();
    }
    refuser_.join();
}

void WorkerPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return !tasks_.empty() || stopping_; });
        if (tasks_.empty()) {
            return;
        }
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task();
        lock.lock();
        ++idle_;
    }
}

void WorkerPool::refuse() {
    tRefusing = true;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return !refused_.empty() || stopping_; });
        if (refused_.empty()) {
            return;
        }
        auto task = std::move(refused_.front());
        refused_.pop_front();
        lock.unlock();
        task();
        lock.lock();
    }
}

}  // namespace tamsel::server
