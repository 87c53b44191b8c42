#pragma once

// A browser state over a temporary data store, plus a real toplevel window
// to put widgets in, and a way to let the toolkit process pending events.

#include "support/MainLoopWait.h"
#include "support/StateTestSupport.h"
#include "web/CommandBus.h"

#include <glib.h>
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

    // A shown window holding `child`.
    Gtk::Window& showInWindow(Gtk::Widget& child) {
        window_ = std::make_unique<Gtk::Window>();
        window_->set_default_size(900, 200);
        window_->set_child(child);
        window_->present();
        spin();
        return *window_;
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
};

}  // namespace quorelle::testing
