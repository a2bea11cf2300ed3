// Text forms of values: the conversion of text back into typed values, and (through
// core/text_output.h) what output writes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/object.h"
#include "core/text_output.h"

namespace kavor {

// The most specific value a text denotes: an int, else a real, else a char (one
// character), else the str itself. Reading into an `any` and the `any` method of `str`
// use it.
std::unique_ptr<Object> mostSpecificValue(std::string text);

// Stores the value `text` denotes into `target` by the target's type (an indirection: into
// what it points to; an `any`: the most specific of int, real, char and str), or refuses.
Failure convertString(const std::string& text, Object& target);

// None when text can be converted into the target's type, else "Input of type '%s' not
// allowed"; lets a reader refuse a variable before it consumes any input for it.
Failure checkInputType(Object& target);

// A real literal: an optional sign, digits with at most one decimal point (at least one
// digit; a point needs a digit or the exponent after it), and an optional exponent of "e"
// or "E", an optional sign and digits.
bool isRealLiteral(const std::string& text);

// A parsed column format string such as "+10-5+3".
struct ColumnFormat {
  std::vector<int> widths;  // one per field; the sign is the alignment
  char fill = ' ';          // pad character
};
// Fills `format`, or refuses and leaves `format` reset.
Failure parseColumnFormat(const std::string& text, char fill, ColumnFormat& format);

}  // namespace kavor
