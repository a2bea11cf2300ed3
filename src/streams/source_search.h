// Where program files and the files they bring in with `need` are looked for.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kavor {

// Offers `visit` the places `name` is looked for, in order: as given, then inside each of
// `directories`; stops at the first place `visit` accepts and returns whether one did.
template <class Visit>
bool anyCandidate(const std::string& name, const std::vector<std::string>& directories, Visit visit) {
  if (visit(name)) return true;
  for (const std::string& directory : directories)
    if (visit(directory + "/" + name)) return true;
  return false;
}

// The path under which `name` is read: `name` itself when it names a readable file that is
// not a directory (a pipe such as /dev/stdin counts), else the first of `directories` D for
// which D + "/" + name does. None when nothing is found.
std::optional<std::string> findSourceFile(const std::string& name, const std::vector<std::string>& directories);

// Everything before the last "/" of `path` (else before its last "\"), or "." without either.
std::string directoryPart(const std::string& path);

}  // namespace kavor
