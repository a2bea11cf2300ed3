// Small ints and bools computed without Objects.
//
// A pure expression (number literals, `true`, `false`, variables, and the arithmetic,
// comparison and "!" operators over them) is compiled once into a short program for a stack
// of machine integers. Running it either yields the value or declines, before any side
// effect, when a variable holds no small defined int or bool, an operation overflows the
// machine integer, the value is not small (|v| < 10^18, what two BigInt limbs hold), or a
// division has no value; the caller then evaluates the tree on the general path,
// which computes the same value or raises the same message. Nothing here ever raises.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "frontend/tree_node.h"

namespace kavor {

class FastProgram {
 public:
  // The program of `node`, or null when the node is not such an expression. The root's own
  // "{ }" flag is ignored when `asCode` is set (the condition block of a loop is compiled by
  // its content); everywhere else a "{ }" group is a code value and not compiled.
  static std::unique_ptr<FastProgram> compile(const TreeNode& node, bool asCode);

  bool yieldsBool() const { return yieldsBool_; }
  // Computes the value (a bool as 0 or 1); false when it declines.
  bool run(std::int64_t& value) const;

 private:
  enum class Op : uint8_t {
    Constant, IntVariable, BoolVariable,
    Add, Subtract, Multiply, Divide, Remainder, Power, Negate,
    Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual, Not
  };
  struct Step {
    Op op;
    std::int64_t constant;       // the value of a Constant step
    const TreeNode* definition;  // the defining name node of a variable step
  };
  // Appends the steps of `node`; false when the node cannot be compiled. `yieldsBool` is
  // set to the kind of value the node yields.
  bool emit(const TreeNode& node, bool root, bool asCode, int depth, bool& yieldsBool);

  // Applies a binary step's operator; false when the result has no machine value.
  static bool apply(Op op, std::int64_t left, std::int64_t right, std::int64_t& result);

  std::vector<Step> steps_;  // postfix order; never needs more than kMaxDepth stack slots
  bool yieldsBool_ = false;  // the value is a bool (0 or 1), else an int
  // The program is `variable OP constant` (n < 2, n - 1, i % 100): three steps that run
  // without the stack, the commonest shape of all.
  bool variableOpConstant_ = false;
};

// `a op b` for "+", "-" and "*" on small ints, the arithmetic of the fast paths outside the
// programs (call results, compound assignment); false when the result is not small.
bool combineSmallInts(char op, std::int64_t a, std::int64_t b, std::int64_t& result);

// The compiled form of an expression node: its fast program and the general handler that
// answers when the program declines.
struct FastExpressionForm : CompiledPart {
  FastExpressionForm() { kind = Kind::FastExpression; }
  std::unique_ptr<FastProgram> program;  // null when the node has no fast program
  EvalHandler general = nullptr;         // the node's general handler; set by the evaluator
};

// The fast program of an expression node, compiled at the first call; null when it has
// none. `asCode` as for FastProgram::compile; one node is always asked the same way.
FastProgram* fastProgramOf(TreeNode& node, bool asCode);

}  // namespace kavor
