#include "app/QuitSignals.h"

#include <glib-unix.h>

#include <csignal>

namespace quorelle {

// GLib catches a signal for as long as one of its sources watches it, on
// whichever context, and marks every such source when it comes: this
// object's own keep it caught throughout, and a reaction's wake the context
// it is on.
QuitSignals::QuitSignals() : context_(g_main_context_new()) {
    for (int quitSignal : {SIGTERM, SIGHUP}) {
        struct sigaction action {};
        if (::sigaction(quitSignal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
        watched_.push_back(quitSignal);
        GSource* source = g_unix_signal_source_new(quitSignal);
        g_source_set_callback(source, &QuitSignals::onSignal, this, nullptr);
        g_source_attach(source, context_.get());
        sources_.emplace_back(source);
    }
}

// GLib gives a signal its default action back as the last source that
// watches it goes, which would end the process with status 143 or 129 as it
// returns from main, everything saved: it is ignored instead.
QuitSignals::~QuitSignals() {
    for (const auto& source : sources_) g_source_destroy(source.get());
    sources_.clear();
    for (int quitSignal : watched_) std::signal(quitSignal, SIG_IGN);
}

bool QuitSignals::received() {
    while (g_main_context_iteration(context_.get(), FALSE)) {
    }
    return received_;
}

gboolean QuitSignals::onSignal(gpointer self) {
    static_cast<QuitSignals*>(self)->received_ = true;
    return G_SOURCE_CONTINUE;
}

QuitSignals::Reaction::Reaction(QuitSignals& signals, GMainContext* context, std::function<void()> react)
    : signals_(signals), react_(std::move(react)) {
    for (int quitSignal : signals.watched_) attach(g_unix_signal_source_new(quitSignal), &Reaction::onSignal, context);
    if (signals.received()) attach(g_idle_source_new(), &Reaction::onEarlierSignal, context);
}

QuitSignals::Reaction::~Reaction() {
    for (const auto& source : sources_) g_source_destroy(source.get());
}

void QuitSignals::Reaction::attach(GSource* source, GSourceFunc callback, GMainContext* context) {
    g_source_set_callback(source, callback, this, nullptr);
    g_source_attach(source, context);
    sources_.emplace_back(source);
}

gboolean QuitSignals::Reaction::onSignal(gpointer self) {
    auto* reaction = static_cast<Reaction*>(self);
    reaction->signals_.received_ = true;
    if (reaction->react_) reaction->react_();
    return G_SOURCE_CONTINUE;
}

gboolean QuitSignals::Reaction::onEarlierSignal(gpointer self) {
    onSignal(self);
    return G_SOURCE_REMOVE;
}

}  // namespace quorelle
