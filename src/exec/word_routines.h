// Functions computed wholly in machine words.
//
// A function whose inputs are constant ints and bools, whose one output is an int, and whose
// body works only on its own int and bool variables (declarations, assignments, `if`,
// `while`, `for` over an int range, and calls of such functions) is compiled at its first
// call into word code: one machine word per variable, a value stack and jumps. A run makes
// no Object and no frame.
//
// Such a function has no effect but its value. So a run that meets anything it cannot do in
// words (an empty variable, an overflow, a division by zero, a value too large for a small
// int, the native stack limit) declines, and the general path runs the call from its start,
// computing the same value or raising the same message. A word routine that declined once
// is not run again: the work lost to declining is at most one run.
#pragma once

#include <cstdint>
#include <vector>

#include "exec/fast_values.h"
#include "frontend/tree_node.h"

namespace kavor {

class Executor;
struct Routine;
struct SymbolTable;

class WordRoutine : public CompiledPart {
 public:
  WordRoutine() { kind = Kind::WordRoutine; }

  // The word code of `routine`, compiled at the first request; null when the routine has
  // none or its code declined before.
  static WordRoutine* of(Routine& routine);

  // Computes the function's value for the input words `arguments` (bools as 0 or 1, in the
  // order of the inputs); false, with nothing changed anywhere, when it declines.
  bool run(Executor& exec, const std::int64_t* arguments, std::int64_t& result);

 private:
  friend class WordCompiler;

  // The word code of `routine`, compiled now when it has not been looked at; null when it
  // has none. While the routine is being compiled this is its unfinished code, which a call
  // from its own body links to.
  static WordRoutine* link(Routine& routine);
  // Marks the code not to be run again (the general path runs every call from now on).
  bool decline() {
    usable_ = false;
    return false;
  }

  enum class Code : uint8_t {
    Constant,          // pushes `constant`
    Load,              // pushes variable `slot`; declines when it is empty
    LoadOpConstant,    // pushes `variable slot op constant`, the commonest operand pair
    Store,             // pops into variable `slot`
    Binary,            // applies `op` to the two top values
    Negate, Not,       // prefix "-" and "!" on the top value
    Call,              // pops `slot` arguments, pushes the value of `callee` for them
    Jump,              // goes on at `target`
    JumpIfFalse,       // pops; goes on at `target` when the value is false
    CountStart,        // pops the last and the first value of a range into the counter at
                       // `slot` (current, last, step); goes on at `target` when `constant`
                       // (1 ascending only, 2 descending only) refuses the direction
    CountNext,         // when the counter at `slot` is not at its last value, steps it and
                       // goes on at `target`
  };
  struct Step {
    Code code;
    WordOp op;                     // the operator of Binary and LoadOpConstant
    uint16_t slot;                 // the variable, counter or argument count
    int32_t target;                // the step a jump goes on at
    std::int64_t constant;         // the value of Constant and LoadOpConstant; CountStart's direction
    WordRoutine* callee;           // the function a Call runs; it may still be being compiled
  };
  // Room a run takes on the native stack: the variables and the value stack.
  static constexpr int kMaxSlots = 32;
  static constexpr int kMaxStack = 24;

  std::vector<Step> steps_;             // in order; a run ends after the last
  std::vector<uint16_t> inputSlots_;    // the variable of each input, in the inputs' order
  uint16_t resultSlot_ = 0;             // the variable of the output
  uint16_t slotCount_ = 0;              // variables and counters, at most kMaxSlots
  // Compiled completely and never declined: only then is it run. Set at the end of a
  // compilation; cleared for good by a decline.
  bool usable_ = false;
  bool compiling_ = false;              // being compiled: a recursive call links to it
};

}  // namespace kavor
