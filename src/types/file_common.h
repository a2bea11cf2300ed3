// What the `file` and `dir` method families share: the checks on the object and on path
// arguments, and the loops over lines and directory entries.
#pragma once

#include <string>

#include "exec/method_table.h"
#include "streams/file_data.h"

namespace kavor {

void registerFileStreamMethods();

// The file a method works on: defined ("Object is not defined") and given a path ("File must
// be initialised").
FILE_DATA& initialisedFile(const MethodCall& call);
// The path of argument `index`, a `file` (`code` 'f') or a `dir` (`code` 'd') that must have
// one ("File must be initialised", "Directory must be initialised").
const std::string& pathArgument(const MethodCall& call, size_t index, char code);

}  // namespace kavor
