#include "driver/banner.h"

#include <cstdio>

#include "core/messages.h"
#include "driver/options.h"

namespace kavor {

namespace {
constexpr double kVersion = 1.3;
}  // namespace

std::string bannerText(const std::string& interpreterDirectory) {
  char version[64];
  std::snprintf(version, sizeof version, "Kavor interpreter, version %.3f.\n", kVersion);
  return std::string(version) + "Kavor interpreter directory: " + interpreterDirectory + "\n\n";
}

std::string usageText(const std::string& interpreterDirectory) {
  return bannerText(interpreterDirectory) + message("coddatfuekavnicdef") + message("anwkavcoddat") + message("opt") +
         optionList(true);
}

}  // namespace kavor
