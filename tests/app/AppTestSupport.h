#pragma once

// The whole browser on a virtual display: every process-wide object over a
// temporary folder (see WebServicesTest), both browser states, and the
// application with its main window open.

#include "app/QuorelleApplication.h"
#include "support/WebServicesTest.h"
#include "web/InspectorService.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/ScriptDialogs.h"

#include <glib.h>
#include <webkit/webkit.h>

#include <chrono>
#include <memory>

namespace quorelle::testing {

// Where a widget lies inside one of its ancestors.
struct Bounds {
    double x = 0, y = 0, width = 0, height = 0;
};
inline Bounds boundsIn(Gtk::Widget& widget, Gtk::Widget& ancestor) {
    Bounds b;
    widget.translate_coordinates(ancestor, 0, 0, b.x, b.y);
    b.width = widget.get_width();
    b.height = widget.get_height();
    return b;
}

class AppTest : public WebServicesTest {
protected:
    static constexpr std::chrono::milliseconds toastDuration{400};

    AppTest() : WebServicesTest("quorelle-app-XXXXXX") {
        guestStore_ = std::make_unique<DataStore>(scratch_ + "/QuorelleData", DataStore::Access::readOnly);
        services->scriptDialogs = &scriptDialogs_;
        state = makeState();

        QuorelleApplication::Options options;
        // Each fixture registers its own name: an application object may
        // outlive its test briefly.
        static int fixtures = 0;
        options.applicationID = "io.github.quorelle.QuorelleTest" + std::to_string(++fixtures);
        options.flags = Gio::Application::Flags::NON_UNIQUE;
        options.window.toastDuration = toastDuration;
        auto makeGuestState = [this] {
            ++guestStatesMade;
            guestState = makeState(*guestStore_, true);
            return guestState;
        };
        app = QuorelleApplication::create(BrowserServices{queue, *webStore, *commands, inspector_, faviconImages_},
                                          state, makeGuestState, options);
        app->register_application();
        app->activate();
        settle();
    }
    // The browser ends as its run ends: the main window closed, as the user
    // closes it, then a run of the application that quits as it starts,
    // presenting no window, so that it shuts down (destroying its windows)
    // and leaves the session bus. An application whose run never ended keeps
    // itself and its windows alive.
    ~AppTest() override {
        endRun();
        app.reset();
        runFor(50);
        state.reset();
        guestState.reset();
        webStore.reset();
        runFor(50);
    }

    BrowserWindow& mainWindow() { return *app->mainWindow(); }

    // Ends the browser as described above, once: a case may end it itself to
    // look at what the end does.
    void endRun() {
        if (runEnded_) return;
        runEnded_ = true;
        if (auto* window = app->mainWindow(); window && window->get_visible()) window->close();
        app->signal_activate().connect(
            [this] {
                g_signal_stop_emission_by_name(app->gobj(), "activate");
                app->quit();
            },
            false);
        app->run(0, nullptr);
    }

    // The page the active tab shows has loaded, and the browser has taken in
    // all its load reported: nothing of that load changes the tab any more.
    // (A view starts loading as it is asked to, so one that is not loading
    // has finished.)
    bool shownPageLoaded() {
        settle();
        GtkWidget* shown = mainWindow().browserView().tabContent().webTabView().shownView();
        return shown && !webkit_web_view_is_loading(WEBKIT_WEB_VIEW(shown)) && queue.pending() == 0;
    }

    // Lets queued state work and the toolkit catch up.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            queue.drain();
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
        }
    }

    std::unique_ptr<DataStore> guestStore_;
    ScriptDialogs scriptDialogs_;
    InspectorService inspector_{queue};
    FaviconImageCache faviconImages_{QuorelleLogoCache::shared()};
    std::shared_ptr<AppState> guestState;  // made when the guest window first opens
    int guestStatesMade = 0;
    Glib::RefPtr<QuorelleApplication> app;

private:
    bool runEnded_ = false;
};

}  // namespace quorelle::testing
