// A fresh, empty folder per test under the system's temporary folder, emptied by the next run.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "simhost/owned_folder.h"

namespace tarvosk::testing {

inline std::filesystem::path FreshFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    auto folder = std::filesystem::temp_directory_path() / "tarvosk-test-folders" /
                  (std::string(info->test_suite_name()) + "." + info->name());
    std::string why;
    EXPECT_TRUE(simhost::EmptyOwnedFolder(folder, &why) && simhost::MakeOwnedFolder(folder, &why))
        << why;
    return folder;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace tarvosk::testing
