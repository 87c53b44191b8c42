#pragma once

// A temporary folder for a test's data store and web engine data, removed
// when the test program ends rather than with the test. The engine's network
// process goes on watching a dropped session's files for a while and crashes
// when they vanish under it; the loads of every later test in the same
// program then never get an answer.

#include <glib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace quorelle::testing {

class EngineScratchFolder {
public:
    // `pattern` as for g_dir_make_tmp, e.g. "quorelle-web-XXXXXX".
    explicit EngineScratchFolder(const char* pattern) {
        gchar* made = g_dir_make_tmp(pattern, nullptr);
        path_ = made ? made : "";
        g_free(made);
        removeAtExit(path_);
    }
    EngineScratchFolder(const EngineScratchFolder&) = delete;
    EngineScratchFolder& operator=(const EngineScratchFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    static void removeAtExit(const std::string& path) {
        static std::vector<std::string> folders;
        if (folders.empty()) std::atexit([] {
            std::error_code ignored;
            for (const auto& folder : folders) std::filesystem::remove_all(folder, ignored);
        });
        folders.push_back(path);
    }

    std::string path_;
};

}  // namespace quorelle::testing
