#pragma once

#include <functional>
#include <string>

namespace vorn::rendering {

// Replaces every `#include "file"` directive of a GLSL text with the lines of that file (read
// from `directory` + file), in place, and returns the number of directives met.
//
// Line numbering: the lines of the n-th file included by this call report as n * 10000 + 1 and
// on after `base` files, i.e. from (base + n) * 10000 + 1; after each included file a `#line`
// directive gives the lines that follow their own numbers back. Files included from an included
// file are expanded the same way with base (its number + ...) * 10000, so their numbers carry the
// including file's number in front. That is as deep as includes go: a third level would number
// past GLSL's 32-bit line numbers, so it is refused, as is any file whose numbers would not fit.
//
// A file that does not open, nests too deeply or would make the expanded text grow by more than
// 1 MiB is reported on the error stream ("Could not include ") and its directive line is removed;
// the rest still compiles. The size limit is reported once per call, with a count of the further
// includes it dropped.
int expandIncludes(std::string& text, const std::string& directory, long long base);

// Reads the text of the file at `path` into `lines`; false when it cannot be read.
using IncludeReader = std::function<bool(const std::string& path, std::string& lines)>;

// The same, with the included files' text served by `read` instead of the file system (a file set
// held in memory, say).
int expandIncludes(std::string& text, const std::string& directory, long long base,
                   const IncludeReader& read);

} // namespace vorn::rendering
