// The sidebar over a full profile: 5,000 history entries (the history limit)
// and 2,000 bookmarks. Each case is the main thread's time from the change
// until the window has painted it; one frame is 16 ms.
#include "window/WindowBench.h"

#include "window/Sidebar.h"

#include <gtkmm/box.h>

namespace quorelle::bench {
namespace {

class SidebarBench : public WindowBench {
public:
    SidebarBench() {
        state().profileData.set(makeProfile(5000, 2000, 0, 0));
        window().set_child(row_);
        remake();
    }
    ~SidebarBench() {
        window().unset_child();
        row_.remove(*sidebar_);
    }

    // A new, hidden panel, as a new window has.
    void remake() {
        if (sidebar_) row_.remove(*sidebar_);
        sidebar_ = std::make_unique<Sidebar>(sharedState());
        sidebar_->set_visible(false);
        row_.append(*sidebar_);
        settleAndPaint();
    }
    // As the window's layout does it: the state's kind, then the slot.
    void show(SidebarKind kind) {
        state().setSidebar(kind, false);
        sidebar_->set_visible(kind != SidebarKind::none);
    }
    void search(const char* text) { sidebar_->searchEntry().set_text(text); }

private:
    Gtk::Box row_;
    std::unique_ptr<Sidebar> sidebar_;
};

// A frame in which nothing changed: what drawing the window costs here (the
// test display renders in software), to read the other figures against.
void BM_SidebarUnchangedFrame(benchmark::State& state) {
    SidebarBench bench;
    bench.show(SidebarKind::history);
    for (auto _ : state) bench.measure(state, [] {});
}
BENCHMARK(BM_SidebarUnchangedFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// The window's first showing of the panel.
void BM_SidebarFirstOpenHistory(benchmark::State& state) {
    SidebarBench bench;
    for (auto _ : state) {
        bench.measure(state, [&] { bench.show(SidebarKind::history); });
        bench.show(SidebarKind::none);
        bench.remake();
    }
}
BENCHMARK(BM_SidebarFirstOpenHistory)->UseManualTime()->Unit(benchmark::kMillisecond);

// Showing it again later.
void BM_SidebarOpenHistory(benchmark::State& state) {
    SidebarBench bench;
    for (auto _ : state) {
        bench.measure(state, [&] { bench.show(SidebarKind::history); });
        bench.show(SidebarKind::none);
        bench.settleAndPaint();
    }
}
BENCHMARK(BM_SidebarOpenHistory)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SidebarOpenBookmarks(benchmark::State& state) {
    SidebarBench bench;
    for (auto _ : state) {
        bench.measure(state, [&] { bench.show(SidebarKind::bookmarks); });
        bench.show(SidebarKind::none);
        bench.settleAndPaint();
    }
}
BENCHMARK(BM_SidebarOpenBookmarks)->UseManualTime()->Unit(benchmark::kMillisecond);

// One keystroke in the search field: from `before` to `after`.
void keystroke(benchmark::State& state, const char* before, const char* after) {
    SidebarBench bench;
    bench.show(SidebarKind::history);
    for (auto _ : state) {
        bench.search(before);
        bench.settleAndPaint();
        bench.measure(state, [&] { bench.search(after); });
    }
}

// The first letter: most of the list still matches.
void BM_SidebarFilterFirstLetter(benchmark::State& state) { keystroke(state, "", "w"); }
BENCHMARK(BM_SidebarFilterFirstLetter)->UseManualTime()->Unit(benchmark::kMillisecond);

// A letter that narrows the list to a few hundred entries.
void BM_SidebarFilterNarrowing(benchmark::State& state) { keystroke(state, "weather-site1", "weather-site12"); }
BENCHMARK(BM_SidebarFilterNarrowing)->UseManualTime()->Unit(benchmark::kMillisecond);

// A letter after which nothing matches.
void BM_SidebarFilterNoMatch(benchmark::State& state) { keystroke(state, "zq", "zqx"); }
BENCHMARK(BM_SidebarFilterNoMatch)->UseManualTime()->Unit(benchmark::kMillisecond);

// Deleting the last letter of a search that matched nothing: every entry again.
void BM_SidebarFilterCleared(benchmark::State& state) { keystroke(state, "z", ""); }
BENCHMARK(BM_SidebarFilterCleared)->UseManualTime()->Unit(benchmark::kMillisecond);

// The first letter typed after a page visit changed the history: the search
// starts from the new list.
void BM_SidebarFilterFirstLetterAfterAVisit(benchmark::State& state) {
    SidebarBench bench;
    bench.show(SidebarKind::history);
    for (auto _ : state) {
        bench.search("");
        bench.state().profileData.modify([](ProfileData& data) {
            data.history.insert(data.history.begin(), {.title = "Visited", .url = "https://visited.example/"});
            data.history.pop_back();
        });
        bench.settleAndPaint();
        bench.measure(state, [&] { bench.search("w"); });
    }
}
BENCHMARK(BM_SidebarFilterFirstLetterAfterAVisit)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorelle::bench
