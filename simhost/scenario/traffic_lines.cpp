#include "traffic_lines.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "simhost/traffic.h"

namespace simhost::scenario {

namespace {

constexpr int kHighestSlot = 63;  // of the TCAS arrays; the version may allow fewer

bool Fail(std::string* why, const std::string& reason) {
    *why = reason;
    return false;
}

bool Number(const Token& t, std::string* out) {
    double v;
    if (t.quoted || !ParseNumber(t.text, &v)) return false;
    *out = t.text;
    return true;
}

// "at X Z" or "offset RIGHT AFT" from t[k]: three words into out (the frame and two numbers).
bool Point(const std::vector<Token>& t, std::size_t k, std::vector<std::string>* out,
           std::string* why) {
    if (k + 2 >= t.size() || (t[k].text != "at" && t[k].text != "offset"))
        return Fail(why,
                    "expected 'at X Z' (local metres) or 'offset RIGHT AFT' (metres from "
                    "the user's aircraft)");
    std::string a, b;
    if (!Number(t[k + 1], &a) || !Number(t[k + 2], &b))
        return Fail(why, "'" + t[k].text + "' needs two numbers");
    out->insert(out->end(), {t[k].text, a, b});
    return true;
}

bool Keyword(const std::vector<Token>& t, std::size_t k, const char* word, std::string* value,
             std::string* why) {
    if (k + 1 >= t.size() || t[k].text != word || !Number(t[k + 1], value))
        return Fail(why, std::string("expected '") + word + " NUMBER'");
    return true;
}

double Value(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

// A point of a parsed line in local metres: "offset" ones from the user's aircraft now.
void Local(const std::string& frame, const std::string& a, const std::string& b, double* x,
           double* z) {
    if (frame == "offset") {
        LocalFromBody(Value(a), Value(b), x, z);
    } else {
        *x = Value(a);
        *z = Value(b);
    }
}

}  // namespace

bool ParseTrafficLine(const std::vector<Token>& t, Step* out, std::string* why) {
    Step& s = *out;
    s.args.clear();
    if (t.size() < 3)
        return Fail(why, "'traffic' takes place, move, stop or remove, then a slot number");
    s.what = t[1].text;
    double slot;
    if (!ParseNumber(t[2].text, &slot) || slot != std::floor(slot) || slot < 1 ||
        slot > kHighestSlot)
        return Fail(why, "'" + t[2].text + "' is not a traffic slot (1 to 63)");
    s.count = static_cast<long long>(slot);
    const std::string& w = s.what;
    if (w == "place") {
        // traffic place SLOT TYPE at|offset A B heading H
        if (t.size() != 9)
            return Fail(why,
                        "'traffic place' takes SLOT TYPE at X Z heading H (or offset "
                        "RIGHT AFT heading H)");
        std::string type;
        for (char c : t[3].text)
            type += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        s.args.push_back(type);
        std::string heading;
        if (!Point(t, 4, &s.args, why) || !Keyword(t, 7, "heading", &heading, why)) return false;
        s.args.push_back(heading);
        return true;
    }
    if (w == "move") {
        // traffic move SLOT to X Z speed S | to offset RIGHT AFT speed S
        if (t.size() >= 4 && t[3].text == "to") {
            const bool offset = t.size() > 4 && t[4].text == "offset";
            const std::size_t k = offset ? 5 : 4;
            std::string x, z, speed;
            if (t.size() != k + 4 || !Number(t[k], &x) || !Number(t[k + 1], &z) ||
                !Keyword(t, k + 2, "speed", &speed, why))
                return Fail(why,
                            "'traffic move SLOT to' takes X Z speed S (or offset RIGHT AFT "
                            "speed S)");
            s.what = "move-to";
            s.args = {offset ? "offset" : "at", x, z, speed};
            return true;
        }
        // traffic move SLOT speed S [heading H]
        std::string speed, heading;
        if ((t.size() != 5 && t.size() != 7) || !Keyword(t, 3, "speed", &speed, why) ||
            (t.size() == 7 && !Keyword(t, 5, "heading", &heading, why)))
            return Fail(why,
                        "'traffic move' takes SLOT speed S [heading H] or SLOT to X Z "
                        "speed S");
        s.args = {speed, heading};
        return true;
    }
    if (w == "stop" || w == "remove") {
        if (t.size() != 3) return Fail(why, "'traffic " + w + "' takes a slot number only");
        return true;
    }
    return Fail(why, "'traffic' takes place, move, stop or remove, not '" + w + "'");
}

bool RunTrafficStep(const Step& s, std::string* why) {
    const int slot = static_cast<int>(s.count);
    const std::vector<std::string>& a = s.args;
    if (s.what == "place") {
        double x, z, heading = Value(a[4]);
        Local(a[1], a[2], a[3], &x, &z);
        if (a[1] == "offset") heading += GetDataref("sim/flightmodel/position/psi");
        return PlaceTraffic(slot, a[0], x, z, heading, why);
    }
    if (s.what == "move") {
        double heading = NAN;
        if (!a[1].empty()) {
            heading = Value(a[1]);
        } else {
            for (const TrafficInfo& info : TrafficNow())
                if (info.slot == slot) heading = info.heading;
        }
        if (std::isnan(heading)) heading = 0;  // an empty slot: MoveTraffic says so
        return MoveTraffic(slot, Value(a[0]), heading, why);
    }
    if (s.what == "move-to") {
        double x, z;
        Local(a[0], a[1], a[2], &x, &z);
        return MoveTrafficTo(slot, x, z, Value(a[3]), why);
    }
    if (s.what == "stop") {
        for (const TrafficInfo& info : TrafficNow())
            if (info.slot == slot) return MoveTraffic(slot, 0, info.heading, why);
        return MoveTraffic(slot, 0, 0, why);
    }
    return RemoveTraffic(slot, why);
}

}  // namespace simhost::scenario
