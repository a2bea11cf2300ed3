// C library file handles as owned values, and the byte-level reading and writing that the
// standard stream and `file` streams share.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace kavor {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// An open C library file; closing it (reset or destruction) flushes what was written.
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Whether `path` names an existing regular file (not a directory, not missing).
bool isRegularFile(const std::string& path);

// Whether `path` names something that exists and is not a directory: a regular file, but
// also a pipe (/dev/stdin fed by a pipe, the shell's <(...)) or a device, which can be
// read as a stream of bytes all the same.
bool isReadableNonDirectory(const std::string& path);

// Whether `path` names an existing directory.
bool isDirectory(const std::string& path);

// Reads one byte of `file` into `c`; returns true at the end of the file. Unless `binary`,
// a "\r\n" pair is read as one "\n" (a lone "\r" stays "\r").
bool readFileChar(std::FILE* file, bool binary, char& c);

// Writes `text` to `file`, the stored NUL byte as a real 0, and flushes so that nothing is
// lost when the process ends abruptly. Returns false when the file refused the bytes.
bool writeFileBytes(std::FILE* file, std::string_view text);

}  // namespace kavor
