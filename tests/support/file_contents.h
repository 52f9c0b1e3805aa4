#pragma once

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

// What the tests read back of the files the program wrote.
namespace brickstorm::testing {

// The whole file, byte for byte; empty when it cannot be read.
inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Anything at all stands at `path` (a link is followed).
inline bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace brickstorm::testing
