#include "exec/run_program.h"

#include <memory>
#include <vector>

#include "analysis/analyze_program.h"
#include "analysis/inclusion.h"
#include "analysis/symbol_table.h"
#include "core/error.h"
#include "core/interpreter.h"
#include "core/messages.h"
#include "exec/executor.h"
#include "exec/user_types.h"

namespace kavor {

namespace {

// The variables of the included files live as long as the program: their scopes open
// before it starts, in the order of the files, and close after it, last first.
class ModuleScopes {
 public:
  ModuleScopes(Executor& exec, const std::vector<TreeNode*>& roots) : exec_(exec) {
    for (TreeNode* root : roots) {
      if (root->symbols->allocation.empty()) continue;
      exec_.enterScope(*root);
      open_.push_back(root);
    }
  }
  ~ModuleScopes() {
    for (auto root = open_.rbegin(); root != open_.rend(); ++root) exec_.leaveScope(**root);
  }
  ModuleScopes(const ModuleScopes&) = delete;
  ModuleScopes& operator=(const ModuleScopes&) = delete;

 private:
  Executor& exec_;
  std::vector<TreeNode*> open_;
};

}  // namespace

int runProgram(Interpreter& interp, TreeNode& root, const std::string& programName) {
  Executor exec(interp);
  try {
    includeFiles(interp, root);
    std::vector<TreeNode*> includedRoots;
    for (const std::unique_ptr<TreeNode>& tree : interp.includedTrees) includedRoots.push_back(tree.get());
    std::vector<TypeRecord*> types = analyzeProgram(
        root, includedRoots, interp.sourceFiles, interp.programArguments.empty() ? std::string() : interp.programArguments[0]);
    // Prototypes first: the variables of included files may be of the program's types.
    buildPrototypes(exec, types);
    ModuleScopes modules(exec, includedRoots);
    ExecContext context;
    exec.executeBlock(&root, context, true);
    ControlState& control = exec.control;
    if (control.returnCount.present())
      exec.raise(root, fillKey("posretwerohnumgfun", {control.returnCount.text()}));
    if (control.continueCount.present())
      exec.raise(root, fillKey("posconwerohnumgsch", {control.continueCount.text()}));
    if (control.breakCount.present())
      exec.raise(root, fillKey("posbrewerohnumgsch", {control.breakCount.text()}));
    return exec.reportUnhandledException() ? 1 : 0;
  } catch (const ProgramExit& exit) {
    return exit.status;
  } catch (const ERROR& error) {
    exec.write(formatError(errorKindTitle(error.kind), error.file, error.line, error.message));
    return 1;
  }
}

}  // namespace kavor
