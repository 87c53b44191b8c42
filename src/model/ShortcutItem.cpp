#include "model/ShortcutItem.h"

#include "model/JsonCodec.h"

#include <array>
#include <string_view>
#include <utility>

namespace quorelle {
namespace {

// Title and address of each starting tile, in sortOrder.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kDefaultTiles{{
    {"Google", "https://www.google.com"},
    {"YouTube", "https://www.youtube.com"},
    {"Gmail", "https://mail.google.com"},
    {"Maps", "https://maps.google.com"},
    {"News", "https://news.google.com"},
    {"Wikipedia", "https://www.wikipedia.org"},
}};

}  // namespace

std::vector<ShortcutItem> ShortcutItem::defaultShortcuts() {
    std::vector<ShortcutItem> items;
    items.reserve(kDefaultTiles.size());
    std::int64_t order = 0;
    for (const auto& [title, url] : kDefaultTiles)
        items.push_back(ShortcutItem{Uuid::random(), std::string(title), std::string(url), order++, std::nullopt});
    return items;
}

void readJson(const Json& j, ShortcutItem& out) {
    out.id = json::req<Uuid>(j, "id");
    out.title = json::req<std::string>(j, "title");
    out.url = json::req<std::string>(j, "url");
    out.sortOrder = json::req<std::int64_t>(j, "sortOrder");
    out.faviconURL = json::opt<std::string>(j, "faviconURL");
}

Json toJson(const ShortcutItem& item) {
    Json j = Json::object();
    json::put(j, "id", item.id);
    json::put(j, "title", item.title);
    json::put(j, "url", item.url);
    json::put(j, "sortOrder", item.sortOrder);
    json::putOptional(j, "faviconURL", item.faviconURL);
    return j;
}

}  // namespace quorelle
