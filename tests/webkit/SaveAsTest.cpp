// "Save As…": the markup a page shows, scripts' changes included, written to
// the file the user picks.
#include "webkit/WebTestSupport.h"

#include "model/JsonCodec.h"
#include "support/FakeFileDialogs.h"
#include "support/ScratchFolder.h"
#include "web/PageSaver.h"
#include "web/WebContextMenuHandler.h"

namespace quorelle::testing {
namespace {

const char* kPage =
    "<html><head><meta charset=utf-8><title>Grüße</title></head>"
    "<body><p id=text>Grüße aus Köln — 東京 ✓</p>"
    "<script>document.body.appendChild(document.createElement('aside')).id = 'added';</script></body></html>";

class SaveAsTest : public WebTest {
protected:
    void loadTestPage() {
        server.addHTML("/page", kPage);
        start();
        ASSERT_TRUE(loadPage(server.url("/page")));
    }
    void save() { PageSaver::savePageAs(*webStore, tab()->id(), dialogs); }
    // The page's markup as the page itself reports it now.
    std::string pageMarkup() {
        const auto answer = json::parse(evalJS("document.documentElement.outerHTML"));
        return answer && answer->is_string() ? answer->get<std::string>() : std::string("<no markup>");
    }

    FakeFileDialogs dialogs;
    ScratchFolder folder;
};

TEST_F(SaveAsTest, WritesTheCurrentMarkupAsUTF8AndSaysSo) {
    loadTestPage();
    evalJS("document.getElementById('text').dataset.edited = 'yes'");
    const std::string path = folder.file("saved.html");
    dialogs.answerAtOnce = path;
    save();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].suggestedName, "page.html");
    ASSERT_EQ(dialogs.requests[0].filters.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].filters[0].mimeTypes, std::vector<std::string>{"text/html"});

    ASSERT_TRUE(runUntil([&] { return state->toastMessage.get() == std::optional<std::string>("Page saved"); }));
    const auto written = ScratchFolder::read(path);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, pageMarkup());
    EXPECT_NE(written->find("Grüße aus Köln — 東京 ✓"), std::string::npos);
    EXPECT_NE(written->find("data-edited=\"yes\""), std::string::npos);
    EXPECT_NE(written->find("id=\"added\""), std::string::npos);
    EXPECT_TRUE(g_utf8_validate(written->data(), static_cast<gssize>(written->size()), nullptr));
}

TEST_F(SaveAsTest, ReplacesAnExistingFile) {
    loadTestPage();
    const std::string path = folder.file("page.html");
    ASSERT_TRUE(PageSaver::writeFile(path, std::string(100000, 'x')));
    dialogs.answerAtOnce = path;
    save();
    ASSERT_TRUE(runUntil([&] { return state->toastMessage.get().has_value(); }));
    EXPECT_EQ(ScratchFolder::read(path), pageMarkup());
}

TEST_F(SaveAsTest, DismissingTheDialogSavesNothing) {
    loadTestPage();
    dialogs.answerAtOnce = std::optional<std::string>();
    save();
    runFor(300);
    EXPECT_FALSE(state->toastMessage.get().has_value());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(SaveAsTest, AFailedWriteShowsNothing) {
    loadTestPage();
    dialogs.answerAtOnce = folder.file("missing-folder/page.html");
    save();
    runFor(500);
    EXPECT_FALSE(state->toastMessage.get().has_value());
    EXPECT_FALSE(PageSaver::writeFile(folder.file("missing-folder/other.html"), "x"));
}

TEST_F(SaveAsTest, TheMenuEntryAsksTheBrowsersDialogs) {
    loadTestPage();
    services->fileDialogs = &dialogs;
    auto menu = GObjectPtr<WebKitContextMenu>::adopt(webkit_context_menu_new());
    WebContextMenuHandler handler(*webStore, host()->coordinator().weak_from_this());
    ASSERT_TRUE(handler.customizeContextMenu(menu.get(), view()));
    GAction* saveAs = webkit_context_menu_item_get_gaction(webkit_context_menu_get_item_at_position(menu.get(), 4));
    ASSERT_STREQ(g_action_get_name(saveAs), "save-as");
    g_action_activate(saveAs, nullptr);
    ASSERT_EQ(dialogs.requests.size(), 1u);

    // The answer comes after the dialog has been open a while.
    runFor(100);
    dialogs.answer(0, folder.file("later.html"));
    ASSERT_TRUE(runUntil([&] { return state->toastMessage.get().has_value(); }));
    EXPECT_EQ(ScratchFolder::read(folder.file("later.html")), pageMarkup());
}

TEST_F(SaveAsTest, ATabClosedWhileItsDialogIsOpenOrItsPageIsReadSavesNothing) {
    loadTestPage();
    const std::string page = server.url("/page");
    for (std::size_t round = 0; round < 9; ++round) {  // each way three times
        SCOPED_TRACE("round " + std::to_string(round));
        state->newTab(page);
        showActiveTab();
        ASSERT_TRUE(waitForPage(page));
        const auto asking = tab();
        // The engine may hold a closed tab's view a while longer (a script of
        // the page still answering): the tab being gone is what counts.
        auto lingering = GObjectPtr<WebKitWebView>::retain(view());
        const std::string path = folder.file("round-" + std::to_string(round) + ".html");
        save();
        ASSERT_EQ(dialogs.requests.size(), round + 1);
        switch (round % 3) {
            case 0:  // closed while the dialog is open
                state->closeTab(asking);
                dialogs.answer(round, path);
                break;
            case 1:  // closed while its page is being read for the answer
                dialogs.answer(round, path);
                state->closeTab(asking);
                break;
            default:  // the last tab: closing it leaves a new-tab page in its place
                state->closeTab(AppState::TabPtr(state->tabs.get().front()));
                ASSERT_EQ(state->tabs.get().size(), 1u);
                state->closeTab(asking);
                dialogs.answer(round, path);
        }
        showActiveTab();
        // A script sent after the answer is answered after any the answer sent.
        auto answered = std::make_shared<bool>(false);
        webkit_web_view_evaluate_javascript(
            lingering.get(), "1", -1, nullptr, nullptr, nullptr,
            [](GObject*, GAsyncResult*, gpointer data) {
                std::unique_ptr<std::shared_ptr<bool>> done(static_cast<std::shared_ptr<bool>*>(data));
                **done = true;
            },
            new std::shared_ptr<bool>(answered));
        ASSERT_TRUE(runUntil([&] { return *answered && queue.pending() == 0; }));
        EXPECT_FALSE(ScratchFolder::read(path).has_value());
        EXPECT_FALSE(state->toastMessage.get().has_value());
        ASSERT_EQ(state->tabs.get().size(), 1u);
    }
}

}  // namespace
}  // namespace quorelle::testing
