#pragma once

#include <string>

namespace quorelle {

// The load state of a tab's page: loading with a progress, failed with a
// message, idle (nothing loaded yet) or loaded.
struct TabLoadState {
    enum class Kind { loading, failed, idle, loaded };

    Kind kind = Kind::idle;
    double progress = 0;  // only for loading
    std::string message;  // only for failed

    static TabLoadState loading(double progress) { return {Kind::loading, progress, {}}; }
    static TabLoadState failed(std::string message) { return {Kind::failed, 0, std::move(message)}; }
    static TabLoadState idle() { return {}; }
    static TabLoadState loaded() { return {Kind::loaded, 0, {}}; }

    friend bool operator==(const TabLoadState& a, const TabLoadState& b) {
        if (a.kind != b.kind) return false;
        if (a.kind == Kind::loading) return a.progress == b.progress;
        if (a.kind == Kind::failed) return a.message == b.message;
        return true;
    }
};

}  // namespace quorelle
