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

// What a user-defined type is at run time. Extended by the type definitions.
struct TypeRecord {
  std::string name;                  // the type's name, as typeName reports it
  std::unique_ptr<Object> prototype; // the type's empty value
};

// Payload of `k`.
struct UserValue {
  std::unique_ptr<MemberGroups> groups;  // nullptr while the value is undefined
  TypeRecord* type = nullptr;            // shared, not owned; nullptr when unknown
};

}  // namespace kavor
