#pragma once

// The accessibility bus of a desktop session, on the test's display: a
// session bus of its own that can start only the accessibility bus launcher
// (at-spi2-core), asked for the bus as the toolkit asks. The launcher starts
// it and publishes its address on the display's root window (AT_SPI_BUS),
// where any program on the display finds it. Everything it started ends with
// it, and the root window gets back what it held before.
//
// Include it after the other headers: Xlib defines short macro names (None,
// Bool, Status).

#include "support/MainLoopWait.h"
#include "support/PrivateSessionBus.h"
#include "support/ScratchFolder.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace quorelle::testing {

// The processes whose environment holds `variable` ("NAME=value"), as
// scripts/test finds what a suite left behind.
inline std::vector<pid_t> processesWith(const std::string& variable) {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "environ", std::ios::binary);
        for (std::string line; std::getline(in, line, '\0');)
            if (line == variable) {
                found.push_back(std::stoi(name));
                break;
            }
    }
    return found;
}

class DesktopAccessibilityBus {
public:
    explicit DesktopAccessibilityBus(Display* display) : display_(display), before_(publishedOn(display)) {
        std::optional<std::string> service;
        for (const char* const* data = g_get_system_data_dirs(); *data && !service; ++data)
            if (std::filesystem::exists(std::string(*data) + "/dbus-1/services/org.a11y.Bus.service"))
                service = std::string(*data) + "/dbus-1/services/org.a11y.Bus.service";
        if (!service) {
            problem_ = "no org.a11y.Bus service here (at-spi2-core: scripts/deps test)";
            return;
        }
        std::filesystem::create_directories(scratch_.file("services"));
        std::filesystem::copy_file(*service, scratch_.file("services/org.a11y.Bus.service"));
        std::filesystem::create_directory(runtime());
        std::filesystem::permissions(runtime(), std::filesystem::perms::owner_all);
        if (startSessionBus()) askForTheBus();
    }
    ~DesktopAccessibilityBus() {
        if (connection_) g_object_unref(connection_);
        sessionBus_.reset();
        // The launcher and the bus it started go with the session bus.
        const std::string started = "XDG_RUNTIME_DIR=" + runtime();
        if (!runUntil([&] { return processesWith(started).empty(); }, limitMs))
            for (pid_t left : processesWith(started)) {
                ADD_FAILURE() << "the accessibility bus left process " << left << " running";
                kill(left, SIGKILL);
            }
        publish(display_, before_);
    }
    DesktopAccessibilityBus(const DesktopAccessibilityBus&) = delete;
    DesktopAccessibilityBus& operator=(const DesktopAccessibilityBus&) = delete;

    // Why the bus is not up; empty when it is.
    const std::string& problem() const { return problem_; }
    const std::string& address() const { return address_; }

    // The accessibility bus address the display publishes; nothing when none.
    static std::optional<std::string> publishedOn(Display* display) {
        std::optional<std::string> text;
        Atom actual = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* value = nullptr;
        if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, property, False), 0, 4096,
                               False, XA_STRING, &actual, &format, &items, &after, &value) == Success &&
            value && format == 8)
            text.emplace(reinterpret_cast<char*>(value), items);
        if (value) XFree(value);
        return text;
    }

private:
    static constexpr const char* property = "AT_SPI_BUS";
    // How long the buses may take to start or end.
    static constexpr int limitMs = 20000;

    static void publish(Display* display, const std::optional<std::string>& address) {
        const Atom atom = XInternAtom(display, property, False);
        if (address)
            XChangeProperty(display, DefaultRootWindow(display), atom, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(address->data()), static_cast<int>(address->size()));
        else
            XDeleteProperty(display, DefaultRootWindow(display), atom);
        XFlush(display);
    }

    std::string runtime() const { return scratch_.file("runtime"); }

    bool startSessionBus() {
        gchar** env = g_environ_setenv(g_get_environ(), "XDG_RUNTIME_DIR", runtime().c_str(), TRUE);
        sessionBus_ = std::make_unique<PrivateSessionBus>(scratch_.file("services"), env);
        g_strfreev(env);
        if (!sessionBus_->problem().empty()) {
            problem_ = sessionBus_->problem();
            return false;
        }
        GError* error = nullptr;
        connection_ = g_dbus_connection_new_for_address_sync(
            sessionBus_->address().c_str(),
            GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        if (!connection_) {
            problem_ = std::string("the session bus: ") + error->message;
            g_error_free(error);
        }
        return connection_ != nullptr;
    }

    void askForTheBus() {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_sync(connection_, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                                      "GetAddress", nullptr, G_VARIANT_TYPE("(s)"),
                                                      G_DBUS_CALL_FLAGS_NONE, limitMs, nullptr, &error);
        if (!reply) {
            problem_ = std::string("org.a11y.Bus: ") + error->message;
            g_error_free(error);
            return;
        }
        const gchar* address = nullptr;
        g_variant_get(reply, "(&s)", &address);
        address_ = address;
        g_variant_unref(reply);
    }

    Display* display_;
    std::optional<std::string> before_;
    ScratchFolder scratch_{"quorelle-a11y-XXXXXX"};
    std::unique_ptr<PrivateSessionBus> sessionBus_;
    GDBusConnection* connection_ = nullptr;
    std::string address_;
    std::string problem_;
};

}  // namespace quorelle::testing
