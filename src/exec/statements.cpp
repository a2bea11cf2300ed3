// Statement dispatch and the control statements: if, while, for, switch, the control
// counts, throw, catch, exit, assert, declarations and member statements.
#include "analysis/symbol_table.h"
#include "core/containers.h"
#include "core/error.h"
#include "core/interpreter.h"
#include "core/messages.h"
#include "core/payloads.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/user_types.h"
#include "frontend/keywords.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// ---- control counts -------------------------------------------------------------------

void setCount(Executor& exec, TreeNode& node, const ExecContext& context, ControlCount& count, const char* name) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call{exec, node, NameKind::Procedure, std::string("sys:") + name};
  call.require(checkCount(args, 1));
  call.require(checkIntMin(args, 0, 1));
  count.set(args[0].object->resolve(true).asInt());
}

void execReturn(Executor& exec, TreeNode& node, const ExecContext& context) {
  setCount(exec, node, context, exec.control.returnCount, "return");
}
void execContinue(Executor& exec, TreeNode& node, const ExecContext& context) {
  setCount(exec, node, context, exec.control.continueCount, "continue");
}
void execBreak(Executor& exec, TreeNode& node, const ExecContext& context) {
  setCount(exec, node, context, exec.control.breakCount, "break");
}

// ---- switch ---------------------------------------------------------------------------

void execSwitch(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:switch"};
  call.require(checkCountRange(args, 1, 2));
  bool withValue = args.size() == 2;
  call.require(checkType(args, args.size() - 1, 'x', withValue));
  const TreeNode* body = codeTree(args.back());
  if (body == nullptr) return;
  for (TreeNode* statement : statementsOf(const_cast<TreeNode&>(*body))) {
    if (!isCallNamed(*statement, "case")) exec.raise(*statement, NameKind::Procedure, "sys:switch", message("keicasanwswi"));
    ResultList caseArgs;
    evaluateArguments(exec, *statement, context, caseArgs);
    BuiltinCall caseCall{exec, *statement, NameKind::Procedure, "sys:switch"};
    caseCall.require(checkCountRange(caseArgs, 1, -1));
    caseCall.require(checkType(caseArgs, caseArgs.size() - 1, 'x', false));
    bool matches = caseArgs.size() == 1;
    for (size_t i = 0; i + 1 < caseArgs.size() && !matches; ++i) {
      if (withValue) {
        matches = equals(*args[0].object, *caseArgs[i].object, true);
      } else {
        caseCall.require(checkType(caseArgs, i, 'b', true));
        matches = caseArgs[i].object->resolve(true).boolValue();
      }
    }
    if (matches) {
      runCode(exec, caseArgs.back(), context);
      return;
    }
  }
}

// ---- exceptions and termination -------------------------------------------------------

void execThrow(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:throw"};
  call.require(checkCount(args, 1));
  auto pending = std::make_unique<PendingException>();
  pending->value = std::make_unique<Object>();
  pending->value->constructLike(*args[0].object);
  pending->origin = 'u';
  pending->file = exec.fileOf(node);
  pending->line = node.line;
  exec.control.pending = std::move(pending);
}

void execCatch(Executor& exec, TreeNode& node, const ExecContext& context) {
  if (!exec.control.pending) return;
  // Arguments are evaluated with the exception set aside, so errors in them are new ones.
  std::unique_ptr<PendingException> pending = std::move(exec.control.pending);
  ResultList args;
  try {
    evaluateArguments(exec, node, context, args);
  } catch (const ProgramExit&) {
    throw;
  } catch (...) {
    // A second error while an exception is pending: the first one stays.
    exec.control.pending = std::move(pending);
    throw ExceptionUnwind{};
  }
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:catch"};
  auto restore = [&](const Failure& failure) {
    if (!failure) return;
    exec.control.pending = std::move(pending);
    call.fail(failure.text());
  };
  restore(checkCount(args, 2));
  restore(checkVariable(args, 0, false));
  Object& variable = *args[0].object;
  Object& thrown = *pending->value;
  Object& declared = variable.resolve(false);
  bool matches = declared.isAny() || typeName(declared, true) == typeName(thrown, true);
  if (!matches) {
    exec.control.pending = std::move(pending);
    return;
  }
  Failure failure = transfer(variable, thrown, Transfer::Copy);
  pending.reset();
  call.require(failure);
  restore(checkType(args, 1, 'x', false));
  runCode(exec, args[1], context);
}

void execExit(Executor& exec, TreeNode& node, const ExecContext& context) {
  std::unique_ptr<PendingException> pending = std::move(exec.control.pending);
  ResultList args;
  try {
    evaluateArguments(exec, node, context, args);
  } catch (const ProgramExit&) {
    throw;
  } catch (...) {
    // With no exception pending, an error in the argument is raised like any other.
    if (pending == nullptr) throw;
    // A second error while an exception is pending: the first one stays.
    exec.control.pending = std::move(pending);
    throw ExceptionUnwind{};
  }
  exec.control.pending = std::move(pending);
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:exit"};
  call.require(checkCount(args, 1));
  call.require(checkType(args, 0, 'i', true));
  exec.reportUnhandledException();
  const BigInt& status = args[0].object->resolve(true).asInt();
  if (!status.fitsIn(0, 255)) call.fail(fillKey("werlieauszulber", {status.toText()}));
  throw ProgramExit{static_cast<int>(*status.toInt64())};
}

void execAssert(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call{exec, node, NameKind::Procedure, "sys:assert"};
  call.require(checkCount(args, 2));
  call.require(checkType(args, 0, 'b', true));
  call.require(checkType(args, 1, 's', true));
  if (args[0].object->resolve(true).boolValue()) return;
  exec.write(formatError("Assertion", exec.fileOf(node), node.line, args[1].object->resolve(true).asStr().text));
  throw ProgramExit{1};
}

// ---- statement forms ------------------------------------------------------------------

void execNothing(Executor&, TreeNode&, const ExecContext&) {}

void execNotExecutable(Executor& exec, TreeNode& node, const ExecContext&) {
  exec.raise(node, message("anwnicausfue"));
}

void execProcedureCall(Executor& exec, TreeNode& node, const ExecContext& context) {
  Failure failure = callRoutine(exec, node, context, nullptr);
  if (!failure) return;
  if (ExecHandler builtin = builtinStatement(node.text)) {
    // Only a name the program does not define answers from the built-in for good.
    if (node.compiled->routineCandidates == nullptr) node.form().execHandler = builtin;
    struct Drop {
      Executor& exec;
      ~Drop() { exec.dropHandedArguments(); }
    } drop{exec};
    builtin(exec, node, context);
    return;
  }
  exec.dropHandedArguments();
  exec.raise(node, failure.text());
}

void execDeclaration(Executor& exec, TreeNode& node, const ExecContext& context) {
  const std::string& word = node.left->text;
  if (word == "need") {
    // The statements of a file brought in here run now, in the scope that lives as long
    // as the program; an item skipped or brought in before runs nothing.
    for (TreeNode* item : rightItemsOf(node)) {
      if (exec.control.pending || exec.control.stopsBlock()) return;
      if (item->includedRoot != nullptr) exec.executeBlock(item->includedRoot, context, false);
    }
    return;
  }
  if (isDefinitionWord(word)) return;
  for (TreeNode* item : rightItemsOf(node)) {
    if (exec.control.pending) return;
    if (isPlainName(*item)) continue;
    if (item->op == '.' && item->op2 == 0) {
      exec.executeStatement(*item, context);
      continue;
    }
    bool assignment = item->op2 == 0 && (item->op == '=' || item->op == '@' || item->op == '~' ||
                                         item->op == '$' || item->op == '?');
    if (!assignment) exec.raise(*item, message("anwrecdoppunnicausfue"));
    exec.executeStatement(*item, context);
  }
}

void execMemberStatement(Executor& exec, TreeNode& node, const ExecContext& context) {
  if (node.op == ':' && callQualifiedOnThis(exec, node, context, nullptr)) return;
  ResultList objects;
  exec.evaluate(*node.left, context, objects);
  if (node.right && isUnnamedCallGroup(*node.right)) {
    for (Result& entry : objects) callUnnamed(exec, *node.right, context, nullptr, *entry.object, entry.access);
    return;
  }
  const std::vector<TreeNode*>& items = rightItemsOf(node);
  for (Result& entry : objects) {
    for (TreeNode* item : items) {
      if (applyQualifiedItem(exec, *item, context, entry.object->resolve(true), entry.access, nullptr)) continue;
      if (!isCallForm(*item)) exec.raise(*item, message(node.op == ':' ? "erwprorecdop" : "erwprolisrecpun"));
      Failure failure = callRoutine(exec, *item, context, nullptr, entry.object, entry.access);
      if (failure) exec.raise(*item, failure.text());
    }
  }
}



}  // namespace

bool Executor::evaluateCondition(TreeNode& loop, TreeNode* code, const ExecContext& context, const char* contextName) {
  if (code == nullptr) raise(loop, NameKind::Procedure, contextName, message("leeargtypcodniceva"));
  ResultList results;
  evaluateCode(*code, context, results);
  BuiltinCall call{*this, *code, NameKind::Procedure, contextName};
  call.require(checkCount(results, 1));
  call.require(checkType(results, 0, 'b', true));
  return results[0].object->resolve(true).boolValue();
}

namespace {

const std::pair<const char*, ExecHandler> kControlStatements[] = {
    {"return", execReturn}, {"continue", execContinue}, {"break", execBreak}, {"if", execIf},
    {"while", execWhile},   {"for", execFor},           {"switch", execSwitch}, {"throw", execThrow},
    {"catch", execCatch},   {"exit", execExit},         {"assert", execAssert}};

}  // namespace

ExecHandler builtinControlStatement(const std::string& name) {
  for (const auto& [word, handler] : kControlStatements)
    if (name == word) return handler;
  return nullptr;
}

std::vector<std::string> controlStatementNames() {
  std::vector<std::string> names{"case"};  // not a statement of its own: switch reads it
  for (const auto& entry : kControlStatements) names.emplace_back(entry.first);
  return names;
}

void dispatchStatement(Executor& exec, TreeNode& node, const ExecContext& context) {
  bool assignmentOperator =
      (node.op2 == 0 && (node.op == '=' || node.op == '@' || node.op == '~' || node.op == '$' || node.op == '?')) ||
      (node.op2 == '=' && (node.op == '+' || node.op == '-' || node.op == '*' || node.op == '/' ||
                           node.op == '%' || node.op == '^'));
  assignmentOperator = assignmentOperator && node.text.empty() && !node.isLiteral();
  if (assignmentOperator && (!node.left || !node.right)) {
    std::string name(1, node.op);
    if (node.op2) name += node.op2;
    exec.raise(node, fillKey("opeben2ope", {name}));
  }
  ExecHandler handler = execNotExecutable;
  bool typeExtension = assignmentOperator && node.left && node.left->varType != nullptr && node.left->typeWord;
  if ((node.op == '#' && !node.left && !node.right) || typeExtension) handler = execNothing;
  else if (assignmentOperator) handler = execAssignmentStatement;
  else if (isCallForm(node)) handler = execProcedureCall;
  else if (node.text.empty() && (node.op == '.' || node.op == ':') && node.op2 == 0) handler = execMemberStatement;
  else if (isDeclaration(node)) handler = execDeclaration;
  node.form().execHandler = handler;
  handler(exec, node, context);
}

}  // namespace kavor
