// The methods of `str`.
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "streams/str_data.h"
#include "types/methods.h"

namespace kavor {

namespace {

void strSize(MethodCall& call) {
  auto result = std::make_unique<Object>('i');
  result->asInt() = BigInt(static_cast<std::int64_t>(call.object.asStr().text.size()));
  call.results->pushOwned(std::move(result), Access::ConstResult);
}

// The unnamed call `s.(text)`: sets the string.
void strSet(MethodCall& call) {
  call.require(checkModifiable(Result{&call.object, call.access, false}, "Assignment"));
  call.require(checkCount(call.args, 1));
  call.require(checkType(call.args, 0, 's', false));
  call.object.asStr().text = call.args[0].object->resolve(true).asStr().text;
  call.object.asStr().restartReading();
}

const MethodEntry kStrMethods[] = {
    {"size\xA7\xA7", false, true, strSize},
    {"\xA7", true, false, strSet},
};

}  // namespace

void registerStrMethods() { registerMethods('s', kStrMethods, std::size(kStrMethods)); }

}  // namespace kavor
