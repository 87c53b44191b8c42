// Proxy profiles as the proxy page edits and tests them.
#include "model/JsonCodec.h"
#include "model/RecordList.h"
#include "state/AppState.h"
#include "state/IProxyTester.h"

#include <cstdint>
#include <limits>

namespace quorelle {
namespace {

constexpr std::int64_t defaultProxyPort = 8080;

// A whole decimal integer: an optional sign, then digits only, within the
// 64-bit range. Blanks anywhere make it invalid.
std::optional<std::int64_t> parseDecimalInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulated as a negative number, whose range is one larger.
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const int digit = c - '0';
        if (value < (lowest + digit) / 10) return std::nullopt;
        value = value * 10 - digit;
    }
    if (negative) return value;
    if (value == lowest) return std::nullopt;
    return -value;
}

std::string stringOr(const Json& message, const char* key, std::string fallback) {
    return json::lenient<std::string>(message, key).value_or(std::move(fallback));
}

// Decimal text, or an integral number in range.
std::int64_t portFrom(const Json& message) {
    if (auto text = json::lenient<std::string>(message, "port"))
        return parseDecimalInteger(*text).value_or(defaultProxyPort);
    return json::lenient<std::int64_t>(message, "port").value_or(defaultProxyPort);
}

ProxyProfile proxyFromMessage(const Json& message) {
    ProxyProfile proxy;
    // An id that does not parse counts as missing: the profile is a new one.
    proxy.id = json::lenient<Uuid>(message, "profileId").value_or(Uuid::random());
    proxy.type = json::lenient<ProxyType>(message, "type").value_or(ProxyType::http);
    proxy.port = portFrom(message);
    proxy.name = stringOr(message, "name", "Proxy");
    proxy.host = stringOr(message, "host", "");
    proxy.username = stringOr(message, "username", "");
    proxy.password = stringOr(message, "password", "");
    proxy.isEnabled = json::lenient<bool>(message, "enabled").value_or(false);
    return proxy;
}

}  // namespace

void AppState::testProxy(std::optional<std::string> profileID) {
    const auto& proxies = profileData.get().proxies;
    const std::optional<Uuid> wanted = profileID ? Uuid::parse(*profileID) : std::nullopt;
    const ProxyProfile* first = proxies.empty() ? nullptr : &proxies.front();
    const ProxyProfile* chosen = wanted ? records::find(proxies, *wanted) : first;
    // Nothing else: a reload would wipe what the user typed in the page's
    // form. The page shows the message when it is next rendered.
    if (!chosen) {
        proxyTestError.set(std::string(saveProxyFirstMessage));
        proxyTestResult.set(std::nullopt);
        return;
    }
    // The texts are the web layer's own; they are only shown here.
    std::weak_ptr<AppState> weak = weak_from_this();
    services_.proxyTester.test(*chosen, [weak](ProxyTestOutcome outcome) {
        auto self = weak.lock();
        if (!self) return;
        if (outcome.succeeded) {
            self->proxyTestResult.set(std::move(outcome.text));
            self->proxyTestError.set(std::nullopt);
            self->toastMessage.set("Proxy test finished");
        } else {
            self->proxyTestError.set(std::move(outcome.text));
            self->proxyTestResult.set(std::nullopt);
            self->toastMessage.set("Proxy test failed");
        }
        self->reloadProxyPageIfActive();
    });
}

void AppState::saveProxyFromMessage(const Json& message) {
    const ProxyProfile proxy = proxyFromMessage(message);
    profileData.modify([&](ProfileData& d) {
        records::replaceOrAppend(d.proxies, proxy);
        d.settings.activeProxyID = proxy.id;
    });
    // The request for a profile is answered now.
    if (proxyTestError.get() == saveProxyFirstMessage) proxyTestError.set(std::nullopt);
    persist();
    toastMessage.set("Proxy profile saved");
    reloadProxyPageIfActive();
}

void AppState::deleteProxy(const Uuid& idToDelete) {
    // A copy: the caller's id may live in the list that is about to shrink.
    const Uuid id = idToDelete;
    if (!records::contains(profileData.get().proxies, id)) return;
    profileData.modify([&](ProfileData& d) {
        records::erase(d.proxies, id);
        if (d.settings.activeProxyID == id)
            d.settings.activeProxyID =
                d.proxies.empty() ? std::nullopt : std::optional<Uuid>(d.proxies.front().id);
    });
    persist();
    toastMessage.set("Proxy profile deleted");
    reloadProxyPageIfActive();
}

}  // namespace quorelle
