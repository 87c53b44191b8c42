// Feeds arbitrary bytes to the internal-page action dispatcher. Each input is
// parsed as JSON and handed over as one message; when it is an array, each of
// its first few elements is then handed over in turn, so that sequences
// (create, then delete) are explored too. Every input starts from a fresh
// data folder seeded with records whose ids the dictionary knows.
//
// Besides crashes and sanitizer reports, the harness aborts when a message
// removed something it never may: the default profile's folder or a file
// beside the data folder.
#include "model/Json.h"
#include "state/AppState.h"
#include "state/IClipboard.h"
#include "store/DataStore.h"
#include "store/MainQueue.h"
#include "support/InMemoryKeychain.h"
#include "support/RecordingWebContent.h"

#include <glib.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace quorelle;

constexpr const char* historyID = "0A000000-0000-4000-8000-000000000001";
constexpr const char* bookmarkID = "0B000000-0000-4000-8000-000000000002";
constexpr const char* folderID = "0F000000-0000-4000-8000-000000000003";
constexpr const char* proxyID = "0C000000-0000-4000-8000-000000000004";
constexpr const char* profileID = "0d000000-0000-4000-8000-000000000005";
constexpr std::size_t maxSequence = 8;

class DiscardingClipboard : public IClipboard {
public:
    void setText(const std::string&) override {}
};

struct Fixture {
    Fixture() {
        gchar* made = g_dir_make_tmp("quorelle-fuzz-XXXXXX", nullptr);
        if (!made) std::abort();
        scratch = made;
        g_free(made);
        root = scratch + "/QuorelleData";
        sentinel = scratch + "/sentinel";
        std::ofstream(sentinel) << "must survive";
        context = g_main_context_new();
        queue = std::make_unique<MainQueue>(context);
    }

    std::string scratch;
    std::string root;
    std::string sentinel;
    GMainContext* context = nullptr;
    std::unique_ptr<MainQueue> queue;
    testing::RecordingWebContent web;
    InMemoryKeychain keychain;
    DiscardingClipboard clipboard;
};

Fixture& fixture() {
    static Fixture* f = new Fixture();  // lives for the whole run
    return *f;
}

Uuid id(const char* text) { return *Uuid::parse(text); }

void seed(AppState& state) {
    state.profileData.modify([](ProfileData& d) {
        d.history.push_back(HistoryItem{.id = id(historyID), .title = "Seed", .url = "https://seed.example"});
        d.bookmarkFolders.push_back(BookmarkFolder{.id = id(folderID), .name = "Folder"});
        d.bookmarks.push_back(Bookmark{.id = id(bookmarkID), .title = "Seed", .url = "https://seed.example",
                                       .folderID = id(folderID)});
        ProxyProfile proxy;
        proxy.id = id(proxyID);
        proxy.host = "proxy.example";
        proxy.isEnabled = true;
        d.proxies.push_back(proxy);
        d.settings.activeProxyID = proxy.id;
        d.settings.developerMode = true;
        d.settings.advancedLogging = true;
    });
    state.appSettings.modify([](AppSettings& s) {
        BrowserProfile profile;
        profile.id = profileID;
        profile.name = "Seeded";
        s.profiles.push_back(profile);
    });
    state.persist();
    state.newTab(std::string("https://web.example"));
    state.navigateActive("vx://bookmarks");
}

// Runs queued work and answers every request the state left with the web
// content stand-in, until nothing is outstanding.
void settle(Fixture& f) {
    for (int round = 0; round < 8; ++round) {
        for (int i = 0; i < 16 && f.queue->pending() > 0; ++i) f.queue->drain();
        bool answered = false;
        while (!f.web.pendingFavicons.empty()) {
            f.web.answerFavicon(std::string("https://seed.example/favicon.ico"));
            answered = true;
        }
        while (!f.web.proxyTests.empty()) {
            f.web.answerProxyTest({round % 2 == 0, "answer"});
            answered = true;
        }
        auto clears = std::move(f.web.websiteDataClears);
        f.web.websiteDataClears.clear();
        for (auto& done : clears) {
            done();
            answered = true;
        }
        if (!answered && f.queue->pending() == 0) break;
    }
    f.web.loads.clear();
    f.web.reloads.clear();
    f.web.internalReloads.clear();
    f.web.removedHosts.clear();
    f.web.userAgentApplications.clear();
}

void checkNothingEscaped(const Fixture& f) {
    if (!std::filesystem::exists(f.sentinel)) std::abort();
    if (!std::filesystem::exists(f.root + "/profiles/default")) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Json message = Json::parse(data, data + size, nullptr, false);
    if (message.is_discarded()) return 0;

    Fixture& f = fixture();
    std::error_code ignored;
    std::filesystem::remove_all(f.root, ignored);
    f.web.hosts.clear();
    {
        DataStore store(f.root, DataStore::Access::readWrite, AtomicFile::Durability::cached);
        auto state = AppState::create(
            false, AppStateServices{store, *f.queue, f.web, f.web, f.web, f.web, f.web, f.keychain, f.clipboard});
        settle(f);
        seed(*state);
        settle(f);

        state->handleInternalMessage(message);
        settle(f);
        if (message.is_array())
            for (std::size_t i = 0; i < message.size() && i < maxSequence; ++i) {
                state->handleInternalMessage(message[i]);
                settle(f);
            }
        checkNothingEscaped(f);
    }
    settle(f);  // completions that outlive the state find it gone
    return 0;
}
