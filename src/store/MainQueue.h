#pragma once

#include <deque>
#include <functional>
#include <mutex>

typedef struct _GMainContext GMainContext;
typedef struct _GSource GSource;

namespace quorelle {

// The browser's main queue: one FIFO of work for the main thread, drained by
// a single GLib source at default priority. Work posted from any thread runs
// later on the thread that iterates the context, in the order it was posted.
// A drain runs only the work queued before it started; work posted while it
// runs waits for the next turn.
//
// Made once in main() and handed to whoever needs it.
class MainQueue {
public:
    explicit MainQueue(GMainContext* context = nullptr);  // nullptr: the default context
    ~MainQueue();
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;

    void post(std::function<void()> work);  // thread-safe
    // Runs what is queued now, without a main loop (tests, shutdown).
    void drain();
    std::size_t pending() const;

private:
    static int onIdle(void* self);
    std::deque<std::function<void()>> takeAll();

    GMainContext* context_;
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> work_;
    GSource* source_ = nullptr;  // attached while work waits
};

}  // namespace quorelle
