// What the program sees of its process: arguments, clocks, working directory, environment
// and shell commands.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/interpreter.h"
#include "core/messages.h"
#include "core/text_form.h"
#include "core/values.h"
#include "exec/builtins.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// The text of the `str` argument at `index`, after the caller's checks.
const std::string& textArgument(ResultList& args, size_t index) {
  return args[index].object->resolve(true).asStr().text;
}

// ---- program arguments ------------------------------------------------------------------

void evalArgc(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  functionCall(exec, node).require(checkCount(args, 0));
  results.pushOwned(makeInt(static_cast<long long>(exec.interp.programArguments.size())), Access::Literal);
}

void evalArgv(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  const std::vector<std::string>& arguments = exec.interp.programArguments;
  if (!args.empty() && arguments.empty()) call.fail(message("keiproargvor"));
  const long long last = static_cast<long long>(arguments.size()) - 1;
  for (size_t i = 0; i < args.size(); ++i) {
    call.require(checkIntMin(args, i, 0));
    const BigInt& index = args[i].object->resolve(true).asInt();
    if (!index.fitsIn(0, last)) call.fail(fillKey("erwintargkle", {std::to_string(last)}));
    results.pushOwned(makeStr(arguments[static_cast<size_t>(*index.toInt64())]), Access::Literal);
  }
}

// ---- clocks -----------------------------------------------------------------------------

template <double RunClock::*start, double (*now)()>
void execSetClock(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  statementCall(exec, node).require(checkCount(args, 0));
  exec.interp.clock.*start = now();
}

// Seconds since the clock was started, as a `real` made from its "%g" text.
template <double RunClock::*start, double (*now)()>
void evalGetClock(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  call.require(checkCount(args, 0));
  char text[64];
  std::snprintf(text, sizeof text, "%g", now() - exec.interp.clock.*start);
  auto seconds = std::make_unique<Object>('r');
  call.require(convertString(text, *seconds));
  results.pushOwned(std::move(seconds), Access::Literal);
}

// ---- working directory, environment, shell -----------------------------------------------

void execSetCwd(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  call.require(checkCount(args, 1));
  call.require(checkType(args, 0, 's', false));
  const std::string& path = textArgument(args, 0);
  if (::chdir(path.c_str()) != 0) call.fail(fillKey("kannicverwec", {path}));
}

void evalGetCwd(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  functionCall(exec, node).require(checkCount(args, 0));
  std::string path(256, '\0');
  // The buffer grows until the path fits; any other failure (the directory was removed)
  // leaves the path empty.
  while (::getcwd(path.data(), path.size()) == nullptr) {
    if (errno != ERANGE) {
      path.clear();
      break;
    }
    path.resize(path.size() * 2);
  }
  path.resize(std::strlen(path.c_str()));
  results.pushOwned(makeStr(std::move(path)), Access::Literal);
}

void evalGetEnv(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  call.require(checkCount(args, 1));
  call.require(checkType(args, 0, 's', true));
  const char* value = std::getenv(textArgument(args, 0).c_str());
  results.pushOwned(makeStr(value ? value : ""), Access::Literal);
}

// Runs the command of the one non-empty `str` argument; the shell's status.
int runShellCommand(const BuiltinCall& call, ResultList& args) {
  call.require(checkCount(args, 1));
  call.require(checkType(args, 0, 's', true));
  // Whatever the program wrote must appear before what the command writes.
  std::fflush(nullptr);
  return std::system(textArgument(args, 0).c_str());
}

void execSystem(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  runShellCommand(statementCall(exec, node), args);
}

void evalSystem(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  int status = runShellCommand(functionCall(exec, node), args);
  results.pushOwned(makeInt(static_cast<long long>(status / 256)), Access::Literal);
}

constexpr NamedBuiltin<ExecHandler> kStatements[] = {
    {"set_calctime", execSetClock<&RunClock::cpuStart, &RunClock::cpuSeconds>},
    {"set_realtime", execSetClock<&RunClock::realStart, &RunClock::realSeconds>},
    {"set_cwd", execSetCwd},
    {"system", execSystem},
};

constexpr NamedBuiltin<EvalHandler> kFunctions[] = {
    {"argc", evalArgc},
    {"argv", evalArgv},
    {"get_calctime", evalGetClock<&RunClock::cpuStart, &RunClock::cpuSeconds>},
    {"get_realtime", evalGetClock<&RunClock::realStart, &RunClock::realSeconds>},
    {"get_cwd", evalGetCwd},
    {"get_env", evalGetEnv},
    {"system", evalSystem},
};

}  // namespace

StatementTable systemStatements() { return kStatements; }
FunctionTable systemFunctions() { return kFunctions; }

}  // namespace kavor
