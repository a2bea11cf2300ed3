// Container iteration `x.for(variable, {body})` and `x.For(...)`, as a statement and in
// expression form.
#include "exec/iteration.h"

#include "core/containers.h"
#include "core/messages.h"
#include "core/type_table.h"
#include "core/payloads.h"
#include "exec/calls.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

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

// Runs the body once: as a block (statement form) or as expressions whose values are
// appended to `results` (expression form). Returns true when the loop must end.
bool runBody(Executor& exec, const Result& body, const ExecContext& context, ResultList* results) {
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

bool hasIteration(TypeCode base) { return typeOps(base).elementLoop; }

void iterateContainer(Executor& exec, TreeNode& call, const ExecContext& context, Object& object, int access,
                      ResultList* results) {
  bool backwards = call.text == "For";
  BuiltinCall check{exec, call, results ? NameKind::Function : NameKind::Procedure,
                    typeName(object, true) + ":" + call.text};
  if (!object.isDefined()) check.fail(message("insnicdef"));
  ResultList args;
  evaluateArguments(exec, call, context, args);
  check.require(checkCount(args, 2));
  check.require(checkVariable(args, 0, false));
  check.require(checkType(args, 1, 'x', false));
  Object& variable = *args[0].object;

  if (object.base() == 's') {
    STR_DATA& text = object.asStr();
    IterationGuard guard(&text, text.iterationCount);
    size_t count = text.text.size();
    for (size_t step = 0; step < count && guard.alive() && step < text.text.size(); ++step) {
      size_t index = backwards ? text.text.size() - 1 - step : step;
      Object character('c');
      character.setChar(static_cast<unsigned char>(text.text[index]));
      check.require(transfer(variable, character, Transfer::Copy));
      if (runBody(exec, args[1], context, results)) break;
    }
    return;
  }

  ListRecord& list = object.asList();
  IterationGuard guard(&list, list.iterationCount);
  int32_t savedKind = variable.transferKind;
  variable.transferKind = access <= Access::ConstObject ? Access::ConstMember : Access::Variable;
  try {
    for (size_t step = 0; guard.alive() && step < list.size(); ++step) {
      Object& element = list.at(backwards ? list.size() - 1 - step : step);
      check.require(transfer(variable, element, Transfer::CallAlias));
      if (runBody(exec, args[1], context, results)) break;
    }
  } catch (...) {
    variable.transferKind = savedKind;
    releaseLoopVariable(variable);
    throw;
  }
  variable.transferKind = savedKind;
  releaseLoopVariable(variable);
}

bool runLoopBody(Executor& exec, const Result& body, const ExecContext& context, ResultList* results) {
  return runBody(exec, body, context, results);
}

}  // namespace kavor
