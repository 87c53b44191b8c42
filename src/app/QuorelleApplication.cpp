#include "app/QuorelleApplication.h"

#include "app/HandOverService.h"
#include "model/GLibPtr.h"
#include "state/AppState.h"
#include "store/DataStore.h"
#include "window/MenuCommands.h"
#include "window/WindowChromeConfigurator.h"

#include <glibmm/main.h>

namespace quorelle {

Glib::RefPtr<QuorelleApplication> QuorelleApplication::create(BrowserServices services,
                                                              std::shared_ptr<AppState> appState,
                                                              GuestStateFactory makeGuestState,
                                                              Options options) {
    return Glib::make_refptr_for_instance<QuorelleApplication>(
        new QuorelleApplication(services, std::move(appState), std::move(makeGuestState), std::move(options)));
}

QuorelleApplication::QuorelleApplication(BrowserServices services, std::shared_ptr<AppState> appState,
                                         GuestStateFactory makeGuestState, Options options)
    : Gtk::Application(options.applicationID, options.flags),
      services_(services),
      appState_(std::move(appState)),
      makeGuestState_(std::move(makeGuestState)),
      options_(std::move(options)) {}

QuorelleApplication::~QuorelleApplication() {
    quitReaction_.reset();
    guestRelease_.disconnect();
    closeWindows();
}

bool QuorelleApplication::dbus_register_vfunc(const Glib::RefPtr<Gio::DBus::Connection>& connection,
                                              const Glib::ustring& objectPath) {
    handOver_ = std::make_unique<HandOverService>(
        connection->gobj(), objectPath, [this](GVariant* platformData) { return openForAnotherStart(platformData); });
    return Gtk::Application::dbus_register_vfunc(connection, objectPath);
}

void QuorelleApplication::dbus_unregister_vfunc(const Glib::RefPtr<Gio::DBus::Connection>& connection,
                                                const Glib::ustring& objectPath) {
    handOver_.reset();
    Gtk::Application::dbus_unregister_vfunc(connection, objectPath);
}

bool QuorelleApplication::quitAsked() const {
    return options_.quitSignals && options_.quitSignals->received();
}

// As an activation from the bus is taken: the start's activation token goes
// to the toolkit first, for the window manager to bring the window forward.
bool QuorelleApplication::openForAnotherStart(GVariant* platformData) {
    if (quitting_) return false;
    GApplication* application = G_APPLICATION(gobj());
    auto* klass = G_APPLICATION_GET_CLASS(application);
    if (klass->before_emit) klass->before_emit(application, platformData);
    presentMainWindow();
    if (klass->after_emit) klass->after_emit(application, platformData);
    return true;
}

// From here on nothing brings the browser back: a start that comes now
// waits for the folder, and the one that gets it finds the application's
// name free on the bus.
void QuorelleApplication::beginQuit() {
    if (quitting_) return;
    quitting_ = true;
    // Said before the name goes: a start that finds the name gone then
    // knows why.
    if (options_.quitting) options_.quitting();
    const bool ownsName = (get_flags() & Gio::Application::Flags::NON_UNIQUE) != Gio::Application::Flags::NON_UNIQUE &&
                          is_registered() && !is_remote();
    if (auto connection = get_dbus_connection(); connection && ownsName) {
        GLibPtr<GVariant, g_variant_unref> reply(g_dbus_connection_call_sync(
            connection->gobj(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "ReleaseName", g_variant_new("(s)", get_id().c_str()), G_VARIANT_TYPE("(u)"),
            G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr));
    }
}

void QuorelleApplication::on_startup() {
    Gtk::Application::on_startup();
    set_menubar(MenuCommands::menuModel());
    MenuCommands::registerAccelerators(*this);
    set_accels_for_action(std::string("win.") + WindowChromeConfigurator::fullscreenAction, {"F11"});
    add_action(openGuestAction, [this] { openGuestWindow(); });
    add_action(quitAction, [this] { quitBrowser(); });
    // Taken on the main loop, as the quit action is.
    if (options_.quitSignals)
        quitReaction_ = std::make_unique<QuitSignals::Reaction>(*options_.quitSignals, nullptr,
                                                                [this] { activate_action(quitAction); });
    if (options_.running) options_.running();
}

// Asked to quit before it ran, the application ends without a window.
void QuorelleApplication::on_activate() {
    if (!quitting_ && !quitAsked()) presentMainWindow();
}

// A signal that comes from here on finds the quit under way.
void QuorelleApplication::on_shutdown() {
    quitReaction_.reset();
    beginQuit();
    closeWindows();
    Gtk::Application::on_shutdown();
}

BrowserWindow& QuorelleApplication::presentMainWindow() {
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<BrowserWindow>(appState_, services_, options_.window);
        mainWindow_->set_title("Quorelle");
        restoreMainWindowSize();
        // Closing hides it; the application lets go of it (and of the guest
        // window) then, and ends when no window is left.
        mainWindow_->set_hide_on_close(true);
        mainWindow_->signal_hide().connect(sigc::mem_fun(*this, &QuorelleApplication::onMainWindowHidden));
    }
    if (!mainWindow_->get_application()) add_window(*mainWindow_);
    mainWindow_->present();
    return *mainWindow_;
}

BrowserWindow& QuorelleApplication::openGuestWindow() {
    if (!guestWindow_) {
        if (!guestAppState_) guestAppState_ = makeGuestState_();
        guestWindow_ = std::make_unique<BrowserWindow>(guestAppState_, services_, options_.window);
        guestWindow_->set_name(guestWindowID);
        guestWindow_->set_title("Guest");
        guestWindow_->set_default_size(guestDefaultWidth, guestDefaultHeight);
        guestWindow_->set_hide_on_close(true);
    }
    // A hidden window leaves the application; it comes back when reopened.
    if (!guestWindow_->get_application()) add_window(*guestWindow_);
    guestWindow_->present();
    return *guestWindow_;
}

void QuorelleApplication::quitBrowser() {
    if (mainWindow_ && mainWindow_->get_visible())
        mainWindow_->close();
    else
        quit();
}

void QuorelleApplication::restoreMainWindowSize() {
    const auto saved = appState_->store().loadWindowSize();
    if (!saved) {
        mainWindow_->set_default_size(mainDefaultWidth, mainDefaultHeight);
        return;
    }
    const auto size = saved->clamped(BrowserWindow::minimumWidth, BrowserWindow::minimumHeight);
    mainWindow_->set_default_size(static_cast<int>(size.width), static_cast<int>(size.height));
    if (size.maximized) mainWindow_->maximize();
}

// The default size follows the user's resizing, except while the window is
// maximised or full screen: it is the size to come back to.
void QuorelleApplication::keepMainWindowSize() {
    int width = 0, height = 0;
    mainWindow_->get_default_size(width, height);
    appState_->store().saveWindowSize(WindowSize{width, height, mainWindow_->is_maximized()});
}

void QuorelleApplication::onMainWindowHidden() {
    beginQuit();
    keepMainWindowSize();
    if (mainWindow_->get_application()) remove_window(*mainWindow_);
    // The guest window never outlives the main one, hidden or not; it goes
    // on a later turn, outside the main window's own hide.
    if (!guestWindow_) return;
    guestWindow_->set_visible(false);
    if (guestWindow_->get_application()) remove_window(*guestWindow_);
    guestRelease_.disconnect();
    guestRelease_ = Glib::signal_idle().connect(
        [this] {
            guestWindow_.reset();
            return false;
        },
        Glib::PRIORITY_DEFAULT);
}

void QuorelleApplication::closeWindows() {
    for (auto* window : {guestWindow_.get(), mainWindow_.get()})
        if (window && window->get_application()) remove_window(*window);
    guestWindow_.reset();
    mainWindow_.reset();
}

}  // namespace quorelle
