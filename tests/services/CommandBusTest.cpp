#include "web/CommandBus.h"

#include "store/MainQueue.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace quorelle::testing {
namespace {

class CommandBusTest : public ::testing::Test {
protected:
    CommandBusTest() : context(g_main_context_new()), queue(std::make_unique<MainQueue>(context)) {
        bus = std::make_unique<CommandBus>(*queue);
    }
    ~CommandBusTest() override {
        bus.reset();
        queue.reset();
        g_main_context_unref(context);
    }

    GMainContext* context;
    std::unique_ptr<MainQueue> queue;
    std::unique_ptr<CommandBus> bus;
    Uuid tabA = Uuid::random();
    Uuid tabB = Uuid::random();
};

TEST_F(CommandBusTest, EveryCommandHasItsNotificationName) {
    std::vector<std::string_view> names;
    for (TabCommand command : CommandBus::allCommands) names.push_back(CommandBus::name(command));
    EXPECT_EQ(names, (std::vector<std::string_view>{"vxGoBack", "vxGoForward", "vxReload", "vxStop", "vxInspect",
                                                    "vxNavigate"}));
}

TEST_F(CommandBusTest, APostingArrivesLaterWithTheTabIdAsItsOnlyPayload) {
    std::vector<std::optional<Uuid>> received;
    bus->vxReload().connect([&](std::optional<Uuid> id) { received.push_back(id); });
    bus->post(TabCommand::reload, tabA);
    bus->post(TabCommand::reload, std::nullopt);
    EXPECT_TRUE(received.empty());
    queue->drain();
    EXPECT_EQ(received, (std::vector<std::optional<Uuid>>{tabA, std::nullopt}));
}

TEST_F(CommandBusTest, ATabActsOnlyOnCommandsThatNameIt) {
    int backA = 0, backB = 0, stopA = 0;
    auto a = bus->connectForTab(TabCommand::goBack, tabA, [&] { ++backA; });
    auto b = bus->connectForTab(TabCommand::goBack, tabB, [&] { ++backB; });
    auto s = bus->connectForTab(TabCommand::stop, tabA, [&] { ++stopA; });
    bus->post(TabCommand::goBack, tabB);
    bus->post(TabCommand::goBack, std::nullopt);  // a window without tabs reaches nobody
    bus->post(TabCommand::goForward, tabA);
    queue->drain();
    EXPECT_EQ(backA, 0);
    EXPECT_EQ(backB, 1);
    EXPECT_EQ(stopA, 0);
    a.disconnect();
    b.disconnect();
    s.disconnect();
}

TEST_F(CommandBusTest, AViewShownManyTimesActsOncePerPosting) {
    int inspected = 0;
    // Binding, unbinding and binding again, as a view does when its tab is
    // shown, hidden and shown.
    auto connection = bus->connectForTab(TabCommand::inspect, tabA, [&] { ++inspected; });
    connection.disconnect();
    connection = bus->connectForTab(TabCommand::inspect, tabA, [&] { ++inspected; });
    bus->post(TabCommand::inspect, tabA);
    bus->post(TabCommand::inspect, tabA);
    queue->drain();
    EXPECT_EQ(inspected, 2);
    connection.disconnect();
    bus->post(TabCommand::inspect, tabA);
    queue->drain();
    EXPECT_EQ(inspected, 2);
}

TEST_F(CommandBusTest, PostingsKeepTheirOrderAcrossCommands) {
    std::vector<std::string_view> order;
    for (TabCommand command : CommandBus::allCommands)
        bus->signal(command).connect([&order, command](std::optional<Uuid>) { order.push_back(CommandBus::name(command)); });
    bus->post(TabCommand::stop, tabA);
    bus->post(TabCommand::goBack, tabA);
    bus->post(TabCommand::navigate, tabA);
    queue->drain();
    EXPECT_EQ(order, (std::vector<std::string_view>{"vxStop", "vxGoBack", "vxNavigate"}));
}

TEST_F(CommandBusTest, PostingsStillQueuedWhenTheBusGoesAwayAreDropped) {
    bool delivered = false;
    bus->vxGoForward().connect([&](std::optional<Uuid>) { delivered = true; });
    bus->post(TabCommand::goForward, tabA);
    bus.reset();
    queue->drain();
    EXPECT_FALSE(delivered);
}

}  // namespace
}  // namespace quorelle::testing
