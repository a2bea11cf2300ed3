// The name pass, the last: binds every use of a variable name to its defining node in the
// nearest enclosing scope that defines it, and builds the value of every number literal.
// A name left unbound here is an error, except a built-in word and a name that may stand
// for something other than a variable (a member, a type, a module), which execution
// resolves when it gets there.
#include <memory>

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

// A name standing as an item right of "." or ":" names a member or method, not a variable.
bool isMemberItem(const TreeNode& node) {
  const TreeNode* child = &node;
  const TreeNode* parent = node.parent;
  while (parent != nullptr && isOperatorNode(*parent, ',') && !child->roundBracket) {
    child = parent;
    parent = parent->parent;
  }
  bool memberSide = parent != nullptr && parent->text.empty() && parent->op2 == 0 &&
                    (parent->op == '.' || parent->op == ':') && parent->right.get() == child;
  // The round group of an unnamed call `x.(0, r)` holds values, not member names.
  return memberSide && !isUnnamedCallGroup(*child);
}

TreeNode* lookupVariable(TreeNode& node) {
  for (TreeNode* scope = &node; scope != nullptr; scope = enclosingScope(*scope)) {
    if (!scope->symbols) continue;
    if (const TypeRecord* type = scope->symbols->type) {
      // A type's body sees its own members and those of its basic types.
      for (const TypeRecord* part : type->lineage) {
        auto& members = part->body->symbols->variables;
        auto found = members.find(node.text);
        if (found != members.end()) return found->second;
      }
      continue;
    }
    auto found = scope->symbols->variables.find(node.text);
    if (found != scope->symbols->variables.end()) return found->second;
  }
  return nullptr;
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

}  // namespace

void resolveNames(Analysis& analysis) {
  walk(analysis.root, [&](TreeNode& node) {
    if (node.isNumber()) {
      makeConstant(analysis, node);
      return;
    }
    if (!isPlainName(node) || node.binding != nullptr || node.typeWord || node.moduleName) return;
    const std::string& name = node.text;
    if (isPredefinedName(name) || isTypeWord(name) || isDefinitionWord(name)) return;
    if (isMemberItem(node)) return;
    TreeNode* definition = lookupVariable(node);
    if (definition != nullptr) {
      node.binding = definition;
      return;
    }
    // The left side of ":" may name a type or module rather than a variable.
    if (node.parent && node.parent->op == ':' && node.parent->op2 == 0 && node.parent->left.get() == &node) {
      if (TreeNode* type = lookupType(node, name)) node.varType = type->varType;
      return;
    }
    analysis.fail(node, fillKey("unbvar", {name}), ErrorKind::Analysis);
  });
}

}  // namespace kavor::analysis
