#pragma once

#include <functional>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GParamSpec GParamSpec;

namespace quorelle {

// Holds back a web view's loads until its first load has started.
//
// The engine takes the navigation decisions of a new web process's first
// loads as the process comes up. A second load sent before the first has
// started can have both decisions taken in one go, and the second page then
// asks the network process about its cookies before that process has been
// told the page may: it takes the web process for a rogue one and ends it.
// The engine cannot reload a page made from a string, and says nothing of
// such an end, so the view stays blank while the tab names the page. Hence a
// load asked for while the view's first load is yet to start waits until
// that load has started, ended or been refused, on a later turn of the main
// loop; of the loads asked for meanwhile only the last is sent, as the
// engine would have replaced the others anyway. Main thread only.
class FirstLoadGate {
public:
    // `scheduleRelease` arranges for release() to be called on a later turn
    // of the main loop (never from inside the engine's signals).
    explicit FirstLoadGate(std::function<void()> scheduleRelease);
    ~FirstLoadGate();
    FirstLoadGate(const FirstLoadGate&) = delete;
    FirstLoadGate& operator=(const FirstLoadGate&) = delete;

    // Follows `view`'s loads; `pass` sends loads to this view only.
    void watch(WebKitWebView* view);
    // Stops following the view; a load still held is dropped.
    void unwatch();

    // Runs `load` (which sends one load to the view) now, or once the view's
    // first load has moved on.
    void pass(std::function<void()> load);
    // The user stopped loading: a load still held is dropped, and later
    // loads go at once (an engine stopped before its first load started
    // reports nothing more for it).
    void stop();
    // Sends the load held back, if any; see the constructor.
    void release();

private:
    enum class Stage { fresh, awaitingFirstStart, releasing, open };

    static void onLoadChanged(WebKitWebView* view, int event, void* self);
    static void onLoadingChanged(WebKitWebView* view, GParamSpec* property, void* self);
    void firstLoadMovedOn();

    std::function<void()> scheduleRelease_;
    WebKitWebView* view_ = nullptr;  // not owned: the view's owner unwatches before it goes
    Stage stage_ = Stage::fresh;
    std::function<void()> held_;
};

}  // namespace quorelle
