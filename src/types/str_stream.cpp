// A `str` as an in-memory stream: reading values from it, writing values into it, and the
// settings of the stream class all strings share.
#include "core/interpreter.h"
#include "core/messages.h"
#include "core/text_form.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/value_input.h"
#include "exec/value_output.h"
#include "types/str_common.h"

namespace kavor {

namespace {

// ---- reading ----------------------------------------------------------------------------

// in, sin, inw, inc, inl: reading goes on from where the last read stopped. The function
// form yields whether every variable received a value.
template <InputRule Rule>
void strIn(MethodCall& call) {
  STR_DATA& data = definedText(call);
  if (Rule == InputRule::Line && call.isFunction()) call.require(checkCount(call.args, 1));
  call.require(checkCountRange(call.args, 1, -1));
  Outcome<bool, Failure> complete = readValues(data, call.args, 0, Rule);
  call.require(complete.failure);
  if (call.isFunction()) call.out().pushOwned(makeBool(complete.value), Access::ConstResult);
}

// pin: the leading values are a prompt for a person, so they go to the standard stream;
// the variables after them are read from the string.
void strPin(MethodCall& call) {
  STR_DATA& data = definedText(call);
  size_t first = 0;
  while (first < call.args.size() && call.args[first].access <= Access::ConstObject) ++first;
  if (first == 0) call.fail(message("erwbegmin1nicvararg"));
  if (first == call.args.size()) call.fail(message("erwendmin1vararg"));
  call.require(checkInputVariables(call.args, first));
  ResultList prompt;
  for (size_t i = 0; i < first; ++i) prompt.push(call.args[i].object, call.args[i].access, false);
  call.require(writeValues(call.exec, call.node, call.context, call.exec.interp.standardStream, prompt, 0, false));
  Outcome<bool, Failure> complete = readValues(data, call.args, first, InputRule::Token);
  call.require(complete.failure);
  if (call.isFunction()) call.out().pushOwned(makeBool(complete.value), Access::ConstResult);
}

void strInReset(MethodCall& call) { definedText(call).restartReading(); }

// ---- writing ----------------------------------------------------------------------------

struct OutputForm {
  bool formatted;  // the first argument holds field widths to install (fout, foutl, ...)
  bool newline;    // a "\n" ends the output (outl, foutl, ...)
  bool plain;      // no separators between the values (pout)
};

// out, sout, outl, soutl, fout, fsout, foutl, fsoutl, pout: the string is the stream
// written to. A value that cannot be written takes back what the call wrote before it.
template <OutputForm Form>
void strOut(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  size_t first = 0;
  if (Form.formatted) {
    call.require(checkCountRange(call.args, 1, -1));
    ColumnFormat format;
    call.require(parseColumnFormat(textArgument(call, 0, true), ' ', format));
    data.settings->setFieldWidths(std::vector<int32_t>(format.widths.begin(), format.widths.end()));
    first = 1;
  }
  const size_t before = data.text.size();
  Failure failure = writeValues(call.exec, call.node, call.context, data, call.args, first, Form.plain);
  if (!failure && Form.newline) failure = data.write("\n", false);
  if (!failure) return;
  data.text.resize(std::min(before, data.text.size()));
  data.restartReading();
  call.fail(failure.text());
}

// ---- settings -----------------------------------------------------------------------------

void strSetInSpc(MethodCall& call) {
  STR_DATA& data = definedText(call);
  call.require(checkCountRange(call.args, 1, -1));
  std::vector<std::string> separators;
  separators.reserve(call.args.size());
  for (size_t i = 0; i < call.args.size(); ++i) separators.push_back(textArgument(call, i, false));
  call.require(data.settings->setInputSeparators(std::move(separators)));
}

void strSetOutSpc(MethodCall& call) {
  STR_DATA& data = definedText(call);
  data.settings->outputSeparator = textArgument(call, 0, false);
}

// set_out_fmt(format) for every type, set_out_fmt(letter, format) for one.
void strSetOutFmt(MethodCall& call) {
  STR_DATA& data = definedText(call);
  char letter = ' ';
  if (call.args.size() == 2) {
    call.require(checkType(call.args, 0, 'c', true));
    letter = static_cast<char>(call.args[0].object->resolve(true).charValue());
  }
  const std::string& format = textArgument(call, call.args.size() - 1, false);
  call.require(setOutputFormat(*data.settings, letter, format));
}

void strGetInSpc(MethodCall& call) {
  call.out().pushOwned(makeStr(inputSeparatorText(*definedText(call).settings)), Access::ConstResult);
}

void strGetOutSpc(MethodCall& call) {
  call.out().pushOwned(makeStr(definedText(call).settings->outputSeparator.value_or("")), Access::ConstResult);
}

void strGetOutFmt(MethodCall& call) {
  call.out().pushOwned(makeStr(outputFormatText(*definedText(call).settings)), Access::ConstResult);
}

constexpr OutputForm kOut{false, false, false};
constexpr OutputForm kOutl{false, true, false};
constexpr OutputForm kFout{true, false, false};
constexpr OutputForm kFoutl{true, true, false};
constexpr OutputForm kPout{false, false, true};

const MethodEntry kStreamMethods[] = {
    // Reading: the same in both forms.
    {"in\xA7", true, true, strIn<InputRule::Token>},
    {"in\xA7", true, false, strIn<InputRule::Token>},
    {"sin\xA7", true, true, strIn<InputRule::Token>},
    {"sin\xA7", true, false, strIn<InputRule::Token>},
    {"inw\xA7", true, true, strIn<InputRule::Word>},
    {"inw\xA7", true, false, strIn<InputRule::Word>},
    {"inc\xA7", true, true, strIn<InputRule::Field>},
    {"inc\xA7", true, false, strIn<InputRule::Field>},
    {"inl\xA7", true, true, strIn<InputRule::Line>},
    {"inl\xA7", true, false, strIn<InputRule::Line>},
    {"pin\xA7", true, true, strPin},
    {"pin\xA7", true, false, strPin},
    {"in_reset\xA7\xA7", false, false, strInReset},
    // Writing.
    {"out\xA7", true, false, strOut<kOut>},
    {"sout\xA7", true, false, strOut<kOut>},
    {"outl\xA7", true, false, strOut<kOutl>},
    {"soutl\xA7", true, false, strOut<kOutl>},
    {"fout\xA7", true, false, strOut<kFout>},
    {"fsout\xA7", true, false, strOut<kFout>},
    {"foutl\xA7", true, false, strOut<kFoutl>},
    {"fsoutl\xA7", true, false, strOut<kFoutl>},
    {"pout\xA7", true, false, strOut<kPout>},
    // Settings of all strings.
    {"set_in_spc\xA7", true, false, strSetInSpc},
    {"set_out_spc\xA7str;\xA7", false, false, strSetOutSpc},
    {"set_out_fmt\xA7str;\xA7", false, false, strSetOutFmt},
    {"set_out_fmt\xA7" "char;str;\xA7", false, false, strSetOutFmt},
    {"get_in_spc\xA7\xA7", false, true, strGetInSpc},
    {"get_out_spc\xA7\xA7", false, true, strGetOutSpc},
    {"get_out_fmt\xA7\xA7", false, true, strGetOutFmt},
};

}  // namespace

void registerStrStreamMethods() { registerMethods('s', kStreamMethods, std::size(kStreamMethods)); }

}  // namespace kavor
