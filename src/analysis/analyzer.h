// What the analysis passes share: the tree, the scopes found so far, how errors are
// positioned, and the walks and header shapes more than one pass needs. Each pass has its
// own file; analyzeProgram (analyzer.cpp) runs them in the order below, and each relies on
// what the earlier ones left in the tree.
#pragma once

#include <string>
#include <vector>

#include "core/payloads.h"
#include "frontend/tree_node.h"

namespace kavor::analysis {

struct Analysis {
  TreeNode& root;
  const std::vector<std::string>& sourceFiles;  // included files by file index
  const std::string& programFile;               // file index -1
  std::vector<TreeNode*> scopes;                // every node with a symbol table, outermost first
  std::vector<TreeNode*> files;                 // the root of every file: the program's, then
                                                // the included ones by file index
  std::vector<TypeRecord*> types;               // every user-defined type, in definition order

  // The source file of a node as the user named it.
  const std::string& fileOf(const TreeNode& node) const;
  // Throws ERROR at the node's line. Analysis runs before any statement, so no pending
  // exception can take the error's place.
  [[noreturn]] void fail(const TreeNode& node, const std::string& text, char kind) const;
  // "file '<file>', line '<line>'": where an earlier definition stands.
  std::string positionOf(const TreeNode& node) const;
};

// The passes, in the order they run.
void createScopes(Analysis& analysis);                       // scopes.cpp
void registerTypes(Analysis& analysis);                      // types.cpp
void markUserDeclarations(Analysis& analysis);               // types.cpp
void registerExtensions(Analysis& analysis);                 // types.cpp
void registerRoutines(Analysis& analysis, TreeNode& scope);  // routines.cpp
void registerVariables(Analysis& analysis, TreeNode& scope); // variables.cpp
void checkCrossFileDefinitions(const Analysis& analysis);     // cross_file.cpp
void resolveNames(Analysis& analysis);                       // names.cpp

// The defining type node of the user-defined type `name` as seen from `from` (its varType is
// the record); null when no enclosing scope defines one.
TreeNode* lookupType(TreeNode& from, const std::string& name);
// The node where name lookup continues after `node`: its parent, or for the body of a
// `proc T:name` written outside its type, the type's body.
TreeNode* lookupParent(TreeNode& node);

// The blank operator with nothing of its own: juxtaposed words such as `int a`.
inline bool isBlankNode(const TreeNode& node) { return node.op == ' ' && node.op2 == 0 && node.text.empty(); }
// A blank whose left operand is a plain name: the word of `int a`, `proc p ...`, `need ...`;
// null for any other node.
const std::string* leadingWord(const TreeNode& node);
// `proc ...` or `func ...`.
bool isRoutineDefinition(const TreeNode& node);
// The applied name (or operator string) of a routine definition, also of `proc T:name`.
TreeNode* routineHeader(TreeNode& definition);
// Any definition rather than a declaration of variables: a routine, a type, `need`.
bool isDefinition(const TreeNode& node);

// The parts after a definition's name: the groups of its juxtaposition chain.
std::vector<TreeNode*> headerParts(TreeNode& header);
// The `{...}` body of a definition header `name (...) {...}`; null when it has none.
TreeNode* headerBody(TreeNode& header);

// The parts of a type scope's definitions: its body and the blocks of its extensions.
std::vector<TreeNode*> definitionParts(TreeNode& scope);

// Walks every node below `root` (root included) without native recursion.
template <typename Visit>
void walk(TreeNode& root, Visit visit) {
  std::vector<TreeNode*> pending{&root};
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    visit(*node);
    if (node->right) pending.push_back(node->right.get());
    if (node->left) pending.push_back(node->left.get());
  }
}

// Walks the nodes of one scope: descends into everything but the bodies of nested scopes.
template <typename Visit>
void walkScope(TreeNode& scope, Visit visit) {
  std::vector<TreeNode*> pending{&scope};
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    if (node != &scope && node->symbols) continue;
    visit(*node);
    if (node->right) pending.push_back(node->right.get());
    if (node->left) pending.push_back(node->left.get());
  }
}

}  // namespace kavor::analysis
