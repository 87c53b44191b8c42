#pragma once

#include "app/BusNameOwner.h"
#include "model/GLibPtr.h"

#include <gio/gio.h>

#include <optional>
#include <string>

namespace quorelle {

// The process that owns a name on a bus, followed as the bus announces each
// change of the name's owner (NameOwnerChanged) instead of asked again and
// again: the bus is asked once, as the watch is first looked at, and again
// only after it has said that the name changed hands. A start that waits for
// the browser that holds its data folder looks every few milliseconds, and
// ten of them asking each time would keep the session bus busy for nothing.
// The announcements come through the thread-default main context the watch
// is made on, which must be iterated for them.
class BusNameOwnerWatch {
public:
    BusNameOwnerWatch(GDBusConnection* bus, std::string name);
    ~BusNameOwnerWatch();
    BusNameOwnerWatch(const BusNameOwnerWatch&) = delete;
    BusNameOwnerWatch& operator=(const BusNameOwnerWatch&) = delete;

    // The owner as BusNameOwner::of tells it; whether its process has ended
    // is looked at each time.
    std::optional<BusNameOwner> owner();
    // The same, the bus asked now: for what must not be older than what the
    // caller has just learnt elsewhere (the bus's word of a change travels
    // on its own and may come later).
    std::optional<BusNameOwner> ownerNow();

private:
    static void changed(GDBusConnection*, const char*, const char*, const char*, const char*, GVariant*,
                        gpointer self);

    GDBusConnection* bus_;
    std::string name_;
    GLibPtr<GMainContext, g_main_context_unref> context_;
    guint subscription_ = 0;
    bool released_ = false;
    bool changed_ = true;
    std::optional<BusNameOwner> owner_;
};

}  // namespace quorelle
