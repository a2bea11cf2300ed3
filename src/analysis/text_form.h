// Text forms of values: what output writes, what hash keys are hashed by, and the
// conversion of text back into typed values.
#pragma once

#include <string>
#include <vector>

#include "core/object.h"

namespace kavor {

// The text form of a value; "" for an undefined Object. Fails (returns false) only for a
// type without text form, with `failure` set to "Output of type '%s' not allowed".
bool writeText(const Object& object, std::string& out, std::string* failure = nullptr);
// The text form, or "" when there is none.
std::string textForm(const Object& object);

// Stores the value `text` denotes into `target` by the target's type; returns "" or the
// failure message.
std::string convertString(const std::string& text, Object& target);

// A parsed column format string such as "+10-5+3".
struct ColumnFormat {
  std::vector<int> widths;  // one per field; the sign is the alignment
  char fill = ' ';          // pad character
};
// Returns "" and fills `format`, or the failure message (and leaves `format` reset).
std::string parseColumnFormat(const std::string& text, char fill, ColumnFormat& format);

}  // namespace kavor
