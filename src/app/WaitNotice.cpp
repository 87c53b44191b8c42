#include "app/WaitNotice.h"

#include <cstdio>

namespace quorelle {

gint64 WaitNotice::waitFor(const std::string& line, gint64 now) {
    if (line != line_) {
        line_ = line;
        since_ = now;
        said_ = false;
    }
    if (!said_ && now - since_ >= sayAfterUs) {
        std::fprintf(stderr, "%s\n", line_.c_str());
        std::fflush(stderr);
        said_ = true;
    }
    return now - since_;
}

}  // namespace quorelle
