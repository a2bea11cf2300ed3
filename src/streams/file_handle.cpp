#include "streams/file_handle.h"

#include <sys/stat.h>

#include "streams/stream.h"

namespace kavor {

namespace {

// The kind of file `path` names (its S_IFMT bits), or 0 when nothing exists there.
mode_t fileKind(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 ? (status.st_mode & S_IFMT) : 0;
}

}  // namespace

bool isRegularFile(const std::string& path) { return fileKind(path) == S_IFREG; }

bool isReadableNonDirectory(const std::string& path) {
  mode_t kind = fileKind(path);
  return kind != 0 && kind != S_IFDIR;
}

bool isDirectory(const std::string& path) { return fileKind(path) == S_IFDIR; }

bool readFileChar(std::FILE* file, bool binary, char& c) {
  int byte = std::getc(file);
  if (byte == EOF) return true;
  if (byte == '\r' && !binary) {
    int next = std::getc(file);
    if (next == '\n') byte = '\n';
    else if (next != EOF) std::ungetc(next, file);
  }
  c = static_cast<char>(byte);
  return false;
}

bool writeFileBytes(std::FILE* file, std::string_view text) {
  // Runs between stored NULs go out in one call; only the NULs need translating.
  size_t start = 0;
  while (start < text.size()) {
    size_t nul = text.find(kStoredNul, start);
    size_t end = nul == std::string_view::npos ? text.size() : nul;
    if (end > start && std::fwrite(text.data() + start, 1, end - start, file) != end - start) return false;
    if (nul == std::string_view::npos) break;
    if (std::fputc(0, file) == EOF) return false;
    start = nul + 1;
  }
  return std::fflush(file) == 0;
}

}  // namespace kavor
