#include "web/BrowserIdentityManager.h"

#include "model/GLibPtr.h"
#include "model/Text.h"
#include "state/AppState.h"
#include "web/IUserAgentView.h"

#include <glib.h>

#include <cstring>
#include <string>
#include <utility>

namespace quorelle {
namespace {

constexpr std::string_view kChromeMacPrefix = "Mozilla/5.0 (Macintosh; Intel Mac OS X ";
constexpr std::string_view kChromeMacSuffix =
    ") AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0.0.0 Safari/537.36";
constexpr std::string_view kChromeIOS =
    "Mozilla/5.0 (iPhone; CPU iPhone OS 18_0 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "CriOS/131.0.0.0 Mobile/15E148 Safari/604.1";
constexpr std::string_view kIphoneSafari =
    "Mozilla/5.0 (iPhone; CPU iPhone OS 18_0 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "Version/18.0 Mobile/15E148 Safari/604.1";

// The host as the address parser gives it, or "" when the address has none
// or does not parse.
std::string hostOf(const std::string& url) {
    GUriPtr uri(g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr));
    if (!uri || !g_uri_get_host(uri.get())) return {};
    return g_uri_get_host(uri.get());
}

bool isRWS(gunichar c) { return c == ' ' || c == '\t'; }

bool isTokenChar(gunichar c) {
    if (c == 0 || c >= 0x80) return false;
    return g_ascii_isalnum(static_cast<char>(c)) || std::strchr("!#$%&'*+-.^_`|~", static_cast<int>(c));
}

// Inside a comment: tabs, spaces, visible characters but the parentheses and
// the backslash, and the Latin-1 range the header allows as "obs-text".
bool isCommentText(gunichar c) {
    return isRWS(c) || (c >= 0x21 && c <= 0x7e && c != '(' && c != ')' && c != '\\') || (c >= 0x80 && c <= 0xff);
}

// One step of the User-Agent header grammar over the decoded characters.
class UserAgentReader {
public:
    explicit UserAgentReader(std::u32string text) : text_(std::move(text)) {}

    // product *( RWS ( product / comment ) ), and nothing after it.
    bool wholeValue() {
        if (!product()) return false;
        while (pos_ < text_.size()) {
            const std::size_t before = pos_;
            while (pos_ < text_.size() && isRWS(text_[pos_])) ++pos_;
            if (pos_ == before || pos_ == text_.size()) return false;
            if (!(text_[pos_] == '(' ? comment() : product())) return false;
        }
        return true;
    }

private:
    bool token() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && isTokenChar(text_[pos_])) ++pos_;
        return pos_ > start;
    }
    bool product() {
        if (!token()) return false;
        if (pos_ == text_.size() || text_[pos_] != '/') return true;
        ++pos_;
        return token();
    }
    // "(" *( text / quoted pair / comment ) ")", nested without recursion.
    bool comment() {
        std::size_t depth = 0;
        while (pos_ < text_.size()) {
            const gunichar c = text_[pos_++];
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (--depth == 0) return true;
            } else if (c == '\\') {
                if (pos_ == text_.size() || !(isCommentText(text_[pos_]) || text_[pos_] == '(' || text_[pos_] == ')' ||
                                              text_[pos_] == '\\'))
                    return false;
                ++pos_;
            } else if (!isCommentText(c)) {
                return false;
            }
        }
        return false;
    }

    std::u32string text_;
    std::size_t pos_ = 0;
};

}  // namespace

bool BrowserIdentityManager::isSendableUserAgent(std::string_view value) {
    std::u32string decoded;
    const char* at = value.data();
    const char* const end = value.data() + value.size();
    while (at < end) {
        const gunichar c = g_utf8_get_char_validated(at, end - at);
        if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) return false;
        decoded.push_back(c);
        at = g_utf8_next_char(at);
    }
    return UserAgentReader(std::move(decoded)).wholeValue();
}

std::optional<std::string> BrowserIdentityManager::userAgentString(UserAgentPreset preset,
                                                                   const std::string& custom) {
    switch (preset.value()) {
        case UserAgentPreset::default_:
            return std::nullopt;
        case UserAgentPreset::chromeMac:
            return std::string(kChromeMacPrefix) + std::string(desktopOSVersion) + std::string(kChromeMacSuffix);
        case UserAgentPreset::chromeIOS:
            return std::string(kChromeIOS);
        case UserAgentPreset::iphoneSafari:
            return std::string(kIphoneSafari);
        case UserAgentPreset::custom:
            if (!isSendableUserAgent(custom)) return std::nullopt;
            return custom;
    }
    return std::nullopt;
}

std::optional<std::string> BrowserIdentityManager::userAgentString(const UserAgentSettings& settings) {
    return userAgentString(settings.preset, settings.customValue);
}

void BrowserIdentityManager::apply(IUserAgentView& view, const UserAgentSettings& settings) {
    view.setUserAgent(userAgentString(settings));
}

void BrowserIdentityManager::applyOnHostCreation(IUserAgentView& view, const AppState& appState) {
    apply(view, appState.settings().userAgent);
}

void BrowserIdentityManager::applyToAllTabs(const AppState& appState, bool force, const ViewForTab& viewForTab) {
    const auto userAgent = userAgentString(appState.settings().userAgent);
    const auto tabs = appState.tabs.get();
    for (const auto& tab : tabs) {
        IUserAgentView* view = viewForTab(tab->id());
        if (!view) continue;
        if (!force && (tab->isLoading.get() || shouldSkipIdentityUpdate(view->currentURL()))) continue;
        view->setUserAgent(userAgent);
    }
}

void BrowserIdentityManager::applyUserAgentToAllTabs(const AppState& appState, bool force) {
    applyToAllTabs(appState, force, viewForTab_);
}

bool BrowserIdentityManager::shouldSkipIdentityUpdate(const std::optional<std::string>& url) {
    if (!url) return false;
    const std::string address = text::lowercased(*url);
    const std::string host = text::lowercased(hostOf(*url));
    for (std::string_view entry : identityProviderEntries) {
        if (text::contains(host, entry) || text::contains(address, entry)) return true;
    }
    for (std::string_view word : identityProviderWords) {
        if (text::contains(address, word)) return true;
    }
    return false;
}

}  // namespace quorelle
