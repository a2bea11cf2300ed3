// The executor: evaluation of expressions, execution of statements and blocks, and the
// control state through which return, continue, break and exceptions travel.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "analysis/symbol_table.h"
#include "core/object.h"
#include "exec/frame_stack.h"
#include "frontend/tree_node.h"
#include "exec/result_list.h"
#include "numbers/bigint.h"

namespace kavor {

struct Interpreter;
struct TreeNode;
struct TypeRecord;
class CallReplay;

// The context a statement runs in; a call creates a new one for its callee.
struct ExecContext {
  Object* currentObject = nullptr;  // object of a type procedure/function; nullptr elsewhere
  int objectMode = 6;               // below 6 inside type functions (object is constant)
  int callWord = 0;                 // set by the call machinery and passed on unchanged
};

// A control count (return, continue, break): absent, or an integer of at least 1.
// Counts are nearly always small, so they live in a machine word unless they are huge.
class ControlCount {
 public:
  bool present() const { return present_; }
  void set(const BigInt& value);
  void release() { present_ = false; big_.reset(); }
  // Decreases by one, releasing the count at zero.
  void decrement();
  bool isOne() const { return present_ && !big_ && small_ == 1; }
  std::string text() const;

 private:
  bool present_ = false;
  long long small_ = 0;          // the value when `big_` is null
  std::unique_ptr<BigInt> big_;  // the value when it does not fit a machine word
};

// A thrown value waiting for a `catch`.
struct PendingException {
  std::unique_ptr<Object> value;  // the thrown value (an `error` for interpreter errors)
  char origin = 'u';              // 'u' thrown by the program, 's' raised by the interpreter
  std::string file;               // where it arose
  int line = 0;
};

struct ControlState {
  ControlCount returnCount;
  ControlCount continueCount;
  ControlCount breakCount;
  std::unique_ptr<PendingException> pending;
  const char* stackBase = nullptr;           // native stack address at the first statement
  // The interpreter's limit, set with stackBase. Read through each time: a fuzzing harness
  // lowers it from another thread to stop a long run at its next statement.
  const long* stackLimit = nullptr;

  bool stopsBlock() const {
    return returnCount.present() || continueCount.present() || breakCount.present();
  }
};

// Name kinds of raised errors: the word that precedes the quoted name.
namespace NameKind {
constexpr char Operator = 'o';
constexpr char Procedure = 'p';
constexpr char Function = 'f';
constexpr char None = 'x';
}  // namespace NameKind

// Thrown when a called procedure or function ends with an exception pending: the statement
// that made the call stops at once (the exception is already pending; nothing is added).
struct ExceptionUnwind {};

// Thrown by `exit` and a failed `assert` to end the process with a status after the run's
// teardown; never caught by the program.
struct ProgramExit {
  int status;
};


// The current Object of the variable that `definition` defines: its slot in the innermost
// activation of its scope; null while the scope has none.
inline Object* currentVariable(const TreeNode& definition) {
  const SymbolTable* scope = definition.slotScope;
  if (scope == nullptr || scope->frames.empty()) return nullptr;
  return scope->frames.back() + definition.slot;
}

class Executor {
 public:
  explicit Executor(Interpreter& interp) : interp(interp) {}

  Interpreter& interp;
  ControlState control;
  // The Objects of the variables of every running scope.
  FrameStack frames;
  // While the general path finishes an expression whose fast program declined after making
  // calls: those calls' results, taken by the call nodes in turn; null otherwise.
  CallReplay* replay = nullptr;
  // The arguments of a call that fitted none of the program's routines of its name, kept
  // for the built-in of that name, which takes them instead of evaluating them again.
  TreeNode* handedCall = nullptr;
  ResultList handedArguments;
  // Drops arguments that no built-in took.
  void dropHandedArguments() {
    handedCall = nullptr;
    handedArguments.release();
  }

  // Raises an error at `node`: "<Word> '<name>': <message>" or the message alone. While an
  // exception is pending the pending one is raised again instead.
  [[noreturn]] void raise(const TreeNode& node, char nameKind, std::string_view name,
                          const std::string& message, char kind = 's');
  [[noreturn]] void raise(const TreeNode& node, const std::string& message) {
    raise(node, NameKind::None, {}, message);
  }
  // The file name of a node's source file, as the user named it.
  std::string fileOf(const TreeNode& node) const;

  void evaluate(TreeNode& node, const ExecContext& context, ResultList& results);
  void executeStatement(TreeNode& node, const ExecContext& context);
  void executeBlock(TreeNode* block, const ExecContext& context, bool openScope);
  // Executes the statements of `block` from the one at `first` on, in the scope open now.
  void executeStatements(TreeNode& block, const ExecContext& context, size_t first);
  // Evaluates a code block's tree as expressions (not as a code value).
  void evaluateCode(TreeNode& code, const ExecContext& context, ResultList& results);
  // Evaluates a code value as the condition of the loop statement `loop`: one non-empty bool.
  bool evaluateCondition(TreeNode& loop, TreeNode* code, const ExecContext& context, const char* contextName);

  // Scope entry and exit: a new frame with one Object per variable of the scope.
  void enterScope(TreeNode& scopeNode);
  void leaveScope(TreeNode& scopeNode);

  // Turns a caught ERROR into the pending exception.
  void makePending(const std::string& message, char kind, const std::string& file, int line);
  // Prints and releases a pending exception; true when it printed.
  bool reportUnhandledException();
  // Writes a text through the standard stream.
  void write(const std::string& text);

  // Whether the native stack here lies beyond the distance from the first statement at
  // which statements raise "Stack overflow" (also before the first statement): a statement
  // run without executeStatement must then run through it.
  [[gnu::always_inline]] bool beyondStackLimit() const {
    if (control.stackBase == nullptr) return true;
    char here;
    long distance = control.stackBase - &here;
    long limit = *control.stackLimit;
    return distance > limit || distance < -limit;
  }

  // The loop consumption rule after a body; returns true when the loop must end.
  bool loopShouldEnd();
};

}  // namespace kavor
