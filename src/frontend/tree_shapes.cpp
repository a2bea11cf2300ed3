#include "frontend/tree_shapes.h"

#include <memory>

#include "frontend/keywords.h"

namespace kavor {

namespace {

bool isBlank(const TreeNode& node) { return node.op == ' ' && node.op2 == 0 && node.text.empty(); }

// Flattens a left- or right-nested chain of `joins` into its operands, in source order,
// with an explicit stack: chains may be long.
template <typename Joins>
void flatten(TreeNode* root, std::vector<TreeNode*>& out, Joins joins) {
  if (root == nullptr) return;
  if (!joins(*root)) {  // the common case of one operand, without the walk
    out.push_back(root);
    return;
  }
  std::vector<TreeNode*> pending{root};
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    // A bracketed group below the root is one operand, whatever its top operator.
    bool grouped = node != root && (node->curlyBlock || node->roundBracket);
    if (!grouped && joins(*node)) {
      if (node->right) pending.push_back(node->right.get());
      if (node->left) pending.push_back(node->left.get());
      continue;
    }
    out.push_back(node);
  }
}

}  // namespace

bool isDeclaration(const TreeNode& node) {
  if (!isBlank(node) || !node.left || !isPlainName(*node.left)) return false;
  if (node.declarationBlank) return true;
  const std::string& word = node.left->text;
  return isDefinitionWord(word) || isTypeWord(word);
}

const std::vector<TreeNode*>& splitStatements(TreeNode& block) {
  CompiledForm& form = block.form();
  auto list = std::make_unique<std::vector<TreeNode*>>();
  flatten(&block, *list, [](const TreeNode& node) {
    return isOperatorNode(node, ';') || (isBlank(node) && !isDeclaration(node));
  });
  // The empty block and empty statements run nothing.
  std::erase_if(*list, [](TreeNode* node) { return node->op == '#' && !node->left && !node->right; });
  form.statementList = std::move(list);
  return *form.statementList;
}

void splitCommas(TreeNode* node, std::vector<TreeNode*>& out) {
  flatten(node, out, [](const TreeNode& n) { return isOperatorNode(n, ','); });
}

const std::vector<TreeNode*>& rightItemsOf(TreeNode& node) {
  CompiledForm& form = node.form();
  if (form.argumentList) return *form.argumentList;
  auto list = std::make_unique<std::vector<TreeNode*>>();
  splitCommas(node.right.get(), *list);
  form.argumentList = std::move(list);
  return *form.argumentList;
}

const std::vector<TreeNode*>& splitArguments(TreeNode& call) {
  CompiledForm& form = call.form();
  auto list = std::make_unique<std::vector<TreeNode*>>();
  // The juxtaposition chain joins the groups; a "(" group holds a "," list, a "{" group
  // is one code argument.
  std::vector<TreeNode*> pending;
  if (call.left) pending.push_back(call.left.get());
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    if (isJuxtaposition(*node)) {
      if (node->right) pending.push_back(node->right.get());
      if (node->left) pending.push_back(node->left.get());
    } else if (node->curlyBlock) {
      list->push_back(node);
    } else if (node->op == '#' && !node->left && !node->right) {
      continue;  // "()": no arguments
    } else {
      splitCommas(node, *list);
    }
  }
  form.argumentList = std::move(list);
  return *form.argumentList;
}

bool isUnnamedCallGroup(const TreeNode& group) {
  if (!group.roundBracket) return false;
  std::vector<TreeNode*> items;
  splitCommas(const_cast<TreeNode*>(&group), items);
  for (TreeNode* item : items)
    if (!isPlainName(*item) && !isCallForm(*item)) return true;
  return false;
}

bool catchesPending(const TreeNode& statement) {
  if (isCallNamed(statement, "catch") || isCallNamed(statement, "exit")) return true;
  if (isOperatorNode(statement, ':') && statement.left && statement.left->text == "sys" && statement.right)
    return isCallNamed(*statement.right, "catch") || isCallNamed(*statement.right, "exit");
  return false;
}

}  // namespace kavor
