// One keystroke's suggestion list over a full profile: 5,000 history entries
// (the history limit) and 2,000 bookmarks.
#include "model/ProfileData.h"
#include "state/OmniboxSuggestions.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* const topics[] = {"news", "weather", "recipes", "football", "linux", "python", "travel", "music"};

// `accentedEvery`: every n-th title carries non-ASCII letters (0: none).
quorelle::ProfileData makeProfile(int accentedEvery) {
    quorelle::ProfileData data = quorelle::ProfileData::empty();
    for (int i = 0; i < 5000; ++i) {
        const std::string topic = topics[i % 8];
        std::string title = "Daily " + topic + " digest, issue " + std::to_string(i);
        if (accentedEvery && i % accentedEvery == 0) title = "Übersicht " + title + " – Café";
        data.history.push_back(
            {.title = title, .url = "https://www." + topic + "-site" + std::to_string(i % 97) + ".example/articles/" +
                                    std::to_string(i) + "?ref=home"});
    }
    for (int i = 0; i < 2000; ++i) {
        const std::string topic = topics[(i + 3) % 8];
        data.bookmarks.push_back({.title = "Saved " + topic + " page " + std::to_string(i),
                                  .url = "https://bookmarks.example/" + topic + "/" + std::to_string(i)});
    }
    return data;
}

void run(benchmark::State& state, const std::string& text, int accentedEvery) {
    const auto data = makeProfile(accentedEvery);
    for (auto _ : state) benchmark::DoNotOptimize(quorelle::OmniboxSuggestions::suggestions(text, data));
}

// A keystroke that matches early entries: the search stops after four of each.
void BM_OmniboxSuggestionsTypicalKeystroke(benchmark::State& state) { run(state, "wea", 0); }
BENCHMARK(BM_OmniboxSuggestionsTypicalKeystroke)->Unit(benchmark::kMicrosecond);

// Nothing matches, so every title, address and bookmark is searched.
void BM_OmniboxSuggestionsNoMatchKeystroke(benchmark::State& state) { run(state, "zqx", 0); }
BENCHMARK(BM_OmniboxSuggestionsNoMatchKeystroke)->Unit(benchmark::kMicrosecond);

// As above, with one history title in ten holding non-ASCII letters.
void BM_OmniboxSuggestionsNoMatchAccentedTitles(benchmark::State& state) { run(state, "zqx", 10); }
BENCHMARK(BM_OmniboxSuggestionsNoMatchAccentedTitles)->Unit(benchmark::kMicrosecond);

// The internal scheme: all 24 internal pages plus the history scan.
void BM_OmniboxSuggestionsSchemeKeystroke(benchmark::State& state) { run(state, "vx", 0); }
BENCHMARK(BM_OmniboxSuggestionsSchemeKeystroke)->Unit(benchmark::kMicrosecond);

}  // namespace
