#include "window/ViewRefresh.h"

#include "store/MainQueue.h"

#include <utility>

namespace quorelle {

ViewRefresh::ViewRefresh(MainQueue& mainQueue, std::function<void()> redraw)
    : mainQueue_(mainQueue), redraw_(std::move(redraw)), pending_(std::make_shared<bool>(false)) {}

ViewRefresh::~ViewRefresh() = default;

void ViewRefresh::schedule() {
    if (*pending_) return;
    *pending_ = true;
    mainQueue_.post([this, weakPending = std::weak_ptr<bool>(pending_)] {
        auto pending = weakPending.lock();
        if (!pending) return;
        *pending = false;
        redraw_();
    });
}

}  // namespace quorelle
