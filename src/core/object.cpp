// Life cycle of Objects: construction, payloads, clearing, emptying, destruction and the
// chains of references, aliases and call-aliases.
#include "core/object.h"

#include "core/pool.h"
#include "core/payloads.h"
#include "core/type_table.h"
#include "numbers/bigint.h"

namespace kavor {

char kInlinePayload = 0;
char kSmallIntPayload = 0;

// Every list element and variable is an Object: its size is the memory cost of a value.
static_assert(sizeof(Object) <= 32, "Object grew: keep rarely used fields in ObjectLinks");

using ObjectPool = FixedPool<sizeof(Object)>;

bool Object::readBoxedSmallInt(int64_t& out) const {
  // An undefined int has no value to read.
  return value != nullptr && static_cast<const BigInt*>(value)->toSmall(out);
}

void Object::setBoxedSmallInt(int64_t small) { static_cast<BigInt*>(value)->setSmall(small); }

void Object::boxInt() {
  auto small = static_cast<int64_t>(word);
  auto* number = newPooled<BigInt>();
  if (small != kEmptySmallInt) number->setSmall(small);
  value = number;
  word = 0;
}

void Object::setInt(const BigInt& number) {
  int64_t small;
  if (value == &kSmallIntPayload) {
    if (number.isEmpty()) {
      word = static_cast<uint64_t>(kEmptySmallInt);
      return;
    }
    if (number.toSmall(small)) {
      word = static_cast<uint64_t>(small);
      return;
    }
  }
  asInt() = number;
}

bool Object::isEmptyInt() const {
  if (value == &kSmallIntPayload) return static_cast<int64_t>(word) == kEmptySmallInt;
  return static_cast<const BigInt*>(value)->isEmpty();
}

void* Object::operator new(size_t size) {
  if (size != sizeof(Object)) return ::operator new(size);
  return ObjectPool::allocate();
}

void Object::operator delete(void* pointer) noexcept { ObjectPool::release(pointer); }

using LinksPool = FixedPool<sizeof(ObjectLinks)>;

void Object::destroyLinkedOrHolding() {
  destroy();
  if (links_ != nullptr) {
    // Only a numbering can remain: destroy() detached and unlinked every chain.
    links_->~ObjectLinks();
    LinksPool::release(links_);
  }
}

ObjectLinks& Object::links() {
  if (links_ == nullptr) links_ = new (LinksPool::allocate()) ObjectLinks();
  return *links_;
}

void Object::dropUnusedLinks() {
  if (links_ == nullptr || !links_->unused()) return;
  links_->~ObjectLinks();
  LinksPool::release(links_);
  links_ = nullptr;
}

void Object::setSerial(int32_t number) {
  links().serial = number;
  dropUnusedLinks();
}

Object** Object::chainHead(TypeCode kind) {
  ObjectLinks& record = links();
  switch (baseCode(kind)) {
    case 'p': return &record.referenceChain;
    case 'q': return &record.aliasChain;
    default: return &record.callAliasChain;
  }
}

void Object::construct(TypeCode code) {
  value = nullptr;
  word = 0;
  typeCode = code;
  outputMark = methodBusy = scopeVariable = 0;
  transferKind = Access::Variable;
  if (links_ != nullptr) {
    // A fresh value in the same place starts without links, as a new Object does.
    links_->~ObjectLinks();
    LinksPool::release(links_);
    links_ = nullptr;
  }
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

Failure Object::constructByTransfer(Object& source, int kind) {
  construct('v');
  // A new Object lies in no value, so a moved value cannot come to hold it.
  if (kind == Transfer::Move) return moveIntoFree(*this, source);
  return transfer(*this, source, kind);
}

void Object::createPayload(const Object* templateObject) {
  if (templateObject != nullptr) {
    TypeCode from = templateObject->typeCode;
    typeCode = (from == 'v' || from == 'V') ? from : heldCode(from);
    if (baseCode(from) == 'k') {
      // The record carries the template's type; the row fills in its prototype's members.
      auto* record = new UserValue();
      record->type = templateObject->asUser().type;
      value = record;
    }
  }
  // An any and an indirection own no payload.
  if (typeCode == 'v' || typeCode == 'V' || isIndirectionCode(typeCode)) return;
  typeOps(typeCode).create(*this);
}

namespace {

// The Objects destroyTakenObjects has taken over and not destroyed yet, while it runs.
std::vector<std::unique_ptr<Object>>* pendingDestruction = nullptr;

}  // namespace

void destroyTakenObjects(std::vector<std::unique_ptr<Object>>& taken) {
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

// Frees the payload of a plain (possibly held) value. For `k` only the members go; the
// user value record stays.
void Object::releasePayload() {
  if (value == nullptr) return;
  typeOps(typeCode).release(*this);
  if (baseCode(typeCode) == 'k') return;
  value = nullptr;
  word = 0;
}

void Object::clear(bool detach) {
  if (detach) detachIndirections();
  if (value == &kSmallIntPayload || value == &kInlinePayload) {
    // A value kept in the word: nothing to release.
    value = nullptr;
    word = 0;
    if (isHeldCode(typeCode)) typeCode = 'V';
    return;
  }
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
  if (value == nullptr && baseCode(typeCode) != 'k') {
    createPayload();
    return;
  }
  typeOps(typeCode).makeEmpty(*this);
}

void Object::detachIndirections() {
  if (links_ == nullptr) return;
  for (Object** head : {&links_->referenceChain, &links_->aliasChain, &links_->callAliasChain}) {
    Object* member = *head;
    *head = nullptr;
    while (member != nullptr) {
      Object* next = member->chainNext();
      member->links_->chainPrev = member->links_->chainNext = nullptr;
      member->dropUnusedLinks();
      member->makeEmpty();
      member = next;
    }
  }
  unlink();
  dropUnusedLinks();
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
  Object** head = targetObject.chainHead(kind);
  ObjectLinks& own = links();
  own.chainNext = *head;
  if (own.chainNext != nullptr) own.chainNext->links_->chainPrev = this;
  own.chainPrev = &targetObject;
  *head = this;
  typeCode = wasAny ? heldCode(kind) : kind;
}

void Object::unlink() {
  if (links_ == nullptr || links_->chainPrev == nullptr) return;
  Object& targetObject = *target();
  Object** head = targetObject.chainHead(typeCode);
  Object* next = links_->chainNext;
  if (*head == this) {
    *head = next;
  } else {
    links_->chainPrev->links_->chainNext = next;
  }
  if (next != nullptr) next->links_->chainPrev = links_->chainPrev;
  links_->chainPrev = links_->chainNext = nullptr;
  dropUnusedLinks();
  targetObject.dropUnusedLinks();
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

Object& Object::resolveIndirection(bool throughReferences) {
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
    default: return value != nullptr && hasTypeOps(base);
  }
}

bool Object::isEmpty() const {
  // An indirection stands for a value, so it is never the empty value itself.
  if (isIndirection()) return false;
  return typeOps(typeCode).isEmpty(*this);
}

}  // namespace kavor
