#include "app/Settling.h"

#include "app/BusNameOwner.h"
#include "app/HandOverService.h"
#include "app/HolderNote.h"
#include "app/QuitSignals.h"
#include "store/DataFolderLock.h"

#include <gtk/gtk.h>

#include <memory>
#include <optional>

namespace quorelle {
namespace {

// How long a start waits for a browser that holds the folder and is starting
// to own its name (it takes it only as its application starts, after it has
// read its data, which a busy machine makes slow), and for one that has
// begun to quit to let go of the folder (its last save).
constexpr gint64 holderChangesLimitUs = 60 * G_USEC_PER_SEC;
// How long it waits for the holder's name when the holder left no note: it
// writes one as soon as it has the folder, so this is a browser from before
// notes, which answers at once if it is on this bus at all.
constexpr gint64 holderAppearsLimitUs = 10 * G_USEC_PER_SEC;
// How long the holder may take to answer once asked (it opens its window first).
constexpr int holderAnswersLimitMs = 25000;
// How many calls to a holder may fail before it counts as out of reach.
constexpr int failedCallsLimit = 3;
// How often the lock, the holder's note and the name are looked at again
// (the name's owner as the bus last announced it: nothing is asked of the bus).
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
    if (note && BusNameOwner::isGone(note->pid)) return std::nullopt;
    return note;
}

// The holder answers under the name but does not know the hand-over: a
// browser from before it.
bool unknownMethod(const GError* error) {
    return g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_INTERFACE) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT);
}

std::string process(pid_t pid) {
    return pid ? "the Quorelle process (pid " + std::to_string(pid) + ")" : "the Quorelle process";
}

}  // namespace

Settling::Settling(DataFolderLock& lock, std::string applicationID, QuitSignals& quitSignals)
    : lock_(lock), applicationID_(std::move(applicationID)), quitSignals_(quitSignals), context_(g_main_context_new()) {
    bus_ = GObjectPtr<GDBusConnection>::adopt(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (bus_) busID_ = g_dbus_connection_get_guid(bus_.get());
}

Settling::Result Settling::run() {
    g_main_context_push_thread_default(context_.get());
    if (bus_) owners_.emplace(bus_.get(), applicationID_);
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
    {
        const QuitSignals::Reaction quitting(quitSignals_, context_.get(), [this] {
            if (!done_) end(Outcome::quitAsked);
        });
        while (!done_) g_main_context_iteration(context_.get(), TRUE);
    }
    g_source_destroy(ticks.get());
    endCall();
    owners_.reset();
    g_main_context_pop_thread_default(context_.get());
    return result_;
}

void Settling::look() {
    if (done_) return;
    if (lock_.tryAgain()) return end(Outcome::held);
    const auto note = currentNote(lock_);
    if (const pid_t holder = note ? note->pid : 0; holder != holder_) {
        holder_ = holder;
        declined_ = false;
        failedCalls_ = 0;
    }
    using Stage = HolderNote::Stage;
    // The holder is going: the folder is this start's once it lets go.
    if (declined_ || (note && note->stage == Stage::quitting)) return waitFor(Wait::quitting);
    // Another session's browser (or one without a bus) cannot be reached from here.
    if (!bus_ || (note && note->bus != busID_)) return refuse(Refusal::unreachable);
    if (calling_) return waitFor(Wait::answer);
    // The name of a process that has ended goes with it; without a note,
    // whoever answers under the name is a browser from before notes.
    const auto answers = [&](const std::optional<BusNameOwner>& owner) {
        return owner && !owner->ended && (!note || owner->pid == note->pid);
    };
    if (answers(owners_->owner())) return call(Method::open);
    // A running browser owns its name until it quits: without it, nothing
    // reaches it. It owns the name before it notes that it runs, and the
    // bus's word of that may not have reached this start yet: the bus is
    // asked. It notes that it quits before it gives up the name, and may
    // have done both since its note was read: read again, a note that
    // changed is looked at on the next turn.
    if (note && note->stage == Stage::running) {
        if (answers(owners_->ownerNow())) return call(Method::open);
        if (stillRunning(note->pid)) refuse(Refusal::unreachable);
        return;
    }
    waitFor(note ? Wait::starting : Wait::appearing);
}

void Settling::waitFor(Wait what) {
    const gint64 waited = notice_.waitFor(waitingLine(what), g_get_monotonic_time());
    switch (what) {
        case Wait::quitting:
            if (waited > holderChangesLimitUs) refuse(Refusal::stillQuitting);
            return;
        case Wait::starting:
            if (waited > holderChangesLimitUs) refuse(Refusal::stillStarting);
            return;
        case Wait::appearing:
            if (waited > holderAppearsLimitUs) refuse(Refusal::unreachable);
            return;
        case Wait::answer:
            // The call has a limit of its own.
            return;
    }
}

std::string Settling::waitingLine(Wait what) const {
    const std::string pid = std::to_string(holder_);
    const std::string& folder = lock_.folder();
    switch (what) {
        case Wait::quitting:
            return "quorelle: waiting for the Quorelle process that is quitting (pid " + pid +
                   ") to let go of the data folder " + folder + ".";
        case Wait::starting:
            return "quorelle: waiting for the Quorelle process that is starting (pid " + pid + ") on the data folder " +
                   folder + " to answer on the session bus.";
        case Wait::appearing:
            return "quorelle: waiting for the Quorelle process that is using the data folder " + folder +
                   " to answer on the session bus.";
        case Wait::answer:
            break;
    }
    return "quorelle: waiting for " + process(holder_) + " that is using the data folder " + folder + " to answer.";
}

void Settling::call(Method method) {
    calling_ = true;
    cancellable_ = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
    const std::string objectPath = HandOverService::objectPathOf(applicationID_);
    const bool open = method == Method::open;
    g_dbus_connection_call(bus_.get(), applicationID_.c_str(), objectPath.c_str(),
                           open ? HandOverService::interfaceName : "org.freedesktop.Application",
                           open ? HandOverService::methodName : "Activate",
                           g_variant_new("(@a{sv})", platformData()), open ? G_VARIANT_TYPE("(b)") : nullptr,
                           G_DBUS_CALL_FLAGS_NO_AUTO_START, holderAnswersLimitMs, cancellable_.get(),
                           &Settling::answered, new Call{this, holder_, method});
}

void Settling::answered(GObject* bus, GAsyncResult* result, gpointer data) {
    std::unique_ptr<Call> call(static_cast<Call*>(data));
    GError* failure = nullptr;
    GLibPtr<GVariant, g_variant_unref> reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &failure));
    const GErrorPtr error(failure);
    call->self->calling_ = false;
    call->self->takeAnswer(*call, reply.get(), error.get());
}

void Settling::takeAnswer(const Call& call, GVariant* reply, const GError* error) {
    if (done_ || call.holder != holder_) return;
    if (reply) {
        gboolean opened = TRUE;
        if (call.method == Method::open) g_variant_get(reply, "(b)", &opened);
        if (opened) return end(Outcome::handedOver);
        // Declined: the holder has begun to quit.
        declined_ = true;
        return;
    }
    // As a start was handed over before the hand-over method: at once. A
    // browser that quits takes its objects off the bus too, and answers a
    // call that reached it just before as that browser would: it is one only
    // while its note still says it runs (or it left none, from before notes).
    if (call.method == Method::open && unknownMethod(error) && stillRunning(call.holder))
        return this->call(Method::activate);
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT)) return refuse(Refusal::noAnswer);
    // The name changed hands or went while it was asked (the holder ended,
    // say), or the holder does not know the hand-over though its note says
    // it does not run (one that quits says so next, and is waited for):
    // looked at again. One that keeps failing the call is out of reach, a
    // holder that stays starting and does not know the hand-over too.
    if (++failedCalls_ >= failedCallsLimit) refuse(Refusal::unreachable);
}

// The holder's note, read again, still says that `holder` runs; with no
// note, that the holder left none either (a browser from before notes).
bool Settling::stillRunning(pid_t holder) const {
    const auto note = currentNote(lock_);
    if (!note) return holder == 0;
    return note->pid == holder && note->stage == HolderNote::Stage::running;
}

void Settling::end(Outcome outcome) {
    done_ = true;
    result_.outcome = outcome;
    result_.holder = holder_;
}

void Settling::refuse(Refusal refusal) {
    end(Outcome::refused);
    result_.refusal = refusal;
}

// Nothing of this start's may call back once it is over.
void Settling::endCall() {
    if (calling_) g_cancellable_cancel(cancellable_.get());
    while (calling_) g_main_context_iteration(context_.get(), TRUE);
}

}  // namespace quorelle
