#include "store/ParallelTasks.h"

#include <algorithm>
#include <system_error>

namespace quorelle {
namespace {

constexpr unsigned maximumHelpers = 7;

}  // namespace

unsigned ParallelTasks::helperCount() {
    unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? std::min(cores - 1, maximumHelpers) : 0;
}

ParallelTasks::ParallelTasks(std::vector<std::function<void()>> tasks)
    : tasks_(std::move(tasks)), done_(tasks_.size(), false) {
    std::size_t wanted = std::min<std::size_t>(helperCount(), tasks_.size());
    helpers_.reserve(wanted);
    for (std::size_t i = 0; i < wanted; ++i) {
        try {
            helpers_.emplace_back([this] {
                while (runNext()) {
                }
            });
        } catch (const std::system_error&) {
            break;  // fewer helpers; the calling thread picks up the rest
        }
    }
}

ParallelTasks::~ParallelTasks() {
    waitForFirst(tasks_.size());
    for (auto& helper : helpers_) helper.join();
}

bool ParallelTasks::runNext() {
    std::size_t index = next_++;
    if (index >= tasks_.size()) return false;
    try {
        tasks_[index]();
    } catch (...) {
        // the task's own result stays unset
    }
    {
        std::lock_guard lock(mutex_);
        done_[index] = true;
    }
    finished_.notify_all();
    return true;
}

bool ParallelTasks::finishedBelow(std::size_t count) const {
    return std::all_of(done_.begin(), done_.begin() + static_cast<std::ptrdiff_t>(count), [](bool d) { return d; });
}

void ParallelTasks::waitForFirst(std::size_t count) {
    count = std::min(count, tasks_.size());
    // Run a wanted task here rather than wait while nobody has started it.
    while (next_.load() < count) runNext();
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return finishedBelow(count); });
}

}  // namespace quorelle
