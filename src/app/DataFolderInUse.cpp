#include "app/DataFolderInUse.h"

#include "app/HandOverService.h"
#include "app/HolderNote.h"
#include "app/StartRefusal.h"
#include "model/GLibPtr.h"
#include "store/DataFolderLock.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <cerrno>
#include <csignal>

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

using ContextPtr = GLibPtr<GMainContext, g_main_context_unref>;

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

// One start facing a folder another process holds, on a main context of its
// own (nothing else of the process runs meanwhile): it looks at the lock and
// the holder's note every few milliseconds, watches the application's name
// on the bus, and asks the holder to take the start once it is there.
class Settling {
public:
    enum class Outcome { waiting, held, handedOver, refused };

    Settling(DataFolderLock& lock, std::string applicationID)
        : lock_(lock), applicationID_(std::move(applicationID)), context_(g_main_context_new()) {
        bus_ = GObjectPtr<GDBusConnection>::adopt(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
        if (bus_) busID_ = g_dbus_connection_get_guid(bus_.get());
    }

    Outcome run() {
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

private:
    void look() {
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

    bool nameHasOwner() {
        GLibPtr<GVariant, g_variant_unref> reply(g_dbus_connection_call_sync(
            bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
            g_variant_new("(s)", applicationID_.c_str()), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
            nullptr));
        gboolean owned = FALSE;
        if (reply) g_variant_get(reply.get(), "(b)", &owned);
        return owned;
    }

    // The holder is going: the folder is this start's once it lets go.
    void waitForTheFolder(gint64 now) {
        if (now - holderSince_ > holderEndsLimitUs) end(Outcome::refused);
    }

    void ask() {
        calling_ = true;
        cancellable_ = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
        const std::string objectPath = HandOverService::objectPathOf(applicationID_);
        g_dbus_connection_call(bus_.get(), applicationID_.c_str(), objectPath.c_str(), HandOverService::interfaceName,
                               HandOverService::methodName, g_variant_new("(@a{sv})", platformData()),
                               G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, holderAnswersLimitMs, cancellable_.get(),
                               &Settling::answered, new Call{this, holder_});
    }

    // The holder a call was made to: an answer for an earlier holder counts
    // for nothing.
    struct Call {
        Settling* self;
        pid_t holder;
    };
    static void answered(GObject* bus, GAsyncResult* result, gpointer data) {
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

    static void appeared(GDBusConnection*, const char*, const char*, gpointer self) {
        static_cast<Settling*>(self)->owned_ = true;
        static_cast<Settling*>(self)->nameKnown_ = true;
    }
    static void vanished(GDBusConnection*, const char*, gpointer self) {
        static_cast<Settling*>(self)->owned_ = false;
        static_cast<Settling*>(self)->nameKnown_ = true;
    }
    static void watchReleased(gpointer self) { static_cast<Settling*>(self)->watchReleased_ = true; }

    void end(Outcome outcome) { outcome_ = outcome; }

    // Nothing of this start's may call back once it is over.
    void endCalls() {
        if (calling_) g_cancellable_cancel(cancellable_.get());
        while (calling_) g_main_context_iteration(context_.get(), TRUE);
        if (!watch_) return;
        g_bus_unwatch_name(watch_);
        // The watch lets go of this object on a later turn of this context.
        while (!watchReleased_) g_main_context_iteration(context_.get(), TRUE);
    }

    DataFolderLock& lock_;
    std::string applicationID_;
    ContextPtr context_;
    GObjectPtr<GDBusConnection> bus_;
    std::string busID_;
    guint watch_ = 0;
    bool watchReleased_ = false;
    bool owned_ = false;
    bool nameKnown_ = false;  // the watch has told whether the name is owned
    bool calling_ = false;
    GObjectPtr<GCancellable> cancellable_;
    pid_t holder_ = 0;
    gint64 holderSince_ = 0;
    bool declined_ = false;
    Outcome outcome_ = Outcome::waiting;
};

// " cannot be made", " cannot be opened" or " cannot be locked".
std::string cannotBe(const DataFolderLock& lock) {
    switch (lock.failedStep()) {
        case DataFolderLock::Step::make:
            return " cannot be made";
        case DataFolderLock::Step::open:
            return " cannot be opened";
        case DataFolderLock::Step::lock:
            break;
    }
    return " cannot be locked";
}

}  // namespace

std::string DataFolderInUse::message(const std::string& folder) {
    return "quorelle: another Quorelle process is using the data folder " + folder +
           "; this one ends without changing it.";
}

std::string DataFolderInUse::unusableMessage(const DataFolderLock& lock) {
    const std::string said = "quorelle: the data folder " + lock.folder() + cannotBe(lock) + " (" + lock.problem();
    if (lock.failedStep() != DataFolderLock::Step::lock)
        return said + "); this one ends without reading or writing any data.";
    return said + "), so nothing would keep another Quorelle process from using it at the same time; this one ends "
                  "without changing it.";
}

std::optional<int> DataFolderInUse::settle(DataFolderLock& lock, const std::string& applicationID) {
    switch (Settling(lock, applicationID).run()) {
        case Settling::Outcome::held:
            return std::nullopt;
        case Settling::Outcome::handedOver:
            return 0;
        case Settling::Outcome::waiting:
        case Settling::Outcome::refused:
            break;
    }
    return StartRefusal::refuse(message(lock.folder()), "Quorelle is already running",
                                "Another Quorelle process is using the data folder " + lock.folder() +
                                    ". Close it before starting Quorelle again.");
}

int DataFolderInUse::reportUnusable(const DataFolderLock& lock) {
    return StartRefusal::refuse(unusableMessage(lock), "Quorelle cannot use its data folder",
                                "The data folder " + lock.folder() + cannotBe(lock) + ": " + lock.problem() +
                                    ". Quorelle needs it to itself to keep your browsing data safe.");
}

}  // namespace quorelle
