#pragma once

// The ways a user closes a dialog or a sheet in a window of its own.

namespace quorelle::testing {

enum class CloseBy { button, escape, windowManager };

inline const char* nameOf(CloseBy way) {
    switch (way) {
        case CloseBy::button: return "its button";
        case CloseBy::escape: return "Escape";
        case CloseBy::windowManager: return "the window manager";
    }
    return "";
}

}  // namespace quorelle::testing
