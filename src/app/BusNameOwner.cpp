#include "app/BusNameOwner.h"

#include "model/GLibPtr.h"

#include <cerrno>
#include <csignal>

namespace quorelle {

std::optional<BusNameOwner> BusNameOwner::of(GDBusConnection* bus, const std::string& name) {
    GLibPtr<GVariant, g_variant_unref> reply(g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetConnectionUnixProcessID",
        g_variant_new("(s)", name.c_str()), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr));
    if (!reply) return std::nullopt;
    guint32 pid = 0;
    g_variant_get(reply.get(), "(u)", &pid);
    if (pid == 0) return std::nullopt;
    BusNameOwner owner;
    owner.pid = static_cast<pid_t>(pid);
    owner.ended = isGone(owner.pid);
    return owner;
}

bool BusNameOwner::isGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace quorelle
