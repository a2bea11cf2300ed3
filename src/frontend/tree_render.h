// A compact bracketed text form of a tree, for tests and debugging.
#pragma once

#include <string>

#include "frontend/tree_node.h"

namespace kavor {

// Operators as "[op left right]" with "_" for a missing operand and "' '" for the blank
// operator; an operator without operands as its characters; names, numbers and literals
// as written ("\xHH" for unprintable bytes); an applied node followed by its argument
// tree; a "( )" group's content wrapped in "(" ")", a "{ }" block's in "{" "}".
// nullptr renders as "null".
std::string renderTree(const TreeNode* root);

}  // namespace kavor
