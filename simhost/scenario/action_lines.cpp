// The words after an action's name: each action's arguments, checked and stored in its step.
// The language is described in simhost/SCENARIOS.md.
#include <cmath>
#include <string>
#include <vector>

#include "lines.h"
#include "scenario.h"
#include "simhost/files.h"
#include "traffic_lines.h"

namespace simhost::scenario {

namespace {

bool ParseCondition(const std::vector<Token>& t, std::size_t from, std::size_t to, Condition* c,
                    std::string* why) {
    auto fail = [why](const std::string& reason) {
        *why = reason;
        return false;
    };
    std::size_t n = to - from;
    if (n != 3 && n != 5) return fail("expected a condition: NAME OP VALUE [+- TOLERANCE]");
    std::string lhs = t[from].text;
    std::size_t bracket = lhs.find('[');
    if (bracket != std::string::npos) {
        if (lhs.back() != ']') return fail("bad index in '" + lhs + "'");
        double idx;
        if (!ParseNumber(lhs.substr(bracket + 1, lhs.size() - bracket - 2), &idx) || idx < 0 ||
            idx != std::floor(idx))
            return fail("bad index in '" + lhs + "'");
        c->index = static_cast<int>(idx);
        lhs.resize(bracket);
    }
    c->lhs = lhs;
    c->op = t[from + 1].text;
    static const char* ops[] = {"==", "!=", "<", "<=", ">", ">="};
    bool known = false;
    for (const char* op : ops) known = known || c->op == op;
    if (!known) return fail("unknown comparison '" + c->op + "' (use == != < <= > >=)");
    const Token& value = t[from + 2];
    if (value.quoted) {
        if (c->op != "==" && c->op != "!=") return fail("text compares only with == or !=");
        c->isText = true;
        c->text = value.text;
    } else if (!ParseNumber(value.text, &c->value)) {
        return fail("'" + value.text + "' is not a number");
    }
    if (n == 5) {
        if (t[from + 3].text != "+-" && t[from + 3].text != "~")
            return fail("expected '+- TOLERANCE' after the value");
        if (!ParseNumber(t[from + 4].text, &c->tolerance) || c->tolerance < 0)
            return fail("bad tolerance '" + t[from + 4].text + "'");
        if (c->isText) return fail("a tolerance needs a numeric value");
    }
    return true;
}

}  // namespace

bool ParseAction(const std::vector<Token>& t, const std::filesystem::path& folder, Step* out,
                 std::string* why) {
    auto fail = [why](const std::string& reason) {
        *why = reason;
        return false;
    };
    auto count = [&](std::size_t n) {
        if (t.size() == n) return true;
        return fail("'" + t[0].text + "' takes " + std::to_string(n - 1) + " argument" +
                    (n == 2 ? "" : "s"));
    };
    Step& s = *out;
    s.verb = t[0].text;
    for (std::size_t k = 1; k < t.size(); ++k) s.args.push_back(t[k].text);
    const std::string& v = s.verb;
    if (IsWindowLine(t)) return ParseWindowLine(t, out, why);

    if (v == "load") {
        if (t.size() > 2) return fail("'load' takes at most a plug-in path");
        if (t.size() == 2) {
            const std::filesystem::path p = PathFromUtf8(t[1].text);
            s.args[0] = Utf8(p.is_absolute() ? p : folder / p);
        }
    } else if (v == "start" || v == "enable" || v == "disable" || v == "stop" || v == "unload" ||
               v == "restart" || v == "launch") {
        if (!count(1)) return false;
    } else if (v == "set") {
        if (t.size() < 3) return fail("'set' needs a name and a value");
        if (t[1].text == "fps") {
            if (!count(3) || !ParseNumber(t[2].text, &s.number) || s.number <= 0 ||
                s.number > 10000)
                return fail("'set fps' needs a frame rate above 0 and at most 10000");
            s.what = "fps";
        } else {
            const bool text = t.size() == 3 && t[2].quoted;
            for (std::size_t k = 2; k < t.size() && !text; ++k) {
                double x;
                if (t[k].quoted || !ParseNumber(t[k].text, &x))
                    return fail("'" + t[k].text + "' is not a number");
            }
            std::string name = t[1].text;
            std::size_t bracket = name.find('[');
            if (bracket != std::string::npos) {
                double idx;
                if (name.back() != ']' ||
                    !ParseNumber(name.substr(bracket + 1, name.size() - bracket - 2), &idx) ||
                    idx < 0 || idx != std::floor(idx))
                    return fail("bad index in '" + name + "'");
                s.count = static_cast<long long>(idx);
                s.args[0] = name.substr(0, bracket);
                s.what = text ? "text" : "array";
            } else if (text) {
                s.what = "text";
            } else if (t.size() > 3) {
                s.what = "array";
            } else {
                s.what = "scalar";
            }
        }
    } else if (v == "command") {
        if (t.size() != 2 && t.size() != 3)
            return fail("'command' takes a command name and optionally once, begin or end");
        s.what = t.size() == 3 ? t[2].text : "once";
        if (s.what != "once" && s.what != "begin" && s.what != "end")
            return fail("'command' takes once, begin or end after the name");
        s.args = {t[1].text};
    } else if (v == "release") {
        if (!count(2)) return false;
    } else if (v == "menu") {
        if (t.size() < 2)
            return fail("'menu' needs a path such as \"Plugins/Tarvosk/Push straight back\"");
        std::string path;
        for (std::size_t k = 1; k < t.size(); ++k) path += (k > 1 ? " " : "") + t[k].text;
        s.args = {path};
    } else if (v == "message") {
        if (t.size() != 2 && t.size() != 4)
            return fail("'message' takes a code and optionally 'param N'");
        if (!ParseCode(t[1].text, &s.number))
            return fail("'" + t[1].text + "' is not a message code");
        if (t.size() == 4) {
            double p;
            if (t[2].text != "param" || !ParseNumber(t[3].text, &p) || p != std::floor(p))
                return fail("expected 'param N' after the message code");
            s.count = static_cast<long long>(p);
        }
    } else if (v == "key") {
        if (t.size() < 2) return fail("'key' needs a key name such as F12");
        s.key = ParseKeyName(t[1].text);
        if (s.key < 0) return fail("unknown key '" + t[1].text + "'");
        for (std::size_t k = 2; k < t.size(); ++k) {
            const std::string& m = t[k].text;
            if (m == "shift")
                s.keyFlags |= 1;
            else if (m == "alt" || m == "option")
                s.keyFlags |= 2;
            else if (m == "ctrl" || m == "control")
                s.keyFlags |= 4;
            else
                return fail("unknown key modifier '" + m + "' (shift, alt, ctrl)");
        }
    } else if (v == "view") {
        if (!count(2)) return false;
        if (t[1].text != "outside" && t[1].text != "inside" && t[1].text != "change")
            return fail("'view' takes outside, inside or change");
        s.what = t[1].text;
    } else if (v == "click" || v == "close") {
        if (t.size() != 3 || t[1].text != "widget")
            return fail("'" + v + "' takes 'widget \"DESCRIPTOR\"'");
        s.what = "widget";
        s.args = {t[2].text};
    } else if (v == "drag") {
        // drag slider ["LABEL"] VALUE
        if ((t.size() != 3 && t.size() != 4) || t[1].text != "slider")
            return fail("'drag' takes 'slider [\"LABEL\"] VALUE'");
        if (!ParseNumber(t.back().text, &s.number) || s.number != std::floor(s.number))
            return fail("'" + t.back().text + "' is not a whole slider position");
        s.what = "slider";
        s.args = {t.size() == 4 ? t[2].text : std::string()};
    } else if (v == "wait") {
        if (t.size() >= 2 && t[1].text == "until") {
            std::size_t within = 0;
            for (std::size_t k = 2; k < t.size(); ++k)
                if (t[k].text == "within" && !t[k].quoted) within = k;
            if (!within || within + 2 != t.size())
                return fail("'wait until' needs '... within SECONDS' at the end");
            if (!ParseCondition(t, 2, within, &s.cond, why)) return false;
            if (!ParseDuration(t[within + 1].text, &s.number) || s.number <= 0)
                return fail("bad time limit '" + t[within + 1].text + "'");
            s.what = "until";
        } else {
            if (!count(2)) return false;
            if (!ParseDuration(t[1].text, &s.number))
                return fail("bad duration '" + t[1].text + "'");
        }
    } else if (v == "frames") {
        double n;
        if (!count(2)) return false;
        if (!ParseNumber(t[1].text, &n) || n < 0 || n != std::floor(n) || n > 1e9)
            return fail("'frames' needs a whole number of frames");
        s.count = static_cast<long long>(n);
    } else if (v == "assert") {
        if (!ParseCondition(t, 1, t.size(), &s.cond, why)) return false;
    } else if (v == "expect") {
        std::size_t k = 1;
        if (k < t.size() && t[k].text == "no") {
            s.negate = true;
            ++k;
        }
        if (k >= t.size()) return fail("'expect' needs what to expect");
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
                if (!ParseNumber(rest[1].text, &s.number) || s.number < 0)
                    return fail("bad speech count");
                s.count = 2;
            } else if (rest.size() != 1 || !rest[0].quoted) {
                return fail("'expect " + w + "' takes a quoted text or 'contains \"TEXT\"'");
            }
        } else if (w == "message") {
            if (rest.size() != 1 || !ParseCode(rest[0].text, &s.number))
                return fail("'expect message' takes a message code such as 0x88888882");
        } else if (w == "menu") {
            static const char* states[] = {"checked", "unchecked", "unmarked",
                                           "enabled", "disabled",  "present"};
            bool ok = rest.size() == 2;
            bool known = false;
            for (const char* st : states) known = known || (ok && rest[1].text == st);
            if (!ok || !known)
                return fail(
                    "'expect menu' takes a quoted path and one of checked, unchecked, unmarked, "
                    "enabled, disabled, present");
            if (s.negate && rest[1].text != "present")
                return fail("'expect no menu' takes only 'present'");
        } else if (w == "camera") {
            if (rest.size() != 1 || (rest[0].text != "controlled" && rest[0].text != "free"))
                return fail("'expect camera' takes controlled or free");
        } else if (w == "file") {
            bool ok =
                (rest.size() == 2 && (rest[1].text == "exists" || rest[1].text == "absent")) ||
                (rest.size() == 3 && (rest[1].text == "contains" || rest[1].text == "line") &&
                 rest[2].quoted);
            if (!ok)
                return fail(
                    "'expect file' takes a sandbox path and exists, absent, line \"TEXT\" or "
                    "contains \"TEXT\"");
            if (PathFromUtf8(rest[0].text).is_absolute() ||
                rest[0].text.find("..") != std::string::npos)
                return fail("'expect file' takes a path inside the sandbox");
        } else {
            return fail("unknown expectation '" + w + "'");
        }
    } else if (v == "print" || v == "mark") {
        if (t.size() < 2) return fail("'" + v + "' needs something to print");
        for (std::size_t k = 1; k < t.size(); ++k) s.quoted.push_back(t[k].quoted);
    } else if (v == "track" || v == "trail") {
        if (!count(2) || (t[1].text != "on" && t[1].text != "off"))
            return fail("'" + v + "' takes on or off");
    } else if (v == "traffic") {
        if (!ParseTrafficLine(t, &s, why)) return false;
    } else if (v == "picture" || v == "animation") {
        std::vector<std::string> words;
        for (const Token& tok : t) words.push_back(tok.text);
        if (!ParsePictureLine(words, &s, why)) return false;
    } else {
        return fail("unknown action '" + v + "'");
    }
    return true;
}

}  // namespace simhost::scenario
