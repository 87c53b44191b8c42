#pragma once

// A session bus address of a test's own, in front of a real bus or of none.
// With a bus behind it, every connection made to it is relayed both ways to
// that bus, and the test can hold back what one connection sends from a
// given call on: the call waits, unanswered, until the test lets it go.
// Without one, no connection is accepted: one that is made waits to be,
// until the address closes and cuts it. It relays only while the test
// iterates the default main context.

#include "support/ScratchFolder.h"

#include <glib-unix.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorelle::testing {

class BusRelay {
public:
    // `bus`: the address of the bus behind it, a "unix:path=" one.
    explicit BusRelay(const std::optional<std::string>& bus = std::nullopt) {
        if (bus && bus->starts_with("unix:path=")) busPath_ = bus->substr(10, bus->find(',') - 10);
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto at = socketAddress(path_);
        if (::bind(listener_, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0 || ::listen(listener_, 8) != 0)
            return;
        if (bus) accepting_ = g_unix_fd_add(listener_, G_IO_IN, &BusRelay::accept, this);
    }
    ~BusRelay() { close(); }
    BusRelay(const BusRelay&) = delete;
    BusRelay& operator=(const BusRelay&) = delete;

    std::string address() const { return "unix:path=" + path_; }
    // Whether a connection waits to be accepted.
    bool connectionWaiting() const {
        pollfd listener{listener_, POLLIN, 0};
        return listener_ >= 0 && ::poll(&listener, 1, 0) == 1;
    }
    // The first connection whose stream comes to hold `text` sends nothing
    // more to the bus, from the read that brought it, until release().
    void holdFrom(std::string text) { holdText_ = std::move(text); }
    bool holding() const { return held_ != nullptr; }
    void release() {
        if (held_ && held_->bus >= 0 && !sendAll(held_->bus, held_->withheld)) cut(*held_);
        held_ = nullptr;
        holdText_.clear();
    }
    // Cuts every connection; the address takes no more.
    void close() {
        held_ = nullptr;
        for (auto& link : links_) cut(*link);
        if (accepting_) g_source_remove(accepting_);
        accepting_ = 0;
        if (listener_ >= 0) ::close(listener_);
        listener_ = -1;
        ::unlink(path_.c_str());
    }

private:
    // One connection: the client's end and the bus's.
    struct Link {
        BusRelay* relay;
        int client = -1, bus = -1;
        guint fromClient = 0, fromBus = 0;
        // What the client sent, until something is held.
        std::string sent;
        std::string withheld;
    };

    static sockaddr_un socketAddress(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        return address;
    }
    static bool sendAll(int fd, const std::string& bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t wrote = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (wrote < 0 && errno != EINTR) return false;
            if (wrote > 0) done += static_cast<std::size_t>(wrote);
        }
        return true;
    }
    static gboolean accept(int listener, GIOCondition, gpointer self) {
        auto* relay = static_cast<BusRelay*>(self);
        auto link = std::make_unique<Link>(Link{relay});
        link->client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        link->bus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto bus = socketAddress(relay->busPath_);
        if (link->client < 0 || ::connect(link->bus, reinterpret_cast<const sockaddr*>(&bus), sizeof bus) != 0) {
            relay->cut(*link);
            return G_SOURCE_CONTINUE;
        }
        link->fromClient = g_unix_fd_add(link->client, G_IO_IN, &BusRelay::fromClient, link.get());
        link->fromBus = g_unix_fd_add(link->bus, G_IO_IN, &BusRelay::fromBus, link.get());
        relay->links_.push_back(std::move(link));
        return G_SOURCE_CONTINUE;
    }
    // Nothing when the end has closed.
    static std::optional<std::string> receive(int fd) {
        char buffer[65536];
        ssize_t got = -1;
        while ((got = ::recv(fd, buffer, sizeof buffer, 0)) < 0 && errno == EINTR) {
        }
        if (got <= 0) return std::nullopt;
        return std::string(buffer, static_cast<std::size_t>(got));
    }
    static gboolean fromClient(int fd, GIOCondition, gpointer data) {
        auto& link = *static_cast<Link*>(data);
        BusRelay& relay = *link.relay;
        const auto bytes = receive(fd);
        if (bytes && !relay.holdText_.empty() && !relay.held_) {
            link.sent += *bytes;
            if (link.sent.find(relay.holdText_) != std::string::npos) relay.held_ = &link;
        }
        if (bytes && relay.held_ == &link) {
            link.withheld += *bytes;
            return G_SOURCE_CONTINUE;
        }
        if (bytes && sendAll(link.bus, *bytes)) return G_SOURCE_CONTINUE;
        link.fromClient = 0;
        relay.cut(link);
        return G_SOURCE_REMOVE;
    }
    static gboolean fromBus(int fd, GIOCondition, gpointer data) {
        auto& link = *static_cast<Link*>(data);
        const auto bytes = receive(fd);
        if (bytes && sendAll(link.client, *bytes)) return G_SOURCE_CONTINUE;
        link.fromBus = 0;
        link.relay->cut(link);
        return G_SOURCE_REMOVE;
    }
    // Both ends close: each side sees the other go.
    void cut(Link& link) {
        if (held_ == &link) held_ = nullptr;
        for (guint* watch : {&link.fromClient, &link.fromBus})
            if (*watch) g_source_remove(std::exchange(*watch, 0));
        for (int* fd : {&link.client, &link.bus})
            if (*fd >= 0) ::close(std::exchange(*fd, -1));
    }

    ScratchFolder scratch_{"quorelle-relay-XXXXXX"};
    const std::string path_ = scratch_.file("bus");
    std::string busPath_;
    int listener_ = -1;
    guint accepting_ = 0;
    std::vector<std::unique_ptr<Link>> links_;
    std::string holdText_;
    Link* held_ = nullptr;
};

}  // namespace quorelle::testing
