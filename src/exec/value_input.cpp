#include "exec/value_input.h"

#include "core/text_form.h"
#include "exec/calls.h"
#include "exec/token_reader.h"

namespace kavor {

namespace {

const std::vector<std::string>& wordSeparators() {
  static const std::vector<std::string> separators{" ", "\t", "\n", "\r", "\f", "\v"};
  return separators;
}

const std::vector<std::string>& fieldSeparators() {
  static const std::vector<std::string> separators{",", "\n", "\r"};
  return separators;
}

// The text of the next value; false when the input has ended or failed.
bool readText(STREAM_DATA& stream, InputRule rule, std::string& text, std::string& failure) {
  switch (rule) {
    case InputRule::Token: return readToken(stream, text, failure);
    case InputRule::Word: return readToken(stream, wordSeparators(), text, failure);
    case InputRule::Field: return readToken(stream, fieldSeparators(), text, failure);
    case InputRule::Line: return readLine(stream, text, failure);
  }
  return false;
}

}  // namespace

std::string checkInputVariables(const ResultList& variables, size_t first) {
  for (size_t i = first; i < variables.size(); ++i) {
    std::string failure = checkVariable(variables, i, true);
    if (failure.empty()) failure = checkInputType(*variables[i].object);
    if (!failure.empty()) return failure;
  }
  return "";
}

bool readValues(STREAM_DATA& stream, ResultList& variables, size_t first, InputRule rule, std::string& failure) {
  failure = checkInputVariables(variables, first);
  if (!failure.empty()) return false;
  // Binary input (-ib) reads the binary object form here once its reader exists; until then
  // every stream is read as text.
  std::string text;
  for (size_t i = first; i < variables.size(); ++i) {
    if (!readText(stream, rule, text, failure)) return false;
    failure = convertString(text, *variables[i].object);
    if (!failure.empty()) return false;
  }
  return true;
}

std::string inputSeparatorText(const StreamSettings& settings) {
  std::string text;
  for (const std::string& separator : settings.inputSeparators) text += separator;
  return text;
}

}  // namespace kavor
