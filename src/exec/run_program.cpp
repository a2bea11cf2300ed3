#include "exec/run_program.h"

#include "analysis/analyze_program.h"
#include "core/error.h"
#include "core/interpreter.h"
#include "core/messages.h"
#include "exec/executor.h"
#include "exec/user_types.h"

namespace kavor {

int runProgram(Interpreter& interp, TreeNode& root, const std::string& programName) {
  Executor exec(interp);
  try {
    std::vector<TypeRecord*> types = analyzeProgram(
        root, interp.sourceFiles, interp.programArguments.empty() ? std::string() : interp.programArguments[0]);
    buildPrototypes(exec, types);
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
