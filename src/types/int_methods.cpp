// The methods of `int`. The arithmetic lives in the number routines; this file checks the
// object and the arguments and hands results over as new values.
#include <iterator>
#include <optional>
#include <string>

#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "numbers/number_theory.h"
#include "streams/str_data.h"
#include "exec/method_table.h"

namespace kavor {

namespace {

// The object's value, for the methods that read it: it must be defined and not empty.
const BigInt& objectValue(MethodCall& call) { return call.heldObject().asInt(); }

Object& usedArgument(MethodCall& call, size_t index) { return call.usedArgument(index); }

const BigInt& intArgument(MethodCall& call, size_t index) { return usedArgument(call, index).asInt(); }

// The integer written in the `str` argument `index`.
BigInt parsedArgument(MethodCall& call, size_t index) {
  std::optional<BigInt> value = BigInt::fromText(usedArgument(call, index).asStr().text);
  if (!value) call.fail(message("zeiketkeiint"));
  return std::move(*value);
}

// A small result stays in its Object's word (makeInt), as every other int does.
void pushInt(MethodCall& call, BigInt value) { call.out().pushOwned(makeInt(value), Access::ConstResult); }

BigInt require(MethodCall& call, Outcome<BigInt> outcome) {
  call.require(outcome.failure);
  return std::move(outcome.value);
}

// ---- function form -------------------------------------------------------------------

// `int("42")`, `n.("42")`: a new int from its text; the object is not used.
void fromText(MethodCall& call) { pushInt(call, parsedArgument(call, 0)); }
// `int(n)`: a copy.
void fromInt(MethodCall& call) { pushInt(call, intArgument(call, 0)); }

void factorialOf(MethodCall& call) { pushInt(call, require(call, factorial(objectValue(call)))); }

void binomialOf(MethodCall& call) {
  const BigInt& n = objectValue(call);
  pushInt(call, require(call, binomial(n, intArgument(call, 0))));
}

void gcdOf(MethodCall& call) {
  const BigInt& a = objectValue(call);
  pushInt(call, gcd(a, intArgument(call, 0)));
}

void lcmOf(MethodCall& call) {
  const BigInt& a = objectValue(call);
  pushInt(call, lcm(a, intArgument(call, 0)));
}

void primeTest(MethodCall& call) { call.out().pushOwned(makeBool(isPrime(objectValue(call))), Access::ConstResult); }

void absoluteValue(MethodCall& call) { pushInt(call, objectValue(call).abs()); }

void signOf(MethodCall& call) { pushInt(call, BigInt(static_cast<std::int64_t>(objectValue(call).signum()))); }

void asReal(MethodCall& call) {
  const BigInt& value = objectValue(call);
  auto result = std::make_unique<Object>('r');
  result->asReal() = BigReal(value, 0);
  call.out().pushOwned(std::move(result), Access::ConstResult);
}

// `random(low, high)`: the object is not used.
void randomValue(MethodCall& call) {
  const BigInt& low = intArgument(call, 0);
  pushInt(call, randomBetween(low, intArgument(call, 1)));
}

void characterOf(MethodCall& call) {
  Outcome<unsigned char> code = characterCode(objectValue(call));
  call.require(code.failure);
  call.out().pushOwned(makeChar(code.value), Access::ConstResult);
}

// ---- procedure form ------------------------------------------------------------------

// Checks of the unnamed calls that set the object: it must be defined and modifiable.
void requireSettable(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  call.requireModifiable();
}

// `n.(5)`, `int n.(5)`.
void setFromInt(MethodCall& call) {
  requireSettable(call);
  Object& source = usedArgument(call, 0);
  if (&source == &call.object) return;
  // Read without making a BigInt of a small value, on either side.
  std::int64_t small;
  if (source.readSmallInt(small)) call.object.setSmallInt(small);
  else if (source.holdsSmallInt()) call.object.setInt(BigInt());  // the empty int
  else call.object.setInt(source.asInt());
}

// `n.("42")`.
void setFromText(MethodCall& call) {
  requireSettable(call);
  call.object.setInt(parsedArgument(call, 0));
}

const MethodEntry kIntMethods[] = {
    {"\xA7str;\xA7", false, true, fromText},
    {"\xA7int;\xA7", false, true, fromInt},
    {"fac\xA7\xA7", false, true, factorialOf},
    {"binom\xA7int;\xA7", false, true, binomialOf},
    {"gcd\xA7int;\xA7", false, true, gcdOf},
    {"lcm\xA7int;\xA7", false, true, lcmOf},
    {"prime\xA7\xA7", false, true, primeTest},
    {"abs\xA7\xA7", false, true, absoluteValue},
    {"sgn\xA7\xA7", false, true, signOf},
    {"real\xA7\xA7", false, true, asReal},
    {"random\xA7int;int;\xA7", false, true, randomValue},
    {"char\xA7\xA7", false, true, characterOf},
    {"\xA7int;\xA7", false, false, setFromInt},
    {"\xA7str;\xA7", false, false, setFromText},
};

}  // namespace

void registerIntMethods() { registerMethods('i', kIntMethods, std::size(kIntMethods)); }

}  // namespace kavor
