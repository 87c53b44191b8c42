#pragma once

// A browser state on a real data store in a temporary folder, with the
// in-process web content stand-in and a main queue the test drains.

#include "state/AppState.h"
#include "store/DataStore.h"
#include "store/MainQueue.h"
#include "state/IClipboard.h"
#include "support/InMemoryKeychain.h"
#include "support/RecordingWebContent.h"
#include "support/ScratchFolder.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

namespace quorelle::testing {

class RecordingClipboard : public IClipboard {
public:
    void setText(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

class StateTest : public ::testing::Test {
protected:
    StateTest() {
        context_ = g_main_context_new();
        queue_ = std::make_unique<MainQueue>(context_);
        store_ = std::make_unique<DataStore>(root_, DataStore::Access::readWrite, AtomicFile::Durability::cached);
    }
    ~StateTest() override {
        queue_.reset();
        g_main_context_unref(context_);
    }

    std::shared_ptr<AppState> makeState(bool guestWindow = false) {
        // The stand-in answers for every web service.
        AppStateServices services{*store_, *queue_, web_, web_, web_, web_, web_, keychain_, clipboard_};
        return AppState::create(guestWindow, services);
    }
    // Runs queued work until none is left.
    void drain() {
        for (int i = 0; i < 100 && queue_->pending() > 0; ++i) queue_->drain();
    }
    std::string profileFile(const std::string& profileID, const std::string& name) const {
        return root_ + "/profiles/" + profileID + "/" + name;
    }
    // The helpers below read the disk once the store has written what it was given.
    std::string readFile(const std::string& path) const {
        store_->flush();
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool fileExists(const std::string& path) const {
        store_->flush();
        return std::filesystem::exists(path);
    }
    std::filesystem::file_time_type modified(const std::string& path) const {
        store_->flush();
        return std::filesystem::last_write_time(path);
    }
    // Every file under the data folder with its modification time.
    std::map<std::string, std::filesystem::file_time_type> snapshot() const {
        store_->flush();
        std::map<std::string, std::filesystem::file_time_type> files;
        if (!std::filesystem::exists(root_)) return files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root_))
            if (entry.is_regular_file()) files[entry.path().string()] = entry.last_write_time();
        return files;
    }

    ScratchFolder dataFolder_{"quorelle-state-XXXXXX"};
    std::string root_ = dataFolder_.file("QuorelleData");
    GMainContext* context_ = nullptr;
    std::unique_ptr<MainQueue> queue_;
    std::unique_ptr<DataStore> store_;
    RecordingWebContent web_;
    InMemoryKeychain keychain_;
    RecordingClipboard clipboard_;
};

}  // namespace quorelle::testing
