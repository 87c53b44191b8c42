#pragma once

#include "model/GLibPtr.h"

#include <glib.h>

#include <functional>
#include <vector>

namespace quorelle {

// SIGTERM and SIGHUP, what the end of the user's session and of the
// terminal send: the process is asked to quit. Made first thing in main and
// kept until main returns, this catches both from then on, so that neither
// ends the process by its default action (status 143 or 129), however many
// come, at any stage: while a start checks its folders, waits for another
// browser or shows why it cannot go on, while the application runs or quits,
// and after. A signal the process was started to ignore (SIGHUP under nohup)
// stays ignored.
//
// What a signal does is each stage's to decide: a step of the start asks
// whether one has come (received), and a stage that runs a main loop reacts
// to one as it comes (Reaction). Once this is gone, main has returned and
// the quit is done: a signal that comes then is ignored.
class QuitSignals {
public:
    // While it lives, a quit signal calls `react` on `context` (the default
    // one when null), as the main thread runs that context; one that came
    // before calls it on the context's next turn. It may be called once for
    // each signal. Without `react`, a signal only wakes the context, for a
    // loop on it to ask `received`.
    class Reaction {
    public:
        Reaction(QuitSignals& signals, GMainContext* context, std::function<void()> react);
        ~Reaction();
        Reaction(const Reaction&) = delete;
        Reaction& operator=(const Reaction&) = delete;

    private:
        static gboolean onSignal(gpointer self);
        static gboolean onEarlierSignal(gpointer self);
        void attach(GSource* source, GSourceFunc callback, GMainContext* context);

        QuitSignals& signals_;
        std::function<void()> react_;
        std::vector<GLibPtr<GSource, g_source_unref>> sources_;
    };

    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // Whether a quit signal has come since this was made. On the main thread.
    bool received();

private:
    static gboolean onSignal(gpointer self);

    // The signals caught: those the process was not started to ignore.
    std::vector<int> watched_;
    // Its own sources' context, which only `received` runs.
    GLibPtr<GMainContext, g_main_context_unref> context_;
    std::vector<GLibPtr<GSource, g_source_unref>> sources_;
    bool received_ = false;
};

}  // namespace quorelle
