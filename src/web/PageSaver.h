#pragma once

#include <memory>
#include <string>

typedef struct _WebKitWebView WebKitWebView;

namespace quorelle {

class IFileDialogs;
class MainQueue;
class WebViewCoordinator;

// "Save As…": writes the markup a page shows at that moment, scripts' changes
// included, to a file the user picks.
class PageSaver {
public:
    static constexpr const char* suggestedFileName = "page.html";
    static constexpr const char* savedMessage = "Page saved";
    static constexpr const char* documentScript = "document.documentElement.outerHTML";

    // Asks for a path, then reads the page and writes it there as UTF-8. When
    // the file was written, the coordinator's state shows "Page saved" (on
    // the main queue). A dismissed dialog, a failed read or a failed write
    // changes nothing and shows nothing, and so does a coordinator gone before
    // the answer (its tab was closed). The view is not kept alive meanwhile.
    static void savePageAs(WebKitWebView* view, IFileDialogs& dialogs, MainQueue& mainQueue,
                           std::weak_ptr<WebViewCoordinator> coordinator);

    // Replaces the file at `path` with `contents`; false when that failed.
    static bool writeFile(const std::string& path, const std::string& contents);
};

}  // namespace quorelle
