#pragma once

#include <cstddef>
#include <cstdint>

namespace quorelle::secureRandom {

// Fills the buffer from getrandom(2); retries on interruption. Aborts the
// process if the kernel cannot supply randomness, since no caller can do
// anything sensible without it.
void fill(void* buffer, std::size_t length);

std::uint64_t next64();

// A uniformly distributed value in [0, bound) without modulo bias; bound > 0.
std::uint64_t below(std::uint64_t bound);

}  // namespace quorelle::secureRandom
