// Pictures and animations: what a drawn frame is for, PNG and animated PNG files, contact
// sheets, and projecting a point into a picture.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "control/host_state.h"
#include "drawing/graphics.h"
#include "drawing/graphics_internal.h"
#include "simhost/files.h"

using namespace simhost::detail;

namespace {

struct PictureJobs {
    bool picturePending = false;
    FrameRequest picture;
    simhost::Picture* pictureOut = nullptr;
    bool pictureDone = false;

    bool animating = false;
    FrameRequest animation;
    double interval = 0.5, nextTime = 0;
    std::vector<std::vector<std::uint8_t>> frames;  // zlib streams of filtered RGB rows
};

PictureJobs& J() {
    static PictureJobs j;
    return j;
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

// A top view, north up, high enough to show the aircraft's whole path, the aircraft and the
// other aircraft near it.
void FrameTheTrail(FrameRequest& r) {
    const Host& h = H();
    double minX = h.refs.localX->d, maxX = minX, minZ = h.refs.localZ->d, maxZ = minZ;
    auto take = [&](double x, double z) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minZ = std::min(minZ, z);
        maxZ = std::max(maxZ, z);
    };
    for (const auto& [x, z] : h.trail) take(x, z);
    constexpr double kNear = 300;  // traffic farther away would shrink the stand to a dot
    for (int slot = 1; slot < kTcasSlots; ++slot) {
        TrafficPose p;
        if (TrafficPoseOf(h.traffic, slot, &p) &&
            std::hypot(p.x - h.refs.localX->d, p.z - h.refs.localZ->d) < kNear)
            take(p.x, p.z);
    }
    constexpr double kAircraftMargin = 70;  // the airliner's span and the tug beside it
    const double aspect = static_cast<double>(r.width) / r.height;
    const double extent = std::max((maxX - minX) / aspect, maxZ - minZ) + kAircraftMargin;
    r.view = "top";
    r.fixedTop = true;
    r.centreX = (minX + maxX) / 2;
    r.centreZ = (minZ + maxZ) / 2;
    r.upX = 0;
    r.upZ = -1;
    r.height_m = extent / (2 * std::tan(22.5 * 3.14159265358979323846 / 180));  // 45-degree view
}

bool CheckRequest(const simhost::PictureRequest& r, std::string* error) {
    if (r.view != "outside" && r.view != "top" && r.view != "tug" && r.view != "screen" &&
        r.view != "trail")
        return Fail(error, "unknown view '" + r.view + "' (outside, top, trail, tug or screen)");
    if (r.width < 16 || r.height < 16 || r.width > 4096 || r.height > 4096)
        return Fail(error, "picture size must be from 16x16 to 4096x4096");
    if (!GraphicsUp()) return Fail(error, "no OpenGL: " + GraphicsProblem());
    return true;
}

std::uint8_t Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// The picture as PNG image data: RGB rows, each with the Paeth filter, deflated.
std::vector<std::uint8_t> ImageData(const simhost::Picture& p) {
    const std::size_t row = static_cast<std::size_t>(p.width) * 3;
    std::vector<std::uint8_t> raw((row + 1) * static_cast<std::size_t>(p.height));
    std::vector<std::uint8_t> prev(row, 0), cur(row);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x)
            for (int c = 0; c < 3; ++c)
                cur[static_cast<std::size_t>(x) * 3 + c] =
                    p.rgba[(static_cast<std::size_t>(y) * p.width + x) * 4 + c];
        std::uint8_t* out = &raw[static_cast<std::size_t>(y) * (row + 1)];
        out[0] = 4;
        for (std::size_t i = 0; i < row; ++i) {
            int a = i >= 3 ? cur[i - 3] : 0, b = prev[i], c = i >= 3 ? prev[i - 3] : 0;
            out[1 + i] = static_cast<std::uint8_t>(cur[i] - Paeth(a, b, c));
        }
        prev.swap(cur);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        return {};
    packed.resize(size);
    return packed;
}

void Put32(std::string& s, std::uint32_t v) {
    for (int k = 3; k >= 0; --k) s.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}

void Chunk(std::string& out, const char type[4], const std::string& data) {
    std::string head;
    Put32(head, static_cast<std::uint32_t>(data.size()));
    head.append(type, 4);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    std::string tail;
    Put32(tail, static_cast<std::uint32_t>(crc));
    out += head;
    out += data;
    out += tail;
}

// Scales a picture down by averaging boxes of pixels.
simhost::Picture Shrink(const simhost::Picture& p, int width) {
    simhost::Picture out;
    out.width = std::min(width, p.width);
    out.height = std::max(1, p.height * out.width / p.width);
    out.rgba.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            int x0 = x * p.width / out.width, x1 = std::max(x0 + 1, (x + 1) * p.width / out.width);
            int y0 = y * p.height / out.height,
                y1 = std::max(y0 + 1, (y + 1) * p.height / out.height);
            unsigned sum[3] = {0, 0, 0}, n = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx, ++n)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p.rgba[(static_cast<std::size_t>(sy) * p.width + sx) * 4 + c];
            std::uint8_t* o = &out.rgba[(static_cast<std::size_t>(y) * out.width + x) * 4];
            for (int c = 0; c < 3; ++c) o[c] = static_cast<std::uint8_t>(sum[c] / n);
            o[3] = 255;
        }
    return out;
}

// Text into a pixel buffer with the host font, each dot `scale` pixels square.
void Label(simhost::Picture& p, int x, int y, const std::string& text, int scale,
           const std::uint8_t rgb[3]) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const auto c = static_cast<unsigned char>(text[k]);
        const auto& glyph = Glyph(c);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col) {
                if (!(glyph[row] & (0x10 >> col))) continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) {
                        int px = x + (static_cast<int>(k) * kCharWidth + col) * scale + dx;
                        int py = y + (row + GlyphDrop(c)) * scale + dy;
                        if (px < 0 || py < 0 || px >= p.width || py >= p.height) continue;
                        std::uint8_t* o =
                            &p.rgba[(static_cast<std::size_t>(py) * p.width + px) * 4];
                        std::memcpy(o, rgb, 3);
                    }
            }
    }
}

}  // namespace

namespace simhost::detail {

bool NextFrameRequest(FrameRequest* request) {
    PictureJobs& j = J();
    if (j.picturePending) {
        *request = j.picture;
        return true;
    }
    if (j.animating && H().now + 1e-9 >= j.nextTime) {
        *request = j.animation;
        return true;
    }
    return false;
}

void DeliverFrame(const FrameRequest& request, Picture&& picture) {
    PictureJobs& j = J();
    if (j.picturePending) {
        j.picturePending = false;
        if (j.pictureOut) *j.pictureOut = std::move(picture);
        j.pictureDone = true;
        return;
    }
    (void)request;
    if (!j.animating) return;
    j.frames.push_back(ImageData(picture));
    while (j.nextTime <= H().now + 1e-9) j.nextTime += j.interval;
}

bool PictureWanted() {
    return J().picturePending || J().animating;
}

void ForgetPictureJobs() {
    J() = PictureJobs{};
}

}  // namespace simhost::detail

namespace simhost {

std::vector<int> TextureNumbersHandedOut() {
    return HostReady() ? H().texturesHandedOut : std::vector<int>{};
}

bool TextureStillExists(int number) {
    return HostReady() && TextureAlive(number);
}

bool GraphicsAvailable(std::string* why) {
    bool up = GraphicsUp();
    if (!up && why) *why = GraphicsProblem();
    return up;
}

bool TakePicture(const PictureRequest& request, Picture* out, std::string* error) {
    if (!HostReady()) return Fail(error, "the host is not set up");
    if (!CheckRequest(request, error)) return false;
    PictureJobs& j = J();
    j.picture = FrameRequest{};
    j.picture.view = request.view;
    j.picture.width = request.width;
    j.picture.height = request.height;
    j.picture.screenLeft = request.screenLeft;
    j.picture.screenBottom = request.screenBottom;
    if (request.view == "trail") FrameTheTrail(j.picture);
    j.picturePending = true;
    j.pictureDone = false;
    j.pictureOut = out;
    RunFrames(1);
    const bool done = j.pictureDone;
    j.picturePending = false;
    j.pictureOut = nullptr;
    return done || Fail(error, "the frame was not drawn");
}

bool WritePng(const std::filesystem::path& file, const Picture& picture, std::string* error) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4)
        return Fail(error, "empty or inconsistent picture");
    std::string why;
    if (file.has_parent_path() && !MakeFolders(file.parent_path(), &why))
        return Fail(error, "cannot write " + Utf8(file) + ": " + why);
    // libpng is handed the open file, never the name: it opens names narrow.
    std::FILE* out = OpenFile(file, "wb");
    if (!out) return Fail(error, "cannot write " + Utf8(file) + ": " + std::strerror(errno));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGBA;
    const bool written =
        png_image_write_to_stdio(&image, out, 0, picture.rgba.data(), 0, nullptr) != 0;
    const bool closed = std::fclose(out) == 0;
    if (!written) return Fail(error, "cannot write " + Utf8(file) + ": " + image.message);
    if (!closed) return Fail(error, "cannot write " + Utf8(file) + ": " + std::strerror(errno));
    return true;
}

bool ReadPng(const std::filesystem::path& file, Picture* out, std::string* error) {
    std::string bytes, why;
    if (!ReadWholeFile(file, &bytes, &why))
        return Fail(error, "cannot read " + Utf8(file) + ": " + why);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return Fail(error, "cannot read " + Utf8(file) + ": " + image.message);
    image.format = PNG_FORMAT_RGBA;
    out->width = static_cast<int>(image.width);
    out->height = static_cast<int>(image.height);
    out->rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, out->rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return Fail(error, "cannot decode " + Utf8(file) + ": " + image.message);
    }
    return true;
}

Picture ShrinkPicture(const Picture& picture, int width) {
    if (picture.width <= 0 || picture.height <= 0 || width <= 0) return Picture{};
    return Shrink(picture, width);
}

bool ProjectToPicture(const Picture& p, double x, double y, double z, double* px, double* py) {
    const double in[4] = {x, y, z, 1};
    double eye[4] = {}, clip[4] = {};
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 4; ++k) eye[r] += p.modelview[k * 4 + r] * in[k];
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 4; ++k) clip[r] += p.projection[k * 4 + r] * eye[k];
    if (clip[3] <= 1e-9) return false;
    *px = (clip[0] / clip[3] + 1) / 2 * p.width;
    *py = (1 - clip[1] / clip[3]) / 2 * p.height;
    return true;
}

bool StartAnimation(const PictureRequest& request, double interval, std::string* error) {
    if (!HostReady()) return Fail(error, "the host is not set up");
    if (!CheckRequest(request, error)) return false;
    if (!(interval > 0)) return Fail(error, "the interval must be positive");
    PictureJobs& j = J();
    j.animation = FrameRequest{};
    j.animation.view = request.view;
    j.animation.width = request.width;
    j.animation.height = request.height;
    if (request.view == "top") {
        // One place in view for the whole animation: the stand and the ground behind it and
        // to both sides, where a pushback goes. The aircraft's left is up, so its nose points
        // right and the push runs along the picture's longer side.
        const detail::AircraftRefs& r = H().refs;
        const double psi = r.psi->f * 3.14159265358979323846 / 180;
        const double behind = 45;
        j.animation.fixedTop = true;
        j.animation.centreX = r.localX->d - behind * std::sin(psi);
        j.animation.centreZ = r.localZ->d + behind * std::cos(psi);
        j.animation.upX = -std::cos(psi);
        j.animation.upZ = -std::sin(psi);
        j.animation.height_m = 160;
    }
    j.interval = interval;
    j.nextTime = H().now;
    j.frames.clear();
    j.animating = true;
    Log("animation started: " + request.view + " view, a frame every " + std::to_string(interval) +
        " s");
    return true;
}

bool AnimationRunning() {
    return J().animating;
}

int AnimationFrames() {
    return static_cast<int>(J().frames.size());
}

bool StopAnimation(const std::filesystem::path& file, std::string* error) {
    PictureJobs& j = J();
    if (!j.animating) return Fail(error, "no animation is running");
    j.animating = false;
    std::vector<std::vector<std::uint8_t>> frames;
    frames.swap(j.frames);
    if (frames.empty()) return Fail(error, "the animation has no frames");
    std::string out("\x89PNG\r\n\x1a\n", 8);
    const auto w = static_cast<std::uint32_t>(j.animation.width);
    const auto h = static_cast<std::uint32_t>(j.animation.height);
    std::string ihdr;
    Put32(ihdr, w);
    Put32(ihdr, h);
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
    Chunk(out, "IHDR", ihdr);
    std::string actl;
    Put32(actl, static_cast<std::uint32_t>(frames.size()));
    Put32(actl, 0);  // loop for ever
    Chunk(out, "acTL", actl);
    std::uint32_t sequence = 0;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        std::string fctl;
        Put32(fctl, sequence++);
        Put32(fctl, w);
        Put32(fctl, h);
        Put32(fctl, 0);
        Put32(fctl, 0);
        // Ten frames per second of playback: five times the pace of half-second frames.
        fctl += std::string("\x00\x01\x00\x0a\x00\x00", 6);
        Chunk(out, "fcTL", fctl);
        const std::string data(frames[k].begin(), frames[k].end());
        if (k == 0) {
            Chunk(out, "IDAT", data);
        } else {
            std::string fdat;
            Put32(fdat, sequence++);
            Chunk(out, "fdAT", fdat + data);
        }
    }
    Chunk(out, "IEND", "");
    std::string why;
    if (!WriteWholeFile(file, out, &why))
        return Fail(error, "cannot write " + Utf8(file) + ": " + why);
    Log("animation written: " + Utf8(file) + " (" + std::to_string(frames.size()) + " frames)");
    return true;
}

bool WriteContactSheet(const std::filesystem::path& file,
                       const std::vector<std::filesystem::path>& pictures,
                       const std::vector<std::string>& labels, int columns,
                       const std::string& title, std::string* error) {
    return WriteContactSheet(file, {ContactSheetSection{"", pictures, labels}}, columns, title,
                             error);
}

bool WriteContactSheet(const std::filesystem::path& file,
                       const std::vector<ContactSheetSection>& sections, int columns,
                       const std::string& title, std::string* error) {
    // Pictures wider than a column are shrunk to its width; smaller ones (a window seen at its
    // real size) stay as they are, so their text stays legible. Each section starts a new row
    // under its heading; a row is as tall as its tallest picture, each label right below its
    // own picture.
    constexpr int kThumbW = 480, kGap = 12, kLabelH = 30, kTitleH = 44, kHeadingH = 40;
    constexpr int kLabelScale = 2;
    std::size_t most = 0;
    for (const ContactSheetSection& s : sections) {
        if (s.pictures.empty())
            return Fail(error, "no pictures in the section '" + s.heading + "'");
        most = std::max(most, s.pictures.size());
    }
    if (most == 0) return Fail(error, "no pictures for the contact sheet");
    columns = std::clamp(columns, 1, static_cast<int>(most));

    struct Placed {
        Picture thumb;
        std::string label;
        int x = 0, y = 0;
    };
    std::vector<Placed> placed;
    std::vector<std::pair<std::string, int>> headings;  // text, top
    const std::size_t labelFits = kThumbW / (kCharWidth * kLabelScale);
    int y = title.empty() ? kGap : kTitleH;
    for (const ContactSheetSection& s : sections) {
        if (!s.heading.empty()) {
            headings.emplace_back(s.heading, y);
            y += kHeadingH;
        }
        for (std::size_t first = 0; first < s.pictures.size();
             first += static_cast<std::size_t>(columns)) {
            const std::size_t last =
                std::min(s.pictures.size(), first + static_cast<std::size_t>(columns));
            int rowH = 0;
            for (std::size_t k = first; k < last; ++k) {
                Picture p;
                if (!ReadPng(s.pictures[k], &p, error)) return false;
                Placed one;
                one.thumb = Shrink(p, kThumbW);
                one.label = k < s.labels.size() && !s.labels[k].empty()
                                ? s.labels[k]
                                : Utf8(s.pictures[k].stem());
                if (one.label.size() > labelFits) one.label.resize(labelFits);
                one.x = kGap + static_cast<int>(k - first) * (kThumbW + kGap);
                one.y = y;
                rowH = std::max(rowH, one.thumb.height);
                placed.push_back(std::move(one));
            }
            y += rowH + kLabelH + kGap;
        }
    }

    Picture sheet;
    sheet.width = kGap + columns * (kThumbW + kGap);
    sheet.height = y;
    sheet.rgba.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 4, 0);
    for (std::size_t k = 0; k < sheet.rgba.size(); k += 4) {
        sheet.rgba[k] = 28, sheet.rgba[k + 1] = 31, sheet.rgba[k + 2] = 36, sheet.rgba[k + 3] = 255;
    }
    const std::uint8_t white[3] = {235, 235, 235}, grey[3] = {170, 176, 186},
                       amber[3] = {240, 190, 90};
    if (!title.empty()) Label(sheet, kGap, 12, title, 3, white);
    for (const auto& [text, top] : headings) {
        Label(sheet, kGap, top + 6, text, 3, amber);
        // A rule under the heading, across the sheet.
        for (int x = kGap; x < sheet.width - kGap; ++x)
            std::memcpy(&sheet.rgba[(static_cast<std::size_t>(top + 32) * sheet.width + x) * 4],
                        amber, 3);
    }
    for (const Placed& one : placed) {
        const Picture& t = one.thumb;
        for (int row = 0; row < t.height; ++row)
            std::memcpy(
                &sheet.rgba[(static_cast<std::size_t>(one.y + row) * sheet.width + one.x) * 4],
                &t.rgba[static_cast<std::size_t>(row) * t.width * 4],
                static_cast<std::size_t>(t.width) * 4);
        Label(sheet, one.x, one.y + t.height + 8, one.label, kLabelScale, grey);
    }
    return WritePng(file, sheet, error);
}

}  // namespace simhost
