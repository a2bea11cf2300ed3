// Changing a `str` as a whole: repl and its forms, chop (stripping), tolower, toupper and
// flip.
#include <algorithm>

#include "exec/calls.h"
#include "types/str_common.h"

namespace kavor {

namespace {

// repl, Repl, repl_all, Repl_all: the result is built in one pass over the matches, and the
// inserted text is never searched again.
template <bool FromEnd, bool All>
void strRepl(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  const std::string& old = textArgument(call, 0, true);
  const std::string& replacement = textArgument(call, 1, false);
  const std::string& text = data.text;
  NeedleSearch search(old, FromEnd);
  std::vector<size_t> matches;
  size_t bound = FromEnd ? text.size() : 0;
  for (;;) {
    size_t found = search.next(text, bound);
    if (found == std::string::npos) break;
    matches.push_back(found);
    if (!All) break;
    bound = FromEnd ? found : found + old.size();
  }
  if (matches.empty()) return;
  if (FromEnd) std::reverse(matches.begin(), matches.end());
  std::string result;
  result.reserve(text.size() - matches.size() * old.size() + matches.size() * replacement.size());
  size_t copied = 0;
  for (size_t match : matches) {
    result.append(text, copied, match - copied);
    result += replacement;
    copied = match + old.size();
  }
  result.append(text, copied);
  data.text = std::move(result);
  data.restartReading();
}

// chop (front), Chop (end), cChop (both, front first), with the standard separators or the
// given strip set.
template <bool Front, bool End>
void strChop(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  std::vector<std::string> given;
  for (size_t i = 0; i < call.args.size(); ++i) given.push_back(textArgument(call, i, true));
  const std::vector<std::string>& set = call.args.empty() ? standardSeparators() : given;
  std::string& text = data.text;
  size_t front = Front ? strippable(text, set, false) : 0;
  size_t back = End ? strippable(std::string_view(text).substr(front), set, true) : 0;
  if (front == 0 && back == 0) return;
  text.erase(text.size() - back);
  text.erase(0, front);
  data.restartReading();
}

template <char (*Convert)(char)>
void strConvert(MethodCall& call) {
  STR_DATA& data = definedText(call);
  call.requireModifiable();
  for (char& c : data.text) c = Convert(c);
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void strFlip(MethodCall& call) {
  STR_DATA& data = definedText(call);
  call.requireModifiable();
  std::reverse(data.text.begin(), data.text.end());
  data.restartReading();
}

const MethodEntry kChangeMethods[] = {
    {"repl\xA7str;str;\xA7", false, false, strRepl<false, false>},
    {"Repl\xA7str;str;\xA7", false, false, strRepl<true, false>},
    {"repl_all\xA7str;str;\xA7", false, false, strRepl<false, true>},
    {"Repl_all\xA7str;str;\xA7", false, false, strRepl<true, true>},
    {"chop\xA7\xA7", false, false, strChop<true, false>},
    {"Chop\xA7\xA7", false, false, strChop<false, true>},
    {"cChop\xA7\xA7", false, false, strChop<true, true>},
    {"chop\xA7", true, false, strChop<true, false>},
    {"Chop\xA7", true, false, strChop<false, true>},
    {"cChop\xA7", true, false, strChop<true, true>},
    {"tolower\xA7\xA7", false, false, strConvert<lower>},
    {"toupper\xA7\xA7", false, false, strConvert<upper>},
    {"flip\xA7\xA7", false, false, strFlip},
};

}  // namespace

void registerStrChangeMethods() { registerMethods('s', kChangeMethods, std::size(kChangeMethods)); }

}  // namespace kavor
