#pragma once

#include "model/InternalPageRoute.h"

#include <string>
#include <variant>

namespace quorelle {

// What omnibox text resolves to: an internal page, an internal address that
// names no page (its canonical form), or a web address.
class NavigationTarget {
public:
    struct InternalPage {
        InternalPageRoute route;
        friend bool operator==(const InternalPage&, const InternalPage&) = default;
    };
    struct InternalNotFound {
        std::string canonicalURL;
        friend bool operator==(const InternalNotFound&, const InternalNotFound&) = default;
    };
    struct WebURL {
        std::string url;
        friend bool operator==(const WebURL&, const WebURL&) = default;
    };

    static NavigationTarget internalPage(InternalPageRoute route) { return NavigationTarget(InternalPage{route}); }
    static NavigationTarget internalNotFound(std::string canonical) {
        return NavigationTarget(InternalNotFound{std::move(canonical)});
    }
    static NavigationTarget webURL(std::string url) { return NavigationTarget(WebURL{std::move(url)}); }

    bool isInternal() const { return !std::holds_alternative<WebURL>(value_); }
    const InternalPage* asInternalPage() const { return std::get_if<InternalPage>(&value_); }
    const InternalNotFound* asInternalNotFound() const { return std::get_if<InternalNotFound>(&value_); }
    const WebURL* asWebURL() const { return std::get_if<WebURL>(&value_); }

    friend bool operator==(const NavigationTarget&, const NavigationTarget&) = default;

private:
    using Value = std::variant<InternalPage, InternalNotFound, WebURL>;
    explicit NavigationTarget(Value value) : value_(std::move(value)) {}
    Value value_;
};

}  // namespace quorelle
