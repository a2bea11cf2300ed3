// The texts that introduce the interpreter: the version banner and the usage.
#pragma once

#include <string>

namespace kavor {

// "Kavor interpreter, version 1.300.\n", then the interpreter directory line and an empty line.
std::string bannerText(const std::string& interpreterDirectory);

// The banner, the note that no program file was given, the usage line and the options.
std::string usageText(const std::string& interpreterDirectory);

}  // namespace kavor
