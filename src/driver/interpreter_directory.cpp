#include "driver/interpreter_directory.h"

#include <cstdlib>
#include <string_view>

#include "streams/file_handle.h"

namespace kavor {

namespace {

// The name may have been given without the ".exe" that the file carries.
bool namesProgramFile(const std::string& path) {
  if (isRegularFile(path)) return true;
  std::string_view suffix = ".exe";
  bool hasSuffix = path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
  return !hasSuffix && isRegularFile(path + ".exe");
}

}  // namespace

std::string findInterpreterDirectory(const std::string& argument0) {
  if (size_t slash = argument0.rfind('/'); slash != std::string::npos) return argument0.substr(0, slash);
  if (size_t backslash = argument0.rfind('\\'); backslash != std::string::npos) return argument0.substr(0, backslash);
  if (namesProgramFile(argument0)) return "";
  const char* searchPath = std::getenv("path");
  if (searchPath == nullptr) return "";
  std::string_view entries = searchPath;
  while (!entries.empty()) {
    size_t end = entries.find(';');
    std::string entry(entries.substr(0, end));
    if (namesProgramFile(entry + "/" + argument0)) return entry;
    if (end == std::string_view::npos) break;
    entries.remove_prefix(end + 1);
  }
  return "";
}

void completeIncludeDirectories(std::vector<std::string>& includeDirs, const std::string& directory) {
  if (directory.empty()) return;
  includeDirs.push_back(directory);
  const size_t given = includeDirs.size();
  for (size_t i = 0; i < given; ++i) includeDirs.push_back(directory + "/" + includeDirs[i]);
}

}  // namespace kavor
