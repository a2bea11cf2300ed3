#include "frontend/operators.h"

#include <cstring>

namespace kavor {

namespace {

struct OperatorEntry {
  char op, op2;
  int strength;
  bool right;
};

// "[" "]" is the subscript `x[i]`; it binds just below ":" so that `a.b[1]` subscripts b.
constexpr OperatorEntry kOperators[] = {
    {')', '(', 0, false}, {')', '{', 0, false}, {'}', '(', 0, false}, {'}', '{', 0, false},
    {';', 0, 1, false},   {' ', 0, 2, false},   {':', '$', 2, false}, {'=', 0, 3, true},
    {'$', 0, 3, true},    {'?', 0, 3, true},    {'@', 0, 3, true},    {'~', 0, 3, true},
    {'+', '=', 3, true},  {'-', '=', 3, true},  {'*', '=', 3, true},  {'/', '=', 3, true},
    {'%', '=', 3, true},  {'^', '=', 3, true},  {',', 0, 4, false},   {'-', '>', 5, false},
    {'|', '|', 6, false}, {'&', '&', 7, false}, {'<', 0, 8, false},   {'>', 0, 8, false},
    {'<', '=', 8, false}, {'>', '=', 8, false}, {'=', '=', 8, false}, {'!', '=', 8, false},
    {'@', '@', 8, false}, {'!', '@', 8, false}, {'?', '?', 8, false}, {'!', '?', 8, false},
    {'|', 0, 9, false},   {'&', 0, 10, false},  {'.', '.', 11, false}, {'.', ':', 11, false},
    {':', '.', 11, false}, {'*', '*', 11, false}, {'+', 0, 12, false}, {'-', 0, 12, false},
    {'*', 0, 13, false},  {'/', 0, 13, false},  {'%', 0, 13, false},  {'^', 0, 14, false},
    {'+', '+', 14, true}, {'-', '-', 14, true}, {'!', 0, 15, true},   {'.', 0, 16, false},
    {'[', ']', 17, false}, {':', 0, 18, false}, {':', ':', 19, false},
};

const OperatorEntry* findOperator(char op, char op2) {
  for (const auto& entry : kOperators)
    if (entry.op == op && entry.op2 == op2) return &entry;
  return nullptr;
}

}  // namespace

int operatorStrength(char op, char op2) {
  const OperatorEntry* entry = findOperator(op, op2);
  return entry ? entry->strength : -1;
}

bool isRightAssociative(char op, char op2) {
  const OperatorEntry* entry = findOperator(op, op2);
  return entry && entry->right;
}

bool isOperSetOperator(char op, char op2) {
  static const char* const kPairs[] = {"**", "..", ".:", ":.", "||", "&&", "==", "!=", "@@",
                                       "!@", "??", "!?", "<=", ">=", "+=", "-=", "*=", "/=",
                                       "%=", "^="};
  if (op == 0) return false;
  if (op2 == 0) return std::strchr("+-*/%^!<>=@~?$", op) != nullptr;
  for (const char* pair : kPairs)
    if (pair[0] == op && pair[1] == op2) return true;
  return false;
}

bool isOperatorChar(char c) { return c != 0 && std::strchr("!$%&*+,-./:;<=>?@^|~", c) != nullptr; }

}  // namespace kavor
