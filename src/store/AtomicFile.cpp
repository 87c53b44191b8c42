#include "store/AtomicFile.h"

#include "model/Date.h"
#include "store/FileDescriptor.h"

#include <glib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorelle {
namespace {

// A temporary file is named ".<name>" + marker + unique part, the unique part
// being what mkstemp makes of its template.
constexpr std::string_view temporaryMarker = ".tmp-";
constexpr std::string_view temporaryUniquePart = "XXXXXX";

// Removes a temporary file unless the replacement went through.
class TemporaryFile {
public:
    TemporaryFile(int folder, std::string path) : folder_(folder), path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!committed_) ::unlinkat(folder_, path_.c_str(), 0);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    void commit() { committed_ = true; }

private:
    int folder_;
    std::string path_;
    bool committed_ = false;
};

// mkstemp() in `folder`: replaces the template's last six characters with
// letters and digits until the name is a new file, made with mode 0600.
int makeTemporary(int folder, std::string& pattern) {
    static constexpr std::string_view characters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = pattern.size() - temporaryUniquePart.size(); i < pattern.size(); ++i)
            pattern[i] = characters[g_random_int_range(0, static_cast<int>(characters.size()))];
        const int fd = ::openat(folder, pattern.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool readAll(int fd, std::string& out, std::size_t sizeHint) {
    out.clear();
    out.reserve(sizeHint + 1);
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) return true;
        out.append(buffer, static_cast<std::size_t>(got));
    }
}

// rename() within `folder` that refuses to replace an existing entry.
bool renameWithoutReplacing(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace flag: check first. Only the
    // browser's own main thread moves files aside, so the gap is harmless.
    switch (AtomicFile::presence(to, folder)) {
        case AtomicFile::Presence::present:
            errno = EEXIST;
            return false;
        case AtomicFile::Presence::unknown:
            return false;
        case AtomicFile::Presence::absent:
            break;
    }
    return ::renameat(folder, from.c_str(), folder, to.c_str()) == 0;
}

}  // namespace

AtomicFile::Presence AtomicFile::presence(const std::string& path, int folder) {
    struct stat info;
    if (::fstatat(folder, path.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) return Presence::present;
    // Only "no such entry" says that nothing is there; ENOTDIR (a file where
    // a folder belongs) hides whatever a folder put back there would hold.
    return errno == ENOENT ? Presence::absent : Presence::unknown;
}

std::error_code AtomicFile::lastSystemError() { return {errno != 0 ? errno : EIO, std::system_category()}; }

std::string AtomicFile::temporaryPrefix(const std::string& path) {
    auto slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + std::string(temporaryMarker);
}

bool AtomicFile::isTemporaryName(std::string_view fileName) {
    const std::size_t tail = temporaryMarker.size() + temporaryUniquePart.size();
    // A leading dot, a name of at least one character, then the tail.
    if (fileName.size() < 2 + tail || fileName.front() != '.' || fileName.find('/') != std::string_view::npos)
        return false;
    const std::string_view end = fileName.substr(fileName.size() - tail);
    if (!end.starts_with(temporaryMarker)) return false;
    return std::all_of(end.begin() + temporaryMarker.size(), end.end(),
                       [](char c) { return g_ascii_isalnum(c); });
}

AtomicFile::ReadResult AtomicFile::read(const std::string& path, int folder) {
    // Non-blocking, so that a pipe in the file's place cannot hang the browser.
    FileDescriptor fd(::openat(folder, path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) return {errno == ENOENT ? ReadStatus::missing : ReadStatus::unreadable, {}};
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {ReadStatus::unreadable, {}};
    ReadResult result{ReadStatus::read, {}};
    if (!readAll(fd.get(), result.bytes, static_cast<std::size_t>(info.st_size))) return {ReadStatus::unreadable, {}};
    return result;
}

std::error_code AtomicFile::replace(const std::string& path, std::string_view bytes, Durability durability,
                                    int folder) {
    std::string pattern = temporaryPrefix(path) + std::string(temporaryUniquePart);
    int raw = makeTemporary(folder, pattern);
    if (raw < 0) return lastSystemError();
    FileDescriptor fd(raw);
    TemporaryFile temporary(folder, pattern);
    // The mode must not depend on the process's umask: proxy passwords live
    // in these files.
    if (::fchmod(fd.get(), 0600) != 0) return lastSystemError();
    if (!writeAll(fd.get(), bytes)) return lastSystemError();
    if (durability == Durability::synced && ::fdatasync(fd.get()) != 0) return lastSystemError();
    if (!fd.close()) return lastSystemError();
    if (::renameat(folder, temporary.path().c_str(), folder, path.c_str()) != 0) return lastSystemError();
    temporary.commit();
    return {};
}

std::optional<std::string> AtomicFile::renameAside(const std::string& path, std::string_view suffix, int folder) {
    std::string base = path + std::string(suffix);
    for (int attempt = 1; attempt <= 100; ++attempt) {
        std::string target = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (renameWithoutReplacing(folder, path, target)) return target;
        if (errno != EEXIST && errno != ENOTEMPTY) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> AtomicFile::setAside(const std::string& path, int folder) {
    std::string stamp = Date::now().iso8601();
    std::erase_if(stamp, [](char c) { return c == '-' || c == ':'; });
    return renameAside(path, std::string(setAsideMark) + stamp, folder);
}

}  // namespace quorelle
