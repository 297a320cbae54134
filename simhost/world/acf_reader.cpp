// The .acf text format: a three-line header, then PROPERTIES_BEGIN, one "P key value" line per
// property in any order (X-Plane writes them sorted as strings), PROPERTIES_END, and panel
// blocks the host does not need. Lengths are feet; line ends may be LF, CR LF or CR.
#include "world/acf_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace simhost::detail {

namespace {

// Lines of the text with their numbers, whatever the line ends.
class Lines {
  public:
    explicit Lines(std::string_view text) : text_(text) {}
    bool Next(std::string_view* line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find_first_of("\r\n", pos_);
        if (end == std::string_view::npos) end = text_.size();
        *line = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size()) {
            const bool crlf =
                text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
            pos_ += crlf ? 2 : 1;
        }
        ++number_;
        return true;
    }
    int Number() const { return number_; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

std::string_view Trim(std::string_view s) {
    const char* blanks = " \t\f\v";
    const std::size_t b = s.find_first_not_of(blanks);
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

bool ParseNumber(std::string_view s, double* v) {
    s = Trim(s);
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(*v);
}

// A slot or part index: a few digits, then '/'. Returns the rest after the '/'.
bool SplitIndex(std::string_view s, int* index, std::string_view* rest) {
    std::size_t k = 0;
    int n = 0;
    while (k < s.size() && k < 6 && s[k] >= '0' && s[k] <= '9') n = n * 10 + (s[k++] - '0');
    if (k == 0 || k >= s.size() || s[k] != '/') return false;
    *index = n;
    *rest = s.substr(k + 1);
    return true;
}

// Geometry of one wing panel or body, as far as the outline needs it.
struct Geo {
    double xAbsMax = 0;
    double zMin = std::numeric_limits<double>::infinity();
    double zMax = -std::numeric_limits<double>::infinity();
    double partX = 0, partZ = 0, semilen = 0;
    bool used = false;    // some property of it was read
    bool isWing = false;  // in the part table: a wing (it has _wing/ properties too)
    bool IsSpread() const { return zMax > zMin; }
};

// Indices of wings, parts and bodies: X-Plane's tables hold a few dozen to a hundred or so.
constexpr int kMaxParts = 1000;

struct Outline {
    std::vector<Geo> wing = std::vector<Geo>(kMaxParts), part = wing, body = wing;
};

enum class Namespace { kWing, kPart, kBody };

// Returns false with *why set for a value the host needs that is not a usable number.
class Properties {
  public:
    explicit Properties(AcfFile* f) : f_(f) {}

    bool Take(std::string_view key, std::string_view value, std::string* why) {
        why_ = why;
        value_ = value;
        key_ = key;
        if (key.substr(0, 6) == "_gear/") return Gear(key.substr(6));
        if (key.substr(0, 6) == "_wing/") return Shape(Namespace::kWing, key.substr(6));
        if (key.substr(0, 6) == "_part/") return Shape(Namespace::kPart, key.substr(6));
        if (key.substr(0, 6) == "_body/") return Shape(Namespace::kBody, key.substr(6));
        if (key == "acf/_cgY") return Number(-1e5, 1e5, &f_->cgY);
        if (key == "acf/_cgZ") return Number(-1e5, 1e5, &f_->cgZ);
        if (key == "acf/_m_max") return Number(0, 1e9, &f_->maxWeightLb);
        if (key == "acf/_num_engn") return Whole(0, 1000, &f_->engines);
        if (key == "acf/_name") return Text(&f_->name);
        if (key == "acf/_descrip") return Text(&f_->description);
        if (key == "acf/_ICAO") return Text(&f_->icao);
        if (key == "acf/_tailnum") return Text(&f_->tailNumber);
        return true;
    }

    void Finish() {
        double halfSpan = 0, halfSpanByPanels = 0;
        double zMin = std::numeric_limits<double>::infinity(), zMax = -zMin;
        auto wing = [&](const Geo& g) {
            halfSpan = std::max(halfSpan, g.xAbsMax);
            halfSpanByPanels = std::max(halfSpanByPanels, std::fabs(g.partX) + g.semilen);
            // Wing geometry is written in the aircraft's axes already.
            if (g.IsSpread()) zMin = std::min(zMin, g.zMin), zMax = std::max(zMax, g.zMax);
        };
        auto body = [&](const Geo& g) {
            // Body geometry is relative to the part's own position.
            if (g.IsSpread())
                zMin = std::min(zMin, g.partZ + g.zMin), zMax = std::max(zMax, g.partZ + g.zMax);
        };
        for (int n = 0; n < kMaxParts; ++n) {
            const Geo& p = outline_.part[static_cast<std::size_t>(n)];
            if (!p.isWing) {
                if (p.used) body(p);
                continue;
            }
            // X-Plane 10 keeps a wing's position and geometry under _part/.
            Geo merged = outline_.wing[static_cast<std::size_t>(n)];
            merged.xAbsMax = std::max(merged.xAbsMax, p.xAbsMax);
            if (merged.partX == 0) merged.partX = p.partX;
            if (p.IsSpread()) {
                merged.zMin = std::min(merged.zMin, p.zMin);
                merged.zMax = std::max(merged.zMax, p.zMax);
            }
            wing(merged);
        }
        for (const Geo& b : outline_.body)
            if (b.used) body(b);
        f_->halfSpan = halfSpan > 0 ? halfSpan : halfSpanByPanels;
        if (zMax > zMin) f_->noseZ = zMin, f_->tailZ = zMax;
    }

  private:
    bool Fail(const std::string& reason) {
        *why_ = reason;
        return false;
    }
    bool BadNumber() {
        return Fail("'" + std::string(key_) + "' needs a number, got '" + std::string(value_) +
                    "'");
    }
    bool Number(double lo, double hi, double* out) {
        double v;
        if (!ParseNumber(value_, &v)) return BadNumber();
        if (v < lo || v > hi)
            return Fail("'" + std::string(key_) + "' = " + std::string(value_) +
                        " is out of range");
        *out = v;
        return true;
    }
    bool Whole(double lo, double hi, int* out) {
        double v = 0;
        if (!Number(lo, hi, &v)) return false;
        if (v != std::floor(v)) return Fail("'" + std::string(key_) + "' must be a whole number");
        *out = static_cast<int>(v);
        return true;
    }
    bool Text(std::string* out) {
        *out = std::string(value_.substr(0, 255));
        return true;
    }

    bool Gear(std::string_view rest) {
        int n;
        std::string_view field;
        if (!SplitIndex(rest, &n, &field)) return true;  // _gear/count and the like
        if (n >= kAcfGearSlots) return true;             // beyond the simulator's arrays
        AcfGear& g = f_->gear[n];
        constexpr double kFar = 1e5;  // feet; anything beyond is not an aircraft
        if (field == "_gear_type") return Whole(0, 1000, &g.type);
        if (field == "_gear_x") return Number(-kFar, kFar, &g.x);
        if (field == "_gear_y") return Number(-kFar, kFar, &g.y);
        if (field == "_gear_z") return Number(-kFar, kFar, &g.z);
        if (field == "_leg_len") return Number(0, kFar, &g.legLength);
        if (field == "_tire_radius") return Number(0, kFar, &g.tyreRadius);
        if (field == "_steerdeg_lospeed") return Number(-360, 360, &g.steerLow);
        if (field == "_steerdeg_hispeed") return Number(-360, 360, &g.steerHigh);
        if (field == "_gear_castors") {
            int castors = 0;
            if (!Whole(0, 1000, &castors)) return false;
            g.castors = castors != 0;
        }
        return true;
    }

    // Outline properties. A malformed number here only loses that point: the outline is for
    // drawing, and X-Plane's own files carry fields the host never reads beside them.
    bool Shape(Namespace ns, std::string_view rest) {
        int n;
        std::string_view field;
        if (!SplitIndex(rest, &n, &field) || n >= kMaxParts) return true;
        const auto slot = static_cast<std::size_t>(n);
        if (ns == Namespace::kWing) outline_.part[slot].isWing = true;
        std::vector<Geo>& table = ns == Namespace::kWing   ? outline_.wing
                                  : ns == Namespace::kPart ? outline_.part
                                                           : outline_.body;
        double v;
        const bool wanted = field == "_part_x" || field == "_part_z" || field == "_semilen_SEG" ||
                            field.substr(0, 9) == "_geo_xyz/";
        if (!wanted || !ParseNumber(value_, &v) || std::fabs(v) > 1e5) return true;
        Geo& g = table[slot];
        g.used = true;
        if (field == "_part_x") {
            g.partX = v;
        } else if (field == "_part_z") {
            g.partZ = v;
        } else if (field == "_semilen_SEG") {
            g.semilen = std::fabs(v);
        } else {
            const char axis = field.back();  // "_geo_xyz/i,j,k": k 0 is x, 2 is z
            if (field.size() < 2 || field[field.size() - 2] != ',') return true;
            if (axis == '0') g.xAbsMax = std::max(g.xAbsMax, std::fabs(v));
            // Unused rows of a wing's table are zero: they are not points of the outline.
            if (axis == '2' && !(ns != Namespace::kBody && v == 0))
                g.zMin = std::min(g.zMin, v), g.zMax = std::max(g.zMax, v);
        }
        return true;
    }

    AcfFile* f_;
    std::string* why_ = nullptr;
    std::string_view key_, value_;
    Outline outline_;
};

}  // namespace

bool LooksLikeAcf(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Lines lines(text);
    std::string_view first;
    if (!lines.Next(&first)) return false;
    first = Trim(first);
    return first == "I" || first == "A";
}

bool ReadAcf(std::string_view text, const std::string& fileName, AcfFile* out, std::string* error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Lines lines(text);
    std::string_view line;
    auto fail = [&](const std::string& why) {
        if (error) *error = fileName + ":" + std::to_string(lines.Number()) + ": " + why;
        return false;
    };
    auto next = [&](const char* what) {
        if (lines.Next(&line)) return true;
        fail(std::string("the file ends before ") + what + ": it is cut short");
        return false;
    };

    AcfFile f;
    if (!next("its header")) return false;
    if (Trim(line) != "I" && Trim(line) != "A")
        return fail("not an X-Plane aircraft file: the first line must be 'I' or 'A'");
    if (!next("its version line")) return false;
    {
        std::string_view v = Trim(line);
        std::size_t digits = 0;
        while (digits < v.size() && digits < 9 && v[digits] >= '0' && v[digits] <= '9') ++digits;
        std::string_view word = Trim(v.substr(digits));
        std::string lower(word);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (digits == 0 || lower != "version")
            return fail("expected the version line 'NNNN Version', got '" + std::string(v) + "'");
        std::from_chars(v.data(), v.data() + digits, f.version);
        if (f.version < 1000)
            return fail("version " + std::to_string(f.version) +
                        " is not the text format of X-Plane 10 or later (1000 and up)");
    }
    if (!next("'ACF'")) return false;
    if (Trim(line) != "ACF") return fail("expected 'ACF', got '" + std::string(Trim(line)) + "'");
    do {
        if (!next("PROPERTIES_BEGIN")) return false;
    } while (Trim(line).empty());
    if (Trim(line) != "PROPERTIES_BEGIN")
        return fail("expected PROPERTIES_BEGIN, got '" + std::string(Trim(line)) + "'");

    Properties properties(&f);
    std::string why;
    for (;;) {
        if (!next("PROPERTIES_END")) return false;
        std::string_view l = Trim(line);
        if (l.empty()) continue;
        if (l == "PROPERTIES_END") break;
        if (l.size() < 3 || l[0] != 'P' || (l[1] != ' ' && l[1] != '\t'))
            return fail("expected 'P key value' or PROPERTIES_END, got '" +
                        std::string(l.substr(0, 60)) + "'");
        l = Trim(l.substr(2));
        const std::size_t gap = l.find_first_of(" \t");
        const std::string_view key = l.substr(0, gap);
        const std::string_view value = gap == std::string_view::npos ? "" : Trim(l.substr(gap));
        if (!properties.Take(key, value, &why)) return fail(why);
    }
    // The panel blocks that follow are not needed, but one left open means the file was cut.
    std::string open;
    int openedAt = 0;
    while (lines.Next(&line)) {
        const std::string_view l = Trim(line);
        if (open.empty() && l.substr(0, 6) == "PANEL_" && l.size() > 12 &&
            l.substr(l.size() - 6) == "_BEGIN") {
            open = std::string(l.substr(0, l.size() - 6));
            openedAt = lines.Number();
        } else if (!open.empty() && l == open + "_END") {
            open.clear();
        }
    }
    if (!open.empty())
        return fail("the file ends inside the " + open + " block opened on line " +
                    std::to_string(openedAt) + ": it is cut short");
    properties.Finish();
    *out = std::move(f);
    return true;
}

}  // namespace simhost::detail
