#pragma once

// A browser state over a temporary data store, plus a real toplevel window
// to put widgets in, and a way to let the toolkit process pending events.

#include "support/MainLoopWait.h"
#include "support/StateTestSupport.h"
#include "web/CommandBus.h"

#include <glib.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/window.h>

#include <memory>

namespace quorelle::testing {

// Lets the toolkit handle what is pending on the default context.
inline void spinToolkit() {
    for (int i = 0; i < 50 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
}

class WindowTest : public StateTest {
protected:
    WindowTest() : bus_(*queue_) {
        for (auto command : CommandBus::allCommands)
            bus_.signal(command).connect([this, command](std::optional<Uuid> id) { posted.push_back({command, id}); });
    }
    ~WindowTest() override {
        if (window_) window_->destroy();
        window_.reset();
        spin();
    }

    // A shown window, 900 points wide, holding `child`.
    Gtk::Window& showInWindow(Gtk::Widget& child, int height = 200) {
        window_ = std::make_unique<Gtk::Window>();
        window_->set_default_size(900, height);
        window_->set_child(child);
        window_->present();
        spin();
        return *window_;
    }

    // Gives the shown window the application's "open-guest" action, as a
    // browser window reaches it, counting its uses in guestWindowRequests.
    void countGuestWindowRequests() {
        auto app = Gio::SimpleActionGroup::create();
        app->add_action("open-guest", [this] { ++guestWindowRequests; });
        window_->insert_action_group("app", app);
    }

    static void spin() { spinToolkit(); }
    // Lets the views redraw from what the state announced.
    void settle() {
        drain();
        spin();
    }

    struct Posting {
        TabCommand command;
        std::optional<Uuid> tabID;
        friend bool operator==(const Posting&, const Posting&) = default;
    };

    CommandBus bus_;
    std::vector<Posting> posted;
    std::unique_ptr<Gtk::Window> window_;
    int guestWindowRequests = 0;
};

// A window test with a browser state made before each case.
class WindowStateTest : public WindowTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
    }

    std::shared_ptr<AppState> state;
};

}  // namespace quorelle::testing
