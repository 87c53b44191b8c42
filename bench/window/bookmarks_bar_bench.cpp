// The bookmarks bar at start-up and on a bookmark change. Profiles: empty;
// large (5,000 history entries, 2,000 bookmarks, 25 of them top-level and
// the rest in 50 folders); and one folder holding 2,000 bookmarks. Each case
// is the main thread's time until the window has painted the bar.
#include "window/WindowBench.h"

#include "web/ProductLogo.h"
#include "window/BookmarkFolderMenu.h"
#include "window/BookmarksBar.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"

#include <gtkmm/popover.h>

namespace quorelle::bench {
namespace {

enum Profile { empty, large, oneFolder };

ProfileData profile(int which) {
    if (which == large) return makeProfile(5000, 2000, 50, 80);
    if (which == oneFolder) return makeProfile(0, 2000, 1, 0);
    return ProfileData::empty();
}

class BarBench : public WindowBench {
public:
    explicit BarBench(int which) : logo_(std::string(ProductLogo::resourcePath)), images_(logo_) {
        state().profileData.set(profile(which));
    }
    ~BarBench() { removeBar(); }

    void addBar() {
        bar_ = std::make_unique<BookmarksBar>(sharedState(), images_);
        window().set_child(*bar_);
    }
    void removeBar() {
        window().unset_child();
        bar_.reset();
    }
    BookmarksBar& bar() { return *bar_; }

private:
    QuorelleLogoCache logo_;
    FaviconImageCache images_;
    std::unique_ptr<BookmarksBar> bar_;
};

// The bar made and first painted, as when a window opens.
void BM_BookmarksBarStart(benchmark::State& state) {
    BarBench bench(int(state.range(0)));
    for (auto _ : state) {
        bench.measure(state, [&] { bench.addBar(); });
        bench.removeBar();
        bench.settleAndPaint();
    }
}
BENCHMARK(BM_BookmarksBarStart)->DenseRange(empty, oneFolder)->UseManualTime()->Unit(benchmark::kMillisecond);

// One bookmark added at the top level: the bar redraws.
void BM_BookmarksBarBookmarkAdded(benchmark::State& state) {
    BarBench bench(int(state.range(0)));
    bench.addBar();
    bench.settleAndPaint();
    for (auto _ : state) {
        bench.measure(state, [&] {
            bench.state().profileData.modify([](ProfileData& data) {
                data.bookmarks.insert(data.bookmarks.begin(), Bookmark{.title = "New", .url = "https://new.example/"});
            });
        });
        bench.state().profileData.modify([](ProfileData& data) { data.bookmarks.erase(data.bookmarks.begin()); });
        bench.settleAndPaint();
    }
}
BENCHMARK(BM_BookmarksBarBookmarkAdded)->DenseRange(empty, oneFolder)->UseManualTime()->Unit(benchmark::kMillisecond);

// The last folder's pull-down opened for the first time and painted: its
// menu is built then.
void BM_BookmarksBarOpenFolder(benchmark::State& state) {
    BarBench bench(int(state.range(0)));
    for (auto _ : state) {
        bench.addBar();
        bench.settleAndPaint();
        auto* folder = bench.bar().folderMenus().back();
        bench.measure(state, [&] { folder->popup(); });
        folder->popdown();
        bench.removeBar();
        bench.settleAndPaint();
    }
}
BENCHMARK(BM_BookmarksBarOpenFolder)->DenseRange(large, oneFolder)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same pull-down opened again: the menu is kept.
void BM_BookmarksBarReopenFolder(benchmark::State& state) {
    BarBench bench(int(state.range(0)));
    bench.addBar();
    bench.settleAndPaint();
    auto* folder = bench.bar().folderMenus().back();
    folder->popup();
    bench.settleAndPaint();
    folder->popdown();
    bench.settleAndPaint();
    for (auto _ : state) {
        bench.measure(state, [&] { folder->popup(); });
        folder->popdown();
        bench.settleAndPaint();
    }
}
BENCHMARK(BM_BookmarksBarReopenFolder)->DenseRange(large, oneFolder)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorelle::bench
