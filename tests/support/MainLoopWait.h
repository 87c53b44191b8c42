#pragma once

// Waiting on the default GLib main context in tests, and a loopback port
// that is sure to refuse connections.

#include <gio/gio.h>

#include <cstdint>

namespace quorelle::testing {

// Iterates the default main context until `done` holds or the limit passes.
// `done` is asked once per turn, and not again once it holds: it may act
// (send input, say) as well as look. The limit only ends a wait that would
// never end; it is long enough for a web process to start on a loaded
// machine.
template <typename Pred>
bool runUntil(Pred done, int timeoutMs = 30000) {
    const gint64 end = g_get_monotonic_time() + gint64(timeoutMs) * 1000;
    while (!done()) {
        if (g_get_monotonic_time() >= end) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
    }
    return true;
}

// Lets pending work run for a while without waiting for anything in particular.
inline void runFor(int milliseconds) {
    runUntil([] { return false; }, milliseconds);
}

// A port on 127.0.0.1 that nothing listens on: bound, then closed again.
inline std::uint16_t closedLoopbackPort() {
    GSocket* socket = g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, nullptr);
    GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    GSocketAddress* any = g_inet_socket_address_new(loopback, 0);
    g_socket_bind(socket, any, FALSE, nullptr);
    GSocketAddress* bound = g_socket_get_local_address(socket, nullptr);
    const auto port = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
    g_object_unref(bound);
    g_object_unref(any);
    g_object_unref(loopback);
    g_socket_close(socket, nullptr);
    g_object_unref(socket);
    return port;
}

}  // namespace quorelle::testing
