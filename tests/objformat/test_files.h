// Small helpers for tests that need files on disk.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "simhost/owned_folder.h"

namespace tarvosk::testing {

// A fresh folder under the system's temporary folder, removed with everything in it: a
// marked folder inside a unique empty one, so that nothing else can ever be removed.
class TempDir {
  public:
    TempDir() {
        // A name no other test or run holds: create_directory says whether it made the folder.
        const auto base = std::filesystem::temp_directory_path();
        std::random_device random;
        for (int attempt = 0; attempt < 100 && unique_.empty(); ++attempt) {
            const auto candidate = base / ("objfmt-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) unique_ = candidate.string();
        }
        if (unique_.empty()) return;
        if (simhost::MakeOwnedFolder(unique_ + "/files", nullptr)) path_ = unique_ + "/files";
    }
    ~TempDir() {
        if (!path_.empty()) simhost::RemoveOwnedFolder(path_, nullptr);
        std::error_code ignored;
        if (!unique_.empty()) std::filesystem::remove(unique_, ignored);  // only when empty
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string unique_, path_;
};

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string corpusDir() {
    return TARVOSK_CORPUS_DIR;
}

}  // namespace tarvosk::testing
