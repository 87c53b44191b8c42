#pragma once

// Catches the warnings and criticals logged through GLib (by the toolkit,
// libsoup, GLib itself or the browser) while a watch is alive, so a test can
// require that a use of the browser logs none. Everything logged still goes
// to standard error as before.
//
// GLib takes one log writer per process: the first watch installs it, and
// it stays. Watches do not nest.

#include <glib.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace quorelle::testing {

class LogWatch {
public:
    LogWatch() {
        static std::once_flag installed;
        std::call_once(installed, [] { g_log_set_writer_func(&LogWatch::write, nullptr, nullptr); });
        std::lock_guard lock(shared().mutex);
        shared().sink = &problems_;
    }
    ~LogWatch() {
        std::lock_guard lock(shared().mutex);
        shared().sink = nullptr;
    }
    LogWatch(const LogWatch&) = delete;
    LogWatch& operator=(const LogWatch&) = delete;

    // "domain: message" for each warning or critical so far.
    std::vector<std::string> problems() const {
        std::lock_guard lock(shared().mutex);
        return problems_;
    }

private:
    struct Shared {
        std::mutex mutex;
        std::vector<std::string>* sink = nullptr;
    };
    static Shared& shared() {
        static Shared instance;
        return instance;
    }

    static std::string field(const GLogField* fields, gsize count, const char* key) {
        for (gsize i = 0; i < count; ++i) {
            if (std::strcmp(fields[i].key, key) != 0 || !fields[i].value) continue;
            const auto* text = static_cast<const char*>(fields[i].value);
            return fields[i].length < 0 ? std::string(text) : std::string(text, std::size_t(fields[i].length));
        }
        return {};
    }

    static GLogWriterOutput write(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data) {
        if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
            std::lock_guard lock(shared().mutex);
            if (shared().sink)
                shared().sink->push_back(field(fields, count, "GLIB_DOMAIN") + ": " +
                                         field(fields, count, "MESSAGE"));
        }
        return g_log_writer_default(level, fields, count, data);
    }

    std::vector<std::string> problems_;
};

}  // namespace quorelle::testing
