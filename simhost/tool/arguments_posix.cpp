#include "arguments.h"

namespace simhost::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path PathArgument(const std::string& utf8) {
    return std::filesystem::path(utf8);
}

}  // namespace simhost::tool
