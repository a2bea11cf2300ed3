// Container iteration `x.for(variable, {body})` and `x.For(...)`, as a statement and in
// expression form: the checks of the call, the loop variables and the body. The loops over
// each type's elements are in the type's row file.
#include "exec/iteration.h"

#include "core/messages.h"
#include "core/type_table.h"
#include "core/values.h"

namespace kavor {

namespace {

// After the loop the variable no longer stands for an element: it keeps a copy of the last
// element it was bound to, so later changes of the list do not reach it.
void releaseLoopVariable(Object& variable) {
  if (!isCallAliasCode(variable.typeCode) || variable.value == nullptr) return;
  Object last;
  last.constructLike(*variable.target());
  variable.clear(false);
  if (variable.value == nullptr && !variable.isAny() && variable.base() != 'k') variable.createPayload();
  // The variable was bound to this element, so the element's type fits it; a refusal could
  // only leave the variable empty, which is what a loop that ran over nothing leaves too.
  (void)transfer(variable, last, Transfer::Copy);
}

}  // namespace

LoopVariable::LoopVariable(Object& variable, bool constant) : variable_(variable), savedKind_(variable.transferKind) {
  variable_.transferKind = constant ? Access::ConstMember : Access::Variable;
}

LoopVariable::~LoopVariable() {
  variable_.transferKind = savedKind_;
  releaseLoopVariable(variable_);
}

void ElementLoop::bindPosition(size_t index, long long position) const {
  std::unique_ptr<Object> value = makeInt(position);
  check.require(transfer(variable(index), *value, Transfer::Copy));
}

bool runLoopBody(Executor& exec, const Result& body, const ExecContext& context, ResultList* results) {
  TreeNode* tree = const_cast<TreeNode*>(body.object->resolve(true).asCode().tree);
  if (tree != nullptr) {
    if (results == nullptr) {
      exec.executeBlock(tree, context, true);
    } else {
      ResultList values;
      exec.evaluateCode(*tree, context, values);
      for (Result& value : values) {
        auto copy = std::make_unique<Object>('v');
        Failure failure = transfer(*copy, *value.object, Transfer::ReferenceOrCopy);
        if (failure) exec.raise(*tree, failure.text());
        results->pushOwned(std::move(copy), Access::ConstResult);
      }
    }
  }
  return exec.loopShouldEnd();
}

bool hasIteration(TypeCode base) { return typeOps(base).elementLoop != nullptr; }

void iterateContainer(Executor& exec, TreeNode& call, const ExecContext& context, Object& object, int access,
                      ResultList* results) {
  bool backwards = call.text == "For";
  BuiltinCall check{exec, call, results ? NameKind::Function : NameKind::Procedure,
                    typeName(object, true) + ":" + call.text};
  if (!object.isDefined()) check.fail(message("insnicdef"));
  ResultList args;
  evaluateArguments(exec, call, context, args);
  const TypeOps& row = typeOps(object.base());
  size_t fewest = row.loopVariablesFewest, most = row.loopVariablesMost;
  if (fewest == most)
    check.require(checkCount(args, most + 1));
  else
    check.require(checkCountRange(args, static_cast<long>(fewest + 1), static_cast<long>(most + 1)));
  for (size_t i = 0; i + 1 < args.size(); ++i) check.require(checkVariable(args, i, false));
  check.require(checkType(args, args.size() - 1, 'x', false));
  ElementLoop loop{exec, check, context, object, access <= Access::ConstObject, backwards, args, results};
  row.elementLoop(loop);
}

}  // namespace kavor
