// The analysis of a program tree before it runs.
#pragma once

namespace kavor {

class Executor;
struct TreeNode;

// Creates the scopes, registers procedures, functions and variables, builds the number
// constants and binds every variable name to its definition. Throws ERROR (syntax or
// analysis) at the first malformed or conflicting definition.
void analyzeProgram(Executor& exec, TreeNode& root);

}  // namespace kavor
