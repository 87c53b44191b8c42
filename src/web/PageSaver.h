#pragma once

#include <string>

namespace quorelle {

class IFileDialogs;
class TabWebViewStore;
class Uuid;

// "Save As…": writes the markup a page shows at that moment, scripts' changes
// included, to a file the user picks.
class PageSaver {
public:
    static constexpr const char* suggestedFileName = "page.html";
    static constexpr const char* savedMessage = "Page saved";
    static constexpr const char* documentScript = "document.documentElement.outerHTML";

    // Asks for a path, then reads the page of the tab's view and writes it
    // there as UTF-8; when the file was written, the tab's state shows "Page
    // saved" (on the main queue). A dismissed dialog, a failed read or a
    // failed write changes nothing and shows nothing. Neither does a tab that
    // is closed, shows an internal page or has another view by the time the
    // dialog answers or the page's markup arrives: a closed tab saves
    // nothing, even while the engine still holds its view. The view is not
    // kept alive meanwhile.
    static void savePageAs(TabWebViewStore& store, const Uuid& tabID, IFileDialogs& dialogs);

    // Replaces the file at `path` with `contents`; false when that failed.
    static bool writeFile(const std::string& path, const std::string& contents);
};

}  // namespace quorelle
