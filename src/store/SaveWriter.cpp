#include "store/SaveWriter.h"

#include <algorithm>

namespace quorelle {

SaveWriter::SaveWriter(Write write, Report report) : write_(std::move(write)), report_(std::move(report)) {}

SaveWriter::~SaveWriter() {
    {
        std::lock_guard lock(mutex_);
        retryFailed();  // the last chance for files the disk refused so far
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
        enqueue(path, std::move(encode));
        retryFailed();
        if (!thread_.joinable() && !stopping_) startThread();
    }
    changed_.notify_all();
}

void SaveWriter::enqueue(const std::string& path, Encode encode) {
    auto [entry, added] = latest_.insert_or_assign(path, std::move(encode));
    // A file saved again moves to the place of its newest save.
    if (!added) order_.erase(std::find(order_.begin(), order_.end(), path));
    order_.push_back(path);
}

void SaveWriter::retryFailed() {
    for (const auto& [path, bytes] : failed_)
        if (!pending(path)) enqueue(path, [bytes] { return std::optional<std::string>(*bytes); });
}

void SaveWriter::startThread() {
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread: waitUntilWritten() and the destructor write here.
    }
}

std::vector<std::string> SaveWriter::finish() {
    {
        std::lock_guard lock(mutex_);
        retryFailed();
    }
    changed_.notify_all();
    waitUntilWritten();
    std::lock_guard lock(mutex_);
    std::vector<std::string> unsaved;
    for (const auto& entry : failed_) unsaved.push_back(entry.first);
    std::sort(unsaved.begin(), unsaved.end());
    failed_.clear();
    return unsaved;
}

void SaveWriter::abandon(const std::function<bool(const std::string& path)>& which) {
    std::lock_guard lock(mutex_);
    std::erase_if(failed_, [&which](const auto& entry) { return which(entry.first); });
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

std::size_t SaveWriter::settle(const std::string& path, std::shared_ptr<const std::string> bytes,
                               std::error_code error) {
    // A failed entry is kept even while a newer save of the file waits: it is
    // not queued again then, and that save's own result replaces it.
    if (error)
        failed_.insert_or_assign(path, std::move(bytes));
    else
        failed_.erase(path);
    return failed_.size();
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
        std::shared_ptr<const std::string> bytes;
        std::optional<std::error_code> error;
        try {
            if (auto encoded = encode()) {
                bytes = std::make_shared<const std::string>(std::move(*encoded));
                error = write_(path, *bytes);
            }
        } catch (...) {
            // This file is skipped; the others are still written.
        }
        if (error) {
            lock.lock();
            const std::size_t unsaved = settle(path, std::move(bytes), *error);
            lock.unlock();
            try {
                if (report_) report_(Result{path, *error, unsaved});
            } catch (...) {
                // A report that could not be made changes nothing on disk.
            }
        }
        lock.lock();
        writing_.reset();
        changed_.notify_all();
    }
}

}  // namespace quorelle
