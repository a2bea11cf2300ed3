// New values of the plain built-in types: what literals, operators, functions and methods
// yield.
#pragma once

#include <memory>
#include <string>

#include "core/object.h"
#include "numbers/bigint.h"

namespace kavor {

std::unique_ptr<Object> makeBool(bool value);
std::unique_ptr<Object> makeChar(unsigned char value);
std::unique_ptr<Object> makeInt(const BigInt& value);
std::unique_ptr<Object> makeInt(long long value);
std::unique_ptr<Object> makeStr(std::string text);

}  // namespace kavor
