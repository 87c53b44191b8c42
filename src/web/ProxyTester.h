#pragma once

#include "state/IProxyTester.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace quorelle {

class MainQueue;
struct ProxyProfile;

// Tests a proxy profile by sending one GET of a fixed address through the
// profile's server, with a private libsoup session that keeps no cache or
// cookies. It does not change how web views connect.
//
// Everything is called on the main thread, whose GLib context must be
// iterated for network outcomes to arrive.
class ProxyTester : public IProxyTester {
public:
    // The tester's own errors, in this domain; every other error is the
    // network layer's, with its own domain and code.
    static constexpr const char* errorDomain = "Quorelle";
    enum ErrorCode : int {
        hostRequired = 1,    // "Host is required"
        invalidTestURL = 2,  // "Invalid test URL"
        portOutOfRange = 3,  // "Port must be between 1 and 65535"
        proxyRefused = 4,    // "Proxy test failed (HTTP " + status + ")": 407 and 5xx
    };

    // The whole test, connection and response included, must end within this.
    static constexpr std::chrono::milliseconds defaultTimeLimit{15000};

    // The address a production build tests against, chosen at build time.
    static std::string defaultConnectivityCheckURL();

    explicit ProxyTester(MainQueue& mainQueue, std::string connectivityCheckURL = defaultConnectivityCheckURL(),
                         std::chrono::milliseconds timeLimit = defaultTimeLimit);
    // Cancels the tests still running; their completions are never called.
    ~ProxyTester() override;
    ProxyTester(const ProxyTester&) = delete;
    ProxyTester& operator=(const ProxyTester&) = delete;

    // Calls `completion` exactly once. An empty host, a port outside
    // 1...65535 or an unusable test address complete before this returns;
    // every network outcome completes later on the main queue.
    void test(const ProxyProfile& proxy, Completion completion) override;

    // The answer for a response with this HTTP status: 200...399 succeed with
    // the status in the text; 407 and 5xx fail; any other status is a
    // completed connection.
    static ProxyTestOutcome outcomeForStatus(unsigned status);

    // The proxy address handed to the resolver: http://host:port for the
    // http and https types, socks4:// or socks5:// otherwise. SOCKS addresses
    // carry the credentials when a user name is set. Every part is escaped.
    static std::string proxyURI(const ProxyProfile& proxy);

private:
    struct Shared;
    struct Run;

    std::shared_ptr<Shared> shared_;
};

}  // namespace quorelle
