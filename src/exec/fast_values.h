// Small ints and bools computed without Objects.
//
// A pure expression (number literals, `true`, `false`, variables, and the arithmetic,
// comparison and "!" operators over them) is compiled once into a short program for a stack
// of machine integers. Running it either yields the value or declines, before any side
// effect, when a variable holds no small defined int or bool, an operation overflows the
// machine integer, the value is not small (|v| < 10^18, what two BigInt limbs hold), or a
// division has no value; the caller then evaluates the tree on the general path,
// which computes the same value or raises the same message. Nothing here ever raises.
//
// A program may also call the program's functions whose arguments are such expressions
// (`fib(n - 1) + fib(n - 2)`), passing the arguments as words as a general call with word
// arguments would. Calls have effects, so such a program can decline after a call: the
// results of the calls made so far are then kept in a CallReplay, and the general path takes
// them from there instead of calling again. Every call runs once, whichever path finishes
// the expression.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "exec/result_list.h"
#include "frontend/tree_node.h"
#include "numbers/bigint.h"

namespace kavor {

class Executor;
struct ExecContext;

// The results of the calls a fast program made before it declined, in the order it made
// them. The general evaluation of the same expression meets the same calls in the same
// order (operands left to right), and each call node takes its entry instead of calling.
class CallReplay {
 public:
  CallReplay() = default;
  CallReplay(const CallReplay&) = delete;
  CallReplay& operator=(const CallReplay&) = delete;

  // Whether every entry has been taken.
  bool empty() const { return next_ >= entries_.size(); }
  // The position of the next entry to take.
  size_t position() const { return next_; }
  // Whether no entry lies at `at` or after it.
  bool endsAt(size_t at) const { return at >= entries_.size(); }
  // The one small int recorded at `at` for `call`; false when the entry there is for
  // another call or holds something else.
  bool smallIntAt(size_t at, const TreeNode& call, std::int64_t& word) const;
  // Marks the entries before `at` taken.
  void advanceTo(size_t at) { next_ = at; }
  // Records what `call` yielded: `results`, whose values it takes over.
  void record(const TreeNode& call, ResultList& results);
  // Records a call that yielded the small int `word`.
  void recordSmallInt(const TreeNode& call, std::int64_t word);
  // Moves the next entry's values to `results` when it was recorded for `call`.
  bool replay(const TreeNode& call, ResultList& results);

 private:
  struct Entry {
    const TreeNode* call;                         // the call form whose values these are
    std::vector<std::unique_ptr<Object>> values;  // what it yielded, in order
    std::vector<int32_t> access;                  // the access class of each value
  };
  std::vector<Entry> entries_;  // in the order the calls were made
  size_t next_ = 0;             // entries before it have been taken
};

// Makes `replay` the one the general path takes call results from while the scope lasts;
// an enclosing fallback's replay stays in place (the program recorded into that one).
class ReplayScope {
 public:
  ReplayScope(Executor& exec, CallReplay& replay);
  ~ReplayScope();
  ReplayScope(const ReplayScope&) = delete;
  ReplayScope& operator=(const ReplayScope&) = delete;

 private:
  Executor& exec_;
  CallReplay* saved_;
};

// Hides the replay while a call made afresh runs: the callee's evaluations are not the
// expression being finished, even when they are the same nodes (recursion).
class ReplayPause {
 public:
  explicit ReplayPause(Executor& exec);
  ~ReplayPause();
  ReplayPause(const ReplayPause&) = delete;
  ReplayPause& operator=(const ReplayPause&) = delete;

 private:
  Executor& exec_;
  CallReplay* saved_;
};

// The binary operators of word arithmetic, shared by fast programs and word routines.
enum class WordOp : uint8_t {
  Add, Subtract, Multiply, Divide, Remainder, Power,
  Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual
};

// What an operator node computes in words: a binary operator, or one of the prefix forms.
struct WordOperator {
  enum class Form : uint8_t { Binary, Negate, Not, Plus };
  Form form = Form::Binary;
  WordOp op = WordOp::Add;    // the operator of a Binary form
  bool boolOperands = false;  // the operands are bools ("!"), else ints
  bool boolResult = false;    // the value is a bool (comparisons, "!"), else an int
};

// The word operator of an operator node with its operands as written (one operand for the
// prefix forms, two else); false when the node computes nothing in words.
bool wordOperatorOf(const TreeNode& node, WordOperator& out);

// Applies a binary word operator; false when the result has no machine value (an overflow,
// a division by zero). Comparisons yield 0 or 1. Inline: the word loops run little else.
inline bool applyWordOp(WordOp op, std::int64_t left, std::int64_t right, std::int64_t& result) {
  switch (op) {
    case WordOp::Add: return !__builtin_add_overflow(left, right, &result);
    case WordOp::Subtract: return !__builtin_sub_overflow(left, right, &result);
    case WordOp::Multiply: return !__builtin_mul_overflow(left, right, &result);
    case WordOp::Divide:
      if (right == 0 || (left == INT64_MIN && right == -1)) return false;
      result = left / right;  // truncates towards zero, as int division does
      return true;
    case WordOp::Remainder:
      if (right == 0) return false;
      if (right == -1) {
        result = 0;
        return true;
      }
      result = left % right;
      if (result < 0) result += right < 0 ? -right : right;  // always within 0 .. |right|-1
      return true;
    case WordOp::Power: {
      if (right <= 0) {
        result = 1;
        return true;
      }
      std::int64_t power = 1;
      for (std::int64_t i = 0; i < right; ++i) {
        if (__builtin_mul_overflow(power, left, &power)) return false;
        if (power == 0 || power == 1) break;  // zero and one stay where they are
        if (power == -1) {
          power = (right % 2 == 0) ? 1 : -1;
          break;
        }
      }
      result = power;
      return true;
    }
    case WordOp::Less: result = left < right; return true;
    case WordOp::LessEqual: result = left <= right; return true;
    case WordOp::Greater: result = left > right; return true;
    case WordOp::GreaterEqual: result = left >= right; return true;
    case WordOp::Equal: result = left == right; return true;
    case WordOp::NotEqual: result = left != right; return true;
  }
  return false;
}

// Whether a word may be handed on as an int value: what two BigInt limbs hold.
inline bool isSmallWord(std::int64_t value) {
  return value >= -BigInt::kSmallLimit && value <= BigInt::kSmallLimit;
}

class FastProgram {
 public:
  // The program of `node`, or null when the node is not such an expression. The root's own
  // "{ }" flag is ignored when `asCode` is set (the condition block of a loop is compiled by
  // its content); everywhere else a "{ }" group is a code value and not compiled.
  static std::unique_ptr<FastProgram> compile(const TreeNode& node, bool asCode);

  bool yieldsBool() const { return yieldsBool_; }
  // Whether the program calls functions; only run() with an executor may run it then.
  bool hasCalls() const { return hasCalls_; }
  // Computes the value (a bool as 0 or 1) of a program without calls; false when it declines.
  bool run(std::int64_t& value) const;
  // The same for any program. When it declines after making calls, their results are
  // recorded in the executor's current replay, or else in `made`, for the general path
  // (run it inside a ReplayScope for `made`).
  bool run(Executor& exec, const ExecContext& context, std::int64_t& value, CallReplay& made) const;

 private:
  enum class Op : uint8_t {
    Constant, IntVariable, BoolVariable, Binary, Negate, Not, Call,
    Swap  // exchanges the two top values: a left variable operand read after its right operand
  };
  struct Step {
    Op op;
    WordOp binary;               // the operator of a Binary step
    std::int64_t constant;       // the value of a Constant step; the argument count of a Call
    const TreeNode* definition;  // the defining name node of a variable step; the call form of a Call
  };
  // Calls one program makes at most.
  static constexpr int kMaxCalls = 8;

  // Appends the steps of `node`; false when the node cannot be compiled. `yieldsBool` is
  // set to the kind of value the node yields.
  bool emit(const TreeNode& node, bool root, bool asCode, int depth, bool& yieldsBool);
  // Appends the steps of the call form `call`: its arguments, then the Call step.
  bool emitCall(const TreeNode& call, bool asCode, int depth);
  template <bool WithCalls>
  bool execute(Executor* exec, const ExecContext* context, std::int64_t& value, CallReplay* made) const;

  std::vector<Step> steps_;  // postfix order; never needs more than kMaxDepth stack slots
  bool yieldsBool_ = false;  // the value is a bool (0 or 1), else an int
  // The program is `variable OP constant` (n < 2, n - 1, i % 100): three steps that run
  // without the stack, the commonest shape of all.
  bool variableOpConstant_ = false;
  bool singleVariable_ = false;  // the program is one int variable (`sum += i`)
  bool hasCalls_ = false;      // some step is a Call
  bool callsAllowed_ = true;   // while compiling: calls may be emitted (not inside arguments)
  // Set once a call of the program is known never to take word arguments (its node chose a
  // routine that does not): the program then declines at once, before calling anything.
  mutable bool callsDecline_ = false;
};

// The value of a function call that yielded the small int `word`: an int held as the
// function's output held it.
std::unique_ptr<Object> intResultOf(std::int64_t word);

// `a op b` for "+", "-" and "*" on small ints, the arithmetic of the fast paths outside the
// programs (call results, compound assignment); false when the result is not small.
inline bool combineSmallInts(char op, std::int64_t a, std::int64_t b, std::int64_t& result) {
  bool overflow = op == '+'   ? __builtin_add_overflow(a, b, &result)
                  : op == '-' ? __builtin_sub_overflow(a, b, &result)
                              : __builtin_mul_overflow(a, b, &result);
  return !overflow && isSmallWord(result);
}

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
