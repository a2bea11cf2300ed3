// Functions that fold their arguments into one value: min, max (by the operator "<"), sum,
// prod (by "+=" and "*="), and, or.
#include "core/values.h"
#include "exec/builtins.h"
#include "exec/dispatch.h"

namespace kavor {

namespace {

// min (`wantLess`) or max: a copy of the first of the least or greatest values.
template <bool wantLess>
void evalExtreme(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  functionCall(exec, node).require(checkCountRange(args, 2, -1));
  Object* best = args[0].object;
  for (size_t i = 1; i < args.size(); ++i) {
    Object* candidate = args[i].object;
    // Ties keep the earlier value; values without an order between them too.
    bool better = wantLess ? orderOf(exec, node, *candidate, *best) < 0 : orderOf(exec, node, *best, *candidate) < 0;
    if (better) best = candidate;
  }
  auto copy = std::make_unique<Object>();
  copy->constructLike(best->resolve(true));
  results.pushOwned(std::move(copy), Access::Literal);
}

// sum ('+') or prod ('*'): a copy of the first value, the others applied to it in turn.
template <char op>
void evalFold(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  call.require(checkDefined(args, 0));
  auto total = std::make_unique<Object>();
  total->constructLike(args[0].object->resolve(true));
  const std::string operatorName{op, '='};
  for (size_t i = 1; i < args.size(); ++i) {
    Failure failure = applyCompound(exec, node, op, *total, *args[i].object);
    if (failure) exec.raise(node, NameKind::Operator, operatorName, failure.text());
  }
  results.pushOwned(std::move(total), Access::Literal);
}

// and (`all`) or or: every argument a bool that is not empty.
template <bool all>
void evalLogical(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  bool value = all;
  for (size_t i = 0; i < args.size(); ++i) {
    call.require(checkType(args, i, 'b', true));
    if (args[i].object->resolve(true).boolValue() != all) value = !all;
  }
  results.pushOwned(makeBool(value), Access::ConstResult);
}

constexpr NamedBuiltin<EvalHandler> kFunctions[] = {
    {"min", evalExtreme<true>}, {"max", evalExtreme<false>}, {"sum", evalFold<'+'>},
    {"prod", evalFold<'*'>},    {"and", evalLogical<true>},  {"or", evalLogical<false>},
};

}  // namespace

FunctionTable foldingFunctions() { return kFunctions; }

}  // namespace kavor
