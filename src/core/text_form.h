// Text forms of values: what output writes, what hash keys are hashed by, and the
// conversion of text back into typed values.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/object.h"

namespace kavor {

// Appends the text form of a value to `out`; an undefined Object adds nothing. Fails
// (returns false) only for a type without text form, with `failure` set to "Output of type
// '%s' not allowed"; `out` may then hold part of the text. Nested values are written
// without native recursion, so any depth of nesting is fine; a value met again inside
// itself (a cycle through references) is written as "..".
bool writeText(const Object& object, std::string& out, std::string* failure = nullptr);
// The text form, or "" when there is none.
std::string textForm(const Object& object);

// The most specific value a text denotes: an int, else a real, else a char (one
// character), else the str itself. Reading into an `any` and the `any` method of `str`
// use it.
std::unique_ptr<Object> mostSpecificValue(std::string text);

// Stores the value `text` denotes into `target` by the target's type (an indirection: into
// what it points to; an `any`: the most specific of int, real, char and str); returns "" or
// the failure message.
std::string convertString(const std::string& text, Object& target);

// "" when text can be converted into the target's type, else "Input of type '%s' not
// allowed"; lets a reader refuse a variable before it consumes any input for it.
std::string checkInputType(Object& target);

// A real literal: an optional sign, digits with at most one decimal point (at least one
// digit), and an optional exponent of "e" or "E", an optional sign and digits.
bool isRealLiteral(const std::string& text);

// A parsed column format string such as "+10-5+3".
struct ColumnFormat {
  std::vector<int> widths;  // one per field; the sign is the alignment
  char fill = ' ';          // pad character
};
// Returns "" and fills `format`, or the failure message (and leaves `format` reset).
std::string parseColumnFormat(const std::string& text, char fill, ColumnFormat& format);

}  // namespace kavor
