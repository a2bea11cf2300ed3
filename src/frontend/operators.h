// The operator table of the language: binding strengths, associativity and the operator
// sets the shape checks and the `oper` type refer to.
#pragma once

namespace kavor {

// Binding strength of the operator (op, op2) (larger binds tighter), or -1 when the pair
// is not an operator. op2 is 0 for one-character operators; the blank operator is ' '.
int operatorStrength(char op, char op2);

// Right-associative operators: the assignments, prefix "++", "--" and "!".
bool isRightAssociative(char op, char op2);

// The operators a value of type `oper` may name; written alone they stand for themselves.
bool isOperSetOperator(char op, char op2);

// A character that forms operators ("!", "$", "%", ... "~").
bool isOperatorChar(char c);

}  // namespace kavor
