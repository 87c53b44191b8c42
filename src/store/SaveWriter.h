#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>

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
//
// The thread starts with the first save. Encoders run on it: they must own
// what they read (a snapshot), and must not touch toolkit or main-thread
// state. queue() and waitUntilWritten() may be called from any one thread.
class SaveWriter {
public:
    // The file's text; nothing skips the file.
    using Encode = std::function<std::optional<std::string>()>;
    using Write = std::function<void(const std::string& path, std::string_view bytes)>;

    explicit SaveWriter(Write write);
    ~SaveWriter();
    SaveWriter(const SaveWriter&) = delete;
    SaveWriter& operator=(const SaveWriter&) = delete;

    void queue(const std::string& path, Encode encode);
    void waitUntilWritten();
    // Returns once no save of `path` is waiting or being written.
    void waitUntilWritten(const std::string& path);

private:
    void run();
    // With mutex_ held.
    bool idle() const;
    bool pending(const std::string& path) const;
    template <typename Done>
    void waitFor(Done done);

    Write write_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> order_;                  // paths waiting, oldest save first
    std::unordered_map<std::string, Encode> latest_;  // each waiting path's newest save
    std::optional<std::string> writing_;  // the path being written
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace quorelle
