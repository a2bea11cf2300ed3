// The inclusion pass: reads the files a program brings in with `need`, before any other pass.
#pragma once

namespace kavor {

struct Interpreter;
struct TreeNode;

// Reads and builds every file that `need` statements bring in, depth first from the program
// root, each file once: a file's index is its position in `interp.sourceFiles`, where its
// name is, and in `interp.includedTrees`, which owns its tree. Marks each item of a `need`
// with the root whose statements run there (TreeNode::includedRoot) and lists, in the
// outermost table of every file, the files it brings in (SymbolTable::modules). A name is
// looked for as given, then beside the file that names it, then in the include directories;
// an item whose application is not the run's is skipped without being looked for. Throws
// ERROR at the first faulty item, or at the first error of lexing or tree building in an
// included file, positioned in that file.
void includeFiles(Interpreter& interp, TreeNode& programRoot);

}  // namespace kavor
