#pragma once

// A page that keeps adding entries to its history, as a clock that puts the
// time in the address does: every 150 ms (under the engine's limit of 100 in
// ten seconds) it moves to "?step=<n>". Each entry reaches its view, and the
// engine takes it in with a picture of the view from the view's window.

#include <string>

namespace quorelle::testing {

inline constexpr const char* steppingPage =
    "<!doctype html><html><head><title>Ticking</title></head><body><p id=step>0</p><script>"
    "let step = 0;"
    "setInterval(() => {"
    "  document.getElementById('step').textContent = ++step;"
    "  history.pushState(null, '', '?step=' + step);"
    "}, 150);"
    "</script></body></html>";

// Whether `uri` is that page's after it stepped.
inline bool hasStepped(const char* uri) { return uri && std::string(uri).find("?step=") != std::string::npos; }

}  // namespace quorelle::testing
