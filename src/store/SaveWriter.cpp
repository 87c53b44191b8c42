#include "store/SaveWriter.h"

#include <algorithm>
#include <system_error>

namespace quorelle {

SaveWriter::SaveWriter(Write write) : write_(std::move(write)) {}

SaveWriter::~SaveWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
        return;
    }
    // Never started (or it could not be): write what is queued here.
    run();
}

void SaveWriter::queue(const std::string& path, Encode encode) {
    {
        std::lock_guard lock(mutex_);
        auto [entry, added] = latest_.insert_or_assign(path, std::move(encode));
        // A file saved again moves to the place of its newest save.
        if (!added) order_.erase(std::find(order_.begin(), order_.end(), path));
        order_.push_back(path);
        if (!thread_.joinable() && !stopping_) {
            try {
                thread_ = std::thread([this] { run(); });
            } catch (const std::system_error&) {
                // No thread: waitUntilWritten() and the destructor write here.
            }
        }
    }
    changed_.notify_all();
}

bool SaveWriter::idle() const { return order_.empty() && !writing_; }

bool SaveWriter::pending(const std::string& path) const { return latest_.contains(path) || writing_ == path; }

template <typename Done>
void SaveWriter::waitFor(Done done) {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) {
        lock.unlock();
        run();
        return;
    }
    changed_.wait(lock, done);
}

void SaveWriter::waitUntilWritten() {
    waitFor([this] { return idle(); });
}

void SaveWriter::waitUntilWritten(const std::string& path) {
    waitFor([this, &path] { return !pending(path); });
}

void SaveWriter::run() {
    std::unique_lock lock(mutex_);
    const bool background = thread_.joinable() && std::this_thread::get_id() == thread_.get_id();
    for (;;) {
        if (background) changed_.wait(lock, [this] { return !order_.empty() || stopping_; });
        if (order_.empty()) return;
        const std::string path = std::move(order_.front());
        order_.pop_front();
        auto entry = latest_.find(path);
        Encode encode = std::move(entry->second);
        latest_.erase(entry);
        writing_ = path;
        lock.unlock();
        try {
            if (auto bytes = encode()) write_(path, *bytes);
        } catch (...) {
            // This file is skipped; the others are still written.
        }
        lock.lock();
        writing_.reset();
        changed_.notify_all();
    }
}

}  // namespace quorelle
