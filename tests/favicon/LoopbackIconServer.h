#pragma once

// A loopback web server for the favicon lookup: each path answers with a
// status and body the test sets, or never answers at all. Answers arrive only
// while the test iterates the default main context.

#include <libsoup/soup.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quorelle::testing {

class LoopbackIconServer {
public:
    struct Answer {
        unsigned status = 404;
        std::string body;
        bool hold = false;  // keep the request waiting forever
    };

    LoopbackIconServer() : server_(soup_server_new(nullptr, nullptr)) {
        soup_server_add_handler(server_, nullptr, &LoopbackIconServer::handle, this, nullptr);
        GError* error = nullptr;
        soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error);
        if (error) g_error("loopback icon server: %s", error->message);
        GSList* uris = soup_server_get_uris(server_);
        port_ = static_cast<std::uint16_t>(g_uri_get_port(static_cast<GUri*>(uris->data)));
        g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    }
    ~LoopbackIconServer() {
        soup_server_disconnect(server_);
        g_object_unref(server_);
    }
    LoopbackIconServer(const LoopbackIconServer&) = delete;
    LoopbackIconServer& operator=(const LoopbackIconServer&) = delete;

    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // Keyed by path plus "?" and the query when there is one; other paths 404.
    std::map<std::string, Answer> answers;
    // Every request's path and query, in arrival order.
    std::vector<std::string> requests;

private:
    static void handle(SoupServer*, SoupServerMessage* message, const char*, GHashTable*, gpointer data) {
        auto* self = static_cast<LoopbackIconServer*>(data);
        GUri* uri = soup_server_message_get_uri(message);
        std::string target = g_uri_get_path(uri);
        if (const char* query = g_uri_get_query(uri)) target += std::string("?") + query;
        self->requests.push_back(target);
        const auto found = self->answers.find(target);
        const Answer answer = found == self->answers.end() ? Answer{} : found->second;
        if (answer.hold) return soup_server_message_pause(message);
        soup_server_message_set_status(message, answer.status, nullptr);
        soup_server_message_set_response(message, "text/html", SOUP_MEMORY_COPY, answer.body.data(),
                                         answer.body.size());
    }

    SoupServer* server_;
    std::uint16_t port_ = 0;
};

}  // namespace quorelle::testing
