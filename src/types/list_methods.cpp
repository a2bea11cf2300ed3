// The methods of `list` and `args`.
#include "core/containers.h"
#include "exec/calls.h"
#include "numbers/bigint.h"
#include "types/methods.h"

namespace kavor {

namespace {

void listSize(MethodCall& call) {
  auto result = std::make_unique<Object>('i');
  result->asInt() = BigInt(static_cast<std::int64_t>(call.object.asList().size()));
  call.results->pushOwned(std::move(result), Access::ConstResult);
}

// The unnamed call `l.(a, b, ...)`: appends the values.
void listAppend(MethodCall& call) {
  call.require(checkModifiable(Result{&call.object, call.access, false}, "Assignment"));
  ListRecord& list = call.object.asList();
  for (Result& entry : call.args) call.require(list.append(*entry.object, Transfer::ReferenceOrCopy));
}

const MethodEntry kListMethods[] = {
    {"size\xA7\xA7", false, true, listSize},
    {"\xA7", true, false, listAppend},
};

}  // namespace

void registerListMethods() { registerMethods('l', kListMethods, std::size(kListMethods)); }

}  // namespace kavor
