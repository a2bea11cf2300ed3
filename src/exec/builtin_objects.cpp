// Destroying and clearing objects (del, clear) and the tests on objects (def, empty, ref,
// alias, count).
#include "core/containers.h"
#include "core/messages.h"
#include "core/values.h"
#include "exec/builtins.h"

namespace kavor {

namespace {

// The checks that del and clear share; the Object to change, aliases followed (a reference
// itself is what is destroyed or cleared).
Object& changedObject(const BuiltinCall& call, ResultList& args, size_t index, const char* anyBlockedKey,
                      bool mustBeDefined) {
  call.require(checkVariable(args, index, false));
  Object& object = args[index].object->resolve(false);
  if (mustBeDefined && !object.resolve(true).isDefined()) call.fail(message("insnicdef"));
  call.require(checkModifiable(args[index], message("zuw")));
  if (object.isAny() && hasTypedIndirection(object)) call.fail(message(anyBlockedKey));
  // A loop is running over the container: destroying or emptying it would pull the
  // elements from under the loop.
  if (holdsIteratedValue(object.resolve(true))) call.fail(message("unzwaeite"));
  return object;
}

void execDel(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  for (size_t i = 0; i < args.size(); ++i) changedObject(call, args, i, "desobjtypvoinicherl", false).clear(true);
}

void execClear(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  for (size_t i = 0; i < args.size(); ++i)
    changedObject(call, args, i, "loeobjtypvoinicherl", true).resolve(true).makeEmpty();
}

// One bool per argument: Test of that argument.
template <bool (*Test)(const BuiltinCall&, Object&)>
void evalObjectTest(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  for (Result& entry : args) results.pushOwned(makeBool(Test(call, *entry.object)), Access::Literal);
}

bool testDefined(const BuiltinCall&, Object& object) { return object.resolve(true).isDefined(); }
bool testReference(const BuiltinCall&, Object& object) { return isReferenceCode(object.resolve(false).typeCode); }
bool testAlias(const BuiltinCall&, Object& object) { return isAliasCode(object.typeCode); }
bool testEmpty(const BuiltinCall& call, Object& object) {
  Object& value = object.resolve(true);
  if (!value.isDefined()) call.fail(message("insnicdef"));
  return value.isEmpty();
}

void evalCount(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  results.pushOwned(makeInt(static_cast<long long>(args.size())), Access::Literal);
}

constexpr NamedBuiltin<ExecHandler> kStatements[] = {
    {"del", execDel},
    {"clear", execClear},
};

constexpr NamedBuiltin<EvalHandler> kFunctions[] = {
    {"def", evalObjectTest<testDefined>},   {"empty", evalObjectTest<testEmpty>},
    {"ref", evalObjectTest<testReference>}, {"alias", evalObjectTest<testAlias>},
    {"count", evalCount},
};

}  // namespace

StatementTable objectStatements() { return kStatements; }
FunctionTable objectFunctions() { return kFunctions; }

}  // namespace kavor
