// The shape checks over a freshly built tree: operand counts, bracket use, blocks, module
// names and call argument lists.
#pragma once

#include <string>

#include "frontend/tree_node.h"

namespace kavor {

// Checks every node; folds each "::" chain into one module name node on the way.
// Throws ERROR (kind 'p') with the node's line for the first failure.
void checkShapes(const std::string& fileName, TreeNode& root);

}  // namespace kavor
