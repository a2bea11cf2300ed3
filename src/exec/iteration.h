// Iteration over the elements of a container: `x.for(...)` and `x.For(...)`. The checks of
// the call and the running of the body live here; each type's loop over its own elements is
// the elementLoop of its row, in its file under types/.
#pragma once

#include "core/containers.h"
#include "exec/calls.h"
#include "exec/executor.h"

namespace kavor {

// The types that answer `for` and `For` with an iteration.
bool hasIteration(TypeCode base);
// Runs the iteration `call` (named "for" or "For") over `object`. With `results` it is the
// expression form: the body's values are appended there.
void iterateContainer(Executor& exec, TreeNode& call, const ExecContext& context, Object& object, int access,
                      ResultList* results);

// Runs a loop body once: as a block (statement form) or as expressions whose values are
// appended to `results` (expression form). True when the loop must end. The loops of types
// that iterate by their own methods (`file`, `dir`) share it.
bool runLoopBody(Executor& exec, const Result& body, const ExecContext& context, ResultList* results);

// One element loop running over a defined container, its arguments checked: the loop
// variables (as many as the type's row allows) and then the body.
struct ElementLoop {
  Executor& exec;
  const BuiltinCall& check;    // raises the loop's refusals, named "<type>:for"
  const ExecContext& context;
  Object& object;              // the container, resolved
  bool constant;               // the container was reached as a constant: its elements are too
  bool backwards;              // `For`: last element first
  ResultList& args;            // the loop variables, then the body
  ResultList* results;         // the expression form's values; null for the statement form

  // The loop variable at `index`.
  Object& variable(size_t index) const { return *args[index].object; }
  // The number of loop variables given.
  size_t variableCount() const { return args.size() - 1; }
  // Runs the body once; true when the loop must end.
  bool runBody() const { return runLoopBody(exec, args.back(), context, results); }
  // Gives the loop variable at `index` the position `position` (an int).
  void bindPosition(size_t index, long long position) const;
};

// Raises a container's iteration count for the duration of one loop, also when the loop
// ends by an error, and notices when the container's payload goes away during the loop.
class IterationGuard {
 public:
  IterationGuard(const void* payload, int32_t& count) : watch_(payload), count_(count) { ++count_; }
  ~IterationGuard() {
    if (watch_.alive()) --count_;
  }
  IterationGuard(const IterationGuard&) = delete;
  IterationGuard& operator=(const IterationGuard&) = delete;
  bool alive() const { return watch_.alive(); }

 private:
  IterationWatch watch_;
  int32_t& count_;  // the container's count; only touched while the payload lives
};

// A loop variable for the duration of one loop: it takes the access class its bindings
// get (constant for keys and for elements of a constant container), and afterwards its own
// class again and a copy of the last element, also when the loop ends by an error.
class LoopVariable {
 public:
  LoopVariable(Object& variable, bool constant);
  ~LoopVariable();
  LoopVariable(const LoopVariable&) = delete;
  LoopVariable& operator=(const LoopVariable&) = delete;
  Object& operator*() const { return variable_; }

 private:
  Object& variable_;
  int32_t savedKind_;
};

}  // namespace kavor
