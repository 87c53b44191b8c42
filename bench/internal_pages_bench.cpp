// Building the list pages of a large profile on the main thread: history
// with 5,000 visits, bookmarks and downloads with 5,000 records each.
//
// Counters: bytes = size of the finished document.
#include "model/InternalPageRoute.h"
#include "web/InternalPageContext.h"
#include "web/InternalPageRenderer.h"

#include "../tests/unit/DataStoreSampleProfile.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace quorelle;

constexpr int records = 5000;

InternalPageContext largeContext(InternalPageRoute::Case route) {
    InternalPageContext context;
    context.route = InternalPageRoute(route);
    context.profileData = quorelle::testing::makeSampleProfile(1, {.history = records, .bookmarks = records});
    context.profileData.downloads = quorelle::testing::sampleDownloads(1, records);
    context.bridgeToken = "0123456789abcdef0123456789abcdef";
    return context;
}

void buildPage(benchmark::State& state, InternalPageRoute::Case route) {
    const InternalPageContext context = largeContext(route);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string document = InternalPageRenderer::html(context.route, context);
        bytes = document.size();
        benchmark::DoNotOptimize(document.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_HistoryPage5000(benchmark::State& state) { buildPage(state, InternalPageRoute::history); }
BENCHMARK(BM_HistoryPage5000)->Unit(benchmark::kMillisecond);

void BM_BookmarksPage5000(benchmark::State& state) { buildPage(state, InternalPageRoute::bookmarks); }
BENCHMARK(BM_BookmarksPage5000)->Unit(benchmark::kMillisecond);

void BM_DownloadsPage5000(benchmark::State& state) { buildPage(state, InternalPageRoute::downloads); }
BENCHMARK(BM_DownloadsPage5000)->Unit(benchmark::kMillisecond);

void BM_NewTabPage(benchmark::State& state) { buildPage(state, InternalPageRoute::newtab); }
BENCHMARK(BM_NewTabPage)->Unit(benchmark::kMillisecond);

}  // namespace
