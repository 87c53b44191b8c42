#include "web/FaviconService.h"

#include "model/GLibPtr.h"
#include "model/JsonCodec.h"
#include "model/QuorelleAssets.h"
#include "model/Text.h"
#include "store/MainQueue.h"
#include "web/HttpGetRequest.h"
#include "web/IScriptableView.h"

#include <libsoup/soup.h>
#include <nlohmann/json.hpp>

#include <array>
#include <set>
#include <unordered_map>
#include <utility>

#ifndef QUORELLE_FAVICON_DIRECT_PATTERN
#define QUORELLE_FAVICON_DIRECT_PATTERN "https://{host}/favicon.ico"
#endif
#ifndef QUORELLE_FAVICON_LOOKUP_BASE
#define QUORELLE_FAVICON_LOOKUP_BASE "https://www.google.com/s2/favicons?domain="
#endif

namespace quorelle {
namespace {

constexpr std::string_view kHostPlaceholder = "{host}";
constexpr std::string_view kLookupSize = "&sz=64";

GUriPtr parseURI(std::string_view text) {
    return GUriPtr(g_uri_parse(std::string(text).c_str(), G_URI_FLAGS_NONE, nullptr));
}

// An IPv6 literal goes between brackets when it is put back into an address.
std::string hostForAddress(const std::string& host) {
    return host.find(':') == std::string::npos ? host : "[" + host + "]";
}

std::string escapedQueryValue(const std::string& value) {
    GCharPtr escaped(g_uri_escape_string(value.c_str(), ":", FALSE));
    return escaped.get();
}

}  // namespace

// What the service and its running lookups share.
struct FaviconService::Shared {
    MainQueue* mainQueue;
    Endpoints endpoints;
    std::array<std::chrono::milliseconds, 2> requestTimeLimits;  // one per candidate
    GObjectPtr<SoupSession> session;
    std::unordered_map<std::string, std::string> cache;  // host -> icon address
    std::set<GCancellable*> running;                     // one reference each
};

// One network lookup: its candidates, tried one after the other.
struct FaviconService::Lookup {
    std::string host;
    std::array<std::string, 2> candidates;
    std::size_t index = 0;
    Completion completion;

    const std::string& candidate() const { return candidates.at(index); }
};

// One request in flight. Made when a candidate is tried and freed when libsoup
// answers, which it always does (with G_IO_ERROR_CANCELLED after a time-out or
// when the service went away).
struct FaviconService::Request {
    std::weak_ptr<Shared> owner;
    std::shared_ptr<Lookup> lookup;
    GObjectPtr<SoupMessage> message;
    GObjectPtr<GCancellable> cancellable = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
    GSource* timer = nullptr;

    ~Request() {
        if (!timer) return;
        g_source_destroy(timer);
        g_source_unref(timer);
    }

    void start(Shared& shared) {
        shared.running.insert(G_CANCELLABLE(g_object_ref(cancellable.get())));
        timer = g_timeout_source_new(static_cast<guint>(shared.requestTimeLimits.at(lookup->index).count()));
        g_source_set_callback(timer, &Request::onTimeLimit, this, nullptr);
        g_source_set_name(timer, "quorelle-favicon-request-limit");
        g_source_attach(timer, g_main_context_get_thread_default());
        soup_session_send_and_read_async(shared.session.get(), message.get(), G_PRIORITY_DEFAULT,
                                         cancellable.get(), &Request::onAnswered, this);
    }

    static gboolean onTimeLimit(gpointer data) {
        g_cancellable_cancel(static_cast<Request*>(data)->cancellable.get());
        return G_SOURCE_CONTINUE;  // the source is destroyed with the request
    }

    static void onAnswered(GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Request> request(static_cast<Request*>(data));
        GError* rawError = nullptr;
        GBytes* body = soup_session_send_and_read_finish(SOUP_SESSION(source), result, &rawError);
        GErrorPtr error(rawError);
        const unsigned status = soup_message_get_status(request->message.get());
        const bool answered = body && !error && status >= 200 && status <= 299;
        if (body) g_bytes_unref(body);

        const auto shared = request->owner.lock();
        if (!shared) return;
        if (shared->running.erase(request->cancellable.get())) g_object_unref(request->cancellable.get());
        shared->mainQueue->post([owner = request->owner, lookup = request->lookup, answered] {
            if (const auto alive = owner.lock()) decide(alive, lookup, answered);
        });
    }
};

FaviconService::Endpoints FaviconService::Endpoints::production() {
    return Endpoints{
        [](const std::string& host) {
            return text::replaceAll(QUORELLE_FAVICON_DIRECT_PATTERN, kHostPlaceholder, hostForAddress(host));
        },
        QUORELLE_FAVICON_LOOKUP_BASE,
    };
}

FaviconService::FaviconService(MainQueue& mainQueue, Endpoints endpoints, std::chrono::milliseconds requestTimeLimit)
    : FaviconService(mainQueue, std::move(endpoints), requestTimeLimit, requestTimeLimit) {}

FaviconService::FaviconService(MainQueue& mainQueue, Endpoints endpoints, std::chrono::milliseconds iconFileTimeLimit,
                               std::chrono::milliseconds lookupServiceTimeLimit)
    : shared_(std::make_shared<Shared>()) {
    shared_->mainQueue = &mainQueue;
    shared_->endpoints = std::move(endpoints);
    shared_->requestTimeLimits = {iconFileTimeLimit, lookupServiceTimeLimit};
    shared_->session = GObjectPtr<SoupSession>::adopt(soup_session_new());
}

FaviconService::~FaviconService() {
    // Requests answer later, but they only hold the shared part weakly, so
    // their answers reach nobody.
    auto running = std::move(shared_->running);
    shared_.reset();
    for (GCancellable* cancellable : running) {
        g_cancellable_cancel(cancellable);
        g_object_unref(cancellable);
    }
}

std::optional<std::string> FaviconService::host(std::string_view pageURL) {
    const auto uri = parseURI(pageURL);
    if (!uri) return std::nullopt;
    const char* host = g_uri_get_host(uri.get());
    if (!host || !*host) return std::nullopt;
    return std::string(host);
}

std::optional<std::string> FaviconService::cached(std::string_view pageURL) const {
    if (auto logo = QuorelleAssets::faviconURL(pageURL)) return logo;
    const auto key = host(pageURL);
    if (!key) return std::nullopt;
    const auto found = shared_->cache.find(*key);
    if (found == shared_->cache.end()) return std::nullopt;
    return found->second;
}

void FaviconService::store(const std::string& pageURL, const std::string& faviconURL) {
    if (const auto key = host(pageURL)) shared_->cache[*key] = faviconURL;
}

std::optional<std::string> FaviconService::resolve(const std::string& href, const std::string& pageURL) {
    GCharPtr resolved(g_uri_resolve_relative(pageURL.c_str(), href.c_str(), G_URI_FLAGS_NONE, nullptr));
    if (resolved) return std::string(resolved.get());
    if (href.starts_with("http")) return href;
    return std::nullopt;
}

void FaviconService::fetch(IScriptableView& view, const std::string& pageURL, Completion completion) {
    view.evaluateScript(std::string(pageIconScript), [owner = std::weak_ptr<Shared>(shared_), pageURL,
                                                      completion = std::move(completion)](ScriptResult result) {
        const auto shared = owner.lock();
        if (!shared) return;
        shared->mainQueue->post([owner, pageURL, completion, result = std::move(result)] {
            const auto alive = owner.lock();
            if (!alive) return;
            const auto value = result.succeeded() ? json::parse(result.valueJSON) : std::nullopt;
            if (!value || !value->is_string() || value->get_ref<const std::string&>().empty()) return completion({});
            const auto icon = resolve(value->get<std::string>(), pageURL);
            if (!icon) return completion({});
            if (const auto key = host(pageURL)) alive->cache[*key] = *icon;
            completion(icon);
        });
    });
}

void FaviconService::fetchFromNetwork(const std::string& pageURL, Completion completion) {
    const auto key = host(pageURL);
    if (!key) return completion(std::nullopt);
    if (const auto found = shared_->cache.find(*key); found != shared_->cache.end()) return completion(found->second);

    auto lookup = std::make_shared<Lookup>();
    lookup->host = *key;
    lookup->candidates = {shared_->endpoints.faviconDirect(*key),
                          shared_->endpoints.faviconLookupBase + escapedQueryValue(*key) + std::string(kLookupSize)};
    lookup->completion = std::move(completion);
    tryCandidate(shared_, lookup);
}

void FaviconService::tryCandidate(const std::shared_ptr<Shared>& shared, const std::shared_ptr<Lookup>& lookup) {
    auto message = HttpGetRequest::to(lookup->candidate());
    if (!message) {
        // An address that is not a usable http(s) address ends the lookup;
        // later candidates are not tried.
        shared->mainQueue->post([owner = std::weak_ptr<Shared>(shared), lookup] {
            if (!owner.expired()) lookup->completion(std::nullopt);
        });
        return;
    }
    auto request = std::make_unique<Request>();
    request->owner = shared;
    request->lookup = lookup;
    request->message = std::move(message);
    request.release()->start(*shared);
}

void FaviconService::decide(const std::shared_ptr<Shared>& shared, const std::shared_ptr<Lookup>& lookup,
                            bool answered) {
    if (answered) {
        const std::string icon = lookup->candidate();
        shared->cache[lookup->host] = icon;
        return lookup->completion(icon);
    }
    if (lookup->index + 1 < lookup->candidates.size()) {
        ++lookup->index;
        return tryCandidate(shared, lookup);
    }
    lookup->completion(std::nullopt);
}

}  // namespace quorelle
