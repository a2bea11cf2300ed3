// Compiling functions to word code and running it.
#include "exec/word_routines.h"

#include <algorithm>

#include "analysis/symbol_table.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/executor.h"
#include "frontend/tree_shapes.h"

namespace kavor {

namespace {

// A variable without a value: what a declared int or bool, or an output, starts as. No
// computed value is stored as it (a store declines instead).
constexpr std::int64_t kEmpty = INT64_MIN;
// Deeper expressions are left to the general path: the compiler recurses.
constexpr int kMaxNesting = 24;

}  // namespace

// Builds the steps of one routine. Every method returns false for a form that word code
// does not cover; the routine then has no word code.
class WordCompiler {
 public:
  WordCompiler(Routine& routine, WordRoutine& code) : routine_(routine), code_(code) {}

  bool compile() {
    const Routine& routine = routine_;
    if (!routine.isFunction || routine.ownerType != nullptr || routine.argsIndex >= 0 || routine.body == nullptr ||
        routine.body->symbols == nullptr || routine.outputs.size() != 1)
      return false;
    scope_ = routine.body->symbols.get();
    if (scope_->allocation.size() > WordRoutine::kMaxSlots) return false;
    code_.slotCount_ = static_cast<uint16_t>(scope_->allocation.size());
    for (const Parameter& input : routine.inputs) {
      uint16_t slot;
      char code;
      if (input.mode != ArgMode::ConstInput || !ownVariable(*input.nameNode, slot, code)) return false;
      code_.inputSlots_.push_back(slot);
    }
    const Parameter& output = routine.outputs[0];
    char outputCode;
    if (output.mode != ArgMode::Output || !ownVariable(*output.nameNode, code_.resultSlot_, outputCode) ||
        outputCode != 'i')
      return false;
    for (TreeNode* statement : statementsOf(*routine.body))
      if (!compileStatement(*statement)) return false;
    return true;
  }

 private:
  using Code = WordRoutine::Code;
  using Step = WordRoutine::Step;

  // Appends a step, keeping count of the values it leaves on the stack.
  bool emit(Code code, int stackEffect, uint16_t slot = 0, std::int64_t constant = 0, WordOp op = WordOp::Add,
            WordRoutine* callee = nullptr) {
    code_.steps_.push_back(Step{code, op, slot, 0, constant, callee});
    depth_ += stackEffect;
    return depth_ <= WordRoutine::kMaxStack;
  }
  int32_t here() const { return static_cast<int32_t>(code_.steps_.size()); }
  // Makes the jump at `step` go on at `target`.
  void patch(int32_t step, int32_t target) { code_.steps_[static_cast<size_t>(step)].target = target; }
  bool newSlots(int count, uint16_t& first) {
    if (code_.slotCount_ + count > WordRoutine::kMaxSlots) return false;
    first = code_.slotCount_;
    code_.slotCount_ = static_cast<uint16_t>(code_.slotCount_ + count);
    return true;
  }

  // The routine's own int or bool variable that `name` denotes.
  bool ownVariable(const TreeNode& name, uint16_t& slot, char& code) const {
    const TreeNode* definition = name.binding;
    if (definition == nullptr || definition->slotScope != scope_ || definition->slot < 0) return false;
    if (definition->varCode != 'i' && definition->varCode != 'b') return false;
    slot = static_cast<uint16_t>(definition->slot);
    code = definition->varCode;
    return true;
  }
  // The same for a variable assignments may change: no input.
  bool assignableVariable(const TreeNode& name, uint16_t& slot, char& code) const {
    if (!isPlainName(name) || name.curlyBlock || name.text == "this" || !ownVariable(name, slot, code)) return false;
    int mode = name.binding->argMode;
    return mode == 0 || mode == ArgMode::Output;
  }

  bool compileBlock(TreeNode& block) {
    if (!block.curlyBlock || (block.symbols != nullptr && !block.symbols->allocation.empty())) return false;
    for (TreeNode* statement : statementsOf(block))
      if (!compileStatement(*statement)) return false;
    return true;
  }

  // A statement may be the content root of its block, flagged as "{ }": that changes
  // nothing about it.
  bool compileStatement(TreeNode& node) {
    if (isDeclaration(node)) return compileDeclaration(node);
    if (node.op == '(' && !node.text.empty() && !node.moduleName) {
      // A procedure of the program's own takes the place of the built-in statement.
      if (programDefinesProcedure(node)) return false;
      if (node.text == "if") return compileIf(node);
      if (node.text == "while") return compileWhile(node);
      if (node.text == "for") return compileFor(node);
      return false;
    }
    return compileAssignment(node);
  }

  // `int a, b = 1`: a name declares (nothing to run), an assignment runs.
  bool compileDeclaration(TreeNode& node) {
    if (node.left->text != "int" && node.left->text != "bool") return false;
    for (TreeNode* item : rightItemsOf(node)) {
      if (isPlainName(*item)) continue;
      if (item->op != '=' || item->op2 != 0 || !compileAssignment(*item)) return false;
    }
    return true;
  }

  // `x = e` for an int or bool variable, `x += e`, `x -= e`, `x *= e` for an int one.
  bool compileAssignment(TreeNode& node) {
    bool plain = node.op == '=' && node.op2 == 0;
    bool compound = node.op2 == '=' && (node.op == '+' || node.op == '-' || node.op == '*');
    if ((!plain && !compound) || !node.text.empty() || node.isLiteral() || !node.left || !node.right) return false;
    uint16_t slot;
    char code;
    if (!assignableVariable(*node.left, slot, code) || (compound && code != 'i')) return false;
    if (isOperatorNode(*node.right, ',')) return false;
    if (compound && !emit(Code::Load, 1, slot)) return false;
    bool yieldsBool = false;
    if (!compileExpression(*node.right, false, yieldsBool, 0) || yieldsBool != (code == 'b')) return false;
    if (compound) {
      WordOp op = node.op == '+' ? WordOp::Add : node.op == '-' ? WordOp::Subtract : WordOp::Multiply;
      if (!emit(Code::Binary, -1, 0, 0, op)) return false;
    }
    return emit(Code::Store, -1, slot);
  }

  // `if(c){a}` and `if(c){a}{b}`.
  bool compileIf(TreeNode& node) {
    const std::vector<TreeNode*>& args = argumentsOf(node);
    if (args.size() != 2 && args.size() != 3) return false;
    bool yieldsBool = false;
    if (!compileExpression(*args[0], false, yieldsBool, 0) || !yieldsBool) return false;
    int32_t toElse = here();
    if (!emit(Code::JumpIfFalse, -1) || !compileBlock(*args[1])) return false;
    if (args.size() == 2) {
      patch(toElse, here());
      return true;
    }
    int32_t toEnd = here();
    if (!emit(Code::Jump, 0)) return false;
    patch(toElse, here());
    if (!compileBlock(*args[2])) return false;
    patch(toEnd, here());
    return true;
  }

  // `while({c}, {body})`. The condition makes no calls: a block evaluated as a condition
  // reads differently while a call made from it is running.
  bool compileWhile(TreeNode& node) {
    const std::vector<TreeNode*>& args = argumentsOf(node);
    if (args.size() != 2 || !args[0]->curlyBlock || isEmptyBlock(*args[0])) return false;
    int32_t top = here();
    bool yieldsBool = false;
    callsAllowed_ = false;
    bool condition = compileExpression(*args[0], true, yieldsBool, 0);
    callsAllowed_ = true;
    if (!condition || !yieldsBool) return false;
    int32_t toEnd = here();
    if (!emit(Code::JumpIfFalse, -1) || !compileBlock(*args[1])) return false;
    if (!emit(Code::Jump, 0)) return false;
    patch(here() - 1, top);
    patch(toEnd, here());
    return true;
  }

  // `for(i, a .. b, {body})` over ints: the bounds are computed once, and the variable takes
  // each value of the range in turn whatever the body does to it.
  bool compileFor(TreeNode& node) {
    const std::vector<TreeNode*>& args = argumentsOf(node);
    if (args.size() != 3 || !isRangeNode(*args[1]) || !args[2]->curlyBlock) return false;
    uint16_t variable;
    char code;
    if (!assignableVariable(*args[0], variable, code) || code != 'i') return false;
    TreeNode& range = *args[1];
    bool yieldsBool = false;
    if (!compileExpression(*range.left, false, yieldsBool, 0) || yieldsBool) return false;
    if (!compileExpression(*range.right, false, yieldsBool, 0) || yieldsBool) return false;
    uint16_t counter;
    if (!newSlots(3, counter)) return false;
    std::int64_t direction = range.op == ':' ? 2 : range.op2 == ':' ? 1 : 0;
    int32_t start = here();
    if (!emit(Code::CountStart, -2, counter, direction)) return false;
    int32_t loop = here();
    if (!emit(Code::Load, 1, counter) || !emit(Code::Store, -1, variable) || !compileBlock(*args[2])) return false;
    if (!emit(Code::CountNext, 0, counter)) return false;
    patch(here() - 1, loop);
    patch(start, here());
    return true;
  }

  // An int or bool expression; `yieldsBool` tells which. A "{ }" group is a code value,
  // except the root of a condition block (`asCondition`).
  bool compileExpression(TreeNode& node, bool asCondition, bool& yieldsBool, int nesting) {
    if (nesting >= kMaxNesting || (node.curlyBlock && !asCondition)) return false;
    if (node.isNumber()) {
      std::int64_t value;
      if (!node.constant || node.constant->typeCode != 'i' || !node.constant->readSmallInt(value)) return false;
      yieldsBool = false;
      return emit(Code::Constant, 1, 0, value);
    }
    if (isPlainName(node)) {
      if (node.text == "true" || node.text == "false") {
        yieldsBool = true;
        return emit(Code::Constant, 1, 0, node.text == "true" ? 1 : 0);
      }
      uint16_t slot;
      char code;
      if (node.text == "this" || !ownVariable(node, slot, code)) return false;
      yieldsBool = code == 'b';
      return emit(Code::Load, 1, slot);
    }
    if (isCallForm(node)) {
      yieldsBool = false;
      return !node.curlyBlock && compileCall(node, nesting);
    }
    WordOperator word;
    if (!wordOperatorOf(node, word)) return false;
    bool operandBool = false;
    size_t leftStart = code_.steps_.size();
    if (word.form == WordOperator::Form::Binary &&
        (!compileExpression(*node.left, false, operandBool, nesting + 1) || operandBool != word.boolOperands))
      return false;
    size_t rightStart = code_.steps_.size();
    if (!compileExpression(*node.right, false, operandBool, nesting + 1) || operandBool != word.boolOperands)
      return false;
    yieldsBool = word.boolResult;
    std::vector<Step>& steps = code_.steps_;
    switch (word.form) {
      case WordOperator::Form::Binary:
        // `n - 1`, `i < 10`: one step instead of three.
        if (rightStart == leftStart + 1 && steps.size() == rightStart + 1 && steps[leftStart].code == Code::Load &&
            steps[rightStart].code == Code::Constant) {
          steps[leftStart].code = Code::LoadOpConstant;
          steps[leftStart].op = word.op;
          steps[leftStart].constant = steps[rightStart].constant;
          steps.pop_back();
          --depth_;
          return true;
        }
        return emit(Code::Binary, -1, 0, 0, word.op);
      case WordOperator::Form::Negate: return emit(Code::Negate, 0);
      case WordOperator::Form::Not: return emit(Code::Not, 0);
      case WordOperator::Form::Plus: return true;  // the value itself
    }
    return false;
  }

  // A call of a function that takes its arguments as words and has word code itself.
  bool compileCall(TreeNode& call, int nesting) {
    if (!callsAllowed_ || call.op != '(') return false;
    // A built-in function or type answers its own name.
    if (builtinFunction(call.text) != nullptr || typeCodeOf(call.text) != 'k') return false;
    const std::vector<TreeNode*>& arguments = argumentsOf(call);
    if (arguments.size() > RoutineCache::kMaxArguments) return false;
    char codes[RoutineCache::kMaxArguments];
    for (size_t i = 0; i < arguments.size(); ++i) {
      bool yieldsBool = false;
      if (!compileExpression(*arguments[i], false, yieldsBool, nesting + 1)) return false;
      codes[i] = yieldsBool ? 'b' : 'i';
    }
    Routine* routine = routineForWords(call, codes, arguments.size());
    if (routine == nullptr) return false;
    WordRoutine* callee = WordRoutine::link(*routine);
    if (callee == nullptr) return false;
    int count = static_cast<int>(arguments.size());
    return emit(Code::Call, 1 - count, static_cast<uint16_t>(count), 0, WordOp::Add, callee);
  }

  Routine& routine_;
  WordRoutine& code_;
  SymbolTable* scope_ = nullptr;  // the routine's scope: its variables are the word variables
  int depth_ = 0;                 // values on the stack after the steps so far
  bool callsAllowed_ = true;      // cleared while a while condition is compiled
};

WordRoutine* WordRoutine::link(Routine& routine) {
  if (routine.wordForm != nullptr) {
    if (routine.wordForm->kind != Kind::WordRoutine) return nullptr;
    auto* code = static_cast<WordRoutine*>(routine.wordForm.get());
    return code->usable_ || code->compiling_ ? code : nullptr;
  }
  // In place before compiling, so that a call of the routine from its own body links to it.
  auto form = std::make_unique<WordRoutine>();
  WordRoutine* code = form.get();
  routine.wordForm = std::move(form);
  code->compiling_ = true;
  bool compiled = WordCompiler(routine, *code).compile();
  code->compiling_ = false;
  code->usable_ = compiled;
  if (!compiled) code->steps_.clear();
  return compiled ? code : nullptr;
}

WordRoutine* WordRoutine::of(Routine& routine) {
  WordRoutine* code = link(routine);
  return code != nullptr && code->usable_ ? code : nullptr;
}

bool WordRoutine::run(Executor& exec, const std::int64_t* arguments, std::int64_t& result) {
  if (!usable_) return false;
  // The general path raises "Stack overflow" beyond this distance; word code leaves it to that.
  if (exec.beyondStackLimit()) return decline();

  std::int64_t slots[kMaxSlots];
  std::fill(slots, slots + slotCount_, kEmpty);
  for (size_t i = 0; i < inputSlots_.size(); ++i) slots[inputSlots_[i]] = arguments[i];
  std::int64_t stack[kMaxStack];
  int top = -1;
  const Step* steps = steps_.data();
  const Step* end = steps + steps_.size();
  for (const Step* step = steps; step < end;) {
    const Step& s = *step++;
    switch (s.code) {
      case Code::Constant: stack[++top] = s.constant; break;
      case Code::Load:
        if (slots[s.slot] == kEmpty) return decline();
        stack[++top] = slots[s.slot];
        break;
      case Code::LoadOpConstant:
        if (slots[s.slot] == kEmpty || !applyWordOp(s.op, slots[s.slot], s.constant, stack[top + 1])) return decline();
        ++top;
        break;
      case Code::Store:
        if (stack[top] == kEmpty) return decline();
        slots[s.slot] = stack[top--];
        break;
      case Code::Binary:
        --top;
        if (!applyWordOp(s.op, stack[top], stack[top + 1], stack[top])) return decline();
        break;
      case Code::Negate:
        if (stack[top] == INT64_MIN) return decline();
        stack[top] = -stack[top];
        break;
      case Code::Not: stack[top] = !stack[top]; break;
      case Code::Call: {
        top -= s.slot;
        if (!s.callee->run(exec, &stack[top + 1], stack[top + 1])) return decline();
        ++top;
        break;
      }
      case Code::Jump:
        // A jump back closes a loop: a limit lowered meanwhile (a harness stopping a long
        // run) stops the loop as it stops statements.
        if (s.target < step - steps - 1 && exec.beyondStackLimit()) return decline();
        step = steps + s.target;
        break;
      case Code::JumpIfFalse:
        if (stack[top--] == 0) step = steps + s.target;
        break;
      case Code::CountStart: {
        std::int64_t first = stack[top - 1], last = stack[top];
        top -= 2;
        if ((first < last && s.constant == 2) || (first > last && s.constant == 1)) {
          step = steps + s.target;
          break;
        }
        slots[s.slot] = first;
        slots[s.slot + 1] = last;
        slots[s.slot + 2] = first <= last ? 1 : -1;
        break;
      }
      case Code::CountNext:
        if (slots[s.slot] != slots[s.slot + 1]) {
          if (exec.beyondStackLimit()) return decline();
          slots[s.slot] += slots[s.slot + 2];
          step = steps + s.target;
        }
        break;
    }
  }
  result = slots[resultSlot_];
  if (result == kEmpty || !isSmallWord(result)) return decline();
  return true;
}

}  // namespace kavor
