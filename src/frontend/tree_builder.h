// The front end's entry point: source lines in, program tree out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontend/tree_node.h"

namespace kavor {

// Builds the program tree of one source file; nullptr when the file holds no program text
// (only blanks and comments). Throws ERROR (kind 'p') with the file name and the physical
// line of the first lexical or shape error. The main file may start with a "#!" line.
// Every node gets `fileIndex`, which names the file in the positions of later errors.
std::unique_ptr<TreeNode> buildTree(const std::string& fileName, const std::vector<std::string>& lines,
                                    bool mainFile, int fileIndex = -1);

}  // namespace kavor
