// The methods of `list` and `args`.
#include "core/containers.h"
#include "exec/calls.h"
#include "exec/values.h"
#include "numbers/bigint.h"
#include "types/methods.h"

namespace kavor {

namespace {

void listSize(MethodCall& call) {
  call.results->pushOwned(makeInt(static_cast<long long>(call.object.asList().size())), Access::ConstResult);
}

// The unnamed call `l.(a, b, ...)`: appends the values.
void listAppend(MethodCall& call) {
  call.requireModifiable();
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
