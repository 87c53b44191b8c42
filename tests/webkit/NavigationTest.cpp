// Pages loading into real web views: the tab model, history, internal pages,
// failures and the back/forward steps.
#include "support/LeftoverCheck.h"
#include "support/SteppingPage.h"
#include "webkit/NavigationTestSupport.h"
#include "web/WebViewRegistry.h"

#include <algorithm>

namespace quorelle::testing {
namespace {

TEST_F(NavigationTest, WebPageUpdatesTheTabAndHistory) {
    server.addHTML("/first", kPage);
    server.addHTML("/untitled", "<html><body>no title here</body></html>");
    const std::string file = scratch_ + "/notes.txt";
    ASSERT_TRUE(g_file_set_contents(file.c_str(), "plain notes\n", -1, nullptr));
    const GCharPtr fileURI(g_filename_to_uri(file.c_str(), nullptr, nullptr));
    start();
    const auto visit = [&](const std::string& address) {
        return loadPage(address) && runUntil([&] {
                   const auto& history = state->profileData.get().history;
                   return !history.empty() && history.front().url == address && queue.pending() == 0;
               });
    };
    // A document without a title is named by its address, in the tab and in
    // history, never by the page before.
    ASSERT_TRUE(visit(fileURI.get()));
    EXPECT_EQ(tab()->title.get(), fileURI.get());
    EXPECT_EQ(state->profileData.get().history.front().title, fileURI.get());

    ASSERT_TRUE(visit(server.url("/first")));
    EXPECT_EQ(tab()->title.get(), "First Page");
    EXPECT_EQ(tab()->faviconLetter.get(), "F");
    EXPECT_FALSE(tab()->isInternal.get());
    EXPECT_FALSE(tab()->isSecure.get());  // plain http
    EXPECT_EQ(tab()->loadState.get(), TabLoadState::loaded());
    EXPECT_EQ(tab()->loadProgress.get(), 1.0);
    EXPECT_EQ(state->profileData.get().history.front().url, server.url("/first"));
    EXPECT_EQ(state->profileData.get().history.front().title, "First Page");
    EXPECT_EQ(state->omniboxText.get(), server.url("/first"));

    ASSERT_TRUE(visit(server.url("/untitled")));
    EXPECT_EQ(tab()->title.get(), server.url("/untitled"));
    EXPECT_EQ(tab()->faviconLetter.get(), "1");  // the first letter of its host, 127.0.0.1
    EXPECT_EQ(state->profileData.get().history.front().title, server.url("/untitled"));
    EXPECT_EQ(state->profileData.get().history.size(), 3u);
}

TEST_F(NavigationTest, WithoutAGraphicsProcessorPagesPaintWithoutTheCompositor) {
    services->acceleratedCompositing = false;
    server.addHTML("/first", kPage);
    start();
    EXPECT_EQ(webkit_settings_get_hardware_acceleration_policy(webkit_web_view_get_settings(view())),
              WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    ASSERT_TRUE(loadPage(server.url("/first")));
    EXPECT_TRUE(runUntil([&] { return tab()->title.get() == "First Page"; }));
}

TEST_F(NavigationTest, InternalPagesRenderUnderTheReservedHost) {
    start();
    ASSERT_TRUE(loadPage("vx://settings"));
    EXPECT_EQ(tab()->title.get(), "Settings");
    EXPECT_TRUE(tab()->isInternal.get());
    EXPECT_TRUE(tab()->isSecure.get());
    EXPECT_EQ(viewURI(), WebViewCoordinator::internalBaseURL);
    EXPECT_TRUE(state->profileData.get().history.empty());

    ASSERT_TRUE(loadPage("vx://no-such-page"));
    EXPECT_EQ(tab()->title.get(), "Page not found");
    EXPECT_TRUE(tab()->isSecure.get());

    // A blank inside the name stays in the address: it names no page, and the
    // page, the omnibox and the steps back and forward all keep it as typed.
    ASSERT_TRUE(loadPage("vx://new tab"));
    EXPECT_EQ(tab()->title.get(), "Page not found");
    EXPECT_EQ(evalJS("document.querySelector('.desc').textContent"), "\"No internal page at vx://new tab\"");
    ASSERT_TRUE(runUntil([&] { return state->omniboxText.get() == "vx://new tab"; }));
    commands->post(TabCommand::goBack, tab()->id());
    ASSERT_TRUE(waitForPage("vx://no-such-page"));
    commands->post(TabCommand::goForward, tab()->id());
    ASSERT_TRUE(waitForPage("vx://new tab"));
    EXPECT_EQ(evalJS("document.querySelector('.desc').textContent"), "\"No internal page at vx://new tab\"");
    EXPECT_TRUE(state->profileData.get().history.empty());
}

TEST_F(NavigationTest, ALongListIsPaintedFirstAndThenHoldsEveryRowInOrder) {
    start();
    std::string expected;
    state->profileData.modify([&](ProfileData& d) {
        for (int i = 0; i < 450; ++i) {
            d.history.push_back(HistoryItem{.title = "Visit " + std::to_string(i), .url = "https://a.example/",
                                            .visitedAt = Date{757382400.0}});
            expected += (i ? "|" : "") + d.history.back().title;
        }
    });
    ASSERT_TRUE(loadPage("vx://history"));
    // The rows held back for the first paint are all put in place, and nothing else is left behind.
    ASSERT_TRUE(runUntil([&] { return evalJS("document.querySelectorAll('template, .card script').length") == "0"; }));
    EXPECT_EQ(evalJS("Array.from(document.querySelectorAll('.card > .list-item strong'), e => e.textContent).join('|')"),
              "\"" + expected + "\"");
    EXPECT_EQ(evalJS("document.querySelector('.card > .list-item:last-child strong').textContent"), "\"Visit 449\"");
}

TEST_F(NavigationTest, FailedLoadShowsTheErrorPageAndKeepsTheAddress) {
    start();
    const std::string refused = "http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/";
    state->navigateActive(refused);
    ASSERT_TRUE(runUntil([&] { return tab()->loadState.get().kind == TabLoadState::Kind::failed; }));
    EXPECT_NE(tab()->loadState.get().message.find("refused"), std::string::npos) << tab()->loadState.get().message;
    // The error page finishes under the internal base: the tab ends internal
    // and loaded while still naming the address that failed.
    ASSERT_TRUE(runUntil([&] { return tab()->isInternal.get() && tab()->loadState.get() == TabLoadState::loaded(); }));
    EXPECT_EQ(tab()->urlString.get(), refused);
    EXPECT_EQ(tab()->title.get(), refused);  // not the title of the page before
    EXPECT_EQ(viewURI(), WebViewCoordinator::internalBaseURL);
    EXPECT_TRUE(showsErrorPage());
    EXPECT_TRUE(state->profileData.get().history.empty());

    // A link that fails names the address it led to, not the page it was on.
    server.addHTML("/links", "<html><head><title>Links</title></head><body><a id=out href=\"" + refused +
                                 "\">out</a></body></html>");
    ASSERT_TRUE(loadPage(server.url("/links")));
    ASSERT_TRUE(runUntil([&] { return tab()->title.get() == "Links" && queue.pending() == 0; }));
    evalJS("document.getElementById('out').click()");
    ASSERT_TRUE(runUntil([&] { return tab()->isInternal.get() && tab()->loadState.get() == TabLoadState::loaded(); }));
    EXPECT_EQ(tab()->urlString.get(), refused);
    EXPECT_EQ(tab()->title.get(), refused);
    EXPECT_TRUE(showsErrorPage());
    ASSERT_TRUE(runUntil([&] { return state->omniboxText.get() == refused; }));
    EXPECT_EQ(state->profileData.get().history.size(), 1u);  // the page with the link only

    // An address the engine refuses (a port other services own) fails as well,
    // though the engine reports no failure and commits an empty document in
    // its place: the error page names the address and why, the tab is titled
    // by the address, and Back and Forward pass over that empty document.
    const std::string links = server.url("/links");
    ASSERT_TRUE(loadPage(links));
    expectAt({links, "Links", true, false, "out"});
    const std::string blocked = "http://127.0.0.1:9/";
    state->navigateActive(blocked);
    ASSERT_TRUE(runUntil([&] { return tab()->loadState.get().kind == TabLoadState::Kind::failed; }));
    const std::string why = tab()->loadState.get().message;
    EXPECT_NE(why.find(blocked), std::string::npos) << why;
    EXPECT_NE(why.find("restricted network port"), std::string::npos) << why;
    expectAt({blocked, blocked, true, false, "Page failed to load"});
    EXPECT_NE(evalJS("document.body.innerText").find(why), std::string::npos);
    EXPECT_EQ(viewURI(), WebViewCoordinator::internalBaseURL);
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({links, "Links", true, false, "out"});
    commands->post(TabCommand::goForward, tab()->id());
    expectAt({links, "Links", true, false, "out"});
}

// Stop is no failure: no error page, no failed state. Whatever it stops, the
// tab then names the page on screen, as the omnibox and the star read it.
TEST_F(NavigationTest, StoppingIsQuietAndLeavesTheTabNamingThePageOnScreen) {
    server.addHTML("/first", kPage);
    server.addHTML("/pictures", pageWithHeldImage("Pictures", "words"));
    server.addHTML("/drawings", pageWithHeldImage("Drawings", "lines"));
    startWithHeldPage();
    // Stopped before its answer, the page asked for never replaced the New Tab page.
    state->navigateActive(server.url("/slow"));
    ASSERT_TRUE(runUntil([&] { return tab()->isLoading.get() && server.heldCount() == 1; }));
    EXPECT_EQ(tab()->loadState.get(), TabLoadState::loading(0.15));
    commands->post(TabCommand::stop, tab()->id());
    ASSERT_TRUE(runUntil([&] { return !tab()->isLoading.get(); }));
    runFor(300);
    EXPECT_EQ(tab()->loadState.get(), TabLoadState::idle());
    EXPECT_FALSE(showsErrorPage());
    ASSERT_TRUE(expectAt({"vx://newtab", "New Tab", false, false, "Google"}));
    EXPECT_TRUE(tab()->isInternal.get());
    EXPECT_EQ(state->omniboxText.get(), "");

    // A page that has just finished, its title not read yet, when another
    // address is asked for and stopped: the tab names that page by its title.
    const std::string first = server.url("/first");
    const auto shown = tab();
    sigc::connection finished;
    finished = shown->loadState.signalWillChange().connect([&] {
        queue.post([&] {
            if (shown->urlString.get() != first || shown->loadState.get() != TabLoadState::loaded()) return;
            finished.disconnect();
            state->navigateActive(server.url("/slow"));
        });
    });
    state->navigateActive(first);
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 2 && tab()->isLoading.get(); }));
    finished.disconnect();
    ASSERT_TRUE(expectVisitedLast(first, "First Page"));  // its title has been read
    commands->post(TabCommand::stop, tab()->id());
    ASSERT_TRUE(expectAt({first, "First Page", false, false, "next"}));
    EXPECT_EQ(tab()->faviconLetter.get(), "F");

    // Stopped once it is on screen while an image is still on its way, the
    // page is there to stay: the tab names it as after any finish.
    const std::string pictures = server.url("/pictures");
    state->navigateActive(pictures);
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 3 && viewURI() == pictures; }));
    commands->post(TabCommand::stop, tab()->id());
    ASSERT_TRUE(expectAt({pictures, "Pictures", true, false, "words"}));
    EXPECT_EQ(tab()->loadState.get(), TabLoadState::loaded());
    EXPECT_FALSE(tab()->isInternal.get());
    EXPECT_TRUE(runUntil([&] { return state->omniboxText.get() == pictures; })) << state->omniboxText.get();
    ASSERT_TRUE(expectVisitedLast(pictures, "Pictures"));

    // A page still loading that a newer load cuts short leaves the tab to the
    // newer one; stopped in turn, that one leaves the page it never replaced.
    const std::string drawings = server.url("/drawings");
    state->navigateActive(drawings);
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 4 && viewURI() == drawings; }));
    state->navigateActive(server.url("/slow"));
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 5 && queue.pending() == 0; }));
    EXPECT_EQ(tab()->urlString.get(), server.url("/slow"));
    EXPECT_TRUE(tab()->isLoading.get());
    commands->post(TabCommand::stop, tab()->id());
    ASSERT_TRUE(expectAt({drawings, "Drawings", true, false, "lines"}));
    ASSERT_TRUE(expectVisitedLast(drawings, "Drawings"));
    for (const auto& visit : state->profileData.get().history) EXPECT_NE(visit.url, server.url("/slow"));
}

// A page the engine brings back from its back/forward cache, whose requests
// were cut short when it was left: the engine reports the cut as a failure
// after the page is back on screen. The tab names the page all the same:
// its address, title, the steps either way and the visit.
TEST_F(NavigationTest, APageBroughtBackFromTheCacheIsNamedThoughItsRequestsWereCut) {
    server.addHTML("/alpha", "<html><head><title>Alpha</title></head><body>alpha words</body></html>");
    // Each time it is shown the page asks for something the server holds.
    server.addHTML("/beta", "<html><head><title>Beta</title></head><body>beta words<script>"
                            "addEventListener('pageshow', () => fetch('/beta/held').catch(() => {}));"
                            "</script></body></html>");
    server.addHeld("/beta/held", "text/plain");
    start();
    const std::string alpha = server.url("/alpha");
    const std::string beta = server.url("/beta");
    ASSERT_TRUE(loadPage(alpha));
    ASSERT_TRUE(loadPage(beta));
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 1; }));
    ASSERT_TRUE(loadPage(alpha));
    ASSERT_TRUE(expectAt({alpha, "Alpha", true, false, "alpha words"}));

    commands->post(TabCommand::goBack, tab()->id());
    ASSERT_TRUE(expectAt({beta, "Beta", true, true, "beta words"}));
    EXPECT_TRUE(runUntil([&] { return state->omniboxText.get() == beta; })) << state->omniboxText.get();
    ASSERT_TRUE(expectVisitedLast(beta, "Beta"));
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 2; }));
    commands->post(TabCommand::goForward, tab()->id());
    ASSERT_TRUE(expectAt({alpha, "Alpha", true, false, "alpha words"}));
    commands->post(TabCommand::goBack, tab()->id());
    ASSERT_TRUE(expectAt({beta, "Beta", true, true, "beta words"}));
    ASSERT_TRUE(expectVisitedLast(beta, "Beta"));

    // Every step back to it was one from the cache.
    EXPECT_EQ(std::count(server.requestedPaths.begin(), server.requestedPaths.end(), "/beta"), 1);
}

// A page on screen but still loading (an image on its way) that is left by
// a link to a download, by a link, or by a script: the tab names the page that
// ends up on screen, and history holds no visit under another page's name.
TEST_F(NavigationTest, APageLeftWhileStillLoadingIsNamedByThePageThatStays) {
    server.addHTML("/second", kSecond);
    server.add("/report", LoopbackServer::Page{200, "text/plain", "report", {{"Content-Disposition", "attachment"}}});
    start();
    const std::string second = server.url("/second");
    // Each time another page, whose image the server holds. It is the view's
    // once the view has committed it: the page's own process may ask for the
    // image before that, while a script run in the view still finds the page
    // before.
    std::vector<std::string> shown;
    const auto showStillLoading = [&] {
        const std::string path = "/pictures/" + std::to_string(shown.size());
        server.addHTML(path, "<html><head><title>Pictures</title></head><body>words <a id=on href=\"/second\">on</a> "
                             "<a id=file href=\"/report\">file</a><img src=\"" + path + ".png\"></body></html>");
        server.addHeld(path + ".png", "image/png");
        shown.push_back(server.url(path));
        const std::size_t held = server.heldCount();
        bool committed = false;
        const gulong commits = g_signal_connect(
            view(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer flag) {
                if (event == WEBKIT_LOAD_COMMITTED) *static_cast<bool*>(flag) = true;
            }),
            &committed);
        state->navigateActive(shown.back());
        const bool loading = runUntil([&] {
            return committed && viewURI() == shown.back() && server.heldCount() == held + 1 &&
                   webkit_web_view_is_loading(view());
        });
        g_signal_handler_disconnect(view(), commits);
        return loading;
    };
    const auto expectNoWrongVisit = [&] {
        for (const auto& visit : state->profileData.get().history)
            EXPECT_TRUE((visit.url == second && visit.title == "Second") ||
                        (std::find(shown.begin(), shown.end(), visit.url) != shown.end() && visit.title == "Pictures"))
                << visit.url << " titled " << visit.title;
    };

    ASSERT_TRUE(showStillLoading());
    evalJS("document.getElementById('file').click()");
    ASSERT_TRUE(runUntil([&] { return std::count(server.requestedPaths.begin(), server.requestedPaths.end(),
                                                 "/report") == 1; }));
    server.release();
    ASSERT_TRUE(expectAt({shown.back(), "Pictures", false, false, "words"}));
    expectNoWrongVisit();

    for (const std::string leave : {"document.getElementById('on').click()", "location.href = '/second'"}) {
        SCOPED_TRACE(leave);
        ASSERT_TRUE(showStillLoading());
        evalJS(leave);
        ASSERT_TRUE(expectAt({second, "Second", true, false, "two"}));
        ASSERT_TRUE(expectVisitedLast(second, "Second"));
        expectNoWrongVisit();
    }
}

TEST_F(NavigationTest, AnInternalPageReplacingASlowLoadStaysLoaded) {
    startWithHeldPage();
    state->navigateActive(server.url("/slow"));
    ASSERT_TRUE(runUntil([&] { return tab()->isLoading.get() && server.heldCount() == 1; }));
    // Every state the tab passes through from here on: the internal page
    // shows as loaded, and the load it cut short must not change that.
    auto shown = tab();
    std::vector<TabLoadState> seen;
    shown->loadState.signalWillChange().connect([&] { seen.push_back(shown->loadState.get()); });
    ASSERT_TRUE(loadPage("vx://settings"));
    runFor(200);
    seen.push_back(tab()->loadState.get());
    for (const auto& passed : seen) {
        EXPECT_NE(passed.kind, TabLoadState::Kind::idle);
        EXPECT_NE(passed.kind, TabLoadState::Kind::failed);
    }
    EXPECT_EQ(seen.back(), TabLoadState::loaded());
    EXPECT_FALSE(tab()->isLoading.get());
    EXPECT_EQ(tab()->title.get(), "Settings");
    server.release();  // let the engine close the connection it abandoned
    runFor(100);
}

// Reload asks for the tab's own address. The engine's own reload would ask
// for the internal pages' base address while one of them is still on screen,
// and its error would name that host.
TEST_F(NavigationTest, ReloadAsksForTheTabsOwnAddressNeverTheInternalPagesBase) {
    startWithHeldPage();
    // Typed words the search engine makes no address of never load, and
    // their reload loads nothing either: the tab stays as it was, the page
    // on screen too.
    state->profileData.modify([](ProfileData& d) {
        d.settings.selectedSearchEngineID = "custom";
        d.settings.customSearchEngineURL = "";
    });
    state->navigateActive("cats and dogs");
    ASSERT_TRUE(runUntil([&] { return state->omniboxText.get() == "cats and dogs" && queue.pending() == 0; }));
    const std::string pageBefore = evalJS("document.body.innerText");
    const TabLoadState loadBefore = tab()->loadState.get();
    const std::string titleBefore = tab()->title.get();
    int tabChanges = 0;
    const std::shared_ptr<BrowserTab> shown = tab();
    std::vector<sigc::connection> watches;
    for (auto* signal : {&shown->loadState.signalWillChange(), &shown->isLoading.signalWillChange(),
                         &shown->title.signalWillChange(), &shown->urlString.signalWillChange()})
        watches.push_back(signal->connect([&] { ++tabChanges; }));
    int loadsStarted = 0;
    auto countStart = +[](WebKitWebView*, WebKitLoadEvent event, gpointer count) {
        if (event == WEBKIT_LOAD_STARTED) ++*static_cast<int*>(count);
    };
    const gulong started = g_signal_connect(view(), "load-changed", G_CALLBACK(countStart), &loadsStarted);
    commands->post(TabCommand::reload, tab()->id());
    ASSERT_TRUE(runUntil([&] { return queue.pending() == 0; }));
    EXPECT_FALSE(webkit_web_view_is_loading(view()));
    EXPECT_EQ(evalJS("document.body.innerText"), pageBefore);
    g_signal_handler_disconnect(view(), started);
    for (auto& watch : watches) watch.disconnect();
    EXPECT_EQ(loadsStarted, 0);
    EXPECT_EQ(tabChanges, 0);
    EXPECT_EQ(tab()->loadState.get(), loadBefore);
    EXPECT_EQ(tab()->title.get(), titleBefore);
    EXPECT_EQ(viewURI(), WebViewCoordinator::internalBaseURL);
    EXPECT_EQ(tab()->urlString.get(), "cats and dogs");
    EXPECT_EQ(state->omniboxText.get(), "cats and dogs");

    // A reload while the first answer is awaited asks again.
    state->navigateActive(server.url("/slow"));
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 1; }));
    commands->post(TabCommand::reload, tab()->id());
    EXPECT_TRUE(runUntil([&] { return server.heldCount() == 2; }));
    server.release();
    ASSERT_TRUE(waitForPage(server.url("/slow")));
    EXPECT_TRUE(runUntil([&] { return tab()->title.get() == "Second"; }));
    EXPECT_FALSE(showsErrorPage());
}

TEST_F(NavigationTest, AnUnansweredRequestTimesOut) {
    startWithHeldPage();
    host()->coordinator().setRequestTimeLimit(std::chrono::milliseconds(300));
    state->navigateActive(server.url("/slow"));
    ASSERT_TRUE(runUntil([&] { return tab()->loadState.get().kind == TabLoadState::Kind::failed; }));
    EXPECT_EQ(tab()->loadState.get().message, "The request timed out.");
    ASSERT_TRUE(runUntil([&] { return tab()->isInternal.get() && tab()->loadState.get() == TabLoadState::loaded(); }));
    EXPECT_EQ(tab()->urlString.get(), server.url("/slow"));
    server.release();
    runFor(100);
}

TEST_F(NavigationTest, ASlowImageDoesNotTimeOutAPageAlreadyShown) {
    server.addHTML("/pictures",
                   "<html><head><title>Pictures</title></head><body>words<img src=\"/held.png\"></body></html>");
    server.addHeld("/held.png", "image/png");
    start();
    // The page's own request keeps the whole time limit, so no load on the
    // machine makes it run out before the page is answered; once it has been,
    // the limit passes at once: every clock the browser has running runs out.
    LeftoverCheck clocks;
    clocks.start();
    bool committed = false;
    const gulong watch = g_signal_connect(view(), "load-changed", G_CALLBACK(+[](WebKitWebView*, int event, gpointer seen) {
        if (event == WEBKIT_LOAD_COMMITTED) *static_cast<bool*>(seen) = true;
    }), &committed);
    state->navigateActive(server.url("/pictures"));
    ASSERT_TRUE(runUntil([&] { return committed && server.heldCount() == 1; }));
    g_signal_handler_disconnect(view(), watch);
    for (GSource* clock : clocks.browserSources()) g_source_set_ready_time(clock, 0);
    runFor(300);
    EXPECT_NE(tab()->loadState.get().kind, TabLoadState::Kind::failed);
    EXPECT_EQ(viewURI(), server.url("/pictures"));
    server.release();
    ASSERT_TRUE(waitForPage(server.url("/pictures")));
    EXPECT_TRUE(runUntil([&] { return tab()->title.get() == "Pictures"; }));
    EXPECT_FALSE(showsErrorPage());
}

TEST_F(NavigationTest, ResubmittingAnAddressAfterFollowingALinkLoadsIt) {
    server.addHTML("/first", kPage);
    server.addHTML("/second", kSecond);
    start();
    ASSERT_TRUE(loadPage(server.url("/first")));
    evalJS("document.getElementById('next').click()");
    ASSERT_TRUE(waitForPage(server.url("/second")));
    const auto requests = server.requestedPaths.size();
    ASSERT_TRUE(loadPage(server.url("/first")));
    EXPECT_TRUE(runUntil([&] { return tab()->title.get() == "First Page"; }));
    EXPECT_EQ(server.requestedPaths.size(), requests + 1);
}

TEST_F(NavigationTest, BackWalksInternalPagesThenTheWebList) {
    server.addHTML("/first", kPage);
    server.addHTML("/second", kSecond);
    start();
    const std::string first = server.url("/first");
    ASSERT_TRUE(loadPage(first));
    ASSERT_TRUE(loadPage(server.url("/second")));
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({first, "First Page", false, true, "next"});

    // A new load leaves nothing ahead, an internal page's too: the page that
    // was ahead is no Forward step from it, nor from anywhere after it.
    ASSERT_TRUE(loadPage("vx://history"));
    expectAt({"vx://history", "History", true, false, "History"});
    commands->post(TabCommand::goForward, tab()->id());
    expectAt({"vx://history", "History", true, false, "History"});
    EXPECT_EQ(viewURI(), WebViewCoordinator::internalBaseURL);

    ASSERT_TRUE(loadPage("vx://downloads"));
    expectAt({"vx://downloads", "Downloads", true, false, "Downloads"});
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({"vx://history", "History", true, true, "History"});
    commands->post(TabCommand::goForward, tab()->id());
    expectAt({"vx://downloads", "Downloads", true, false, "Downloads"});
    // Loading the page shown again is a new load too.
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({"vx://history", "History", true, true, "History"});
    state->navigateActive("vx://history");
    expectAt({"vx://history", "History", true, false, "History"});

    // Back walks the internal pages, then the web page they were opened over.
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({"vx://newtab", "New Tab", true, true, "Google"});
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({first, "First Page", false, false, "next"});
    const auto requests = server.requestedPaths.size();
    commands->post(TabCommand::goForward, tab()->id());
    expectAt({first, "First Page", false, false, "next"});
    EXPECT_EQ(server.requestedPaths.size(), requests);
    EXPECT_EQ(viewURI(), first);

    // An internal page a link opens is a new load as well: neither the web
    // page nor the internal page that were ahead are left to step to.
    evalJS("document.getElementById('next').click()");
    ASSERT_TRUE(waitForPage(server.url("/second")));
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({first, "First Page", false, true, "next"});
    evalJS("document.getElementById('about').click()");
    expectAt({"vx://about", "About Quorelle", true, false, "Quorelle"});
    commands->post(TabCommand::goForward, tab()->id());
    expectAt({"vx://about", "About Quorelle", true, false, "Quorelle"});
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({first, "First Page", false, false, "next"});

    // A command for another tab does nothing here.
    commands->post(TabCommand::goBack, Uuid::random());
    runFor(200);
    EXPECT_EQ(tab()->urlString.get(), first);
}

// The error page stands for the web address that failed, not for an internal
// page: Back leaves it for the web page before the failure, through the web
// view's own list, even with internal pages in the tab's history. The failed
// load was a new one, so it leaves nothing ahead.
TEST_F(NavigationTest, BackFromTheErrorPageOfAWebAddressReturnsToThePageBeforeIt) {
    server.addHTML("/alpha", "<html><head><title>Alpha</title></head><body>alpha words</body></html>");
    server.addHTML("/beta", "<html><head><title>Beta</title></head><body>beta words</body></html>");
    start();
    const std::string alpha = server.url("/alpha");
    const std::string refused = "http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/";
    expectAt({"vx://newtab", "New Tab", false, false, "Google"});
    state->navigateActive("vx://nonexistent");
    expectAt({"vx://nonexistent", "Page not found", true, false, "No internal page at vx://nonexistent"});
    state->navigateActive(alpha);
    expectAt({alpha, "Alpha", false, false, "alpha words"});
    ASSERT_TRUE(loadPage(server.url("/beta")));
    commands->post(TabCommand::goBack, tab()->id());
    expectAt({alpha, "Alpha", false, true, "alpha words"});
    state->navigateActive(refused);
    ASSERT_TRUE(runUntil([&] { return tab()->isInternal.get() && tab()->loadState.get() == TabLoadState::loaded(); }));
    expectAt({refused, refused, true, false, "Page failed to load"});

    commands->post(TabCommand::goBack, tab()->id());
    expectAt({alpha, "Alpha", false, false, "alpha words"});
    EXPECT_EQ(viewURI(), alpha);
    EXPECT_FALSE(tab()->isInternal.get());
    // Neither step is left from there, and pressing them changes nothing.
    commands->post(TabCommand::goBack, tab()->id());
    commands->post(TabCommand::goForward, tab()->id());
    expectAt({alpha, "Alpha", false, false, "alpha words"});
    EXPECT_EQ(viewURI(), alpha);
    EXPECT_EQ(tab()->internalHistory.get(), (std::vector<std::string>{"vx://newtab", "vx://nonexistent"}));
}

TEST_F(NavigationTest, RegistryActsOnlyOnTabsWithAWebView) {
    server.addHTML("/first", kPage);
    server.addHTML("/second", kSecond);
    start();
    WebViewRegistry registry(*webStore);
    EXPECT_EQ(registry.webView(tab()->id()), view());
    const Uuid unknown = Uuid::random();
    EXPECT_EQ(registry.webView(unknown), nullptr);
    registry.goBack(unknown);
    registry.goForward(unknown);
    registry.reload(unknown);
    registry.stop(unknown);

    ASSERT_TRUE(loadPage(server.url("/first")));
    ASSERT_TRUE(loadPage(server.url("/second")));
    registry.goBack(tab()->id());
    ASSERT_TRUE(waitForPage(server.url("/first")));
    registry.goForward(tab()->id());
    ASSERT_TRUE(waitForPage(server.url("/second")));
}

TEST_F(NavigationTest, SwitchingTabsDoesNotReloadAndNewTabsLoadWhenFirstShown) {
    server.addHTML("/first", kPage);
    start();
    ASSERT_TRUE(loadPage(server.url("/first")));
    const auto first = tab();
    const auto requestsBefore = server.requestedPaths.size();

    state->newTab(server.url("/first"));
    runFor(200);
    EXPECT_EQ(server.requestedPaths.size(), requestsBefore);  // not loaded before it is shown
    showActiveTab();
    ASSERT_TRUE(waitForPage(server.url("/first")));
    EXPECT_EQ(server.requestedPaths.size(), requestsBefore + 1);

    state->selectTab(first);
    showActiveTab();
    runFor(300);
    EXPECT_EQ(server.requestedPaths.size(), requestsBefore + 1);
    EXPECT_EQ(first->title.get(), "First Page");
}

// A new tab's view has a web process of its own, which takes the decision on
// its first page as it comes up. A page asked for before that first one has
// started waits until it has: sent at once, the two would be decided in one
// go, and the network process could then take the new page's first
// questions for a rogue process's and end it, leaving the view blank.
TEST_F(NavigationTest, ANewTabsSecondPageWaitsUntilItsFirstHasStarted) {
    start();
    state->newTab("vx://about");
    showActiveTab();
    int started = 0;
    const gulong watch = g_signal_connect(view(), "load-changed", G_CALLBACK(+[](WebKitWebView*, int event, gpointer count) {
        if (event == WEBKIT_LOAD_STARTED) ++*static_cast<int*>(count);
    }), &started);
    // Both pages are asked for in the same turn of the main loop.
    state->navigateActive("vx://history");
    queue.drain();
    ASSERT_TRUE(waitForPage("vx://history"));
    const auto shownTitle = [&] {
        const char* title = webkit_web_view_get_title(view());
        return std::string(title ? title : "");
    };
    ASSERT_TRUE(runUntil([&] { return shownTitle() == "History"; })) << shownTitle();
    g_signal_handler_disconnect(view(), watch);
    EXPECT_EQ(started, 2);
    EXPECT_EQ(tab()->title.get(), "History");
}

// The engine lets go of a closed tab's view once its own work on it has
// ended, and work the browser queued for the page may hold it too: its page
// runs on a moment out of any window. One that keeps adding entries to its
// history goes on doing so there, and the next entry must not end the
// browser, as it did when the engine took it in with a picture of the view
// from the window the view is no longer in.
TEST_F(NavigationTest, ClosingATabReleasesItsWebView) {
    server.addHTML("/ticking", steppingPage);
    start();
    state->newTab(server.url("/ticking"));
    showActiveTab();
    ASSERT_TRUE(runUntil([&] { return view() && hasStepped(webkit_web_view_get_uri(view())); }));
    auto closing = tab();
    GWeakPtr<WebKitWebView> weakView(view());
    {
        const auto held = GObjectPtr<WebKitWebView>::retain(view());
        const std::string before = webkit_web_view_get_uri(held.get());
        state->closeTab(closing);
        EXPECT_FALSE(webStore->hasHost(closing->id()));
        EXPECT_EQ(gtk_widget_get_parent(GTK_WIDGET(held.get())), nullptr);
        EXPECT_TRUE(runUntil([&] { return webkit_web_view_get_uri(held.get()) != before; }));
    }
    EXPECT_TRUE(runUntil([&] { return !weakView.get(); }));
}

}  // namespace
}  // namespace quorelle::testing
