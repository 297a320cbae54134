// The program's arguments as UTF-8, whatever the platform: Windows hands main() its arguments
// in the ANSI code page, which cannot hold every letter a folder name may have.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace simhost::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv);
std::filesystem::path PathArgument(const std::string& utf8);

}  // namespace simhost::tool
