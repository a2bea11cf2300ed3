// The methods of `list` and `args`: the size and the list built from values here, the
// families in list_access.cpp, list_search.cpp, list_change.cpp and list_sort.cpp.
#include "core/containers.h"
#include "core/values.h"
#include "exec/calls.h"
#include "types/list_common.h"
#include "exec/method_table.h"

namespace kavor {

namespace {

void listSize(MethodCall& call) {
  call.out().pushOwned(makeInt(static_cast<long long>(definedList(call).size())), Access::ConstResult);
}

// The function form of the unnamed call, `list(1, 2, 3)`: a new list of the values, each
// stored as an element is (a reference stays a reference, other values are copied). A
// temporary, which is dropped afterwards, gives its value up instead: `list(list(list(1)))`
// then costs one step per level, not a copy of everything below.
void listFromValues(MethodCall& call) {
  auto made = std::make_unique<Object>('l');
  ListRecord& list = made->asList();
  for (Result& entry : call.args) {
    bool temporary = entry.owned && !entry.object->isIndirection() && entry.object->value != nullptr;
    call.require(list.append(*entry.object, temporary ? Transfer::Move : Transfer::ReferenceOrCopy));
  }
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

const MethodEntry kSizeMethods[] = {
    {"size\xA7\xA7", false, true, listSize},
};

// `args` is only ever made by binding a call's arguments, never from values.
const MethodEntry kConstructor[] = {
    {"\xA7", true, true, listFromValues},
};

void registerBoth(TypeCode base) {
  registerMethods(base, kSizeMethods, std::size(kSizeMethods));
  registerListAccessMethods(base);
  registerListSearchMethods(base);
  registerListChangeMethods(base);
  registerListSortMethods(base);
}

}  // namespace

void registerListMethods() {
  registerBoth('l');
  registerBoth('y');
  registerMethods('l', kConstructor, std::size(kConstructor));
}

}  // namespace kavor
