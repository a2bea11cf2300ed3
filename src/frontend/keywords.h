// The reserved words: what opens a definition, the predefined values, and the test for a
// built-in type name. The tree builder's checks, the analysis and execution all have to
// tell a definition or a declaration from an expression by its first word, and they must
// agree, so they all ask here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavor {

// "proc", "func": a procedure or function definition.
bool isRoutineWord(std::string_view word);
// "bigtype", "smalltype": a type definition.
bool isTypeDefinitionWord(std::string_view word);
// A word that opens a definition rather than a declaration of variables: a routine word,
// a type definition word, or "need" (the files a program includes).
bool isDefinitionWord(std::string_view word);
// "true", "false", "this": names with a fixed meaning that no variable may take.
bool isPredefinedName(std::string_view word);
// A built-in type name such as "int" or "list". The names themselves are kept with the
// type codes in core (typeCodeOf), where values need them for their messages.
bool isTypeWord(const std::string& word);
// Every reserved word above, for the tests that keep editor support complete.
std::vector<std::string_view> reservedWords();

}  // namespace kavor
