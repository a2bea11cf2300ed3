#include "frontend/tree_node.h"

#include <vector>

#include "core/object.h"

namespace kavor {

TreeNode::TreeNode() = default;

TreeNode::~TreeNode() {
  if (!left && !right) return;
  // Detach every descendant before it dies, so no destructor below this one recurses.
  std::vector<std::unique_ptr<TreeNode>> pending;
  if (left) pending.push_back(std::move(left));
  if (right) pending.push_back(std::move(right));
  while (!pending.empty()) {
    std::unique_ptr<TreeNode> node = std::move(pending.back());
    pending.pop_back();
    if (node->left) pending.push_back(std::move(node->left));
    if (node->right) pending.push_back(std::move(node->right));
  }
}

void TreeNode::setLeft(std::unique_ptr<TreeNode> child) {
  if (child) child->parent = this;
  left = std::move(child);
}

void TreeNode::setRight(std::unique_ptr<TreeNode> child) {
  if (child) child->parent = this;
  right = std::move(child);
}

}  // namespace kavor
