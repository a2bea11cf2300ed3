// Calls of the program's procedures and functions: finding the overloads a call form names,
// choosing the one that fits the arguments, binding the arguments, running the body and
// moving the outputs into results. Call forms on objects go on to methods and iteration.
#include "exec/calls.h"

#include <algorithm>

#include "analysis/symbol_table.h"
#include "core/containers.h"
#include "core/messages.h"
#include "core/type_table.h"
#include "exec/fast_values.h"
#include "exec/iteration.h"
#include "exec/word_routines.h"
#include "frontend/tree_shapes.h"

namespace kavor {

namespace {

// The routines of a name visible from `call`, nearest scope first. Within a type's routines
// that includes the routines of the type and of its basic types.
const std::vector<Routine*>* findCandidates(TreeNode& call, const std::string& name, bool functions) {
  return findVisibleName(call, name, [&](SymbolTable& scope, const std::string& last) -> const std::vector<Routine*>* {
    if (const TypeRecord* type = scope.type) return typeRoutines(*type, last, functions);
    auto& table = functions ? scope.functions : scope.procedures;
    auto found = table.find(last);
    return found != table.end() ? &found->second : nullptr;
  });
}

// How well arguments fit a routine's inputs: -1 when they do not, else the number of
// exactly typed inputs (twice, plus one without an `args` input, so that ties prefer it).
// `fits(i, input)` tells whether argument i has the type of the typed input `input`.
template <class Fits>
int fitScoreBy(const Routine& routine, size_t count, Fits&& fits) {
  const auto& inputs = routine.inputs;
  size_t fixed = routine.argsIndex >= 0 ? static_cast<size_t>(routine.argsIndex) : inputs.size();
  if (routine.argsIndex < 0 ? count != inputs.size() : count < fixed) return -1;
  int exact = 0;
  for (size_t i = 0; i < fixed; ++i) {
    const Parameter& input = inputs[i];
    if (input.code == 'v') continue;
    if (!fits(i, input)) return -1;
    ++exact;
  }
  return exact * 2 + (routine.argsIndex < 0 ? 1 : 0);
}

int fitScore(const Routine& routine, const ResultList& args) {
  return fitScoreBy(routine, args.size(), [&args](size_t i, const Parameter& input) {
    Object& value = args[i].object->resolve(true);
    // Built-in types are told apart by their code; user-defined types by their names.
    return input.code != 'k' ? value.base() == input.code
                             : value.base() == 'k' && value.value != nullptr && value.asUser().type == input.type;
  });
}

// The transfer kind that binds an argument entry to a parameter.
int bindingKind(const Result& entry) {
  if (entry.access < Access::Variable)
    return isReferenceCode(entry.object->typeCode) ? Transfer::Reference : Transfer::Copy;
  return Transfer::CallAlias;
}

// Whether `value`, through its indirections and container contents, refers to the current
// Object of a variable of `scope`: such a result would dangle once the scope is left.
bool refersToLocal(TreeNode& scope, Object& value) {
  // A plain value that holds no Objects refers to nothing: most results are such values.
  if (!value.isIndirection() && typeOps(value.typeCode).visitParts == nullptr) return false;
  std::vector<const Object*> locals;
  for (TreeNode* variable : scope.symbols->allocation)
    if (Object* local = currentVariable(*variable)) locals.push_back(local);
  return anyWithin(value, [&locals](const Object& object) {
    if (!object.isIndirection() || object.value == nullptr) return false;
    return std::find(locals.begin(), locals.end(), object.target()) != locals.end();
  });
}

// A declared value of a built-in type (not held by an any, no indirection) that no
// indirection points to: moving its payload needs none of the checks of `transfer`.
inline bool isPlainValue(const Object& object) {
  return object.typeCode == object.base() && !object.isIndirection() && object.typeCode != 'v' &&
         !object.hasLinks();
}

// Moving the temporary `source` into the fresh parameter `target` is a plain hand-over of
// the payload: the source is a defined int or str of its own, the target one of the same
// type (still without a value, as a scope's inputs start).
inline bool movesPlainly(const Object& source, const Object& target) {
  return source.typeCode == target.typeCode && (source.typeCode == 'i' || source.typeCode == 's') &&
         source.value != nullptr && isPlainValue(source) && isPlainValue(target);
}

// Gives the inputs of `routine`, whose frame is open, the values of word arguments (see
// takesWordArguments): what binding their temporaries would give them.
void bindWords(Routine& routine, const std::int64_t* words) {
  for (size_t i = 0; i < routine.inputs.size(); ++i) {
    Object& parameter = *currentVariable(*routine.inputs[i].nameNode);
    parameter.createPayload();
    if (parameter.typeCode == 'b') parameter.setBool(words[i] != 0);
    else parameter.setSmallInt(words[i]);
  }
}

// Runs the function `routine` by its word code, for the word arguments `words` or, when
// they are null, for `args` when each is a small int or bool. False, with nothing done, when
// the routine has no word code or its code declines.
bool runWordCode(Executor& exec, Routine& routine, const ResultList& args, const std::int64_t* words,
                 ResultList& results) {
  if (routine.wordForm != nullptr && routine.wordForm->kind != CompiledPart::Kind::WordRoutine) return false;
  WordRoutine* code = WordRoutine::of(routine);
  if (code == nullptr) return false;
  std::int64_t values[RoutineCache::kMaxArguments];
  if (words == nullptr) {
    // The routine chosen for these arguments takes constant ints and bools only (it has
    // word code), so each argument is one or the other.
    if (args.size() > RoutineCache::kMaxArguments || args.size() != routine.inputs.size()) return false;
    for (size_t i = 0; i < args.size(); ++i) {
      const Object& value = args[i].object->resolve(true);
      if (value.value == nullptr) return false;
      if (value.base() == 'b') {
        if (value.word > 1) return false;  // empty
        values[i] = static_cast<std::int64_t>(value.word);
      } else if (value.base() != 'i' || !value.readSmallInt(values[i])) {
        return false;
      }
    }
    words = values;
  }
  std::int64_t word;
  if (!code->run(exec, words, word)) return false;
  results.pushOwned(intResultOf(word), Access::ConstResult);
  return true;
}

// Runs `routine` for the arguments `args`, or, when `words` is given, for word arguments.
// `self`, when given, is the object a type routine runs on, reached with access `selfAccess`.
void runRoutine(Executor& exec, TreeNode& call, Routine& routine, const ExecContext& context, ResultList& args,
                ResultList* results, const std::int64_t* words, const SelfObject& self) {
  if (results != nullptr && self.object == nullptr && runWordCode(exec, routine, args, words, *results)) return;
  TreeNode& body = *routine.body;
  exec.enterScope(body);
  struct ScopeGuard {
    Executor& exec;
    TreeNode& body;
    ~ScopeGuard() { exec.leaveScope(body); }
  } guard{exec, body};

  if (words != nullptr) bindWords(routine, words);
  size_t fixed = routine.argsIndex >= 0 ? static_cast<size_t>(routine.argsIndex) : routine.inputs.size();
  for (size_t i = 0; i < fixed && i < args.size(); ++i) {
    if (routine.inputs[i].mode == ArgMode::VariableInput && !isModifiable(args[i])) {
      Failure refused = checkModifiable(args[i], message("uebinpvar"));
      if (refused) exec.raise(call, refused.text());
    }
    Object& parameter = *currentVariable(*routine.inputs[i].nameNode);
    // A temporary argument is dropped after the call: its value can move instead of being
    // copied.
    int kind = bindingKind(args[i]);
    if (kind == Transfer::Copy && args[i].owned && !args[i].object->isIndirection()) kind = Transfer::Move;
    if (kind == Transfer::Move && movesPlainly(*args[i].object, parameter)) {
      // The temporary's payload goes to the parameter (and whatever the parameter held, to
      // the temporary, which is dropped after the call).
      std::swap(parameter.value, args[i].object->value);
      std::swap(parameter.word, args[i].object->word);
      continue;
    }
    Failure failure = transfer(parameter, *args[i].object, kind);
    if (failure) exec.raise(call, failure.text());
  }
  if (routine.argsIndex >= 0) {
    Object& parameter = *currentVariable(*routine.inputs[routine.argsIndex].nameNode);
    ListRecord& list = parameter.asList();
    for (size_t i = fixed; i < args.size(); ++i) {
      auto element = std::make_unique<Object>('v');
      element->scopeVariable = 1;
      Failure failure = transfer(*element, *args[i].object, bindingKind(args[i]));
      element->scopeVariable = 0;
      if (failure) exec.raise(call, failure.text());
      list.appendObject(std::move(element));
    }
  }

  ExecContext inner;
  inner.callWord = context.callWord;
  if (self.object != nullptr) {
    inner.currentObject = self.object;
    // A type function cannot change its object, nor can a routine called on a constant one.
    inner.objectMode = routine.isFunction || self.access < Access::Variable ? Access::ConstObject : Access::Variable;
  }
  exec.executeBlock(&body, inner, false);

  ControlState& control = exec.control;
  if (control.returnCount.present()) control.returnCount.decrement();
  // A continue or break count cannot leave a call: it is consumed by the error.
  if (control.continueCount.present()) {
    std::string count = control.continueCount.text();
    control.continueCount.release();
    exec.raise(call, fillKey("posconwerohnumgsch", {count}));
  }
  if (control.breakCount.present()) {
    std::string count = control.breakCount.text();
    control.breakCount.release();
    exec.raise(call, fillKey("posbrewerohnumgsch", {count}));
  }
  // An exception raised in the body stops the caller's statement too.
  if (control.pending) throw ExceptionUnwind{};
  if (results == nullptr) return;
  for (const Parameter& output : routine.outputs) {
    Object& value = *currentVariable(*output.nameNode);
    Object& resolved = value.resolve(true);
    if (!resolved.isDefined()) exec.raise(call, message("varfunergmusdefsei"));
    // A user value equal to its prototype is a value like any other.
    if (resolved.base() != 'k' && resolved.isEmpty()) exec.raise(call, message("varfunergdarnicleesei"));
    if (refersToLocal(body, value)) exec.raise(call, message("funergdarnicrefalilokvarsei"));
    auto result = std::make_unique<Object>('v');
    // The output parameter ends with the call, so its value moves into the result.
    if (isPlainValue(value) && value.value != nullptr && value.base() != 'k') {
      result->value = value.value;
      result->word = value.word;
      result->typeCode = heldCode(value.typeCode);
      value.forgetPayload();
      results->pushOwned(std::move(result), Access::ConstResult);
      continue;
    }
    Failure failure = transfer(*result, value, Transfer::SameOrMove);
    if (failure) exec.raise(call, failure.text());
    results->pushOwned(std::move(result), Access::ConstResult);
  }
}

}  // namespace

namespace {

// Why a call of `name` finds nothing to call.
std::string missingRoutine(TreeNode& call, const std::string& name, bool wantFunction) {
  if (findCandidates(call, name, !wantFunction) != nullptr)
    return message(wantFunction ? "nurfundueausaufger" : "nurprodueanwausgef");
  return notDefinedText(message(wantFunction ? "fun" : "pro"), displayName(name), "");
}

// Whether `routine` takes arguments of the base types `codes` as words: each input is a
// constant int or bool of that type.
bool routineTakesWords(const Routine& routine, const char* codes, size_t count) {
  if (routine.argsIndex >= 0 || routine.inputs.size() != count) return false;
  for (size_t i = 0; i < count; ++i) {
    const Parameter& input = routine.inputs[i];
    if (input.mode != ArgMode::ConstInput || input.code != codes[i] || (codes[i] != 'i' && codes[i] != 'b'))
      return false;
  }
  return true;
}

// Whether the call's arguments, of the types `codes`, can go to `routine` as words: each is a
// pure int or bool expression (a fast program, but no bare name: a name binds as a
// call-alias), and `routine` takes them.
bool takesWordArguments(TreeNode& call, const Routine& routine, const char* codes, size_t count) {
  if (!routineTakesWords(routine, codes, count)) return false;
  const std::vector<TreeNode*>& arguments = argumentsOf(call);
  if (arguments.size() != count) return false;
  for (size_t i = 0; i < count; ++i) {
    TreeNode& argument = *arguments[i];
    if (isPlainName(argument) || argument.curlyBlock) return false;
    const FastProgram* program = fastProgramOf(argument, false);
    if (program == nullptr || program->hasCalls() || program->yieldsBool() != (codes[i] == 'b')) return false;
  }
  return true;
}

// The call of the routine that word arguments choose: the arguments are computed in machine
// words and go straight into the parameters. False, with nothing done, when some argument
// has no word value this time.
bool callWithWords(Executor& exec, TreeNode& call, Routine& routine, const ExecContext& context,
                   ResultList* results, const SelfObject& self) {
  std::int64_t words[RoutineCache::kMaxArguments];
  const std::vector<TreeNode*>& arguments = argumentsOf(call);
  for (size_t i = 0; i < arguments.size(); ++i) {
    // takesWordArguments made sure that every argument has its program.
    auto& form = static_cast<const FastExpressionForm&>(*arguments[i]->compiled->part);
    if (!form.program->run(words[i])) return false;
  }
  ResultList none;
  runRoutine(exec, call, routine, context, none, results, words, self);
  return true;
}

// Runs the definition among `candidates` that fits the arguments best. False, with nothing
// run, when none takes them.
bool runBestFit(Executor& exec, TreeNode& call, const std::string& name, const std::vector<Routine*>& candidates,
                const ExecContext& context, ResultList& args, ResultList* results, CompiledForm* form,
                const SelfObject& self) {
  RoutineCache* cache = form != nullptr ? &form->routineCache : nullptr;
  // The choice depends on nothing but the arguments' types: the same types choose the same
  // routine again.
  char codes[RoutineCache::kMaxArguments];
  bool cacheable = cache != nullptr && args.size() <= RoutineCache::kMaxArguments;
  for (size_t i = 0; cacheable && i < args.size(); ++i) {
    codes[i] = args[i].object->resolve(true).base();
    cacheable = codes[i] != 'k';
  }
  if (cacheable && cache->routine != nullptr && cache->argumentCount == args.size() &&
      std::equal(codes, codes + args.size(), cache->argumentCodes)) {
    runRoutine(exec, call, *cache->routine, context, args, results, nullptr, self);
    return true;
  }
  Routine* best = nullptr;
  int bestScore = -1;
  for (Routine* routine : candidates) {
    int score = fitScore(*routine, args);
    if (score > bestScore) {
      bestScore = score;
      best = routine;
    }
  }
  // The name exists, but no definition takes these argument types.
  if (best == nullptr) return false;
  if (cacheable) {
    cache->argumentCount = static_cast<uint8_t>(args.size());
    std::copy(codes, codes + args.size(), cache->argumentCodes);
    cache->routine = best;
    // Definitions never change: once word arguments chose a routine, they always do.
    if (form->wordCallRoutine == nullptr && takesWordArguments(call, *best, codes, args.size()))
      form->wordCallRoutine = best;
  }
  runRoutine(exec, call, *best, context, args, results, nullptr, self);
  return true;
}

}  // namespace

Routine* routineForWords(TreeNode& call, const char* codes, size_t count) {
  const std::vector<Routine*>* candidates = findCandidates(call, call.text, true);
  if (candidates == nullptr || candidates->front()->ownerType != nullptr) return nullptr;
  Routine* best = nullptr;
  int bestScore = -1;
  for (Routine* routine : *candidates) {
    int score =
        fitScoreBy(*routine, count, [codes](size_t i, const Parameter& input) { return input.code == codes[i]; });
    if (score > bestScore) {
      bestScore = score;
      best = routine;
    }
  }
  return best != nullptr && routineTakesWords(*best, codes, count) ? best : nullptr;
}

bool programDefinesProcedure(TreeNode& call) { return findCandidates(call, call.text, false) != nullptr; }

void callWithWordValues(Executor& exec, TreeNode& call, Routine& routine, const ExecContext& context,
                        const std::int64_t* words, ResultList& results) {
  ResultList none;
  runRoutine(exec, call, routine, context, none, &results, words, {});
}

Failure callRoutine(Executor& exec, TreeNode& call, const ExecContext& context, ResultList* results, Object* object,
                    int objectAccess) {
  bool wantFunction = results != nullptr;
  if (object != nullptr) {
    Object& target = object->resolve(true);
    bool iterates = call.text.size() == 3 && (call.text == "for" || call.text == "For");
    if (iterates && hasIteration(target.base())) {
      iterateContainer(exec, call, context, target, objectAccess, results);
      return Failure::none();
    }
    if (target.base() != 'k') {
      ResultList args;
      evaluateArguments(exec, call, context, args);
      return callMethod(exec, call, context, target, objectAccess, call.text, args, results);
    }
    return callTypeRoutine(exec, call, context, results, target, objectAccess, nullptr);
  }

  // Definitions do not change while the program runs: the lookup is made once per call.
  CompiledForm& form = call.form();
  if (!form.routineCandidatesFound) {
    form.routineCandidates = findCandidates(call, call.text, wantFunction);
    form.routineCandidatesFound = true;
  }
  const std::vector<Routine*>* candidates = form.routineCandidates;
  if (candidates == nullptr) return missingRoutine(call, call.text, wantFunction);
  // A type's routine called by its plain name from another of its routines runs on the
  // same object.
  SelfObject self;
  if (candidates->front()->ownerType != nullptr) {
    if (context.currentObject == nullptr) exec.raise(call, message("thiverausmemfun"));
    self = {context.currentObject, context.objectMode < Access::Variable ? Access::ConstObject : Access::ThisProcedure};
  }
  if (form.wordCallRoutine != nullptr && callWithWords(exec, call, *form.wordCallRoutine, context, results, self))
    return Failure::none();
  ResultList args;
  evaluateArguments(exec, call, context, args);
  if (runBestFit(exec, call, call.text, *candidates, context, args, results, &form, self)) return Failure::none();
  // A built-in of the same name may take what none of the program's definitions takes: it
  // gets the arguments as they are, without evaluating them again.
  exec.handedCall = &call;
  exec.handedArguments = std::move(args);
  if (self.object != nullptr) return notDefinedText(message(wantFunction ? "typfun" : "typpro"), call.text, "");
  return notDefinedText(message(wantFunction ? "fun" : "pro"), call.text, "");
}

Failure callRoutineNamed(Executor& exec, TreeNode& call, const std::string& name, const ExecContext& context,
                         ResultList& args, ResultList* results) {
  // The name is a run-time text, so the per-node candidate cache does not apply.
  const std::vector<Routine*>* candidates = findCandidates(call, name, results != nullptr);
  if (candidates == nullptr) return missingRoutine(call, name, results != nullptr);
  if (runBestFit(exec, call, name, *candidates, context, args, results, nullptr, {})) return Failure::none();
  return notDefinedText(message(results != nullptr ? "fun" : "pro"), name, "");
}

void runTypeRoutine(Executor& exec, TreeNode& call, const std::string& name, const std::vector<Routine*>& candidates,
                    const ExecContext& context, ResultList& args, ResultList* results, const SelfObject& self) {
  if (runBestFit(exec, call, name, candidates, context, args, results, nullptr, self)) return;
  std::string suffix = " (" + std::string(message("dattyp")) + " '" + typeName(*self.object, true) + "')";
  exec.raise(call, notDefinedText(message(results != nullptr ? "typfun" : "typpro"), name, suffix));
}

}  // namespace kavor
