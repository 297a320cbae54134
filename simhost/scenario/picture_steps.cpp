// The picture and animation lines of a scenario:
//   picture NAME [view outside|top|trail|tug|screen] [size WxH] [label "TEXT"]
//   animation start NAME [view outside|top|tug] [size WxH] [every DURATION]
//   animation stop
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "picture_steps.h"
#include "scenario.h"
#include "simhost/files.h"
#include "simhost/simhost.h"

namespace simhost::scenario {

namespace {

bool GoodName(const std::string& name) {
    if (name.empty() || name.size() > 64) return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_')) return false;
    return true;
}

bool ParseSize(const std::string& text, int* w, int* h) {
    int a = 0, b = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &a, &x, &b, &rest) != 3 || x != 'x') return false;
    if (a < 16 || b < 16 || a > 4096 || b > 4096) return false;
    *w = a;
    *h = b;
    return true;
}

// The part of the screen a "view screen" picture shows: with a size, that much of the screen
// from its lower-left corner; without, the widget windows on it (else the plain windows) with
// a margin, or the whole screen when none is open, so a window shows at its real size.
void ScreenRegion(bool sizeGiven, PictureRequest* r) {
    const int screenWidth = Config().screenWidth, screenHeight = Config().screenHeight;
    r->screenLeft = 0;
    r->screenBottom = 0;
    if (sizeGiven) return;
    int left = screenWidth, right = 0, bottom = screenHeight, top = 0;
    auto take = [&](int l, int t, int rt, int b) {
        left = std::min(left, l);
        right = std::max(right, rt);
        bottom = std::min(bottom, b);
        top = std::max(top, t);
    };
    // Widget windows when there are any (dialogs), else the plain windows.
    for (const WidgetInfo& w : Widgets())
        if (w.isRoot && w.visible) take(w.left, w.top, w.right, w.bottom);
    if (right == 0)
        for (const WindowInfo& w : Windows())
            // A plain window may be made with its top below its bottom; it covers both.
            if (w.visible)
                take(std::min(w.left, w.right), std::max(w.top, w.bottom),
                     std::max(w.left, w.right), std::min(w.top, w.bottom));
    constexpr int kMargin = 24;
    left = std::max(0, left - kMargin);
    bottom = std::max(0, bottom - kMargin);
    right = std::min(screenWidth, right + kMargin);
    top = std::min(screenHeight, top + kMargin);
    if (right - left < 16 || top - bottom < 16) {
        left = bottom = 0;
        right = screenWidth;
        top = screenHeight;
    }
    r->screenLeft = left;
    r->screenBottom = bottom;
    r->width = std::min(right - left, 4096);
    r->height = std::min(top - bottom, 4096);
}

}  // namespace

bool ParsePictureLine(const std::vector<std::string>& words, Step* s, std::string* why) {
    const std::string& verb = words[0];
    std::size_t k = 1;
    if (verb == "animation") {
        if (words.size() < 2 || (words[1] != "start" && words[1] != "stop")) {
            *why = "'animation' takes start NAME ... or stop";
            return false;
        }
        s->what = words[1];
        k = 2;
        if (s->what == "stop") {
            if (words.size() != 2) {
                *why = "'animation stop' takes nothing more";
                return false;
            }
            return true;
        }
        s->width = 640;
        s->height = 480;
        s->view = "top";
    } else {
        s->what = "take";
        s->width = 1280;
        s->height = 720;
    }
    if (k >= words.size() || !GoodName(words[k])) {
        *why = "'" + verb + "' needs a NAME of letters, digits, '-' and '_'";
        return false;
    }
    s->args = {words[k], ""};
    for (++k; k < words.size(); k += 2) {
        const std::string& key = words[k];
        if (k + 1 >= words.size()) {
            *why = "'" + key + "' needs a value";
            return false;
        }
        const std::string& value = words[k + 1];
        if (key == "view") {
            const bool stillOnly = value == "screen" || value == "trail";
            if (value != "outside" && value != "top" && value != "tug" &&
                (!stillOnly || verb != "picture")) {
                *why = verb == "picture" ? "view must be outside, top, trail, tug or screen"
                                         : "view must be outside, top or tug";
                return false;
            }
            s->view = value;
        } else if (key == "size") {
            if (!ParseSize(value, &s->width, &s->height)) {
                *why = "size must be WIDTHxHEIGHT, each from 16 to 4096";
                return false;
            }
            s->sizeGiven = true;
        } else if (key == "label" && verb == "picture") {
            s->args[1] = value;
        } else if (key == "every" && verb == "animation") {
            if (!ParseDuration(value, &s->interval) || s->interval <= 0) {
                *why = "bad interval '" + value + "'";
                return false;
            }
        } else {
            *why = "unknown word '" + key + "' in '" + verb + "'";
            return false;
        }
    }
    return true;
}

bool PictureSteps::Run(const Step& s, std::string* why) {
    if (!enabled_) return true;
    std::string problem;
    if (!GraphicsAvailable(&problem)) {
        if (!warned_) {
            std::fprintf(stderr, "tarvosk-sim: no pictures without OpenGL (%s)\n", problem.c_str());
            AddTimelineEvent("pictures skipped: no OpenGL (" + problem + ")");
            warned_ = true;
        }
        return true;
    }
    PictureRequest request;
    request.view = s.view;
    request.width = s.width;
    request.height = s.height;
    if (s.view == "screen") ScreenRegion(s.sizeGiven, &request);
    if (s.verb == "animation") {
        if (s.what == "stop") return Finish(why);
        if (AnimationRunning()) {
            *why = "an animation is already running";
            return false;
        }
        animation_ = folder_ / (s.args[0] + ".png");
        if (!StartAnimation(request, s.interval, why)) return false;
        AddTimelineEvent("animation started: " + s.args[0]);
        return true;
    }
    Picture picture;
    const std::filesystem::path file = folder_ / (s.args[0] + ".png");
    if (!TakePicture(request, &picture, why) || !WritePng(file, picture, why)) return false;
    AddTimelineEvent("picture: " + s.args[0] + " (" + s.view + ", " + std::to_string(s.width) +
                     "x" + std::to_string(s.height) + ")");
    taken_.push_back(file);
    labels_.push_back(s.args[1].empty() ? s.args[0] : s.args[1]);
    written_.push_back(file);
    return true;
}

bool PictureSteps::Finish(std::string* why) {
    if (!AnimationRunning()) {
        *why = "no animation is running";
        return false;
    }
    const int frames = AnimationFrames();
    if (!StopAnimation(animation_, why)) return false;
    AddTimelineEvent("animation written: " + Utf8(animation_.filename()) + " (" +
                     std::to_string(frames) + " frames)");
    written_.push_back(animation_);
    return true;
}

bool ReadPictureIndex(const std::filesystem::path& folder,
                      std::vector<std::filesystem::path>* pictures,
                      std::vector<std::string>* labels, std::string* why) {
    const std::filesystem::path file = folder / kPictureIndex;
    std::string text;
    if (!ReadWholeFile(file, &text, nullptr)) {
        *why = "no " + Utf8(file) + " (a folder of pictures needs the index a run writes)";
        return false;
    }
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::size_t tab = line.find('\t');
        const std::string name = line.substr(0, tab);
        // Only names a run gives its pictures, so an index cannot point outside its folder.
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".png") != 0 ||
            !GoodName(name.substr(0, name.size() - 4))) {
            *why = Utf8(file) + ":" + std::to_string(number) + ": bad picture name '" + name + "'";
            return false;
        }
        pictures->push_back(folder / name);
        labels->push_back(tab == std::string::npos ? std::string() : line.substr(tab + 1));
    }
    return true;
}

void PictureSteps::Close() {
    std::string why;
    if (AnimationRunning() && !Finish(&why)) std::fprintf(stderr, "tarvosk-sim: %s\n", why.c_str());
    if (!taken_.empty()) {
        const std::filesystem::path index = folder_ / kPictureIndex;
        std::string out;
        for (std::size_t k = 0; k < taken_.size(); ++k) {
            std::string label = labels_[k];
            std::replace_if(
                label.begin(), label.end(), [](char c) { return c == '\t' || c == '\n'; }, ' ');
            out += Utf8(taken_[k].filename()) + '\t' + label + '\n';
        }
        if (WriteWholeFile(index, out, &why))
            written_.push_back(index);
        else
            std::fprintf(stderr, "tarvosk-sim: cannot write %s: %s\n", Utf8(index).c_str(),
                         why.c_str());
    }
    if (taken_.size() >= 2) {
        const std::filesystem::path sheet = folder_ / "contact-sheet.png";
        if (WriteContactSheet(sheet, taken_, labels_, 3, title_, &why))
            written_.push_back(sheet);
        else
            std::fprintf(stderr, "tarvosk-sim: contact sheet: %s\n", why.c_str());
    }
}

}  // namespace simhost::scenario
