// What the operator files share: the texts of the operand checks.
#pragma once

#include <string>

#include "core/messages.h"
#include "core/object.h"
#include "core/type_table.h"

namespace kavor {

// "Operator <op>: left|right operand is undefined" (the operator unquoted, as catalogued).
inline std::string undefinedOperand(const std::string& op, bool left) {
  return fillKey("opeopeistund", {op, message(left ? "lin" : "rec")});
}
inline std::string emptyOperand(const std::string& op, bool left) {
  return fillKey("opeopeistlee", {op, message(left ? "lin" : "rec")});
}
inline std::string incompatibleTypes(const std::string& op) { return fillKey("opeinkdattyp", {op}); }
inline std::string notDefinedFor(const std::string& op, const Object& value) {
  return fillKey("openicdeffuedattyp", {op, typeName(value, true)});
}

// The operand types whose empty value is no value at all, so that operators refuse it:
// an empty str or list is a value (the empty one), an empty int or char is not.
inline bool emptyIsNoValue(TypeCode base) { return typeOps(base).emptyIsNoValue; }

}  // namespace kavor
