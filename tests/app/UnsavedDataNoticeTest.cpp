// What the start's toast says of the website data folders, over real
// folders: what stood where one belongs, or what the engine would open in
// one and the user cannot, and was set aside, and, when one of them cannot be
// used, that the run keeps website data in memory only, naming the folder and
// why. (What the start writes on stderr is the browser
// process's, SecondProcessTest.)
#include "app/UnsavedDataNotice.h"
#include "support/WebServicesTest.h"
#include "unit/DataStoreTestSupport.h"

#include <glib.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

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

    // A cookie file the user cannot open, as a run by root leaves one, goes
    // with the journal files beside it, whoever's they are.
    const std::string inside = scratch_ + "/inside/data", cookies = inside + "/cookies.sqlite";
    std::filesystem::create_directories(inside);
    std::filesystem::permissions(inside, std::filesystem::perms::owner_all);
    for (const auto& path : {cookies, cookies + "-wal"})
        ASSERT_TRUE(g_file_set_contents(path.c_str(), "kept", -1, nullptr));
    ASSERT_TRUE(UnopenableFile::make(cookies));
    WebsiteDataService cookiesAside(queue, {inside, scratch_ + "/inside/cache"});
    ASSERT_TRUE(runBoundByFileModes([&] { cookiesAside.makeFolders(); }));
    EXPECT_EQ(toastAtStart(cookiesAside),
              UnopenableFile::described(cookies) + ": it is kept as " + setAsideName(cookies) +
                  ", and a new one takes its place\n" + cookies + "-wal goes with " + cookies + ": it is kept as " +
                  setAsideName(cookies + "-wal") + ", and a new one takes its place");

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

// A folder that takes new entries but lets none be renamed or removed, while
// this lives.
class AppendOnlyFolder {
public:
    explicit AppendOnlyFolder(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY)) {
        effective_ = fd_ >= 0 && setFlag(true);
    }
    ~AppendOnlyFolder() {
        if (effective_) setFlag(false);
        if (fd_ >= 0) ::close(fd_);
    }
    AppendOnlyFolder(const AppendOnlyFolder&) = delete;
    AppendOnlyFolder& operator=(const AppendOnlyFolder&) = delete;

    bool effective() const { return effective_; }

private:
    bool setFlag(bool on) {
        int flags = 0;
        if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return false;
        flags = on ? (flags | FS_APPEND_FL) : (flags & ~FS_APPEND_FL);
        return ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }

    int fd_;
    bool effective_ = false;
};

// What the engine would open and the user cannot, and cannot set aside
// either, leaves the run's website data in memory, and the toast says why.
TEST_F(UnsavedDataNoticeTest, ACookieFileThatCannotBeSetAsideLeavesWebsiteDataInMemory) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can make a folder that lets nothing in it be renamed, and leave a file "
                        "there that the user cannot open";
    const std::string data = scratch_ + "/append-only/data", cookies = data + "/cookies.sqlite";
    std::filesystem::create_directories(data);
    ASSERT_TRUE(g_file_set_contents(cookies.c_str(), "root's", -1, nullptr));
    ASSERT_TRUE(UnopenableFile::make(cookies));
    const AppendOnlyFolder appendOnly(data);
    if (!appendOnly.effective()) GTEST_SKIP() << "this file system has no append-only folders";
    WebsiteDataService service(queue, {data, scratch_ + "/append-only/cache"});
    ASSERT_TRUE(runBoundByFileModes([&] { service.makeFolders(); }));
    EXPECT_EQ(toastAtStart(service), "Cookies and other website data are kept in memory only and won't be saved: " +
                                         data + " cannot be written (" + UnopenableFile::described(cookies) +
                                         ", and it cannot be set aside: Operation not permitted)");
    EXPECT_TRUE(UnopenableFile::isOne(cookies));
}

}  // namespace
}  // namespace quorelle::testing
