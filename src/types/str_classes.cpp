// Reading a `str` as another type (int, real, any) and the character-class tests.
#include <algorithm>

#include "core/messages.h"
#include "core/text_form.h"
#include "core/values.h"
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "types/str_common.h"

namespace kavor {

namespace {

void strInt(MethodCall& call) {
  const std::string& text = definedText(call).text;
  std::optional<BigInt> value = BigInt::fromText(text);
  if (!value) call.fail(fillKey("zeiketxxxkeiint", {text}));
  call.out().pushOwned(makeInt(*value), Access::ConstResult);
}

void strReal(MethodCall& call) {
  const std::string& text = definedText(call).text;
  Outcome<BigReal> value = BigReal::fromText(text);
  if (!value.ok() && isRealLiteral(text)) call.require(value.failure);
  if (!value.ok()) call.fail(fillKey("zeiketxxxkeirea", {text}));
  auto real = std::make_unique<Object>('r');
  real->asReal() = std::move(value.value);
  call.out().pushOwned(std::move(real), Access::ConstResult);
}

void strAny(MethodCall& call) {
  call.out().pushOwned(mostSpecificValue(definedText(call).text), Access::ConstResult);
}

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isLetter(char c) { return isUpper(c) || isLower(c) || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// True when the string is not empty and every byte passes the test.
template <bool (*Test)(char)>
void strEvery(MethodCall& call) {
  const std::string& text = definedText(call).text;
  bool every = !text.empty() && std::all_of(text.begin(), text.end(), Test);
  call.out().pushOwned(makeBool(every), Access::ConstResult);
}

void strIsInt(MethodCall& call) {
  call.out().pushOwned(makeBool(BigInt::isIntegerLiteral(definedText(call).text)), Access::ConstResult);
}

void strIsReal(MethodCall& call) {
  call.out().pushOwned(makeBool(isRealLiteral(definedText(call).text)), Access::ConstResult);
}

const MethodEntry kClassMethods[] = {
    {"int\xA7\xA7", false, true, strInt},
    {"real\xA7\xA7", false, true, strReal},
    {"any\xA7\xA7", false, true, strAny},
    {"isupper\xA7\xA7", false, true, strEvery<isUpper>},
    {"islower\xA7\xA7", false, true, strEvery<isLower>},
    {"isalpha\xA7\xA7", false, true, strEvery<isLetter>},
    {"isdigit\xA7\xA7", false, true, strEvery<isDigit>},
    {"isint\xA7\xA7", false, true, strIsInt},
    {"isreal\xA7\xA7", false, true, strIsReal},
};

}  // namespace

void registerStrClassMethods() { registerMethods('s', kClassMethods, std::size(kClassMethods)); }

}  // namespace kavor
