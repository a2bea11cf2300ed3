#include "streams/str_data.h"

namespace kavor {

namespace {
// Serves `str` values made while no interpreter is linked (tests, start-up).
StreamSettings defaultStringSettings;
}  // namespace

StreamSettings* STR_DATA::sharedSettings = &defaultStringSettings;

bool STR_DATA::readChar(char& c) {
  if (readPosition >= text.size()) return true;
  c = text[readPosition++];
  return false;
}

Refusal STR_DATA::write(std::string_view piece, bool aligned) {
  return writeAligned(piece, aligned, [this](std::string_view bytes) -> Refusal {
    text.append(bytes);
    readPosition = 0;
    return Refusal::none();
  });
}

}  // namespace kavor
