#pragma once

#include "model/Uuid.h"

#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace quorelle {

class MainQueue;

// Commands that only a tab's web view can carry out.
enum class TabCommand : std::uint8_t { goBack, goForward, reload, stop, inspect, navigate };

// The per-tab command notifications. The toolbar and the menu commands post a
// command with the id of the tab meant (nothing when the window has no tab);
// every web tab view listens and acts only for its own tab. `navigate` exists
// alongside the others, but nothing posts or observes it.
//
// Postings are delivered later, on the main queue, in the order they were
// made; the id is the only payload. Made once in main() and handed to whoever
// posts or listens. Main thread only.
class CommandBus {
public:
    using Signal = sigc::signal<void(std::optional<Uuid>)>;

    static constexpr std::array<TabCommand, 6> allCommands{TabCommand::goBack, TabCommand::goForward,
                                                           TabCommand::reload, TabCommand::stop,
                                                           TabCommand::inspect, TabCommand::navigate};

    explicit CommandBus(MainQueue& mainQueue);
    // Postings still queued are dropped.
    ~CommandBus();
    CommandBus(const CommandBus&) = delete;
    CommandBus& operator=(const CommandBus&) = delete;

    // "vxGoBack", "vxGoForward", "vxReload", "vxStop", "vxInspect", "vxNavigate".
    static std::string_view name(TabCommand command);

    void post(TabCommand command, std::optional<Uuid> tabID);

    Signal& signal(TabCommand command);
    Signal& vxGoBack() { return signal(TabCommand::goBack); }
    Signal& vxGoForward() { return signal(TabCommand::goForward); }
    Signal& vxReload() { return signal(TabCommand::reload); }
    Signal& vxStop() { return signal(TabCommand::stop); }
    Signal& vxInspect() { return signal(TabCommand::inspect); }
    Signal& vxNavigate() { return signal(TabCommand::navigate); }

    // True when a posting's id names the tab: postings without an id, or for
    // another tab, are for nobody here.
    static bool isFor(const std::optional<Uuid>& postedID, const Uuid& tabID) { return postedID == tabID; }

    // Runs `action` once for each delivery of `command` that names `tabID`.
    // The caller keeps the connection and disconnects it when its view stops
    // showing that tab or goes away.
    sigc::connection connectForTab(TabCommand command, const Uuid& tabID, std::function<void()> action);

private:
    struct Signals {
        std::array<Signal, allCommands.size()> byCommand;
    };

    MainQueue& mainQueue_;
    std::shared_ptr<Signals> signals_;  // queued deliveries hold it weakly
};

}  // namespace quorelle
