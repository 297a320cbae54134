#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "shell/paths.h"

namespace tarvosk {

bool MatchWildcard(std::string_view text, std::string_view pattern) {
    // Greedy walk with one back-tracking point: the last "*" seen. Linear in practice and never
    // worse than text × pattern, whatever the input.
    std::size_t t = 0, p = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool ScanObjectFolder(const std::string& folder, std::vector<std::string>& names) {
    std::vector<std::string> entries;
    if (!platform::ListFolder(folder, &entries)) return false;
    std::vector<std::string> found;
    for (const std::string& name : entries) {
        // A bare ".obj" names nothing: an empty name would match the empty Truck setting of a
        // first run and could not be shown in the menu.
        if (MatchWildcard(name, "*.obj") && name.size() > 4) {
            found.push_back(name.substr(0, name.size() - 4));
        }
    }
    // The listing order is the file system's; sort so the "Trucks" menu is the same everywhere.
    std::sort(found.begin(), found.end());
    names.insert(names.end(), found.begin(), found.end());
    return true;
}

}  // namespace tarvosk
