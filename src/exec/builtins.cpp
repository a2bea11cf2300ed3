// Built-in statements (output, destruction, settings) and built-in functions (program
// arguments, tests on objects, counting), reached when no procedure or function of the
// program has the name.
#include "analysis/text_form.h"
#include "core/interpreter.h"
#include "core/messages.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/values.h"
#include "numbers/bigint.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

BuiltinCall statementCall(Executor& exec, TreeNode& node) {
  return BuiltinCall{exec, node, NameKind::Procedure, "sys:" + node.text};
}
BuiltinCall functionCall(Executor& exec, TreeNode& node) {
  return BuiltinCall{exec, node, NameKind::Function, "sys:" + node.text};
}

// ---- output ---------------------------------------------------------------------------

// Writes the values args[first..] to `stream`, separated by the stream's output separator
// when `separated`; each value goes out as soon as it is converted.
void writeValues(const BuiltinCall& call, STREAM_DATA& stream, ResultList& args, size_t first, bool separated) {
  for (size_t i = first; i < args.size(); ++i) {
    if (separated && i > first && stream.settings->outputSeparator)
      call.require(stream.write(*stream.settings->outputSeparator, false).value_or(""));
    std::string text, failure;
    if (!writeText(*args[i].object, text, &failure)) call.fail(failure);
    call.require(stream.write(text, true).value_or(""));
  }
}

void output(Executor& exec, TreeNode& node, const ExecContext& context, bool toString, bool formatted,
            bool newline, bool separated) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  size_t fixed = (toString ? 1 : 0) + (formatted ? 1 : 0);
  if (fixed > 0) call.require(checkCountRange(args, static_cast<long>(fixed), -1));
  STREAM_DATA* stream = &exec.interp.standardStream;
  if (toString) {
    call.require(checkType(args, 0, 's', false));
    call.require(checkModifiable(args[0], message("zuw")));
    stream = &args[0].object->resolve(true).asStr();
  }
  if (formatted) {
    size_t at = toString ? 1 : 0;
    call.require(checkType(args, at, 's', true));
    ColumnFormat format;
    call.require(parseColumnFormat(args[at].object->resolve(true).asStr().text, ' ', format));
    stream->settings->setFieldWidths(std::vector<int32_t>(format.widths.begin(), format.widths.end()));
  }
  writeValues(call, *stream, args, fixed, separated);
  if (newline) call.require(stream->write("\n", false).value_or(""));
}

void execOut(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, false, false, false, true); }
void execOutl(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, false, false, true, true); }
void execPout(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, false, false, false, false); }
void execSout(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, true, false, false, true); }
void execSoutl(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, true, false, true, true); }
void execFout(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, false, true, false, true); }
void execFoutl(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, false, true, true, true); }
void execFsout(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, true, true, false, true); }
void execFsoutl(Executor& e, TreeNode& n, const ExecContext& c) { output(e, n, c, true, true, true, true); }

void execSetOutSpc(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  call.require(checkCount(args, 1));
  call.require(checkType(args, 0, 's', false));
  exec.interp.standardSettings.outputSeparator = args[0].object->resolve(true).asStr().text;
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
  call.require(exec.interp.standardSettings.setInputSeparators(std::move(separators)).value_or(""));
}

// ---- destruction ----------------------------------------------------------------------

void execDel(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  for (size_t i = 0; i < args.size(); ++i) {
    call.require(checkVariable(args, i, false));
    call.require(checkModifiable(args[i], message("zuw")));
    Object& object = args[i].object->resolve(false);
    if (object.isAny() && hasTypedIndirection(object)) call.fail(message("desobjtypvoinicherl"));
    object.clear(true);
  }
}

void execClear(Executor& exec, TreeNode& node, const ExecContext& context) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = statementCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  for (size_t i = 0; i < args.size(); ++i) {
    call.require(checkVariable(args, i, false));
    Object& object = args[i].object->resolve(false);
    if (!object.resolve(true).isDefined()) call.fail(message("insnicdef"));
    call.require(checkModifiable(args[i], message("zuw")));
    if (object.isAny() && hasTypedIndirection(object)) call.fail(message("loeobjtypvoinicherl"));
    object.resolve(true).makeEmpty();
  }
}

// ---- functions ------------------------------------------------------------------------

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
  const auto& arguments = exec.interp.programArguments;
  for (size_t i = 0; i < args.size(); ++i) {
    call.require(checkIntMin(args, i, 0));
    const BigInt& index = args[i].object->resolve(true).asInt();
    long long last = static_cast<long long>(arguments.size()) - 1;
    if (!index.fitsIn(0, last)) call.fail(fillKey("erwintargkle", {std::to_string(last)}));
    auto text = std::make_unique<Object>('s');
    text->asStr().text = arguments[static_cast<size_t>(*index.toInt64())];
    results.pushOwned(std::move(text), Access::Literal);
  }
}

template <bool (*Test)(Object&)>
void evalObjectTest(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  functionCall(exec, node).require(checkCountRange(args, 1, -1));
  for (Result& entry : args) results.pushOwned(makeBool(Test(*entry.object)), Access::Literal);
}

bool testDefined(Object& object) { return object.resolve(true).isDefined(); }
bool testReference(Object& object) { return isReferenceCode(object.resolve(false).typeCode); }
bool testAlias(Object& object) { return isAliasCode(object.typeCode); }

void evalEmpty(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  BuiltinCall call = functionCall(exec, node);
  call.require(checkCountRange(args, 1, -1));
  for (Result& entry : args) {
    Object& object = entry.object->resolve(true);
    if (!object.isDefined()) call.fail(message("insnicdef"));
    results.pushOwned(makeBool(object.isEmpty()), Access::Literal);
  }
}

void evalCount(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  ResultList args;
  evaluateArguments(exec, node, context, args);
  results.pushOwned(makeInt(static_cast<long long>(args.size())), Access::Literal);
}

}  // namespace

ExecHandler builtinStatement(const std::string& name) {
  if (ExecHandler control = builtinControlStatement(name)) return control;
  static const std::pair<const char*, ExecHandler> table[] = {
      {"out", execOut},     {"outl", execOutl},   {"pout", execPout},     {"sout", execSout},
      {"soutl", execSoutl}, {"fout", execFout},   {"foutl", execFoutl},   {"fsout", execFsout},
      {"fsoutl", execFsoutl}, {"set_out_spc", execSetOutSpc}, {"set_in_spc", execSetInSpc},
      {"del", execDel},     {"clear", execClear}};
  for (const auto& [word, handler] : table)
    if (name == word) return handler;
  return nullptr;
}

EvalHandler builtinFunction(const std::string& name) {
  static const std::pair<const char*, EvalHandler> table[] = {
      {"argc", evalArgc},
      {"argv", evalArgv},
      {"def", evalObjectTest<testDefined>},
      {"ref", evalObjectTest<testReference>},
      {"alias", evalObjectTest<testAlias>},
      {"empty", evalEmpty},
      {"count", evalCount}};
  for (const auto& [word, handler] : table)
    if (name == word) return handler;
  return nullptr;
}

}  // namespace kavor
