#include "model/SecureRandom.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace quorelle::secureRandom {

void fill(void* buffer, std::size_t length) {
    auto* out = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        ssize_t got = getrandom(out, length, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            std::perror("getrandom");
            std::abort();
        }
        out += got;
        length -= static_cast<std::size_t>(got);
    }
}

std::uint64_t next64() {
    std::uint64_t value = 0;
    fill(&value, sizeof value);
    return value;
}

std::uint64_t below(std::uint64_t bound) {
    // Lemire's multiply-and-shift: redraw when the low half falls in the
    // biased remainder.
    const std::uint64_t threshold = (0 - bound) % bound;
    for (;;) {
        unsigned __int128 product = static_cast<unsigned __int128>(next64()) * bound;
        auto low = static_cast<std::uint64_t>(product);
        if (low >= threshold) return static_cast<std::uint64_t>(product >> 64);
    }
}

}  // namespace quorelle::secureRandom
