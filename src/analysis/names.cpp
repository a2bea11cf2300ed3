// The name pass, the last: binds every use of a variable name to its defining node in the
// nearest enclosing scope that defines it, and builds the value of every number literal.
// A name left unbound here is an error, except a built-in word and a name that may stand
// for something other than a variable (a member, a type, a module), which execution
// resolves when it gets there.
#include <deque>
#include <memory>
#include <vector>

#include "analysis/analyzer.h"
#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/messages.h"
#include "frontend/keywords.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"

namespace kavor::analysis {

namespace {

// Whether `child`, below `parent`, stands as an item right of "." or ":", where a name names
// a member or method, not a variable: the right operand itself, or an item of a "," list
// there (a round group ends the list). `parentIsItem` answers the same for the parent. The
// round group of an unnamed call `x.(0, r)` holds values, not member names.
bool isMemberItem(const TreeNode& parent, const TreeNode& child, bool parentIsItem) {
  if (isOperatorNode(parent, ',')) return parentIsItem && !child.roundBracket;
  bool memberSide = parent.text.empty() && parent.op2 == 0 && (parent.op == '.' || parent.op == ':') &&
                    parent.right.get() == &child;
  return memberSide && !isUnnamedCallGroup(child);
}

// The scopes around a node, innermost first, as the walk below keeps them: looking a name
// up costs one step per enclosing scope, however deep the node lies in its scope's tree.
struct ScopeChain {
  TreeNode* scope;           // a node that opens a scope
  const ScopeChain* outer;   // the chain of the scopes around it; null past the root
};

TreeNode* inVariables(SymbolTable& table, const std::string& name) {
  auto found = table.variables.find(name);
  return found != table.variables.end() ? found->second : nullptr;
}

// The variable `name` as the scope `scope` defines it for the names used in it: a type's body
// sees its own members and those of its basic types.
TreeNode* inScope(TreeNode& scope, const std::string& name) {
  const TypeRecord* type = scope.symbols->type;
  if (type == nullptr) return inVariables(*scope.symbols, name);
  for (const TypeRecord* part : type->lineage)
    if (TreeNode* found = inVariables(*part->body->symbols, name)) return found;
  return nullptr;
}

// The variable `name` seen from the scope `start`, climbing scope by scope as lookups do
// where no chain was kept, then in the files the outermost scope brings in.
TreeNode* lookupFrom(TreeNode& start, const std::string& name) {
  TreeNode* scope = &start;
  for (; lookupParent(*scope) != nullptr; scope = lookupParent(*scope))
    if (scope->symbols)
      if (TreeNode* found = inScope(*scope, name)) return found;
  return findVisible(*scope, [&](SymbolTable& table) { return inVariables(table, name); });
}

// The definition a variable name denotes at `node`, which lies in the scopes of `chain`: the
// file's own scopes first, then the files it brings in.
TreeNode* lookupVariable(TreeNode& node, const ScopeChain* chain) {
  // A name with a module path is looked up from that module's outermost scope.
  if (node.text.find('\x1b') != std::string::npos) return findVisibleName(node, node.text, inVariables);
  TreeNode* outermost = nullptr;
  for (; chain != nullptr; chain = chain->outer) {
    TreeNode& scope = *chain->scope;
    if (TreeNode* found = inScope(scope, node.text)) return found;
    // The body of `proc T:name` written outside its type goes on in the type's body.
    if (scope.symbols->lexicalParent != nullptr) return lookupFrom(*scope.symbols->lexicalParent, node.text);
    outermost = &scope;
  }
  if (outermost == nullptr || outermost->parent != nullptr) outermost = &node;
  return findVisible(*outermost, [&](SymbolTable& table) { return inVariables(table, node.text); });
}

// A node the walk below has still to visit, with what it learned on the way down.
struct PendingNode {
  TreeNode* node;
  const ScopeChain* chain;  // the scopes the node lies in
  bool memberItem;          // the node stands as an item right of "." or ":"
};

// Walks every node below the root like `walk`, handing each node the chain of the scopes
// it lies in (a scope's own node lies in itself) and whether it is a member item. Both are
// handed down, so a node deep in a long block or list costs no more than one near the top.
template <typename Visit>
void walkWithScopes(TreeNode& root, Visit visit) {
  std::deque<ScopeChain> chains;
  std::vector<PendingNode> pending{{&root, nullptr, false}};
  while (!pending.empty()) {
    auto [node, chain, memberItem] = pending.back();
    pending.pop_back();
    if (node->symbols) {
      node->enclosingScope = chain != nullptr ? chain->scope : nullptr;
      chains.push_back({node, chain});
      chain = &chains.back();
    }
    visit(*node, chain, memberItem);
    if (node->right) pending.push_back({node->right.get(), chain, isMemberItem(*node, *node->right, memberItem)});
    if (node->left) pending.push_back({node->left.get(), chain, isMemberItem(*node, *node->left, memberItem)});
  }
}

void makeConstant(Analysis& analysis, TreeNode& node) {
  const std::string& text = node.text;
  bool isReal = text.find_first_of(".eE") != std::string::npos;
  if (isReal) {
    Outcome<BigReal> value = BigReal::fromText(text);
    if (!value.ok()) analysis.fail(node, Failure(value.failure).text(), ErrorKind::Analysis);
    node.constant = std::make_unique<Object>('r');
    node.constant->asReal() = std::move(value.value);
    return;
  }
  node.constant = std::make_unique<Object>('i');
  if (auto value = BigInt::fromText(text)) node.constant->setInt(*value);
}

void resolveNamesOf(Analysis& analysis, TreeNode& root) {
  walkWithScopes(root, [&](TreeNode& node, const ScopeChain* chain, bool memberItem) {
    if (node.isApplied() && !node.symbols && chain != nullptr) node.enclosingScope = chain->scope;
    if (node.isNumber()) {
      makeConstant(analysis, node);
      return;
    }
    if (!isPlainName(node) || node.binding != nullptr || node.typeWord) return;
    const std::string& name = node.text;
    if (isPredefinedName(name) || isTypeWord(name) || isDefinitionWord(name)) return;
    if (memberItem) return;
    TreeNode* definition = lookupVariable(node, chain);
    if (definition != nullptr) {
      node.binding = definition;
      return;
    }
    // The left side of ":" may name a type or module rather than a variable.
    if (node.parent && node.parent->op == ':' && node.parent->op2 == 0 && node.parent->left.get() == &node) {
      if (TreeNode* type = lookupType(node, name)) node.varType = type->varType;
      return;
    }
    analysis.fail(node, fillKey("unbvar", {displayName(name)}), ErrorKind::Analysis);
  });
}

}  // namespace

void resolveNames(Analysis& analysis) {
  for (TreeNode* root : analysis.files) resolveNamesOf(analysis, *root);
}

}  // namespace kavor::analysis
