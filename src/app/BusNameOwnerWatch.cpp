#include "app/BusNameOwnerWatch.h"

#include <utility>

namespace quorelle {

BusNameOwnerWatch::BusNameOwnerWatch(GDBusConnection* bus, std::string name)
    : bus_(bus), name_(std::move(name)), context_(g_main_context_ref_thread_default()) {
    // Asked for before the bus is first asked who owns the name: whatever
    // changes after that answer is announced.
    subscription_ = g_dbus_connection_signal_subscribe(
        bus_, "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged", "/org/freedesktop/DBus",
        name_.c_str(), G_DBUS_SIGNAL_FLAGS_NONE, &BusNameOwnerWatch::changed, this,
        +[](gpointer self) { static_cast<BusNameOwnerWatch*>(self)->released_ = true; });
}

// An announcement already on its way is dropped once the subscription is
// gone; the bus lets go of this watch on the watch's context, which runs
// until it has.
BusNameOwnerWatch::~BusNameOwnerWatch() {
    g_dbus_connection_signal_unsubscribe(bus_, subscription_);
    while (!released_) g_main_context_iteration(context_.get(), TRUE);
}

std::optional<BusNameOwner> BusNameOwnerWatch::owner() {
    if (changed_) {
        // Cleared first: a change announced while the bus answers is asked about again.
        changed_ = false;
        owner_ = BusNameOwner::of(bus_, name_);
    } else if (owner_ && !owner_->ended) {
        owner_->ended = BusNameOwner::isGone(owner_->pid);
    }
    return owner_;
}

std::optional<BusNameOwner> BusNameOwnerWatch::ownerNow() {
    changed_ = true;
    return owner();
}

void BusNameOwnerWatch::changed(GDBusConnection*, const char*, const char*, const char*, const char*, GVariant*,
                                gpointer self) {
    static_cast<BusNameOwnerWatch*>(self)->changed_ = true;
}

}  // namespace quorelle
