// Container iteration `x.for(variable, {body})` and `x.For(...)`, as a statement and in
// expression form.
#include "exec/iteration.h"

#include <optional>

#include "core/containers.h"
#include "core/messages.h"
#include "core/type_table.h"
#include "core/payloads.h"
#include "core/values.h"
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

// A loop variable for the duration of one loop: it takes the access class its bindings
// get (constant for keys and for elements of a constant container), and afterwards its own
// class again and a copy of the last element, also when the loop ends by an error.
class LoopVariable {
 public:
  LoopVariable(Object& variable, bool constant)
      : variable_(variable), savedKind_(variable.transferKind) {
    variable_.transferKind = constant ? Access::ConstMember : Access::Variable;
  }
  ~LoopVariable() {
    variable_.transferKind = savedKind_;
    releaseLoopVariable(variable_);
  }
  LoopVariable(const LoopVariable&) = delete;
  LoopVariable& operator=(const LoopVariable&) = delete;
  Object& operator*() const { return variable_; }

 private:
  Object& variable_;
  int32_t savedKind_;
};

// The number of loop variables a container's iteration takes: at least `fewest`, at most
// `most`.
struct VariableCount {
  size_t fewest;
  size_t most;
};

VariableCount loopVariables(TypeCode base) {
  switch (base) {
    case 'h':
    case 'a': return {1, 2};
    case 'z': return {2, 3};
    default: return {1, 1};
  }
}

// One step of an array iteration: the position as an int into the index variable.
void bindIndex(const BuiltinCall& check, Object& variable, long long index) {
  std::unique_ptr<Object> position = makeInt(index);
  check.require(transfer(variable, *position, Transfer::Copy));
}

void iterateTable(Executor& exec, const BuiltinCall& check, const ExecContext& context, Object& object,
                  bool constant, bool backwards, ResultList& args, ResultList* results) {
  HashTable& table = object.asHash();
  IterationGuard guard(&table, table.iterationCount);
  // A set's elements and a hash's keys are never changed in place: they decide the bucket.
  LoopVariable key(*args[0].object, true);
  std::optional<LoopVariable> value;
  if (args.size() == 3) value.emplace(*args[1].object, constant);
  const std::vector<HashEntry*> entries = table.entries();
  for (size_t step = 0; guard.alive() && step < entries.size(); ++step) {
    HashEntry* entry = entries[backwards ? entries.size() - 1 - step : step];
    check.require(transfer(*key, *entry->key, Transfer::CallAlias));
    if (value) check.require(transfer(**value, *entry->value, Transfer::CallAlias));
    if (runBody(exec, args.back(), context, results)) break;
  }
}

void iterateArray(Executor& exec, const BuiltinCall& check, const ExecContext& context, Object& object,
                  bool constant, bool backwards, ResultList& args, ResultList* results) {
  ArrayRecord& array = arrayOf(object);
  IterationGuard guard(&array, array.iterationCount);
  bool twoIndices = object.base() == 'z';
  size_t indices = twoIndices ? 2 : 1;
  std::optional<LoopVariable> value;
  if (args.size() == indices + 2) value.emplace(*args[indices].object, constant);
  for (size_t step = 0; guard.alive() && step < array.slots.size(); ++step) {
    size_t at = backwards ? array.slots.size() - 1 - step : step;
    if (!array.holds(at)) continue;
    if (twoIndices) {
      size_t columns = static_cast<size_t>(array.columns);
      bindIndex(check, *args[0].object, static_cast<long long>(at / columns));
      bindIndex(check, *args[1].object, static_cast<long long>(at % columns));
    } else {
      bindIndex(check, *args[0].object, static_cast<long long>(at));
    }
    // The body may have cleared the slot through a binding made before it.
    if (value && array.holds(at)) check.require(transfer(**value, *array.slots[at], Transfer::CallAlias));
    if (runBody(exec, args.back(), context, results)) break;
  }
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
  VariableCount variables = loopVariables(object.base());
  if (variables.fewest == variables.most)
    check.require(checkCount(args, variables.most + 1));
  else
    check.require(checkCountRange(args, static_cast<long>(variables.fewest + 1), static_cast<long>(variables.most + 1)));
  for (size_t i = 0; i + 1 < args.size(); ++i) check.require(checkVariable(args, i, false));
  check.require(checkType(args, args.size() - 1, 'x', false));
  bool constant = access <= Access::ConstObject;

  switch (object.base()) {
    case 'h':
    case 'm': iterateTable(exec, check, context, object, constant, backwards, args, results); return;
    case 'a':
    case 'z': iterateArray(exec, check, context, object, constant, backwards, args, results); return;
    default: break;
  }

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
  LoopVariable element(variable, constant);
  for (size_t step = 0; guard.alive() && step < list.size(); ++step) {
    Object& item = list.at(backwards ? list.size() - 1 - step : step);
    check.require(transfer(variable, item, Transfer::CallAlias));
    if (runBody(exec, args[1], context, results)) break;
  }
}

bool runLoopBody(Executor& exec, const Result& body, const ExecContext& context, ResultList* results) {
  return runBody(exec, body, context, results);
}

}  // namespace kavor
