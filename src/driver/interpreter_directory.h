// Where the interpreter lives: kavor.sys is read there and it completes the include list.
#pragma once

#include <string>
#include <vector>

namespace kavor {

// The directory of the interpreter, worked out from the process's argument 0: the part
// before its last "/" (else its last "\"); "" when argument 0 names a file in the current
// directory; otherwise the first entry of the ";"-separated environment variable "path"
// (lower case) that holds it. "" when none of these finds it.
std::string findInterpreterDirectory(const std::string& argument0);

// Appends the interpreter directory D to the include directories, then D + "/" + E for every
// entry E the list holds at that point (D included). Nothing changes when D is "".
void completeIncludeDirectories(std::vector<std::string>& includeDirs, const std::string& directory);

}  // namespace kavor
