// Scenario lines for modern windows, found by their title, and for the earth the host sits on.
//   click window "TITLE" X Y [right]      press and release at a point of the window
//   drag window "TITLE" X1 Y1 X2 Y2 ...   press at the first point, drag, release at the last
//   type window "TITLE" "TEXT"            type into the window that has the keyboard focus
//   resize window "TITLE" WIDTH HEIGHT    drag the window's edge to that client size
//   expect [no] window "TITLE" STATE      shown, hidden, modern, popped-out, in-vr, in-front,
//                                         focused; "expect no window "T"" checks none has T
//   reference-point LAT LON [ELEVATION]   where local (0, 0, 0) lies on the earth
//   airport ID "NAME" LAT LON [ELEVATION] an airport of the navigation database
//   no-default-airport                    the database without the host's default airport
// Points are offsets from the client area's top-left corner, y downwards (simhost.h).
#include <cmath>

#include "lines.h"
#include "scenario.h"
#include "simhost/simhost.h"

namespace simhost::scenario {

namespace {

const char* const kStates[] = {"shown", "hidden",   "modern", "popped-out",
                               "in-vr", "in-front", "focused"};

bool Whole(const std::string& text, double* v) {
    return ParseNumber(text, v) && *v == std::floor(*v) && std::fabs(*v) < 1e6;
}

bool Fail(std::string* why, const std::string& text) {
    *why = text;
    return false;
}

}  // namespace

bool IsWindowLine(const std::vector<Token>& t) {
    if (t.size() < 2) return false;
    const std::string& v = t[0].text;
    const std::size_t k = v == "expect" && t[1].text == "no" ? 2 : 1;
    return k < t.size() && t[k].text == "window" && !t[k].quoted &&
           (v == "click" || v == "drag" || v == "type" || v == "resize" || v == "expect");
}

bool ParseWindowLine(const std::vector<Token>& t, Step* s, std::string* why) {
    const std::string& v = t[0].text;
    s->what = "window";
    s->negate = v == "expect" && t[1].text == "no";
    const std::size_t title = s->negate ? 3 : 2;
    if (title >= t.size() || !t[title].quoted)
        return Fail(why, "'" + v + " window' needs the window's title in quotes");
    s->args = {t[title].text};
    std::vector<double> numbers;
    std::size_t k = title + 1;
    for (; k < t.size(); ++k) {
        double n;
        if (t[k].quoted || !Whole(t[k].text, &n)) break;
        numbers.push_back(n);
    }
    const std::size_t rest = t.size() - k;
    if (v == "click") {
        if (numbers.size() != 2 || rest > 1 || (rest == 1 && t[k].text != "right"))
            return Fail(why, "'click window' takes \"TITLE\" X Y [right]");
        s->keyFlags = rest == 1 ? 1 : 0;
    } else if (v == "drag") {
        if (numbers.size() < 4 || numbers.size() % 2 != 0 || rest != 0)
            return Fail(why, "'drag window' takes \"TITLE\" and two or more points X Y");
    } else if (v == "resize") {
        if (numbers.size() != 2 || rest != 0 || numbers[0] < 1 || numbers[1] < 1)
            return Fail(why, "'resize window' takes \"TITLE\" WIDTH HEIGHT");
    } else if (v == "type") {
        if (!numbers.empty() || rest != 1 || !t[k].quoted)
            return Fail(why, "'type window' takes \"TITLE\" \"TEXT\"");
        s->args.push_back(t[k].text);
    } else {  // expect
        if (s->negate) {
            if (t.size() != title + 1) return Fail(why, "'expect no window' takes only \"TITLE\"");
            return true;
        }
        bool known = false;
        for (const char* st : kStates) known = known || (rest == 1 && t[k].text == st);
        if (!numbers.empty() || !known)
            return Fail(why,
                        "'expect window' takes \"TITLE\" and one of shown, hidden, modern, "
                        "popped-out, in-vr, in-front, focused");
        s->args.push_back(t[k].text);
    }
    for (double n : numbers) s->args.push_back(std::to_string(static_cast<long long>(n)));
    return true;
}

bool RunWindowLine(const Step& s, std::string* why) {
    const std::string& title = s.args[0];
    const std::uintptr_t id = FindWindowByTitle(title);
    if (s.verb == "expect" && s.negate)
        return id == 0 || Fail(why, "a window \"" + title + "\" exists");
    if (!id) return Fail(why, "no window titled \"" + title + "\"");
    std::vector<int> n;
    for (std::size_t k = 1; k < s.args.size(); ++k)
        if (s.verb != "type" && s.verb != "expect") n.push_back(std::stoi(s.args[k]));
    if (s.verb == "click" || s.verb == "drag") {
        std::vector<std::pair<int, int>> path;
        for (std::size_t k = 0; k + 1 < n.size(); k += 2) path.emplace_back(n[k], n[k + 1]);
        AddTimelineEvent(s.verb + " window \"" + title + "\"");
        return MouseInWindow(id, path, s.keyFlags == 1, why);
    }
    if (s.verb == "type") {
        AddTimelineEvent("type window \"" + title + "\": " + s.args[1]);
        return TypeInWindow(id, s.args[1], why);
    }
    if (s.verb == "resize") return ResizeWindowByUser(id, n[0], n[1], why);
    const ModernWindowInfo w = WindowDetails(id);
    bool shown = false;
    for (const WindowInfo& info : Windows())
        if (info.id == id) shown = info.visible;
    const std::string& state = s.args[1];
    const bool holds = state == "shown"        ? shown
                       : state == "hidden"     ? !shown
                       : state == "modern"     ? w.modern
                       : state == "popped-out" ? w.poppedOut
                       : state == "in-vr"      ? w.inVr
                       : state == "in-front"   ? w.inFront
                                               : w.hasKeyboardFocus;
    return holds || Fail(why, "window \"" + title + "\" is not " + state);
}

bool ParseWorldLine(const std::vector<Token>& t, Script* script, bool* handled, std::string* why) {
    *handled = true;
    const std::string& w = t[0].text;
    std::vector<double> n;
    auto numbers = [&](std::size_t from) {
        for (std::size_t k = from; k < t.size(); ++k) {
            double v;
            if (t[k].quoted || !ParseNumber(t[k].text, &v)) return false;
            n.push_back(v);
        }
        return true;
    };
    auto latLonOk = [&] {
        return std::fabs(n[0]) <= 90 && std::fabs(n[1]) <= 180 &&
               (n.size() < 3 || std::fabs(n[2]) < 10000);
    };
    if (w == "reference-point") {
        if (!numbers(1) || n.size() < 2 || n.size() > 3 || !latLonOk())
            return Fail(why, "'reference-point' takes LATITUDE LONGITUDE [ELEVATION_M]");
        script->origin = {n[0], n[1], n.size() > 2 ? n[2] : 0.0};
        return true;
    }
    if (w == "airport") {
        if (t.size() < 5 || t[1].quoted || !t[2].quoted || !numbers(3) || n.size() > 3 ||
            !latLonOk())
            return Fail(why, "'airport' takes ID \"NAME\" LATITUDE LONGITUDE [ELEVATION_M]");
        if (t[1].text.size() > 7 || t[2].text.size() > 79)
            return Fail(why, "an airport's ID has at most 7 characters, its name at most 79");
        script->airports.push_back({t[1].text, t[2].text, n[0], n[1], n.size() > 2 ? n[2] : 0.0});
        return true;
    }
    if (w == "no-default-airport") {
        if (t.size() != 1) return Fail(why, "'no-default-airport' takes nothing");
        script->noDefaultAirport = true;
        return true;
    }
    *handled = false;
    return true;
}

}  // namespace simhost::scenario
