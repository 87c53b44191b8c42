#include "model/SearchEngine.h"

#include "model/JsonCodec.h"
#include "model/Text.h"
#include "model/UrlParts.h"

namespace quorelle {

const SearchEngine& SearchEngine::google() {
    static const SearchEngine engine{"google", "Google", "https://www.google.com/search?q=%s"};
    return engine;
}

const SearchEngine& SearchEngine::duckDuckGo() {
    static const SearchEngine engine{"duckduckgo", "DuckDuckGo", "https://duckduckgo.com/?q=%s"};
    return engine;
}

const SearchEngine& SearchEngine::bing() {
    static const SearchEngine engine{"bing", "Bing", "https://www.bing.com/search?q=%s"};
    return engine;
}

const SearchEngine& SearchEngine::yahoo() {
    static const SearchEngine engine{"yahoo", "Yahoo", "https://search.yahoo.com/search?p=%s"};
    return engine;
}

const std::vector<SearchEngine>& SearchEngine::builtIn() {
    static const std::vector<SearchEngine> all{google(), duckDuckGo(), bing(), yahoo()};
    return all;
}

std::string percentEncodeQueryComponent(std::string_view input) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(input.size() * 3);
    for (unsigned char c : input) {
        bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0x0f]);
        }
    }
    return out;
}

std::optional<std::string> SearchEngine::searchURL(std::string_view query) const {
    std::string address = text::replaceAll(urlTemplate, "%s", percentEncodeQueryComponent(query));
    if (!UrlParts::parse(address)) return std::nullopt;
    return address;
}

void readJson(const Json& j, SearchEngine& out) {
    out.id = json::req<std::string>(j, "id");
    out.name = json::req<std::string>(j, "name");
    out.urlTemplate = json::req<std::string>(j, "urlTemplate");
}

Json toJson(const SearchEngine& engine) {
    Json j = Json::object();
    json::put(j, "id", engine.id);
    json::put(j, "name", engine.name);
    json::put(j, "urlTemplate", engine.urlTemplate);
    return j;
}

}  // namespace quorelle
