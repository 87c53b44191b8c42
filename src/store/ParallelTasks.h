#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quorelle {

// Runs independent bits of pure work (no shared mutable state, no toolkit
// calls) on a few short-lived helper threads, in the order given, while the
// calling thread goes on with the results as they come in. Without helpers
// (one core, or none could be started) the calling thread runs the tasks
// itself when it waits for them.
//
// A task that throws only stops itself; it reports through its own captured
// state. Everything has finished when the object is destroyed.
class ParallelTasks {
public:
    explicit ParallelTasks(std::vector<std::function<void()>> tasks);
    ~ParallelTasks();
    ParallelTasks(const ParallelTasks&) = delete;
    ParallelTasks& operator=(const ParallelTasks&) = delete;

    // Returns once the first `count` tasks have finished.
    void waitForFirst(std::size_t count);

    // Helper threads used besides the calling thread.
    static unsigned helperCount();

private:
    bool runNext();
    bool finishedBelow(std::size_t count) const;  // with mutex_ held

    std::vector<std::function<void()>> tasks_;
    std::atomic<std::size_t> next_{0};
    std::vector<bool> done_;
    std::mutex mutex_;
    std::condition_variable finished_;
    std::vector<std::thread> helpers_;
};

}  // namespace quorelle
