// Files the engine downloads: the user picks where each goes, and each ends
// with exactly one toast message.
#include "webkit/WebTestSupport.h"

#include "model/BrowserNavigation.h"
#include "support/FakeFileDialogs.h"
#include "support/ScratchFolder.h"
#include "web/DownloadCoordinator.h"

#include <sys/stat.h>

namespace quorelle::testing {
namespace {

const std::string kReport = "quarterly numbers\nline two\n";

LoopbackServer::Page attachment(const std::string& fileName, const std::string& body) {
    LoopbackServer::Page page;
    page.contentType = "text/plain";
    page.body = body;
    page.headers = {{"Content-Disposition", "attachment; filename=\"" + fileName + "\""}};
    return page;
}

class DownloadsTest : public WebTest {
protected:
    DownloadsTest() { services->fileDialogs = &dialogs; }

    void startWithToastCount() {
        start();
        toastSets = 0;
        state->toastMessage.signalWillChange().connect([this] { ++toastSets; });
    }
    std::optional<std::string> toast() const { return state->toastMessage.get(); }
    bool waitForRequests(std::size_t count) { return runUntil([&] { return dialogs.requests.size() >= count; }); }

    FakeFileDialogs dialogs;
    ScratchFolder folder;
    int toastSets = 0;
};

TEST_F(DownloadsTest, AnAttachmentLandsWhereTheUserChoseWithOneToast) {
    server.add("/report", attachment("report.txt", kReport));
    startWithToastCount();
    const auto downloadsBefore = state->profileData.get().downloads;
    state->navigateActive(server.url("/report"));
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].suggestedName, "report.txt");
    EXPECT_TRUE(dialogs.requests[0].filters.empty());

    const std::string path = folder.file("chosen.txt");
    dialogs.answer(0, path);
    ASSERT_TRUE(runUntil([&] { return toast().has_value(); }));
    runFor(300);
    EXPECT_EQ(toast(), std::optional<std::string>("Download finished"));
    EXPECT_EQ(toastSets, 1);
    EXPECT_EQ(ScratchFolder::read(path), kReport);
    // The engine keeps website data private; a saved file gets the usual mode.
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
    // The page before stays; the interrupted load is no failure.
    EXPECT_NE(tab()->loadState.get().kind, TabLoadState::Kind::failed);
    EXPECT_FALSE(showsErrorPage());
    // Finished downloads are not added to the profile's list.
    EXPECT_EQ(state->profileData.get().downloads, downloadsBefore);
}

// The page on screen stays when a typed address becomes a download or is a
// file the engine does not show, and the tab and omnibox name it again: the
// star must not bookmark the page's title under the other address.
TEST_F(DownloadsTest, NavigationsThatShowNothingLeaveTheTabOnThePageOnScreen) {
    server.addHTML("/page", "<html><head><title>The Page</title></head><body>words</body></html>");
    server.add("/report", attachment("report.txt", kReport));
    server.add("/blob", LoopbackServer::Page{200, "application/x-quorelle-unknown", "bytes"});
    start();
    const std::string page = server.url("/page");
    ASSERT_TRUE(loadPage(page));
    ASSERT_TRUE(runUntil([&] { return tab()->title.get() == "The Page" && queue.pending() == 0; }));
    const std::string letter = tab()->faviconLetter.get();
    auto namesThePage = [&](const std::string& address, const std::string& title) {
        return runUntil([&] {
            return tab()->urlString.get() == address && tab()->title.get() == title &&
                   state->omniboxText.get() == BrowserNavigation::displayText(tab().get()) && !tab()->isLoading.get() &&
                   queue.pending() == 0;
        });
    };

    state->navigateActive(server.url("/report"));
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_TRUE(namesThePage(page, "The Page")) << tab()->urlString.get();
    dialogs.answer(0, std::nullopt);
    runFor(300);
    EXPECT_TRUE(namesThePage(page, "The Page")) << tab()->urlString.get();
    EXPECT_EQ(state->omniboxText.get(), page);

    auto blobRequests = [&] { return std::count(server.requestedPaths.begin(), server.requestedPaths.end(), "/blob"); };
    state->navigateActive(server.url("/blob"));
    ASSERT_TRUE(runUntil([&] { return blobRequests() == 1; }));
    EXPECT_TRUE(namesThePage(page, "The Page")) << tab()->urlString.get();
    EXPECT_EQ(state->omniboxText.get(), page);
    EXPECT_FALSE(tab()->isInternal.get());
    EXPECT_EQ(tab()->faviconLetter.get(), letter);
    EXPECT_EQ(viewURI(), page);
    EXPECT_NE(tab()->loadState.get().kind, TabLoadState::Kind::failed);

    // Over an internal page the tab is that internal page again.
    ASSERT_TRUE(loadPage("vx://settings"));
    state->navigateActive(server.url("/blob"));
    ASSERT_TRUE(runUntil([&] { return blobRequests() == 2; }));
    EXPECT_TRUE(namesThePage("vx://settings", "Settings")) << tab()->urlString.get();
    EXPECT_TRUE(tab()->isInternal.get());
    EXPECT_TRUE(tab()->isSecure.get());
    EXPECT_EQ(state->omniboxText.get(), "vx://settings");
}

TEST_F(DownloadsTest, AChosenExistingFileIsReplaced) {
    server.add("/report", attachment("report.txt", kReport));
    startWithToastCount();
    const std::string path = folder.file("report.txt");
    ASSERT_TRUE(g_file_set_contents(path.c_str(), "older and longer contents", -1, nullptr));
    dialogs.answerAtOnce = path;
    state->navigateActive(server.url("/report"));
    ASSERT_TRUE(runUntil([&] { return toast().has_value(); }));
    EXPECT_EQ(toast(), std::optional<std::string>("Download finished"));
    EXPECT_EQ(ScratchFolder::read(path), kReport);
}

TEST_F(DownloadsTest, DismissingTheDialogCancelsWithoutAWord) {
    server.add("/report", attachment("report.txt", kReport));
    startWithToastCount();
    state->navigateActive(server.url("/report"));
    ASSERT_TRUE(waitForRequests(1));
    dialogs.answer(0, std::nullopt);
    runFor(1000);
    EXPECT_EQ(toastSets, 0);
    EXPECT_FALSE(toast().has_value());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(DownloadsTest, DismissingAtOnceCancelsWithoutAWord) {
    server.add("/report", attachment("report.txt", kReport));
    startWithToastCount();
    dialogs.answerAtOnce = std::optional<std::string>();
    state->navigateActive(server.url("/report"));
    ASSERT_TRUE(waitForRequests(1));
    runFor(1000);
    EXPECT_EQ(toastSets, 0);
}

TEST_F(DownloadsTest, AFailedDownloadGivesExactlyOneFailureToast) {
    server.add("/report", attachment("report.txt", kReport));
    startWithToastCount();
    state->navigateActive(server.url("/report"));
    ASSERT_TRUE(waitForRequests(1));
    dialogs.answer(0, folder.file("no-such-folder/report.txt"));
    ASSERT_TRUE(runUntil([&] { return toast().has_value(); }));
    runFor(500);
    EXPECT_EQ(toastSets, 1);
    ASSERT_TRUE(toast().has_value());
    EXPECT_EQ(toast()->rfind("Download failed: ", 0), 0u) << *toast();
    EXPECT_GT(toast()->size(), std::string("Download failed: ").size());
}

TEST_F(DownloadsTest, WithoutDialogsADownloadIsCancelled) {
    services->fileDialogs = nullptr;
    server.add("/report", attachment("report.txt", kReport));
    startWithToastCount();
    state->navigateActive(server.url("/report"));
    runFor(1500);
    EXPECT_EQ(toastSets, 0);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(DownloadsTest, SeveralDownloadsEachGetTheirOwnDialogAndToast) {
    server.add("/one", attachment("one.txt", "first file"));
    server.add("/two", attachment("two.txt", "second file"));
    startWithToastCount();
    state->navigateActive(server.url("/one"));
    ASSERT_TRUE(waitForRequests(1));
    state->newTab(server.url("/two"));
    showActiveTab();
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(dialogs.requests[0].suggestedName, "one.txt");
    EXPECT_EQ(dialogs.requests[1].suggestedName, "two.txt");

    dialogs.answer(1, folder.file("2.txt"));
    dialogs.answer(0, folder.file("1.txt"));
    ASSERT_TRUE(runUntil([&] { return toastSets == 2; }));
    runFor(300);
    EXPECT_EQ(toastSets, 2);
    EXPECT_EQ(ScratchFolder::read(folder.file("1.txt")), "first file");
    EXPECT_EQ(ScratchFolder::read(folder.file("2.txt")), "second file");
}

TEST_F(DownloadsTest, AGuestWindowsDownloadsAreLookedAfterToo) {
    server.add("/report", attachment("report.txt", kReport));
    state = makeState(true);
    showActiveTab();
    ASSERT_TRUE(waitForPage("vx://newtab"));
    dialogs.answerAtOnce = folder.file("guest.txt");
    state->navigateActive(server.url("/report"));
    ASSERT_TRUE(runUntil([&] { return state->toastMessage.get().has_value(); }));
    EXPECT_EQ(state->toastMessage.get(), std::optional<std::string>("Download finished"));
    EXPECT_EQ(ScratchFolder::read(folder.file("guest.txt")), kReport);
}

// A session handed over twice is still looked after once: one dialog, one
// toast, and the finished download is not kept as running.
TEST_F(DownloadsTest, ASessionWatchedTwiceAsksOnceAndToastsOnce) {
    server.add("/report", attachment("report.txt", kReport));
    startWithToastCount();
    auto session = GObjectPtr<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral());
    auto* bare = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "network-session", session.get(), nullptr));
    auto held = GObjectPtr<WebKitWebView>::sink(bare);
    std::weak_ptr<AppState> weak = state;
    DownloadCoordinator downloads(
        queue, [this] { return &dialogs; },
        [weak, bare](WebKitWebView* view) { return view == bare ? weak.lock() : nullptr; });
    downloads.watch(session.get());
    downloads.watch(session.get());
    dialogs.answerAtOnce = folder.file("kept.txt");
    webkit_web_view_load_uri(bare, server.url("/report").c_str());
    ASSERT_TRUE(runUntil([&] { return toast().has_value() && queue.pending() == 0; }));
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(toastSets, 1);
    EXPECT_EQ(toast(), std::optional<std::string>("Download finished"));
    EXPECT_EQ(ScratchFolder::read(folder.file("kept.txt")), kReport);
    EXPECT_EQ(downloads.activeCount(), 0u);
}

}  // namespace
}  // namespace quorelle::testing
