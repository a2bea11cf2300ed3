// The Object: the node every Kavor value lives in (variables, container elements, members,
// temporaries, hash keys), its one-character type code, and the primitives on it.
//
// Type codes: a lower-case letter or even digit is the type itself; the upper-case letter or
// the odd digit above is the same type held by an `any`. `p`, `q`, `j` (and upper-case) are a
// reference, an alias and a call-alias: their `value` is the target Object, never owned.
// `v` is an `any` that is defined and holds nothing, `V` an undefined `any`.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/failure.h"

namespace kavor {

using TypeCode = char;

class BigInt;
class BigReal;
class STR_DATA;
class FILE_DATA;
struct ListRecord;
class HashTable;
struct UserValue;
struct TypeRecord;
struct ErrorValue;
struct DirValue;
struct CodeValue;
struct Any2Value;

namespace codes {

// Upper-case letter -> lower case, odd digit -> the even digit below; others unchanged.
constexpr TypeCode computeBase(TypeCode code) {
  if (code >= 'A' && code <= 'Z') return static_cast<TypeCode>(code + ('a' - 'A'));
  if (code >= '0' && code <= '9' && (code - '0') % 2 == 1) return static_cast<TypeCode>(code - 1);
  return code;
}
// Lower-case letter -> upper case, even digit -> the odd digit above; others unchanged.
constexpr TypeCode computeHeld(TypeCode code) {
  if (code >= 'a' && code <= 'z') return static_cast<TypeCode>(code - ('a' - 'A'));
  if (code >= '0' && code <= '9' && (code - '0') % 2 == 0) return static_cast<TypeCode>(code + 1);
  return code;
}

// What the predicates below answer for each code, looked up instead of computed: they run on
// nearly every Object operation.
struct CodeFacts {
  TypeCode base[256];
  TypeCode held[256];
  bool isHeld[256];
  bool isIndirection[256];
};
constexpr CodeFacts computeFacts() {
  CodeFacts facts{};
  for (int i = 0; i < 256; ++i) {
    auto code = static_cast<TypeCode>(i);
    facts.base[i] = computeBase(code);
    facts.held[i] = computeHeld(code);
    facts.isHeld[i] = (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9' && (code - '0') % 2 == 1);
    TypeCode base = facts.base[i];
    facts.isIndirection[i] = base == 'p' || base == 'q' || base == 'j';
  }
  return facts;
}
inline constexpr CodeFacts kFacts = computeFacts();

constexpr unsigned char index(TypeCode code) { return static_cast<unsigned char>(code); }

}  // namespace codes

// Upper-case letter -> lower case, odd digit -> the even digit below; others unchanged.
constexpr TypeCode baseCode(TypeCode code) { return codes::kFacts.base[codes::index(code)]; }
// Lower-case letter -> upper case, even digit -> the odd digit above; others unchanged.
constexpr TypeCode heldCode(TypeCode code) { return codes::kFacts.held[codes::index(code)]; }
constexpr bool isHeldCode(TypeCode code) { return codes::kFacts.isHeld[codes::index(code)]; }
// Reference, alias or call-alias, declared or held by an `any`.
constexpr bool isIndirectionCode(TypeCode code) { return codes::kFacts.isIndirection[codes::index(code)]; }
constexpr bool isReferenceCode(TypeCode code) { return baseCode(code) == 'p'; }
constexpr bool isAliasCode(TypeCode code) { return baseCode(code) == 'q'; }
constexpr bool isCallAliasCode(TypeCode code) { return baseCode(code) == 'j'; }
// True for the indirections and for every code with a row in the type table (`w`/`W` are
// unused).
bool isValidCode(TypeCode code);

// The access class scale of results and bound arguments: how an Object may be changed.
namespace Access {
constexpr int Literal = 0;         // a literal in the program text
constexpr int Expression = 1;      // a computed temporary
constexpr int ConstInput = 2;      // constant input argument of the running procedure
constexpr int ConstResult = 3;     // result of an operator or function
constexpr int ConstMember = 4;     // member reached through a constant object
constexpr int ConstObject = 5;     // `this` inside an object function
constexpr int Variable = 6;        // plain, modifiable variable
constexpr int ArgsInput = 7;       // variable input argument of type `args`
constexpr int Output = 8;          // output argument of the running function
constexpr int VariableOutput = 9;  // variable output argument (`:$`): only references go in
constexpr int Member = 10;         // member reached through a modifiable object
constexpr int ThisProcedure = 11;  // `this` inside an object procedure
}  // namespace Access

// The transfer kinds: every way of putting one Object into another.
namespace Transfer {
constexpr int Copy = 0;             // value assignment (also -1)
constexpr int Reference = 1;        // target becomes a reference to the source
constexpr int Move = 2;             // the payload moves from the source
constexpr int Alias = 3;            // target becomes an alias of the source
constexpr int ReferenceOrCopy = 4;  // reference if the source is one, else copy
constexpr int SameOrMove = 5;       // same indirection as the source, else move
constexpr int SameOrCopy = 6;       // same indirection as the source, else copy
constexpr int CallAlias = 7;        // target becomes a call-alias of the source
}  // namespace Transfer

struct Object;

// Marker stored in `value` for bool, char, oper and sys, whose payload lives in `word`.
extern char kInlinePayload;
// Marker stored in `value` of an int whose value lives in `word`.
extern char kSmallIntPayload;
// The `word` of such an int while it is empty (no small value has this bit pattern).
inline constexpr int64_t kEmptySmallInt = INT64_MIN;

// The side record of an Object's rarely used links; allocated while some field is set.
struct ObjectLinks {
  // Heads of the chains of references, aliases and call-aliases whose target is the Object.
  Object* referenceChain = nullptr;
  Object* aliasChain = nullptr;
  Object* callAliasChain = nullptr;
  // For an indirection linked into a target's chain: the previous member, or the target
  // itself for the first member; nullptr when not linked.
  Object* chainPrev = nullptr;
  // The next member of the same chain; nullptr at the end.
  Object* chainNext = nullptr;
  // Number given by the binary writer and reader; -1 = not numbered.
  int32_t serial = -1;

  bool unused() const {
    return !referenceChain && !aliasChain && !callAliasChain && !chainPrev && !chainNext && serial == -1;
  }
};

struct Object {
  // Payload (owned) of a plain value, made and freed by its type's row in the type table
  // (core/type_table.h); nullptr = undefined. For an indirection code: the target Object
  // (not owned). bool, char, oper and sys keep their small value in `word` instead, with
  // `value` as a non-null marker (see below); so does an int whose value is small.
  void* value = nullptr;
  // The small payloads: bool (65535 = empty), char (0 = empty), oper (two characters,
  // low byte first), sys, and a small int (the int64 bit pattern; kEmptySmallInt = empty).
  // Meaningful only while `value` is the marker of those types.
  uint64_t word = 0;
  // The TypeCode; only the codes listed in the header comment occur.
  TypeCode typeCode = 'V';
  // Set while the Object is written in text form, so a cycle is written once.
  uint8_t outputMark = 0;
  // Set while a built-in method runs on the Object; such indirections are ignored by
  // hasTypedIndirection.
  uint8_t methodBusy = 0;
  // Set on the variables of a scope (and temporarily on elements being bound); alias and
  // call-alias binding require it on the target.
  uint8_t scopeVariable = 0;
  // Access class of a bound argument or element for the duration of a call; 6 otherwise.
  int32_t transferKind = Access::Variable;

  // The chains of indirections and the binary numbering, which most Objects never have,
  // live in a side record: it keeps every Object, and so every list element, small.
  Object* referenceChain() const { return links_ ? links_->referenceChain : nullptr; }
  Object* aliasChain() const { return links_ ? links_->aliasChain : nullptr; }
  Object* callAliasChain() const { return links_ ? links_->callAliasChain : nullptr; }
  Object* chainPrev() const { return links_ ? links_->chainPrev : nullptr; }
  Object* chainNext() const { return links_ ? links_->chainNext : nullptr; }
  // Some indirection points here, or this is a linked indirection, or it is numbered.
  bool hasLinks() const { return links_ != nullptr; }
  // Number given by the binary writer and reader; -1 = not numbered.
  int32_t serial() const { return links_ ? links_->serial : -1; }
  void setSerial(int32_t number);

  Object() = default;
  // construct(code): a defined, empty value of the type (or the any/indirection states).
  explicit Object(TypeCode code) { construct(code); }
  // Objects are linked by address into chains: they never copy or move.
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  // destroy(): indirections pointing here become independent, empty Objects. Most Objects
  // die holding nothing or a value kept in their word, linked to nothing: then nothing else
  // can notice and there is nothing to free.
  ~Object() {
    if (links_ != nullptr || (value != nullptr && value != &kSmallIntPayload && value != &kInlinePayload))
      destroyLinkedOrHolding();
  }
  // Objects come from a free list: temporaries are made and dropped at a high rate.
  static void* operator new(size_t size);
  static void operator delete(void* pointer) noexcept;

  void construct(TypeCode code);
  // construct with the source's code (and type record), then copy its value.
  void constructLike(const Object& source);
  // An Object of code `k` with the given user value record (ownership taken).
  void constructUser(UserValue* record);
  // An empty `any`, then `transfer(source, kind)` into it; returns the transfer's failure.
  Failure constructByTransfer(Object& source, int kind);

  // Allocates the empty payload of the base type. With a template, the Object first becomes
  // an `any` holding the template's type (held code; `k` takes the template's type record).
  void createPayload(const Object* templateObject = nullptr);
  // Releases the payload: the Object becomes undefined. With `detach`, indirections
  // pointing here first become independent empty Objects.
  void clear(bool detach);
  void destroy();
  // The type's empty value, keeping the type; an `any` holding a value becomes `v`.
  void makeEmpty();
  // Every indirection pointing here becomes an independent, defined, empty Object; this
  // Object is unlinked from the chain it is in.
  void detachIndirections();
  // Turns this Object into an indirection ('p', 'q' or 'j') to `target`.
  void linkIndirection(char kind, Object& target);
  // Removes this Object from the chain it is linked into.
  void unlink();
  // An indirection becomes a plain Object of its final target's type, empty or undefined.
  void convertIndirection(bool withPayload);
  // Drops the payload pointer without releasing it; the caller took ownership.
  void forgetPayload();

  bool isDefined() const;
  // Only meaningful on a defined Object.
  bool isEmpty() const;
  TypeCode base() const { return baseCode(typeCode); }
  bool isIndirection() const { return isIndirectionCode(typeCode); }
  bool isAny() const { return typeCode == 'v' || typeCode == 'V' || isHeldCode(typeCode); }
  // The Object an indirection points to (one step); the Object itself otherwise.
  Object* target() const { return static_cast<Object*>(value); }
  // Follows aliases and call-aliases (and references too when `throughReferences`). Most
  // Objects are no indirection, so that case is answered inline.
  Object& resolve(bool throughReferences = false) {
    return isIndirectionCode(typeCode) ? resolveIndirection(throughReferences) : *this;
  }
  Object& resolveIndirection(bool throughReferences);

  // Payload access by type; only valid for a defined Object of that base type. Types the
  // rest of the interpreter does not reach into read their payload in their own files.
  BigReal& asReal() const { return *static_cast<BigReal*>(value); }
  STR_DATA& asStr() const { return *static_cast<STR_DATA*>(value); }
  FILE_DATA& asFile() const { return *static_cast<FILE_DATA*>(value); }
  ListRecord& asList() const { return *static_cast<ListRecord*>(value); }
  HashTable& asHash() const { return *static_cast<HashTable*>(value); }
  UserValue& asUser() const { return *static_cast<UserValue*>(value); }
  ErrorValue& asError() const { return *static_cast<ErrorValue*>(value); }
  DirValue& asDir() const { return *static_cast<DirValue*>(value); }
  CodeValue& asCode() const { return *static_cast<CodeValue*>(value); }
  Any2Value& asAny2() const { return *static_cast<Any2Value*>(value); }

  // Ints. A defined int holds its value either in `word` (value == &kSmallIntPayload: empty
  // or a magnitude of at most BigInt::kSmallLimit) or in a BigInt of its own. New ints start
  // in `word`; one becomes a BigInt when asInt() is asked for or a value outgrows the word,
  // and stays one: references to its BigInt stay valid while the Object keeps its value.
  bool holdsSmallInt() const { return value == &kSmallIntPayload; }
  // True, with the value, when the int is defined, not empty and small (in either form).
  bool readSmallInt(int64_t& out) const {
    if (value != &kSmallIntPayload) return readBoxedSmallInt(out);
    out = static_cast<int64_t>(word);
    return out != kEmptySmallInt;
  }
  // Becomes `small`, which must lie within -BigInt::kSmallLimit .. BigInt::kSmallLimit.
  void setSmallInt(int64_t small) {
    if (value == &kSmallIntPayload) word = static_cast<uint64_t>(small);
    else setBoxedSmallInt(small);
  }
  // Becomes `number` (empty too).
  void setInt(const BigInt& number);
  // True for the empty int.
  bool isEmptyInt() const;
  // The value as a BigInt, made from `word` first when it is kept there.
  BigInt& asInt() const {
    if (value == &kSmallIntPayload) const_cast<Object*>(this)->boxInt();
    return *static_cast<BigInt*>(value);
  }
  // Small payloads.
  bool boolValue() const { return word != 0; }
  void setBool(bool b) { word = b ? 1 : 0; }
  unsigned char charValue() const { return static_cast<unsigned char>(word); }
  void setChar(unsigned char c) { word = c; }

 private:
  void destroyLinkedOrHolding();
  void releasePayload();
  bool readBoxedSmallInt(int64_t& out) const;
  void setBoxedSmallInt(int64_t small);
  // Moves a value kept in `word` into a BigInt of its own.
  void boxInt();
  // The side record, made when first needed.
  ObjectLinks& links();
  // Gives the side record back once nothing in it is set.
  void dropUnusedLinks();
  // The head of this Object's chain for indirections of the base code `kind`.
  Object** chainHead(TypeCode kind);

  // The side record; null while no link is set.
  ObjectLinks* links_ = nullptr;
};


// The type name for messages. With `actual` false an Object held by an `any` reports "any".
std::string typeName(const Object& object, bool actual = false);
// typeName(object, true) without building a string: checks of type equality run on every
// binding of a loop variable or parameter. The view lives as long as the type does.
std::string_view actualTypeName(const Object& object);
// actualTypeName(a) == actualTypeName(b), told by type codes where they suffice.
bool sameActualType(const Object& a, const Object& b);
// The name of a base type code ("int", "list", ...); "?" for unknown codes and `k`.
const char* typeNameOfCode(TypeCode code);
// "int" -> 'i', ...; every other name -> 'k' (a user-defined type).
TypeCode typeCodeOf(const std::string& name);

// Structural equality; `strict` is the entry point of operators and containers.
bool equals(Object& a, Object& b, bool strict = true);
// Both, followed through one indirection level, are the same Object.
bool sameTarget(const Object& a, const Object& b);
bool referenceEquals(Object& a, Object& b);
// Some typed (declared, not held by an any) indirection not busy in a method points here.
bool hasTypedIndirection(const Object& object);

// The one entry point for putting `source` into `target`; returns why it was refused, or
// none when it was done.
Failure transfer(Object& target, Object& source, int kind);

// transfer(target, source, Transfer::Move) for a target the caller knows to lie in no value:
// a new Object, a variable of a running scope, a temporary. The search for the target inside
// the moved value is skipped, so moving a deep value costs the same as moving a small one.
Failure moveIntoFree(Object& target, Object& source);

// Value copy of `source` into `target` (types already checked), recursive for compounds.
void copyValue(Object& target, const Object& source);

}  // namespace kavor
