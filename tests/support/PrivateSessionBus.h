#pragma once

// A session bus of a test's own: a real dbus-daemon that only the processes
// the test points at it use, so that programs registering the same names on
// the suite's shared bus from cases running alongside never meet them. It
// starts no services unless given a folder of them, and ends with the test.

#include "support/MainLoopWait.h"
#include "support/ScratchFolder.h"

#include <gio/gio.h>

#include <csignal>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>

namespace quorelle::testing {

class PrivateSessionBus {
public:
    // A bus that never tells its clients that a name changed hands: the
    // daemon's NameOwnerChanged reaches no one, however they ask for it, and
    // who owns a name is known only by asking the bus.
    struct SilentOnNameChanges {};

    // `environment` holds variables for the daemon (and whatever it starts).
    explicit PrivateSessionBus(const std::optional<std::string>& serviceFolder = std::nullopt,
                               gchar** environment = nullptr)
        : PrivateSessionBus(serviceFolder, environment, "") {}
    explicit PrivateSessionBus(SilentOnNameChanges)
        : PrivateSessionBus(std::nullopt, nullptr,
                            "<deny receive_interface=\"org.freedesktop.DBus\" receive_member=\"NameOwnerChanged\"/>") {}
    ~PrivateSessionBus() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        resume();
        runUntil([&] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, limitMs);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Why the bus is not up; empty when it is.
    const std::string& problem() const { return problem_; }
    const std::string& address() const { return address_; }

    // The daemon stops answering (it is stopped, as a process a busy machine
    // does not get to runs no further), and answers again: what was sent to
    // it meanwhile waits for it.
    void pause() {
        if (pid_ > 0) kill(pid_, SIGSTOP);
    }
    void resume() {
        if (pid_ > 0) kill(pid_, SIGCONT);
    }

private:
    // `rules` are added to the policy every connection is under.
    PrivateSessionBus(const std::optional<std::string>& serviceFolder, gchar** environment, const std::string& rules) {
        std::ofstream(scratch_.file("session.conf"))
            << "<busconfig><type>session</type><listen>unix:dir=" << scratch_.path()
            << "</listen><auth>EXTERNAL</auth>"
            << (serviceFolder ? "<servicedir>" + *serviceFolder + "</servicedir>" : std::string())
            << "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
               "<allow eavesdrop=\"true\"/><allow own=\"*\"/>"
            << rules << "</policy></busconfig>\n";
        const std::string config = "--config-file=" + scratch_.file("session.conf");
        const char* argv[] = {"dbus-daemon", "--nofork", "--print-address", config.c_str(), nullptr};
        int out = -1;
        GError* error = nullptr;
        const bool spawned = g_spawn_async_with_pipes(
            nullptr, const_cast<char**>(argv), environment,
            GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL), nullptr,
            nullptr, &pid_, nullptr, &out, nullptr, &error);
        if (!spawned) {
            problem_ = std::string("dbus-daemon: ") + error->message;
            g_error_free(error);
            return;
        }
        // The daemon prints its address once it takes connections.
        GIOChannel* channel = g_io_channel_unix_new(out);
        g_io_channel_set_close_on_unref(channel, TRUE);
        gchar* line = nullptr;
        g_io_channel_read_line(channel, &line, nullptr, nullptr, nullptr);
        g_io_channel_unref(channel);
        address_ = line ? g_strstrip(line) : "";
        g_free(line);
        if (address_.empty()) problem_ = "dbus-daemon printed no address";
    }

    // How long the daemon may take to end.
    static constexpr int limitMs = 20000;

    ScratchFolder scratch_{"quorelle-bus-XXXXXX"};
    GPid pid_ = 0;
    std::string address_;
    std::string problem_;
};

}  // namespace quorelle::testing
