#pragma once

// Window benchmarks: real widgets in a real window on a display (run them
// under xvfb-run), over a browser state with a temporary data store. What
// they report is the main thread's CPU time from a change until the window
// has painted it: the time the window cannot answer the user.

#include "state/AppState.h"
#include "state/IClipboard.h"
#include "store/DataStore.h"
#include "store/MainQueue.h"
#include "support/InMemoryKeychain.h"
#include "support/RecordingWebContent.h"

#include <benchmark/benchmark.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>
#include <string>

namespace quorelle::bench {

// The main thread's CPU time, in seconds.
double threadSeconds();

// A profile at a real user's scale: `history` visits, and `bookmarks`
// bookmarks of which every `topLevelEvery`-th has no folder (0: none) and
// the rest are dealt round `folders` folders (none when 0).
ProfileData makeProfile(int history, int bookmarks, int folders, int topLevelEvery);

class NullClipboard : public IClipboard {
public:
    void setText(const std::string&) override {}
};

// A browser state over a temporary data folder and a shown window to put the
// widget under test in.
class WindowBench {
public:
    WindowBench();
    ~WindowBench();

    AppState& state() { return *state_; }
    const std::shared_ptr<AppState>& sharedState() { return state_; }
    Gtk::Window& window() { return *window_; }

    // Runs queued state work, then waits until the window has painted a
    // frame begun after it. Main-thread work meanwhile is what is measured.
    void settleAndPaint();
    // Times `change` until the window has painted it, as the iteration time.
    void measure(benchmark::State& state, const std::function<void()>& change);

private:
    std::string folder_;
    MainQueue queue_;
    std::unique_ptr<DataStore> store_;
    testing::RecordingWebContent web_;
    InMemoryKeychain keychain_;
    NullClipboard clipboard_;
    std::shared_ptr<AppState> state_;
    std::unique_ptr<Gtk::Window> window_;
    bool painted_ = false;
};

}  // namespace quorelle::bench
