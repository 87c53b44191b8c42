#pragma once

// A browser state with real web views and a window (WebTest), and what the
// navigation cases ask of the tab once a load, a step or a move has come to
// rest.

#include "webkit/WebTestSupport.h"

#include <string>

namespace quorelle::testing {

inline constexpr const char* kPage =
    "<html><head><title>First Page</title></head><body><a id=next href=\"/second\">next</a> "
    "<a id=about href=\"vx://about\">about</a></body></html>";
inline constexpr const char* kSecond = "<html><head><title>Second</title></head><body>two</body></html>";

class NavigationTest : public WebTest {
protected:
    // What the tab and its view say once a step has come to rest.
    struct Step {
        std::string address;
        std::string title;
        bool canGoBack = false;
        bool canGoForward = false;
        std::string shows;  // text in the page on screen
    };
    // False when the tab never came to rest there.
    bool expectAt(const Step& step) {
        SCOPED_TRACE("expected at " + step.address);
        const bool rested = runUntil([&] {
            auto t = tab();
            return t->urlString.get() == step.address && t->title.get() == step.title && !t->isLoading.get() &&
                   t->canGoBack.get() == step.canGoBack && t->canGoForward.get() == step.canGoForward && view() &&
                   !webkit_web_view_is_loading(view()) && queue.pending() == 0;
        });
        EXPECT_TRUE(rested) << "at " << tab()->urlString.get() << " titled " << tab()->title.get();
        EXPECT_EQ(tab()->urlString.get(), step.address);
        EXPECT_EQ(tab()->title.get(), step.title);
        EXPECT_EQ(tab()->canGoBack.get(), step.canGoBack);
        EXPECT_EQ(tab()->canGoForward.get(), step.canGoForward);
        const std::string shown = evalJS("document.body.innerText");
        EXPECT_NE(shown.find(step.shows), std::string::npos) << shown;
        return rested;
    }

    // Waits until history's newest visit is `address` under `title`.
    bool expectVisitedLast(const std::string& address, const std::string& title) {
        const auto history = [&] { return state->profileData.get().history; };
        const bool visited =
            runUntil([&] { return !history().empty() && history().front().url == address && queue.pending() == 0; });
        EXPECT_TRUE(visited) << (history().empty() ? std::string("no visit") : history().front().url);
        if (!history().empty()) {
            EXPECT_EQ(history().front().title, title);
        }
        return visited;
    }
    // A page whose image the server holds back: it stays loading once shown.
    static std::string pageWithHeldImage(const std::string& title, const std::string& words) {
        return "<html><head><title>" + title + "</title></head><body>" + words +
               "<img src=\"/held.png\"></body></html>";
    }

    // Starts with "/slow" on the server, a page it holds back until released,
    // and "/held.png", an image it holds back.
    void startWithHeldPage() {
        server.addHeld("/slow", "text/html; charset=utf-8", kSecond);
        server.addHeld("/held.png", "image/png");
        start();
    }
};

}  // namespace quorelle::testing
