#include "web/ProxyTester.h"

#include "model/GLibPtr.h"
#include "model/ProxyProfile.h"
#include "store/MainQueue.h"
#include "web/HttpGetRequest.h"

#include <libsoup/soup.h>

#include <set>
#include <utility>

#ifndef QUORELLE_CONNECTIVITY_CHECK_URL
#define QUORELLE_CONNECTIVITY_CHECK_URL "https://connectivitycheck.gstatic.com/generate_204"
#endif

namespace quorelle {

namespace {

constexpr unsigned proxyAuthenticationRequired = 407;

ProxyTestOutcome failure(ProxyTester::ErrorCode code, std::string text) {
    return {false, std::move(text), ProxyTester::errorDomain, code};
}

ProxyTestOutcome failure(const GError& error) {
    return {false, error.message ? error.message : "", g_quark_to_string(error.domain), error.code};
}

}  // namespace

// What the tester and its running tests share. Tests hold it weakly, so a
// test that ends after the tester is gone completes nobody.
struct ProxyTester::Shared {
    MainQueue* mainQueue;
    std::string connectivityCheckURL;
    std::chrono::milliseconds timeLimit;
    std::set<GCancellable*> running;  // one reference each
};

// One test in flight. Made in test() and freed when libsoup answers, which it
// always does, with G_IO_ERROR_CANCELLED when the test was cancelled.
struct ProxyTester::Run {
    std::weak_ptr<Shared> owner;
    Completion completion;
    std::string username;
    std::string password;
    GObjectPtr<SoupSession> session;
    GObjectPtr<SoupMessage> message;
    GObjectPtr<GCancellable> cancellable = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
    GSource* timer = nullptr;
    bool timedOut = false;

    ~Run() {
        if (timer) {
            g_source_destroy(timer);
            g_source_unref(timer);
        }
        if (message) g_signal_handlers_disconnect_by_data(message.get(), this);
    }

    void start() {
        g_signal_connect(message.get(), "authenticate", G_CALLBACK(&Run::onAuthenticate), this);
        startTimer();
        soup_session_send_and_read_async(session.get(), message.get(), G_PRIORITY_DEFAULT, cancellable.get(),
                                         &Run::onSent, this);
    }

    void startTimer() {
        const auto shared = owner.lock();
        timer = g_timeout_source_new(static_cast<guint>(shared->timeLimit.count()));
        g_source_set_callback(timer, &Run::onTimeLimit, this, nullptr);
        g_source_set_name(timer, "quorelle-proxy-test-limit");
        g_source_attach(timer, g_main_context_get_thread_default());
    }

    static gboolean onTimeLimit(gpointer data) {
        auto* run = static_cast<Run*>(data);
        run->timedOut = true;
        g_cancellable_cancel(run->cancellable.get());
        return G_SOURCE_CONTINUE;  // the source is destroyed with the run
    }

    // Proxy credentials are offered once. When the proxy refuses them the
    // challenge is given up, so the response keeps its 407 instead of the
    // session retrying the same credentials.
    static gboolean onAuthenticate(SoupMessage*, SoupAuth* auth, gboolean retrying, gpointer data) {
        auto* run = static_cast<Run*>(data);
        if (!soup_auth_is_for_proxy(auth) || run->username.empty()) return FALSE;
        if (retrying) {
            soup_auth_cancel(auth);
        } else {
            soup_auth_authenticate(auth, run->username.c_str(), run->password.c_str());
        }
        return TRUE;
    }

    static void onSent(GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Run> run(static_cast<Run*>(data));
        GError* rawError = nullptr;
        if (GBytes* body = soup_session_send_and_read_finish(SOUP_SESSION(source), result, &rawError)) {
            g_bytes_unref(body);
        }
        GErrorPtr error(rawError);
        ProxyTestOutcome outcome;
        if (!error) {
            outcome = outcomeForStatus(soup_message_get_status(run->message.get()));
        } else if (run->timedOut && g_error_matches(error.get(), G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
            // The time limit cancels the request: that is the network's time-out.
            outcome = failure(GError{G_IO_ERROR, G_IO_ERROR_TIMED_OUT, const_cast<char*>("The request timed out.")});
        } else {
            outcome = failure(*error);
        }
        run->complete(std::move(outcome));
    }

    void complete(ProxyTestOutcome outcome) {
        const auto shared = owner.lock();
        if (!shared) return;
        if (shared->running.erase(cancellable.get())) g_object_unref(cancellable.get());
        shared->mainQueue->post([completion = std::move(completion), outcome = std::move(outcome)] {
            completion(outcome);
        });
    }
};

std::string ProxyTester::defaultConnectivityCheckURL() { return QUORELLE_CONNECTIVITY_CHECK_URL; }

ProxyTester::ProxyTester(MainQueue& mainQueue, std::string connectivityCheckURL,
                         std::chrono::milliseconds timeLimit)
    : shared_(std::make_shared<Shared>(Shared{&mainQueue, std::move(connectivityCheckURL), timeLimit, {}})) {}

ProxyTester::~ProxyTester() {
    // Cancelling may not call back at once, but each run only holds the
    // shared part weakly, so its late answer reaches nobody.
    auto running = std::move(shared_->running);
    shared_.reset();
    for (GCancellable* cancellable : running) {
        g_cancellable_cancel(cancellable);
        g_object_unref(cancellable);
    }
}

ProxyTestOutcome ProxyTester::outcomeForStatus(unsigned status) {
    if (status == proxyAuthenticationRequired || (status >= 500 && status <= 599)) {
        return failure(proxyRefused, "Proxy test failed (HTTP " + std::to_string(status) + ")");
    }
    if (status >= 200 && status <= 399) {
        return {true, "Proxy test succeeded (HTTP " + std::to_string(status) +
                          "). Note: web pages are not sent through proxy profiles in this version."};
    }
    return {true, "Proxy connection completed. Web pages are not sent through proxy profiles in this version."};
}

std::string ProxyTester::proxyURI(const ProxyProfile& proxy) {
    const char* scheme = proxy.type == ProxyType::socks4   ? "socks4"
                         : proxy.type == ProxyType::socks5 ? "socks5"
                                                           : "http";
    // GIO's SOCKS handshake takes the credentials from the address. An HTTP
    // proxy's challenge is answered by the authenticate handler instead:
    // libsoup would retry credentials found in the address without end.
    const bool withCredentials = !proxy.username.empty() && proxy.type.isSocks();
    // Every component is percent-encoded here, so a host or user name holding
    // "@", ":" or "/" cannot change the address's structure.
    GCharPtr uri(g_uri_join_with_user(withCredentials ? G_URI_FLAGS_HAS_PASSWORD : G_URI_FLAGS_NONE, scheme,
                                      withCredentials ? proxy.username.c_str() : nullptr,
                                      withCredentials ? proxy.password.c_str() : nullptr, nullptr,
                                      proxy.host.c_str(), static_cast<gint>(proxy.port), "", nullptr, nullptr));
    return uri.get();
}

void ProxyTester::test(const ProxyProfile& proxy, Completion completion) {
    if (proxy.host.empty()) return completion(failure(hostRequired, "Host is required"));
    if (proxy.port < 1 || proxy.port > 65535)
        return completion(failure(portOutOfRange, "Port must be between 1 and 65535"));

    auto message = HttpGetRequest::to(shared_->connectivityCheckURL);
    if (!message) return completion(failure(invalidTestURL, "Invalid test URL"));

    auto resolver = GObjectPtr<GProxyResolver>::adopt(g_simple_proxy_resolver_new(proxyURI(proxy).c_str(), nullptr));
    auto run = std::make_unique<Run>();
    run->owner = shared_;
    run->completion = std::move(completion);
    if (!proxy.username.empty()) {
        run->username = proxy.username;
        run->password = proxy.password;
    }
    // A fresh session has no cache, cookie jar or open connections, so no
    // test sees anything of another.
    run->session =
        GObjectPtr<SoupSession>::adopt(soup_session_new_with_options("proxy-resolver", resolver.get(), nullptr));
    run->message = std::move(message);
    shared_->running.insert(G_CANCELLABLE(g_object_ref(run->cancellable.get())));
    run.release()->start();
}

}  // namespace quorelle
