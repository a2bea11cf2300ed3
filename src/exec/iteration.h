// Iteration over the elements of a container: `x.for(...)` and `x.For(...)`.
#pragma once

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

}  // namespace kavor
