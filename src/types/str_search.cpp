// Searching a `str`: def, find_str and its capital and _all forms, and find with a code
// condition.
#include "core/messages.h"
#include "core/payloads.h"
#include "core/values.h"
#include "exec/calls.h"
#include "types/str_common.h"

namespace kavor {

namespace {

// The position a search reports: from the front, or for the capital forms the distance of
// the occurrence's first byte from the end.
long long reported(size_t position, size_t length, bool fromEnd) {
  return static_cast<long long>(fromEnd ? length - 1 - position : position);
}

void strDef(MethodCall& call) {
  const std::string& text = definedText(call).text;
  call.require(checkDefined(call.args, 0));
  const std::string& needle = call.args[0].object->resolve(true).asStr().text;
  call.out().pushOwned(makeBool(text.find(needle) != std::string::npos), Access::ConstResult);
}

// find_str, Find_str and their _all forms: each argument is searched on its own, in order.
template <bool FromEnd, bool All>
void strFindText(MethodCall& call) {
  const std::string& text = definedText(call).text;
  call.require(checkCountRange(call.args, 1, -1));
  for (size_t i = 0; i < call.args.size(); ++i) textArgument(call, i, true);
  const size_t length = text.size();
  for (size_t i = 0; i < call.args.size(); ++i) {
    NeedleSearch search(call.args[i].object->resolve(true).asStr().text, FromEnd);
    size_t bound = FromEnd ? length : 0;
    for (;;) {
      size_t found = search.next(text, bound);
      if (found == std::string::npos) break;
      call.out().pushOwned(makeInt(reported(found, length, FromEnd)), Access::ConstResult);
      if (!All) break;
      // Occurrences do not overlap: the next one lies wholly beyond this one.
      bound = FromEnd ? found : found + search.size();
    }
  }
}

// find, Find and their _all forms: the positions of the characters for which the code,
// evaluated with the character in the variable, yields true.
template <bool FromEnd, bool All>
void strFindWhere(MethodCall& call) {
  STR_DATA& data = definedText(call);
  call.require(checkCount(call.args, 2));
  call.require(checkVariable(call.args, 0, false));
  call.require(checkType(call.args, 1, 'x', false));
  const TreeNode* tree = call.args[1].object->resolve(true).asCode().tree;
  if (tree == nullptr) call.fail(message("erwevacod"));
  TreeNode& code = const_cast<TreeNode&>(*tree);
  Object& variable = *call.args[0].object;
  IterationHold hold(call.object);
  ResultList values;
  const size_t length = data.text.size();
  for (size_t step = 0; step < length; ++step) {
    size_t position = FromEnd ? length - 1 - step : step;
    Object character('c');
    character.setChar(static_cast<unsigned char>(data.text[position]));
    call.require(transfer(variable, character, Transfer::Copy));
    values.release();
    call.exec.evaluateCode(code, call.context, values);
    // Assignments replace a string's text whatever its iteration count.
    if (!hold.intact() || data.text.size() != length) call.fail(message("unzwaeite"));
    if (values.size() != 1) call.fail(message("erwcodmitgeneinwer"));
    Object& verdict = values[0].object->resolve(true);
    if (verdict.base() != 'b' || !verdict.isDefined() || verdict.isEmpty()) call.fail(message("erwcodmitboower"));
    if (!verdict.boolValue()) continue;
    call.out().pushOwned(makeInt(reported(position, length, FromEnd)), Access::ConstResult);
    if (!All) return;
  }
}

const MethodEntry kSearchMethods[] = {
    {"def\xA7str;\xA7", false, true, strDef},
    {"find_str\xA7", true, true, strFindText<false, false>},
    {"Find_str\xA7", true, true, strFindText<true, false>},
    {"find_str_all\xA7", true, true, strFindText<false, true>},
    {"Find_str_all\xA7", true, true, strFindText<true, true>},
    {"find\xA7", true, true, strFindWhere<false, false>},
    {"Find\xA7", true, true, strFindWhere<true, false>},
    {"find_all\xA7", true, true, strFindWhere<false, true>},
    {"Find_all\xA7", true, true, strFindWhere<true, true>},
};

}  // namespace

void registerStrSearchMethods() { registerMethods('s', kSearchMethods, std::size(kSearchMethods)); }

}  // namespace kavor
