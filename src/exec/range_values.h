// The values of a range `a .. b` (".:" ascending only, ":." descending only) one at a time,
// so that a loop over a range never holds all of it.
#pragma once

#include <cstdint>

#include "core/object.h"
#include "exec/executor.h"
#include "numbers/bigint.h"

namespace kavor {

// The most values one operator may yield at once (a range, a repetition): each takes an
// Object and a result entry, so more than a sixty-fourth of the machine's memory in values
// could never be built.
uint64_t holdableValues();

class RangeValues {
 public:
  // Reads the evaluated operands; operands that are not two ints or two chars are refused
  // at `node` as the operator refuses them.
  RangeValues(Executor& exec, TreeNode& node, Object& from, Object& to);
  // The number of values, UINT64_MAX for more.
  uint64_t count() const { return count_; }
  // Refuses at `node` a range whose values would not fit in memory, before any is made.
  void requireHoldable(Executor& exec, TreeNode& node) const;
  // A new Object holding the next value; null after the last.
  std::unique_ptr<Object> next();

 private:
  bool chars_ = false;     // a range of chars, else of ints
  uint64_t count_ = 0;     // values in the range, UINT64_MAX for more
  BigInt total_;           // values in the range, exactly (for the refusal)
  uint64_t given_ = 0;     // values handed out so far
  bool ascending_ = true;  // the direction of the steps
  BigInt current_;         // the next int to hand out
  int currentChar_ = 0;    // the next char to hand out
};

}  // namespace kavor
