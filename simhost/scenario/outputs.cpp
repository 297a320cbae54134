#include "outputs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "simhost/files.h"

namespace simhost::scenario {

std::string Fixed(double v, int decimals) {
    if (!std::isfinite(v)) return {};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s == "-0.000" || s == "-0.0000" || s == "-0.00" || s == "-0.0") s.erase(0, 1);
    return s;
}

bool WriteTimeline(const std::filesystem::path& file, const std::vector<TimelineEvent>& events) {
    std::ostringstream out;
    for (const TimelineEvent& e : events) {
        std::string text = e.text;
        std::replace(text.begin(), text.end(), '\n', ' ');
        out << Fixed(e.time) << ' ' << text << '\n';
    }
    return WriteWholeFile(file, out.str(), nullptr);
}

bool WriteTrackCsv(const std::filesystem::path& file, const std::vector<TrackRow>& rows) {
    std::ostringstream out;
    out << "time,aircraft_x,aircraft_z,aircraft_heading,tug_x,tug_z,tug_heading,phase\n";
    for (const TrackRow& r : rows) {
        out << Fixed(r.time) << ',' << Fixed(r.aircraftX, 4) << ',' << Fixed(r.aircraftZ, 4) << ','
            << Fixed(r.aircraftHeading, 3) << ',' << Fixed(r.tugX, 4) << ',' << Fixed(r.tugZ, 4)
            << ',' << Fixed(r.tugHeading, 3) << ','
            << (std::isfinite(r.phase) ? Fixed(r.phase, 0) : "") << '\n';
    }
    return WriteWholeFile(file, out.str(), nullptr);
}

namespace {

struct View {
    double minX, minZ, scale, margin;
    double X(double x) const { return margin + (x - minX) * scale; }
    double Y(double z) const { return margin + (z - minZ) * scale; }  // z points south: down
};

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// The tug is only shown while a pushback has it out (phase 0 and up); before the first one its
// published position is wherever it was left, usually the origin.
bool TugActive(const TrackRow& r) {
    return std::isfinite(r.tugX) && std::isfinite(r.tugZ) &&
           !(std::isfinite(r.phase) && r.phase < 0);
}

// Polylines of the shown points, thinned to at most ~2000 vertices, broken where a point is
// hidden or jumps (the tug is placed at its start in one step).
std::string Path(const std::vector<TrackRow>& rows, const View& v, bool tug) {
    std::string d;
    std::size_t step = std::max<std::size_t>(1, rows.size() / 2000);
    bool pen = false;
    double lastX = 0, lastZ = 0;
    for (std::size_t k = 0; k < rows.size(); k += step) {
        const TrackRow& r = rows[k];
        double x = tug ? r.tugX : r.aircraftX, z = tug ? r.tugZ : r.aircraftZ;
        bool shown = tug ? TugActive(r) : std::isfinite(x) && std::isfinite(z);
        if (!shown) {
            pen = false;
            continue;
        }
        if (pen && std::hypot(x - lastX, z - lastZ) > 5.0 * static_cast<double>(step)) pen = false;
        d += (pen ? " L" : (d.empty() ? "M" : " M")) + Fixed(v.X(x), 1) + "," + Fixed(v.Y(z), 1);
        pen = true;
        lastX = x;
        lastZ = z;
    }
    return d;
}

// An arrow from (x, z) along heading h (degrees; forwards is (sin h, -cos h)).
std::string Arrow(const View& v, double x, double z, double h, const std::string& colour,
                  double length) {
    double rad = h * 3.14159265358979323846 / 180.0;
    double x1 = v.X(x), y1 = v.Y(z);
    double x2 = x1 + std::sin(rad) * length, y2 = y1 - std::cos(rad) * length;
    double back = rad + 3.14159265358979323846;
    double hx1 = x2 + std::sin(back + 0.45) * 9, hy1 = y2 - std::cos(back + 0.45) * 9;
    double hx2 = x2 + std::sin(back - 0.45) * 9, hy2 = y2 - std::cos(back - 0.45) * 9;
    return "<line x1=\"" + Fixed(x1, 1) + "\" y1=\"" + Fixed(y1, 1) + "\" x2=\"" + Fixed(x2, 1) +
           "\" y2=\"" + Fixed(y2, 1) + "\" stroke=\"" + colour +
           "\" stroke-width=\"2\"/>\n<polygon points=\"" + Fixed(x2, 1) + "," + Fixed(y2, 1) + " " +
           Fixed(hx1, 1) + "," + Fixed(hy1, 1) + " " + Fixed(hx2, 1) + "," + Fixed(hy2, 1) +
           "\" fill=\"" + colour + "\"/>\n";
}

double NiceLength(double approx) {
    double p = std::pow(10.0, std::floor(std::log10(approx)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= approx) return m * p;
    return 10 * p;
}

}  // namespace

bool WriteTrackSvg(const std::filesystem::path& file, const std::vector<TrackRow>& rows,
                   const std::string& title) {
    double minX = INFINITY, maxX = -INFINITY, minZ = INFINITY, maxZ = -INFINITY;
    for (const TrackRow& r : rows)
        for (auto [x, z] :
             {std::pair{r.aircraftX, r.aircraftZ},
              TugActive(r) ? std::pair{r.tugX, r.tugZ} : std::pair{double(NAN), double(NAN)}})
            if (std::isfinite(x) && std::isfinite(z)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minZ = std::min(minZ, z);
                maxZ = std::max(maxZ, z);
            }
    const double size = 800, margin = 60;
    if (!std::isfinite(minX)) minX = maxX = minZ = maxZ = 0;
    double extent = std::max({maxX - minX, maxZ - minZ, 20.0});
    // Centre the content in a square view.
    double cx = (minX + maxX) / 2, cz = (minZ + maxZ) / 2;
    View v{cx - extent / 2, cz - extent / 2, (size - 2 * margin) / extent, margin};

    std::ostringstream out;
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << size << "\" height=\"" << size
        << "\" viewBox=\"0 0 " << size << ' ' << size
        << "\" font-family=\"sans-serif\" font-size=\"13\">\n";
    out << "<rect width=\"100%\" height=\"100%\" fill=\"#f7f7f2\"/>\n";
    out << "<text x=\"" << margin << "\" y=\"28\" font-size=\"16\">" << Escape(title)
        << "</text>\n";
    out << "<text x=\"" << size - margin
        << "\" y=\"28\" text-anchor=\"end\">top view, north up</text>\n";
    std::string aircraft = Path(rows, v, false), tug = Path(rows, v, true);
    if (!aircraft.empty())
        out << "<path d=\"" << aircraft
            << "\" fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"2.5\"/>\n";
    if (!tug.empty())
        out << "<path d=\"" << tug << "\" fill=\"none\" stroke=\"#d2691e\" stroke-width=\"1.5\" "
            << "stroke-dasharray=\"5,3\"/>\n";

    auto firstLast = [&](bool isTug, const TrackRow** first, const TrackRow** last) {
        *first = *last = nullptr;
        for (const TrackRow& r : rows) {
            double x = isTug ? r.tugX : r.aircraftX, h = isTug ? r.tugHeading : r.aircraftHeading;
            if (!std::isfinite(x) || !std::isfinite(h) || (isTug && !TugActive(r))) continue;
            if (!*first) *first = &r;
            *last = &r;
        }
    };
    const TrackRow *a0, *a1, *t0, *t1;
    firstLast(false, &a0, &a1);
    firstLast(true, &t0, &t1);
    if (a0) {
        out << Arrow(v, a0->aircraftX, a0->aircraftZ, a0->aircraftHeading, "#1f5fbf", 40);
        out << Arrow(v, a1->aircraftX, a1->aircraftZ, a1->aircraftHeading, "#0b2f6b", 40);
        out << "<text x=\"" << Fixed(v.X(a0->aircraftX) + 8, 1) << "\" y=\""
            << Fixed(v.Y(a0->aircraftZ) + 16, 1) << "\" fill=\"#1f5fbf\">aircraft start "
            << Fixed(a0->aircraftHeading, 1) << "&#176;</text>\n";
        out << "<text x=\"" << Fixed(v.X(a1->aircraftX) + 8, 1) << "\" y=\""
            << Fixed(v.Y(a1->aircraftZ) + 16, 1) << "\" fill=\"#0b2f6b\">aircraft end "
            << Fixed(a1->aircraftHeading, 1) << "&#176;</text>\n";
    }
    if (t0) {
        out << Arrow(v, t0->tugX, t0->tugZ, t0->tugHeading, "#d2691e", 25);
        out << "<text x=\"" << Fixed(v.X(t0->tugX) + 8, 1) << "\" y=\""
            << Fixed(v.Y(t0->tugZ) - 8, 1) << "\" fill=\"#d2691e\">tug start</text>\n";
        out << Arrow(v, t1->tugX, t1->tugZ, t1->tugHeading, "#8b3a0e", 25);
        out << "<text x=\"" << Fixed(v.X(t1->tugX) + 8, 1) << "\" y=\""
            << Fixed(v.Y(t1->tugZ) - 8, 1) << "\" fill=\"#8b3a0e\">tug end</text>\n";
    }
    // Scale bar: a round length of about a fifth of the view.
    double metres = NiceLength(extent / 5);
    double px = metres * v.scale;
    double y = size - 30;
    out << "<line x1=\"" << margin << "\" y1=\"" << y << "\" x2=\"" << Fixed(margin + px, 1)
        << "\" y2=\"" << y << "\" stroke=\"black\" stroke-width=\"3\"/>\n";
    out << "<text x=\"" << margin << "\" y=\"" << y - 8 << "\">"
        << Fixed(metres, metres < 1 ? 1 : 0) << " m</text>\n";
    out << "<text x=\"" << size - margin << "\" y=\"" << y << "\" text-anchor=\"end\">"
        << "<tspan fill=\"#1f5fbf\">&#9644; aircraft</tspan>  <tspan fill=\"#d2691e\">- - "
           "tug</tspan></text>\n";
    out << "</svg>\n";
    return WriteWholeFile(file, out.str(), nullptr);
}

TrackSummary SummarizeTrack(const std::vector<TrackRow>& rows) {
    TrackSummary summary;
    const TrackRow* previous = nullptr;
    for (const TrackRow& row : rows) {
        if (!std::isfinite(row.aircraftX) || !std::isfinite(row.aircraftZ)) continue;
        if (!previous) {
            summary.valid = true;
            summary.startHeading = row.aircraftHeading;
        } else {
            const double dx = row.aircraftX - previous->aircraftX;
            const double dz = row.aircraftZ - previous->aircraftZ;
            const double step = std::hypot(dx, dz);
            summary.pathLength += step;
            // Nose first when the step runs along the heading the aircraft had: (sin h, -cos h).
            const double h = previous->aircraftHeading * 3.14159265358979323846 / 180.0;
            const bool noseFirst = std::isfinite(h) && dx * std::sin(h) - dz * std::cos(h) > 0.0;
            (noseFirst ? summary.forwards : summary.backwards) += step;
        }
        summary.endHeading = row.aircraftHeading;
        previous = &row;
    }
    if (summary.valid) {
        const TrackRow* first = nullptr;
        for (const TrackRow& row : rows)
            if (std::isfinite(row.aircraftX) && std::isfinite(row.aircraftZ)) {
                first = &row;
                break;
            }
        summary.displacement = std::hypot(previous->aircraftX - first->aircraftX,
                                          previous->aircraftZ - first->aircraftZ);
    }
    return summary;
}

}  // namespace simhost::scenario
