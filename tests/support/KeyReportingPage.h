#pragma once

// A page that tells the loopback server of every key it hears: what the
// user types after a menu, card or panel closed shows whether the keys
// reached the page.

#include "support/LoopbackServer.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace quorelle::testing {

// The page at `path` (titled as the path says, without its slash) reports
// each key as a request for `path` + "/heard/" + the key. It keeps the
// letters it hears: the engine hands a key the page leaves back to the
// window once the page has run, which can be after the report reached the
// server and the case has moved the focus on, and the key would land there.
struct KeyReportingPage {
    static void serve(LoopbackServer& server, const std::string& path) {
        server.addHTML(path, "<html><head><title>" + title(path) +
                                 "</title></head><body style=\"margin:0;height:100vh\"><script>"
                                 "document.addEventListener('keydown', e => {"
                                 "  fetch(location.pathname + '/heard/' + e.key);"
                                 "  if (e.key.length == 1 && !e.ctrlKey && !e.altKey && !e.metaKey) e.preventDefault();"
                                 "});"
                                 "</script></body></html>");
    }
    static std::string title(const std::string& path) { return path.substr(1); }
    // How many times the page at `path` has heard `key`. A report can reach
    // the server late (a page's requests wait while its tab is in the
    // background), so only a key not typed for a while tells what the last
    // typing did.
    static std::size_t heard(const LoopbackServer& server, const std::string& path, char key) {
        const std::string report = path + "/heard/" + key;
        return static_cast<std::size_t>(std::count(server.requestedPaths.begin(), server.requestedPaths.end(), report));
    }
};

}  // namespace quorelle::testing
