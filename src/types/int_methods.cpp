// The methods of `int`.
#include "exec/calls.h"
#include "exec/values.h"
#include "types/methods.h"

namespace kavor {

namespace {

const MethodEntry kIntMethods[] = {
    {nullptr, false, false, nullptr},
};

}  // namespace

void registerIntMethods() { registerMethods('i', kIntMethods, 0); }

}  // namespace kavor
