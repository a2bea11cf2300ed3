// The analysis of a program tree before it runs.
#pragma once

#include <string>
#include <vector>

namespace kavor {

struct TreeNode;
struct TypeRecord;

// Creates the scopes, registers procedures, functions and variables, builds the number
// constants and binds every variable name to its definition, in the program file (`root`)
// and in the files it brings in (`includedRoots`, read by the inclusion pass). Throws ERROR
// (syntax or analysis) at the first malformed or conflicting definition, positioned in the
// file the node came from: `sourceFiles` names the included files by file index,
// `programFile` the program file. Returns every user-defined type, in definition order.
std::vector<TypeRecord*> analyzeProgram(TreeNode& root, const std::vector<TreeNode*>& includedRoots,
                                        const std::vector<std::string>& sourceFiles,
                                        const std::string& programFile);

}  // namespace kavor
