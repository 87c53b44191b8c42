#pragma once

// A web server on 127.0.0.1 for tests that iterate the default GLib main
// context: pages are registered by path; a page can be held back until the
// test releases it (for progress, Stop and cancellation). It answers only
// while the test iterates the main context.

#include <libsoup/soup.h>

#include <map>
#include <string>
#include <vector>

namespace quorelle::testing {

class LoopbackServer {
public:
    struct Page {
        unsigned status = 200;
        std::string contentType = "text/html; charset=utf-8";
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers;
        bool hold = false;  // keep the request waiting until release()
    };

    LoopbackServer() {
        server_ = soup_server_new(nullptr, nullptr);
        soup_server_add_handler(server_, nullptr, &LoopbackServer::handle, this, nullptr);
        soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, nullptr);
        GSList* uris = soup_server_get_uris(server_);
        if (uris) port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
        g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    }
    ~LoopbackServer() {
        release();
        soup_server_disconnect(server_);
        g_object_unref(server_);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void add(const std::string& path, Page page) { pages_[path] = std::move(page); }
    void addHTML(const std::string& path, const std::string& html) { add(path, Page{200, "text/html; charset=utf-8", html}); }
    // A resource kept waiting until release().
    void addHeld(const std::string& path, const std::string& contentType, const std::string& body = {}) {
        add(path, Page{200, contentType, body, {}, true});
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int port() const { return port_; }

    // Answers every held request.
    void release() {
        for (auto* message : held_) {
            soup_server_message_unpause(message);
            g_object_unref(message);
        }
        held_.clear();
    }
    std::size_t heldCount() const { return held_.size(); }
    std::vector<std::string> requestedPaths;
    std::vector<std::string> userAgents;  // one per request, "" when none was sent

private:
    static void handle(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer data) {
        auto* self = static_cast<LoopbackServer*>(data);
        self->requestedPaths.push_back(path);
        const char* agent =
            soup_message_headers_get_one(soup_server_message_get_request_headers(message), "User-Agent");
        self->userAgents.push_back(agent ? agent : "");
        auto it = self->pages_.find(path);
        if (it == self->pages_.end()) {
            soup_server_message_set_status(message, 404, nullptr);
            soup_server_message_set_response(message, "text/plain", SOUP_MEMORY_COPY, "not found", 9);
            return;
        }
        const Page& page = it->second;
        soup_server_message_set_status(message, page.status, nullptr);
        auto* headers = soup_server_message_get_response_headers(message);
        for (const auto& [name, value] : page.headers) soup_message_headers_append(headers, name.c_str(), value.c_str());
        soup_server_message_set_response(message, page.contentType.c_str(), SOUP_MEMORY_COPY, page.body.data(),
                                         page.body.size());
        if (page.hold) {
            soup_server_message_pause(message);
            self->held_.push_back(SOUP_SERVER_MESSAGE(g_object_ref(message)));
        }
    }

    SoupServer* server_ = nullptr;
    int port_ = 0;
    std::map<std::string, Page> pages_;
    std::vector<SoupServerMessage*> held_;
};

}  // namespace quorelle::testing
