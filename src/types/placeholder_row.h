// The row of a type whose payload so far is only its empty state (array, graph, the date
// and time types): a plain struct copied by assignment and compared with ==, with no text
// form of its own yet, so output writes nothing for it. A type that gains real values
// replaces this with row functions of its own.
#pragma once

#include <string>

#include "core/type_table.h"

namespace kavor {

template <class Payload>
struct PlaceholderRow {
  static Payload& of(const Object& object) { return *static_cast<Payload*>(object.value); }
  static void create(Object& object) { object.value = new Payload(); }
  static void release(Object& object) { delete static_cast<Payload*>(object.value); }
  static void copy(Object& target, const Object& source) { of(target) = of(source); }
  static bool equals(Object& a, Object& b, PartComparison&) { return of(a) == of(b); }
  static bool isEmpty(const Object& object) { return of(object).isEmpty(); }
  static void writeNothing(const Object&, std::string&, TextParts&) {}

  static constexpr TypeOps row(const char* name) {
    return {
        .name = name,
        .create = create,
        .release = release,
        .copy = copy,
        .equals = equals,
        .isEmpty = isEmpty,
        .makeEmpty = renewPayload,
        .visitParts = nullptr,
        .loopsRunning = nullptr,
        .writeText = writeNothing,
        .readText = nullptr,
    };
  }
};

}  // namespace kavor
