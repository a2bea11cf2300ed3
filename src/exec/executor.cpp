// Raising errors, blocks and statements, scopes, the control counts and pending exceptions.
#include "exec/executor.h"

#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/interpreter.h"
#include "core/messages.h"
#include "core/payloads.h"
#include "exec/dispatch.h"
#include "frontend/tree_shapes.h"

namespace kavor {

void ControlCount::set(const BigInt& value) {
  present_ = true;
  big_.reset();
  if (auto small = value.toInt64(); small && *small < (1LL << 60)) {
    small_ = *small;
    return;
  }
  big_ = std::make_unique<BigInt>(value);
}

void ControlCount::decrement() {
  if (!present_) return;
  if (big_) {
    --*big_;
    if (auto small = big_->toInt64(); small && *small < (1LL << 60)) {
      small_ = *small;
      big_.reset();
    }
    return;
  }
  if (--small_ <= 0) release();
}

std::string ControlCount::text() const {
  if (big_) return big_->toText();
  return std::to_string(small_);
}

std::string Executor::fileOf(const TreeNode& node) const {
  int index = node.fileIndex;
  if (index >= 0 && static_cast<size_t>(index) < interp.sourceFiles.size()) return interp.sourceFiles[index];
  return interp.programArguments.empty() ? std::string() : interp.programArguments[0];
}

void Executor::raise(const TreeNode& node, char nameKind, std::string_view name, const std::string& text,
                     char kind) {
  if (control.pending && control.pending->value && control.pending->value->base() == 'e') {
    const ErrorValue& error = control.pending->value->resolve(true).asError();
    throw ERROR(error.message, error.kind, error.file, error.line);
  }
  std::string composed;
  if (!name.empty() || nameKind != NameKind::None) {
    switch (nameKind) {
      case NameKind::Operator: composed = std::string(message("ope")) + " "; break;
      case NameKind::Procedure: composed = std::string(message("pro")) + " "; break;
      case NameKind::Function: composed = std::string(message("fun")) + " "; break;
      default: break;
    }
    composed += "'";
    composed += name;
    composed += "': ";
  }
  composed += text;
  throw ERROR(composed, kind, fileOf(node), node.line);
}

void Executor::write(const std::string& text) {
  // The standard stream never refuses a write: its bytes go to the screen or an open file.
  (void)interp.standardStream.write(text, false);
}

void Executor::makePending(const std::string& text, char kind, const std::string& file, int line) {
  auto pending = std::make_unique<PendingException>();
  pending->value = std::make_unique<Object>('e');
  ErrorValue& error = pending->value->asError();
  error.message = text;
  error.kind = kind;
  error.file = file;
  error.line = line;
  pending->origin = 's';
  pending->file = file;
  pending->line = line;
  control.pending = std::move(pending);
}

bool Executor::reportUnhandledException() {
  if (!control.pending) return false;
  std::unique_ptr<PendingException> pending = std::move(control.pending);
  Object& value = pending->value->resolve(true);
  std::string title, text;
  if (value.base() == 'e' && value.isDefined() && value.asError().kind != ErrorKind::User) {
    title = errorKindTitle(value.asError().kind);
    text = value.asError().message;
  } else {
    title = message("sysfeh");
    text = fillKey("unbaustyp", {typeName(value, true)});
  }
  write(formatError(title, pending->file, pending->line, text));
  return true;
}

namespace {

// An input parameter of a built-in type other than `args`, whose Object the call binds to
// its argument right after the scope is entered.
bool takesArgument(const TreeNode& variable) {
  bool input = variable.argMode == ArgMode::ConstInput || variable.argMode == ArgMode::VariableInput;
  return input && variable.varCode != 'y' && variable.varCode != 'k' && variable.varCode != 'v';
}

}  // namespace

void Executor::enterScope(TreeNode& scopeNode) {
  SymbolTable& table = *scopeNode.symbols;
  const std::vector<TreeNode*>& variables = table.allocation;
  Object* frame = frames.push(variables.size());
  try {
    for (size_t i = 0; i < variables.size(); ++i) {
      const TreeNode& variable = *variables[i];
      // Placement into the frame: the class's own operator new serves single Objects.
      Object* object;
      if (takesArgument(variable)) {
        // An input is bound to its argument at once: it starts without a value, which the
        // binding gives it (the moved payload of a temporary, most often).
        object = ::new (static_cast<void*>(frame + i)) Object();
        object->typeCode = variable.varCode;
      } else {
        object = ::new (static_cast<void*>(frame + i)) Object(variable.varCode);
      }
      frames.constructed();
      if (variable.varCode == 'k' && variable.varType != nullptr) {
        object->asUser().type = variable.varType;
        object->createPayload();
      }
      object->scopeVariable = 1;
    }
  } catch (...) {
    frames.pop(frame);
    throw;
  }
  table.frames.push_back(frame);
}

void Executor::leaveScope(TreeNode& scopeNode) {
  SymbolTable& table = *scopeNode.symbols;
  if (table.frames.empty()) return;
  Object* frame = table.frames.back();
  table.frames.pop_back();
  // Later variables, which may refer to earlier ones, are destroyed first.
  frames.pop(frame);
}

void Executor::executeStatement(TreeNode& node, const ExecContext& context) {
  if (control.stackBase == nullptr) {
    char here;
    control.stackBase = &here;
    control.stackLimit = &interp.stackLimit;
  } else if (beyondStackLimit()) {
    raise(node, message("staueb"));
  }
  CompiledForm& form = node.form();
  if (form.execHandler == nullptr) form.execHandler = dispatchStatement;
  form.execHandler(*this, node, context);
}

void Executor::evaluate(TreeNode& node, const ExecContext& context, ResultList& results) {
  if (control.stackBase != nullptr && beyondStackLimit()) raise(node, message("staueb"));
  if (node.curlyBlock && node.codeFlag() == 0) {
    // A block written where a value is expected is a code value.
    auto code = std::make_unique<Object>('x');
    bool emptyBlock = node.op == '#' && !node.left && !node.right;
    code->asCode().tree = emptyBlock ? nullptr : &node;
    results.pushOwned(std::move(code), Access::Literal);
    return;
  }
  if (node.compiled != nullptr && node.compiled->evalHandler != nullptr) {
    node.compiled->evalHandler(*this, node, context, results);
    return;
  }
  dispatchExpression(*this, node, context, results);
}

void Executor::executeBlock(TreeNode* block, const ExecContext& context, bool openScope) {
  if (block == nullptr) return;
  bool scoped = openScope && block->symbols != nullptr && !block->symbols->allocation.empty();
  if (!scoped) {
    executeStatements(*block, context, 0);
    return;
  }
  enterScope(*block);
  try {
    executeStatements(*block, context, 0);
  } catch (const ProgramExit&) {
    leaveScope(*block);
    throw;
  }
  leaveScope(*block);
}

void Executor::executeStatements(TreeNode& block, const ExecContext& context, size_t first) {
  const std::vector<TreeNode*>& statements = statementsOf(block);
  for (size_t i = first; i < statements.size(); ++i) {
    TreeNode* statement = statements[i];
    if (control.stopsBlock()) break;
    if (control.pending && !catchesPending(*statement)) continue;
    if (!beyondStackLimit() && assignInPlace(*statement)) continue;
    try {
      executeStatement(*statement, context);
    } catch (const ERROR& error) {
      makePending(error.message, error.kind, error.file, error.line);
    } catch (const ExceptionUnwind&) {
      // The exception that stopped the statement is already pending.
    } catch (const std::bad_alloc&) {
      makePending(message("sysfeh"), ErrorKind::System, fileOf(*statement), statement->line);
    }
  }
}

bool Executor::loopShouldEnd() {
  if (control.continueCount.present()) {
    if (control.continueCount.isOne()) {
      control.continueCount.release();
      return false;
    }
    control.continueCount.decrement();
    return true;
  }
  if (control.returnCount.present() || control.pending) return true;
  if (control.breakCount.present()) {
    control.breakCount.decrement();
    return true;
  }
  return false;
}

}  // namespace kavor
