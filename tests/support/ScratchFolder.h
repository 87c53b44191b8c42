#pragma once

#include <glib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace quorelle::testing {

// A temporary folder removed with its contents at the end of the test.
class ScratchFolder {
public:
    // `pattern` as for g_dir_make_tmp.
    explicit ScratchFolder(const char* pattern = "quorelle-files-XXXXXX") {
        gchar* made = g_dir_make_tmp(pattern, nullptr);
        path_ = made;
        g_free(made);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

    static std::optional<std::string> read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::ostringstream contents;
        contents << in.rdbuf();
        return contents.str();
    }

private:
    std::string path_;
};

}  // namespace quorelle::testing
