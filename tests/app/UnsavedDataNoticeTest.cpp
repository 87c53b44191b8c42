// What the start's toast says of the website data folders, over real
// folders: what stood where one belongs and was set aside, and, when one of
// them cannot be used, that the run keeps website data in memory only,
// naming the folder and why. (What the start writes on stderr is the browser
// process's, SecondProcessTest.)
#include "app/UnsavedDataNotice.h"
#include "support/WebServicesTest.h"

#include <glib.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorelle::testing {
namespace {

class UnsavedDataNoticeTest : public WebServicesTest {
protected:
    UnsavedDataNoticeTest() : WebServicesTest("quorelle-notice-XXXXXX") { state = makeState(); }

    // The toast the start shows over `websiteData`'s folders.
    std::optional<std::string> toastAtStart(WebsiteDataService& websiteData) {
        state->toastMessage.set(std::nullopt);
        UnsavedDataNotice::tellAtStart(*store, websiteData, *state);
        return state->toastMessage.get();
    }
};

// The name of the one entry beside `path` that it was set aside as.
std::string setAsideName(const std::string& path) {
    const std::filesystem::path place(path);
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(place.parent_path()))
        if (entry.path().filename().string().starts_with(place.filename().string() + ".unreadable-"))
            found.push_back(entry.path().filename().string());
    return found.size() == 1 ? found.front() : std::to_string(found.size()) + " set aside from " + path;
}

// A file on the way to a folder makes it unusable whoever runs the test.
TEST_F(UnsavedDataNoticeTest, TheToastNamesWhatWasSetAsideAndTheWebsiteDataFoldersThatCannotBeUsed) {
    EXPECT_EQ(toastAtStart(*websiteData), std::nullopt) << "nothing to tell";

    const std::string data = scratch_ + "/set-aside/data", cache = scratch_ + "/set-aside/cache";
    std::filesystem::create_directories(scratch_ + "/set-aside");
    ASSERT_TRUE(g_file_set_contents(data.c_str(), "not a folder", -1, nullptr));
    ASSERT_EQ(::mkfifo(cache.c_str(), 0600), 0);
    WebsiteDataService setAside(queue, {data, cache});
    const auto toast = toastAtStart(setAside);
    EXPECT_EQ(toast,
              data + " is not a folder: it is kept as " + setAsideName(data) +
                  ", and website data goes to a new folder\n" + cache + " is not a folder: it is kept as " +
                  setAsideName(cache) + ", and website data goes to a new folder");

    const std::string file = scratch_ + "/not-a-folder";
    ASSERT_TRUE(g_file_set_contents(file.c_str(), "not a folder", -1, nullptr));
    const std::string inMemory = "Cookies and other website data are kept in memory only and won't be saved: ";
    const std::string refused = " cannot be written (" + file + " is not a folder)";
    WebsiteDataService dataUnusable(queue, {file + "/data", scratch_ + "/usable/cache"});
    EXPECT_EQ(toastAtStart(dataUnusable), inMemory + file + "/data" + refused);
    WebsiteDataService cacheUnusable(queue, {scratch_ + "/usable/data", file + "/cache"});
    EXPECT_EQ(toastAtStart(cacheUnusable), inMemory + file + "/cache" + refused);
    WebsiteDataService neither(queue, {file + "/data", file + "/cache"});
    EXPECT_EQ(toastAtStart(neither), inMemory + file + "/data" + refused + "; " + file + "/cache" + refused);
}

}  // namespace
}  // namespace quorelle::testing
