// Life cycle of Objects: construction, payloads, clearing, emptying, destruction and the
// chains of references, aliases and call-aliases.
#include "core/object.h"

#include "core/containers.h"
#include "core/pool.h"
#include "core/payloads.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "streams/file_data.h"
#include "streams/str_data.h"
#include "types/array.h"
#include "types/date_time.h"
#include "types/graph.h"

namespace kavor {

char kInlinePayload = 0;

using ObjectPool = FixedPool<sizeof(Object)>;

namespace {

// Payloads made and dropped with every temporary (ints, strings, code values) come from free
// lists too.
template <typename Payload>
Payload* newPooled() {
  return new (FixedPool<sizeof(Payload)>::allocate()) Payload();
}

template <typename Payload>
void deletePooled(void* payload) {
  static_cast<Payload*>(payload)->~Payload();
  FixedPool<sizeof(Payload)>::release(payload);
}

}  // namespace

void* Object::operator new(size_t size) {
  if (size != sizeof(Object)) return ::operator new(size);
  return ObjectPool::allocate();
}

void Object::operator delete(void* pointer) noexcept { ObjectPool::release(pointer); }

namespace {

constexpr uint32_t kEmptyBool = 65535;

// The head of `target`'s chain for an indirection of base code `kind`.
Object** chainHead(Object& target, TypeCode kind) {
  switch (baseCode(kind)) {
    case 'p': return &target.referenceChain;
    case 'q': return &target.aliasChain;
    default: return &target.callAliasChain;
  }
}

// Puts the prototype's value into a user value whose record knows its type.
void assignPrototype(Object& object) {
  UserValue& user = object.asUser();
  if (user.type == nullptr || user.type->prototype == nullptr) return;
  copyValue(object, *user.type->prototype);
}

}  // namespace

bool isValidCode(TypeCode code) {
  switch (baseCode(code)) {
    case '0': case '2': case '4':
    case 'a': case 'b': case 'c': case 'd': case 'e': case 'f': case 'g': case 'h': case 'i':
    case 'j': case 'k': case 'l': case 'm': case 'n': case 'o': case 'p': case 'q': case 'r':
    case 's': case 't': case 'u': case 'v': case 'x': case 'y': case 'z':
      return true;
    default:
      return false;
  }
}

void Object::construct(TypeCode code) {
  value = nullptr;
  word = 0;
  typeCode = code;
  outputMark = methodBusy = scopeVariable = 0;
  serial = -1;
  transferKind = Access::Variable;
  referenceChain = aliasChain = callAliasChain = chainPrev = chainNext = comparePartner = nullptr;
  if (baseCode(code) == 'k') {
    value = new UserValue();
    return;  // without a type record there is no empty value yet
  }
  createPayload();
}

void Object::constructLike(const Object& source) {
  const Object* from = &source;
  while (from->isIndirection() && !isHeldCode(from->typeCode)) from = from->target();
  construct(from->typeCode);
  if (baseCode(from->typeCode) == 'k') asUser().type = from->asUser().type;
  copyValue(*this, *from);
}

void Object::constructUser(UserValue* record) {
  construct('v');
  typeCode = 'k';
  value = record;
}

std::string Object::constructByTransfer(Object& source, int kind) {
  construct('v');
  return transfer(*this, source, kind);
}

void Object::createPayload(const Object* templateObject) {
  if (templateObject != nullptr) {
    TypeCode from = templateObject->typeCode;
    typeCode = (from == 'v' || from == 'V') ? from : heldCode(from);
    if (baseCode(from) == 'k') {
      auto* record = new UserValue();
      record->type = templateObject->asUser().type;
      value = record;
      assignPrototype(*this);
      return;
    }
  }
  TypeCode base = baseCode(typeCode);
  if (typeCode == 'v' || typeCode == 'V' || isIndirectionCode(typeCode)) return;
  switch (base) {
    case '0': value = new DateValue(); break;
    case '2': value = new TimezoneValue(); break;
    case '4': value = new DateTimeValue(); break;
    case 'a': value = new ArrayValue(); break;
    case 'b': value = &kInlinePayload; word = kEmptyBool; break;
    case 'c': case 'o': case 'n': value = &kInlinePayload; word = 0; break;
    case 'd': value = new DirValue(); break;
    case 'e': value = new ErrorValue(); break;
    case 'f': value = new FILE_DATA(); break;
    case 'g': value = new GraphValue(); break;
    case 'h': case 'm': value = new HashTable(); break;
    case 'i': value = newPooled<BigInt>(); break;
    case 'k': if (value != nullptr) assignPrototype(*this); break;
    case 'l': case 'y': value = new ListRecord(); break;
    case 'r': value = new BigReal(); break;
    case 's': value = newPooled<STR_DATA>(); break;
    case 't': value = new TimeValue(); break;
    case 'u': value = new Any2Value(); break;
    case 'x': value = newPooled<CodeValue>(); break;
    case 'z': value = new Array2Value(); break;
    default: break;
  }
}

namespace {

// Objects taken out of containers that are being destroyed, waiting for their own
// destruction. Destroying a container hands its elements to the outermost destruction
// running, which destroys them one by one: however deeply values nest, destruction needs
// no deeper native recursion than one level.
std::vector<std::unique_ptr<Object>>* pendingDestruction = nullptr;

// Destroys Objects taken out of a value being released.
void destroyTaken(std::vector<std::unique_ptr<Object>>& taken) {
  if (pendingDestruction != nullptr) {
    for (auto& object : taken) pendingDestruction->push_back(std::move(object));
    return;
  }
  std::vector<std::unique_ptr<Object>> pending = std::move(taken);
  pendingDestruction = &pending;
  while (!pending.empty()) {
    std::unique_ptr<Object> next = std::move(pending.back());
    pending.pop_back();
    next.reset();
  }
  pendingDestruction = nullptr;
}

template <typename Container>
void destroyContainer(Container* container) {
  std::vector<std::unique_ptr<Object>> taken;
  container->handOverObjects(taken);
  delete container;
  destroyTaken(taken);
}

void destroyMembers(UserValue& user) {
  if (!user.groups) return;
  std::vector<std::unique_ptr<Object>> taken;
  for (auto& group : *user.groups)
    for (auto& member : group) taken.push_back(std::move(member));
  user.groups.reset();
  destroyTaken(taken);
}

}  // namespace

// Frees the payload of a plain (possibly held) value. For `k` only the members go; the
// user value record stays.
void Object::releasePayload() {
  if (value == nullptr) return;
  TypeCode base = baseCode(typeCode);
  if (base == 'l' || base == 'y' || base == 's' || base == 'h' || base == 'm') IterationWatch::payloadReleased(value);
  switch (baseCode(typeCode)) {
    case '0': delete static_cast<DateValue*>(value); break;
    case '2': delete static_cast<TimezoneValue*>(value); break;
    case '4': delete static_cast<DateTimeValue*>(value); break;
    case 'a': delete static_cast<ArrayValue*>(value); break;
    case 'd': delete static_cast<DirValue*>(value); break;
    case 'e': delete static_cast<ErrorValue*>(value); break;
    case 'f': delete static_cast<FILE_DATA*>(value); break;
    case 'g': delete static_cast<GraphValue*>(value); break;
    case 'h': case 'm': destroyContainer(static_cast<HashTable*>(value)); break;
    case 'i': deletePooled<BigInt>(value); break;
    case 'k': destroyMembers(asUser()); return;
    case 'l': case 'y': destroyContainer(static_cast<ListRecord*>(value)); break;
    case 'r': delete static_cast<BigReal*>(value); break;
    case 's': deletePooled<STR_DATA>(value); break;
    case 't': delete static_cast<TimeValue*>(value); break;
    case 'u': delete static_cast<Any2Value*>(value); break;
    case 'x': deletePooled<CodeValue>(value); break;
    case 'z': delete static_cast<Array2Value*>(value); break;
    default: break;  // inline payloads, any, indirections: nothing owned
  }
  value = nullptr;
  word = 0;
}

void Object::clear(bool detach) {
  if (detach) detachIndirections();
  if (typeCode == 'V') return;
  if (typeCode == 'v') {
    typeCode = 'V';
    return;
  }
  if (isHeldCode(typeCode)) {
    if (isIndirectionCode(typeCode)) {
      unlink();
      value = nullptr;
    } else if (baseCode(typeCode) == 'k') {
      delete static_cast<UserValue*>(value);
      value = nullptr;
    } else {
      releasePayload();
    }
    typeCode = 'V';
    return;
  }
  if (isIndirectionCode(typeCode)) {
    convertIndirection(false);
    return;
  }
  releasePayload();
}

void Object::destroy() {
  clear(true);
  if (baseCode(typeCode) == 'k' && value != nullptr) {
    delete static_cast<UserValue*>(value);
    value = nullptr;
  }
}

void Object::makeEmpty() {
  if (typeCode == 'v' || typeCode == 'V') {
    typeCode = 'v';
    return;
  }
  if (isHeldCode(typeCode)) {
    clear(false);
    typeCode = 'v';
    return;
  }
  if (isIndirectionCode(typeCode)) {
    convertIndirection(true);
    return;
  }
  TypeCode base = baseCode(typeCode);
  if (value == nullptr && base != 'k') {
    createPayload();
    return;
  }
  switch (base) {
    case 'b': word = kEmptyBool; break;
    case 'c': case 'o': case 'n': word = 0; break;
    case 'k': destroyMembers(asUser()); assignPrototype(*this); break;
    case 'u':
      asAny2().first.makeEmpty();
      asAny2().second.makeEmpty();
      break;
    default:
      // A fresh payload is the empty value of every other type.
      releasePayload();
      createPayload();
      break;
  }
}

void Object::detachIndirections() {
  if (referenceChain == nullptr && aliasChain == nullptr && callAliasChain == nullptr && chainPrev == nullptr)
    return;
  for (Object** head : {&referenceChain, &aliasChain, &callAliasChain}) {
    Object* member = *head;
    *head = nullptr;
    while (member != nullptr) {
      Object* next = member->chainNext;
      member->chainPrev = member->chainNext = nullptr;
      member->makeEmpty();
      member = next;
    }
  }
  unlink();
}

void Object::linkIndirection(char kind, Object& targetObject) {
  bool wasAny = isAny();
  if (isIndirection()) {
    unlink();
  } else if (baseCode(typeCode) == 'k') {
    delete static_cast<UserValue*>(value);
  } else {
    releasePayload();
  }
  value = &targetObject;
  Object** head = chainHead(targetObject, kind);
  chainNext = *head;
  if (chainNext != nullptr) chainNext->chainPrev = this;
  chainPrev = &targetObject;
  *head = this;
  typeCode = wasAny ? heldCode(kind) : kind;
}

void Object::unlink() {
  if (chainPrev == nullptr) return;
  Object** head = chainHead(*target(), typeCode);
  if (*head == this) {
    *head = chainNext;
  } else {
    chainPrev->chainNext = chainNext;
  }
  if (chainNext != nullptr) chainNext->chainPrev = chainPrev;
  chainPrev = chainNext = nullptr;
}

void Object::convertIndirection(bool withPayload) {
  Object* finalTarget = this;
  while (isIndirectionCode(finalTarget->typeCode) && finalTarget->value != nullptr)
    finalTarget = finalTarget->target();
  TypeCode newCode = baseCode(finalTarget->typeCode);
  if (isIndirectionCode(newCode)) newCode = 'v';  // a broken chain: fall back to an empty any
  unlink();
  value = nullptr;
  typeCode = newCode;
  if (newCode == 'k') {
    auto* record = new UserValue();
    if (finalTarget != this && finalTarget->value != nullptr) record->type = finalTarget->asUser().type;
    value = record;
  }
  if (withPayload) createPayload();
  else if (newCode == 'v') typeCode = 'V';
}

void Object::forgetPayload() {
  if (baseCode(typeCode) == 'k') {
    if (value != nullptr) asUser().groups.release();
    return;
  }
  value = nullptr;
}

Object& Object::resolve(bool throughReferences) {
  Object* current = this;
  while (current->value != nullptr) {
    TypeCode base = baseCode(current->typeCode);
    if (base == 'q' || base == 'j' || (throughReferences && base == 'p')) {
      current = current->target();
      continue;
    }
    break;
  }
  return *current;
}

bool Object::isDefined() const {
  if (typeCode == 'V') return false;
  TypeCode base = baseCode(typeCode);
  switch (base) {
    case 'j': case 'p': case 'q': case 'v': return true;
    case 'k': return value != nullptr && static_cast<UserValue*>(value)->groups != nullptr;
    default: return isValidCode(base) && value != nullptr;
  }
}

bool Object::isEmpty() const {
  switch (baseCode(typeCode)) {
    case '0': return asDate().isEmpty();
    case '2': return asTimezone().isEmpty();
    case '4': return asDateTime().isEmpty();
    case 't': return asTime().isEmpty();
    case 'a': return asArray().isEmpty();
    case 'g': return asGraph().isEmpty();
    case 'z': return asArray2().isEmpty();
    case 'b': return word == kEmptyBool;
    case 'c': return (word & 0xFF) == 0;
    case 'o': return (word & 0xFFFF) == 0;
    case 'd': return asDir().path.empty();
    case 'e': return asError().isEmpty();
    case 'f': return asFile().name.empty();
    case 'h': case 'm': return asHash().count == 0;
    case 'l': case 'y': return asList().empty();
    case 'x': return asCode().tree == nullptr;
    case 'i': return asInt().isEmpty();
    case 'r': return asReal().isEmpty();
    case 's': return asStr().text.empty();
    case 'j': case 'p': case 'q': return false;
    case 'u': {
      Any2Value& pair = asAny2();
      return (!pair.first.isDefined() || pair.first.isEmpty()) &&
             (!pair.second.isDefined() || pair.second.isEmpty());
    }
    case 'k': {
      const UserValue& user = asUser();
      if (user.type == nullptr || user.type->prototype == nullptr) return true;
      return equals(const_cast<Object&>(*this), *user.type->prototype, true);
    }
    default: return true;
  }
}

}  // namespace kavor
