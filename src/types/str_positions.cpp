// Reading a `str` by position: get0, get, str, getp, args and their capital forms.
#include "core/values.h"
#include "exec/calls.h"
#include "types/str_common.h"

namespace kavor {

namespace {

void pushChar(MethodCall& call, char c) {
  call.out().pushOwned(makeChar(static_cast<unsigned char>(c)), Access::ConstResult);
}

template <bool FromEnd>
void strGet0(MethodCall& call) {
  const std::string& text = nonEmptyText(call).text;
  pushChar(call, FromEnd ? text.back() : text.front());
}

template <bool FromEnd>
void strGet(MethodCall& call) {
  const std::string& text = nonEmptyText(call).text;
  call.require(checkCountRange(call.args, 1, -1));
  for (size_t i = 0; i < call.args.size(); ++i) pushChar(call, text[characterPosition(call, i, FromEnd, text.size())]);
}

// A new string of the characters at the given positions, in argument order.
void strPick(MethodCall& call) {
  const std::string& text = definedText(call).text;
  std::string picked;
  picked.reserve(call.args.size());
  for (size_t i = 0; i < call.args.size(); ++i) picked += text[characterPosition(call, i, false, text.size())];
  call.out().pushOwned(makeStr(std::move(picked)), Access::ConstResult);
}

template <bool FromEnd>
void strGetp(MethodCall& call) {
  const std::string& text = nonEmptyText(call).text;
  CharacterRange range = characterRange(call, 0, FromEnd, text.size());
  call.out().pushOwned(makeStr(text.substr(range.start, range.count)), Access::ConstResult);
}

void strArgs(MethodCall& call) {
  for (char c : definedText(call).text) pushChar(call, c);
}

const MethodEntry kPositionMethods[] = {
    {"get0\xA7\xA7", false, true, strGet0<false>},
    {"Get0\xA7\xA7", false, true, strGet0<true>},
    {"get\xA7", true, true, strGet<false>},
    {"Get\xA7", true, true, strGet<true>},
    {"str\xA7", true, true, strPick},
    {"getp\xA7int;int;\xA7", false, true, strGetp<false>},
    {"Getp\xA7int;int;\xA7", false, true, strGetp<true>},
    {"args\xA7\xA7", false, true, strArgs},
};

}  // namespace

void registerStrPositionMethods() { registerMethods('s', kPositionMethods, std::size(kPositionMethods)); }

}  // namespace kavor
