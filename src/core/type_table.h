// The table of per-type operations. Every base type code has one row of functions that
// create, release, copy, compare, empty, walk, write and read its values; the object model
// (construction, transfer, equality, the walks over parts, text output) reaches a type's
// payload only through its row. Core defines the rows' shape and reads the table; the
// types layer defines each type's row in the type's own file and lists the rows once
// (types/type_rows.cpp), so core names no type above it.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/failure.h"
#include "core/object.h"

namespace kavor {

class BinaryInput;
struct ElementLoop;
struct TypeRecord;

// Compares the parts of two values inside one structural comparison. It follows the
// comparison's cycle guard, so a row compares parts only through it, never with equals().
class PartComparison {
 public:
  // Equality of two parts; `strict` as for equals(): false lets a reference equal only a
  // reference.
  virtual bool same(Object& a, Object& b, bool strict) = 0;

 protected:
  ~PartComparison() = default;
};

// Receives the Objects a value holds, one call per part.
class PartVisitor {
 public:
  virtual void visit(Object& part) = 0;

 protected:
  ~PartVisitor() = default;
};

// Receives the layout of a compound value's text form, in writing order: literal pieces
// and parts, each part written later by the same rules as a whole value (so nesting costs
// heap, not native stack, and cycles are cut).
class TextParts {
 public:
  // `literal` is kept by address until its turn comes: pass string literals only.
  virtual void text(const char* literal) = 0;
  // An integer in decimal (the positions of an array).
  virtual void number(long long value) = 0;
  virtual void part(Object& part) = 0;
  // The binary writer numbers the user types of the value it writes 1, 2, 3 in the order
  // they first occur, so that a type's name is written once; `first` tells whether this
  // is that occurrence. Text writers number nothing.
  virtual int64_t typeNumber(const TypeRecord&, bool& first) {
    first = false;
    return 0;
  }

 protected:
  ~TextParts() = default;
};

// One type's operations. Every field is set in every row (no null checks on the hot
// paths) except where a field says that nullptr has a meaning.
struct TypeOps {
  // The name programs write for the type ("int", "list"); distinct rows have distinct
  // names. nullptr for user-defined values, which are named by their type record, and for
  // codes without a type.
  const char* name;

  // Gives `object` the type's empty value. On entry typeCode is the type's code (plain or
  // held) and no payload is held, except that a user-defined value normally has its record
  // already, which carries the type (without one it has no type and stays as it is). Sets `value` to a new payload, or, for the types whose value
  // lives in `word`, `value` to &kInlinePayload and `word` to the empty word. Afterwards
  // the Object is defined and empty.
  void (*create)(Object& object);

  // Frees what the payload owns; called only while `value` is non-null. Core then sets
  // `value` to nullptr and `word` to 0, except for a user-defined value, whose record stays.
  // Objects held in the value are handed to destroyTakenObjects, never destroyed by native
  // recursion. A payload a loop can run over is first reported to
  // IterationWatch::payloadReleased, so that the loop stops instead of touching freed memory.
  void (*release)(Object& object);

  // Replaces `target`'s value by a copy of `source`'s. Both are defined, distinct and of
  // this base type, and `target` already holds a payload (a user-defined value at least its
  // record). Afterwards the two are equal and independent: changing one never changes the
  // other. Parts are copied as list elements are (indirections are mirrored, values copied).
  void (*copy)(Object& target, const Object& source);

  // Structural equality of two defined values of this base type. Parts are compared
  // through `parts` only. Reflexive and symmetric.
  bool (*equals)(Object& a, Object& b, PartComparison& parts);

  // True when a defined value is the type's empty value (as create leaves it).
  bool (*isEmpty)(const Object& object);

  // Turns a defined, plain (not held) value into the type's empty value in place, keeping
  // its type code; isEmpty is true afterwards. Most types use renewPayload.
  void (*makeEmpty)(Object& object);

  // Hands every Object the value holds directly (elements, keys and values, halves,
  // members) to `visit`, always in the same order; called whenever `value` is non-null,
  // also on a user-defined value without members. nullptr for types whose values hold no
  // Objects: the walks over parts (containment, cycles in text output) then skip them, so a
  // type with parts must set it.
  void (*visitParts)(const Object& object, PartVisitor& visit);

  // The number of loops or per-element methods running over the value now; while it is
  // above 0 the value's structure must not change. Called only while `value` is non-null.
  // nullptr for types nothing iterates over.
  int32_t (*loopsRunning)(const Object& object);

  // Writes a defined value's text form: a value without parts appends its text to `out`; a
  // value with parts appends nothing and lists its layout in `parts`. nullptr for types
  // without a text form, whose output is refused.
  void (*writeText)(const Object& object, std::string& out, TextParts& parts);

  // Stores the value `text` denotes into `target`, a defined plain value of this type;
  // false, with `target` unchanged, when the text denotes no value of the type. nullptr for
  // types that are not read from text, whose input is refused.
  bool (*readText)(const std::string& text, Object& target);

  // `x.for(v, {...})` and `x.For(...)` over a defined value's elements (a str's
  // characters), given the loop with its variables and body checked (exec/iteration.h).
  // nullptr for types without that loop.
  void (*elementLoop)(ElementLoop& loop) = nullptr;
  // The number of loop variables the loop takes, before the body: at least
  // `loopVariablesFewest`, at most `loopVariablesMost`.
  uint8_t loopVariablesFewest = 1;
  uint8_t loopVariablesMost = 1;

  // --- operators; a row that leaves these out has none of them ---

  // The operators of the compound assignments the type has, by their first character
  // ("+-*/%^" for int, "+" for str); nullptr for none. A binary operator is a copy of the
  // left operand and then the compound operation.
  const char* compoundOperators = nullptr;
  // Whether an operand of base type `source` may be combined into a value of this type.
  // Set exactly when compoundOperators is.
  bool (*acceptsOperand)(TypeCode source) = nullptr;
  // `target OP= source` for an operator of compoundOperators, on defined values of which the
  // operand checks refused none (an empty value where emptyIsNoValue says there is none).
  // Returns the refusal, leaving `target` as it was. Set exactly when compoundOperators is.
  Failure (*compound)(char op, Object& target, Object& source) = nullptr;
  // The type's empty value is no value at all, so operators refuse it (an empty int or
  // char); an empty str or list is a value, the empty one.
  bool emptyIsNoValue = false;
  // The order of two defined values of the type for "<", ">", "<=", ">=", min, max and sort
  // (values the order refuses as empty are not given); unordered when neither is less,
  // equal or greater. nullptr for types without an order.
  std::partial_ordering (*order)(Object& a, Object& b) = nullptr;

  // The text a defined plain value is hashed by as a hash or set key, where equal values
  // can have different text forms (a datetime given in two zones); equal values must give
  // equal texts. nullptr: the text form.
  std::string (*keyText)(const Object& object) = nullptr;

  // --- the binary object form (core/binary_form.h); a row that leaves these out is
  // neither written nor read in it ---

  // Appends the whole item of a defined plain value to `out`, its letters and numbers; a
  // compound value then lists its parts in `parts` in item order, each written later as an
  // item of its own, and literal pieces (the "v" of an array slot without value). Lists the
  // same parts in the same order every time: the numbering of referenced parts walks them
  // as the writing does. nullptr: writing the type is refused.
  void (*writeBinary)(const Object& object, std::string& out, TextParts& parts) = nullptr;
  // Reads the rest of an item that began with `letter` (the type's base code, or "x" for
  // an empty char) into `target`, a fresh empty value of the type; a compound value hands
  // the reading of its parts to `in.expectParts`. False when the bytes are no such item.
  // Set exactly when writeBinary is.
  bool (*readBinary)(BinaryInput& in, char letter, Object& target) = nullptr;
};

// The row of every code without a type (unused letters, indirections): no payload, nothing
// to copy, always equal and empty, no text form.
extern const TypeOps kNoTypeOps;
// The row of `any` (`v`): an any holding nothing has no payload and writes no text.
extern const TypeOps kAnyOps;

struct TypeTable {
  // The row of each type code, indexed by the code as an unsigned byte. Never null; a held
  // code has its base code's row, codes without a type have kNoTypeOps.
  std::array<const TypeOps*, 256> rows;
};

// Builds the table from the built-in types' rows (pairs of base code and row); `any` and
// the codes without a type get core's own rows.
template <size_t Count>
constexpr TypeTable buildTypeTable(const std::pair<TypeCode, const TypeOps*> (&types)[Count]) {
  TypeTable table{};
  for (const TypeOps*& row : table.rows) row = &kNoTypeOps;
  table.rows['v'] = table.rows['V'] = &kAnyOps;
  for (const auto& [code, row] : types) {
    table.rows[static_cast<unsigned char>(code)] = row;
    table.rows[static_cast<unsigned char>(heldCode(code))] = row;
  }
  return table;
}

// Defined by the types layer, which knows which types exist.
extern const TypeTable kTypeTable;

// The row of a type code (plain or held).
inline const TypeOps& typeOps(TypeCode code) { return *kTypeTable.rows[static_cast<unsigned char>(code)]; }
// True when the code (plain or held) names a type with a row of its own (`any` included).
inline bool hasTypeOps(TypeCode code) { return &typeOps(code) != &kNoTypeOps; }

// makeEmpty for the types whose fresh payload is their empty value: release, then create.
void renewPayload(Object& object);

// Destroys Objects taken out of a value being released. Destroying a container hands its
// elements to the outermost destruction running, which destroys them one by one: however
// deeply values nest, destruction needs no deeper native recursion than one level.
void destroyTakenObjects(std::vector<std::unique_ptr<Object>>& taken);

// Deletes a container payload (a list record, a hash table) after taking its Objects out,
// which destroyTakenObjects then destroys.
template <class Container>
void destroyContainer(Container* container) {
  std::vector<std::unique_ptr<Object>> taken;
  container->handOverObjects(taken);
  delete container;
  destroyTakenObjects(taken);
}

}  // namespace kavor
