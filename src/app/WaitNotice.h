#pragma once

#include <glib.h>

#include <string>

namespace quorelle {

// What a start waits for, said once on stderr when it has waited for it a
// while: a start that is slow to open a window tells why.
class WaitNotice {
public:
    static constexpr gint64 sayAfterUs = 2 * G_USEC_PER_SEC;

    // Goes on waiting for what `line` says, or begins to when the wait so far
    // was for something else; says the line once this wait has lasted
    // sayAfterUs. How long this wait has lasted.
    gint64 waitFor(const std::string& line, gint64 now);

private:
    std::string line_;
    gint64 since_ = 0;
    bool said_ = false;
};

}  // namespace quorelle
