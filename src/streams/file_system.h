// Whole-file and directory-tree operations of `file` and `dir` over the POSIX file system.
// Each refuses with the message key of what went wrong and the path it concerns. A copy is
// written under a temporary name beside its target and renamed into place only when it is
// complete, so a failing copy never leaves a partial target behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "numbers/refusal.h"

namespace kavor {

// One entry of a directory listing.
struct DirectoryEntry {
  std::string name;  // path relative to the listed directory ("sub/a.txt" inside "sub")
  bool isDirectory;  // a real directory, not a symbolic link to one
};

// The size in bytes of the regular file at `path`; "File '%s' does not exist" otherwise.
Outcome<int64_t> fileSize(const std::string& path);
// Whether the owner's permission bit named by `which` ('r', 'w' or 'x') is set for the
// file at `path`; false when there is no such file.
bool fileOwnerMay(const std::string& path, char which);
// Whether two regular files hold the same bytes.
Outcome<bool> sameContents(const std::string& first, const std::string& second);

// Creates an empty file; an existing one is never truncated ("File '%s' already exists").
Refusal makeEmptyFile(const std::string& path);
Refusal removeFile(const std::string& path);
// Renames a file; the target must not exist.
Refusal moveFile(const std::string& source, const std::string& target);
// Copies the bytes and the access rights of a file; an existing target file is replaced.
Refusal copyFile(const std::string& source, const std::string& target);

// Creates one directory (no missing parents).
Refusal makeDirectory(const std::string& path);
// Removes a directory with everything below it. Symbolic links are removed, never followed.
// A failure part-way leaves what was already removed removed.
Refusal removeTree(const std::string& path);
// Renames a directory; the target must not exist.
Refusal moveDirectory(const std::string& source, const std::string& target);
// Copies a whole tree with the access rights of every directory and file; the target must
// not exist and must not lie inside the source.
Refusal copyTree(const std::string& source, const std::string& target);
// The entries of a directory whose names match the shell pattern, sorted by name; with
// `recursive`, each subdirectory's entries follow it.
Outcome<std::vector<DirectoryEntry>> listDirectory(const std::string& path, const std::string& pattern,
                                                   bool recursive);

}  // namespace kavor
