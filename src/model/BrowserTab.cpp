#include "model/BrowserTab.h"

#include "model/BrowserNavigation.h"
#include "model/QuorelleAssets.h"
#include "model/Text.h"

namespace quorelle {
namespace {

std::string startAddress(const std::string& argument) {
    const std::string trimmed = text::trimmed(argument);
    if (trimmed.empty() || BrowserNavigation::hasInternalScheme(trimmed))
        return BrowserNavigation::canonicalInternalURL(argument);
    return argument;
}

}  // namespace

BrowserTab::BrowserTab() : BrowserTab(Options{}) {}

BrowserTab::BrowserTab(Options options)
    : id_(options.id),
      webViewID_(options.webViewID),
      rootURLString_(startAddress(options.urlString)),
      title(options.title, &objectWillChange_),
      urlString(rootURLString_, &objectWillChange_),
      isLoading(false, &objectWillChange_),
      loadProgress(0, &objectWillChange_),
      canGoBack(false, &objectWillChange_),
      canGoForward(false, &objectWillChange_),
      isSecure(true, &objectWillChange_),
      isInternal(BrowserNavigation::hasInternalScheme(rootURLString_), &objectWillChange_),
      internalRoute(InternalPageRoute::from(rootURLString_), &objectWillChange_),
      faviconLetter(QuorelleAssets::faviconLetter(rootURLString_, options.title), &objectWillChange_),
      faviconURL(QuorelleAssets::faviconURL(rootURLString_), &objectWillChange_),
      isPinned(false, &objectWillChange_),
      groupID(std::nullopt, &objectWillChange_),
      loadState(TabLoadState::idle(), &objectWillChange_),
      internalHistory(std::vector<std::string>{rootURLString_}, &objectWillChange_),
      internalHistoryIndex(0, &objectWillChange_) {}

void BrowserTab::recordInternalNavigation(std::string_view address) {
    const std::string canonical = BrowserNavigation::canonicalInternalURL(address);
    const auto& history = internalHistory.get();
    const auto index = internalHistoryIndex.get();
    const auto count = static_cast<std::int64_t>(history.size());
    if (index >= 0 && index < count && history[static_cast<std::size_t>(index)] == canonical) return;
    dropInternalHistoryAhead();
    internalHistory.modify([&](std::vector<std::string>& h) { h.push_back(canonical); });
    internalHistoryIndex.set(static_cast<std::int64_t>(internalHistory.get().size()) - 1);
}

void BrowserTab::dropInternalHistoryAhead() {
    const auto index = internalHistoryIndex.get();
    if (index >= static_cast<std::int64_t>(internalHistory.get().size()) - 1) return;
    internalHistory.modify([&](std::vector<std::string>& h) { h.resize(static_cast<std::size_t>(index) + 1); });
}

void BrowserTab::updateInternalState() {
    isInternal.set(BrowserNavigation::hasInternalScheme(urlString.get()));
    internalRoute.set(InternalPageRoute::from(urlString.get()));
}

void BrowserTab::applyInternalFavicon() {
    if (isInternal.get()) {
        faviconURL.set(std::string(QuorelleAssets::logoFaviconReference));
        faviconLetter.set("Q");
        return;
    }
    faviconURL.set(QuorelleAssets::faviconURL(urlString.get()));
    faviconLetter.set(QuorelleAssets::faviconLetter(urlString.get(), title.get()));
}

std::string BrowserTab::displayURLForOmnibox() const { return BrowserNavigation::displayText(this); }

}  // namespace quorelle
