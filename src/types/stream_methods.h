// The stream methods `str` and `file` share, written once over the stream a method works
// on: `Stream(call)` yields it after the type's own checks (a defined string, a file with a
// path).
#pragma once

#include "core/interpreter.h"
#include "core/messages.h"
#include "core/text_form.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/value_input.h"
#include "exec/value_output.h"
#include "types/str_common.h"

namespace kavor {

using StreamOf = STREAM_DATA& (*)(const MethodCall&);

// The shape of an output method.
struct OutputForm {
  bool formatted;  // the first argument holds field widths to install (fout, foutl, ...)
  bool newline;    // a "\n" ends the output (outl, foutl, ...)
  bool plain;      // no separators between the values (pout)
};

constexpr OutputForm kOut{false, false, false};
constexpr OutputForm kOutl{false, true, false};
constexpr OutputForm kFout{true, false, false};
constexpr OutputForm kFoutl{true, true, false};
constexpr OutputForm kPout{false, false, true};

// fout and its kin: installs the field widths of argument 0; returns the first value's index.
template <OutputForm Form>
size_t installFieldWidths(MethodCall& call, STREAM_DATA& stream) {
  if (!Form.formatted) return 0;
  call.require(checkCountRange(call.args, 1, -1));
  ColumnFormat format;
  call.require(parseColumnFormat(textArgument(call, 0, true), ' ', format));
  stream.settings->setFieldWidths(std::vector<int32_t>(format.widths.begin(), format.widths.end()));
  return 1;
}

// in, sin, inw, inc, inl: reading goes on from where the last read stopped. The function
// form yields whether every variable received a value.
template <StreamOf Stream, InputRule Rule>
void streamIn(MethodCall& call) {
  STREAM_DATA& stream = Stream(call);
  if (Rule == InputRule::Line && call.isFunction()) call.require(checkCount(call.args, 1));
  call.require(checkCountRange(call.args, 1, -1));
  Outcome<bool, Failure> complete = readValues(stream, call.args, 0, Rule);
  call.require(complete.failure);
  if (call.isFunction()) call.out().pushOwned(makeBool(complete.value), Access::ConstResult);
}

// pin: the leading values are a prompt for a person, so they go to the standard stream;
// the variables after them are read from the stream.
template <StreamOf Stream>
void streamPin(MethodCall& call) {
  STREAM_DATA& stream = Stream(call);
  size_t first = 0;
  while (first < call.args.size() && call.args[first].access <= Access::ConstObject) ++first;
  if (first == 0) call.fail(message("erwbegmin1nicvararg"));
  if (first == call.args.size()) call.fail(message("erwendmin1vararg"));
  call.require(checkInputVariables(call.args, first));
  ResultList prompt;
  for (size_t i = 0; i < first; ++i) prompt.push(call.args[i].object, call.args[i].access, false);
  call.require(writeValues(call.exec, call.node, call.context, call.exec.interp.standardStream, prompt, 0, false));
  Outcome<bool, Failure> complete = readValues(stream, call.args, first, InputRule::Token);
  call.require(complete.failure);
  if (call.isFunction()) call.out().pushOwned(makeBool(complete.value), Access::ConstResult);
}

// ---- the settings of the stream's class ---------------------------------------------------

template <StreamOf Stream>
void streamSetInSpc(MethodCall& call) {
  STREAM_DATA& stream = Stream(call);
  call.require(checkCountRange(call.args, 1, -1));
  std::vector<std::string> separators;
  separators.reserve(call.args.size());
  for (size_t i = 0; i < call.args.size(); ++i) separators.push_back(textArgument(call, i, false));
  call.require(stream.settings->setInputSeparators(std::move(separators)));
}

template <StreamOf Stream>
void streamSetOutSpc(MethodCall& call) {
  STREAM_DATA& stream = Stream(call);
  stream.settings->outputSeparator = textArgument(call, 0, false);
}

// set_out_fmt(format) for every type, set_out_fmt(letter, format) for one.
template <StreamOf Stream>
void streamSetOutFmt(MethodCall& call) {
  STREAM_DATA& stream = Stream(call);
  char letter = ' ';
  if (call.args.size() == 2) {
    call.require(checkType(call.args, 0, 'c', true));
    letter = static_cast<char>(call.args[0].object->resolve(true).charValue());
  }
  const std::string& format = textArgument(call, call.args.size() - 1, false);
  call.require(setOutputFormat(*stream.settings, letter, format));
}

template <StreamOf Stream>
void streamGetInSpc(MethodCall& call) {
  call.out().pushOwned(makeStr(inputSeparatorText(*Stream(call).settings)), Access::ConstResult);
}

template <StreamOf Stream>
void streamGetOutSpc(MethodCall& call) {
  call.out().pushOwned(makeStr(Stream(call).settings->outputSeparator.value_or("")), Access::ConstResult);
}

template <StreamOf Stream>
void streamGetOutFmt(MethodCall& call) {
  call.out().pushOwned(makeStr(outputFormatText(*Stream(call).settings)), Access::ConstResult);
}

// Registers the stream methods of type `base`: reading, writing by `Writer::write<Form>` (a
// type decides what a failed write leaves) and the settings; `inReset` restarts reading.
template <StreamOf Stream, class Writer>
void registerStreamMethods(TypeCode base, MethodHandler inReset) {
  static const MethodEntry entries[] = {
      // Reading: the same in both forms.
      {"in\xA7", true, true, streamIn<Stream, InputRule::Token>},
      {"in\xA7", true, false, streamIn<Stream, InputRule::Token>},
      {"sin\xA7", true, true, streamIn<Stream, InputRule::Token>},
      {"sin\xA7", true, false, streamIn<Stream, InputRule::Token>},
      {"inw\xA7", true, true, streamIn<Stream, InputRule::Word>},
      {"inw\xA7", true, false, streamIn<Stream, InputRule::Word>},
      {"inc\xA7", true, true, streamIn<Stream, InputRule::Field>},
      {"inc\xA7", true, false, streamIn<Stream, InputRule::Field>},
      {"inl\xA7", true, true, streamIn<Stream, InputRule::Line>},
      {"inl\xA7", true, false, streamIn<Stream, InputRule::Line>},
      {"pin\xA7", true, true, streamPin<Stream>},
      {"pin\xA7", true, false, streamPin<Stream>},
      {"in_reset\xA7\xA7", false, false, inReset},
      // Writing.
      {"out\xA7", true, false, Writer::template write<kOut>},
      {"sout\xA7", true, false, Writer::template write<kOut>},
      {"outl\xA7", true, false, Writer::template write<kOutl>},
      {"soutl\xA7", true, false, Writer::template write<kOutl>},
      {"fout\xA7", true, false, Writer::template write<kFout>},
      {"fsout\xA7", true, false, Writer::template write<kFout>},
      {"foutl\xA7", true, false, Writer::template write<kFoutl>},
      {"fsoutl\xA7", true, false, Writer::template write<kFoutl>},
      {"pout\xA7", true, false, Writer::template write<kPout>},
      // Settings of the whole stream class.
      {"set_in_spc\xA7", true, false, streamSetInSpc<Stream>},
      {"set_out_spc\xA7str;\xA7", false, false, streamSetOutSpc<Stream>},
      {"set_out_fmt\xA7str;\xA7", false, false, streamSetOutFmt<Stream>},
      {"set_out_fmt\xA7" "char;str;\xA7", false, false, streamSetOutFmt<Stream>},
      {"get_in_spc\xA7\xA7", false, true, streamGetInSpc<Stream>},
      {"get_out_spc\xA7\xA7", false, true, streamGetOutSpc<Stream>},
      {"get_out_fmt\xA7\xA7", false, true, streamGetOutFmt<Stream>},
  };
  registerMethods(base, entries, std::size(entries));
}

}  // namespace kavor
