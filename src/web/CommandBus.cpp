#include "web/CommandBus.h"

#include "store/MainQueue.h"

#include <utility>

namespace quorelle {

CommandBus::CommandBus(MainQueue& mainQueue) : mainQueue_(mainQueue), signals_(std::make_shared<Signals>()) {}

CommandBus::~CommandBus() = default;

std::string_view CommandBus::name(TabCommand command) {
    switch (command) {
        case TabCommand::goBack:
            return "vxGoBack";
        case TabCommand::goForward:
            return "vxGoForward";
        case TabCommand::reload:
            return "vxReload";
        case TabCommand::stop:
            return "vxStop";
        case TabCommand::inspect:
            return "vxInspect";
        case TabCommand::navigate:
            return "vxNavigate";
    }
    return {};
}

void CommandBus::post(TabCommand command, std::optional<Uuid> tabID) {
    mainQueue_.post([weakSignals = std::weak_ptr<Signals>(signals_), command, tabID] {
        if (auto signals = weakSignals.lock()) signals->byCommand.at(static_cast<std::size_t>(command)).emit(tabID);
    });
}

CommandBus::Signal& CommandBus::signal(TabCommand command) {
    return signals_->byCommand.at(static_cast<std::size_t>(command));
}

sigc::connection CommandBus::connectForTab(TabCommand command, const Uuid& tabID, std::function<void()> action) {
    return signal(command).connect([tabID, action = std::move(action)](std::optional<Uuid> postedID) {
        if (isFor(postedID, tabID)) action();
    });
}

}  // namespace quorelle
