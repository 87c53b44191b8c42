// The background writer behind the data store's saves.
#include "store/SaveWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

using quorelle::SaveWriter;

namespace {

TEST(SaveWriter, FilesSavedAgainWhileWaitingAreWrittenOnceNewestLastAndAllBeforeItStops) {
    std::mutex mutex;
    std::condition_variable changed;
    bool released = false;
    std::vector<std::pair<std::string, std::string>> written;
    std::atomic<int> encoded = 0;
    auto text = [&encoded](std::string bytes) {
        return [&encoded, bytes] {
            ++encoded;
            return std::optional<std::string>(bytes);
        };
    };
    {
        SaveWriter writer([&](const std::string& path, std::string_view bytes) {
            std::unique_lock lock(mutex);
            written.emplace_back(path, bytes);
            changed.notify_all();
            changed.wait(lock, [&] { return released; });  // the first write holds the writer up
            return std::error_code();
        });
        writer.queue("a", text("a1"));
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return written.size() == 1; });
        }
        // While "a1" is being written: each file waits once, in the place of its newest save.
        writer.queue("b", text("b1"));
        writer.queue("a", text("a2"));
        writer.queue("b", text("b2"));
        writer.queue("a", text("a3"));
        {
            std::lock_guard lock(mutex);
            released = true;
        }
        changed.notify_all();
        writer.waitUntilWritten();
        EXPECT_EQ(written, (std::vector<std::pair<std::string, std::string>>{{"a", "a1"}, {"b", "b2"}, {"a", "a3"}}));
        EXPECT_EQ(encoded, 3) << "a superseded save is never encoded";
        writer.queue("c", text("c1"));
        writer.queue("d", [] { return std::optional<std::string>(); });  // an encoder may skip its file
    }
    // Stopping the writer waited for the last save.
    EXPECT_EQ(written.back(), (std::pair<std::string, std::string>{"c", "c1"}));
    EXPECT_EQ(written.size(), 4u);
}

}  // namespace
