// Pages that move within themselves: to a place in the page, by a script's
// history.pushState or location.hash, Back and Forward between such places,
// many times a second. The tab follows each move without recording a visit
// or saving anything, and what the user asks for meanwhile loads all the same.
#include "webkit/NavigationTestSupport.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace quorelle::testing {
namespace {

// Every file under `folder` as the disk holds it now. A save writes a new
// file in the old one's place, whatever it holds: another file, changed now.
std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        found[entry.path().string()] = std::to_string(info.st_ino) + " " + std::to_string(info.st_ctim.tv_sec) + "." +
                                       std::to_string(info.st_ctim.tv_nsec);
    }
    return found;
}

// A page can move to another address of its own without a load: a link to a
// place in it, a script's history.pushState, Back and Forward between such
// addresses. The engine reports only the new address; the tab names it all the
// same, as after a finish: the omnibox, the steps either way, the title the
// page has now, and the address the star and Reload take. The page's icon
// stays, neither dropped nor asked for again. A move is no load: it records no
// visit and saves nothing, however often a page moves.
TEST_F(NavigationTest, AMoveWithinThePageIsNamedByTheTabAsAfterAFinish) {
    const auto page = [](const std::string& title) {
        return "<html><head><title>" + title + "</title><link rel=icon href=\"/chapter.ico\"></head><body>" +
               "<a id=down href=\"#end\">down</a> <a id=on href=\"/plain\">on</a>" +
               "<div style=\"height:3000px\"></div><p>the end</p></body></html>";
    };
    server.addHTML("/chapter", page("Chapter"));
    server.addHTML("/chapter/two", page("Chapter Two"));
    server.addHTML("/plain", "<html><head><title>Plain</title></head>"
                             "<body>no icon <a id=back href=\"/chapter\">back</a></body></html>");
    start();
    const std::string chapter = server.url("/chapter");
    const std::string end = chapter + "#end";
    const std::string two = server.url("/chapter/two");
    const auto expectNamed = [&](const Step& step) {
        if (!expectAt(step)) return false;
        EXPECT_EQ(viewURI(), step.address);
        EXPECT_TRUE(runUntil([&] { return state->omniboxText.get() == step.address; })) << state->omniboxText.get();
        return true;
    };
    const auto expectLoaded = [&](const Step& step) {
        return expectNamed(step) && expectVisitedLast(step.address, step.title);
    };
    const auto expectMoved = [&](const Step& step, const std::string& lastVisit) {
        store->flush();
        const auto filesBefore = filesIn(scratch_ + "/QuorelleData");
        const auto historyBefore = state->profileData.get().history.size();
        if (!expectNamed(step)) return false;
        // The page's title has been read by now (asked before the page's
        // text that expectAt read), and whatever came of it is done: any
        // save it queued is written once the store's writer is flushed.
        EXPECT_TRUE(runUntil([&] { return queue.pending() == 0; }));
        store->flush();
        EXPECT_EQ(state->profileData.get().history.size(), historyBefore);
        EXPECT_EQ(state->profileData.get().history.front().url, lastVisit);
        const bool nothingSaved = filesIn(scratch_ + "/QuorelleData") == filesBefore;
        EXPECT_TRUE(nothingSaved) << "a move saved files";
        return nothingSaved;
    };
    const auto asked = [&](const std::string& path) {
        return std::count(server.requestedPaths.begin(), server.requestedPaths.end(), path);
    };
    const auto starred = [&] {
        state->toggleBookmark();
        const auto& bookmarks = state->profileData.get().bookmarks;
        return bookmarks.empty() ? std::string("no bookmark") : bookmarks.back().url + " " + bookmarks.back().title;
    };
    ASSERT_TRUE(loadPage(chapter));
    ASSERT_TRUE(expectLoaded({chapter, "Chapter", false, false, "down"}));
    ASSERT_TRUE(runUntil([&] { return tab()->faviconURL.get() == server.url("/chapter.ico"); }));
    int iconChanges = 0;
    const auto shown = tab();
    sigc::connection iconWatch = shown->faviconURL.signalWillChange().connect([&] { ++iconChanges; });

    evalJS("document.getElementById('down').click()");
    ASSERT_TRUE(expectMoved({end, "Chapter", true, false, "down"}, chapter));
    EXPECT_EQ(starred(), end + " Chapter");
    evalJS("history.pushState({}, '', '/chapter/two'); document.title = 'Chapter Two'");
    ASSERT_TRUE(expectMoved({two, "Chapter Two", true, false, "down"}, chapter));
    EXPECT_EQ(starred(), two + " Chapter Two");

    // One document, one title: the steps back find the title it has now.
    commands->post(TabCommand::goBack, tab()->id());
    ASSERT_TRUE(expectMoved({end, "Chapter Two", true, true, "down"}, chapter));
    commands->post(TabCommand::goBack, tab()->id());
    ASSERT_TRUE(expectMoved({chapter, "Chapter Two", false, true, "down"}, chapter));
    commands->post(TabCommand::goForward, tab()->id());
    ASSERT_TRUE(expectMoved({end, "Chapter Two", true, true, "down"}, chapter));
    commands->post(TabCommand::goForward, tab()->id());
    ASSERT_TRUE(expectMoved({two, "Chapter Two", true, false, "down"}, chapter));

    // A page that keeps its place in its address (a player's time, a map's
    // view) moves many times a second: the tab follows, and nothing is kept.
    const std::string kept = two + "?at=end";
    evalJS("let moves = 0; const mover = setInterval(() => {"
           "  if (++moves % 3 == 0) location.hash = 't' + moves;"
           "  else history[moves % 2 ? 'pushState' : 'replaceState']({}, '', '/chapter/two?t=' + moves);"
           "  if (moves < 60) return;"
           "  clearInterval(mover); history.replaceState({}, '', '/chapter/two?at=end'); }, 5)");
    ASSERT_TRUE(expectMoved({kept, "Chapter Two", true, false, "down"}, chapter));
    iconWatch.disconnect();
    EXPECT_EQ(iconChanges, 0);
    EXPECT_EQ(tab()->faviconURL.get(), server.url("/chapter.ico"));
    EXPECT_EQ(asked("/chapter"), 1);
    EXPECT_EQ(asked("/chapter/two"), 0);

    // Reloaded, the address the page moved to is loaded, and visited.
    commands->post(TabCommand::reload, tab()->id());
    ASSERT_TRUE(runUntil([&] { return asked("/chapter/two") == 1; }));
    ASSERT_TRUE(expectLoaded({kept, "Chapter Two", true, false, "down"}));

    // A typed address that only adds a fragment moves within the page too,
    // and asks nothing of the network: its time limit is not handed on to
    // the link followed next, which has none.
    host()->coordinator().setRequestTimeLimit(std::chrono::milliseconds(1));
    state->navigateActive(kept + "#end");
    ASSERT_TRUE(expectMoved({kept + "#end", "Chapter Two", true, false, "down"}, kept));
    // A link to another page is no move: that page does without this one's icon.
    const std::string plain = server.url("/plain");
    evalJS("document.getElementById('on').click()");
    ASSERT_TRUE(expectLoaded({plain, "Plain", true, false, "no icon"}));
    EXPECT_EQ(tab()->faviconURL.get(), std::nullopt);
    host()->coordinator().setRequestTimeLimit(std::chrono::seconds(WebViewCoordinator::requestTimeoutSeconds));

    // A page that moves within itself as soon as it has loaded, before its
    // icon is found, gets the icon where it has moved: the move is asked of
    // the page as the tab turns loaded, before the browser asks for the icon.
    sigc::connection moveAtOnce;
    moveAtOnce = shown->loadState.signalWillChange().connect([&] {
        if (viewURI() != chapter || webkit_web_view_is_loading(view())) return;
        moveAtOnce.disconnect();
        host()->evaluateScript("history.pushState({}, '', '/chapter/two')", [](ScriptResult) {});
    });
    evalJS("document.getElementById('back').click()");
    ASSERT_TRUE(expectNamed({two, "Chapter", true, false, "down"}));
    ASSERT_TRUE(expectVisitedLast(chapter, "Chapter"));
    moveAtOnce.disconnect();
    EXPECT_EQ(tab()->faviconURL.get(), server.url("/chapter.ico"));

    // The browser's own pages keep their names whatever their document does.
    ASSERT_TRUE(loadPage("vx://history"));
    evalJS("history.pushState({}, '', '/elsewhere'); location.hash = 'x'");
    ASSERT_TRUE(runUntil([&] {
        return viewURI() == std::string(WebViewCoordinator::internalBaseURL) + "elsewhere#x" && queue.pending() == 0;
    }));
    EXPECT_EQ(tab()->urlString.get(), "vx://history");
    EXPECT_EQ(tab()->title.get(), "History");
    EXPECT_TRUE(tab()->isInternal.get());
    EXPECT_EQ(state->omniboxText.get(), "vx://history");
    EXPECT_EQ(state->profileData.get().history.front().url, chapter);
}


// The engine cuts short a load that has not committed yet whenever the page
// it leaves moves to another place in itself, as a page keeping its place in
// the address does many times a second: what the user asks for (an address,
// a link clicked) is asked for again each time, and loads. A load the
// page's own script asks for, Stop, a download and an older load a newer
// one replaced (an address, a step back) are not asked for again, and the
// page goes on moving.
TEST_F(NavigationTest, WhatTheUserAsksForLoadsThoughThePageItLeavesKeepsMoving) {
    server.addHTML("/moving", "<html><head><title>Moving</title></head><body>moving <a id=on href=\"/slow\">on</a> "
                              "<a id=file href=\"/report\">file</a><script>let moves = 0;</script></body></html>");
    server.add("/report", LoopbackServer::Page{200, "text/plain", "report", {{"Content-Disposition", "attachment"}}});
    server.addHeld("/later", "text/html; charset=utf-8", "<html><head><title>Later</title></head><body>later</body></html>");
    startWithHeldPage();
    const std::string moving = server.url("/moving");
    const auto asked = [&](const std::string& path) {
        return std::count(server.requestedPaths.begin(), server.requestedPaths.end(), path);
    };
    // The page moves on its own, out of any script the test runs in it.
    const auto move = [&] { evalJS("setTimeout(() => { location.hash = 'm' + ++moves; })"); };
    const auto movedTo = [&](int moves) {
        const std::string there = moving + "#m" + std::to_string(moves);
        return runUntil([&] { return tab()->urlString.get() == there && queue.pending() == 0; });
    };
    // Asks for what the server holds and waits until it is asked for; then
    // moves the page `moves` times, each time waiting until the move has cut
    // it short and it was asked for again.
    const auto askWhileMoving = [&](const std::function<void()>& ask, const std::string& path, int moves) {
        const auto before = asked(path);
        ask();
        if (!runUntil([&] { return asked(path) == before + 1; })) return false;
        for (int time = 1; time <= moves; ++time) {
            move();
            if (!runUntil([&] { return asked(path) == before + 1 + time; })) {
                ADD_FAILURE() << path << " was not asked for again after move " << time;
                return false;
            }
        }
        return true;
    };

    const std::vector<std::pair<const char*, std::function<void()>>> asks = {
        {"an address", [&] { state->navigateActive(server.url("/slow")); }},
        {"a link clicked", [&] { evalJS("document.getElementById('on').click()"); }},
    };
    for (const auto& [what, ask] : asks) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(loadPage(moving));
        evalJS("moves = 0");
        ASSERT_TRUE(askWhileMoving(ask, "/slow", 3));
        server.release();
        ASSERT_TRUE(expectAt({server.url("/slow"), "Second", true, false, "two"}));
    }
    ASSERT_TRUE(loadPage(moving));
    const auto slowAsked = asked("/slow");
    ASSERT_TRUE(askWhileMoving([&] { state->navigateActive(server.url("/slow")); }, "/slow", 0));
    ASSERT_TRUE(askWhileMoving([&] { state->navigateActive(server.url("/later")); }, "/later", 1));
    server.release();
    ASSERT_TRUE(expectAt({server.url("/later"), "Later", true, false, "later"}));
    EXPECT_EQ(asked("/slow"), slowAsked + 1);

    ASSERT_TRUE(loadPage(moving));
    evalJS("moves = 0");
    int downloads = 0;
    const gulong downloadWatch = g_signal_connect(
        webkit_web_view_get_network_session(view()), "download-started",
        G_CALLBACK(+[](WebKitNetworkSession*, WebKitDownload*, int* count) { ++*count; }), &downloads);
    // The user asks for an address, then, before it commits, for Stop or a
    // step back (to a place the page moved from).
    const auto askThen = [&](TabCommand then) {
        const auto before = asked("/slow");
        state->navigateActive(server.url("/slow"));
        if (!runUntil([&] { return asked("/slow") == before + 1 && tab()->isLoading.get(); })) return false;
        commands->post(then, tab()->id());
        return true;
    };
    // Each is under way, or over, when the page moves.
    const std::vector<std::tuple<const char*, std::string, std::function<bool()>>> leftAsTheyAre = {
        {"stopped", "/slow", [&] { return askThen(TabCommand::stop); }},
        {"a download", "/report", [&] {
             evalJS("document.getElementById('file').click()");
             return runUntil([&] { return downloads == 1; });
         }},
        {"the page's own script", "/slow", [&] { evalJS("location.href = '/slow'"); return true; }},
        {"replaced by a step back", "/slow", [&] { return askThen(TabCommand::goBack); }},
    };
    int moves = 0;
    for (const auto& [what, path, leave] : leftAsTheyAre) {
        SCOPED_TRACE(what);
        const auto before = asked(path);
        ASSERT_TRUE(leave());
        ASSERT_TRUE(runUntil([&] { return asked(path) == before + 1; }));
        move();
        ASSERT_TRUE(movedTo(++moves));
        EXPECT_EQ(asked(path), before + 1);
    }
    g_signal_handler_disconnect(webkit_web_view_get_network_session(view()), downloadWatch);
    server.release();
}

}  // namespace
}  // namespace quorelle::testing
