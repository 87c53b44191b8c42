#pragma once

#include "app/BrowserServices.h"
#include "app/BrowserWindow.h"
#include "app/QuitSignals.h"

#include <gtkmm/application.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorelle {

class AppState;
class HandOverService;

// The browser process as the desktop sees it. It holds the two browser
// states (the one every main window shows and the guest window's) and the
// two windows: the main window, made when the application is activated, and
// the single guest window, made the first time it is opened ("app.open-guest")
// and only hidden when closed, so it shows its state as it was left. The
// guest window goes away with the main window.
//
// The main window opens at the size and in the maximised state it was left
// in, kept in the data folder each time it closes; the first time, and when
// that file is missing or damaged, at 1200 × 800. The guest window keeps
// nothing: it always opens at 900 × 700.
//
// The menu bar and its accelerators are the application's; every window
// binds the commands to its own state. Quitting ("app.quit") closes the main
// window as its title bar does, which takes the guest window along and ends
// the application the way a close ends it. SIGTERM and SIGHUP (what the end
// of the user's session sends, as QuitSignals catches them) quit the same way
// from the moment the application starts until it has shut down, so the
// window's size and everything else is kept as at Ctrl+Q; one that came
// before it started ends it before any window shows.
//
// Another start on the same data folder is handed to this browser over the
// session bus (HandOverService) and shows the main window, until the browser
// begins to quit: from then on it declines every start and activation, and
// lets go of its name on the bus, so that the start that takes the folder
// next becomes the browser.
class QuorelleApplication : public Gtk::Application {
public:
    static constexpr const char* defaultApplicationID = "io.github.quorelle.Quorelle";
    static constexpr const char* guestWindowID = "guest-window";
    static constexpr const char* openGuestAction = "open-guest";
    static constexpr const char* quitAction = "quit";
    static constexpr int mainDefaultWidth = 1200;
    static constexpr int mainDefaultHeight = 800;
    static constexpr int guestDefaultWidth = 900;
    static constexpr int guestDefaultHeight = 700;

    struct Options {
        std::string applicationID = defaultApplicationID;
        Gio::Application::Flags flags = Gio::Application::Flags::DEFAULT_FLAGS;
        WindowOptions window;
        // Called once the application runs as the one on the session bus (or
        // on its own, without a bus), and once as the browser begins to quit.
        std::function<void()> running;
        std::function<void()> quitting;
        // Where the quit signals are caught: the process's own, which
        // outlives the application. Without it, they are not the
        // application's to take.
        QuitSignals* quitSignals = nullptr;
    };

    // Makes the guest window's state, once, when that window is first opened:
    // a state loads its first page at once, and the guest's would otherwise
    // keep a web process busy from start-up for a window that may never open.
    using GuestStateFactory = std::function<std::shared_ptr<AppState>()>;

    static Glib::RefPtr<QuorelleApplication> create(BrowserServices services, std::shared_ptr<AppState> appState,
                                                    GuestStateFactory makeGuestState, Options options);
    static Glib::RefPtr<QuorelleApplication> create(BrowserServices services, std::shared_ptr<AppState> appState,
                                                    GuestStateFactory makeGuestState) {
        return create(services, std::move(appState), std::move(makeGuestState), Options{});
    }
    ~QuorelleApplication() override;

    const std::shared_ptr<AppState>& appState() const { return appState_; }
    // Nothing until the guest window is first opened.
    const std::shared_ptr<AppState>& guestAppState() const { return guestAppState_; }
    BrowserWindow* mainWindow() const { return mainWindow_.get(); }
    BrowserWindow* guestWindow() const { return guestWindow_.get(); }

    // Shows the main window, making it first if there is none.
    BrowserWindow& presentMainWindow();
    // Brings the one guest window forward, making it the first time.
    BrowserWindow& openGuestWindow();
    // Ends the application through the main window's close.
    void quitBrowser();

protected:
    QuorelleApplication(BrowserServices services, std::shared_ptr<AppState> appState,
                        GuestStateFactory makeGuestState, Options options);

    void on_startup() override;
    void on_activate() override;
    void on_shutdown() override;
    bool dbus_register_vfunc(const Glib::RefPtr<Gio::DBus::Connection>& connection,
                             const Glib::ustring& objectPath) override;
    void dbus_unregister_vfunc(const Glib::RefPtr<Gio::DBus::Connection>& connection,
                               const Glib::ustring& objectPath) override;

private:
    bool quitAsked() const;
    void beginQuit();
    bool openForAnotherStart(GVariant* platformData);
    void restoreMainWindowSize();
    void keepMainWindowSize();
    void onMainWindowHidden();
    void closeWindows();

    BrowserServices services_;
    std::shared_ptr<AppState> appState_;
    GuestStateFactory makeGuestState_;
    std::shared_ptr<AppState> guestAppState_;
    Options options_;
    std::unique_ptr<BrowserWindow> mainWindow_;
    std::unique_ptr<BrowserWindow> guestWindow_;
    sigc::connection guestRelease_;
    std::unique_ptr<HandOverService> handOver_;
    std::unique_ptr<QuitSignals::Reaction> quitReaction_;
    bool quitting_ = false;
};

}  // namespace quorelle
