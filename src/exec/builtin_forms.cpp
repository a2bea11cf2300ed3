// The function forms of `if` and `for`, and the indirect calls `proc` and `func`, which call
// a procedure or function named by a text.
#include "core/messages.h"
#include "core/payloads.h"
#include "exec/builtins.h"
#include "frontend/tree_shapes.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// The argument tree of `if(a){b}{c}`: a round group and two more groups written one after
// the other (not a comma list such as `if(a, {b}, {c})`); the groups must then be blocks.
bool isIfForm(const TreeNode& call) {
  const TreeNode* outer = call.left.get();
  if (outer == nullptr || !isJuxtaposition(*outer)) return false;
  const TreeNode* inner = outer->left.get();
  return inner != nullptr && isJuxtaposition(*inner) && inner->op == ')';
}

const TreeNode* codeOf(const Result& entry) { return entry.object->resolve(true).asCode().tree; }

// if(a){b}{c}: the values of b or of c.
void evalIf(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  if (!isIfForm(node) || args.size() != 3) call.fail(message("erw3argformif"));
  if (checkType(args, 0, 'b', true)) call.fail(message("erw1argtypboo"));
  if (checkType(args, 1, 'x', false) || checkType(args, 2, 'x', false)) call.fail(message("erwcod23arg"));
  const TreeNode* chosen = codeOf(args[args[0].object->resolve(true).boolValue() ? 1 : 2]);
  if (chosen != nullptr) exec.evaluateCode(const_cast<TreeNode&>(*chosen), context, results);
}

// for(x, v1, ..., vn, {code}): for each value, x takes it and the values of the code are
// collected; a reference among them stays a reference, other values are copied.
void evalFor(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  call.require(checkCountRange(args, 3, -1));
  call.require(checkVariable(args, 0, false));
  const size_t last = args.size() - 1;
  call.require(checkType(args, last, 'x', false));
  TreeNode* body = const_cast<TreeNode*>(codeOf(args[last]));
  for (size_t i = 1; i < last; ++i) {
    call.require(transfer(*args[0].object, *args[i].object, Transfer::Copy));
    if (body == nullptr) continue;
    ResultList values;
    exec.evaluateCode(*body, context, values);
    for (Result& value : values) {
      auto copy = std::make_unique<Object>('v');
      call.require(transfer(*copy, *value.object, Transfer::ReferenceOrCopy));
      results.pushOwned(std::move(copy), Access::Literal);
    }
  }
}

// proc(name, ...) (`results` null) and func(name, ...).
void callIndirect(Executor& exec, TreeNode& node, const ExecContext& context, ResultList* results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = results ? functionCall(exec, node) : statementCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  const Object& name = args[0].object->resolve(true);
  if (!name.isDefined() || name.base() != 's') exec.raise(node, call.nameKind, "sys:call", message("erwzeiket1arg"));
  ResultList rest;
  for (size_t i = 1; i < args.size(); ++i) rest.push(args[i].object, args[i].access, false);
  Failure failure = callRoutineNamed(exec, node, name.asStr().text, context, rest, results);
  if (failure) exec.raise(node, failure.text());
}

void execProc(Executor& exec, TreeNode& node, const ExecContext& context) {
  callIndirect(exec, node, context, nullptr);
}
void evalFunc(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  callIndirect(exec, node, context, &results);
}

constexpr NamedBuiltin<ExecHandler> kStatements[] = {
    {"proc", execProc},
};

constexpr NamedBuiltin<EvalHandler> kFunctions[] = {
    {"if", evalIf},
    {"for", evalFor},
    {"func", evalFunc},
};

}  // namespace

StatementTable formStatements() { return kStatements; }
FunctionTable formFunctions() { return kFunctions; }

}  // namespace kavor
