#pragma once

#include <functional>
#include <string>

namespace quorelle {

struct ProxyProfile;

// A proxy test's answer: a success text, or an error's description with the
// error's domain and code (the tester's own errors, or the network layer's
// passed through).
struct ProxyTestOutcome {
    bool succeeded = false;
    std::string text;
    std::string errorDomain;
    int errorCode = 0;
};

// Sends one test request through a saved proxy profile. Main thread only.
class IProxyTester {
public:
    using Completion = std::function<void(ProxyTestOutcome)>;

    virtual ~IProxyTester() = default;

    // Calls `completion` exactly once. The input errors (no host, a port out
    // of range, an unusable test address) complete before this returns;
    // every network outcome completes later on the main queue.
    virtual void test(const ProxyProfile& proxy, Completion completion) = 0;
};

}  // namespace quorelle
