// What the `hash` and `set` method families share: the checks before a table changes, the
// text of a key in messages, and the order the sorts give the iteration.
#pragma once

#include <string>

#include "core/containers.h"
#include "exec/method_table.h"
#include "types/list_common.h"

namespace kavor {

void registerHashMethods();
void registerSetMethods();
// `sort`, `Sort` and the find family of `hash` (by values and by keys) and of `set`.
void registerTableOrderMethods();

// The table a method works on; fails with "Object is not defined" when it has no value.
HashTable& definedTable(const MethodCall& call);
// The table of a method that changes it: the object must be modifiable, and with
// `structure` no iteration may run over it ("infeasible during iteration").
HashTable& changeableTable(const MethodCall& call, bool structure);
using TableHold = ContainerHold<HashTable>;

// A key as messages show it: its text form.
std::string keyText(Object& key);
// `size` and `def`, the same for both types.
void tableSize(MethodCall& call);
void tableDefines(MethodCall& call);
// Appends a copy of `value` to the results (a reference stays a reference).
void pushCopy(const MethodCall& call, Object& value);

}  // namespace kavor
