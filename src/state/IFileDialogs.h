#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorelle {

// One entry of a file dialog's type list: files match when their content type
// is one of `mimeTypes` (wildcards such as "image/*" allowed) or their name
// matches one of `patterns`.
struct FileFilter {
    std::string name;
    std::vector<std::string> mimeTypes;
    std::vector<std::string> patterns;
};

// The save and open dialogs, asked without waiting. Each request answers
// exactly once, later or at once: with the chosen absolute path, or with
// nothing when the user dismissed the dialog. The dialog itself confirms
// replacing an existing file.
class IFileDialogs {
public:
    using PathCompletion = std::function<void(std::optional<std::string> path)>;

    virtual ~IFileDialogs() = default;

    // Where to save a file, proposing `suggestedName`; an empty filter list
    // restricts nothing.
    virtual void chooseSavePath(const std::string& title, const std::string& suggestedName,
                                const std::vector<FileFilter>& filters, PathCompletion done) = 0;
    // One existing file (never a folder) to open.
    virtual void chooseFileToOpen(const std::string& title, const std::vector<FileFilter>& filters,
                                  PathCompletion done) = 0;
};

}  // namespace quorelle
