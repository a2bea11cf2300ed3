// The methods of the built-in types, reached by method name on an object: the call a method
// handler gets, and the table each type's file in types/ registers its methods into.
#pragma once

#include <string>

#include "exec/executor.h"

namespace kavor {

// A method call on a built-in type's value: `object.name(arguments)`.
struct MethodCall {
  Executor& exec;
  TreeNode& node;              // the call form; positions errors
  const ExecContext& context;  // the caller's context (code arguments run in it)
  Object& object;              // the object, indirections followed
  int access;                  // the object's access class (modifying methods check it)
  ResultList& args;            // the evaluated arguments
  ResultList* results;         // function form: where results go; nullptr: procedure form
  std::string_view typeName;   // the object's type name, outlives the call; empty: the name of
                               // `typeCode` (built-in types, named only when a message needs it)
  std::string_view methodName; // the method's name ("" for the unnamed call)
  TypeCode typeCode = 0;       // the object's type code when the call was made

  bool isFunction() const { return results != nullptr; }
  // "<type>:<method>", the context of every failure; built only when one is raised.
  std::string contextName() const {
    std::string name(typeName.empty() ? std::string_view(typeNameOfCode(typeCode)) : typeName);
    name += ':';
    name += methodName;
    return name;
  }
  [[noreturn]] void fail(const std::string& failure) const {
    exec.raise(node, isFunction() ? 'f' : 'p', contextName(), failure);
  }
  void require(const Failure& failure) const {
    if (failure) fail(failure.text());
  }
  // Procedure-form methods that change the object first check that it may be changed.
  void requireModifiable() const;
  // The object, for the methods that use its value: it must be defined and not empty.
  Object& heldObject() const;
  // Argument `index` (from 0), which must be defined and not empty; the messages count from
  // 1. The method key has already fixed its type.
  Object& usedArgument(size_t index) const;
  // The result list of a function-form method.
  ResultList& out() const { return *results; }
};


// The handler of a method of a built-in type by base type code and method key (the name,
// "\xA7", each argument's type name followed by ";", "\xA7"), in the function form (results
// wanted) or the procedure form; nullptr when the type answers no such key. Keys are
// matched exactly first, then by their prefix "<name>\xA7".
MethodHandler findMethod(TypeCode base, const std::string& key, bool functionForm);

// Registers the methods of one type; each type's file calls it from its registration.
struct MethodEntry {
  const char* key;        // exact key, or a prefix "<name>\xA7" when `prefix` is set
  bool prefix;            // matched by prefix: the method checks count and types itself
  bool functionForm;      // true: function form (yields values); false: procedure form
  MethodHandler handler;
};
void registerMethods(TypeCode base, const MethodEntry* entries, size_t count);

}  // namespace kavor
