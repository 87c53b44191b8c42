#include "web/UsersLoad.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace quorelle {

std::string_view UsersLoad::documentOf(const std::string& uri) {
    return std::string_view(uri).substr(0, uri.find('#'));
}

void UsersLoad::ask(WebKitWebView* view, std::string address, Ask ask) {
    follow(std::move(address), std::move(ask));
    load_->ask(view);
}

void UsersLoad::follow(std::string address, Ask ask) {
    load_ = Load{{std::move(address)}, std::move(ask)};
}

bool UsersLoad::wentThrough(const std::string& address) const {
    return load_ && std::find(load_->addresses.begin(), load_->addresses.end(), address) != load_->addresses.end();
}

void UsersLoad::redirectedTo(std::string address) {
    if (load_) load_->addresses.push_back(std::move(address));
}

void UsersLoad::navigates(const std::string& uri, const std::string& onScreen) {
    if (!load_) return;
    const std::string& asked = load_->addresses.front();
    if (documentOf(uri) != documentOf(onScreen)) {
        if (wentThrough(uri)) load_->moved = false;
    } else if (documentOf(uri) != documentOf(asked)) {
        load_->moved = true;
    } else if (uri == asked) {
        end();
    }
}

void UsersLoad::askAgain(WebKitWebView* view) {
    if (!load_) return;
    load_->moved = false;
    load_->ask(view);
}

}  // namespace quorelle
