#include "platform/WorkerPool.h"

#include <algorithm>
#include <utility>

namespace arv {

TWorkerPool::TWorkerPool(int helpers) {
    if (helpers < 0)
        helpers = std::max(0, static_cast<int>(std::thread::hardware_concurrency()) - 1);
    threads_.reserve(static_cast<size_t>(helpers));
    for (int i = 0; i < helpers; ++i) threads_.emplace_back([this, i] { Helper(i + 1); });
}

TWorkerPool::~TWorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void TWorkerPool::Start(int count, const std::function<void(int)>& part) {
    {
        std::lock_guard lock(mutex_);
        if (takenSize_ < count) {
            taken_ = std::make_unique<std::atomic<bool>[]>(static_cast<size_t>(count));
            takenSize_ = count;
        }
        for (int i = 0; i < count; ++i) taken_[i].store(false, std::memory_order_relaxed);
        part_ = &part;
        count_ = count;
        finished_ = 0;
        failure_ = nullptr;
        ++job_;
    }
    if (count > 0) wake_.notify_all();
}

void TWorkerPool::Finish() {
    Work(0);
    std::unique_lock lock(mutex_);
    // Helpers still looking for parts would take the next job's.
    done_.wait(lock, [this] { return finished_ == count_ && active_ == 0; });
    part_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void TWorkerPool::Work(int self) {
    const std::function<void(int)>* part;
    int count;
    {
        std::lock_guard lock(mutex_);
        if (!part_) return;
        part = part_;
        count = count_;
        if (self != 0) ++active_;
    }
    const int threads = Threads();
    auto run = [&](int i) {
        if (taken_[i].exchange(true, std::memory_order_acq_rel)) return;
        std::exception_ptr failed;
        try {
            (*part)(i);
        } catch (...) {
            failed = std::current_exception();
        }
        std::lock_guard lock(mutex_);
        if (failed && !failure_) failure_ = failed;
        if (++finished_ == count_ && active_ == 0) done_.notify_all();
    };
    // Own parts first, then whatever the others have not taken.
    for (int i = self; i < count; i += threads) run(i);
    for (int i = 0; i < count; ++i) run(i);
    if (self == 0) return;
    std::lock_guard lock(mutex_);
    if (--active_ == 0) done_.notify_all();
}

void TWorkerPool::Helper(int self) {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || job_ != seen; });
            if (stopping_) return;
            seen = job_;
        }
        Work(self);
    }
}

} // namespace arv
