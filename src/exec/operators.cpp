// Arithmetic on basic values: the compound operations "+=" ... "^=", the binary operators
// built on them (a copy of the left operand, then the compound operation), unary plus and
// minus, and the repetition "**".
#include <algorithm>
#include <cstdint>

#include "core/containers.h"
#include "core/messages.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/operators_common.h"
#include "numbers/bigint.h"
#include "numbers/number_theory.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// A list holds at most this many elements (its count is a signed 32-bit number), so no
// repetition may yield more values.
constexpr std::int64_t kMaxRepetitions = 2147483647;

// Whether the target's type has the operator at all. A type without it reports "not
// defined for type" whatever the source is; reals get their arithmetic with the real
// numbers, user-defined types with their operator functions.
bool hasOperator(TypeCode target, char op) {
  switch (target) {
    case 'i': return op == '+' || op == '-' || op == '*' || op == '/' || op == '%' || op == '^';
    case 's': case 'l': case 'y': return op == '+';
    case 'm': return op == '+' || op == '-' || op == '*';
    default: return false;
  }
}

bool acceptsSource(TypeCode target, TypeCode source) {
  switch (target) {
    case 'i': return source == 'i';
    case 's': return source == 's' || source == 'c';
    default: return source == target;  // list, args, set: only their own type
  }
}

// The operand checks of every compound operation, on operands with indirections followed:
// left defined, right defined, the operator exists for the target's type, the source's
// type fits, then no empty int or char where a value is needed.
Failure checkOperands(char op, const std::string& name, const Object& target, const Object& source) {
  if (!target.isDefined()) return undefinedOperand(name, true);
  if (!source.isDefined()) return undefinedOperand(name, false);
  TypeCode base = target.base();
  if (!hasOperator(base, op)) return notDefinedFor(name, target);
  if (!acceptsSource(base, source.base())) return incompatibleTypes(name);
  // "+=" on ints is the accumulator: an empty target counts as 0, an empty source adds
  // nothing. Every other operation on ints needs two values.
  if (base == 'i' && op == '+') return Failure::none();
  if (emptyIsNoValue(base) && target.isEmpty()) return emptyOperand(name, true);
  if (emptyIsNoValue(source.base()) && source.isEmpty()) return emptyOperand(name, false);
  return Failure::none();
}

std::string duringIteration() { return std::string(message("zuw")) + " " + message("unzwaeite"); }

Failure store(BigInt& target, Outcome<BigInt> outcome) {
  if (!outcome.ok()) return outcome.failure;
  target = std::move(outcome.value);
  return Failure::none();
}

Failure applyInt(char op, BigInt& a, const BigInt& b) {
  switch (op) {
    case '+':
      if (!b.isEmpty()) a += b;
      return Failure::none();
    case '-': a -= b; return Failure::none();
    case '*': a *= b; return Failure::none();
    case '/': return store(a, divide(a, b));
    case '%': return store(a, remainder(a, b));
    default: return store(a, power(a, b));
  }
}

Failure appendToStr(STR_DATA& target, const Object& source) {
  if (target.iterationCount > 0) return duringIteration();
  if (source.base() == 'c') target.text += static_cast<char>(source.charValue());
  else target.text += source.asStr().text;  // appending a string to itself is fine
  target.restartReading();
  return Failure::none();
}

Failure appendToList(ListRecord& target, const ListRecord& source) {
  if (target.iterationCount > 0) return duringIteration();
  // The copies are made first: the source may be the target itself, and a copy that fails
  // must leave the target as it was.
  ListRecord copies;
  copies.slots.reserve(source.size());
  for (size_t i = 0; i < source.size(); ++i) {
    if (Failure failure = copies.append(source.at(i), Transfer::ReferenceOrCopy)) return failure;
  }
  target.appendAll(copies);
  return Failure::none();
}

// Removes every key of `set` for which `drop` holds, bucket by bucket (entries of one
// bucket move when one of them is erased, so the index of the table cannot be used).
template <class Drop>
void removeKeys(HashTable& set, Drop drop) {
  if (!set.buckets) return;
  for (auto& bucket : *set.buckets) {
    size_t before = bucket.size();
    std::erase_if(bucket, [&](HashEntry& entry) { return drop(*entry.key); });
    set.count -= static_cast<int32_t>(before - bucket.size());
  }
  set.indexValid = false;
  set.index.clear();
}

// Union ("+="), difference ("-=") and intersection ("*=") of sets.
Failure combineSets(char op, HashTable& target, HashTable& source) {
  if (target.iterationCount > 0) return duringIteration();
  if (&target == &source) {
    if (op == '-') target.clear();
    return Failure::none();
  }
  switch (op) {
    case '+':
      for (HashEntry* entry : source.entries()) {
        if (target.contains(*entry->key)) continue;
        if (Failure failure = target.insert(*entry->key, nullptr, Transfer::ReferenceOrCopy, Transfer::Copy))
          return failure;
      }
      return Failure::none();
    case '-': removeKeys(target, [&](Object& key) { return source.contains(key); }); return Failure::none();
    default: removeKeys(target, [&](Object& key) { return !source.contains(key); }); return Failure::none();
  }
}

// `target OP= source` on operands (indirections followed) that passed checkOperands.
Failure applyChecked(char op, Object& target, Object& source) {
  switch (target.base()) {
    case 'i': return applyInt(op, target.asInt(), source.asInt());
    case 's': return appendToStr(target.asStr(), source);
    case 'l': case 'y': return appendToList(target.asList(), source.asList());
    case 'm': return combineSets(op, target.asHash(), source.asHash());
    default: return notDefinedFor(std::string{op, '='}, target);  // checkOperands admits none
  }
}

// `x ** n`: n values, each a copy of x (a reference stays a reference).
void applyRepetition(Executor& exec, TreeNode& node, Result left, Result right, ResultList& results) {
  BuiltinCall call{exec, node, NameKind::Operator, "**"};
  ResultList count;
  count.push(right.object, right.access, false);
  call.require(checkType(count, 0, 'i', true));
  const BigInt& times = right.object->resolve(true).asInt();
  if (!times.isPositive()) return;
  if (!times.fitsIn(1, kMaxRepetitions)) call.fail(fillKey("unzarg", {times.toText()}));
  std::int64_t n = *times.toInt64();
  for (std::int64_t i = 0; i < n; ++i) {
    auto copy = std::make_unique<Object>('v');
    call.require(transfer(*copy, *left.object, Transfer::ReferenceOrCopy));
    results.pushOwned(std::move(copy), Access::ConstResult);
  }
}

}  // namespace

Failure applyCompound(Executor&, TreeNode&, char op, Object& targetIn, Object& sourceIn) {
  std::string name{op, '='};
  Object& target = targetIn.resolve(true);
  Object& source = sourceIn.resolve(true);
  if (Failure failure = checkOperands(op, name, target, source)) return failure;
  return applyChecked(op, target, source);
}

void applyBinaryOperator(Executor& exec, TreeNode& node, Result left, Result right, ResultList& results,
                         std::unique_ptr<Object> leftTemporary) {
  if (node.op == '*' && node.op2 == '*') {
    applyRepetition(exec, node, left, right, results);
    return;
  }
  std::string name(1, node.op);
  Object& a = left.object->resolve(true);
  Object& b = right.object->resolve(true);
  Failure failure = checkOperands(node.op, name, a, b);
  if (!failure) {
    // The result has the left operand's own type, also when an `any` holds that operand. A
    // left operand that is a temporary of that type becomes the result without a copy.
    std::unique_ptr<Object> result = std::move(leftTemporary);
    if (!result) {
      result = std::make_unique<Object>(a.base());
      if (a.base() == 'i') result->asInt() = a.asInt();  // the common case, without the general copy
      else copyValue(*result, a);
    }
    failure = applyChecked(node.op, *result, b);
    if (!failure) {
      results.pushOwned(std::move(result), Access::ConstResult);
      return;
    }
  }
  exec.raise(node, NameKind::Operator, name, failure.text());
}

void applyUnaryOperator(Executor& exec, TreeNode& node, Result operand, ResultList& results) {
  std::string name(1, node.op);  // the tree writes them "++" and "--"
  Object& value = operand.object->resolve(true);
  if (!value.isDefined()) exec.raise(node, NameKind::Operator, name, undefinedOperand(name, false));
  if (value.base() != 'i')
    exec.raise(node, NameKind::Operator, name, fillKey("unaopenicdeffuedattyp", {name, typeName(value, true)}));
  if (value.isEmpty()) exec.raise(node, NameKind::Operator, name, emptyOperand(name, false));
  auto result = std::make_unique<Object>('i');
  result->asInt() = node.op == '-' ? -value.asInt() : value.asInt();
  results.pushOwned(std::move(result), Access::ConstResult);
}

}  // namespace kavor
