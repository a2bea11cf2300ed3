// Reading a list's elements: get, Get, [], get0, Get0, args, and the list of chosen
// elements.
#include "core/messages.h"
#include "exec/calls.h"
#include "types/list_common.h"

namespace kavor {

namespace {

// One element per position argument, each as an assignable place.
void elementsAt(MethodCall& call, bool fromEnd) {
  ListRecord& list = definedList(call);
  call.require(checkCountRange(call.args, 1, -1));
  for (size_t i = 0; i < call.args.size(); ++i)
    pushPlace(call, list.at(readIndex(call, i, fromEnd, list.size(), PositionKind::Character)));
}

void getFront(MethodCall& call) { elementsAt(call, false); }
void getBack(MethodCall& call) { elementsAt(call, true); }

void endElement(MethodCall& call, bool last) {
  ListRecord& list = definedList(call);
  call.require(checkCount(call.args, 0));
  if (list.empty()) call.fail(message("insistlee"));
  pushPlace(call, list.at(last ? list.size() - 1 : 0));
}

void getFirst(MethodCall& call) { endElement(call, false); }
void getLast(MethodCall& call) { endElement(call, true); }

void allElements(MethodCall& call) {
  ListRecord& list = definedList(call);
  for (size_t i = 0; i < list.size(); ++i) pushPlace(call, list.at(i));
}

// A new list of copies of the chosen elements, in argument order (a reference element stays
// a reference).
void chosenElements(MethodCall& call) {
  ListRecord& list = definedList(call);
  auto made = std::make_unique<Object>('l');
  ListRecord& chosen = made->asList();
  for (size_t i = 0; i < call.args.size(); ++i) {
    Object& element = list.at(readIndex(call, i, false, list.size(), PositionKind::Character));
    call.require(chosen.append(element, Transfer::ReferenceOrCopy));
  }
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

const MethodEntry kAccessMethods[] = {
    {"get\xA7", true, true, getFront},
    {"Get\xA7", true, true, getBack},
    {"[]\xA7", true, true, getFront},
    {"list\xA7", true, true, chosenElements},
    {"get0\xA7\xA7", false, true, getFirst},
    {"Get0\xA7\xA7", false, true, getLast},
    {"args\xA7\xA7", false, true, allElements},
};

}  // namespace

void registerListAccessMethods(TypeCode base) { registerMethods(base, kAccessMethods, std::size(kAccessMethods)); }

}  // namespace kavor
