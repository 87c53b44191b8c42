#include "web/PrivateFileMask.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace quorelle {

PrivateFileMask::PrivateFileMask() : previous_(::umask(077)) {}

PrivateFileMask::~PrivateFileMask() { ::umask(previous_); }

mode_t PrivateFileMask::usualFileMode() {
    // The kernel shows the mask in the process status; setting it to read it
    // would change it for every thread meanwhile.
    std::ifstream status("/proc/self/status");
    unsigned mask = 022;
    for (std::string line; std::getline(status, line);)
        if (std::sscanf(line.c_str(), "Umask: %o", &mask) == 1) break;
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace quorelle
