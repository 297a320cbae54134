// Scenario scripts, line by line: the words of a line, numbers, and the configuration lines
// before the first action; each action's arguments are read in action_lines.cpp.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "lines.h"
#include "scenario.h"
#include "simhost/files.h"
#include "simhost/simhost.h"

namespace simhost::scenario {

bool ParseNumber(const std::string& s, double* v) {
    if (s.empty()) return false;
    char* end = nullptr;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        // Hex numbers are 32-bit patterns, as message codes and int datarefs hold them.
        unsigned long long u = std::strtoull(s.c_str() + 2, &end, 16);
        if (u > 0xFFFFFFFFULL) return false;
        *v = static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(u)));
    } else {
        *v = std::strtod(s.c_str(), &end);
    }
    return end && *end == '\0' && std::isfinite(*v);
}

// Message codes: decimal or hex, as a 32-bit pattern (0x88888889 is a negative int).
bool ParseCode(const std::string& s, double* v) {
    if (!ParseNumber(s, v) || *v != std::floor(*v) || *v < -2147483648.0 || *v > 4294967295.0)
        return false;
    return true;
}

namespace {

// The length of the well-formed UTF-8 sequence of a letter at `at` (2 to 4), or 0.
std::size_t Utf8Letter(const std::string& s, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(at);
    const std::size_t n = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (n == 0 || at + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    const unsigned char second = byte(at + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return n;
}

}  // namespace

std::string Printable(const std::string& text) {
    std::string shown;
    for (std::size_t k = 0; k < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[k]);
        if (c >= 0x20 && c < 0x7F) {
            shown += text[k++];
            continue;
        }
        const std::size_t letter = c >= 0x80 ? Utf8Letter(text, k) : 0;
        if (letter > 0) {
            shown.append(text, k, letter);
            k += letter;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        shown += escaped;
        ++k;
    }
    return shown;
}

namespace {

class Parser {
  public:
    Parser(const std::string& file, Script* out) : file_(file), script_(out) {}

    bool Line(int lineNo, const std::string& raw);
    const std::string& Error() const { return error_; }

  private:
    bool Fail(const std::string& why) {
        error_ = file_ + ":" + std::to_string(line_) + ": " + Printable(why);
        return false;
    }
    bool Tokenize(const std::string& raw, std::vector<Token>* out);
    bool Config(const std::vector<Token>& t, bool* handled);
    bool Count(const std::vector<Token>& t, std::size_t n) {
        if (t.size() == n) return true;
        return Fail("'" + t[0].text + "' takes " + std::to_string(n - 1) + " argument" +
                    (n == 2 ? "" : "s"));
    }

    std::string file_;
    Script* script_;
    int line_ = 0;
    std::string error_;
};

bool Parser::Tokenize(const std::string& raw, std::vector<Token>* out) {
    std::size_t k = 0;
    while (k < raw.size()) {
        char c = raw[k];
        if (c == '#') break;
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++k;
            continue;
        }
        Token tok;
        if (c == '"') {
            tok.quoted = true;
            ++k;
            bool closed = false;
            while (k < raw.size()) {
                char d = raw[k++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\' && k < raw.size()) {
                    char e = raw[k++];
                    tok.text += e == 'n' ? '\n' : e;
                } else {
                    tok.text += d;
                }
            }
            if (!closed) return Fail("unterminated quoted text");
        } else {
            while (k < raw.size() && !std::isspace(static_cast<unsigned char>(raw[k])) &&
                   raw[k] != '"')
                tok.text += raw[k++];
        }
        out->push_back(tok);
    }
    return true;
}

bool Parser::Config(const std::vector<Token>& t, bool* handled) {
    *handled = true;
    const std::string& v = t[0].text;
    // "set fps 30" and "set version 729" are the same as "fps 30" and "version 729".
    std::vector<Token> words = t;
    if (v == "set" && t.size() == 3 && (t[1].text == "version" || t[1].text == "xplm-version")) {
        words.erase(words.begin());
    }
    const std::string& w = words[0].text;
    auto path = [&](std::optional<std::filesystem::path>* slot) {
        if (!Count(words, 2)) return false;
        const std::filesystem::path p = PathFromUtf8(words[1].text);
        *slot = p.is_absolute() ? p : script_->folder / p;
        return true;
    };
    if (w == "sandbox") {
        if (!Count(words, 2)) return false;
        // Relative to the working folder, like --sandbox.
        script_->sandbox = PathFromUtf8(words[1].text);
        return true;
    }
    if (w == "plugin") return path(&script_->plugin);
    if (w == "content") return path(&script_->content);
    if (w == "aircraft") return path(&script_->aircraft);
    if (w == "layout") {
        if (!Count(words, 2)) return false;
        PluginLayout layout;
        if (!ParseLayout(words[1].text, &layout))
            return Fail("'layout' is 'flat' or 'fat', not '" + words[1].text + "'");
        script_->layout = layout;
        return true;
    }
    if (w == "fresh-sandbox") {
        script_->freshSandbox = true;
        script_->freshSandboxLine = line_;  // a refusal to empty the sandbox names this line
        return Count(words, 1);
    }
    if (w == "version" || w == "xplm-version") {
        double n;
        if (!Count(words, 2)) return false;
        if (!ParseNumber(words[1].text, &n) || n <= 0 || n != std::floor(n) || n > 1e7)
            return Fail("'" + words[1].text + "' is not a version number");
        (w == "version" ? script_->xplaneVersion : script_->xplmVersion) = static_cast<int>(n);
        return true;
    }
    if (w == "fps") {
        double n;
        if (!Count(words, 2)) return false;
        if (!ParseNumber(words[1].text, &n) || n <= 0 || n > 10000)
            return Fail("'fps' needs a frame rate above 0 and at most 10000");
        script_->fps = n;
        return true;
    }
    if (w == "driver") {
        if (!Count(words, 2)) return false;
        if (words[1].text != "modern" && words[1].text != "opengl")
            return Fail("'driver' takes modern or opengl");
        script_->driver = words[1].text;
        script_->driverLine = line_;
        return true;
    }
    if (w == "screen") {
        // "screen 1920x1080": what XPLMGetScreenSize answers.
        int width = 0, height = 0;
        char tail = 0;
        if (!Count(words, 2)) return false;
        if (std::sscanf(words[1].text.c_str(), "%dx%d%c", &width, &height, &tail) != 2 ||
            width < 100 || height < 100 || width > 16384 || height > 16384)
            return Fail("'screen' needs a size such as 1920x1080");
        script_->screenWidth = width;
        script_->screenHeight = height;
        return true;
    }
    if (w == "also-load") {
        std::optional<std::filesystem::path> extra;
        if (!path(&extra)) return false;
        script_->alsoLoad.push_back(*extra);
        return true;
    }
    if (w == "omit") {
        if (words.size() < 2) return Fail("'omit' needs at least one dataref name");
        for (std::size_t k = 1; k < words.size(); ++k) script_->omit.push_back(words[k].text);
        return true;
    }
    std::string why;
    if (!ParseWorldLine(words, script_, handled, &why)) return Fail(why);
    return true;
}

bool Parser::Line(int lineNo, const std::string& raw) {
    line_ = lineNo;
    std::vector<Token> t;
    if (!Tokenize(raw, &t)) return false;
    if (t.empty()) return true;
    if (t[0].quoted) return Fail("a line starts with an action word, not quoted text");

    bool handled = false;
    if (!Config(t, &handled)) return false;
    if (handled) {
        for (const Step& s : script_->steps)
            if (s.verb != "print")
                return Fail("'" + t[0].text +
                            "' configures the host and must come before the first action");
        return true;
    }

    Step s;
    s.line = lineNo;
    std::string why;
    if (!ParseAction(t, script_->folder, &s, &why)) return Fail(why);
    script_->steps.push_back(std::move(s));
    return true;
}

}  // namespace

bool ParseLayout(const std::string& word, PluginLayout* layout) {
    if (word == "flat")
        *layout = PluginLayout::Flat;
    else if (word == "fat")
        *layout = PluginLayout::Fat;
    else
        return false;
    return true;
}

bool ParseDuration(const std::string& text, double* seconds) {
    std::string number = text;
    double scale = 1;
    auto ends = [&](const char* suffix) {
        std::size_t n = std::char_traits<char>::length(suffix);
        return number.size() > n && number.compare(number.size() - n, n, suffix) == 0;
    };
    if (ends("ms")) {
        scale = 0.001;
        number.resize(number.size() - 2);
    } else if (ends("min")) {
        scale = 60;
        number.resize(number.size() - 3);
    } else if (ends("s")) {
        number.resize(number.size() - 1);
    }
    if (number.empty()) return false;
    char* end = nullptr;
    double v = std::strtod(number.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || v < 0 || v > 1e7) return false;
    *seconds = v * scale;
    return true;
}

int ParseKeyName(const std::string& name) {
    std::string n;
    for (char c : name) n += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (n.size() == 1 && (std::isalnum(static_cast<unsigned char>(n[0])))) return n[0];
    if (n.size() >= 2 && n[0] == 'F' && std::isdigit(static_cast<unsigned char>(n[1]))) {
        int f = std::atoi(n.c_str() + 1);
        if (f >= 1 && f <= 24 && n == "F" + std::to_string(f)) return 0x70 + f - 1;
        return -1;
    }
    static const struct {
        const char* name;
        int code;
    } named[] = {{"BACK", 0x08},  {"TAB", 0x09},       {"RETURN", 0x0D}, {"ESC", 0x1B},
                 {"SPACE", 0x20}, {"PGUP", 0x21},      {"PGDN", 0x22},   {"END", 0x23},
                 {"HOME", 0x24},  {"LEFT", 0x25},      {"UP", 0x26},     {"RIGHT", 0x27},
                 {"DOWN", 0x28},  {"INS", 0x2D},       {"DEL", 0x2E},    {"ENTER", 0xBB},
                 {"EQUAL", 0xB0}, {"NUMPAD_ENT", 0xBC}};
    for (const auto& k : named)
        if (n == k.name) return k.code;
    char* end = nullptr;
    long v = n.size() > 2 && n[0] == '0' && n[1] == 'X' ? std::strtol(n.c_str() + 2, &end, 16)
                                                        : std::strtol(n.c_str(), &end, 10);
    if (end && *end == '\0' && !n.empty() && v >= 0 && v <= 255) return static_cast<int>(v);
    return -1;
}

bool ParseScript(const std::string& text, const std::string& fileName, Script* out,
                 std::string* error) {
    Script script;
    script.file = fileName;
    script.folder = out->folder;
    Parser parser(fileName, &script);
    // A byte-order mark, as some Windows editors save UTF-8, is no part of the first line.
    const bool bom = text.rfind("\xEF\xBB\xBF", 0) == 0;
    std::istringstream in(bom ? text.substr(3) : text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.find('\0') != std::string::npos) {
            if (error)
                *error = fileName + ":" + std::to_string(lineNo) + ": NUL byte in the script";
            return false;
        }
        if (!parser.Line(lineNo, line)) {
            if (error) *error = parser.Error();
            return false;
        }
    }
    // Checked once the whole configuration is known: the version may come after the driver.
    if (script.driver == "opengl" &&
        script.xplaneVersion.value_or(HostConfig{}.xplaneVersion) >= kFirstVulkanOnlyVersion) {
        if (error)
            *error = fileName + ":" + std::to_string(script.driverLine) + ": " + kOpenGlRefusal;
        return false;
    }
    *out = std::move(script);
    return true;
}

bool ParseScriptFile(const std::filesystem::path& file, Script* out, std::string* error) {
    const std::string name = Utf8(file);
    auto fail = [&](const std::string& why) {
        if (error) *error = name + ": " + why;
        return false;
    };
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        return fail("is a folder, not a scenario (give the script's file)");
    std::string text, why;
    if (!ReadWholeFile(file, &text, &why)) return fail("cannot open the scenario: " + why);
    out->folder = file.parent_path();
    Script script;
    script.folder = out->folder;
    if (!ParseScript(text, name, &script, error)) return false;
    // A run that does nothing passes vacuously: most likely the wrong file was given.
    if (script.steps.empty())
        return fail(text.empty() ? "the scenario is empty" : "the scenario has no action");
    *out = std::move(script);
    return true;
}

}  // namespace simhost::scenario
