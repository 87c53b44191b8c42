// What the start's toast says of the website data folders, over real
// folders: what stood where one belongs, or what the engine would open in
// one and cannot use, and was set aside, and, when one of them cannot be
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
#include <tuple>
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

    // What the engine cannot use for what it is, where a file or a folder
    // belongs: a folder in the cookie file's place, a FIFO that would hang
    // the engine as it reads a salt, a file in the place of a folder on the
    // way to one and of a folder it keeps salts in. The superuser sets aside
    // another user's file too, one it could open.
    const std::string kinds = scratch_ + "/kinds/data", kindsCache = scratch_ + "/kinds/cache";
    const std::string hsts = kindsCache + "/HSTS/hsts-storage.sqlite";
    std::filesystem::create_directories(kinds + "/cookies.sqlite");
    std::filesystem::create_directories(kinds + "/storage");
    ASSERT_EQ(::mkfifo((kinds + "/storage/salt").c_str(), 0600), 0);
    std::filesystem::create_directories(kinds + "/deviceidhashsalts");
    for (const auto& path : {kinds + "/mediakeys", kinds + "/deviceidhashsalts/1"})
        ASSERT_TRUE(g_file_set_contents(path.c_str(), "not a folder", -1, nullptr));
    std::filesystem::create_directories(kindsCache + "/HSTS");
    ASSERT_TRUE(g_file_set_contents(hsts.c_str(), "nobody's", -1, nullptr));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(hsts.c_str(), UnopenableFile::otherUser, 0), 0);
    }
    WebsiteDataService kindsAside(queue, {kinds, kindsCache});
    const auto kindsToast = toastAtStart(kindsAside);
    const auto newOne = [](const std::string& path) {
        return ": it is kept as " + setAsideName(path) + ", and a new one takes its place";
    };
    const std::string othersLine =
        ::geteuid() == 0 ? "\n" + hsts + " belongs to " + UnopenableFile::otherUserShown() + newOne(hsts) : "";
    EXPECT_EQ(kindsToast, kinds + "/cookies.sqlite is a folder" + newOne(kinds + "/cookies.sqlite") + "\n" + kinds +
                              "/storage/salt is not a regular file" + newOne(kinds + "/storage/salt") + "\n" + kinds +
                              "/mediakeys is not a folder" + newOne(kinds + "/mediakeys") + "\n" + kinds +
                              "/deviceidhashsalts/1 is not a folder" + newOne(kinds + "/deviceidhashsalts/1") +
                              othersLine);

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

// A file or folder with an inode flag set while this lives: append-only
// (a folder then takes new entries but lets none be renamed or removed) or
// immutable (a file then cannot be written, renamed or removed). Cleared
// again whatever the test met.
class InodeFlag {
public:
    InodeFlag(const std::string& path, int flag) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), flag_(flag) {
        effective_ = fd_ >= 0 && set(true);
    }
    ~InodeFlag() {
        if (effective_) set(false);
        if (fd_ >= 0) ::close(fd_);
    }
    InodeFlag(const InodeFlag&) = delete;
    InodeFlag& operator=(const InodeFlag&) = delete;

    bool effective() const { return effective_; }

private:
    bool set(bool on) {
        int flags = 0;
        if (::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return false;
        flags = on ? (flags | flag_) : (flags & ~flag_);
        return ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
    }

    int fd_;
    int flag_;
    bool effective_ = false;
};

// What the engine cannot use and cannot be set aside either leaves the
// run's website data in memory, and the toast says why: a cookie file the
// user cannot open in a folder that lets nothing in it be renamed, or an
// immutable cookie file, which the engine would read but never write.
TEST_F(UnsavedDataNoticeTest, ACookieFileThatCannotBeSetAsideLeavesWebsiteDataInMemory) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can make a folder that lets nothing in it be renamed, or an immutable "
                        "file, and leave a file there that the user cannot open";
    // The flag, and whether it is set on the data folder, with a cookie file
    // in it that the user cannot open, or on the user's own cookie file.
    const std::vector<std::tuple<const char*, int, bool>> cases = {{"append-only", FS_APPEND_FL, true},
                                                                   {"immutable", FS_IMMUTABLE_FL, false}};
    for (const auto& [what, flag, onTheFolder] : cases) {
        SCOPED_TRACE(what);
        const std::string data = scratch_ + "/" + what + "/data", cookies = data + "/cookies.sqlite";
        std::filesystem::create_directories(data);
        ASSERT_TRUE(g_file_set_contents(cookies.c_str(), "root's", -1, nullptr));
        if (onTheFolder) {
            ASSERT_TRUE(UnopenableFile::make(cookies));
        }
        const InodeFlag flagged(onTheFolder ? data : cookies, flag);
        if (!flagged.effective()) GTEST_SKIP() << "this file system has no " << what << " entries";
        WebsiteDataService service(queue, {data, scratch_ + "/" + what + "/cache"});
        ASSERT_TRUE(runBoundByFileModes([&] { service.makeFolders(); }));
        const std::string said = onTheFolder ? UnopenableFile::described(cookies)
                                             : cookies + " cannot be written (Operation not permitted)";
        EXPECT_EQ(toastAtStart(service), "Cookies and other website data are kept in memory only and won't be saved: " +
                                             data + " cannot be written (" + said +
                                             ", and it cannot be set aside: Operation not permitted)");
        EXPECT_EQ(readBytes(cookies), "root's");
        if (onTheFolder) {
            EXPECT_TRUE(UnopenableFile::isOne(cookies));
        }
    }
}

}  // namespace
}  // namespace quorelle::testing
