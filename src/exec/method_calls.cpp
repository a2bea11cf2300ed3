// Calls of the methods of built-in types: the method a call node chose last, the lookup by
// type, name and argument types, the unnamed calls and the function form of type names.
#include <algorithm>

#include "core/messages.h"
#include "exec/calls.h"
#include "exec/method_table.h"
#include "frontend/keywords.h"
#include "frontend/tree_shapes.h"

namespace kavor {

namespace {

std::string methodKey(const std::string& name, const ResultList& args) {
  std::string key = name;
  key += '\xA7';
  for (const Result& entry : args) {
    key += typeName(entry.object->resolve(true), true);
    key += ';';
  }
  key += '\xA7';
  return key;
}

// The handler of the method `name` of type `base` for `args` in the form asked for, or null.
// It depends only on the type, the form and the arguments' types; a call node keeps the last
// choice so that a call in a loop looks it up once. Arguments of user-defined types are told
// apart by name, so they are not cached.
MethodHandler lookupMethod(TreeNode& call, TypeCode base, const std::string& name, const ResultList& args,
                           bool wantFunction) {
  MethodCache found;
  found.base = base;
  found.functionForm = wantFunction;
  bool cacheable = args.size() <= MethodCache::kMaxArguments;
  for (size_t i = 0; cacheable && i < args.size(); ++i) {
    TypeCode code = args[i].object->resolve(true).base();
    cacheable = code != 'k';
    found.argumentCodes[i] = code;
  }
  found.argumentCount = static_cast<uint8_t>(args.size());
  MethodCache& cache = call.form().methodCache;
  if (cacheable && cache.handler != nullptr && cache.base == found.base && cache.functionForm == wantFunction &&
      cache.argumentCount == found.argumentCount &&
      std::equal(found.argumentCodes, found.argumentCodes + found.argumentCount, cache.argumentCodes))
    return cache.handler;
  MethodHandler handler = findMethod(base, methodKey(name, args), wantFunction);
  if (handler != nullptr && cacheable) {
    found.handler = handler;
    cache = found;
  }
  return handler;
}

}  // namespace


void callUnnamed(Executor& exec, TreeNode& group, const ExecContext& context, ResultList* results, Object& object,
                 int objectAccess) {
  std::vector<TreeNode*> items;
  splitCommas(&group, items);
  ResultList args;
  for (TreeNode* item : items) exec.evaluate(*item, context, args);
  Failure failure = callMethod(exec, group, context, object.resolve(true), objectAccess, "", args, results);
  if (failure) exec.raise(group, failure.text());
}

bool callTypeConstructor(Executor& exec, TreeNode& call, const ExecContext& context, ResultList& results) {
  // A node that made a value of its type before cached the type with the method it chose.
  const CompiledForm* form = call.compiled.get();
  TypeCode code;
  if (form != nullptr && form->methodCache.handler != nullptr) {
    code = form->methodCache.base;
  } else {
    code = typeCodeOf(call.text);
    if (code == 'k' || code == 'v' || isRoutineWord(call.text)) return false;
  }
  Object fresh(code);
  ResultList args;
  evaluateArguments(exec, call, context, args);
  MethodHandler handler = lookupMethod(call, code, "", args, true);
  if (handler == nullptr) return false;
  MethodCall method{exec, call, context, fresh, Access::Expression, args, &results, call.text, ""};
  handler(method);
  return true;
}

Failure callMethod(Executor& exec, TreeNode& call, const ExecContext& context, Object& target, int access,
                   const std::string& name, ResultList& args, ResultList* results) {
  bool wantFunction = results != nullptr;
  MethodHandler handler = lookupMethod(call, target.base(), name, args, wantFunction);
  if (handler == nullptr) {
    if (findMethod(target.base(), methodKey(name, args), !wantFunction) != nullptr)
      return message(wantFunction ? "nurfundueausaufger" : "nurprodueanwausgef");
    std::string suffix = " (" + std::string(message("dattyp")) + " '" + typeName(target, true) + "')";
    return notDefinedText(message(wantFunction ? "fun" : "pro"), name, suffix);
  }
  // The type's name is only read when a message is built; built-in types have static names.
  std::string userTypeName;
  if (target.typeCode == 'V' || target.isIndirection() || target.base() == 'k') userTypeName = typeName(target, true);
  MethodCall method{exec, call, context, target, access, args, results, userTypeName, name, target.typeCode};
  // Indirections of the object do not count as typed while its own method runs.
  target.methodBusy = 1;
  try {
    handler(method);
  } catch (...) {
    target.methodBusy = 0;
    throw;
  }
  target.methodBusy = 0;
  return Failure::none();
}

}  // namespace kavor
