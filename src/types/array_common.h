// What the `array` and `array2` method families share. An array addresses a slot by one
// position, an array2 by a pair (row, column); both answer the same methods.
#pragma once

#include <cstddef>
#include <optional>

#include "core/containers.h"
#include "exec/method_table.h"
#include "types/list_common.h"

namespace kavor {

void registerArrayAccessMethods(TypeCode base);
void registerArrayChangeMethods(TypeCode base);

// The number of ints that address one slot: 1 for an array, 2 for an array2.
inline size_t positionWidth(const MethodCall& call) { return call.object.base() == 'z' ? 2 : 1; }

// The array a method works on; fails with "Object is not defined" when it has no value.
ArrayRecord& definedArray(const MethodCall& call);
// The array of a method that changes it: modifiable, and with `structure` (size, which slots
// hold values, their order) no iteration may run over it ("infeasible during iteration").
ArrayRecord& changeableArray(const MethodCall& call, bool structure);

// The slot addressed by the argument(s) at `first`, counted from the last slot when
// `fromEnd`. Arguments that are no position fail (an array: "Expect %d-th argument of type
// 'int'"; an array2: "Infeasible arguments (expect two positive integer values)"). A
// position outside the array fails with "Index '%d' not defined" ("Index '%d,%d' not
// defined"), unless `outsideAnswers`, which answers nullopt instead (also for negative
// positions).
std::optional<size_t> slotAt(const MethodCall& call, const ArrayRecord& array, size_t first, bool fromEnd,
                             bool outsideAnswers);
// As slotAt, for a position that must lie inside.
size_t slotInside(const MethodCall& call, const ArrayRecord& array, size_t first, bool fromEnd);
// Fails unless the argument count is a positive multiple of `group`, with the message of
// that grouping.
void requireGroups(const MethodCall& call, size_t group);
// Appends the position of `slot` as results: one int, or the row and the column; counted
// from the last slot when `fromEnd`.
void pushPosition(const MethodCall& call, const ArrayRecord& array, size_t slot, bool fromEnd);

// Reads the shape arguments of the unnamed call and the values that follow into a new
// record: `size, v...` for an array, `rows, columns, v...` for an array2.
ArrayRecord buildArray(const MethodCall& call);

using ArrayHold = ContainerHold<ArrayRecord>;

}  // namespace kavor
