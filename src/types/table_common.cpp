#include "types/table_common.h"

#include "core/messages.h"
#include "core/text_output.h"
#include "core/values.h"
#include "exec/calls.h"

namespace kavor {

HashTable& definedTable(const MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  return call.object.asHash();
}

HashTable& changeableTable(const MethodCall& call, bool structure) {
  HashTable& table = definedTable(call);
  call.requireModifiable();
  if (structure && table.iterationCount > 0) call.fail(message("unzwaeite"));
  return table;
}

std::string keyText(Object& key) { return textForm(key); }

void tableSize(MethodCall& call) {
  call.out().pushOwned(makeInt(static_cast<long long>(definedTable(call).count)), Access::ConstResult);
}

void tableDefines(MethodCall& call) {
  HashTable& table = definedTable(call);
  call.require(checkCountRange(call.args, 1, -1));
  for (Result& argument : call.args) call.out().pushOwned(makeBool(table.contains(*argument.object)), Access::ConstResult);
}

void pushCopy(const MethodCall& call, Object& value) {
  auto copy = std::make_unique<Object>('v');
  call.require(transfer(*copy, value, Transfer::ReferenceOrCopy));
  call.out().pushOwned(std::move(copy), Access::ConstResult);
}

}  // namespace kavor
