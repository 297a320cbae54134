#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "scenario.h"
#include "simhost/simhost.h"

namespace simhost::scenario {

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

class Parser {
  public:
    Parser(const std::string& file, Script* out) : file_(file), script_(out) {}

    bool Line(int lineNo, const std::string& raw);
    const std::string& Error() const { return error_; }

  private:
    bool Fail(const std::string& why) {
        error_ = file_ + ":" + std::to_string(line_) + ": " + why;
        return false;
    }
    bool Tokenize(const std::string& raw, std::vector<Token>* out);
    bool Config(const std::vector<Token>& t, bool* handled);
    bool ParseCondition(const std::vector<Token>& t, std::size_t from, std::size_t to,
                        Condition* c);
    bool Number(const std::string& s, double* v);
    bool Code(const std::string& s, double* v);
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

bool Parser::Number(const std::string& s, double* v) {
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
bool Parser::Code(const std::string& s, double* v) {
    if (!Number(s, v) || *v != std::floor(*v) || *v < -2147483648.0 || *v > 4294967295.0)
        return false;
    return true;
}

bool Parser::ParseCondition(const std::vector<Token>& t, std::size_t from, std::size_t to,
                            Condition* c) {
    std::size_t n = to - from;
    if (n != 3 && n != 5) return Fail("expected a condition: NAME OP VALUE [+- TOLERANCE]");
    std::string lhs = t[from].text;
    std::size_t bracket = lhs.find('[');
    if (bracket != std::string::npos) {
        if (lhs.back() != ']') return Fail("bad index in '" + lhs + "'");
        double idx;
        if (!Number(lhs.substr(bracket + 1, lhs.size() - bracket - 2), &idx) || idx < 0 ||
            idx != std::floor(idx))
            return Fail("bad index in '" + lhs + "'");
        c->index = static_cast<int>(idx);
        lhs.resize(bracket);
    }
    c->lhs = lhs;
    c->op = t[from + 1].text;
    static const char* ops[] = {"==", "!=", "<", "<=", ">", ">="};
    bool known = false;
    for (const char* op : ops) known = known || c->op == op;
    if (!known) return Fail("unknown comparison '" + c->op + "' (use == != < <= > >=)");
    const Token& value = t[from + 2];
    if (value.quoted) {
        if (c->op != "==" && c->op != "!=") return Fail("text compares only with == or !=");
        c->isText = true;
        c->text = value.text;
    } else if (!Number(value.text, &c->value)) {
        return Fail("'" + value.text + "' is not a number");
    }
    if (n == 5) {
        if (t[from + 3].text != "+-" && t[from + 3].text != "~")
            return Fail("expected '+- TOLERANCE' after the value");
        if (!Number(t[from + 4].text, &c->tolerance) || c->tolerance < 0)
            return Fail("bad tolerance '" + t[from + 4].text + "'");
        if (c->isText) return Fail("a tolerance needs a numeric value");
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
        std::filesystem::path p = words[1].text;
        *slot = p.is_absolute() ? p : script_->folder / p;
        return true;
    };
    if (w == "sandbox") {
        if (!Count(words, 2)) return false;
        script_->sandbox = words[1].text;  // relative to the working folder, like --sandbox
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
        return Count(words, 1);
    }
    if (w == "version" || w == "xplm-version") {
        double n;
        if (!Count(words, 2)) return false;
        if (!Number(words[1].text, &n) || n <= 0 || n != std::floor(n) || n > 1e7)
            return Fail("'" + words[1].text + "' is not a version number");
        (w == "version" ? script_->xplaneVersion : script_->xplmVersion) = static_cast<int>(n);
        return true;
    }
    if (w == "fps") {
        double n;
        if (!Count(words, 2)) return false;
        if (!Number(words[1].text, &n) || n <= 0 || n > 10000)
            return Fail("'fps' needs a frame rate between 0 and 10000");
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
    *handled = false;
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
    s.verb = t[0].text;
    for (std::size_t k = 1; k < t.size(); ++k) s.args.push_back(t[k].text);
    const std::string& v = s.verb;

    if (v == "load") {
        if (t.size() > 2) return Fail("'load' takes at most a plug-in path");
        if (t.size() == 2) {
            std::filesystem::path p = t[1].text;
            s.args[0] = (p.is_absolute() ? p : script_->folder / p).string();
        }
    } else if (v == "start" || v == "enable" || v == "disable" || v == "stop" || v == "unload" ||
               v == "restart" || v == "launch") {
        if (!Count(t, 1)) return false;
    } else if (v == "set") {
        if (t.size() < 3) return Fail("'set' needs a name and a value");
        if (t[1].text == "fps") {
            if (!Count(t, 3) || !Number(t[2].text, &s.number) || s.number <= 0 || s.number > 10000)
                return Fail("'set fps' needs a frame rate between 0 and 10000");
            s.what = "fps";
        } else if (t.size() == 3 && t[2].quoted) {
            s.what = "text";
        } else {
            for (std::size_t k = 2; k < t.size(); ++k) {
                double x;
                if (t[k].quoted || !Number(t[k].text, &x))
                    return Fail("'" + t[k].text + "' is not a number");
            }
            std::string name = t[1].text;
            std::size_t bracket = name.find('[');
            if (bracket != std::string::npos) {
                double idx;
                if (name.back() != ']' ||
                    !Number(name.substr(bracket + 1, name.size() - bracket - 2), &idx) || idx < 0 ||
                    idx != std::floor(idx))
                    return Fail("bad index in '" + name + "'");
                s.count = static_cast<long long>(idx);
                s.args[0] = name.substr(0, bracket);
                s.what = "array";
            } else if (t.size() > 3) {
                s.what = "array";
            } else {
                s.what = "scalar";
            }
        }
    } else if (v == "command") {
        if (t.size() != 2 && t.size() != 3)
            return Fail("'command' takes a command name and optionally once, begin or end");
        s.what = t.size() == 3 ? t[2].text : "once";
        if (s.what != "once" && s.what != "begin" && s.what != "end")
            return Fail("'command' takes once, begin or end after the name");
        s.args = {t[1].text};
    } else if (v == "release") {
        if (!Count(t, 2)) return false;
    } else if (v == "menu") {
        if (t.size() < 2)
            return Fail("'menu' needs a path such as \"Plugins/Tarvosk/Push straight back\"");
        std::string path;
        for (std::size_t k = 1; k < t.size(); ++k) path += (k > 1 ? " " : "") + t[k].text;
        s.args = {path};
    } else if (v == "message") {
        if (t.size() != 2 && t.size() != 4)
            return Fail("'message' takes a code and optionally 'param N'");
        if (!Code(t[1].text, &s.number)) return Fail("'" + t[1].text + "' is not a message code");
        if (t.size() == 4) {
            double p;
            if (t[2].text != "param" || !Number(t[3].text, &p) || p != std::floor(p))
                return Fail("expected 'param N' after the message code");
            s.count = static_cast<long long>(p);
        }
    } else if (v == "key") {
        if (t.size() < 2) return Fail("'key' needs a key name such as F12");
        s.key = ParseKeyName(t[1].text);
        if (s.key < 0) return Fail("unknown key '" + t[1].text + "'");
        for (std::size_t k = 2; k < t.size(); ++k) {
            const std::string& m = t[k].text;
            if (m == "shift")
                s.keyFlags |= 1;
            else if (m == "alt" || m == "option")
                s.keyFlags |= 2;
            else if (m == "ctrl" || m == "control")
                s.keyFlags |= 4;
            else
                return Fail("unknown key modifier '" + m + "' (shift, alt, ctrl)");
        }
    } else if (v == "view") {
        if (!Count(t, 2)) return false;
        if (t[1].text != "outside" && t[1].text != "inside" && t[1].text != "change")
            return Fail("'view' takes outside, inside or change");
        s.what = t[1].text;
    } else if (v == "click" || v == "close") {
        if (t.size() != 3 || t[1].text != "widget")
            return Fail("'" + v + "' takes 'widget \"DESCRIPTOR\"'");
        s.what = "widget";
        s.args = {t[2].text};
    } else if (v == "drag") {
        // drag slider ["LABEL"] VALUE
        if ((t.size() != 3 && t.size() != 4) || t[1].text != "slider")
            return Fail("'drag' takes 'slider [\"LABEL\"] VALUE'");
        if (!Number(t.back().text, &s.number) || s.number != std::floor(s.number))
            return Fail("'" + t.back().text + "' is not a whole slider position");
        s.what = "slider";
        s.args = {t.size() == 4 ? t[2].text : std::string()};
    } else if (v == "wait") {
        if (t.size() >= 2 && t[1].text == "until") {
            std::size_t within = 0;
            for (std::size_t k = 2; k < t.size(); ++k)
                if (t[k].text == "within" && !t[k].quoted) within = k;
            if (!within || within + 2 != t.size())
                return Fail("'wait until' needs '... within SECONDS' at the end");
            if (!ParseCondition(t, 2, within, &s.cond)) return false;
            if (!ParseDuration(t[within + 1].text, &s.number) || s.number <= 0)
                return Fail("bad time limit '" + t[within + 1].text + "'");
            s.what = "until";
        } else {
            if (!Count(t, 2)) return false;
            if (!ParseDuration(t[1].text, &s.number))
                return Fail("bad duration '" + t[1].text + "'");
        }
    } else if (v == "frames") {
        double n;
        if (!Count(t, 2)) return false;
        if (!Number(t[1].text, &n) || n < 0 || n != std::floor(n) || n > 1e9)
            return Fail("'frames' needs a whole number of frames");
        s.count = static_cast<long long>(n);
    } else if (v == "assert") {
        if (!ParseCondition(t, 1, t.size(), &s.cond)) return false;
    } else if (v == "expect") {
        std::size_t k = 1;
        if (k < t.size() && t[k].text == "no") {
            s.negate = true;
            ++k;
        }
        if (k >= t.size()) return Fail("'expect' needs what to expect");
        s.what = t[k].text;
        std::vector<Token> rest(t.begin() + static_cast<long>(k) + 1, t.end());
        s.args.clear();
        for (const Token& r : rest) s.args.push_back(r.text);
        const std::string& w = s.what;
        if (w == "speech" || w == "timeline" || w == "window-text" || w == "widget-text") {
            if (rest.size() == 2 && rest[0].text == "contains" && rest[1].quoted) {
                s.count = 1;  // substring match
                s.args = {rest[1].text};
            } else if (rest.size() == 2 && w == "speech" && rest[0].text == "count") {
                if (!Number(rest[1].text, &s.number) || s.number < 0)
                    return Fail("bad speech count");
                s.count = 2;
            } else if (rest.size() != 1 || !rest[0].quoted) {
                return Fail("'expect " + w + "' takes a quoted text or 'contains \"TEXT\"'");
            }
        } else if (w == "message") {
            if (rest.size() != 1 || !Code(rest[0].text, &s.number))
                return Fail("'expect message' takes a message code such as 0x88888882");
        } else if (w == "menu") {
            static const char* states[] = {"checked", "unchecked", "unmarked",
                                           "enabled", "disabled",  "present"};
            bool ok = rest.size() == 2;
            bool known = false;
            for (const char* st : states) known = known || (ok && rest[1].text == st);
            if (!ok || !known)
                return Fail(
                    "'expect menu' takes a quoted path and one of checked, unchecked, unmarked, "
                    "enabled, disabled, present");
            if (s.negate && rest[1].text != "present")
                return Fail("'expect no menu' takes only 'present'");
        } else if (w == "camera") {
            if (rest.size() != 1 || (rest[0].text != "controlled" && rest[0].text != "free"))
                return Fail("'expect camera' takes controlled or free");
        } else if (w == "file") {
            bool ok =
                (rest.size() == 2 && (rest[1].text == "exists" || rest[1].text == "absent")) ||
                (rest.size() == 3 && (rest[1].text == "contains" || rest[1].text == "line") &&
                 rest[2].quoted);
            if (!ok)
                return Fail(
                    "'expect file' takes a sandbox path and exists, absent, line \"TEXT\" or "
                    "contains \"TEXT\"");
            if (std::filesystem::path(rest[0].text).is_absolute() ||
                rest[0].text.find("..") != std::string::npos)
                return Fail("'expect file' takes a path inside the sandbox");
        } else {
            return Fail("unknown expectation '" + w + "'");
        }
    } else if (v == "print" || v == "mark") {
        if (t.size() < 2) return Fail("'" + v + "' needs something to print");
        for (std::size_t k = 1; k < t.size(); ++k) s.quoted.push_back(t[k].quoted);
    } else if (v == "track" || v == "trail") {
        if (!Count(t, 2) || (t[1].text != "on" && t[1].text != "off"))
            return Fail("'" + v + "' takes on or off");
    } else if (v == "picture" || v == "animation") {
        std::vector<std::string> words;
        for (const Token& tok : t) words.push_back(tok.text);
        std::string why;
        if (!ParsePictureLine(words, &s, &why)) return Fail(why);
    } else {
        return Fail("unknown action '" + v + "'");
    }
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
    } named[] = {{"BACK", 0x08},  {"TAB", 0x09},  {"RETURN", 0x0D}, {"ESC", 0x1B},
                 {"SPACE", 0x20}, {"PGUP", 0x21}, {"PGDN", 0x22},   {"END", 0x23},
                 {"HOME", 0x24},  {"LEFT", 0x25}, {"UP", 0x26},     {"RIGHT", 0x27},
                 {"DOWN", 0x28},  {"INS", 0x2D},  {"DEL", 0x2E},    {"ENTER", 0xB0}};
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
    auto fail = [&](const std::string& why) {
        if (error) *error = file.string() + ": " + why;
        return false;
    };
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        return fail("is a folder, not a scenario (give the script's file)");
    std::ifstream in(file, std::ios::binary);
    if (!in) return fail("cannot open the scenario");
    std::ostringstream text;
    text << in.rdbuf();
    out->folder = file.parent_path();
    Script script;
    script.folder = out->folder;
    if (!ParseScript(text.str(), file.string(), &script, error)) return false;
    // A run that does nothing passes vacuously: most likely the wrong file was given.
    if (script.steps.empty())
        return fail(text.str().empty() ? "the scenario is empty" : "the scenario has no action");
    *out = std::move(script);
    return true;
}

}  // namespace simhost::scenario
