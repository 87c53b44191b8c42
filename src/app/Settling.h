#pragma once

#include "model/GLibPtr.h"

#include <gio/gio.h>
#include <sys/types.h>

#include <string>

namespace quorelle {

class DataFolderLock;

// One start facing a folder another process holds, on a main context of its
// own (nothing else of the process runs meanwhile): it looks at the lock and
// the holder's note every few milliseconds, watches the application's name
// on the bus, and asks the holder to take the start once it is there.
class Settling {
public:
    enum class Outcome { waiting, held, handedOver, refused };

    Settling(DataFolderLock& lock, std::string applicationID);
    Settling(const Settling&) = delete;
    Settling& operator=(const Settling&) = delete;

    Outcome run();

private:
    // The holder a call was made to: an answer for an earlier holder counts
    // for nothing.
    struct Call {
        Settling* self;
        pid_t holder;
    };

    void look();
    bool nameHasOwner();
    void waitForTheFolder(gint64 now);
    void ask();
    static void answered(GObject* bus, GAsyncResult* result, gpointer data);
    static void appeared(GDBusConnection*, const char*, const char*, gpointer self);
    static void vanished(GDBusConnection*, const char*, gpointer self);
    static void watchReleased(gpointer self);
    void end(Outcome outcome) { outcome_ = outcome; }
    void endCalls();

    DataFolderLock& lock_;
    std::string applicationID_;
    GLibPtr<GMainContext, g_main_context_unref> context_;
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

}  // namespace quorelle
