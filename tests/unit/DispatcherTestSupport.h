#pragma once

// A browser state ready to receive internal-page action messages, with the
// loads and page reloads of its start-up forgotten.

#include "support/StateTestSupport.h"

#include <nlohmann/json.hpp>

#include <string>

namespace quorelle::testing {

class DispatcherFixture : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
        forgetLoads();
    }
    static Json action(const std::string& name, Json params = Json::object()) {
        params["action"] = name;
        return params;
    }
    void send(const Json& message) {
        state->handleInternalMessage(message);
        drain();
    }
    // Makes the active tab show `address`, then forgets the loads so far.
    void show(const std::string& address) {
        state->navigateActive(address);
        drain();
        forgetLoads();
    }
    void forgetLoads() {
        web_.loads.clear();
        web_.internalReloads.clear();
    }

    std::shared_ptr<AppState> state;
};

}  // namespace quorelle::testing
