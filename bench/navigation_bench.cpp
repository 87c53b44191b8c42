// Omnibox resolution over a mixed corpus of typed inputs.
#include "model/BrowserNavigation.h"
#include "model/SearchEngine.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> makeCorpus(std::size_t count) {
    const std::vector<std::string> seeds = {
        "vx://settings",       "VX://History/extra",      " vx://tab-groups ",  "vx://nothing-here?x=1",
        "vx:settings",         "example.com",              "www.wikipedia.org",  "localhost:8080",
        "https://a.example/p", "http://127.0.0.1:8000/x", "file:///etc/hosts",  "/etc/hosts",
        "/no/such/file.txt",   "cats and dogs",           "AT&T c++ a=b",       "münchen wetter",
        "mailto:someone",      "   ",                       "%%%",                "a.b c",
        "ftp://old.example",   "just-a-word",             "https://ex.com/%zz", "\t\nvx://\n",
    };
    std::vector<std::string> corpus;
    corpus.reserve(count);
    for (std::size_t i = 0; corpus.size() < count; ++i) {
        std::string s = seeds[i % seeds.size()];
        if (i >= seeds.size() && s.find("://") == std::string::npos) s += std::to_string(i);
        corpus.push_back(std::move(s));
    }
    return corpus;
}

void BM_BrowserNavigationResolve(benchmark::State& state) {
    const auto corpus = makeCorpus(10000);
    const auto& engine = quorelle::SearchEngine::google();
    for (auto _ : state) {
        for (const auto& input : corpus) benchmark::DoNotOptimize(quorelle::BrowserNavigation::resolve(input, engine));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * corpus.size()));
}
BENCHMARK(BM_BrowserNavigationResolve)->Unit(benchmark::kMillisecond);

}  // namespace
