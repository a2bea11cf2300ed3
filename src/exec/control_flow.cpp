// The branch and loop statements `if`, `while` and `for`.
//
// Each has a general path over evaluated arguments (code values, checked like any built-in
// procedure's arguments) and a compiled form for the way programs nearly always write them:
// bodies as literal blocks, run directly without code values; conditions that are pure int
// and bool expressions computed by their fast programs; and `for(i, a .. b, {...})` counting
// without building the range. A compiled form takes its general path, with the values it
// has already evaluated, whenever something is not as it expects, so both give the same
// results, messages and positions.
#include <optional>

#include "core/containers.h"
#include "core/messages.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/fast_values.h"
#include "exec/range_values.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"

namespace kavor {

const TreeNode* codeTree(const Result& entry) { return entry.object->resolve(true).asCode().tree; }

void runCode(Executor& exec, const Result& entry, const ExecContext& context) {
  const TreeNode* tree = codeTree(entry);
  if (tree != nullptr) exec.executeBlock(const_cast<TreeNode*>(tree), context, true);
}

namespace {

// A literal block runs as the code value it would evaluate to: an empty one does nothing.
// True when every statement ran as an assignment in place: nothing can have set a control
// count or an exception then, so a loop need not look.
bool runBlock(Executor& exec, TreeNode* block, const ExecContext& context) {
  if (block == nullptr || isEmptyBlock(*block)) return true;
  if ((block->symbols != nullptr && !block->symbols->allocation.empty()) || exec.beyondStackLimit()) {
    exec.executeBlock(block, context, true);
    return false;
  }
  const std::vector<TreeNode*>& statements = statementsOf(*block);
  for (size_t i = 0; i < statements.size(); ++i) {
    if (!assignInPlace(*statements[i])) {
      exec.executeStatements(*block, context, i);
      return false;
    }
  }
  return true;
}

// A literal block evaluates to a code value unless it is itself being evaluated as code
// (codeFlag() set) at this moment; compiled forms take the general path then.
bool isPlainBlock(const TreeNode* node) { return node == nullptr || node->codeFlag() == 0; }

// The value of a pure condition, without Objects; false when it has no fast program or the
// program declines.
bool fastCondition(TreeNode& condition, bool asCode, bool& value) {
  FastProgram* program = fastProgramOf(condition, asCode);
  std::int64_t result;
  // A condition that calls functions is evaluated as an expression, where its calls can be
  // replayed when its program declines.
  if (program == nullptr || program->hasCalls() || !program->yieldsBool() || !program->run(result)) return false;
  value = result != 0;
  return true;
}

// One evaluated value that is a defined, non-empty bool: the condition the checks accept.
bool acceptedCondition(const ResultList& values, bool& value) {
  if (values.size() != 1) return false;
  Object& object = values[0].object->resolve(true);
  if (object.base() != 'b' || !object.isDefined() || object.isEmpty()) return false;
  value = object.boolValue();
  return true;
}

// The compiled form of `node`, built at its first run; null when the node has another shape.
template <class Form, CompiledPart::Kind FormKind>
Form* formOf(TreeNode& node, std::unique_ptr<Form> (*build)(TreeNode&)) {
  CompiledForm& compiled = node.form();
  if (!compiled.part) {
    std::unique_ptr<Form> form = build(node);
    if (form) compiled.part = std::move(form);
    else compiled.part = std::make_unique<CompiledPart>();
  }
  return compiled.part->kind == FormKind ? static_cast<Form*>(compiled.part.get()) : nullptr;
}

// ---- if -------------------------------------------------------------------------------

// `if(c){a}` and `if(c){a}{b}`, branches written as blocks.
struct IfForm : CompiledPart {
  IfForm() { kind = Kind::If; }
  TreeNode* condition = nullptr;  // the first argument
  TreeNode* thenBlock = nullptr;  // a literal block
  TreeNode* elseBlock = nullptr;  // a literal block, or null without an else branch
};

std::unique_ptr<IfForm> buildIf(TreeNode& node) {
  const std::vector<TreeNode*>& args = argumentsOf(node);
  if (args.size() != 2 && args.size() != 3) return nullptr;
  for (size_t i = 1; i < args.size(); ++i)
    if (!args[i]->curlyBlock) return nullptr;
  auto form = std::make_unique<IfForm>();
  form->condition = args[0];
  form->thenBlock = args[1];
  form->elseBlock = args.size() == 3 ? args[2] : nullptr;
  return form;
}

void runIfArguments(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& args) {
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:if"};
  call.require(checkCountRange(args, 2, 3));
  call.require(checkType(args, 0, 'b', true));
  call.require(checkType(args, 1, 'x', false));
  if (args.size() == 3) call.require(checkType(args, 2, 'x', false));
  if (args[0].object->resolve(true).boolValue()) runCode(exec, args[1], context);
  else if (args.size() == 3) runCode(exec, args[2], context);
}

// ---- while ----------------------------------------------------------------------------

// `while({c}, {body})`, both written as blocks, the condition not empty.
struct WhileForm : CompiledPart {
  WhileForm() { kind = Kind::While; }
  TreeNode* condition = nullptr;  // a literal block, evaluated as code each time
  TreeNode* body = nullptr;       // a literal block
};

std::unique_ptr<WhileForm> buildWhile(TreeNode& node) {
  const std::vector<TreeNode*>& args = argumentsOf(node);
  if (args.size() != 2 || !args[0]->curlyBlock || !args[1]->curlyBlock || isEmptyBlock(*args[0])) return nullptr;
  auto form = std::make_unique<WhileForm>();
  form->condition = args[0];
  form->body = args[1];
  return form;
}

// ---- for ------------------------------------------------------------------------------

// `for(i, a .. b, {body})` with a variable name, a range operator and a literal block.
struct ForForm : CompiledPart {
  ForForm() { kind = Kind::For; }
  TreeNode* variable = nullptr;  // a plain name
  TreeNode* range = nullptr;     // "..", ".:" or ":." with both operands
  TreeNode* body = nullptr;      // a literal block
};

std::unique_ptr<ForForm> buildFor(TreeNode& node) {
  const std::vector<TreeNode*>& args = argumentsOf(node);
  if (args.size() != 3 || !isPlainName(*args[0]) || !args[2]->curlyBlock) return nullptr;
  TreeNode& range = *args[1];
  if (!isRangeNode(range)) return nullptr;
  auto form = std::make_unique<ForForm>();
  form->variable = args[0];
  form->range = &range;
  form->body = args[2];
  return form;
}

// The loop over evaluated arguments: a variable, its values, the body.
void runForArguments(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& args) {
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:for"};
  call.require(checkCountRange(args, 1, -1));
  if (args.size() == 1) {
    call.require(checkType(args, 0, 'x', false));
    do {
      runCode(exec, args[0], context);
    } while (!exec.loopShouldEnd());
    return;
  }
  bool allCode = args.size() == 4;
  for (size_t i = 0; allCode && i < 4; ++i)
    allCode = args[i].object->resolve(true).base() == 'x' && args[i].object->isDefined();
  if (allCode && args[0].access <= Access::ConstObject) {
    const TreeNode* init = codeTree(args[0]);
    if (init) exec.executeBlock(const_cast<TreeNode*>(init), context, false);
    ControlState& control = exec.control;
    if (control.returnCount.present() || control.breakCount.present() || control.pending) return;
    TreeNode* condition = const_cast<TreeNode*>(codeTree(args[1]));
    while (exec.evaluateCondition(node, condition, context, "sys:for")) {
      runCode(exec, args[3], context);
      if (exec.loopShouldEnd()) break;
      if (const TreeNode* step = codeTree(args[2])) exec.executeBlock(const_cast<TreeNode*>(step), context, false);
    }
    return;
  }
  call.require(checkVariable(args, 0, false));
  call.require(checkType(args, args.size() - 1, 'x', false));
  for (size_t i = 1; i + 1 < args.size(); ++i) {
    call.require(transfer(*args[0].object, *args[i].object, Transfer::Copy));
    runCode(exec, args.back(), context);
    if (exec.loopShouldEnd()) break;
  }
}

// One argument of a general `for`: its values, or a range counted through.
struct ForItem {
  ResultList values;
  std::optional<RangeValues> range;
};

// `for(i, ..., a .. b, ..., body)` off the compiled form (a body that is a code value, several
// value arguments): a range among the values is counted through, never built, so the loop
// holds one value at a time however long the range. False, with nothing evaluated, when no
// value argument is a range. Shapes this does not fit (no variable, no code, only empty
// ranges) go on as the general path, with the ranges built.
bool runForOverRanges(Executor& exec, TreeNode& node, const ExecContext& context) {
  const std::vector<TreeNode*>& nodes = argumentsOf(node);
  if (nodes.size() < 3) return false;
  bool anyRange = false;
  for (size_t i = 1; i + 1 < nodes.size(); ++i) anyRange = anyRange || isRangeNode(*nodes[i]);
  if (!anyRange) return false;
  std::vector<ForItem> items(nodes.size());
  bool anyValue = false;
  for (size_t i = 0; i < nodes.size(); ++i) {
    TreeNode& argument = *nodes[i];
    if (i == 0 || i + 1 == nodes.size() || !isRangeNode(argument)) {
      exec.evaluate(argument, context, items[i].values);
      anyValue = anyValue || (i > 0 && i + 1 < nodes.size() && !items[i].values.empty());
      continue;
    }
    std::string name{argument.op, argument.op2};
    ResultList from, to;
    evaluateOperand(exec, argument, argument.left.get(), true, context, from, name);
    evaluateOperand(exec, argument, argument.right.get(), false, context, to, name);
    items[i].range.emplace(exec, argument, *from[0].object, *to[0].object);
    anyValue = anyValue || items[i].range->count() > 0;
  }
  ResultList& first = items.front().values;
  ResultList& last = items.back().values;
  bool loopShape = anyValue && first.size() == 1 && last.size() == 1 && !checkVariable(first, 0, false) &&
                   last[0].object->resolve(true).base() == 'x' && last[0].object->isDefined();
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:for"};
  // With values to give, the form is the loop over a variable whatever else is wrong.
  if (anyValue && first.size() == 1) call.require(checkVariable(first, 0, false));
  if (!loopShape) {
    ResultList args;
    for (ForItem& item : items) {
      if (item.range) {
        item.range->requireHoldable(exec, *nodes[&item - items.data()]);
        while (std::unique_ptr<Object> value = item.range->next()) args.pushOwned(std::move(value), Access::Literal);
        continue;
      }
      for (size_t i = 0; i < item.values.size(); ++i) {
        Result& entry = item.values[i];
        std::unique_ptr<Object> owned = item.values.take(i);
        if (owned) args.pushOwned(std::move(owned), entry.access);
        else args.push(entry.object, entry.access, false);
      }
    }
    runForArguments(exec, node, context, args);
    return true;
  }
  Object& variable = *first[0].object;
  auto runOnce = [&](Object& value) {
    call.require(transfer(variable, value, Transfer::Copy));
    runCode(exec, last[0], context);
    return exec.loopShouldEnd();
  };
  for (size_t i = 1; i + 1 < items.size(); ++i) {
    if (items[i].range) {
      while (std::unique_ptr<Object> value = items[i].range->next())
        if (runOnce(*value)) return true;
      continue;
    }
    for (Result& entry : items[i].values)
      if (runOnce(*entry.object)) return true;
  }
  return true;
}

// Puts the loop value into the variable: directly into a plain int, else by the value
// assignment (whose refusal is the loop's error).
void setLoopValue(const BuiltinCall& call, Object& variable, Object& scratch, std::int64_t value) {
  if (variable.typeCode == 'i' && variable.value != nullptr) {
    variable.setSmallInt(value);
    return;
  }
  scratch.setSmallInt(value);
  call.require(transfer(variable, scratch, Transfer::Copy));
}

// The counting loop over the ints from `first` to `last`, both small, one step at a time in
// the given direction.
void countSmall(Executor& exec, const BuiltinCall& call, Object& variable, std::int64_t first, std::int64_t last,
                TreeNode* body, const ExecContext& context) {
  Object scratch('i');
  std::int64_t step = first <= last ? 1 : -1;
  for (std::int64_t value = first;; value += step) {
    setLoopValue(call, variable, scratch, value);
    bool inPlace = runBlock(exec, body, context);
    if ((!inPlace && exec.loopShouldEnd()) || value == last) break;
  }
}

// The same over ints of any size.
void countBig(Executor& exec, const BuiltinCall& call, Object& variable, const BigInt& first, const BigInt& last,
              TreeNode* body, const ExecContext& context) {
  Object current('i');
  current.asInt() = first;
  bool ascending = first <= last;
  while (true) {
    call.require(transfer(variable, current, Transfer::Copy));
    runBlock(exec, body, context);
    if (exec.loopShouldEnd() || current.asInt() == last) break;
    if (ascending) ++current.asInt();
    else --current.asInt();
  }
}

}  // namespace

void execIf(Executor& exec, TreeNode& node, const ExecContext& context) {
  IfForm* form = formOf<IfForm, CompiledPart::Kind::If>(node, buildIf);
  ResultList args;
  if (form == nullptr || !isPlainBlock(form->thenBlock) || !isPlainBlock(form->elseBlock)) {
    evaluateArguments(exec, node, context, args);
    runIfArguments(exec, node, context, args);
    return;
  }
  bool value;
  if (!fastCondition(*form->condition, false, value)) {
    exec.evaluate(*form->condition, context, args);
    if (!acceptedCondition(args, value)) {
      exec.evaluate(*form->thenBlock, context, args);
      if (form->elseBlock != nullptr) exec.evaluate(*form->elseBlock, context, args);
      runIfArguments(exec, node, context, args);
      return;
    }
  }
  runBlock(exec, value ? form->thenBlock : form->elseBlock, context);
}

void execWhile(Executor& exec, TreeNode& node, const ExecContext& context) {
  WhileForm* form = formOf<WhileForm, CompiledPart::Kind::While>(node, buildWhile);
  if (form != nullptr && isPlainBlock(form->condition) && isPlainBlock(form->body)) {
    while (true) {
      bool value;
      if (!fastCondition(*form->condition, true, value))
        value = exec.evaluateCondition(node, form->condition, context, "sys:while");
      if (!value) break;
      if (!runBlock(exec, form->body, context) && exec.loopShouldEnd()) break;
    }
    return;
  }
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:while"};
  call.require(checkCount(args, 2));
  call.require(checkType(args, 0, 'x', false));
  call.require(checkType(args, 1, 'x', false));
  TreeNode* condition = const_cast<TreeNode*>(codeTree(args[0]));
  while (exec.evaluateCondition(node, condition, context, "sys:while")) {
    runCode(exec, args[1], context);
    if (exec.loopShouldEnd()) break;
  }
}

void execFor(Executor& exec, TreeNode& node, const ExecContext& context) {
  ForForm* form = formOf<ForForm, CompiledPart::Kind::For>(node, buildFor);
  ResultList args;
  if (form == nullptr || !isPlainBlock(form->body)) {
    if (runForOverRanges(exec, node, context)) return;
    evaluateArguments(exec, node, context, args);
    runForArguments(exec, node, context, args);
    return;
  }
  // The arguments in their order: the variable, the range's operands, the body.
  exec.evaluate(*form->variable, context, args);
  TreeNode& range = *form->range;
  std::string name{range.op, range.op2};
  ResultList from, to;
  evaluateOperand(exec, range, range.left.get(), true, context, from, name);
  evaluateOperand(exec, range, range.right.get(), false, context, to, name);
  Object& first = from[0].object->resolve(true);
  Object& last = to[0].object->resolve(true);
  bool ints = args.size() == 1 && first.base() == 'i' && last.base() == 'i' && first.isDefined() &&
              last.isDefined() && !first.isEmpty() && !last.isEmpty();
  if (!ints) {
    appendRangeValues(exec, range, *from[0].object, *to[0].object, args);
    exec.evaluate(*form->body, context, args);
    runForArguments(exec, node, context, args);
    return;
  }
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:for"};
  call.require(checkVariable(args, 0, false));
  const BigInt& a = first.asInt();
  const BigInt& b = last.asInt();
  auto order = a <=> b;
  if (order < 0 && range.op == ':' && range.op2 == '.') return;  // descending only
  if (order > 0 && range.op == '.' && range.op2 == ':') return;  // ascending only
  Object& variable = *args[0].object;
  std::int64_t smallFirst, smallLast;
  if (a.toSmall(smallFirst) && b.toSmall(smallLast)) {
    countSmall(exec, call, variable, smallFirst, smallLast, form->body, context);
    return;
  }
  // The operands may be changed by the body: the bounds are copies.
  BigInt firstCopy = a, lastCopy = b;
  countBig(exec, call, variable, firstCopy, lastCopy, form->body, context);
}

}  // namespace kavor
