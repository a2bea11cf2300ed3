// What the `list` and `args` method families share: the checks before a list changes, the
// reading of positions, the results that stand for elements, and running a code argument
// once per element.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/containers.h"
#include "core/messages.h"
#include "core/values.h"
#include "exec/method_table.h"
#include "types/str_common.h"

namespace kavor {

// One registrar per method family; registerListMethods() calls them all for both types.
void registerListAccessMethods(TypeCode base);
void registerListSearchMethods(TypeCode base);
void registerListChangeMethods(TypeCode base);
void registerListSortMethods(TypeCode base);

// The list a method works on; fails with "Object is not defined" when it has no value.
ListRecord& definedList(const MethodCall& call);
// The list of a method that changes it (its elements or their order): an `args` parameter
// refuses ("Not applicable for variable input/output object of type 'args'"), the object
// must be modifiable, and with `structure` no iteration may run over it ("infeasible during
// iteration").
ListRecord& changeableList(const MethodCall& call, bool structure);
// Fails with "infeasible during iteration" when `element`'s value holds a container that is
// being iterated: removing or replacing the element would pull it from under the loop.
void requireReleasable(const MethodCall& call, const Object& element);
// Reads int argument `index` (not empty) as a position counted from the front, or from the
// end for the capital forms: an element (`PositionKind::Character`, p from the end is
// count - 1 - p) or a gap where an element is inserted (`PositionKind::Gap`, p from the end
// is count - p). Fails with "Infeasible index '%d' in list of length '%d'", filled with the
// index as computed and the count, when it lies outside the list.
size_t readIndex(const MethodCall& call, size_t index, bool fromEnd, size_t count, PositionKind kind);

// Appends `element` to the results as an assignable place: an owned call-alias of the
// element, constant when the list is reached as a constant. A place stays harmless when the
// list drops the element while the place is still held (it becomes an empty value).
void pushPlace(const MethodCall& call, Object& element);

// Keeps a container's iteration count raised while a method runs code for each element, so
// that the code cannot change the container's structure under the method. The code may
// still release the whole container (by replacing or destroying its value); `alive()` tells
// whether it did not.
template <class Record>
class ContainerHold {
 public:
  explicit ContainerHold(Record& record) : watch_(&record), record_(record) { ++record_.iterationCount; }
  ~ContainerHold() {
    if (watch_.alive()) --record_.iterationCount;
  }
  ContainerHold(const ContainerHold&) = delete;
  ContainerHold& operator=(const ContainerHold&) = delete;
  bool alive() const { return watch_.alive(); }

 private:
  IterationWatch watch_;  // notices the release of the container's payload
  Record& record_;        // the container; only touched while the watch is alive
};
using ListHold = ContainerHold<ListRecord>;

// Runs a code argument once per element with a variable bound to the element, as `find`
// and `sort` do: the variable becomes a call-alias of the element (constant when the list
// is reached as a constant). Afterwards it keeps its own access class again and holds a
// copy of the last element it was bound to, not the binding: a lingering call-alias would
// pin that element's type and refuse later changes of it.
class FastProgram;

class ElementCode {
 public:
  // Checks the arguments (variable, code): exactly two, the first a variable, the second a
  // `code` that is not empty ("Expect evaluable code"). With `constant` the variable may not
  // change what it is bound to (a key of a hash or set), whatever the container's access.
  explicit ElementCode(const MethodCall& call, bool constant = false);
  ~ElementCode();
  ElementCode(const ElementCode&) = delete;
  ElementCode& operator=(const ElementCode&) = delete;

  // Binds the variable to `element`, evaluates the code and returns its one value
  // ("Expect code with exactly one value"); `values` keeps it alive.
  Object& valueFor(Object& element, ResultList& values);
  // As valueFor, for a code that must yield a non-empty `bool` ("Expect code with boolean
  // value").
  bool holdsFor(Object& element);

 private:
  const MethodCall& call_;  // the method running the code; raises its failures
  Object& variable_;   // the variable argument, bound to each element in turn
  TreeNode& code_;     // the code argument's tree
  // The code's fast program when it is a pure bool expression (`x == 7`): holdsFor runs it
  // without evaluating the tree; null otherwise.
  const FastProgram* condition_ = nullptr;
  int32_t savedKind_;  // the variable's access class before the method
  bool bound_ = false; // the variable has been bound to an element by this method
};

// `find` and its family over a container's elements: visits `count` elements from the
// front (or from the end) and yields the position of the first (or of every) element for
// which the code is true, counted from where the search starts; no match yields no value.
// `element(i)` gives element i; `unchanged()` says, after each evaluation of the code,
// whether the container still holds what it held ("infeasible during iteration" otherwise).
template <class Element, class Unchanged>
void searchElements(const MethodCall& call, ElementCode& code, size_t count, bool fromEnd, bool all,
                    Element element, Unchanged unchanged) {
  for (size_t step = 0; step < count; ++step) {
    bool found = code.holdsFor(element(fromEnd ? count - 1 - step : step));
    if (!unchanged()) call.fail(message("unzwaeite"));
    if (!found) continue;
    call.out().pushOwned(makeInt(static_cast<long long>(step)), Access::ConstResult);
    if (!all) return;
  }
}

// The order that sorts `elements` ascending (or descending): a permutation of their
// positions, element i of the sorted sequence being elements[order[i]]. With `code` the
// elements are ordered by the one value the code yields for each instead of by themselves;
// `unchanged` is asked after each evaluation of the code and must say whether the container
// still holds what it held ("infeasible during iteration" otherwise). Values of different
// types refuse with "incompatible types". Elements that compare equal keep their order.
std::vector<size_t> sortedOrder(const MethodCall& call, ElementCode* code, const std::vector<Object*>& elements,
                                bool descending, const std::function<bool()>& unchanged);

// Stores staged values into element Objects, pair by pair (targets[k] takes values[k]), the
// way `set` does: the element itself stays, so references and loop variables bound to it
// see the new value. When one store is refused the earlier ones are undone and the refusal
// is raised, so the elements are as they were.
void storeValues(const MethodCall& call, const std::vector<Object*>& targets,
                 std::vector<std::unique_ptr<Object>>& values);

// New elements for the arguments first, first + step, ... (copies, references kept).
std::vector<std::unique_ptr<Object>> buildElements(const MethodCall& call, size_t first, size_t step);

}  // namespace kavor
