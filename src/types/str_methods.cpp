// The methods of `str`: the length, the unnamed calls, and the registration of every family.
#include "core/text_form.h"
#include "core/values.h"
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "types/str_common.h"

namespace kavor {

namespace {

void strSize(MethodCall& call) {
  call.out().pushOwned(makeInt(static_cast<long long>(definedText(call).text.size())), Access::ConstResult);
}

// `s.(text)`: sets the string.
void strAssign(MethodCall& call) {
  STR_DATA& text = resizableText(call);
  call.require(checkCount(call.args, 1));
  std::string value = textArgument(call, 0, false);
  text.text = std::move(value);
  text.restartReading();
}

// `str(a, b, ...)`: a new string made of the text forms of the values, in order, so that
// `str(12)` is "12" and `str()` the empty string.
void strBuild(MethodCall& call) {
  std::string built;
  for (size_t i = 0; i < call.args.size(); ++i) {
    call.require(checkDefined(call.args, i));
    call.require(writeText(*call.args[i].object, built));
  }
  call.out().pushOwned(makeStr(std::move(built)), Access::ConstResult);
}

const MethodEntry kStrMethods[] = {
    {"size\xA7\xA7", false, true, strSize},
    {"\xA7", true, false, strAssign},
    {"\xA7", true, true, strBuild},
};

}  // namespace

void registerStrMethods() {
  registerMethods('s', kStrMethods, std::size(kStrMethods));
  registerStrSearchMethods();
  registerStrPositionMethods();
  registerStrSplitMethods();
  registerStrChangeMethods();
  registerStrEditMethods();
  registerStrClassMethods();
  registerStrStreamMethods();
}

}  // namespace kavor
