// The methods of `any2`, a pair: the pair built from two values, get0 and Get0 (the first
// and the second value), args, [] (0 for the first, 1 for the second), set0, Set0, the
// unnamed call that sets both, and flip.
#include "core/messages.h"
#include "core/payloads.h"
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "types/list_common.h"

namespace kavor {

namespace {

Any2Value& definedPair(const MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  return call.object.asAny2();
}

Any2Value& changeablePair(const MethodCall& call) {
  Any2Value& pair = definedPair(call);
  call.requireModifiable();
  return pair;
}

// Stores copies of the arguments from `first` on into the halves `targets`, all or none.
void storeHalves(const MethodCall& call, const std::vector<Object*>& targets, size_t first) {
  for (Object* half : targets) requireReleasable(call, *half);
  std::vector<std::unique_ptr<Object>> values = buildElements(call, first, 1);
  storeValues(call, targets, values);
}

void pairFromValues(MethodCall& call) {
  call.require(checkCount(call.args, 2));
  auto made = std::make_unique<Object>('u');
  Any2Value& pair = made->asAny2();
  call.require(transfer(pair.first, *call.args[0].object, Transfer::ReferenceOrCopy));
  call.require(transfer(pair.second, *call.args[1].object, Transfer::ReferenceOrCopy));
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

void getFirst(MethodCall& call) { pushPlace(call, definedPair(call).first); }
void getSecond(MethodCall& call) { pushPlace(call, definedPair(call).second); }

void both(MethodCall& call) {
  Any2Value& pair = definedPair(call);
  pushPlace(call, pair.first);
  pushPlace(call, pair.second);
}

void subscript(MethodCall& call) {
  Any2Value& pair = definedPair(call);
  call.require(checkCountRange(call.args, 1, -1));
  std::vector<Object*> halves;
  for (size_t i = 0; i < call.args.size(); ++i) {
    call.require(checkType(call.args, i, 'i', true));
    const BigInt& position = call.args[i].object->resolve(true).asInt();
    if (position == BigInt(0))
      halves.push_back(&pair.first);
    else if (position == BigInt(1))
      halves.push_back(&pair.second);
    else
      call.fail(fillKey("indnicdef", {position.toText()}));
  }
  for (Object* half : halves) pushPlace(call, *half);
}

void setFirst(MethodCall& call) {
  Any2Value& pair = changeablePair(call);
  call.require(checkCount(call.args, 1));
  storeHalves(call, {&pair.first}, 0);
}

void setSecond(MethodCall& call) {
  Any2Value& pair = changeablePair(call);
  call.require(checkCount(call.args, 1));
  storeHalves(call, {&pair.second}, 0);
}

void setBoth(MethodCall& call) {
  Any2Value& pair = changeablePair(call);
  call.require(checkCount(call.args, 2));
  storeHalves(call, {&pair.first, &pair.second}, 0);
}

void flip(MethodCall& call) {
  Any2Value& pair = changeablePair(call);
  requireReleasable(call, pair.first);
  requireReleasable(call, pair.second);
  std::vector<std::unique_ptr<Object>> values;
  for (Object* half : {&pair.second, &pair.first}) {
    auto copy = std::make_unique<Object>('v');
    call.require(transfer(*copy, *half, Transfer::SameOrCopy));
    values.push_back(std::move(copy));
  }
  storeValues(call, {&pair.first, &pair.second}, values);
}

const MethodEntry kAny2Methods[] = {
    {"\xA7", true, true, pairFromValues},
    {"\xA7", true, false, setBoth},
    {"get0\xA7\xA7", false, true, getFirst},
    {"Get0\xA7\xA7", false, true, getSecond},
    {"args\xA7\xA7", false, true, both},
    {"[]\xA7", true, true, subscript},
    {"set0\xA7", true, false, setFirst},
    {"Set0\xA7", true, false, setSecond},
    {"flip\xA7\xA7", false, false, flip},
};

}  // namespace

void registerAny2Methods() { registerMethods('u', kAny2Methods, std::size(kAny2Methods)); }

}  // namespace kavor
