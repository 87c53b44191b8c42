#include "window/OpenFileCommand.h"

#include "support/FakeFileDialogs.h"
#include "support/ScratchFolder.h"
#include "window/WindowTestSupport.h"

namespace quorelle::testing {
namespace {

class OpenFileCommandTest : public WindowStateTest {
protected:
    void SetUp() override {
        WindowStateTest::SetUp();
        web_.loads.clear();
    }
    AppState::TabPtr tab() const { return state->activeTab(); }

    FakeFileDialogs dialogs;
    ScratchFolder folder;
};

TEST_F(OpenFileCommandTest, WithoutAFocusedWindowNoDialogIsShown) {
    OpenFileCommand::open(nullptr, dialogs);
    OpenFileCommand::handler(dialogs)(nullptr);
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(OpenFileCommandTest, AsksForOneFileOfTheUsualKinds) {
    OpenFileCommand::open(state.get(), dialogs);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_FALSE(dialogs.requests[0].save);
    std::vector<std::string> kinds;
    for (const auto& filter : dialogs.requests[0].filters) {
        for (const auto& type : filter.mimeTypes) kinds.push_back(type);
        for (const auto& pattern : filter.patterns) kinds.push_back(pattern);
    }
    // The dialog starts on the first, which must hide no file.
    EXPECT_EQ(kinds, (std::vector<std::string>{"*", "text/html", "application/pdf", "text/plain", "image/*"}));
    EXPECT_EQ(dialogs.requests[0].filters.front().name, "All files");
}

TEST_F(OpenFileCommandTest, DismissingTheDialogLeavesTheTabAlone) {
    const std::string before = tab()->urlString.get();
    OpenFileCommand::open(state.get(), dialogs);
    dialogs.answer(0, std::nullopt);
    drain();
    EXPECT_EQ(tab()->urlString.get(), before);
    EXPECT_TRUE(web_.loads.empty());
}

TEST_F(OpenFileCommandTest, TheChosenFileOpensInTheActiveTabAsAFileAddress) {
    const std::string path = folder.file("my page #1.html");
    OpenFileCommand::handler(dialogs)(state.get());
    ASSERT_EQ(dialogs.requests.size(), 1u);
    dialogs.answer(0, path);
    // The navigation waits for the main queue, after the dialog has closed.
    EXPECT_TRUE(web_.loads.empty());
    drain();
    gchar* expected = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].tabID, tab()->id());
    EXPECT_EQ(web_.loads[0].address, expected);
    EXPECT_EQ(tab()->urlString.get(), expected);
    EXPECT_NE(std::string(expected).find("my%20page%20%231.html"), std::string::npos) << expected;
    g_free(expected);
}

TEST_F(OpenFileCommandTest, AStateGoneBeforeTheAnswerOpensNothing) {
    OpenFileCommand::open(state.get(), dialogs);
    state.reset();
    dialogs.answer(0, folder.file("late.html"));
    drain();
    EXPECT_TRUE(web_.loads.empty());
}

}  // namespace
}  // namespace quorelle::testing
