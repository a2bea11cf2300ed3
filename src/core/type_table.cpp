// Core's own rows (`any` and the codes without a type) and what the table answers about
// type codes and names.
#include "core/type_table.h"

#include <string_view>
#include <unordered_map>

namespace kavor {

namespace {

void noPayload(Object&) {}
void nothingToCopy(Object&, const Object&) {}
bool alwaysEqual(Object&, Object&, PartComparison&) { return true; }
bool alwaysEmpty(const Object&) { return true; }
void noText(const Object&, std::string&, TextParts&) {}

// `any` and the codes without a type hold nothing; they differ in name and text form.
constexpr TypeOps payloadFreeRow(const char* name, void (*writeText)(const Object&, std::string&, TextParts&)) {
  return {
      .name = name,
      .create = noPayload,
      .release = noPayload,
      .copy = nothingToCopy,
      .equals = alwaysEqual,
      .isEmpty = alwaysEmpty,
      .makeEmpty = noPayload,
      .visitParts = nullptr,
      .loopsRunning = nullptr,
      .writeText = writeText,
      .readText = nullptr,
  };
}

}  // namespace

constinit const TypeOps kNoTypeOps = payloadFreeRow(nullptr, nullptr);
constinit const TypeOps kAnyOps = payloadFreeRow("any", noText);

void renewPayload(Object& object) {
  object.clear(false);
  object.createPayload();
}

bool isValidCode(TypeCode code) { return hasTypeOps(code) || isIndirectionCode(code); }

const char* typeNameOfCode(TypeCode code) {
  const char* name = typeOps(code).name;
  return name != nullptr ? name : "?";
}

TypeCode typeCodeOf(const std::string& name) {
  // Built once from the table: type names are looked up by every declaration and call.
  static const std::unordered_map<std::string_view, TypeCode> codes = [] {
    std::unordered_map<std::string_view, TypeCode> byName;
    for (int code = 0; code < 256; ++code) {
      auto typeCode = static_cast<TypeCode>(code);
      const char* typeName = typeOps(typeCode).name;
      if (typeName != nullptr && baseCode(typeCode) == typeCode) byName.emplace(typeName, typeCode);
    }
    return byName;
  }();
  auto found = codes.find(name);
  return found == codes.end() ? 'k' : found->second;
}

}  // namespace kavor
