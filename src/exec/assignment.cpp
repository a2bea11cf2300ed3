// The assignment statement: `t1, ..., tm OP s1, ..., sn` for the five transfer operators
// and the compound operators, pairing target and source values in order.
#include "analysis/symbol_table.h"
#include "core/containers.h"
#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/fast_values.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// Values of one side, evaluated one element at a time as the pairing needs them.
class SideValues {
 public:
  SideValues(Executor& exec, TreeNode* side, const ExecContext& context) : exec_(exec), context_(context) {
    if (side != nullptr && isOperatorNode(*side, ',')) splitCommas(side, elements_);
    else if (side != nullptr) single_ = side;
  }
  // The next value, or nullptr when the side has no further element.
  Result* next() {
    while (position_ >= current_.size()) {
      if (element_ >= elementCount()) return nullptr;
      // Values of earlier elements stay alive until the statement ends.
      if (!current_.empty()) done_.push_back(std::move(current_));
      current_ = ResultList();
      position_ = 0;
      exec_.evaluate(*element(element_++), context_, current_);
    }
    return &current_[position_++];
  }
  // The values of a one-element side, evaluated already by the caller.
  void preset(ResultList values) {
    current_ = std::move(values);
    position_ = 0;
    element_ = 1;
  }
  size_t elementCount() const { return single_ != nullptr ? 1 : elements_.size(); }
  // Evaluates everything of the side (used when a list receives all source values).
  void evaluateAll(ResultList& out) {
    for (size_t i = 0; i < elementCount(); ++i) exec_.evaluate(*element(i), context_, out);
  }

 private:
  Executor& exec_;
  const ExecContext& context_;
  TreeNode* element(size_t index) const { return single_ != nullptr ? single_ : elements_[index]; }

  TreeNode* single_ = nullptr;       // the side when it is one element (the common case)
  std::vector<TreeNode*> elements_;  // the elements of a "," list side
  size_t element_ = 0;
  ResultList current_;
  size_t position_ = 0;
  std::vector<ResultList> done_;
};

// The restrictions on `args` parameters and variable outputs, checked after the
// modification check.
Failure parameterRestriction(const Result& target, const Result& source, char op) {
  bool targetArgs = target.object->resolve(true).base() == 'y';
  if (targetArgs && target.access == Access::ArgsInput) return message("fuelokinpobjtypargkeizuwerl");
  bool outputTarget = target.access == Access::Output || target.access == Access::VariableOutput;
  if (outputTarget && targetArgs && op != '@') return message("fuelokoutobjtypargkeizuwerl");
  if (target.access == Access::VariableOutput && op != '@') return message("fuelokoutobjnurrefzuwerl");
  if (source.object->resolve(true).base() == 'y') {
    if (source.access == Access::ArgsInput) return message("keizuwinpobjtypargerl");
    if (source.access == Access::Output || source.access == Access::VariableOutput)
      return message("keizuwoutobjtypargerl");
  }
  return Failure::none();
}

// A container that a loop runs over keeps its value until the loop ends: it may be
// neither replaced, rebound nor moved away.
Failure iterationRestriction(const Result& target, const Result& source, char op, const char* wordKey) {
  bool targetIterated = holdsIteratedValue(target.object->resolve(op == '@' || op == '$' ? false : true)) ||
                        holdsIteratedValue(*target.object);
  bool sourceMoved = op == '~' && holdsIteratedValue(source.object->resolve(false));
  if (!targetIterated && !sourceMoved) return Failure::none();
  return std::string(message(wordKey)) + " " + message("unzwaeite");
}

// A reference or alias to a constant (an input of the running routine, `this` of a type
// function or a member reached through it) would let the constant be changed under another
// name, so it is refused.
Failure constantSourceRestriction(const Result& source) {
  switch (source.access) {
    case Access::ConstInput:
    case Access::ConstObject: return message("alikonobjnicerl");
    case Access::ConstMember: return message("aliattkonobjnicherl");
    default: return Failure::none();
  }
}

// A movement changes its source, so a source that may not be changed (a constant input,
// an element of one, a literal) is refused as an assignment to it would be. A temporary is
// dropped after the statement anyway: its value may go.
Failure sourceRestriction(const Result& source, const char* wordKey) {
  bool temporary = source.owned && !source.object->isIndirection();
  if (temporary || isModifiable(source)) return Failure::none();
  return checkModifiable(source, message(wordKey));
}

// Lists up to this size are searched for a moved-into element directly (below).
constexpr size_t kFewElements = 64;

// Whether the target of `t ~ s` may lie inside the value it receives, which only a walk over
// all of that value can rule out. A frame's variable and a temporary lie in no value. An
// element of a short list held by such a variable (`n[0] ~ l`, how deep lists are built by
// movement) lies only in that variable's value, so only that variable as the source can
// hold it; finding the element among a few is cheaper than walking a deep source each time.
bool targetMayLieWithin(Executor& exec, const TreeNode& node, const Result& target, const Result& source) {
  Object& object = target.object->resolve(false);
  if (&object == target.object && (target.owned || exec.frames.holds(&object))) return false;
  const TreeNode* side = node.left.get();
  if (side == nullptr || side->op != '[' || side->op2 != ']' || !side->left || !isPlainName(*side->left) ||
      side->left->binding == nullptr)
    return true;
  const Object* holder = currentVariable(*side->left->binding);
  if (holder == nullptr || holder->typeCode != 'l' || holder->value == nullptr || !exec.frames.holds(holder))
    return true;
  const ListRecord& list = holder->asList();
  if (list.size() > kFewElements) return true;
  for (size_t i = 0; i < list.size(); ++i)
    if (&list.at(i) == &object) return &source.object->resolve(false) == holder;
  return true;
}

// The movement of one pair, after the checks of the statement.
Failure moveOnePair(Executor& exec, const TreeNode& node, const Result& target, const Result& source) {
  if (targetMayLieWithin(exec, node, target, source)) return transfer(*target.object, *source.object, Transfer::Move);
  return moveIntoFree(*target.object, *source.object);
}

void runGeneralAssignment(Executor& exec, TreeNode& node, const ExecContext& context, ResultList* evaluatedSource);

// ---- the compiled form ------------------------------------------------------------------

// `n = e`, `n += e`, `n -= e`, `n *= e` on an int variable, and `s += "text"` or
// `s += 'c'` on a str variable: the statements of counting loops, accumulators and string
// building, done in place. A pure int source is computed without Objects; another source
// is evaluated, and when it yields one small int the statement completes here too.
struct AssignmentForm : CompiledPart {
  AssignmentForm() { kind = Kind::Assignment; }
  const TreeNode* target = nullptr;  // the defining name node of the target variable
  char op = '=';                     // '=', or the operator of the compound form
  FastProgram* program = nullptr;    // the int source's fast program; null for other sources
  TreeNode* source = nullptr;        // the source side, one element
  const TreeNode* text = nullptr;    // the str or char literal appended by `s += ...`
};

std::unique_ptr<AssignmentForm> buildAssignment(TreeNode& node) {
  if (!node.left || !node.right || !isPlainName(*node.left) || node.left->binding == nullptr) return nullptr;
  if (node.left->curlyBlock || node.left->text == "this") return nullptr;
  bool plain = node.op == '=' && node.op2 == 0;
  bool compound = node.op2 == '=' && (node.op == '+' || node.op == '-' || node.op == '*');
  if (!plain && !compound) return nullptr;
  const TreeNode& definition = *node.left->binding;
  TreeNode& source = *node.right;
  auto form = std::make_unique<AssignmentForm>();
  form->target = &definition;
  form->op = node.op;
  form->source = &source;
  if (definition.varCode == 'i') {
    if (isOperatorNode(source, ',')) return nullptr;
    form->program = fastProgramOf(source, false);
    if (form->program != nullptr && form->program->yieldsBool()) return nullptr;
    return form;
  }
  bool literal = (source.op == '"' || source.op == '\'') && source.op2 == 0 && !source.curlyBlock;
  if (definition.varCode == 's' && node.op == '+' && compound && literal) {
    form->text = &source;
    return form;
  }
  return nullptr;
}

AssignmentForm* assignmentFormOf(TreeNode& node) {
  CompiledForm& compiled = node.form();
  if (!compiled.part) {
    std::unique_ptr<AssignmentForm> form = buildAssignment(node);
    if (form) compiled.part = std::move(form);
    else compiled.part = std::make_unique<CompiledPart>();
  }
  if (compiled.part->kind != CompiledPart::Kind::Assignment) return nullptr;
  return static_cast<AssignmentForm*>(compiled.part.get());
}

// The variable may be assigned to with no other check: a plain variable or a function's
// output, not a constant input or a variable output.
bool freelyAssignable(const TreeNode& definition, const Object& object) {
  switch (definition.argMode) {
    case ArgMode::ConstInput: case ArgMode::VariableOutput: return false;
    case ArgMode::Output: return true;
    default: return object.transferKind == Access::Variable;
  }
}


// A value of the list that the list owns as a temporary and whose BigInt holds more than a
// small value: its limbs may be moved to a variable instead of copied.
bool isLongTemporary(const Result& entry, const Object& value) {
  return entry.owned && entry.object == &value && !value.holdsSmallInt() && value.asInt().limbs().size() > 2;
}

// An int target and a source that is no pure expression, or whose program declined: the
// source is evaluated here, and when the assignment cannot be done with it in place the
// general path goes on with its values. Kept out of line:
// its result list would otherwise enlarge the frame of every assignment, and recursion
// through assignments is how programs go deep.
[[gnu::noinline]] void assignEvaluated(Executor& exec, TreeNode& node, const ExecContext& context,
                                       AssignmentForm& form, Object& object) {
  ResultList evaluated;
  exec.evaluate(*form.source, context, evaluated);
  if (evaluated.size() == 1) {
    Object& source = evaluated[0].object->resolve(true);
    std::int64_t value, current;
    if (source.base() == 'i' && source.value != nullptr) {
      if (form.op == '=') {
        // Any size, empty too. A long temporary's limbs are taken over instead of copied.
        if (isLongTemporary(evaluated[0], source)) object.asInt() = std::move(source.asInt());
        else if (&source != &object) copyValue(object, source);
        return;
      }
      if (source.readSmallInt(value) && object.readSmallInt(current) && combineSmallInts(form.op, current, value, value)) {
        object.setSmallInt(value);
        return;
      }
    }
  }
  runGeneralAssignment(exec, node, context, &evaluated);
}

// An int target and a source whose fast program calls functions. The calls are made once:
// when the program declines, the general path takes their results from the replay; when the
// program answers, the calls may have changed the target, which is looked at again.
[[gnu::noinline]] void assignWithCalls(Executor& exec, TreeNode& node, const ExecContext& context,
                                       AssignmentForm& form) {
  CallReplay made;
  std::int64_t value, current;
  if (!form.program->run(exec, context, value, made)) {
    ReplayScope replay(exec, made);
    runGeneralAssignment(exec, node, context, nullptr);
    return;
  }
  Object* variable = currentVariable(*form.target);
  if (variable != nullptr && variable->typeCode == 'i' && variable->value != nullptr &&
      freelyAssignable(*form.target, *variable)) {
    if (form.op == '=') {
      variable->setSmallInt(value);
      return;
    }
    if (variable->readSmallInt(current) && combineSmallInts(form.op, current, value, current)) {
      variable->setSmallInt(current);
      return;
    }
  }
  ResultList evaluated;
  evaluated.pushOwned(makeInt(static_cast<long long>(value)), Access::ConstResult);
  runGeneralAssignment(exec, node, context, &evaluated);
}

// Assigns the value of the form's call-free program in place; false, with nothing changed,
// when the program declines or the compound result is no small int.
bool assignWords(const AssignmentForm& form, Object& variable) {
  std::int64_t value, current;
  if (!form.program->run(value)) return false;
  if (form.op != '=' && (!variable.readSmallInt(current) || !combineSmallInts(form.op, current, value, value)))
    return false;
  variable.setSmallInt(value);
  return true;
}

// Runs the compiled form; false when the statement must take the general path (nothing has
// changed then).
bool runCompiledAssignment(Executor& exec, TreeNode& node, const ExecContext& context) {
  AssignmentForm* form = assignmentFormOf(node);
  if (form == nullptr) return false;
  Object* variable = currentVariable(*form->target);
  if (variable == nullptr) return false;
  Object& object = *variable;
  if (object.value == nullptr || !freelyAssignable(*form->target, object)) return false;
  if (form->text != nullptr) {
    if (object.typeCode != 's' || object.asStr().iterationCount > 0) return false;
    STR_DATA& text = object.asStr();
    if (form->text->op == '"') text.text += form->text->text;
    else text.text += form->text->text.empty() ? '\0' : form->text->text[0];
    text.restartReading();
    return true;
  }
  if (object.typeCode != 'i') return false;
  if (form->program == nullptr) {
    assignEvaluated(exec, node, context, *form, object);
    return true;
  }
  if (form->program->hasCalls()) {
    assignWithCalls(exec, node, context, *form);
    return true;
  }
  // Values beyond the machine word (the program has done nothing): the source is evaluated,
  // and a long result is taken over instead of copied.
  if (!assignWords(*form, object)) assignEvaluated(exec, node, context, *form, object);
  return true;
}

// `l = 1, 2, 3`: a single list target takes every source value as its elements, or one
// list source as a copy. Out of line, so that its locals stay off the frames of the
// assignments that recurse.
[[gnu::noinline]] void assignToList(Executor& exec, TreeNode& node, Result& targetEntry, SideValues& sources,
                                    const std::string& name, const char* wordKey) {
  Result* target = &targetEntry;
  int kind = Transfer::Copy;
  ResultList all;
  sources.evaluateAll(all);
  bool oneList = all.size() == 1 && all[0].object->resolve(true).base() == 'l';
  Failure failure = checkModifiable(*target, message(wordKey));
  if (!failure && holdsIteratedValue(target->object->resolve(true)))
    failure = std::string(message(wordKey)) + " " + message("unzwaeite");
  if (!failure && oneList) failure = transfer(*target->object, *all[0].object, kind);
  if (failure) exec.raise(node, NameKind::Operator, name, failure.text());
  if (oneList) return;
  ListRecord fresh;
  for (Result& entry : all) {
    // A temporary (the values of `s.split(...)`, say) is dropped afterwards: its value moves.
    bool temporary = entry.owned && !entry.object->isIndirection() && entry.object->value != nullptr;
    failure = fresh.append(*entry.object, temporary ? Transfer::Move : Transfer::ReferenceOrCopy);
    if (failure) exec.raise(node, NameKind::Operator, name, failure.text());
  }
  Object& listObject = target->object->resolve(true);
  if (listObject.value == nullptr) listObject.createPayload();  // an undefined list gets a value
  ListRecord& list = listObject.asList();
  list.clear();
  list.appendAll(fresh);
}

// The assignment over evaluated sides, for every form of the statement. `evaluatedSource`,
// when given, holds the values of the one-element source side, evaluated already.
void runGeneralAssignment(Executor& exec, TreeNode& node, const ExecContext& context, ResultList* evaluatedSource) {
  std::string name(1, node.op);
  if (node.op2) name += node.op2;
  bool compound = node.op2 == '=';
  int kind = Transfer::Copy;
  const char* wordKey = "zuw";
  switch (node.op) {
    case '@': kind = Transfer::Reference; wordKey = "ref"; break;
    case '$': kind = Transfer::Alias; wordKey = "ali"; break;
    case '~': kind = Transfer::Move; wordKey = "versch"; break;
    case '?': kind = Transfer::ReferenceOrCopy; break;
    default: break;
  }
  SideValues targets(exec, node.left.get(), context);
  SideValues sources(exec, node.right.get(), context);
  if (evaluatedSource != nullptr) sources.preset(std::move(*evaluatedSource));

  Result* target = targets.next();
  if (target == nullptr) return;
  // A single list target receives all source values unless the source is exactly one list.
  if (!compound && kind == Transfer::Copy && targets.elementCount() == 1 &&
      target->object->resolve(true).base() == 'l') {
    assignToList(exec, node, *target, sources, name, wordKey);
    return;
  }
  while (target != nullptr) {
    Result* source = sources.next();
    if (source == nullptr) return;
    if (node.op == '?') wordKey = isReferenceCode(source->object->typeCode) ? "ref" : "zuw";
    Failure failure;
    if (!isModifiable(*target)) failure = checkModifiable(*target, message(wordKey));
    if (!failure) failure = parameterRestriction(*target, *source, node.op);
    if (!failure && kind == Transfer::Move) failure = sourceRestriction(*source, wordKey);
    if (!failure && (kind == Transfer::Reference || kind == Transfer::Alias))
      failure = constantSourceRestriction(*source);
    if (!failure) failure = iterationRestriction(*target, *source, node.op, wordKey);
    if (!failure) {
      // A place a method yields (`l.get(1)`) is a temporary call-alias of the element: a
      // reference, alias or movement binds the element itself, not the place.
      Result place = *target;
      if (target->owned && isCallAliasCode(place.object->typeCode) && place.object->value != nullptr &&
          kind != Transfer::Copy)
        place = Result{place.object->target(), target->access, false};
      if (compound) failure = applyCompound(exec, node, node.op, *target->object, *source->object);
      else if (kind == Transfer::Move) failure = moveOnePair(exec, node, place, *source);
      else failure = transfer(*place.object, *source->object, kind);
    }
    if (failure) exec.raise(node, NameKind::Operator, name, failure.text());
    target = targets.next();
  }
}

}  // namespace

bool assignInPlace(TreeNode& node) {
  const CompiledForm* compiled = node.compiled.get();
  if (compiled == nullptr || compiled->part == nullptr || compiled->part->kind != CompiledPart::Kind::Assignment)
    return false;
  const auto& form = static_cast<const AssignmentForm&>(*compiled->part);
  if (form.program == nullptr || form.program->hasCalls()) return false;
  Object* variable = currentVariable(*form.target);
  return variable != nullptr && variable->typeCode == 'i' && variable->value != nullptr &&
         freelyAssignable(*form.target, *variable) && assignWords(form, *variable);
}

void execAssignmentStatement(Executor& exec, TreeNode& node, const ExecContext& context) {
  if (!runCompiledAssignment(exec, node, context)) runGeneralAssignment(exec, node, context, nullptr);
}

}  // namespace kavor
