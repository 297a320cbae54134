// The files the simulated host, its scenarios and its tools read and write, by path. Paths
// reach the host as UTF-8 text (scripts, command lines, plug-ins' arguments); on Windows a
// narrow name is read in the ANSI code page, which makes "Jürgen" into "JÃ¼rgen" or names no
// file at all, so every file and folder here goes through the wide-character calls there.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "simhost/simhost.h"

namespace simhost {

// The path UTF-8 text names (never the ANSI code page's reading of it).
SIMHOST_API std::filesystem::path PathFromUtf8(std::string_view utf8);
// A path as UTF-8 text, for messages and records.
SIMHOST_API std::string Utf8(const std::filesystem::path& path);

// fopen by path: _wfopen on Windows. Null with errno set when it cannot be opened.
SIMHOST_API std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);
// Makes a folder and its parents; true when it is there afterwards (also when it was before).
// False with the system's reason in *why.
SIMHOST_API bool MakeFolders(const std::filesystem::path& folder, std::string* why);

// A whole file's bytes. False with the system's reason in *why.
SIMHOST_API bool ReadWholeFile(const std::filesystem::path& path, std::string* bytes,
                               std::string* why);
// Writes a whole file (replacing one there), making its folder first. False with the
// system's reason in *why.
SIMHOST_API bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes,
                                std::string* why);

}  // namespace simhost
