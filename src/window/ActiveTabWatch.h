#pragma once

#include <sigc++/connection.h>

#include <functional>
#include <memory>

namespace quorelle {

class BrowserTab;

// Runs `changed` whenever the tab it follows announces a change. A view
// that shows the active tab points it at the active tab each time it
// redraws, so that after a tab switch it follows the new one; pointing it at
// the tab it already follows costs nothing.
class ActiveTabWatch {
public:
    explicit ActiveTabWatch(std::function<void()> changed);
    ~ActiveTabWatch();
    ActiveTabWatch(const ActiveTabWatch&) = delete;
    ActiveTabWatch& operator=(const ActiveTabWatch&) = delete;

    // Follows `tab` from now on (none when it is null).
    void follow(const std::shared_ptr<BrowserTab>& tab);

private:
    std::function<void()> changed_;
    std::weak_ptr<BrowserTab> followed_;
    sigc::connection connection_;
};

}  // namespace quorelle
