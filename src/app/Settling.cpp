#include "app/Settling.h"

#include "app/HandOverService.h"
#include "app/HolderNote.h"
#include "store/DataFolderLock.h"

#include <gtk/gtk.h>

#include <cerrno>
#include <csignal>
#include <memory>
#include <optional>

namespace quorelle {
namespace {

// How long a browser that holds the folder may take to appear on the
// session bus: it takes its name only as its application starts, after it
// has read its data, so starts at once find it still loading.
constexpr gint64 holderAppearsLimitUs = 10 * G_USEC_PER_SEC;
// How long a browser that has begun to quit may take to let go of the
// folder (its last save).
constexpr gint64 holderEndsLimitUs = 60 * G_USEC_PER_SEC;
// How long that browser may take to answer once there (it opens its window first).
constexpr int holderAnswersLimitMs = 25000;
// How often the lock and the holder's note are looked at again.
constexpr guint lookAgainMs = 20;

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

// The holder's note, unless it is stale: a browser that ended without
// clearing it (it crashed) is gone, and one that has just taken the folder
// has not written its own yet.
std::optional<HolderNote> currentNote(const DataFolderLock& lock) {
    auto note = HolderNote::parse(lock.note());
    if (note && ::kill(note->pid, 0) != 0 && errno == ESRCH) return std::nullopt;
    return note;
}

}  // namespace

Settling::Settling(DataFolderLock& lock, std::string applicationID)
    : lock_(lock), applicationID_(std::move(applicationID)), context_(g_main_context_new()) {
    bus_ = GObjectPtr<GDBusConnection>::adopt(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (bus_) busID_ = g_dbus_connection_get_guid(bus_.get());
}

Settling::Outcome Settling::run() {
    g_main_context_push_thread_default(context_.get());
    if (bus_)
        watch_ = g_bus_watch_name_on_connection(bus_.get(), applicationID_.c_str(), G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                &Settling::appeared, &Settling::vanished, this,
                                                &Settling::watchReleased);
    look();
    GLibPtr<GSource, g_source_unref> ticks(g_timeout_source_new(lookAgainMs));
    g_source_set_callback(
        ticks.get(),
        +[](gpointer self) -> gboolean {
            static_cast<Settling*>(self)->look();
            return G_SOURCE_CONTINUE;
        },
        this, nullptr);
    g_source_attach(ticks.get(), context_.get());
    while (outcome_ == Outcome::waiting) g_main_context_iteration(context_.get(), TRUE);
    g_source_destroy(ticks.get());
    endCalls();
    g_main_context_pop_thread_default(context_.get());
    return outcome_;
}

void Settling::look() {
    if (outcome_ != Outcome::waiting) return;
    if (lock_.tryAgain()) return end(Outcome::held);
    const auto note = currentNote(lock_);
    const gint64 now = g_get_monotonic_time();
    if (const pid_t holder = note ? note->pid : 0; holder != holder_ || !holderSince_) {
        holder_ = holder;
        holderSince_ = now;
        declined_ = false;
    }
    using Stage = HolderNote::Stage;
    if (note && note->stage == Stage::quitting) return waitForTheFolder(now);
    // Another session's browser (or one without a bus) cannot be reached from here.
    if ((note && (!note->bus || *note->bus != busID_)) || !bus_) return end(Outcome::refused);
    if (declined_) return waitForTheFolder(now);
    if (!owned_ && note && note->stage == Stage::running && nameKnown_) {
        // It took the name before it said it runs, though the watch may
        // not have told so yet: the bus itself is asked. Without the name
        // it cannot be reached.
        owned_ = nameHasOwner();
        if (!owned_) return end(Outcome::refused);
    }
    if (!owned_) {
        // Only one still starting is waited for.
        if (now - holderSince_ > holderAppearsLimitUs) end(Outcome::refused);
        return;
    }
    if (!calling_) ask();
}

bool Settling::nameHasOwner() {
    GLibPtr<GVariant, g_variant_unref> reply(g_dbus_connection_call_sync(
        bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        g_variant_new("(s)", applicationID_.c_str()), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
        nullptr));
    gboolean owned = FALSE;
    if (reply) g_variant_get(reply.get(), "(b)", &owned);
    return owned;
}

// The holder is going: the folder is this start's once it lets go.
void Settling::waitForTheFolder(gint64 now) {
    if (now - holderSince_ > holderEndsLimitUs) end(Outcome::refused);
}

void Settling::ask() {
    calling_ = true;
    cancellable_ = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
    const std::string objectPath = HandOverService::objectPathOf(applicationID_);
    g_dbus_connection_call(bus_.get(), applicationID_.c_str(), objectPath.c_str(), HandOverService::interfaceName,
                           HandOverService::methodName, g_variant_new("(@a{sv})", platformData()),
                           G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, holderAnswersLimitMs, cancellable_.get(),
                           &Settling::answered, new Call{this, holder_});
}

void Settling::answered(GObject* bus, GAsyncResult* result, gpointer data) {
    std::unique_ptr<Call> call(static_cast<Call*>(data));
    GLibPtr<GVariant, g_variant_unref> reply(
        g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, nullptr));
    Settling& self = *call->self;
    self.calling_ = false;
    if (self.outcome_ != Outcome::waiting || call->holder != self.holder_) return;
    gboolean opened = FALSE;
    if (reply) g_variant_get(reply.get(), "(b)", &opened);
    if (opened) return self.end(Outcome::handedOver);
    // Declined, or no answer: the holder is quitting or gone.
    self.declined_ = true;
    self.holderSince_ = g_get_monotonic_time();
}

void Settling::appeared(GDBusConnection*, const char*, const char*, gpointer self) {
    static_cast<Settling*>(self)->owned_ = true;
    static_cast<Settling*>(self)->nameKnown_ = true;
}

void Settling::vanished(GDBusConnection*, const char*, gpointer self) {
    static_cast<Settling*>(self)->owned_ = false;
    static_cast<Settling*>(self)->nameKnown_ = true;
}

void Settling::watchReleased(gpointer self) { static_cast<Settling*>(self)->watchReleased_ = true; }

// Nothing of this start's may call back once it is over.
void Settling::endCalls() {
    if (calling_) g_cancellable_cancel(cancellable_.get());
    while (calling_) g_main_context_iteration(context_.get(), TRUE);
    if (!watch_) return;
    g_bus_unwatch_name(watch_);
    // The watch lets go of this object on a later turn of this context.
    while (!watchReleased_) g_main_context_iteration(context_.get(), TRUE);
}

}  // namespace quorelle
