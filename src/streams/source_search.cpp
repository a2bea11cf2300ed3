#include "streams/source_search.h"

#include "streams/file_handle.h"

namespace kavor {

std::optional<std::string> findSourceFile(const std::string& name, const std::vector<std::string>& directories) {
  std::optional<std::string> found;
  anyCandidate(name, directories, [&found](const std::string& path) {
    if (isReadableNonDirectory(path)) found = path;
    return found.has_value();
  });
  return found;
}

std::string directoryPart(const std::string& path) {
  if (size_t slash = path.rfind('/'); slash != std::string::npos) return path.substr(0, slash);
  if (size_t backslash = path.rfind('\\'); backslash != std::string::npos) return path.substr(0, backslash);
  return ".";
}

}  // namespace kavor
