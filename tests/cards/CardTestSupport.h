#pragma once

// A browser state over a temporary data store, the icon image cache the
// cards' previews draw from, and a tall window to show a card in, over a
// page that holds the keyboard focus until the card opens.

#include "cards/CardOverPage.h"
#include "cards/TwoWayBinding.h"
#include "web/ProductLogo.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/WindowTestSupport.h"

#include <gtkmm/button.h>
#include <gtkmm/gestureclick.h>

#include <chrono>
#include <memory>
#include <string>

namespace quorelle::testing {

class CardTest : public WindowStateTest {
protected:
    CardTest() : logo(std::string(ProductLogo::resourcePath)), images(logo, std::chrono::milliseconds(500)) {}
    ~CardTest() override { over.takeDown(window_.get()); }

    static void click(Gtk::Button& button) { g_signal_emit_by_name(button.gobj(), "clicked"); }
    // A single primary tap released on the gesture's widget.
    static void tap(const Glib::RefPtr<Gtk::GestureClick>& gesture) {
        g_signal_emit_by_name(gesture->gobj(), "released", 1, 5.0, 5.0);
    }

    // A shown window, the size of the smallest browser window, with `card`
    // laid over a page that had the keyboard focus.
    Gtk::Window& present(Gtk::Widget& card) {
        Gtk::Window& window = showInWindow(over.layer(), 700);
        over.lay(card);
        return window;
    }

    // What a fresh state reads back from disk.
    ProfileData reread() { return makeState()->profileData.get(); }

    BookmarkFolder addFolder(const std::string& name, std::int64_t sortOrder) {
        BookmarkFolder folder;
        folder.name = name;
        folder.sortOrder = sortOrder;
        state->profileData.modify([&](ProfileData& d) { d.bookmarkFolders.push_back(folder); });
        state->persist();
        return folder;
    }

    QuorelleLogoCache logo;
    FaviconImageCache images;
    CardOverPage over;
};

}  // namespace quorelle::testing
