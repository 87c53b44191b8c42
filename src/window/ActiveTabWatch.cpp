#include "window/ActiveTabWatch.h"

#include "model/BrowserTab.h"

#include <utility>

namespace quorelle {

ActiveTabWatch::ActiveTabWatch(std::function<void()> changed) : changed_(std::move(changed)) {}

ActiveTabWatch::~ActiveTabWatch() { connection_.disconnect(); }

void ActiveTabWatch::follow(const std::shared_ptr<BrowserTab>& tab) {
    if (tab == followed_.lock() && connection_.connected()) return;
    connection_.disconnect();
    followed_ = tab;
    if (tab) connection_ = tab->signalObjectWillChange().connect([this] { changed_(); });
}

}  // namespace quorelle
