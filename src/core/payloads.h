// The payload records of the smaller built-in types and of user-defined values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/object.h"

namespace kavor {

struct TreeNode;

// Payload of `error`: the same four fields as the ERROR exception.
struct ErrorValue {
  std::string file;     // source file of the error; "" when empty
  int32_t line = 0;     // line in that file
  std::string message;  // complete message text
  char kind = 'u';      // error kind; 'u' for errors a program builds itself

  bool isEmpty() const { return file.empty() && line == 0 && message.empty() && kind == 'u'; }
  bool operator==(const ErrorValue&) const = default;
};

// Payload of `dir`.
struct DirValue {
  std::string path;    // "" when empty
  uint32_t flags = 0;  // directory state word, 0 when created
  bool operator==(const DirValue& other) const { return path == other.path; }
};

// Payload of `code`: a block of the program tree.
struct CodeValue {
  const TreeNode* tree = nullptr;  // nullptr = empty code; the tree outlives every value
};

// Payload of `any2`: two halves, each an `any`.
struct Any2Value {
  Object first{'v'};
  Object second{'v'};
};

// Members of a user-defined value: one group per part of the type's definition.
using MemberGroups = std::vector<std::vector<std::unique_ptr<Object>>>;

// What a user-defined type is at run time. The analysis makes one per type definition and
// the scope that defines the type owns it; values only point at it, so two types of the
// same name (in two modules) stay apart.
struct TypeRecord {
  std::string name;                  // the type's name, as typeName reports it
  std::unique_ptr<Object> prototype; // the type's empty value; null until built before the run
  bool small = false;                // defined with `smalltype`
  // The inheritance list: the type itself first, then its basic types breadth-first, each
  // once. A value holds one member group per entry, in this order.
  std::vector<TypeRecord*> lineage;
  // The type's body: its symbol table holds the members (in group order), the type
  // procedures and the type functions. Not owned; the tree outlives every value.
  TreeNode* body = nullptr;
  // The position of `type` in the lineage, or -1 when it is not a basic type of this one.
  int groupOf(const TypeRecord* type) const {
    for (size_t g = 0; g < lineage.size(); ++g)
      if (lineage[g] == type) return static_cast<int>(g);
    return -1;
  }
};

// Payload of `k`.
struct UserValue {
  std::unique_ptr<MemberGroups> groups;  // nullptr while the value is undefined
  TypeRecord* type = nullptr;            // shared, not owned; nullptr when unknown
};

}  // namespace kavor
