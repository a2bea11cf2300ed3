// The input statements and their function forms (in, pin, sin, inw, inc, inl) and the input
// separators of the standard stream.
#include "core/interpreter.h"
#include "core/messages.h"
#include "core/values.h"
#include "exec/builtins.h"
#include "exec/value_input.h"
#include "exec/value_output.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// Where an input statement reads from.
enum class InputSource {
  Standard,  // the standard stream (in, inw, inc, inl)
  Prompted,  // the standard stream, after writing the leading non-variables (pin)
  String,    // the `str` given first (sin)
};

// The statement (`results` null) or the function form, which yields whether every variable
// received a value.
template <InputSource source, InputRule rule>
void runInput(Executor& exec, TreeNode& node, const ExecContext& context, ResultList* results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = results ? functionCall(exec, node) : statementCall(exec, node);
  STREAM_DATA* stream = &exec.interp.standardStream;
  size_t first = 0;
  if constexpr (source == InputSource::String) {
    call.require(checkCountRange(args, 2, -1));
    call.require(checkType(args, 0, 's', false));
    stream = &args[0].object->resolve(true).asStr();
    first = 1;
  } else if constexpr (source == InputSource::Prompted) {
    while (first < args.size() && args[first].access <= Access::ConstObject) ++first;
    if (first == 0) call.fail(message("erwbegmin1nicvararg"));
    if (first == args.size()) call.fail(message("erwendmin1vararg"));
    // A prompt is written only for a statement that can read (binary input reads every
    // type, and the value read decides).
    if (!stream->readsObjects()) call.require(checkInputVariables(args, first));
    ResultList prompt;
    for (size_t i = 0; i < first; ++i) prompt.push(args[i].object, args[i].access, false);
    call.require(writeValues(exec, node, context, *stream, prompt, 0, false));
  } else {
    call.require(checkCountRange(args, 1, -1));
  }
  Outcome<bool, Failure> complete = readValues(*stream, args, first, rule, &node);
  call.require(complete.failure);
  if (results) results->pushOwned(makeBool(complete.value), Access::ConstResult);
}

template <InputSource source, InputRule rule>
void execInput(Executor& exec, TreeNode& node, const ExecContext& context) {
  runInput<source, rule>(exec, node, context, nullptr);
}

template <InputSource source, InputRule rule>
void evalInput(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  runInput<source, rule>(exec, node, context, &results);
}

void execSetInSpc(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  std::vector<std::string> separators;
  for (size_t i = 0; i < args.size(); ++i) {
    call.require(checkType(args, i, 's', false));
    separators.push_back(args[i].object->resolve(true).asStr().text);
  }
  call.require(exec.interp.standardSettings.setInputSeparators(std::move(separators)));
}

void evalGetInSpc(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  functionCall(exec, node).require(checkCount(args, 0));
  results.pushOwned(makeStr(inputSeparatorText(exec.interp.standardSettings)), Access::Literal);
}

using S = InputSource;
using R = InputRule;

constexpr NamedBuiltin<ExecHandler> kStatements[] = {
    {"in", execInput<S::Standard, R::Token>}, {"pin", execInput<S::Prompted, R::Token>},
    {"sin", execInput<S::String, R::Token>},  {"inw", execInput<S::Standard, R::Word>},
    {"inc", execInput<S::Standard, R::Field>}, {"inl", execInput<S::Standard, R::Line>},
    {"set_in_spc", execSetInSpc},
};

constexpr NamedBuiltin<EvalHandler> kFunctions[] = {
    {"in", evalInput<S::Standard, R::Token>}, {"pin", evalInput<S::Prompted, R::Token>},
    {"sin", evalInput<S::String, R::Token>},  {"inw", evalInput<S::Standard, R::Word>},
    {"inc", evalInput<S::Standard, R::Field>}, {"inl", evalInput<S::Standard, R::Line>},
    {"get_in_spc", evalGetInSpc},
};

}  // namespace

StatementTable inputStatements() { return kStatements; }
FunctionTable inputFunctions() { return kFunctions; }

}  // namespace kavor
