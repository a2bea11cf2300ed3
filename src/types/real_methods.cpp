// The methods of `real`: conversions, rounding, the two precisions and the elementary
// functions. The numbers live in numbers/; this file checks the object and the arguments
// and hands results over as new values.
#include <iterator>
#include <string>

#include "core/messages.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/method_table.h"
#include "streams/str_data.h"
#include "numbers/bigreal.h"
#include "numbers/real_functions.h"

namespace kavor {

namespace {

// The precisions are signed 32-bit settings; beyond ten million digits every quotient and
// every line of output would take minutes.
constexpr int64_t kMaxPrecision = kMaxRealDigits;

RealPrecision& precision() { return *RealPrecision::current; }

void requireDefined(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
}

// The object's value, for the methods that read it: it must be defined and not empty.
const BigReal& objectValue(MethodCall& call) { return call.heldObject().asReal(); }

Object& usedArgument(MethodCall& call, size_t index) { return call.usedArgument(index); }

// The one argument of the methods that take a number: a real, or an int taken as the real
// of the same value.
BigReal numberArgument(MethodCall& call) {
  call.require(checkCount(call.args, 1));
  TypeCode base = call.args[0].object->resolve(true).base();
  if (base != 'r' && base != 'i') call.fail(fillKey("erwtesargtyptyp", {"1", "real", "int"}));
  Object& value = usedArgument(call, 0);
  return base == 'i' ? BigReal(value.asInt(), 0) : value.asReal();
}

// The setting an int argument names, within min .. max.
int32_t settingArgument(MethodCall& call, int64_t min, int64_t max) {
  const BigInt& value = usedArgument(call, 0).asInt();
  if (value < BigInt(min)) call.fail(min == 0 ? message("erwintarggro0") : fillKey("erwintarggro", {std::to_string(min)}));
  if (value > BigInt(max)) call.fail(fillKey("erwintargkle", {std::to_string(max)}));
  return static_cast<int32_t>(*value.toInt64());
}

void pushReal(MethodCall& call, BigReal value) {
  auto result = std::make_unique<Object>('r');
  result->asReal() = std::move(value);
  call.out().pushOwned(std::move(result), Access::ConstResult);
}

void pushReal(MethodCall& call, Outcome<BigReal> outcome) {
  call.require(outcome.failure);
  pushReal(call, std::move(outcome.value));
}

void pushInt(MethodCall& call, BigInt value) { call.out().pushOwned(makeInt(value), Access::ConstResult); }

BigReal parsedArgument(MethodCall& call) {
  Outcome<BigReal> value = BigReal::fromText(usedArgument(call, 0).asStr().text);
  call.require(value.failure);
  return std::move(value.value);
}

// ---- function form -------------------------------------------------------------------

// `real("2.5")`, `real(2.5)`, `real(2)`: a new real; the object is not used.
void fromText(MethodCall& call) { pushReal(call, parsedArgument(call)); }
void fromReal(MethodCall& call) { pushReal(call, usedArgument(call, 0).asReal()); }
void fromInt(MethodCall& call) { pushReal(call, BigReal(usedArgument(call, 0).asInt(), 0)); }

void integralPart(MethodCall& call) { pushInt(call, objectValue(call).truncated()); }

void getPrecision(MethodCall& call) {
  requireDefined(call);
  pushInt(call, BigInt(precision().working));
}

void getOutputPrecision(MethodCall& call) {
  requireDefined(call);
  pushInt(call, BigInt(precision().output));
}

// The integral part, moved one up (ceil) or down (floor) when a fraction was cut off on
// that side of zero.
template <bool up>
void roundTowards(MethodCall& call) {
  const BigReal& value = objectValue(call);
  BigInt whole = value.truncated();
  if (!value.isIntegral() && value.isNegative() != up) whole += BigInt(up ? 1 : -1);
  pushInt(call, std::move(whole));
}

// Half away from zero: 2.5 gives 3, -2.5 gives -3.
BigReal roundedAt(const BigReal& value, int64_t digits) {
  BigReal half(BigInt(value.isNegative() ? -5 : 5), digits + 1);
  return (value + half).rescaled(digits);
}

void roundToInt(MethodCall& call) { pushInt(call, roundedAt(objectValue(call), 0).truncated()); }

void roundToDigits(MethodCall& call) {
  const BigReal& value = objectValue(call);
  pushReal(call, roundedAt(value, settingArgument(call, 0, kMaxPrecision)));
}

template <RealFunction function>
void elementary(MethodCall& call) {
  pushReal(call, computeFunction(function, objectValue(call), precision().working));
}

void rootOf(MethodCall& call) {
  const BigReal& value = objectValue(call);
  pushReal(call, root(value, numberArgument(call), precision().working));
}

void logarithmOf(MethodCall& call) {
  const BigReal& value = objectValue(call);
  pushReal(call, logarithm(value, numberArgument(call), precision().working));
}

void powerOf(MethodCall& call) {
  const BigReal& value = objectValue(call);
  pushReal(call, power(value, numberArgument(call), precision().working));
}

void absoluteValue(MethodCall& call) { pushReal(call, objectValue(call).abs()); }
void signOf(MethodCall& call) { pushReal(call, BigReal(objectValue(call).signum())); }

void piValue(MethodCall& call) {
  requireDefined(call);
  pushReal(call, piConstant(precision().working));
}

void eValue(MethodCall& call) {
  requireDefined(call);
  pushReal(call, eConstant(precision().working));
}

// ---- procedure form ------------------------------------------------------------------

// The checks of the unnamed calls that set the object: it must be defined and modifiable.
void requireSettable(MethodCall& call) {
  requireDefined(call);
  call.requireModifiable();
}

void setFromReal(MethodCall& call) {
  requireSettable(call);
  BigReal value = usedArgument(call, 0).asReal();
  call.object.asReal() = std::move(value);
}

void setFromInt(MethodCall& call) {
  requireSettable(call);
  call.object.asReal() = BigReal(usedArgument(call, 0).asInt(), 0);
}

void setFromText(MethodCall& call) {
  requireSettable(call);
  call.object.asReal() = parsedArgument(call);
}

void setPrecision(MethodCall& call) {
  requireDefined(call);
  precision().working = settingArgument(call, 0, kMaxPrecision);
}

// Any negative output precision means "not set"; they all write the exact value.
void setOutputPrecision(MethodCall& call) {
  requireDefined(call);
  precision().output = settingArgument(call, INT32_MIN, kMaxPrecision);
}

void resetOutputPrecision(MethodCall& call) {
  requireDefined(call);
  precision().output = -1;
}

#define KAVOR_REAL_FUNCTION(name, function) {name "\xA7\xA7", false, true, elementary<RealFunction::function>}

const MethodEntry kRealMethods[] = {
    {"\xA7str;\xA7", false, true, fromText},
    {"\xA7real;\xA7", false, true, fromReal},
    {"\xA7int;\xA7", false, true, fromInt},
    {"int\xA7\xA7", false, true, integralPart},
    {"get_prec\xA7\xA7", false, true, getPrecision},
    {"get_out_prec\xA7\xA7", false, true, getOutputPrecision},
    {"ceil\xA7\xA7", false, true, roundTowards<true>},
    {"floor\xA7\xA7", false, true, roundTowards<false>},
    {"round\xA7\xA7", false, true, roundToInt},
    {"round\xA7int;\xA7", false, true, roundToDigits},
    {"root\xA7", true, true, rootOf},
    {"log\xA7", true, true, logarithmOf},
    {"pot\xA7", true, true, powerOf},
    {"abs\xA7\xA7", false, true, absoluteValue},
    {"sgn\xA7\xA7", false, true, signOf},
    {"pi\xA7\xA7", false, true, piValue},
    {"e\xA7\xA7", false, true, eValue},
    KAVOR_REAL_FUNCTION("sqrt", Sqrt),
    KAVOR_REAL_FUNCTION("crt", Cbrt),
    KAVOR_REAL_FUNCTION("exp", Exp),
    KAVOR_REAL_FUNCTION("ln", Ln),
    KAVOR_REAL_FUNCTION("ld", Ld),
    KAVOR_REAL_FUNCTION("lg", Lg),
    KAVOR_REAL_FUNCTION("sin", Sin),
    KAVOR_REAL_FUNCTION("cos", Cos),
    KAVOR_REAL_FUNCTION("tan", Tan),
    KAVOR_REAL_FUNCTION("cot", Cot),
    KAVOR_REAL_FUNCTION("arcsin", Arcsin),
    KAVOR_REAL_FUNCTION("arccos", Arccos),
    KAVOR_REAL_FUNCTION("arctan", Arctan),
    KAVOR_REAL_FUNCTION("arccot", Arccot),
    KAVOR_REAL_FUNCTION("sinh", Sinh),
    KAVOR_REAL_FUNCTION("cosh", Cosh),
    KAVOR_REAL_FUNCTION("tanh", Tanh),
    KAVOR_REAL_FUNCTION("coth", Coth),
    KAVOR_REAL_FUNCTION("arsinh", Arsinh),
    KAVOR_REAL_FUNCTION("arcosh", Arcosh),
    KAVOR_REAL_FUNCTION("artanh", Artanh),
    KAVOR_REAL_FUNCTION("arcoth", Arcoth),
    {"\xA7real;\xA7", false, false, setFromReal},
    {"\xA7int;\xA7", false, false, setFromInt},
    {"\xA7str;\xA7", false, false, setFromText},
    {"set_prec\xA7int;\xA7", false, false, setPrecision},
    {"set_out_prec\xA7int;\xA7", false, false, setOutputPrecision},
    {"set_out_prec\xA7\xA7", false, false, resetOutputPrecision},
};

#undef KAVOR_REAL_FUNCTION

}  // namespace

void registerRealMethods() { registerMethods('r', kRealMethods, std::size(kRealMethods)); }

}  // namespace kavor
