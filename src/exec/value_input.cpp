#include "exec/value_input.h"

#include "core/binary_form.h"
#include "core/text_form.h"
#include "exec/calls.h"
#include "exec/token_reader.h"
#include "exec/user_types.h"

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

// The text of the next value; false when the input has ended.
Outcome<bool, Failure> readText(STREAM_DATA& stream, InputRule rule, std::string& text) {
  switch (rule) {
    case InputRule::Token: return readToken(stream, text);
    case InputRule::Word: return readToken(stream, wordSeparators(), text);
    case InputRule::Field: return readToken(stream, fieldSeparators(), text);
    case InputRule::Line: return readLine(stream, text);
  }
  return Outcome<bool, Failure>::success(false);
}

// The bytes of a stream, for the binary reader, and the types of the reading statement.
class StreamBytes final : public BinarySource {
 public:
  StreamBytes(STREAM_DATA& stream, TreeNode* where) : stream_(stream), where_(where) {}
  bool next(char& c) override { return !stream_.readChar(c); }
  TypeRecord* typeNamed(const std::string& name) override {
    return where_ ? kavor::typeNamed(*where_, name) : nullptr;
  }

 private:
  STREAM_DATA& stream_;
  TreeNode* where_;  // the reading statement; null where nothing names types
};

// Binary input: each variable takes one whole value, whatever its type; the value read
// decides whether the types agree.
Outcome<bool, Failure> readObjects(STREAM_DATA& stream, ResultList& variables, size_t first, TreeNode* where) {
  for (size_t i = first; i < variables.size(); ++i) {
    if (Failure failure = checkVariable(variables, i, true)) return Outcome<bool, Failure>::refusal(std::move(failure));
  }
  if (Refusal refusal = stream.prepareInput()) return Outcome<bool, Failure>::refusal(refusal);
  StreamBytes bytes(stream, where);
  for (size_t i = first; i < variables.size(); ++i) {
    Outcome<bool, Failure> read = readBinary(bytes, *variables[i].object);
    if (!read.ok() || !read.value) return read;
  }
  return Outcome<bool, Failure>::success(true);
}

}  // namespace

Failure checkInputVariables(const ResultList& variables, size_t first) {
  for (size_t i = first; i < variables.size(); ++i) {
    if (Failure failure = checkVariable(variables, i, true)) return failure;
    if (Failure failure = checkInputType(*variables[i].object)) return failure;
  }
  return Failure::none();
}

Outcome<bool, Failure> readValues(STREAM_DATA& stream, ResultList& variables, size_t first, InputRule rule,
                                  TreeNode* where) {
  if (stream.readsObjects()) return readObjects(stream, variables, first, where);
  if (Failure failure = checkInputVariables(variables, first)) return Outcome<bool, Failure>::refusal(std::move(failure));
  std::string text;
  for (size_t i = first; i < variables.size(); ++i) {
    Outcome<bool, Failure> read = readText(stream, rule, text);
    if (!read.ok() || !read.value) return read;
    if (Failure failure = convertString(text, *variables[i].object)) return Outcome<bool, Failure>::refusal(std::move(failure));
  }
  return Outcome<bool, Failure>::success(true);
}

std::string inputSeparatorText(const StreamSettings& settings) {
  std::string text;
  for (const std::string& separator : settings.inputSeparators) text += separator;
  return text;
}

}  // namespace kavor
