// Expression evaluation: every node chooses its handler once and appends its values to
// the caller's result list.
#include <cstdlib>

#include "analysis/symbol_table.h"
#include "core/interpreter.h"
#include "core/messages.h"
#include "core/payloads.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/fast_values.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "streams/str_data.h"
#include "exec/method_table.h"
#include "exec/range_values.h"
#include "exec/user_types.h"

namespace kavor {

namespace {

// ---- literals -------------------------------------------------------------------------

void evalNumber(Executor&, TreeNode& node, const ExecContext&, ResultList& results) {
  const Object& constant = *node.constant;
  auto object = std::make_unique<Object>(constant.typeCode);
  copyValue(*object, constant);
  results.pushOwned(std::move(object), Access::Literal);
}

void evalChar(Executor&, TreeNode& node, const ExecContext&, ResultList& results) {
  auto object = std::make_unique<Object>('c');
  object->setChar(node.text.empty() ? 0 : static_cast<unsigned char>(node.text[0]));
  results.pushOwned(std::move(object), Access::Literal);
}

void evalString(Executor&, TreeNode& node, const ExecContext&, ResultList& results) {
  auto object = std::make_unique<Object>('s');
  object->asStr().text = node.text;
  results.pushOwned(std::move(object), Access::Literal);
}

void evalNothing(Executor&, TreeNode&, const ExecContext&, ResultList&) {}

void evalOper(Executor&, TreeNode& node, const ExecContext&, ResultList& results) {
  auto object = std::make_unique<Object>('o');
  object->word = static_cast<unsigned char>(node.op) | (static_cast<unsigned>(static_cast<unsigned char>(node.op2)) << 8);
  results.pushOwned(std::move(object), Access::Literal);
}

void evalTrue(Executor&, TreeNode&, const ExecContext&, ResultList& results) {
  results.pushOwned(makeBool(true), Access::Literal);
}
void evalFalse(Executor&, TreeNode&, const ExecContext&, ResultList& results) {
  results.pushOwned(makeBool(false), Access::Literal);
}

// ---- names ----------------------------------------------------------------------------

void evalVariable(Executor& exec, TreeNode& node, const ExecContext&, ResultList& results) {
  TreeNode* definition = node.binding;
  if (definition == nullptr) exec.raise(node, message("keirefobjvor"));
  Object* object = currentVariable(*definition);
  if (object == nullptr) exec.raise(node, message("insexinic"));
  int access = object->transferKind;
  switch (definition->argMode) {
    case ArgMode::ConstInput: access = Access::ConstInput; break;
    case ArgMode::VariableInput:
      access = definition->varCode == 'y' ? Access::ArgsInput : object->transferKind;
      break;
    case ArgMode::Output: access = Access::Output; break;
    case ArgMode::VariableOutput: access = Access::VariableOutput; break;
    default: break;
  }
  results.push(object, access, false);
}

void evalThis(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  if (context.currentObject == nullptr) exec.raise(node, message("thiverausmemfun"));
  auto self = std::make_unique<Object>(context.currentObject->isAny() ? 'v' : context.currentObject->base());
  if (self->base() == 'k') self->asUser().type = context.currentObject->resolve(true).asUser().type;
  self->scopeVariable = 1;
  Failure failure = transfer(*self, *context.currentObject, Transfer::Alias);
  if (failure) exec.raise(node, failure.text());
  results.pushOwned(std::move(self), context.objectMode < 6 ? Access::ConstObject : Access::ThisProcedure);
}

// ---- operators ------------------------------------------------------------------------

std::string operatorName(const TreeNode& node) {
  if (node.op == '+' && node.op2 == '+') return "+";
  if (node.op == '-' && node.op2 == '-') return "-";
  std::string name(1, node.op);
  if (node.op2) name += node.op2;
  return name;
}

// "+", "-" and "*" of two small defined ints (results of calls, say) without the general
// operand checks, which such operands always pass. False when the operands are others.
bool smallIntResult(const TreeNode& node, Object& leftIn, Object& rightIn, ResultList& results) {
  if (node.op2 != 0 || (node.op != '+' && node.op != '-' && node.op != '*')) return false;
  Object& a = leftIn.resolve(true);
  Object& b = rightIn.resolve(true);
  std::int64_t x, y;
  if (a.base() != 'i' || b.base() != 'i' || a.value == nullptr || b.value == nullptr) return false;
  if (!a.readSmallInt(x) || !b.readSmallInt(y) || !combineSmallInts(node.op, x, y, x)) return false;
  auto object = std::make_unique<Object>('i');
  object->setSmallInt(x);
  results.pushOwned(std::move(object), Access::ConstResult);
  return true;
}

// The names of the binary operators, as messages write them; binary operators are evaluated
// often enough that building the name as a string each time shows.
std::string_view binaryOperatorName(const TreeNode& node) {
  switch (node.op) {
    case '+': return "+";
    case '-': return "-";
    case '/': return "/";
    case '%': return "%";
    case '^': return "^";
    default: return node.op2 == '*' ? "**" : "*";
  }
}

void evalBinary(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  std::string_view name = binaryOperatorName(node);
  ResultList left, right;
  evaluateOperand(exec, node, node.left.get(), true, context, left, name);
  evaluateOperand(exec, node, node.right.get(), false, context, right, name);
  if (smallIntResult(node, *left[0].object, *right[0].object, results)) return;
  // A left operand that is a fresh temporary of a plain type (not held by an any, not an
  // indirection) is handed over and changed in place instead of being copied.
  std::unique_ptr<Object> temporary;
  Object* operand = left[0].object;
  if (left[0].owned && operand->typeCode == operand->base() && !operand->isIndirection() && operand->base() != 'k')
    temporary = left.take(0);
  applyBinaryOperator(exec, node, left[0], right[0], results, std::move(temporary));
}

void evalUnary(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList operand;
  evaluateOperand(exec, node, node.right.get(), false, context, operand, operatorName(node));
  applyUnaryOperator(exec, node, operand[0], results);
}

// One non-empty bool operand of "!", "||", "&&".
bool boolOperand(Executor& exec, TreeNode& node, TreeNode* side, bool leftSide, const ExecContext& context,
                 const std::string& name) {
  ResultList operand;
  evaluateOperand(exec, node, side, leftSide, context, operand, name);
  Object& value = operand[0].object->resolve(true);
  BuiltinCall call{exec, node, NameKind::Operator, name};
  call.require(checkType(operand, 0, 'b', true));
  return value.boolValue();
}

void evalNot(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  bool value = boolOperand(exec, node, node.right.get(), false, context, "!");
  results.pushOwned(makeBool(!value), Access::ConstResult);
}

void evalOr(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  bool value = boolOperand(exec, node, node.left.get(), true, context, "||") ||
               boolOperand(exec, node, node.right.get(), false, context, "||");
  results.pushOwned(makeBool(value), Access::ConstResult);
}

void evalAnd(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  bool value = boolOperand(exec, node, node.left.get(), true, context, "&&") &&
               boolOperand(exec, node, node.right.get(), false, context, "&&");
  results.pushOwned(makeBool(value), Access::ConstResult);
}

void evalComma(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  // The split is kept in the node: lists of values are evaluated again and again in loops.
  CompiledForm& form = node.form();
  if (!form.argumentList) {
    form.argumentList = std::make_unique<std::vector<TreeNode*>>();
    splitCommas(&node, *form.argumentList);
  }
  for (TreeNode* item : *form.argumentList) exec.evaluate(*item, context, results);
}

void evalRange(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList left, right;
  evaluateOperand(exec, node, node.left.get(), true, context, left, operatorName(node));
  evaluateOperand(exec, node, node.right.get(), false, context, right, operatorName(node));
  appendRangeValues(exec, node, *left[0].object, *right[0].object, results);
}

void evalPair(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList left, right;
  evaluateOperand(exec, node, node.left.get(), true, context, left, "->");
  evaluateOperand(exec, node, node.right.get(), false, context, right, "->");
  auto pair = std::make_unique<Object>('u');
  Failure failure = transfer(pair->asAny2().first, *left[0].object, Transfer::ReferenceOrCopy);
  if (!failure) failure = transfer(pair->asAny2().second, *right[0].object, Transfer::ReferenceOrCopy);
  if (failure) exec.raise(node, NameKind::Operator, "->", failure.text());
  results.pushOwned(std::move(pair), Access::ConstResult);
}

// ---- calls and member access ----------------------------------------------------------

// A call of a type's name (`str("k", i)`) where no program function of the name is visible.
void evalTypeConstructor(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  if (callTypeConstructor(exec, node, context, results)) return;
  exec.raise(node, callRoutine(exec, node, context, &results).text());
}

void evalFunctionCall(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results);

// A call met while the general path finishes an expression whose fast program declined. Out
// of line, so that the frames of ordinary calls, which recursion stacks up, stay small.
[[gnu::noinline]] void callDuringReplay(Executor& exec, TreeNode& node, const ExecContext& context,
                                        ResultList& results) {
  // The program made this call before it declined: its results stand for the call.
  if (exec.replay->replay(node, results)) return;
  ReplayPause pause(exec);
  evalFunctionCall(exec, node, context, results);
}

void evalFunctionCall(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  if (exec.replay != nullptr) {
    callDuringReplay(exec, node, context, results);
    return;
  }
  Failure failure = callRoutine(exec, node, context, &results);
  if (!failure) return;
  // No program function of the name is visible from here, and definitions do not change
  // while the program runs: a built-in or a type's name answers this node from now on.
  if (EvalHandler builtin = builtinFunction(node.text)) {
    // Only a name the program does not define answers from the built-in for good.
    if (node.codeFlag() == 0 && node.compiled->routineCandidates == nullptr) node.form().evalHandler = builtin;
    struct Drop {
      Executor& exec;
      ~Drop() { exec.dropHandedArguments(); }
    } drop{exec};
    builtin(exec, node, context, results);
    return;
  }
  exec.dropHandedArguments();
  if (callTypeConstructor(exec, node, context, results)) {
    if (node.codeFlag() == 0 && node.compiled->routineCandidates == nullptr) node.form().evalHandler = evalTypeConstructor;
    return;
  }
  exec.raise(node, failure.text());
}

void evalMember(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  if (node.op == ':' && callQualifiedOnThis(exec, node, context, &results)) return;
  ResultList objects;
  exec.evaluate(*node.left, context, objects);
  if (node.right && isUnnamedCallGroup(*node.right)) {
    for (Result& entry : objects) callUnnamed(exec, *node.right, context, &results, *entry.object, entry.access);
    return;
  }
  const std::vector<TreeNode*>& items = rightItemsOf(node);
  for (Result& entry : objects) {
    for (TreeNode* item : items) {
      Object& object = entry.object->resolve(true);
      if (isCallForm(*item)) {
        Failure failure = callRoutine(exec, *item, context, &results, entry.object, entry.access);
        if (failure) exec.raise(*item, failure.text());
        continue;
      }
      if (isPlainName(*item)) {
        if (object.base() == 'n') exec.raise(*item, fillKey("keimemsyszugmoe", {item->text}));
        if (!object.isDefined()) exec.raise(*item, fillKey("keimemzugfehobjmoe", {item->text}));
        if (object.base() != 'k') exec.raise(*item, fillKey("keimemzugeindattypmoe", {item->text}));
        appendMember(exec, *item, object, entry.access, nullptr, results);
        continue;
      }
      if (applyQualifiedItem(exec, *item, context, object, entry.access, &results)) continue;
      exec.raise(*item, message(node.op == ':' ? "erwvarfunrecdop" : "erwvarfunlisrecpun"));
    }
  }
}

// `x[i, ...]`: the method "[]" of each object the left side yields, with the bracket's
// contents as arguments. Its results are places, so `l[0] = 5` assigns into the list.
void evalSubscript(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  if (!node.left) exec.raise(node, message("ausniceca"));
  ResultList objects;
  exec.evaluate(*node.left, context, objects);
  static const std::vector<TreeNode*> kNoItems;
  bool emptyBrackets = !node.right || (node.right->op == '#' && !node.right->left && !node.right->right);
  const std::vector<TreeNode*>& items = emptyBrackets ? kNoItems : rightItemsOf(node);
  for (Result& entry : objects) {
    ResultList args;
    for (TreeNode* item : items) exec.evaluate(*item, context, args);
    Failure failure =
        callMethod(exec, node, context, entry.object->resolve(true), entry.access, "[]", args, &results);
    if (failure) exec.raise(node, failure.text());
  }
}

// An operator node with a fast program: a machine-integer result where the program
// answers, the general handler where it declines.
void evalFast(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  auto& form = static_cast<FastExpressionForm&>(*node.compiled->part);
  std::int64_t value;
  CallReplay made;
  if (!form.program->run(exec, context, value, made)) {
    ReplayScope replay(exec, made);
    form.general(exec, node, context, results);
    return;
  }
  if (form.program->yieldsBool()) {
    results.pushOwned(makeBool(value != 0), Access::ConstResult);
    return;
  }
  auto object = std::make_unique<Object>('i');
  object->setSmallInt(value);
  results.pushOwned(std::move(object), Access::ConstResult);
}

void evalNotEvaluable(Executor& exec, TreeNode& node, const ExecContext&, ResultList&) {
  exec.raise(node, message("ausniceca"));
}

EvalHandler chooseOperatorHandler(const TreeNode& node) {
  char a = node.op, b = node.op2;
  if (b == 0) {
    switch (a) {
      case '+': case '-': case '*': case '/': case '%': case '^':
        return evalBinary;
      case '<': case '>':
        return evalComparison;
      case '!': return evalNot;
      case ',': return evalComma;
      case '.': case ':': return evalMember;
      default: return nullptr;
    }
  }
  std::string pair{a, b};
  if (pair == "**") return evalBinary;
  if (pair == "==" || pair == "!=" || pair == "@@" || pair == "!@" || pair == "??" || pair == "!?" ||
      pair == "<=" || pair == ">=")
    return evalComparison;
  if (pair == "++" || pair == "--") return evalUnary;
  if (pair == ".." || pair == ".:" || pair == ":.") return evalRange;
  if (pair == "->") return evalPair;
  if (pair == "[]") return evalSubscript;
  if (pair == "||") return evalOr;
  if (pair == "&&") return evalAnd;
  return nullptr;
}

}  // namespace

void appendRangeValues(Executor& exec, TreeNode& node, Object& fromIn, Object& toIn, ResultList& results) {
  RangeValues range(exec, node, fromIn, toIn);
  range.requireHoldable(exec, node);
  while (std::unique_ptr<Object> value = range.next()) results.pushOwned(std::move(value), Access::Literal);
}

void dispatchExpression(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  EvalHandler handler = nullptr;
  if (node.isNumber()) {
    handler = evalNumber;
  } else if (node.op == '\'' && node.op2 == 0) {
    handler = evalChar;
  } else if (node.op == '"' && node.op2 == 0) {
    handler = evalString;
  } else if (node.op == '#' && !node.left && !node.right) {
    handler = evalNothing;
  } else if (isCallForm(node)) {
    handler = evalFunctionCall;
  } else if (isPlainName(node)) {
    if (node.text == "this") handler = evalThis;
    else if (node.text == "true") handler = evalTrue;
    else if (node.text == "false") handler = evalFalse;
    else if (node.binding != nullptr && node.binding->slotScope != nullptr && node.binding->slotScope->isTypeScope)
      handler = evalMemberVariable;
    else handler = evalVariable;
  } else if (node.op != 0 && node.text.empty() && !node.left && !node.right) {
    handler = evalOper;
  } else if (node.text.empty()) {
    handler = chooseOperatorHandler(node);
    if (handler == evalBinary || handler == evalComparison || handler == evalUnary || handler == evalNot) {
      if (fastProgramOf(node, node.codeFlag() != 0) != nullptr) {
        static_cast<FastExpressionForm&>(*node.compiled->part).general = handler;
        handler = evalFast;
      }
    }
  }
  if (handler == nullptr) handler = evalNotEvaluable;
  if (node.codeFlag() == 0) node.form().evalHandler = handler;
  handler(exec, node, context, results);
}

void Executor::evaluateCode(TreeNode& code, const ExecContext& context, ResultList& results) {
  int16_t& flag = code.form().codeFlag;
  int16_t saved = flag;
  flag = 2;
  try {
    if (code.op == '#' && !code.left && !code.right) {
      flag = saved;
      return;
    }
    EvalHandler handler = code.compiled != nullptr ? code.compiled->evalHandler : nullptr;
    if (handler != nullptr) handler(*this, code, context, results);
    else dispatchExpression(*this, code, context, results);
  } catch (...) {
    flag = saved;
    throw;
  }
  flag = saved;
}

}  // namespace kavor
