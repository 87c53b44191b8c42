#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

namespace quorelle {

// One background thread that encodes and writes files, so that a save costs
// the calling thread only the queuing.
//
//  - Files are written in the order of their latest save: a file queued
//    again before the writer has started on it is written once, with the
//    newest contents, in the place of that newest save.
//  - waitUntilWritten() returns once everything queued before it is on disk
//    (or failed), and its form with a path once that file is; the
//    destructor waits for everything before it stops.
//  - Each file is handed to `write` whole; how it reaches the disk (a
//    temporary file and a rename) is the writer callback's business.
//  - A file whose write failed keeps the bytes it was given: the next save
//    of any file queues it again (unless a newer save of it already waits),
//    and so does stopping the writer, so nothing saved is dropped while the
//    disk refuses it, until finish(), the last write of a run, gives it up.
//  - `report` hears how each write went, on the writer's thread, before
//    waitUntilWritten() counts that file as done.
//
// The thread starts with the first save. Encoders run on it: they must own
// what they read (a snapshot), and must not touch toolkit or main-thread
// state. queue() and waitUntilWritten() may be called from any one thread.
class SaveWriter {
public:
    // The file's text; nothing skips the file.
    using Encode = std::function<std::optional<std::string>()>;
    // Nothing when the bytes are on disk, else what stopped them.
    using Write = std::function<std::error_code(const std::string& path, std::string_view bytes)>;
    struct Result {
        const std::string& path;
        std::error_code error;  // nothing: written
        std::size_t unsaved;    // files whose newest write failed, after this one
    };
    using Report = std::function<void(const Result&)>;

    explicit SaveWriter(Write write, Report report = nullptr);
    ~SaveWriter();
    SaveWriter(const SaveWriter&) = delete;
    SaveWriter& operator=(const SaveWriter&) = delete;

    void queue(const std::string& path, Encode encode);
    void waitUntilWritten();
    // Returns once no save of `path` is waiting or being written.
    void waitUntilWritten(const std::string& path);
    // The last write of a run: queues once more every file whose newest
    // write failed, waits for everything queued, and gives the files that
    // are still not on disk, sorted. Those are given up then: neither a later
    // save nor the destructor writes them again, so the answer stays true.
    std::vector<std::string> finish();
    // Stops retrying the failed files `which` picks (they are being removed).
    void abandon(const std::function<bool(const std::string& path)>& which);

private:
    void run();
    // With mutex_ held.
    bool idle() const;
    bool pending(const std::string& path) const;
    void enqueue(const std::string& path, Encode encode);
    void retryFailed();
    void startThread();
    // Keeps or forgets the file's bytes after a write; gives the failed count.
    std::size_t settle(const std::string& path, std::shared_ptr<const std::string> bytes, std::error_code error);
    template <typename Done>
    void waitFor(Done done);

    Write write_;
    Report report_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> order_;                  // paths waiting, oldest save first
    std::unordered_map<std::string, Encode> latest_;  // each waiting path's newest save
    std::optional<std::string> writing_;  // the path being written
    // Files whose newest write failed, with the bytes it tried.
    std::unordered_map<std::string, std::shared_ptr<const std::string>> failed_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace quorelle
