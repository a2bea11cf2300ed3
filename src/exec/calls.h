// Argument lists and their checks, and calls of the program's procedures and functions.
#pragma once

#include <string>
#include <string_view>

#include "exec/executor.h"

namespace kavor {

struct Routine;
struct TypeRecord;

// The object a type procedure or function runs on, and the access class it was reached with.
struct SelfObject {
  Object* object = nullptr;
  int access = Access::Variable;
};

// Evaluates every argument of a call form, in order, into `args`.
void evaluateArguments(Executor& exec, TreeNode& call, const ExecContext& context, ResultList& args);
// Evaluates one operand side of an operator: it must yield exactly one value.
void evaluateOperand(Executor& exec, TreeNode& operatorNode, TreeNode* side, bool leftSide,
                     const ExecContext& context, ResultList& out, std::string_view operatorName);

// The argument checks; each returns its refusal or none. Positions count from 0.
Failure checkCount(const ResultList& args, size_t count);
Failure checkCountRange(const ResultList& args, long min, long max);
Failure checkDefined(const ResultList& args, size_t index);
Failure checkType(const ResultList& args, size_t index, TypeCode code, bool notEmpty);
Failure checkIntMin(const ResultList& args, size_t index, long long min);
Failure checkVariable(const ResultList& args, size_t index, bool mustBeDefined);

// "<kind word> '<name>'<suffix> not defined", the answer to a call that finds nothing.
std::string notDefinedText(const std::string& kindWord, const std::string& name, const std::string& suffix);

// The access-class check of modifying operations: none or "<word> infeasible for ...".
// isModifiable answers the same question without building any text.
bool isModifiable(const Result& target);
Failure checkModifiable(const Result& target, const std::string& word);

// A built-in statement or function being run: raises its failures with its context name.
struct BuiltinCall {
  Executor& exec;
  TreeNode& node;
  char nameKind;     // NameKind::Procedure for statements, NameKind::Function for functions
  std::string name;  // "sys:outl", "str:find", ...
  void require(const Failure& failure) const {
    if (failure) fail(failure.text());
  }
  [[noreturn]] void fail(const std::string& failure) const { exec.raise(node, nameKind, name, failure); }
};

// The unnamed call `object.(arguments)`: sets the object from the arguments (procedure
// form) or builds values from them (function form).
void callUnnamed(Executor& exec, TreeNode& group, const ExecContext& context, ResultList* results, Object& object,
                 int objectAccess);

// The function form of a built-in type name, `int("42")`: one new value of that type built
// from the arguments. Returns false when the type answers no such unnamed call.
bool callTypeConstructor(Executor& exec, TreeNode& call, const ExecContext& context, ResultList& results);

// Runs the built-in method `name` of `target`'s type with evaluated arguments. Returns none
// when it ran, else why not (no such method, or not in this form).
Failure callMethod(Executor& exec, TreeNode& call, const ExecContext& context, Object& target, int access,
                   const std::string& name, ResultList& args, ResultList* results);

// Offers a call form to the program's procedures (statement) or functions (expression).
// Returns none when the call was made, else why not.
Failure callRoutine(Executor& exec, TreeNode& call, const ExecContext& context, ResultList* results,
                    Object* object = nullptr, int objectAccess = Access::Variable);
// The function that a call with arguments of the base types `codes` (ints and bools) chooses,
// as a call of the program's functions does, when it takes them as words; null when it does
// not take them, the call finds no function, or it finds a type's routines.
Routine* routineForWords(TreeNode& call, const char* codes, size_t count);
// Whether a procedure of the call's name is visible from it: the program's procedure is
// called then, not the built-in statement of that name.
bool programDefinesProcedure(TreeNode& call);
// Runs `routine`, the one word arguments chose for the function call `call` (a routine of
// no type), for the argument values `words` (one per argument), its results appended to
// `results`.
void callWithWordValues(Executor& exec, TreeNode& call, Routine& routine, const ExecContext& context,
                        const std::int64_t* words, ResultList& results);
// The indirect call (`proc`, `func`): the program's procedure (`results` null) or function
// named `name`, as seen from `call`, with arguments already evaluated. Returns as callRoutine.
Failure callRoutineNamed(Executor& exec, TreeNode& call, const std::string& name, const ExecContext& context,
                         ResultList& args, ResultList* results);

// Runs the best fit among a type's routines `candidates` on `self`, with evaluated arguments.
void runTypeRoutine(Executor& exec, TreeNode& call, const std::string& name, const std::vector<Routine*>& candidates,
                    const ExecContext& context, ResultList& args, ResultList* results, const SelfObject& self);
// The routines named `name` of `type` or, failing that, of its basic types in inheritance
// order: functions or procedures. Null when none has one.
const std::vector<Routine*>* typeRoutines(const TypeRecord& type, const std::string& name, bool functions);
// A call form on a user value `target` (resolved), reached with access `access`: its
// built-in methods, then its type's routines, from `qualifier` on when one was written
// (`x.T:f()`). Returns none when it ran, else why not.
Failure callTypeRoutine(Executor& exec, TreeNode& call, const ExecContext& context, ResultList* results,
                        Object& target, int access, const TypeRecord* qualifier);

// The operator functions of user types. `target OP= source` by the type's procedure "OP=";
// refused when the type has none.
Failure applyUserCompound(Executor& exec, TreeNode& node, char op, Object& target, Object& source);
// `left < right` by the type's function "<"; failures are raised at `node` as the
// operator's `name`.
bool userLess(Executor& exec, TreeNode& node, const std::string& name, Object& left, Object& right);

}  // namespace kavor
