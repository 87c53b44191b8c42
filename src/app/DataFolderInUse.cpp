#include "app/DataFolderInUse.h"

#include "app/StartRefusal.h"
#include "model/GLibPtr.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <algorithm>

namespace quorelle {
namespace {

// How long a start waits for the browser that holds the folder to appear on
// the session bus: it takes its name only as its application starts, after
// it has read its data, so two starts at once find it still loading.
constexpr guint holderAppearsLimitMs = 10000;
// How long that browser may take to answer once there (it opens its window first).
constexpr int holderAnswersLimitMs = 25000;

using ContextPtr = GLibPtr<GMainContext, g_main_context_unref>;

// The object path an application registers under: its id with "." as "/".
std::string objectPathOf(const std::string& applicationID) {
    std::string path = "/" + applicationID;
    std::replace(path.begin(), path.end(), '.', '/');
    std::replace(path.begin(), path.end(), '-', '_');
    return path;
}

// Whether `name` has an owner on `bus`, waiting up to `limitMs` for one, on
// a main context of its own (nothing else of the process runs meanwhile).
bool ownerAppears(GDBusConnection* bus, const std::string& name, guint limitMs) {
    struct Wait {
        bool owned = false;
        bool over = false;
        bool released = false;
    } wait;
    const ContextPtr context(g_main_context_new());
    g_main_context_push_thread_default(context.get());
    const guint watch = g_bus_watch_name_on_connection(
        bus, name.c_str(), G_BUS_NAME_WATCHER_FLAGS_NONE,
        +[](GDBusConnection*, const gchar*, const gchar*, gpointer data) { static_cast<Wait*>(data)->owned = true; },
        nullptr, &wait, +[](gpointer data) { static_cast<Wait*>(data)->released = true; });
    GLibPtr<GSource, g_source_unref> timer(g_timeout_source_new(limitMs));
    g_source_set_callback(
        timer.get(),
        +[](gpointer data) -> gboolean {
            static_cast<Wait*>(data)->over = true;
            return G_SOURCE_REMOVE;
        },
        &wait, nullptr);
    g_source_attach(timer.get(), context.get());
    while (!wait.owned && !wait.over) g_main_context_iteration(context.get(), TRUE);
    g_source_destroy(timer.get());
    g_bus_unwatch_name(watch);
    // The watch lets go of `wait` on a later turn of this context.
    while (!wait.released) g_main_context_iteration(context.get(), TRUE);
    g_main_context_pop_thread_default(context.get());
    return wait.owned;
}

// What the toolkit would send with an activation: the start's token, with
// which the window manager lets the other browser's window come forward.
GVariant* platformData() {
    GVariantBuilder data;
    g_variant_builder_init(&data, G_VARIANT_TYPE_VARDICT);
    GdkDisplay* display = gdk_display_get_default();
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    const char* token = display ? gdk_display_get_startup_notification_id(display) : nullptr;
    G_GNUC_END_IGNORE_DEPRECATIONS
    if (token && g_utf8_validate(token, -1, nullptr)) {
        g_variant_builder_add(&data, "{sv}", "activation-token", g_variant_new_string(token));
        g_variant_builder_add(&data, "{sv}", "desktop-startup-id", g_variant_new_string(token));
    }
    return g_variant_builder_end(&data);
}

// True when a browser with this application id answered on the session bus
// that it was asked to show itself. This start never takes the
// application's name itself, so the browser that holds the folder always
// gets it, however many starts come at once; one still starting is waited for.
bool handOver(const std::string& applicationID) {
    auto bus = GObjectPtr<GDBusConnection>::adopt(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (!bus || !ownerAppears(bus.get(), applicationID, holderAppearsLimitMs)) return false;
    GVariant* reply = g_dbus_connection_call_sync(
        bus.get(), applicationID.c_str(), objectPathOf(applicationID).c_str(), "org.freedesktop.Application",
        "Activate", g_variant_new("(@a{sv})", platformData()), nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START,
        holderAnswersLimitMs, nullptr, nullptr);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
}

}  // namespace

std::string DataFolderInUse::message(const std::string& folder) {
    return "quorelle: another Quorelle process is using the data folder " + folder +
           "; this one ends without changing it.";
}

std::string DataFolderInUse::unlockableMessage(const std::string& folder, const std::string& problem) {
    return "quorelle: the data folder " + folder + " cannot be locked (" + problem +
           "), so nothing would keep another Quorelle process from using it at the same time; this one ends "
           "without changing it.";
}

int DataFolderInUse::report(const std::string& folder, const std::string& applicationID) {
    if (handOver(applicationID)) return 0;
    return StartRefusal::refuse(message(folder), "Quorelle is already running",
                                "Another Quorelle process is using the data folder " + folder +
                                    ". Close it before starting Quorelle again.");
}

int DataFolderInUse::reportUnlockable(const std::string& folder, const std::string& problem) {
    return StartRefusal::refuse(unlockableMessage(folder, problem), "Quorelle cannot use its data folder",
                                "The data folder " + folder + " cannot be locked: " + problem +
                                    ". Quorelle needs it to itself to keep your browsing data safe.");
}

}  // namespace quorelle
