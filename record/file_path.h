// File names are UTF-8 in every std::string of the program. Narrow file calls on Windows
// would read them in the ANSI code page, so every open goes through these.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace zk {

// The path a UTF-8 name stands for; an empty path (which opens nothing) for a name that is
// not valid UTF-8 where the platform has to convert it.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The UTF-8 name of a path.
std::string Utf8FromPath(const std::filesystem::path& path);

// std::fopen for a UTF-8 name; other processes may read and write the file meanwhile.
std::FILE* OpenFile(const std::string& utf8, const char* mode);

}  // namespace zk
