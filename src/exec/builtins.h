// What the files of the built-in statements and functions share: their contexts and their
// name tables. builtinStatement and builtinFunction (dispatch.h) look names up in them.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "exec/calls.h"

namespace kavor {

// The context "Procedure 'sys:<name>'" of a built-in statement.
inline BuiltinCall statementCall(Executor& exec, TreeNode& node) {
  return BuiltinCall{exec, node, NameKind::Procedure, "sys:" + node.text};
}
// The context "Function 'sys:<name>'" of a built-in function.
inline BuiltinCall functionCall(Executor& exec, TreeNode& node) {
  return BuiltinCall{exec, node, NameKind::Function, "sys:" + node.text};
}

template <class Handler>
struct NamedBuiltin {
  const char* name;
  Handler handler;
};
using StatementTable = std::span<const NamedBuiltin<ExecHandler>>;
using FunctionTable = std::span<const NamedBuiltin<EvalHandler>>;

// One pair of tables per concern, each defined in its own file.
StatementTable outputStatements();  // out ..., set_out_spc, set_out_fmt
FunctionTable outputFunctions();    // get_out_spc, get_out_fmt
StatementTable inputStatements();   // in ..., set_in_spc
FunctionTable inputFunctions();     // in ..., get_in_spc
StatementTable objectStatements();  // del, clear
FunctionTable objectFunctions();    // def, empty, ref, alias, count
FunctionTable foldingFunctions();   // min, max, and, or, sum, prod
StatementTable systemStatements();  // clocks, working directory, shell
FunctionTable systemFunctions();    // program arguments, clocks, environment, shell
StatementTable formStatements();    // proc
FunctionTable formFunctions();      // if, for, func

// The name of every built-in statement and function, control statements included, each
// once and sorted: for the tests that keep editor support complete.
std::vector<std::string> builtinNames();

}  // namespace kavor
