#pragma once

// Real folders for the data store tests: a fresh temporary root per test,
// small file helpers, and ways to make a folder tree unwritable and writes
// fail like a full disk, even for the superuser.

#include <glib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <fcntl.h>
#include <functional>
#include <pwd.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quorelle::testing {

// A temporary folder, removed with everything in it at the end of the test.
class TemporaryFolder {
public:
    TemporaryFolder() {
        GError* error = nullptr;
        gchar* made = g_dir_make_tmp("quorelle-XXXXXX", &error);
        if (made) path_ = made;
        g_free(made);
        g_clear_error(&error);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator+(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

inline unsigned permissions(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

// Names in a folder, sorted.
inline std::vector<std::string> listNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Makes every folder of a tree (or only its root) refuse new, renamed and
// removed entries: mode 0500, plus the immutable flag when running as the
// superuser (who ignores modes). Undone at the end of the scope.
class UnwritableTree {
public:
    enum class Reach { wholeTree, rootOnly };

    explicit UnwritableTree(const std::string& root, Reach reach = Reach::wholeTree) {
        folders_.push_back(root);
        std::error_code error;
        if (reach == Reach::wholeTree)
            for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error))
                if (entry.is_directory() && !entry.is_symlink()) folders_.push_back(entry.path().string());
        for (const auto& folder : folders_) {
            ::chmod(folder.c_str(), 0500);
            if (::geteuid() == 0) setImmutable(folder, true);
        }
        std::string probe = root + "/.probe";
        int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY, 0600);
        effective_ = fd < 0;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
        }
    }
    ~UnwritableTree() {
        for (const auto& folder : folders_) {
            if (::geteuid() == 0) setImmutable(folder, false);
            ::chmod(folder.c_str(), 0700);
        }
    }
    UnwritableTree(const UnwritableTree&) = delete;
    UnwritableTree& operator=(const UnwritableTree&) = delete;

    // False when this system cannot make folders unwritable (the test skips).
    bool effective() const { return effective_; }

private:
    static void setImmutable(const std::string& folder, bool on) {
        int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }

    std::vector<std::string> folders_;
    bool effective_ = false;
};

// Runs `work` on a thread of its own that file modes bind as they bind an
// ordinary user, the superuser included: it has neither the capability to
// override them nor the one to read and search past them. Capabilities are
// per thread, and the threads `work` starts inherit the thread's own; the
// rest of the process keeps its capabilities. False when they could not be
// dropped.
inline bool runBoundByFileModes(const std::function<void()>& work) {
    bool dropped = false;
    std::thread([&] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capget, &header, data) != 0) return;
        for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            data[0].effective &= ~(1u << capability);
        if (::syscall(SYS_capset, &header, data) != 0) return;
        dropped = true;
        work();
    }).join();
    return dropped;
}

// A file in the user's folder that the user cannot open, as a run by root
// leaves one. Run by the superuser, the test gives it to another user (uid
// 65534) with mode 0600, which binds only what file modes bind
// (runBoundByFileModes, a browser launched with `boundByFileModes`); an
// ordinary user, who cannot give a file away, makes it one of its own that
// it may not open (mode 0): the browser, which changes no mode of it, cannot
// open it either.
struct UnopenableFile {
    static constexpr uid_t otherUser = 65534;

    // Makes the file at `path` one. False when it could not.
    static bool make(const std::string& path) {
        if (::geteuid() != 0) return ::chmod(path.c_str(), 0) == 0;
        return ::chown(path.c_str(), otherUser, otherUser) == 0 && ::chmod(path.c_str(), 0600) == 0;
    }
    // What the browser says of one at `path`.
    static std::string described(const std::string& path) {
        if (::geteuid() != 0) return path + " cannot be opened (Permission denied)";
        return path + " belongs to " + otherUserShown() + " and cannot be opened";
    }
    // The other user as the browser names them.
    static std::string otherUserShown() {
        const passwd* entry = ::getpwuid(otherUser);
        const std::string id = "uid " + std::to_string(otherUser);
        return entry ? std::string(entry->pw_name) + " (" + id + ")" : id;
    }
    // Whether the file at `path` is one still, owner and mode as made.
    static bool isOne(const std::string& path) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
        if (::geteuid() != 0) return info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0;
        return info.st_uid == otherUser && (info.st_mode & 07777) == 0600;
    }
    // The bytes of one, read as it stays one.
    static std::string bytes(const std::string& path) {
        if (::geteuid() == 0) return readBytes(path);
        ::chmod(path.c_str(), 0600);
        std::string read = readBytes(path);
        ::chmod(path.c_str(), 0);
        return read;
    }
};

// While it lives, every write that would grow a file of this process fails
// with EFBIG ("File too large"), as a full disk fails it, for the superuser
// too: the file size limit is dropped to nothing and its signal ignored.
class FullDisk {
public:
    FullDisk() {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved_;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

}  // namespace quorelle::testing
