#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;

namespace quorelle {

// The load the user asked for in one web view (an address, one of the
// browser's pages, a link clicked), from the moment it is asked for until it
// commits or ends; and asking for it again when the page it leaves cuts it
// short.
//
// The engine cuts short a load that has not committed yet whenever the page
// it leaves moves to another place in itself (a script setting
// location.hash, a link to a place in the page), and it does not wait to be
// told whether the page may: a player, a map or a feed that keeps its place
// in the address does so many times a second. Once the engine has started
// the load it reports it cancelled; before, the load is gone without a word.
// Either way the load is asked for again, each time a move cuts it short.
class UsersLoad {
public:
    using Ask = std::function<void(WebKitWebView*)>;

    // The document an address is in: the address without its fragment.
    static std::string_view documentOf(const std::string& uri);

    // The user asks `view` for `address`, as `ask` does.
    void ask(WebKitWebView* view, std::string address, Ask ask);
    // A load of the user's that the engine already follows (a link clicked).
    void follow(std::string address, Ask ask);
    // It has committed, or ended for good (stopped, failed, a download).
    void end() { load_.reset(); }

    bool pending() const { return load_.has_value(); }
    // Whether a failing load at `address` is this one (or a redirect of it).
    bool wentThrough(const std::string& address) const;
    void redirectedTo(std::string address);

    // The engine decides on a navigation to `uri` that the user did not
    // click, the page on screen being at `onScreen`: a move within that page
    // cuts this load short when it is for another document, and is this load
    // itself when it is for that very address. The engine's decision on this
    // load itself means it goes ahead: only a move after it cuts it short.
    void navigates(const std::string& uri, const std::string& onScreen);
    // Whether a move of the page has cut it short, since the engine went
    // ahead with it or it was last asked for.
    bool cutByMove() const { return load_ && load_->moved; }
    // Asks for it again.
    void askAgain(WebKitWebView* view);

private:
    struct Load {
        std::vector<std::string> addresses;  // the one asked for, then each it was redirected to
        Ask ask;
        bool moved = false;  // a move of the page has cut it short
    };

    std::optional<Load> load_;
};

}  // namespace quorelle
