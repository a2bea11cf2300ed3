// The methods of `str`.
#include "exec/calls.h"
#include "exec/values.h"
#include "numbers/bigint.h"
#include "streams/str_data.h"
#include "types/methods.h"

namespace kavor {

namespace {

void strSize(MethodCall& call) {
  call.results->pushOwned(makeInt(static_cast<long long>(call.object.asStr().text.size())), Access::ConstResult);
}

// The unnamed call `s.(text)`: sets the string.
void strSet(MethodCall& call) {
  call.requireModifiable();
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
