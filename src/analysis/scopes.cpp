// The scope pass: gives the root of every file and the body of every procedure, function
// and type definition an empty symbol table, and lists these scopes outermost first. It reads only
// the shape of definition headers: filling the tables is left to the routine and variable
// passes, and refusing a malformed definition to the routine pass.
#include "analysis/analyzer.h"
#include "analysis/symbol_table.h"
#include "frontend/keywords.h"

namespace kavor::analysis {

void createScopes(Analysis& analysis) {
  // Each file's outermost scope first: the inclusion pass may have made its table already.
  for (TreeNode* root : analysis.files) {
    if (!root->symbols) root->symbols = newSymbolTable();
    analysis.scopes.push_back(root);
  }
  for (TreeNode* root : analysis.files) {
    walk(*root, [&](TreeNode& node) {
      const std::string* word = leadingWord(node);
      if (word == nullptr || !node.right || !(isRoutineWord(*word) || isTypeDefinitionWord(*word))) return;
      TreeNode* body = headerBody(*routineHeader(node));
      if (body == nullptr || body->symbols) return;
      body->symbols = newSymbolTable();
      analysis.scopes.push_back(body);
    });
  }
}

}  // namespace kavor::analysis
