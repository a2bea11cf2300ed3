// The second lexer step: the kind of each operator by its position (prefix, value or
// binary), the adjacency rule, and the blank operator between two operands.
#pragma once

#include <string>
#include <vector>

#include "frontend/token.h"

namespace kavor {

// `raw` holds every operator as kind 'o'. Throws ERROR (kind 'p') "%s after %s".
std::vector<Token> classifyTokens(const std::string& fileName, std::vector<Token> raw);

}  // namespace kavor
