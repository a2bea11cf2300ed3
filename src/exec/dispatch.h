// The initial handlers of every tree node: they choose the node's specific handler once,
// store it in the node and run it.
#pragma once

#include <compare>
#include <memory>
#include <string>
#include <vector>

#include "exec/executor.h"

namespace kavor {

void dispatchExpression(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results);
void dispatchStatement(Executor& exec, TreeNode& node, const ExecContext& context);

// The assignment statement of "=", "@", "$", "~", "?" and the compound operators.
void execAssignmentStatement(Executor& exec, TreeNode& node, const ExecContext& context);
// Runs an assignment statement that ran before, when this time it needs nothing but machine
// words: an int variable of its own value and a source computed by its fast program without
// calls. False, with nothing done, otherwise; the statement then runs as usual. Nothing is
// raised, and no handler is looked at.
bool assignInPlace(TreeNode& node);
// The block of an evaluated code value (null for the empty code), and running it as a block
// with its own scope.
const TreeNode* codeTree(const Result& entry);
void runCode(Executor& exec, const Result& entry, const ExecContext& context);

// The branch and loop statements if, while and for.
void execIf(Executor& exec, TreeNode& node, const ExecContext& context);
void execWhile(Executor& exec, TreeNode& node, const ExecContext& context);
void execFor(Executor& exec, TreeNode& node, const ExecContext& context);
// The control statements (if, while, for, ...) by name; nullptr for other names.
ExecHandler builtinControlStatement(const std::string& name);
// Their names, with "case" of switch.
std::vector<std::string> controlStatementNames();

// Built-in statements and functions by name; nullptr when the name is none.
ExecHandler builtinStatement(const std::string& name);
EvalHandler builtinFunction(const std::string& name);

// The values of the range operator `node` (".." both ways, ".:" ascending, ":." descending)
// between two evaluated operands: ints or chars, each value a new literal.
void appendRangeValues(Executor& exec, TreeNode& node, Object& from, Object& to, ResultList& results);

// A comparison node ("==", "<", ...): evaluates its operands, expanding chains of the
// alternatives "&" and "|", and appends one bool.
void evalComparison(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results);
// The order of two values as the operator "<" sees it (min, max); failures are raised at
// `node` as those of the operator "<".
std::partial_ordering orderOf(Executor& exec, TreeNode& node, Object& left, Object& right);

// Binary and unary operators on basic values: the operand entries are given, the result is
// appended.
// `leftTemporary`, when given, is the left operand itself: a temporary of a plain type that
// the caller hands over, so the result can be computed in place.
void applyBinaryOperator(Executor& exec, TreeNode& node, Result left, Result right, ResultList& results,
                         std::unique_ptr<Object> leftTemporary = nullptr);
void applyUnaryOperator(Executor& exec, TreeNode& node, Result operand, ResultList& results);
// Compound assignment "+=" etc. on a modifiable target, or its refusal.
Failure applyCompound(Executor& exec, TreeNode& node, char op, Object& target, Object& source);

}  // namespace kavor
