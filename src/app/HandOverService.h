#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

namespace quorelle {

// How a start hands itself over to the browser that holds the data folder:
// a method that browser offers on the session bus, beside its application
// object. Unlike the desktop's plain Activate, its answer says whether the
// browser took the start (showed its window) or declined it, as a browser
// that has begun to quit does; a start that was declined waits for the
// folder instead.
class HandOverService {
public:
    static constexpr const char* interfaceName = "io.github.quorelle.HandOver";
    static constexpr const char* methodName = "Open";

    // Answers the method on `connection` at `objectPath` while it lives.
    // `open` gets the start's platform data (its activation token) and says
    // whether the start was taken.
    using Open = std::function<bool(GVariant* platformData)>;
    HandOverService(GDBusConnection* connection, const std::string& objectPath, Open open);
    ~HandOverService();
    HandOverService(const HandOverService&) = delete;
    HandOverService& operator=(const HandOverService&) = delete;

    // The object path an application registers under: its id with "." as
    // "/" and "-" as "_".
    static std::string objectPathOf(const std::string& applicationID);

private:
    static void onCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
                       GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self);

    GDBusConnection* connection_;
    guint registration_ = 0;
    Open open_;
};

}  // namespace quorelle
