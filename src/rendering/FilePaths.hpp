#pragma once

#include <string>

namespace vorn::rendering {

// The directory part of a path: everything up to and including its last '/' or '\\'; empty when
// the path has neither.
std::string directoryOf(const std::string& path);

// Reads a text file line by line and joins the lines, each followed by "\n". False (and `text`
// left empty) when the file does not open.
bool readTextLines(const std::string& path, std::string& text);

} // namespace vorn::rendering
