// Saving and loading a large profile (5,000 history entries, 2,000 bookmarks,
// 50 folders, 100 shortcuts): what a save costs the calling (main) thread,
// and how long it takes to reach the disk against the physical floor: the
// same bytes written with plain write() to the same number of files.
//
// Counters: bytes = bytes written per save; floor_ratio = mean time to disk /
// mean time of the plain writes (measured in the same run, same folder).
#include "model/JsonCodec.h"
#include "model/ProfileData.h"
#include "store/DataStore.h"

#include "../tests/unit/DataStoreSampleProfile.h"

#include <benchmark/benchmark.h>
#include <glib.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace quorelle;
using Clock = std::chrono::steady_clock;

class BenchFolder {
public:
    BenchFolder() {
        gchar* made = g_dir_make_tmp("quorelle-bench-XXXXXX", nullptr);
        path_ = made ? made : "/tmp";
        g_free(made);
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

const ProfileData& largeProfile() {
    static const ProfileData data = quorelle::testing::makeSampleProfile(1);
    return data;
}

// The files a save leaves in a profile folder, with their bytes.
std::vector<std::pair<std::string, std::string>> savedFiles(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        auto read = AtomicFile::read(entry.path().string());
        files.emplace_back(entry.path().filename().string(), std::move(read.bytes));
    }
    return files;
}

// The floor: open, write and close each file in place, no temporary, no flush.
void plainWrite(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files, bool sync) {
    for (const auto& [name, bytes] : files) {
        int fd = ::open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) continue;
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        if (sync) ::fdatasync(fd);
        ::close(fd);
    }
}

double meanSeconds(int rounds, const std::function<void()>& work) {
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) work();
    return std::chrono::duration<double>(Clock::now() - start).count() / rounds;
}

std::size_t totalBytes(const std::vector<std::pair<std::string, std::string>>& files) {
    std::size_t sum = 0;
    for (const auto& file : files) sum += file.second.size();
    return sum;
}

void saveProfile(benchmark::State& state, AtomicFile::Durability durability) {
    BenchFolder root;
    DataStore store(root.path(), DataStore::Access::readWrite, durability);
    const ProfileData& data = largeProfile();
    store.saveProfileData(data, "default");
    store.flush();
    auto files = savedFiles(root.path() + "/profiles/default");
    std::string floorFolder = root.path() + "/floor";
    std::filesystem::create_directory(floorFolder);
    plainWrite(floorFolder, files, false);
    double floor = meanSeconds(20, [&] { plainWrite(floorFolder, files, false); });
    double floorSynced = meanSeconds(5, [&] { plainWrite(floorFolder, files, true); });

    double spent = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        store.saveProfileData(data, "default");
        store.flush();
        spent += std::chrono::duration<double>(Clock::now() - start).count();
    }
    double mean = spent / static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(totalBytes(files));
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["floor_synced_ms"] = floorSynced * 1e3;
    state.counters["floor_ratio"] = mean / floor;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * totalBytes(files)));
}

// What persist() costs the main thread: the app settings and the profile
// handed to the store, with the writer idle as it is between two visits.
void BM_DataStoreSaveLargeProfileMainThread(benchmark::State& state) {
    BenchFolder root;
    DataStore store(root.path());
    const ProfileData& data = largeProfile();
    const AppSettings settings = AppSettings::initial();
    double spent = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        store.saveAppSettings(settings);
        store.saveProfileData(data, "default");
        spent += std::chrono::duration<double>(Clock::now() - start).count();
        state.PauseTiming();
        store.flush();
        state.ResumeTiming();
    }
    state.counters["main_thread_ms"] = spent / static_cast<double>(state.iterations()) * 1e3;
}
BENCHMARK(BM_DataStoreSaveLargeProfileMainThread)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DataStoreSaveLargeProfileSynced(benchmark::State& state) { saveProfile(state, AtomicFile::Durability::synced); }
BENCHMARK(BM_DataStoreSaveLargeProfileSynced)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DataStoreSaveLargeProfileCached(benchmark::State& state) { saveProfile(state, AtomicFile::Durability::cached); }
BENCHMARK(BM_DataStoreSaveLargeProfileCached)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Only the JSON text of the eleven files, no disk: how much of a save is encoding.
void BM_DataStoreEncodeLargeProfile(benchmark::State& state) {
    const ProfileData& data = largeProfile();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = json::dumpPretty(toJson(data.bookmarks)).size() + json::dumpPretty(toJson(data.bookmarkFolders)).size() +
                json::dumpPretty(toJson(data.history)).size() + json::dumpPretty(toJson(data.shortcuts)).size() +
                json::dumpPretty(toJson(data.settings)).size() + json::dumpPretty(toJson(data.proxies)).size() +
                json::dumpPretty(toJson(data.tabGroups)).size() + json::dumpPretty(toJson(data.downloads)).size() +
                json::dumpPretty(toJson(data.theme)).size() +
                json::dumpPretty(toJson(data.passwordReferences)).size() +
                json::dumpPretty(toJson(data.savedThemes)).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DataStoreEncodeLargeProfile)->Unit(benchmark::kMillisecond);

void BM_DataStoreLoadLargeProfile(benchmark::State& state) {
    BenchFolder root;
    DataStore store(root.path());
    store.saveProfileData(largeProfile(), "default");
    std::size_t history = 0;
    for (auto _ : state) {
        ProfileData loaded = store.loadProfileData("default");
        history = loaded.history.size();
        benchmark::DoNotOptimize(history);
    }
    if (history != largeProfile().history.size()) state.SkipWithError("the profile did not load back");
}
BENCHMARK(BM_DataStoreLoadLargeProfile)->Unit(benchmark::kMillisecond);

void BM_DataStoreSaveAppSettings(benchmark::State& state) {
    BenchFolder root;
    DataStore store(root.path());
    AppSettings settings = AppSettings::initial();
    for (auto _ : state) {
        store.saveAppSettings(settings);
        store.flush();
    }
}
BENCHMARK(BM_DataStoreSaveAppSettings)->Unit(benchmark::kMicrosecond);

}  // namespace
