// How statements, call forms and argument lists look in the program tree.
#pragma once

#include <vector>

#include "frontend/tree_node.h"

namespace kavor {

inline bool isOperatorNode(const TreeNode& node, char op, char op2 = 0) {
  return node.op == op && node.op2 == op2 && node.text.empty();
}
// `name(arguments)` or a string literal applied to a group.
inline bool isCallForm(const TreeNode& node) {
  return (node.op == '(' && !node.text.empty()) || (node.op == '"' && node.op2 == '(');
}
// ")(", "){", "}(", "}{": a closing bracket directly followed by an opening one.
inline bool isJuxtaposition(const TreeNode& node) {
  return (node.op == ')' || node.op == '}') && (node.op2 == '(' || node.op2 == '{');
}
// A plain name (not applied, not a literal, not a number).
inline bool isPlainName(const TreeNode& node) {
  return node.op == 0 && !node.isNumber() && !node.text.empty();
}
inline bool isCallNamed(const TreeNode& node, const char* name) {
  return node.op == '(' && node.text == name;
}

// The empty block "{}" (or an empty group), which runs nothing.
inline bool isEmptyBlock(const TreeNode& block) { return block.op == '#' && !block.left && !block.right; }
// "..", ".:" or ":." with both operands, not written as a block: a range of values.
inline bool isRangeNode(const TreeNode& range) {
  bool rangeOperator = range.text.empty() && !range.isLiteral() && !range.isNumber() &&
                       ((range.op == '.' && (range.op2 == '.' || range.op2 == ':')) ||
                        (range.op == ':' && range.op2 == '.'));
  return rangeOperator && range.left && range.right && !range.curlyBlock;
}

// The statements of a block: the operands of ";" and of the statement-sequence blank, in
// source order. Split at the first call and kept in the block's compiled form.
const std::vector<TreeNode*>& splitStatements(TreeNode& block);
inline const std::vector<TreeNode*>& statementsOf(TreeNode& block) {
  if (block.compiled != nullptr && block.compiled->statementList != nullptr) return *block.compiled->statementList;
  return splitStatements(block);
}
// The argument expressions of a call form: its group split at "," and at bracket
// juxtapositions, in order. Split at the first call and kept in the call's compiled form.
// An empty call yields no arguments.
const std::vector<TreeNode*>& splitArguments(TreeNode& call);
inline const std::vector<TreeNode*>& argumentsOf(TreeNode& call) {
  if (call.compiled != nullptr && call.compiled->argumentList != nullptr) return *call.compiled->argumentList;
  return splitArguments(call);
}
// The right operand of a member operator ("." or ":") or a declaration split at ",": the
// member items or the declared items. Cached in the node.
const std::vector<TreeNode*>& rightItemsOf(TreeNode& node);
// Appends the operands of a "," list (the node itself when it is no list).
void splitCommas(TreeNode* node, std::vector<TreeNode*>& out);
// A round group right of "." is the argument list of an unnamed call unless every element
// is a name or a call form (then it is a list of member items).
bool isUnnamedCallGroup(const TreeNode& group);
// True for the statements a block still runs while an exception is pending.
bool catchesPending(const TreeNode& statement);
// A blank between a type word and a declaration list (as opposed to a statement sequence).
bool isDeclaration(const TreeNode& node);

}  // namespace kavor
