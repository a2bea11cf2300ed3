// Compiling and running the fast programs of pure int and bool expressions.
#include "exec/fast_values.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/object.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/executor.h"
#include "exec/word_routines.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"

namespace kavor {

namespace {

// Deeper expressions take the general path: the compiler recurses, and the run keeps its
// stack in a fixed array.
constexpr int kMaxDepth = 24;

// The value of a variable's current Object when it is a small defined int.
inline bool readInt(const TreeNode& definition, std::int64_t& out) {
  Object* variable = currentVariable(definition);
  if (variable == nullptr) return false;
  // The commonest case first: a declared int holding its small value itself.
  if (variable->typeCode == 'i' && variable->holdsSmallInt()) {
    out = static_cast<std::int64_t>(variable->word);
    return out != kEmptySmallInt;
  }
  Object& value = variable->isIndirection() ? variable->resolve(true) : *variable;
  // An int held by an `any` (a list element, say) is an operand like any other int.
  if ((value.typeCode != 'i' && value.typeCode != 'I') || value.value == nullptr) return false;
  return value.readSmallInt(out);
}

bool readBool(const TreeNode& definition, std::int64_t& out) {
  Object* variable = currentVariable(definition);
  if (variable == nullptr) return false;
  Object& value = variable->isIndirection() ? variable->resolve(true) : *variable;
  if ((value.typeCode != 'b' && value.typeCode != 'B') || value.value == nullptr || value.word > 1)
    return false;  // 65535: empty
  out = value.word;
  return true;
}

}  // namespace

std::unique_ptr<FastProgram> FastProgram::compile(const TreeNode& node, bool asCode) {
  auto program = std::make_unique<FastProgram>();
  bool yieldsBool = false;
  if (!program->emit(node, true, asCode, 0, yieldsBool)) return nullptr;
  program->yieldsBool_ = yieldsBool;
  program->callsAllowed_ = false;
  const std::vector<Step>& steps = program->steps_;
  program->variableOpConstant_ = steps.size() == 3 && steps[0].op == Op::IntVariable &&
                                 steps[1].op == Op::Constant && steps[2].op == Op::Binary;
  program->singleVariable_ = steps.size() == 1 && steps[0].op == Op::IntVariable;
  return program;
}

bool FastProgram::emit(const TreeNode& node, bool root, bool asCode, int depth, bool& yieldsBool) {
  if (depth >= kMaxDepth) return false;
  if (node.curlyBlock && !(root && asCode)) return false;
  if (node.isNumber()) {
    std::int64_t value;
    if (!node.constant || node.constant->typeCode != 'i' || !node.constant->readSmallInt(value)) return false;
    steps_.push_back({Op::Constant, WordOp::Add, value, nullptr});
    yieldsBool = false;
    return true;
  }
  if (isPlainName(node)) {
    if (node.text == "true" || node.text == "false") {
      steps_.push_back({Op::Constant, WordOp::Add, node.text == "true" ? 1 : 0, nullptr});
      yieldsBool = true;
      return true;
    }
    const TreeNode* definition = node.binding;
    if (definition == nullptr || node.text == "this") return false;
    // An `any` variable is read as an int: when it holds something else the program declines.
    if (definition->varCode != 'i' && definition->varCode != 'b' && definition->varCode != 'v') return false;
    yieldsBool = definition->varCode == 'b';
    steps_.push_back({yieldsBool ? Op::BoolVariable : Op::IntVariable, WordOp::Add, 0, definition});
    return true;
  }
  if (isCallForm(node)) return !node.curlyBlock && emitCall(node, asCode, depth) && !(yieldsBool = false);
  WordOperator word;
  if (!wordOperatorOf(node, word)) return false;
  bool unary = word.form != WordOperator::Form::Binary;
  bool boolOperands = word.boolOperands;
  bool operandBool = false;
  size_t leftStart = steps_.size();
  if (!unary) {
    if (!emit(*node.left, false, asCode, depth + 1, operandBool) || operandBool != boolOperands) return false;
  }
  size_t rightStart = steps_.size();
  if (!emit(*node.right, false, asCode, depth + 1, operandBool) || operandBool != boolOperands) return false;
  // An operator reads a variable operand when it applies, after both operands were
  // evaluated: a call in the right operand may change the variable on the left first.
  bool leftVariable = !unary && rightStart == leftStart + 1 &&
                      (steps_[leftStart].op == Op::IntVariable || steps_[leftStart].op == Op::BoolVariable);
  if (leftVariable && std::any_of(steps_.begin() + static_cast<std::ptrdiff_t>(rightStart), steps_.end(),
                                  [](const Step& step) { return step.op == Op::Call; })) {
    std::rotate(steps_.begin() + static_cast<std::ptrdiff_t>(leftStart),
                steps_.begin() + static_cast<std::ptrdiff_t>(rightStart), steps_.end());
    steps_.push_back({Op::Swap, WordOp::Add, 0, nullptr});
  }
  switch (word.form) {
    case WordOperator::Form::Binary: steps_.push_back({Op::Binary, word.op, 0, nullptr}); break;
    case WordOperator::Form::Negate: steps_.push_back({Op::Negate, WordOp::Add, 0, nullptr}); break;
    case WordOperator::Form::Not: steps_.push_back({Op::Not, WordOp::Add, 0, nullptr}); break;
    case WordOperator::Form::Plus: break;  // unary plus: the value itself
  }
  yieldsBool = word.boolResult;
  return true;
}

bool FastProgram::emitCall(const TreeNode& call, bool asCode, int depth) {
  if (!callsAllowed_ || call.op != '(') return false;
  // A built-in function or type answers its own name: no program routine takes words there.
  if (builtinFunction(call.text) != nullptr || typeCodeOf(call.text) != 'k') return false;
  int calls = 0;
  for (const Step& step : steps_) calls += step.op == Op::Call;
  if (calls >= kMaxCalls) return false;
  const std::vector<TreeNode*>& arguments = argumentsOf(const_cast<TreeNode&>(call));
  if (arguments.empty() || arguments.size() > RoutineCache::kMaxArguments) return false;
  // Arguments are pure: evaluating them again on the general path changes nothing. A bare
  // name binds as a call-alias, never as a word.
  callsAllowed_ = false;
  bool pure = true;
  for (const TreeNode* argument : arguments) {
    bool argumentBool = false;
    pure = pure && !isPlainName(*argument) && !argument->curlyBlock &&
           emit(*argument, false, asCode, depth + 1, argumentBool);
  }
  callsAllowed_ = true;
  if (!pure) return false;
  steps_.push_back({Op::Call, WordOp::Add, static_cast<std::int64_t>(arguments.size()), &call});
  hasCalls_ = true;
  return true;
}

bool wordOperatorOf(const TreeNode& node, WordOperator& out) {
  if (!node.text.empty() || node.isLiteral() || node.isNumber() || !node.right) return false;
  using Form = WordOperator::Form;
  WordOperator word;
  char a = node.op, b = node.op2;
  if (b == 0) {
    switch (a) {
      case '+': word.op = WordOp::Add; break;
      case '-': word.op = WordOp::Subtract; break;
      case '*': word.op = WordOp::Multiply; break;
      case '/': word.op = WordOp::Divide; break;
      case '%': word.op = WordOp::Remainder; break;
      case '^': word.op = WordOp::Power; break;
      case '<': word.op = WordOp::Less; word.boolResult = true; break;
      case '>': word.op = WordOp::Greater; word.boolResult = true; break;
      case '!': word.form = Form::Not; word.boolOperands = word.boolResult = true; break;
      default: return false;
    }
  } else if (a == '<' && b == '=') { word.op = WordOp::LessEqual; word.boolResult = true; }
  else if (a == '>' && b == '=') { word.op = WordOp::GreaterEqual; word.boolResult = true; }
  else if (a == '=' && b == '=') { word.op = WordOp::Equal; word.boolResult = true; }
  else if (a == '!' && b == '=') { word.op = WordOp::NotEqual; word.boolResult = true; }
  else if (a == '-' && b == '-') word.form = Form::Negate;
  else if (a == '+' && b == '+') word.form = Form::Plus;
  else return false;
  bool unary = word.form != Form::Binary;
  if (unary != !node.left) return false;
  out = word;
  return true;
}


namespace {

// The one small int a call yielded, as a word; false for anything else.
bool smallResult(ResultList& results, std::int64_t& word) {
  if (results.size() != 1) return false;
  const Object& value = *results[0].object;
  return value.base() == 'i' && !value.isIndirection() && value.value != nullptr && value.readSmallInt(word);
}

}  // namespace

template <bool WithCalls>
bool FastProgram::execute(Executor* exec, const ExecContext* context, std::int64_t& value, CallReplay* made) const {
  std::int64_t stack[kMaxDepth + 2];
  int top = -1;
  // The calls made afresh so far and their words, recorded only when the program declines;
  // and where this run stands in an enclosing fallback's replay.
  [[maybe_unused]] const TreeNode* calls[kMaxCalls];
  [[maybe_unused]] std::int64_t callWords[kMaxCalls];
  [[maybe_unused]] int callCount = 0;
  [[maybe_unused]] CallReplay* replay = WithCalls ? exec->replay : nullptr;
  [[maybe_unused]] size_t replayed = replay != nullptr ? replay->position() : 0;
  // Hands the calls made so far to the general path, which finishes the expression.
  auto decline = [&](const TreeNode* failedCall, ResultList* failedResults) {
    if constexpr (WithCalls) {
      CallReplay& into = replay != nullptr ? *replay : *made;
      for (int i = 0; i < callCount; ++i) into.recordSmallInt(*calls[i], callWords[i]);
      if (failedCall != nullptr) into.record(*failedCall, *failedResults);
    }
    return false;
  };
  for (const Step& step : steps_) {
    switch (step.op) {
      case Op::Constant: stack[++top] = step.constant; continue;
      case Op::IntVariable:
        if (!readInt(*step.definition, stack[++top])) return decline(nullptr, nullptr);
        continue;
      case Op::BoolVariable:
        if (!readBool(*step.definition, stack[++top])) return decline(nullptr, nullptr);
        continue;
      case Op::Negate:
        if (stack[top] == INT64_MIN) return decline(nullptr, nullptr);
        stack[top] = -stack[top];
        continue;
      case Op::Not: stack[top] = !stack[top]; continue;
      case Op::Swap: std::swap(stack[top], stack[top - 1]); continue;
      case Op::Call:
        if constexpr (WithCalls) {
          auto& call = const_cast<TreeNode&>(*step.definition);
          top -= static_cast<int>(step.constant);
          std::int64_t word;
          // A call this run already made before, on the way to the fallback running it now.
          if (replay != nullptr && callCount == 0 && !replay->endsAt(replayed)) {
            if (!replay->smallIntAt(replayed, call, word)) return false;
            ++replayed;
            stack[++top] = word;
            continue;
          }
          const CompiledForm* form = call.compiled.get();
          Routine* routine = form != nullptr ? form->wordCallRoutine : nullptr;
          // A type's routine runs on the object of the routine that calls it: the general path.
          if (routine == nullptr || routine->ownerType != nullptr) {
            // The node chose a routine that takes no words here: it never will.
            if (form != nullptr && form->routineCache.routine != nullptr) callsDecline_ = true;
            return decline(nullptr, nullptr);
          }
          // A function with word code computes its value here, without Objects; when the code
          // declines, the general call below runs it from the start.
          WordRoutine* code = WordRoutine::of(*routine);
          if (code != nullptr && code->run(*exec, &stack[top + 1], word)) {
            calls[callCount] = &call;
            callWords[callCount++] = word;
            stack[++top] = word;
            continue;
          }
          ResultList results;
          {
            ReplayPause pause(*exec);
            callWithWordValues(*exec, call, *routine, *context, &stack[top + 1], results);
          }
          if (!smallResult(results, word)) return decline(&call, &results);
          calls[callCount] = &call;
          callWords[callCount++] = word;
          stack[++top] = word;
          continue;
        } else {
          return false;
        }
      case Op::Binary: break;
    }
    std::int64_t right = stack[top--];
    if (!applyWordOp(step.binary, stack[top], right, stack[top])) return decline(nullptr, nullptr);
  }
  // Intermediate values use the whole machine range; the value handed on must be small.
  value = stack[top];
  if (!isSmallWord(value)) return decline(nullptr, nullptr);
  if constexpr (WithCalls) {
    if (replay != nullptr) replay->advanceTo(replayed);
  }
  return true;
}

bool FastProgram::run(std::int64_t& value) const {
  // The commonest shapes run here, without the frame of the general loop.
  if (singleVariable_) return readInt(*steps_[0].definition, value) && isSmallWord(value);
  if (variableOpConstant_) {
    std::int64_t operand;
    return readInt(*steps_[0].definition, operand) &&
           applyWordOp(steps_[2].binary, operand, steps_[1].constant, value) && isSmallWord(value);
  }
  return execute<false>(nullptr, nullptr, value, nullptr);
}

bool FastProgram::run(Executor& exec, const ExecContext& context, std::int64_t& value, CallReplay& made) const {
  if (!hasCalls_) return run(value);
  if (callsDecline_) return false;
  return execute<true>(&exec, &context, value, &made);
}

bool CallReplay::smallIntAt(size_t at, const TreeNode& call, std::int64_t& word) const {
  if (at >= entries_.size() || entries_[at].call != &call || entries_[at].values.size() != 1) return false;
  const Object& value = *entries_[at].values[0];
  return value.base() == 'i' && !value.isIndirection() && value.value != nullptr && value.readSmallInt(word);
}

void CallReplay::record(const TreeNode& call, ResultList& results) {
  Entry entry{&call, {}, {}};
  for (size_t i = 0; i < results.size(); ++i) {
    // A function's values are its own temporaries; anything else is kept as a copy.
    std::unique_ptr<Object> value = results.take(i);
    if (value == nullptr) {
      value = std::make_unique<Object>();
      value->constructLike(*results[i].object);
    }
    entry.values.push_back(std::move(value));
    entry.access.push_back(results[i].access);
  }
  entries_.push_back(std::move(entry));
}

void CallReplay::recordSmallInt(const TreeNode& call, std::int64_t word) {
  Entry entry{&call, {}, {Access::ConstResult}};
  entry.values.push_back(intResultOf(word));
  entries_.push_back(std::move(entry));
}

bool CallReplay::replay(const TreeNode& call, ResultList& results) {
  if (empty() || entries_[next_].call != &call) return false;
  Entry& entry = entries_[next_++];
  for (size_t i = 0; i < entry.values.size(); ++i) results.pushOwned(std::move(entry.values[i]), entry.access[i]);
  return true;
}

ReplayScope::ReplayScope(Executor& exec, CallReplay& replay) : exec_(exec), saved_(exec.replay) {
  if (saved_ == nullptr && !replay.empty()) exec.replay = &replay;
}

ReplayScope::~ReplayScope() { exec_.replay = saved_; }

ReplayPause::ReplayPause(Executor& exec) : exec_(exec), saved_(exec.replay) { exec.replay = nullptr; }

ReplayPause::~ReplayPause() { exec_.replay = saved_; }

std::unique_ptr<Object> intResultOf(std::int64_t word) {
  std::unique_ptr<Object> value = makeInt(static_cast<long long>(word));
  value->typeCode = heldCode('i');
  return value;
}


FastProgram* fastProgramOf(TreeNode& node, bool asCode) {
  CompiledForm& compiled = node.form();
  if (!compiled.part) {
    auto form = std::make_unique<FastExpressionForm>();
    form->program = FastProgram::compile(node, asCode);
    compiled.part = std::move(form);
  }
  if (compiled.part->kind != CompiledPart::Kind::FastExpression) return nullptr;
  return static_cast<FastExpressionForm*>(compiled.part.get())->program.get();
}

}  // namespace kavor
