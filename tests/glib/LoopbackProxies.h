#pragma once

// Loopback stand-ins for proxy servers, for tests that iterate the default
// GLib main context: an HTTP proxy on a SoupServer and a minimal SOCKS5
// server on a threaded socket service. Nothing here leaves 127.0.0.1.

#include "support/MainLoopWait.h"

#include <gio/gio.h>
#include <libsoup/soup.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quorelle::testing {

// An HTTP proxy answering every request itself. It records what it saw and
// answers `status`; with `requiredCredentials` set it first demands Basic
// proxy authentication and accepts only "Basic base64(credentials)". A
// CONNECT it answers with 200 opens a tunnel to a site that hangs up at once.
class LoopbackHTTPProxy {
public:
    struct Request {
        std::string method;
        std::string uri;
        std::optional<std::string> proxyAuthorization;
    };

    unsigned status = 200;
    std::optional<std::string> requiredCredentials;  // "user:password"
    bool holdResponses = false;                       // never answer
    std::vector<Request> requests;

    LoopbackHTTPProxy() : server_(soup_server_new(nullptr, nullptr)) {
        soup_server_add_handler(server_, nullptr, &LoopbackHTTPProxy::handle, this, nullptr);
        GError* error = nullptr;
        soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error);
        if (error) g_error("loopback proxy: %s", error->message);
        GSList* uris = soup_server_get_uris(server_);
        port_ = static_cast<std::uint16_t>(g_uri_get_port(static_cast<GUri*>(uris->data)));
        g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    }
    ~LoopbackHTTPProxy() {
        soup_server_disconnect(server_);
        g_object_unref(server_);
    }
    LoopbackHTTPProxy(const LoopbackHTTPProxy&) = delete;
    LoopbackHTTPProxy& operator=(const LoopbackHTTPProxy&) = delete;

    std::uint16_t port() const { return port_; }

private:
    static void handle(SoupServer*, SoupServerMessage* message, const char*, GHashTable*, gpointer data) {
        auto* self = static_cast<LoopbackHTTPProxy*>(data);
        SoupMessageHeaders* headers = soup_server_message_get_request_headers(message);
        const char* authorization = soup_message_headers_get_one(headers, "Proxy-Authorization");
        char* uri = g_uri_to_string(soup_server_message_get_uri(message));
        self->requests.push_back({soup_server_message_get_method(message), uri,
                                  authorization ? std::optional<std::string>(authorization) : std::nullopt});
        g_free(uri);
        if (self->holdResponses) return soup_server_message_pause(message);
        if (self->requiredCredentials && (!authorization || authorization != self->expectedAuthorization())) {
            soup_message_headers_replace(soup_server_message_get_response_headers(message), "Proxy-Authenticate",
                                         "Basic realm=\"loopback\"");
            soup_server_message_set_status(message, 407, nullptr);
            return;
        }
        if (self->status == 200 && self->requests.back().method == "CONNECT") return openAndHangUp(message);
        soup_server_message_set_status(message, self->status, nullptr);
        soup_server_message_set_response(message, "text/plain", SOUP_MEMORY_STATIC, "ok", 2);
    }

    // The connection is the proxy's own from here: it says the tunnel is open
    // and closes it, so what comes through the tunnel meets its end at once.
    static void openAndHangUp(SoupServerMessage* message) {
        GIOStream* tunnel = soup_server_message_steal_connection(message);
        static constexpr char opened[] = "HTTP/1.1 200 Connection established\r\n\r\n";
        g_output_stream_write_all(g_io_stream_get_output_stream(tunnel), opened, sizeof opened - 1, nullptr, nullptr,
                                  nullptr);
        g_io_stream_close(tunnel, nullptr, nullptr);
        g_object_unref(tunnel);
    }

    std::string expectedAuthorization() const {
        char* encoded = g_base64_encode(reinterpret_cast<const guchar*>(requiredCredentials->data()),
                                        requiredCredentials->size());
        std::string value = std::string("Basic ") + encoded;
        g_free(encoded);
        return value;
    }

    SoupServer* server_;
    std::uint16_t port_ = 0;
};

// A SOCKS5 server that accepts any user name and password (or no
// authentication when the client offers no credentials) and any CONNECT,
// then plays the origin server itself: it reads one HTTP request from the
// tunnel and answers 200. Runs its connections on worker threads.
class LoopbackSocks5Proxy {
public:
    struct Seen {
        std::mutex mutex;
        std::string username;  // when the client offered user/password authentication
        std::string password;
        std::string connectHost;
        unsigned connectPort = 0;
        std::string requestLine;
    };

    LoopbackSocks5Proxy() : service_(g_threaded_socket_service_new(4)), seen_(std::make_shared<Seen>()) {
        GError* error = nullptr;
        port_ = static_cast<std::uint16_t>(
            g_socket_listener_add_any_inet_port(G_SOCKET_LISTENER(service_), nullptr, &error));
        if (error) g_error("loopback SOCKS5 proxy: %s", error->message);
        g_signal_connect_data(service_, "run", G_CALLBACK(&LoopbackSocks5Proxy::serve),
                              new std::shared_ptr<Seen>(seen_), &LoopbackSocks5Proxy::release, GConnectFlags(0));
        g_socket_service_start(service_);
    }
    ~LoopbackSocks5Proxy() {
        g_socket_service_stop(service_);
        g_socket_listener_close(G_SOCKET_LISTENER(service_));
        g_object_unref(service_);
    }
    LoopbackSocks5Proxy(const LoopbackSocks5Proxy&) = delete;
    LoopbackSocks5Proxy& operator=(const LoopbackSocks5Proxy&) = delete;

    std::uint16_t port() const { return port_; }
    std::shared_ptr<Seen> seen() const { return seen_; }

private:
    static void release(gpointer data, GClosure*) { delete static_cast<std::shared_ptr<Seen>*>(data); }

    static bool readExactly(GInputStream* in, guint8* buffer, gsize size) {
        gsize got = 0;
        return g_input_stream_read_all(in, buffer, size, &got, nullptr, nullptr) && got == size;
    }
    static bool write(GOutputStream* out, const void* data, gsize size) {
        return g_output_stream_write_all(out, data, size, nullptr, nullptr, nullptr);
    }

    // User/password sub-negotiation: version 1, then length-prefixed fields.
    static bool readCredentials(GInputStream* in, GOutputStream* out, Seen& seen) {
        guint8 buffer[256];
        std::string fields[2];
        if (!readExactly(in, buffer, 1) || buffer[0] != 1) return false;
        for (auto& field : fields) {
            if (!readExactly(in, buffer, 1)) return false;
            const gsize length = buffer[0];
            if (!readExactly(in, buffer, length)) return false;
            field.assign(reinterpret_cast<char*>(buffer), length);
        }
        {
            std::lock_guard lock(seen.mutex);
            seen.username = fields[0];
            seen.password = fields[1];
        }
        const guint8 accepted[] = {1, 0};
        return write(out, accepted, sizeof accepted);
    }

    static gboolean serve(GThreadedSocketService*, GSocketConnection* connection, GObject*, gpointer data) {
        auto& seen = **static_cast<std::shared_ptr<Seen>*>(data);
        GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(connection));
        GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
        guint8 buffer[512];
        // Greeting: version, method count, methods.
        if (!readExactly(in, buffer, 2) || buffer[0] != 5 || !readExactly(in, buffer + 2, buffer[1])) return TRUE;
        const bool offersPassword = std::find(buffer + 2, buffer + 2 + buffer[1], guint8(2)) != buffer + 2 + buffer[1];
        const guint8 chosen[] = {5, guint8(offersPassword ? 2 : 0)};
        if (!write(out, chosen, sizeof chosen)) return TRUE;
        if (offersPassword && !readCredentials(in, out, seen)) return TRUE;
        // CONNECT: version, command, reserved, address type, address, port.
        if (!readExactly(in, buffer, 4) || buffer[1] != 1) return TRUE;
        std::string host;
        if (buffer[3] == 3) {
            if (!readExactly(in, buffer, 1)) return TRUE;
            const gsize length = buffer[0];
            if (!readExactly(in, buffer, length)) return TRUE;
            host.assign(reinterpret_cast<char*>(buffer), length);
        } else {
            const gsize length = buffer[3] == 1 ? 4 : 16;
            if (!readExactly(in, buffer, length)) return TRUE;
            host = "(address)";
        }
        if (!readExactly(in, buffer, 2)) return TRUE;
        {
            std::lock_guard lock(seen.mutex);
            seen.connectHost = host;
            seen.connectPort = unsigned(buffer[0]) << 8 | buffer[1];
        }
        const guint8 granted[] = {5, 0, 0, 1, 127, 0, 0, 1, 0, 80};
        if (!write(out, granted, sizeof granted)) return TRUE;
        // The tunnelled request: read up to the blank line, then answer.
        std::string request;
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192) {
            const gssize got = g_input_stream_read(in, buffer, sizeof buffer, nullptr, nullptr);
            if (got <= 0) return TRUE;
            request.append(reinterpret_cast<char*>(buffer), gsize(got));
        }
        {
            std::lock_guard lock(seen.mutex);
            seen.requestLine = request.substr(0, request.find("\r\n"));
        }
        const char response[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
        write(out, response, sizeof response - 1);
        g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
        return TRUE;
    }

    GSocketService* service_;
    std::shared_ptr<Seen> seen_;
    std::uint16_t port_ = 0;
};

}  // namespace quorelle::testing
