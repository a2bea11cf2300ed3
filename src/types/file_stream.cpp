// A `file` as a stream: reading values from it, writing values into it, and the settings of
// the stream class all files share.
#include "core/interpreter.h"
#include "core/messages.h"
#include "core/text_form.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/value_input.h"
#include "exec/value_output.h"
#include "types/file_common.h"
#include "types/str_common.h"

namespace kavor {

namespace {

// in, sin, inw, inc, inl: reading goes on from where the last read stopped; a file not open
// for reading is opened for it. The function form yields whether every variable received a
// value.
template <InputRule Rule>
void fileIn(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  if (Rule == InputRule::Line && call.isFunction()) call.require(checkCount(call.args, 1));
  call.require(checkCountRange(call.args, 1, -1));
  Outcome<bool, Failure> complete = readValues(file, call.args, 0, Rule);
  call.require(complete.failure);
  if (call.isFunction()) call.out().pushOwned(makeBool(complete.value), Access::ConstResult);
}

// pin: the leading values are a prompt for a person, so they go to the standard stream;
// the variables after them are read from the file.
void filePin(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  size_t first = 0;
  while (first < call.args.size() && call.args[first].access <= Access::ConstObject) ++first;
  if (first == 0) call.fail(message("erwbegmin1nicvararg"));
  if (first == call.args.size()) call.fail(message("erwendmin1vararg"));
  call.require(checkInputVariables(call.args, first));
  ResultList prompt;
  for (size_t i = 0; i < first; ++i) prompt.push(call.args[i].object, call.args[i].access, false);
  call.require(writeValues(call.exec, call.node, call.context, call.exec.interp.standardStream, prompt, 0, false));
  Outcome<bool, Failure> complete = readValues(file, call.args, first, InputRule::Token);
  call.require(complete.failure);
  if (call.isFunction()) call.out().pushOwned(makeBool(complete.value), Access::ConstResult);
}

void fileInReset(MethodCall& call) { initialisedFile(call).restartReading(); }

struct OutputForm {
  bool formatted;  // the first argument holds field widths to install (fout, foutl, ...)
  bool newline;    // a "\n" ends the output (outl, foutl, ...)
  bool plain;      // no separators between the values (pout)
};

// out, sout, outl, soutl, fout, fsout, foutl, fsoutl, pout: a file not open for writing is
// opened with "o", which empties it; open it with "O" first to append.
template <OutputForm Form>
void fileOut(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  size_t first = 0;
  if (Form.formatted) {
    call.require(checkCountRange(call.args, 1, -1));
    ColumnFormat format;
    call.require(parseColumnFormat(textArgument(call, 0, true), ' ', format));
    file.settings->setFieldWidths(std::vector<int32_t>(format.widths.begin(), format.widths.end()));
    first = 1;
  }
  call.require(writeValues(call.exec, call.node, call.context, file, call.args, first, Form.plain));
  if (Form.newline) call.require(file.write("\n", false));
}

void fileSetInSpc(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  call.require(checkCountRange(call.args, 1, -1));
  std::vector<std::string> separators;
  separators.reserve(call.args.size());
  for (size_t i = 0; i < call.args.size(); ++i) separators.push_back(textArgument(call, i, false));
  call.require(file.settings->setInputSeparators(std::move(separators)));
}

void fileSetOutSpc(MethodCall& call) { initialisedFile(call).settings->outputSeparator = textArgument(call, 0, false); }

// set_out_fmt(format) for every type, set_out_fmt(letter, format) for one.
void fileSetOutFmt(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  char letter = ' ';
  if (call.args.size() == 2) {
    call.require(checkType(call.args, 0, 'c', true));
    letter = static_cast<char>(call.args[0].object->resolve(true).charValue());
  }
  call.require(setOutputFormat(*file.settings, letter, textArgument(call, call.args.size() - 1, false)));
}

void fileGetInSpc(MethodCall& call) {
  call.out().pushOwned(makeStr(inputSeparatorText(*initialisedFile(call).settings)), Access::ConstResult);
}

void fileGetOutSpc(MethodCall& call) {
  call.out().pushOwned(makeStr(initialisedFile(call).settings->outputSeparator.value_or("")), Access::ConstResult);
}

void fileGetOutFmt(MethodCall& call) {
  call.out().pushOwned(makeStr(outputFormatText(*initialisedFile(call).settings)), Access::ConstResult);
}

constexpr OutputForm kOut{false, false, false};
constexpr OutputForm kOutl{false, true, false};
constexpr OutputForm kFout{true, false, false};
constexpr OutputForm kFoutl{true, true, false};
constexpr OutputForm kPout{false, false, true};

const MethodEntry kStreamMethods[] = {
    {"in\xA7", true, true, fileIn<InputRule::Token>},
    {"in\xA7", true, false, fileIn<InputRule::Token>},
    {"sin\xA7", true, true, fileIn<InputRule::Token>},
    {"sin\xA7", true, false, fileIn<InputRule::Token>},
    {"inw\xA7", true, true, fileIn<InputRule::Word>},
    {"inw\xA7", true, false, fileIn<InputRule::Word>},
    {"inc\xA7", true, true, fileIn<InputRule::Field>},
    {"inc\xA7", true, false, fileIn<InputRule::Field>},
    {"inl\xA7", true, true, fileIn<InputRule::Line>},
    {"inl\xA7", true, false, fileIn<InputRule::Line>},
    {"pin\xA7", true, true, filePin},
    {"pin\xA7", true, false, filePin},
    {"in_reset\xA7\xA7", false, false, fileInReset},
    {"out\xA7", true, false, fileOut<kOut>},
    {"sout\xA7", true, false, fileOut<kOut>},
    {"outl\xA7", true, false, fileOut<kOutl>},
    {"soutl\xA7", true, false, fileOut<kOutl>},
    {"fout\xA7", true, false, fileOut<kFout>},
    {"fsout\xA7", true, false, fileOut<kFout>},
    {"foutl\xA7", true, false, fileOut<kFoutl>},
    {"fsoutl\xA7", true, false, fileOut<kFoutl>},
    {"pout\xA7", true, false, fileOut<kPout>},
    {"set_in_spc\xA7", true, false, fileSetInSpc},
    {"set_out_spc\xA7str;\xA7", false, false, fileSetOutSpc},
    {"set_out_fmt\xA7str;\xA7", false, false, fileSetOutFmt},
    {"set_out_fmt\xA7" "char;str;\xA7", false, false, fileSetOutFmt},
    {"get_in_spc\xA7\xA7", false, true, fileGetInSpc},
    {"get_out_spc\xA7\xA7", false, true, fileGetOutSpc},
    {"get_out_fmt\xA7\xA7", false, true, fileGetOutFmt},
};

}  // namespace

void registerFileStreamMethods() { registerMethods('f', kStreamMethods, std::size(kStreamMethods)); }

}  // namespace kavor
