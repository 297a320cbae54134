// tarvosk-sim --contact-sheet OUT.png [--title TEXT] [--columns N]
//             [--section HEADING] PICTURE [--label TEXT] ...
// A PICTURE is a PNG file, or the pictures folder of a scenario run, which brings the run's
// pictures in the order taken with their labels. Pictures before the first --section go
// into a section without a heading.
#include "contact_sheet.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "arguments.h"
#include "scenario/picture_steps.h"
#include "simhost/files.h"
#include "simhost/simhost.h"

namespace simhost::tool {

namespace {

int Fail(const std::string& why) {
    std::cerr << "tarvosk-sim --contact-sheet: " << why << "\n";
    return 1;
}

}  // namespace

int RunContactSheet(int argc, char** argv, int first) {
    if (first >= argc || argv[first][0] == '-') return Fail("needs the output file first");
    const std::filesystem::path out = PathArgument(argv[first]);
    std::string title;
    int columns = 4;
    std::vector<ContactSheetSection> sections;
    bool labelAllowed = false;  // --label names the picture just given
    for (int k = first + 1; k < argc; ++k) {
        const std::string a = argv[k];
        if (a == "--title" || a == "--columns" || a == "--section" || a == "--label") {
            if (k + 1 >= argc) return Fail(a + " needs a value");
            const std::string v = argv[++k];
            if (a == "--title") {
                title = v;
            } else if (a == "--columns") {
                char* end = nullptr;
                const long n = std::strtol(v.c_str(), &end, 10);
                if (*end || n < 1 || n > 16) return Fail("--columns needs a number from 1 to 16");
                columns = static_cast<int>(n);
            } else if (a == "--section") {
                sections.push_back({v, {}, {}});
                labelAllowed = false;
            } else {
                if (!labelAllowed) return Fail("--label '" + v + "' follows no single picture");
                sections.back().labels.back() = v;
                labelAllowed = false;
            }
            continue;
        }
        if (!a.empty() && a[0] == '-') return Fail("unknown option " + a);
        if (sections.empty()) sections.push_back({});
        ContactSheetSection& s = sections.back();
        std::error_code ec;
        const std::filesystem::path picture = PathArgument(a);
        if (std::filesystem::is_directory(picture, ec)) {
            std::string why;
            if (!scenario::ReadPictureIndex(picture, &s.pictures, &s.labels, &why))
                return Fail(why);
            labelAllowed = false;
        } else {
            s.pictures.push_back(picture);
            s.labels.emplace_back();
            labelAllowed = true;
        }
    }
    if (sections.empty()) return Fail("no pictures");
    std::string why;
    if (!WriteContactSheet(out, sections, columns, title, &why)) return Fail(why);
    std::size_t count = 0;
    for (const ContactSheetSection& s : sections) count += s.pictures.size();
    std::cout << "wrote " << Utf8(out) << " (" << count << " pictures in " << sections.size()
              << (sections.size() == 1 ? " section)\n" : " sections)\n");
    return 0;
}

int RunShrink(int argc, char** argv, int first) {
    auto fail = [](const std::string& why) {
        std::cerr << "tarvosk-sim --shrink: " << why << "\n";
        return 1;
    };
    if (argc - first != 3) return fail("needs IN.png OUT.png WIDTH");
    char* end = nullptr;
    const long width = std::strtol(argv[first + 2], &end, 10);
    if (*end || width < 16 || width > 4096) return fail("WIDTH is from 16 to 4096 pixels");
    Picture picture;
    std::string why;
    if (!ReadPng(PathArgument(argv[first]), &picture, &why)) return fail(why);
    const Picture small = ShrinkPicture(picture, static_cast<int>(width));
    if (!WritePng(PathArgument(argv[first + 1]), small, &why)) return fail(why);
    std::cout << "wrote " << argv[first + 1] << " (" << small.width << "x" << small.height << ")\n";
    return 0;
}

}  // namespace simhost::tool
