#include "exec/method_table.h"

#include "core/messages.h"
#include "exec/calls.h"

#include <string>
#include <unordered_map>

namespace kavor {

void registerStrMethods();
void registerListMethods();
void registerIntMethods();
void registerRealMethods();
void registerSmallTypeMethods();
void registerContainerMethods();
void registerFileMethods();
void registerDirMethods();
void registerDateTimeMethods();

namespace {

struct TypeMethods {
  std::unordered_map<std::string, MethodHandler> exact[2];   // [functionForm]
  std::unordered_map<std::string, MethodHandler> prefix[2];  // keyed by "<name>\xA7"
};

std::unordered_map<TypeCode, TypeMethods>& registry() {
  static std::unordered_map<TypeCode, TypeMethods> methods;
  return methods;
}

void registerAll() {
  static bool done = false;
  if (done) return;
  done = true;
  registerStrMethods();
  registerListMethods();
  registerIntMethods();
  registerRealMethods();
  registerSmallTypeMethods();
  registerContainerMethods();
  registerFileMethods();
  registerDirMethods();
  registerDateTimeMethods();
}

}  // namespace

void MethodCall::requireModifiable() const {
  Result target{&object, access, false};
  if (!isModifiable(target)) fail(checkModifiable(target, message("zuw")).text());
}

Object& MethodCall::heldObject() const {
  if (!object.isDefined()) fail(message("insnicdef"));
  if (object.isEmpty()) fail(message("insistlee"));
  return object;
}

Object& MethodCall::usedArgument(size_t index) const {
  Object& value = args[index].object->resolve(true);
  std::string position = std::to_string(index + 1);
  if (!value.isDefined()) fail(fillKey("tesargnicdef", {position}));
  if (value.isEmpty()) fail(fillKey("tesarglee", {position}));
  return value;
}

void registerMethods(TypeCode base, const MethodEntry* entries, size_t count) {
  TypeMethods& methods = registry()[base];
  for (size_t i = 0; i < count; ++i) {
    const MethodEntry& entry = entries[i];
    auto& table = entry.prefix ? methods.prefix[entry.functionForm] : methods.exact[entry.functionForm];
    table[entry.key] = entry.handler;
  }
}

MethodHandler findMethod(TypeCode base, const std::string& key, bool functionForm) {
  registerAll();
  auto type = registry().find(base);
  if (type == registry().end()) return nullptr;
  TypeMethods& methods = type->second;
  auto exact = methods.exact[functionForm].find(key);
  if (exact != methods.exact[functionForm].end()) return exact->second;
  size_t mark = key.find('\xA7');
  if (mark == std::string::npos) return nullptr;
  auto prefix = methods.prefix[functionForm].find(key.substr(0, mark + 1));
  return prefix == methods.prefix[functionForm].end() ? nullptr : prefix->second;
}

}  // namespace kavor
