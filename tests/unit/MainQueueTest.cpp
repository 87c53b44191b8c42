#include "store/MainQueue.h"

#include <gtest/gtest.h>
#include <glib.h>

#include <thread>
#include <vector>

using quorelle::MainQueue;

namespace {

// Iterates a private context until `done` or a time limit.
template <typename Pred>
bool runUntil(GMainContext* context, Pred done, int timeoutMs = 30000) {
    const gint64 end = g_get_monotonic_time() + timeoutMs * 1000;
    while (!done() && g_get_monotonic_time() < end) g_main_context_iteration(context, FALSE);
    return done();
}

TEST(MainQueue, RunsInPostingOrderAndLaterPostsWaitForTheNextTurn) {
    GMainContext* context = g_main_context_new();
    {
        MainQueue queue(context);
        std::vector<int> order;
        queue.post([&] {
            order.push_back(1);
            queue.post([&] { order.push_back(3); });
        });
        queue.post([&] { order.push_back(2); });
        queue.drain();
        EXPECT_EQ(order, (std::vector<int>{1, 2}));
        EXPECT_EQ(queue.pending(), 1u);
        EXPECT_TRUE(runUntil(context, [&] { return order.size() == 3; }));
        EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    }
    g_main_context_unref(context);
}

TEST(MainQueue, WorkFromAnotherThreadRunsOnTheLoopThread) {
    GMainContext* context = g_main_context_new();
    {
        MainQueue queue(context);
        const auto loopThread = std::this_thread::get_id();
        std::thread::id ranOn;
        bool ran = false;
        std::thread worker([&] {
            queue.post([&] {
                ranOn = std::this_thread::get_id();
                ran = true;
            });
        });
        worker.join();
        EXPECT_TRUE(runUntil(context, [&] { return ran; }));
        EXPECT_EQ(ranOn, loopThread);
    }
    g_main_context_unref(context);
}

TEST(MainQueue, DestroyingTheQueueDropsPendingWork) {
    GMainContext* context = g_main_context_new();
    bool ran = false;
    {
        MainQueue queue(context);
        queue.post([&] { ran = true; });
    }
    while (g_main_context_iteration(context, FALSE)) {
    }
    EXPECT_FALSE(ran);
    g_main_context_unref(context);
}

}  // namespace
