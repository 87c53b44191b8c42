#pragma once

#include <gio/gio.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace quorelle {

// The process that owns a name on a bus, as the bus daemon tells it now.
struct BusNameOwner {
    pid_t pid = 0;
    // Its process is gone: the bus drops the name once it notices.
    bool ended = false;

    // Nothing when the name has no owner (or the bus does not say).
    static std::optional<BusNameOwner> of(GDBusConnection* bus, const std::string& name);
    // Whether the process `pid` is gone.
    static bool isGone(pid_t pid);
};

}  // namespace quorelle
