// Threads kept for the life of the pool that share out the parts of one job
// at a time. The caller works on parts too and returns when every part is
// done, so a job is over when Run returns; nothing of it runs afterwards.
// Each thread takes the parts it took in the last job of that size first
// (part i goes to thread i mod threads), then any left over: work repeated
// job after job finds what it needs in the same thread's caches.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace arv {

class TWorkerPool {
public:
    // Helper threads besides the caller; below 0, one fewer than the cores.
    explicit TWorkerPool(int helpers = -1);
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    // Threads that work on a job: the helpers and the caller.
    int Threads() const { return static_cast<int>(threads_.size()) + 1; }
    // part(i) for every i in [0, count), each once, on any of the threads.
    // The first exception a part throws is thrown here once all are done.
    void Run(int count, const std::function<void(int)>& part) {
        Start(count, part);
        Finish();
    }
    // Run in two steps, for a caller with work of its own meanwhile: Start
    // sets the helpers on the parts and returns at once; Finish works on the
    // parts left and returns (or throws) as Run does. `part` must live until
    // Finish returns, and parts must not wait for the caller's work past
    // Finish being called.
    void Start(int count, const std::function<void(int)>& part);
    void Finish();

private:
    void Helper(int self);
    // Takes and runs parts of the current job until none is left.
    void Work(int self);

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    bool stopping_ = false;
    uint64_t job_ = 0;
    // The current job; set before helpers are woken, cleared after all parts.
    const std::function<void(int)>* part_ = nullptr;
    int count_ = 0;
    std::unique_ptr<std::atomic<bool>[]> taken_;
    int takenSize_ = 0;
    int finished_ = 0; // under mutex_
    int active_ = 0;   // helpers inside Work, under mutex_
    std::exception_ptr failure_;
};

} // namespace arv
