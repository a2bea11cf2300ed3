// Splitting a `str` into tokens: split, anysplit, their capital and "0" forms, and the
// function form of del0/Del0, which takes the first or last token out of the string.
#include <algorithm>

#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/token_reader.h"
#include "types/str_common.h"

namespace kavor {

namespace {

// Reads a text through the token reader without copying it, from the front or from the
// end; the string's own read position is left alone.
class TextReader final : public STREAM_DATA {
 public:
  TextReader(std::string_view text, bool backwards)
      : STREAM_DATA(STR_DATA::sharedSettings), text_(text), backwards_(backwards) {}

  Refusal prepareInput() override { return Refusal::none(); }
  bool readChar(char& c) override {
    if (consumed_ >= text_.size()) return true;
    c = backwards_ ? text_[text_.size() - 1 - consumed_] : text_[consumed_];
    ++consumed_;
    return false;
  }
  bool isBinary() const override { return false; }
  bool isInteractive() const override { return false; }
  Refusal write(std::string_view, bool) override { return Refusal::none(); }

  // Bytes read so far.
  size_t consumed() const { return consumed_; }

 private:
  std::string_view text_;  // the text read; outlives the reader
  bool backwards_;         // read from the last byte towards the first
  size_t consumed_ = 0;    // bytes read so far, in reading direction
};

// The separators of a split: the arguments from `first` on (each a non-empty `str`), or the
// standard set without arguments. Reading from the end needs them reversed too, so that a
// separator of several bytes is still found.
std::vector<std::string> separatorsOf(const MethodCall& call, size_t first, bool backwards) {
  if (call.args.size() <= first) return standardSeparators();
  std::vector<std::string> separators;
  separators.reserve(call.args.size() - first);
  for (size_t i = first; i < call.args.size(); ++i) {
    std::string separator = textArgument(call, i, false);
    if (separator.empty()) call.fail(message("leezeiketsepunz"));
    if (backwards) std::reverse(separator.begin(), separator.end());
    separators.push_back(std::move(separator));
  }
  return separators;
}

// Reads the next token in reading direction; a token read from the end is turned back.
bool nextToken(const MethodCall& call, TextReader& reader, const std::vector<std::string>& separators,
               bool backwards, std::string& token) {
  Outcome<bool, Failure> read = readToken(reader, separators, token);
  call.require(read.failure);
  if (read.value && backwards) std::reverse(token.begin(), token.end());
  return read.value;
}

// With separators of one byte each, the token reader's window never holds more than the
// byte just read, so the tokens are exactly the maximal runs of other bytes: cut them out
// of the text directly instead of reading it byte by byte through a stream.
template <bool Backwards, bool Typed, bool FirstOnly>
void splitAtBytes(MethodCall& call, const std::string& text, const std::vector<std::string>& separators) {
  bool isSeparator[256] = {};
  for (const std::string& separator : separators) isSeparator[static_cast<unsigned char>(separator[0])] = true;
  // The reader compares a NUL byte as the stored NUL, which no separator written as NUL meets.
  isSeparator[0] = isSeparator[static_cast<unsigned char>(kStoredNul)];
  auto separates = [&](size_t i) { return isSeparator[static_cast<unsigned char>(text[i])]; };
  auto push = [&](size_t begin, size_t end) {
    std::string token(text, begin, end - begin);
    // A NUL byte reaches a token as the stored NUL, as it does through a stream.
    std::replace(token.begin(), token.end(), '\0', kStoredNul);
    call.out().pushOwned(Typed ? mostSpecificValue(std::move(token)) : makeStr(std::move(token)),
                         Access::ConstResult);
  };
  const size_t size = text.size();
  if (!Backwards) {
    for (size_t i = 0; i < size;) {
      if (separates(i)) { ++i; continue; }
      size_t end = i;
      while (end < size && !separates(end)) ++end;
      push(i, end);
      if (FirstOnly) return;
      i = end;
    }
    return;
  }
  for (size_t i = size; i > 0;) {
    if (separates(i - 1)) { --i; continue; }
    size_t begin = i;
    while (begin > 0 && !separates(begin - 1)) --begin;
    push(begin, i);
    if (FirstOnly) return;
    i = begin;
  }
}

template <bool Backwards, bool Typed, bool FirstOnly>
void strSplit(MethodCall& call) {
  const std::string& text = definedText(call).text;
  std::vector<std::string> separators = separatorsOf(call, 0, Backwards);
  if (std::all_of(separators.begin(), separators.end(), [](const std::string& s) { return s.size() == 1; })) {
    splitAtBytes<Backwards, Typed, FirstOnly>(call, text, separators);
    return;
  }
  TextReader reader(text, Backwards);
  std::string token;
  while (nextToken(call, reader, separators, Backwards, token)) {
    call.out().pushOwned(Typed ? mostSpecificValue(std::move(token)) : makeStr(std::move(token)),
                         Access::ConstResult);
    if (FirstOnly) return;
  }
}

// del0/Del0 as a function: moves the first (last) token into the variable and removes it
// from the string together with the separators around it; false, leaving both unchanged,
// when the string holds no token.
template <bool Backwards>
void strTakeToken(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  call.require(checkCountRange(call.args, 1, -1));
  call.require(checkVariable(call.args, 0, true));
  call.require(checkType(call.args, 0, 's', false));
  // Stripping looks at the text as it stands, reading from the end at the text reversed.
  const std::vector<std::string> separators = separatorsOf(call, 1, false);
  const std::vector<std::string> readingSeparators = Backwards ? separatorsOf(call, 1, true) : separators;
  std::string& text = data.text;
  TextReader reader(text, Backwards);
  std::string token;
  bool found = nextToken(call, reader, readingSeparators, Backwards, token);
  if (found) {
    std::string_view rest(text);
    rest = Backwards ? rest.substr(0, text.size() - reader.consumed()) : rest.substr(reader.consumed());
    size_t removed = reader.consumed() + strippable(rest, separators, Backwards);
    if (Backwards) text.erase(text.size() - removed);
    else text.erase(0, removed);
    data.restartReading();
    Object value('s');
    value.asStr().text = std::move(token);
    call.require(transfer(*call.args[0].object, value, Transfer::Copy));
  }
  call.out().pushOwned(makeBool(found), Access::ConstResult);
}

const MethodEntry kSplitMethods[] = {
    {"split\xA7", true, true, strSplit<false, false, false>},
    {"Split\xA7", true, true, strSplit<true, false, false>},
    {"anysplit\xA7", true, true, strSplit<false, true, false>},
    {"Anysplit\xA7", true, true, strSplit<true, true, false>},
    {"split0\xA7", true, true, strSplit<false, false, true>},
    {"Split0\xA7", true, true, strSplit<true, false, true>},
    {"anysplit0\xA7", true, true, strSplit<false, true, true>},
    {"Anysplit0\xA7", true, true, strSplit<true, true, true>},
    {"del0\xA7", true, true, strTakeToken<false>},
    {"Del0\xA7", true, true, strTakeToken<true>},
};

}  // namespace

void registerStrSplitMethods() { registerMethods('s', kSplitMethods, std::size(kSplitMethods)); }

}  // namespace kavor
