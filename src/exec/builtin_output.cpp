// The output statements (out, outl, pout, sout, soutl, fout, foutl, fsout, fsoutl) and the
// settings of the output side: separator and formats.
#include "core/interpreter.h"
#include "core/messages.h"
#include "core/text_form.h"
#include "core/values.h"
#include "exec/builtins.h"
#include "exec/value_output.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// How one output statement writes.
struct OutputForm {
  bool toString;   // the first argument is the `str` written to (sout, fsout, ...)
  bool formatted;  // the next argument holds field widths to install (fout, fsout, ...)
  bool newline;    // a "\n" ends the output (outl, soutl, ...)
  bool plain;      // no separators, generic form of user-defined values (pout)
};

template <OutputForm form>
void execOutput(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  constexpr size_t fixed = (form.toString ? 1 : 0) + (form.formatted ? 1 : 0);
  if constexpr (fixed > 0) call.require(checkCountRange(args, static_cast<long>(fixed), -1));
  STREAM_DATA* stream = &exec.interp.standardStream;
  if constexpr (form.toString) {
    call.require(checkType(args, 0, 's', false));
    call.require(checkModifiable(args[0], message("zuw")));
    stream = &args[0].object->resolve(true).asStr();
  }
  if constexpr (form.formatted) {
    constexpr size_t at = form.toString ? 1 : 0;
    call.require(checkType(args, at, 's', true));
    ColumnFormat format;
    call.require(parseColumnFormat(args[at].object->resolve(true).asStr().text, ' ', format));
    stream->settings->setFieldWidths(std::vector<int32_t>(format.widths.begin(), format.widths.end()));
  }
  call.require(writeValues(exec, node, context, *stream, args, fixed, form.plain));
  if constexpr (form.newline) call.require(stream->write("\n", false));
}

void execSetOutSpc(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  call.require(checkCount(args, 1));
  call.require(checkType(args, 0, 's', false));
  exec.interp.standardSettings.outputSeparator = args[0].object->resolve(true).asStr().text;
}

// set_out_fmt(format) for every type, set_out_fmt(letter, format) for one.
void execSetOutFmt(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  call.require(checkCountRange(args, 1, 2));
  char letter = ' ';
  if (args.size() == 2) {
    call.require(checkType(args, 0, 'c', true));
    letter = static_cast<char>(args[0].object->resolve(true).charValue());
  }
  call.require(checkType(args, args.size() - 1, 's', false));
  const std::string& format = args[args.size() - 1].object->resolve(true).asStr().text;
  call.require(setOutputFormat(exec.interp.standardSettings, letter, format));
}

void evalGetOutSpc(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  functionCall(exec, node).require(checkCount(args, 0));
  results.pushOwned(makeStr(exec.interp.standardSettings.outputSeparator.value_or("")), Access::Literal);
}

void evalGetOutFmt(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  functionCall(exec, node).require(checkCount(args, 0));
  results.pushOwned(makeStr(outputFormatText(exec.interp.standardSettings)), Access::Literal);
}

constexpr NamedBuiltin<ExecHandler> kStatements[] = {
    {"out", execOutput<OutputForm{false, false, false, false}>},
    {"outl", execOutput<OutputForm{false, false, true, false}>},
    {"pout", execOutput<OutputForm{false, false, false, true}>},
    {"sout", execOutput<OutputForm{true, false, false, false}>},
    {"soutl", execOutput<OutputForm{true, false, true, false}>},
    {"fout", execOutput<OutputForm{false, true, false, false}>},
    {"foutl", execOutput<OutputForm{false, true, true, false}>},
    {"fsout", execOutput<OutputForm{true, true, false, false}>},
    {"fsoutl", execOutput<OutputForm{true, true, true, false}>},
    {"set_out_spc", execSetOutSpc},
    {"set_out_fmt", execSetOutFmt},
};

constexpr NamedBuiltin<EvalHandler> kFunctions[] = {
    {"get_out_spc", evalGetOutSpc},
    {"get_out_fmt", evalGetOutFmt},
};

}  // namespace

StatementTable outputStatements() { return kStatements; }
FunctionTable outputFunctions() { return kFunctions; }

}  // namespace kavor
