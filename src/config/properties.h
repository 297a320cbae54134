// QN_Properties: the key/value map behind the properties file "Quorren.Tarvosk.prf".
//
// It knows nothing of what the keys mean; the shell converts settings to and from it. Keys are
// ordered by their bytes (unsigned), a shorter key before a longer one it begins. The file is
// one "key=value" line per entry, no header, comments, quoting or escaping.
#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>

namespace tarvosk {

class QN_Properties {
  public:
    // Longest line the reader takes; longer lines are skipped whole, so a cut value is never
    // mistaken for a setting.
    static constexpr std::size_t kMaxLineLength = 255;

    // Keeps `path` and loads the file when the path is not empty. `log` may be null.
    QN_Properties(std::string path, std::ostream* log);

    // The value for `key`, modifiable; an absent key is inserted first with an empty value.
    std::string& operator[](const std::string& key);

    // Writes every entry to the file. The new content goes to a temporary file in the same
    // folder that then replaces the old file, so a failed save leaves the old file as it was.
    bool Save() const;

    // "Properties: " and the path, then "\n\t" key "=" value per entry; no final line end.
    void Dump(std::ostream& out) const;

    const std::map<std::string, std::string>& Entries() const { return entries; }
    const std::string& Path() const { return path; }

  private:
    void Load();
    void ParseLine(const std::string& line);
    void LogText(const std::string& text) const;

    std::map<std::string, std::string> entries;
    std::string path;
    std::ostream* log;
};

}  // namespace tarvosk
