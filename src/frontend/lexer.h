// The lexer: cuts prepared source text into tokens, checks brackets, literals and which
// tokens may follow each other, and turns line ends into ";" where they end a statement.
#pragma once

#include <string>
#include <vector>

#include "frontend/source_text.h"
#include "frontend/token.h"

namespace kavor {

// Throws ERROR (kind 'p') for the first lexical error, with the physical line.
std::vector<Token> tokenize(const std::string& fileName, const SourceText& source);

}  // namespace kavor
