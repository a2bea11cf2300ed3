// The assignment family on Objects: value copy, reference, alias, call-alias and movement,
// all behind the one entry point `transfer`. Every check is made before the target changes.
#include "core/containers.h"
#include "core/messages.h"
#include "core/object.h"
#include "core/payloads.h"
#include "core/type_table.h"

namespace kavor {

namespace {


// The Object a name stands for: aliases and call-aliases followed, references kept.
Object& throughAliases(Object& object) { return object.resolve(false); }

bool isAnyTarget(const Object& object) { return object.isAny(); }

Failure assignValue(Object& targetIn, Object& sourceIn) {
  Object& target = throughAliases(targetIn);
  // A declared reference or alias takes the value into its target instead.
  Object* into = &target;
  if (isReferenceCode(target.typeCode) && !isHeldCode(target.typeCode)) into = &target.resolve(true);
  Object& source = sourceIn.resolve(true);
  if (into != &targetIn && !targetIn.isAny() && isAnyTarget(*into)) {
    // Through a typed indirection (a loop variable bound to a list element, a typed
    // parameter) the any keeps the indirection's type.
    if (into->base() != source.base() || !sameActualType(*into, source))
      return fillKey("zuwnurfuegledattyp", {typeName(targetIn, false), typeName(source, false)});
  } else if (isAnyTarget(*into) && hasTypedIndirection(*into)) {
    return fillKey("zuwobjtypvoinicerl", {typeName(source, true)});
  }
  if (!isAnyTarget(*into) && into->base() != source.base())
    return fillKey("zuwnurfuegledattyp", {typeName(*into, false), typeName(source, false)});
  if (!isAnyTarget(*into) && into->base() == 'k' && source.isDefined() &&
      into->asUser().type != source.asUser().type)
    return fillKey("zuwnurfuegledattyp", {typeName(*into, false), typeName(source, false)});
  if (into == &source) return Failure::none();
  copyValue(*into, source);
  return Failure::none();
}

const char* kindKey(char kind, const char* reference, const char* alias, const char* callAlias) {
  return kind == 'p' ? reference : kind == 'q' ? alias : callAlias;
}

Failure bindIndirection(Object& targetIn, Object& sourceIn, char kind) {
  Object& target = targetIn;
  if (kind == 'p') {
    if (target.referenceChain() != nullptr) return message("verketrefnicerl");
  } else if (kind == 'q') {
    if (target.aliasChain() != nullptr) return message("verketalinicerl");
    if (target.referenceChain() != nullptr) return message("refaufalinicerl");
    if (!target.scopeVariable) return message("alizuwnurfuescovarerl");
  } else {
    if (target.referenceChain() != nullptr) return message("refaufsynnicerl");
    if (target.aliasChain() != nullptr) return message("aliaufsynnicerl");
    if (target.callAliasChain() != nullptr) return message("verketsynnicerl");
    if (!target.scopeVariable) return message("synzuwnurfuescovarerl");
  }
  // A reference to a reference points at what the source points to.
  Object* source = &throughAliases(sourceIn);
  if (source == &target)
    return message(kindKey(kind, "refaufsicnicerl", "aliaufsicnicerl", "synaufsicnicerl"));
  for (Object* step = source; step != nullptr && step->isIndirection(); step = step->target()) {
    if (step->target() == &target)
      return message(kindKey(kind, "refzuwmuszykfresei", "alizuwmuszykfresei", "synzuwmuszykfresei"));
  }
  if (target.isAny() && hasTypedIndirection(target))
    return fillKey(kindKey(kind, "refaufobjtypvoinicerl", "aliaufobjtypvoinicerl", "synaufobjtypvoinicerl"),
                   {typeName(*source, true)});
  if (!target.isAny() && !sameActualType(target, *source))
    return fillKey(kindKey(kind, "refzuwnurfuegledatttyp", "alizuwnurfuegledatttyp", "synzuwnurfuegledatttyp"),
                   {typeName(target, false), typeName(*source, false)});
  if (!target.isIndirection() && target.value != nullptr && source != &target && liesWithin(target, source))
    return message(kindKey(kind, "refzuwaufloedatnicerl", "alizuwaufloedatnicerl", "synzuwaufloedatnicerl"));
  // Bind to the source's final plain Object when the source is itself an alias chain.
  Object* finalSource = isReferenceCode(source->typeCode) ? &source->resolve(true) : source;
  if (finalSource == &target)
    return message(kindKey(kind, "refaufsicnicerl", "aliaufsicnicerl", "synaufsicnicerl"));
  target.linkIndirection(kind, *finalSource);
  return Failure::none();
}

// With `targetMayLieWithin` false the caller knows the target lies in no value (a new
// Object, a frame's variable, a temporary), so the search for it inside the moved value,
// which walks all of that value, is left out.
Failure moveValue(Object& targetIn, Object& sourceIn, bool targetMayLieWithin) {
  Object& target = throughAliases(targetIn);
  Object& source = sourceIn;
  Object& from = throughAliases(source);
  if (&target == &from) return message("veraufsicnicerl");
  if (!target.isAny() && target.base() != from.resolve(true).base())
    return fillKey("vernurfuegledattyp", {typeName(target, false), typeName(from, false)});
  if (isReferenceCode(from.typeCode)) return message("verrefnicerl");
  if (isAliasCode(source.typeCode)) return message("veralinicerl");
  if (target.isAny() && hasTypedIndirection(target))
    return fillKey("verobjtypvoinicerl", {typeName(from, true)});
  if (targetMayLieWithin && liesWithin(from, &target)) return message("vermuszykfresei");
  // The source may lie within the target's old value (`l ~ l[0]`): everything is taken from
  // it before that value is released, which may destroy it.
  if (!from.isDefined() || from.typeCode == 'v') {
    TypeCode emptyCode = from.typeCode == 'v' ? 'v' : 'V';
    target.clear(false);
    if (target.isAny()) target.typeCode = emptyCode;
    return Failure::none();
  }
  // Hand the payload over: the source keeps its type and becomes undefined.
  bool targetIsAny = target.isAny();
  TypeCode base = from.base();
  UserValue* record = nullptr;
  void* payload = nullptr;
  uint64_t word = 0;
  if (base == 'k') {
    UserValue& fromUser = from.asUser();
    record = new UserValue();
    record->type = fromUser.type;
    record->groups = std::move(fromUser.groups);
  } else {
    payload = from.value;
    word = from.word;
    from.forgetPayload();
  }
  // An any that a typed indirection points at (a typed loop variable bound to a list
  // element) keeps its type while it holds nothing, so the indirection still fits it.
  // Otherwise the any is left holding nothing; clearing it also frees the record of a user
  // value, whose groups are gone already.
  if (from.isAny() && !hasTypedIndirection(from)) from.clear(false);
  target.clear(false);
  if (base == 'k') {
    if (target.value != nullptr && target.base() == 'k') delete static_cast<UserValue*>(target.value);
    target.value = record;
  } else {
    target.value = payload;
    target.word = word;
  }
  target.typeCode = targetIsAny ? heldCode(base) : base;
  return Failure::none();
}

}  // namespace

void copyValue(Object& target, const Object& sourceIn) {
  const Object& source = const_cast<Object&>(sourceIn).resolve(true);
  if (&target == &source) return;
  if (target.isAny() && target.value != nullptr && !target.isIndirection() && liesWithin(target, &source)) {
    // The any is about to give up the value that holds the source (`a = a.get(0)`): copy
    // the source out first.
    Object copy;
    copy.constructLike(source);
    copyValue(target, copy);
    return;
  }
  if (target.isAny()) {
    target.clear(false);
    if (source.typeCode == 'v' || source.typeCode == 'V') {
      target.typeCode = source.typeCode;
      return;
    }
    if (!source.isDefined()) {
      target.typeCode = 'V';
      return;
    }
    // Build an empty payload of the source's type, then copy into it below.
    target.createPayload(&source);
    if (source.base() == 'k') target.asUser().groups.reset();
  }
  if (!source.isDefined()) {
    target.clear(false);
    return;
  }
  if (target.value == nullptr && target.base() != 'k') target.createPayload();
  typeOps(source.typeCode).copy(target, source);
}

Failure transfer(Object& target, Object& source, int kind) {
  switch (kind) {
    case -1:
    case Transfer::Copy:
      return assignValue(target, source);
    case Transfer::Reference:
      return bindIndirection(target, source, 'p');
    case Transfer::Move:
      return moveValue(target, source, true);
    case Transfer::Alias:
      return bindIndirection(target, source, 'q');
    case Transfer::ReferenceOrCopy:
      if (isReferenceCode(source.typeCode)) return bindIndirection(target, source, 'p');
      return assignValue(target, source);
    case Transfer::SameOrMove:
    case Transfer::SameOrCopy: {
      TypeCode base = baseCode(source.typeCode);
      if (base == 'p' || base == 'q' || base == 'j') {
        // The new Object mirrors the source's indirection without the binding checks,
        // which were made when the source itself was bound.
        if (source.value == nullptr) return Failure::none();
        if (target.isIndirection() || target.base() != 'k') target.clear(false);
        bool wasAny = target.isAny();
        target.linkIndirection(base, *source.target());
        if (!wasAny) target.typeCode = base;
        return Failure::none();
      }
      return kind == Transfer::SameOrMove ? moveValue(target, source, true) : assignValue(target, source);
    }
    case Transfer::CallAlias:
      return bindIndirection(target, source, 'j');
    default:
      return Failure::none();
  }
}

Failure moveIntoFree(Object& target, Object& source) {
  // The common case of a temporary (a function's values going into a list): a value of its
  // own, held in an any or typed, nothing pointing at either side, goes into an empty any.
  // All the checks of a movement pass, so the payload changes hands alone; a typed source
  // keeps its type and is left undefined, an any is left holding nothing.
  TypeCode base = source.base();
  if (target.typeCode == 'v' && target.value == nullptr && !target.hasLinks() && source.isDefined() &&
      !source.hasLinks() && base != 'k' && !isIndirectionCode(source.typeCode) &&
      (source.typeCode == base || isHeldCode(source.typeCode))) {
    target.value = source.value;
    target.word = source.word;
    target.typeCode = heldCode(base);
    source.value = nullptr;
    source.word = 0;
    if (source.typeCode != base) source.typeCode = 'V';
    return Failure::none();
  }
  return moveValue(target, source, false);
}

}  // namespace kavor
