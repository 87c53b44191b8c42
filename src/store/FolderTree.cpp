#include "store/FolderTree.h"

#include "store/AtomicFile.h"
#include "store/FileDescriptor.h"
#include "store/UserName.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <system_error>
#include <utility>

namespace quorelle {

std::vector<std::string> FolderTree::names(int folder) {
    std::vector<std::string> names;
    // A descriptor of its own: reading the listing moves the position of the one it reads.
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return names;
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(fd), ::closedir);
    if (!listing) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    return names;
}

namespace {

constexpr const char* notAFolder = " is not a folder";

// What stands at `part`, in words, when a look through it just failed and
// errno says why: a loop of links, or a link to nothing (or through a
// file). Nothing when it is neither.
const char* linkLeadingNowhere(int folder, const std::string& part) {
    if (errno == ELOOP) return " is a loop of symbolic links";
    struct stat info;
    if ((errno == ENOENT || errno == ENOTDIR) && ::fstatat(folder, part.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        return " is a link to nothing";
    return nullptr;
}

// What stands at `part`, for a folder that belongs there: a folder (or a
// link to one); no folder ever (a file, a loop of links, a link to nothing
// or through a file), with what it is in words; or nothing, or something
// whose nature could not be learned (no permission to look), which is left
// alone.
enum class Standing { folder, noFolder, nothingKnown };
Standing standingAt(int folder, const std::string& part, const char** what) {
    struct stat info;
    if (::fstatat(folder, part.c_str(), &info, 0) == 0) {
        *what = notAFolder;
        return S_ISDIR(info.st_mode) ? Standing::folder : Standing::noFolder;
    }
    *what = linkLeadingNowhere(folder, part);
    return *what ? Standing::noFolder : Standing::nothingKnown;
}

// An entry's path as the user is shown it: `shownBase` + its path, the
// folder itself (".") as `shownBase` without its last "/".
std::string shown(const std::string& shownBase, const std::string& part) {
    return part == "." ? shownBase.substr(0, shownBase.size() - 1) : shownBase + part;
}

}  // namespace

bool FolderTree::makeFolders(int folder, const std::string& path, unsigned mode, const std::string& shownBase,
                             std::vector<SetAside>* setAside) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (::mkdirat(folder, part.c_str(), mode) != 0) {
            if (errno != EEXIST) return false;
            const char* what = nullptr;
            if (standingAt(folder, part, &what) == Standing::noFolder) {
                const auto keptAs = AtomicFile::setAside(part, folder);
                if (!keptAs) return false;
                if (setAside) setAside->push_back({shown(shownBase, part) + what, shown(shownBase, *keptAs)});
                if (::mkdirat(folder, part.c_str(), mode) != 0) return false;
            }
        }
        if (end == std::string::npos) return true;
    }
}

std::optional<std::string> FolderTree::noFolderOnTheWay(int folder, const std::string& path,
                                                        const std::string& shownBase) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        const char* what = nullptr;
        switch (standingAt(folder, part, &what)) {
            case Standing::folder:
                break;
            case Standing::noFolder:
                return shown(shownBase, part) + what;
            case Standing::nothingKnown:
                return std::nullopt;
        }
        if (end == std::string::npos) return std::nullopt;
    }
}

namespace {

// Why `part` on the way to `path` refused, from errno: the reason alone
// for `path` itself, else after the entry's name.
std::string refusedAt(const std::string& path, const std::string& shownBase, const std::string& part) {
    const std::string reason = std::generic_category().message(errno);
    return part == path ? reason : shown(shownBase, part) + ": " + reason;
}

// Looks at each entry on the way to `path` in `folder` that is there: each
// must be a folder that can be searched (`path` itself only when
// `searchingPath`). The first that refuses, named as writeProblem names it;
// else nothing, with `last` the last folder on the way that is there.
std::optional<std::string> refusalOnTheWay(int folder, const std::string& path, const std::string& shownBase,
                                           bool searchingPath, std::string& last) {
    const auto refused = [&](const std::string& part) { return refusedAt(path, shownBase, part); };
    last = std::string(path.starts_with('/') ? "/" : ".");
    if (path != last && ::faccessat(folder, last.c_str(), X_OK, AT_EACCESS) != 0) return refused(last);
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        struct stat info;
        if (::fstatat(folder, part.c_str(), &info, 0) != 0) {
            if (errno == ENOENT) return std::nullopt;
            return refused(part);
        }
        if ((searchingPath || part != path) && ::faccessat(folder, part.c_str(), X_OK, AT_EACCESS) != 0)
            return refused(part);
        last = part;
        if (end == std::string::npos) return std::nullopt;
    }
}

}  // namespace

std::optional<std::string> FolderTree::writeProblem(int folder, const std::string& path, const std::string& shownBase) {
    if (auto noFolder = noFolderOnTheWay(folder, path, shownBase)) return noFolder;
    // Every folder on the way is searched; the last one there (the folder
    // itself, or the one it would be made in) takes the new entries.
    std::string last;
    if (auto refusal = refusalOnTheWay(folder, path, shownBase, false, last)) return refusal;
    if (::faccessat(folder, last.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return refusedAt(path, shownBase, last);
    return std::nullopt;
}

std::optional<std::string> FolderTree::searchProblem(int folder, const std::string& path,
                                                     const std::string& shownBase) {
    if (auto noFolder = noFolderOnTheWay(folder, path, shownBase)) return noFolder;
    std::string last;
    return refusalOnTheWay(folder, path, shownBase, true, last);
}

namespace {

// What an entry of `mode` is, in words, when it is no `kind`; nothing when
// it is one.
const char* otherKind(mode_t mode, FolderTree::Kind kind) {
    if (kind == FolderTree::Kind::folder) return S_ISDIR(mode) ? nullptr : notAFolder;
    if (S_ISDIR(mode)) return " is a folder";
    return S_ISREG(mode) ? nullptr : " is not a regular file";
}

// What this process may not do with the entry at `path`, a `kind`: be
// "opened" (read, and searched too, a folder) or be "written"; and the
// system's reason.
struct Refusal {
    const char* verb;
    std::string reason;
};
std::optional<Refusal> refusalOf(int folder, const std::string& path, FolderTree::Kind kind) {
    const int reading = R_OK | (kind == FolderTree::Kind::folder ? X_OK : 0);
    for (const auto& [verb, mode] : {std::pair{"opened", reading}, std::pair{"written", W_OK}})
        if (::faccessat(folder, path.c_str(), mode, AT_EACCESS) != 0)
            return Refusal{verb, std::generic_category().message(errno)};
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FolderTree::useProblem(int folder, const std::string& path, Kind kind,
                                                  const std::string& shownBase) {
    const std::string entry = shown(shownBase, path);
    struct stat info;
    if (::fstatat(folder, path.c_str(), &info, 0) != 0) {
        const char* link = linkLeadingNowhere(folder, path);
        return link ? std::optional(entry + link) : std::nullopt;
    }
    if (const char* what = otherKind(info.st_mode, kind)) return entry + what;
    const auto refusal = refusalOf(folder, path, kind);
    if (info.st_uid != ::geteuid())
        return entry + " belongs to " + UserName::shown(info.st_uid) +
               (refusal ? std::string(" and cannot be ") + refusal->verb : std::string());
    if (refusal) return entry + " cannot be " + refusal->verb + " (" + refusal->reason + ")";
    return std::nullopt;
}

std::optional<std::string> FolderTree::setAsideUnusable(int folder, const std::vector<std::string>& group, Kind kind,
                                                        const std::string& shownBase,
                                                        std::vector<SetAside>& setAside) {
    std::vector<std::optional<std::string>> problems;
    for (const auto& path : group) problems.push_back(useProblem(folder, path, kind, shownBase));
    const auto first = std::find_if(problems.begin(), problems.end(), [](const auto& p) { return p.has_value(); });
    if (first == problems.end()) return std::nullopt;
    const std::string culprit = shown(shownBase, group[static_cast<std::size_t>(first - problems.begin())]);
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (AtomicFile::presence(group[i], folder) == AtomicFile::Presence::absent) continue;
        const auto keptAs = AtomicFile::setAside(group[i], folder);
        const std::string reason = keptAs ? std::string() : AtomicFile::lastSystemError().message();
        const std::string entry = shown(shownBase, group[i]);
        if (!keptAs) return **first + ", and " + (entry == culprit ? "it" : entry) + " cannot be set aside: " + reason;
        setAside.push_back({problems[i].value_or(entry + " goes with " + culprit), shown(shownBase, *keptAs)});
    }
    return std::nullopt;
}

bool FolderTree::remove(int folder, const std::string& path) {
    struct stat info;
    if (::fstatat(folder, path.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (!S_ISDIR(info.st_mode)) return ::unlinkat(folder, path.c_str(), 0) == 0;
    FileDescriptor inside(::openat(folder, path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (inside.valid())
        for (const auto& name : names(inside.get())) remove(inside.get(), name);
    return ::unlinkat(folder, path.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace quorelle
