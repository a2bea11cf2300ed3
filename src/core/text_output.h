// Text forms of values: what output writes and what hash keys are hashed by. Each type
// writes its own values through its row; this walk joins the parts of compound values.
#pragma once

#include <string>

#include "core/object.h"

namespace kavor {

// Appends the text form of a value to `out`; an undefined Object adds nothing. Refuses
// only a type without text form ("Output of type '%s' not allowed"); `out` may then hold
// part of the text. Nested values are written
// without native recursion, so any depth of nesting is fine; a value met again inside
// itself (a cycle through references) is written as "..".
Failure writeText(const Object& object, std::string& out);
// The text form; of a value without one, what was written before the walk stopped.
std::string textForm(const Object& object);

}  // namespace kavor
