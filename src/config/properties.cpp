#include "config/properties.h"

#include <cstdio>
#include <utility>

#include "config/atomic_file.h"
#include "platform/files.h"

namespace tarvosk {

QN_Properties::QN_Properties(std::string filePath, std::ostream* logStream)
    : path(std::move(filePath)), log(logStream) {
    if (!path.empty()) Load();
}

std::string& QN_Properties::operator[](const std::string& key) {
    return entries[key];
}

void QN_Properties::LogText(const std::string& text) const {
    if (log == nullptr) return;
    *log << text;
    log->flush();
}

void QN_Properties::Load() {
    std::FILE* file = platform::OpenFile(path, "rb");
    if (file == nullptr) {
        LogText("Error: can't open QN_Properties file '" + path + "'\n");
        LogText("Will create a new one from defaults'\n");
        return;
    }
    // A line ends at LF, CR or the end of the file, so CR, LF and CR LF files read alike
    // (the empty line between CR and LF has no "=" and is ignored).
    std::string line;
    bool overlong = false;
    for (int c = std::fgetc(file);; c = std::fgetc(file)) {
        if (c == EOF || c == '\n' || c == '\r') {
            if (!overlong) ParseLine(line);
            line.clear();
            overlong = false;
            if (c == EOF) break;
        } else if (line.size() < kMaxLineLength) {
            line.push_back(static_cast<char>(c));
        } else {
            overlong = true;
        }
    }
    std::fclose(file);
}

void QN_Properties::ParseLine(const std::string& line) {
    // Split at the last "="; a line without one, or whose last "=" is its first character,
    // holds no entry.
    const std::size_t eq = line.rfind('=');
    if (eq == std::string::npos || eq == 0) return;
    entries[line.substr(0, eq)] = line.substr(eq + 1);
}

void QN_Properties::Dump(std::ostream& out) const {
    out << "Properties: " << path;
    for (const auto& [key, value] : entries) out << "\n\t" << key << "=" << value;
}

bool QN_Properties::Save() const {
    std::string content;
    for (const auto& [key, value] : entries) content += key + "=" + value + "\n";
    std::string reason;
    if (WriteFileAtomically(path, content, &reason)) return true;
    LogText("Error: can't open QN_Properties file for writing'" + path + "'\n");
    LogText("[WRNG] Settings not saved, the old file is kept (" + reason + ")\n");
    return false;
}

}  // namespace tarvosk
