// The entry point of the analysis and what its passes share: error positions, the word
// tests and the shape of definition headers.
#include "analysis/analyze_program.h"

#include "analysis/analyzer.h"
#include "core/error.h"
#include "core/messages.h"
#include "frontend/keywords.h"
#include "frontend/tree_shapes.h"

namespace kavor {

namespace analysis {

const std::string& Analysis::fileOf(const TreeNode& node) const {
  int index = node.fileIndex;
  if (index >= 0 && static_cast<size_t>(index) < sourceFiles.size()) return sourceFiles[index];
  return programFile;
}

void Analysis::fail(const TreeNode& node, const std::string& text, char kind) const {
  throw ERROR(text, kind, fileOf(node), node.line);
}

std::string Analysis::positionOf(const TreeNode& node) const {
  return fillKey("datzei", {fileOf(node), std::to_string(node.line)});
}

const std::string* leadingWord(const TreeNode& node) {
  if (!isBlankNode(node) || !node.left || !isPlainName(*node.left)) return nullptr;
  return &node.left->text;
}

bool isRoutineDefinition(const TreeNode& node) {
  const std::string* word = leadingWord(node);
  return word != nullptr && isRoutineWord(*word);
}

TreeNode* routineHeader(TreeNode& definition) {
  TreeNode* header = definition.right.get();
  // `proc T:name ...`, written outside the type's body.
  if (header != nullptr && header->op == ':' && header->op2 == 0 && header->text.empty() && header->right)
    return header->right.get();
  return header;
}

bool isDefinition(const TreeNode& node) {
  const std::string* word = leadingWord(node);
  return word != nullptr && isDefinitionWord(*word);
}

std::vector<TreeNode*> headerParts(TreeNode& header) {
  std::vector<TreeNode*> parts;
  if (!header.left) return parts;
  std::vector<TreeNode*> pending{header.left.get()};
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    bool grouped = node != header.left.get() && (node->curlyBlock || node->roundBracket);
    if (!grouped && node->isJuxtaposition()) {
      if (node->right) pending.push_back(node->right.get());
      if (node->left) pending.push_back(node->left.get());
      continue;
    }
    parts.push_back(node);
  }
  return parts;
}

TreeNode* headerBody(TreeNode& header) {
  // Operator functions of a type are named by a string: `proc "+=" (T v) {...}`.
  bool appliedName = header.op == '(' && !header.text.empty();
  if (!appliedName && !(header.op == '"' && header.op2 == '(')) return nullptr;
  std::vector<TreeNode*> parts = headerParts(header);
  if (parts.empty() || !parts.back()->curlyBlock) return nullptr;
  return parts.back();
}

}  // namespace analysis

std::vector<TypeRecord*> analyzeProgram(TreeNode& root, const std::vector<TreeNode*>& includedRoots,
                                        const std::vector<std::string>& sourceFiles,
                                        const std::string& programFile) {
  analysis::Analysis state{root, sourceFiles, programFile, {}, {&root}, {}};
  state.files.insert(state.files.end(), includedRoots.begin(), includedRoots.end());
  analysis::createScopes(state);
  analysis::registerTypes(state);
  analysis::registerExtensions(state);
  analysis::markUserDeclarations(state);
  // The routines of every scope before the variables of any: the routine pass puts a
  // routine's parameters into its body's table, where they come before the body's own.
  for (TreeNode* scope : state.scopes) analysis::registerRoutines(state, *scope);
  for (TreeNode* scope : state.scopes) analysis::registerVariables(state, *scope);
  analysis::checkCrossFileDefinitions(state);
  analysis::resolveNames(state);
  return state.types;
}

}  // namespace kavor
