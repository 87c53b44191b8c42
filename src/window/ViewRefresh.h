#pragma once

#include <functional>
#include <memory>

namespace quorelle {

class MainQueue;

// Coalesces change announcements into one redraw on the main queue. A view
// calls schedule() from its will-change handlers, where the new value is not
// stored yet; the redraw runs on a later turn of the queue, once, however
// many announcements came in between. Destroying the helper cancels a redraw
// still waiting.
class ViewRefresh {
public:
    ViewRefresh(MainQueue& mainQueue, std::function<void()> redraw);
    ~ViewRefresh();
    ViewRefresh(const ViewRefresh&) = delete;
    ViewRefresh& operator=(const ViewRefresh&) = delete;

    void schedule();
    bool isScheduled() const { return *pending_; }

private:
    MainQueue& mainQueue_;
    std::function<void()> redraw_;
    std::shared_ptr<bool> pending_;  // queued redraws hold it weakly
};

}  // namespace quorelle
