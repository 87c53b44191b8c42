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

}  // namespace

void AccessibilityBridge::keepOffWithoutSessionBus() {
    if (bridgeKeptAway()) return;
    const auto problem = sessionBusProblem();
    if (!problem) return;
    g_setenv("GTK_A11Y", "none", TRUE);
    std::fprintf(stderr,
                 "quorelle: no session bus can be reached (%s); accessibility support (AT-SPI) is off for this "
                 "run.\n",
                 problem->c_str());
}

}  // namespace quorelle
