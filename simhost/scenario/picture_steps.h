// Runs the picture and animation lines of a scenario and, at the end, writes the contact sheet
// of the pictures taken.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "scenario.h"

namespace simhost::scenario {

// The pictures a run took, in order, with their labels: <out>/pictures/index.txt, a line
// "FILE<tab>LABEL" for each, so a contact sheet of several runs can be put together later.
constexpr const char* kPictureIndex = "index.txt";
bool ReadPictureIndex(const std::filesystem::path& folder,
                      std::vector<std::filesystem::path>* pictures,
                      std::vector<std::string>* labels, std::string* why);

class PictureSteps {
  public:
    // Pictures go to <out>/pictures/; with `enabled` false every line is passed over.
    PictureSteps(const std::filesystem::path& out, bool enabled, std::string title)
        : folder_(out / "pictures"), enabled_(enabled), title_(std::move(title)) {}
    bool Run(const Step& s, std::string* why);
    // Writes a still running animation, the index of the pictures and the contact sheet (two
    // pictures or more).
    void Close();
    const std::vector<std::filesystem::path>& Written() const { return written_; }

  private:
    bool Finish(std::string* why);

    std::filesystem::path folder_, animation_;
    bool enabled_;
    std::string title_;  // of the contact sheet
    bool warned_ = false;
    std::vector<std::filesystem::path> taken_, written_;
    std::vector<std::string> labels_;
};

}  // namespace simhost::scenario
