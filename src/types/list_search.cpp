// Searching a list by a condition: find, Find, find_all, Find_all.
#include "core/messages.h"
#include "core/values.h"
#include "types/list_common.h"

namespace kavor {

namespace {

// Visits the elements from the front (or from the end) and yields the position of the first
// (or of every) element for which the code is true, counted from where the search starts.
// No match yields no value.
void search(MethodCall& call, bool fromEnd, bool all) {
  ListRecord& list = definedList(call);
  ElementCode code(call);
  ListHold hold(list);
  const size_t count = list.size();
  // The code may have replaced the whole list; what follows would read a stale one.
  searchElements(
      call, code, count, fromEnd, all, [&](size_t i) -> Object& { return list.at(i); },
      [&] { return hold.alive() && list.size() == count; });
}

void findFirst(MethodCall& call) { search(call, false, false); }
void findLast(MethodCall& call) { search(call, true, false); }
void findAll(MethodCall& call) { search(call, false, true); }
void findAllBack(MethodCall& call) { search(call, true, true); }

const MethodEntry kSearchMethods[] = {
    {"find\xA7", true, true, findFirst},
    {"Find\xA7", true, true, findLast},
    {"find_all\xA7", true, true, findAll},
    {"Find_all\xA7", true, true, findAllBack},
};

}  // namespace

void registerListSearchMethods(TypeCode base) { registerMethods(base, kSearchMethods, std::size(kSearchMethods)); }

}  // namespace kavor
