#include "app/AccessibilityBridge.h"

#include "model/GLibPtr.h"

#include <gio/gio.h>

#include <cstdio>
#include <optional>
#include <string>

namespace quorelle {
namespace {

// GTK_A11Y names the toolkit's accessibility backend; "none" and "test" use
// no bus.
bool bridgeKeptAway() {
    const char* backend = g_getenv("GTK_A11Y");
    return backend && (g_ascii_strcasecmp(backend, "none") == 0 || g_ascii_strcasecmp(backend, "test") == 0);
}

// Why no session bus can be reached; nothing when one can.
std::optional<std::string> sessionBusProblem() {
    GError* error = nullptr;
    // The application connects again as it registers: the connection is not
    // kept past this question.
    auto bus = GObjectPtr<GDBusConnection>::adopt(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    const GErrorPtr owned(error);
    if (bus) return std::nullopt;
    return std::string(error ? error->message : "no address");
}

// The web engine hands each web process an accessibility bus address of its
// own finding (the one the display publishes, or inside the sandbox the path
// of a proxy to it), and the process warns on stderr when it cannot connect.
// An address named in WEBKIT_A11Y_BUS_ADDRESS comes first, and an empty one
// leaves the process off any bus. One set by the user stays.
void keepWebProcessesOff() { g_setenv("WEBKIT_A11Y_BUS_ADDRESS", "", FALSE); }

}  // namespace

void AccessibilityBridge::keepOffWithoutSessionBus() {
    if (!bridgeKeptAway()) {
        const auto problem = sessionBusProblem();
        if (!problem) return;
        g_setenv("GTK_A11Y", "none", TRUE);
        std::fprintf(stderr,
                     "quorelle: no session bus can be reached (%s); accessibility support (AT-SPI) is off for this "
                     "run.\n",
                     problem->c_str());
    }
    // A page's accessible objects hang under its window's, which are not on
    // any bus now: the web processes would join it for no one.
    keepWebProcessesOff();
}

}  // namespace quorelle
