// Arithmetic on basic values: the compound operations "+=" ... "^=", the binary operators
// built on them (a copy of the left operand, then the compound operation), unary plus and
// minus, and the repetition "**".
#include <cstdint>
#include <cstring>

#include "core/containers.h"
#include "core/messages.h"
#include "core/type_table.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/operators_common.h"
#include "exec/range_values.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"

namespace kavor {

namespace {

// A list holds at most this many elements (its count is a signed 32-bit number), so no
// repetition may yield more values.
constexpr std::int64_t kMaxRepetitions = 2147483647;

// Whether the target's type has the operator at all. A type without it reports "not
// defined for type" whatever the source is; user-defined types have their operator
// functions.
bool hasOperator(const TypeOps& type, char op) {
  return type.compoundOperators != nullptr && std::strchr(type.compoundOperators, op) != nullptr;
}

// The operand checks of every compound operation, on operands with indirections followed:
// left defined, right defined, the operator exists for the target's type, the source's
// type fits, then no empty int or char where a value is needed.
Failure checkOperands(char op, const std::string& name, const Object& target, const Object& source) {
  if (!target.isDefined()) return undefinedOperand(name, true);
  if (!source.isDefined()) return undefinedOperand(name, false);
  TypeCode base = target.base();
  const TypeOps& type = typeOps(base);
  if (!hasOperator(type, op)) return notDefinedFor(name, target);
  if (!type.acceptsOperand(source.base())) return incompatibleTypes(name);
  // "+=" on ints is the accumulator: an empty target counts as 0, an empty source adds
  // nothing. Every other operation on ints needs two values.
  if (base == 'i' && op == '+') return Failure::none();
  if (emptyIsNoValue(base) && target.isEmpty()) return emptyOperand(name, true);
  if (emptyIsNoValue(source.base()) && source.isEmpty()) return emptyOperand(name, false);
  return Failure::none();
}

// `target OP= source` on operands (indirections followed) that passed checkOperands.
Failure applyChecked(char op, Object& target, Object& source) {
  return typeOps(target.base()).compound(op, target, source);
}

// `a OP b` on two ints written straight into `result`, in one pass over the operands instead
// of a copy of `a` changed in place. False, with nothing done, for the operations that take
// the general path: "^", and "+" with an empty right operand (which keeps an empty left one).
bool intResult(char op, BigInt& result, const BigInt& a, const BigInt& b, Failure& failure) {
  switch (op) {
    case '+':
      if (b.isEmpty()) return false;
      result.setSum(a, b);
      return true;
    case '-': result.setDifference(a, b); return true;
    case '*': result.setProduct(a, b); return true;
    case '/': failure = result.setQuotient(a, b); return true;
    case '%': failure = result.setRemainder(a, b); return true;
    default: return false;
  }
}

// The value of an int without moving a small value out of its word: `scratch` takes it then.
const BigInt& intValue(const Object& object, BigInt& scratch) {
  if (!object.holdsSmallInt()) return object.asInt();
  std::int64_t small;
  if (object.readSmallInt(small)) scratch.setSmall(small);  // else empty, as scratch is
  return scratch;
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
  if (static_cast<uint64_t>(n) > holdableValues()) call.fail(fillKey("wiezugro", {times.toText()}));
  for (std::int64_t i = 0; i < n; ++i) {
    auto copy = std::make_unique<Object>('v');
    call.require(transfer(*copy, *left.object, Transfer::ReferenceOrCopy));
    results.pushOwned(std::move(copy), Access::ConstResult);
  }
}

}  // namespace

Failure applyCompound(Executor& exec, TreeNode& node, char op, Object& targetIn, Object& sourceIn) {
  std::string name{op, '='};
  Object& target = targetIn.resolve(true);
  Object& source = sourceIn.resolve(true);
  if (target.base() == 'k') return applyUserCompound(exec, node, op, target, source);
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
  if (a.base() == 'k' && a.isDefined()) {
    if (!b.isDefined()) exec.raise(node, NameKind::Operator, name, undefinedOperand(name, false));
    // A copy of the left operand, changed by its type's operator function.
    auto result = std::make_unique<Object>('k');
    result->asUser().type = a.asUser().type;
    copyValue(*result, a);
    Failure failure = applyUserCompound(exec, node, node.op, *result, b);
    if (failure) exec.raise(node, NameKind::Operator, name, failure.text());
    results.pushOwned(std::move(result), Access::ConstResult);
    return;
  }
  Failure failure = checkOperands(node.op, name, a, b);
  if (!failure) {
    // The result has the left operand's own type, also when an `any` holds that operand. A
    // left operand that is a temporary of that type becomes the result without a copy.
    std::unique_ptr<Object> result = std::move(leftTemporary);
    bool done = false;
    if (!result) {
      result = std::make_unique<Object>(a.base());
      // Ints with a long value among the operands are computed straight into the result;
      // small ones stay in their words (the general path keeps a small result there too).
      if (a.base() == 'i' && !(a.holdsSmallInt() && b.holdsSmallInt())) {
        BigInt left, right;
        done = intResult(node.op, result->asInt(), intValue(a, left), intValue(b, right), failure);
      }
      if (!done) copyValue(*result, a);
    }
    if (!done) failure = applyChecked(node.op, *result, b);
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
  TypeCode base = value.base();
  if (base != 'i' && base != 'r')
    exec.raise(node, NameKind::Operator, name, fillKey("unaopenicdeffuedattyp", {name, typeName(value, true)}));
  if (value.isEmpty()) exec.raise(node, NameKind::Operator, name, emptyOperand(name, false));
  auto result = std::make_unique<Object>(base);
  std::int64_t small;
  if (base == 'r') result->asReal() = node.op == '-' ? -value.asReal() : value.asReal();
  else if (value.readSmallInt(small)) result->setSmallInt(node.op == '-' ? -small : small);
  else result->setInt(node.op == '-' ? -value.asInt() : value.asInt());
  results.pushOwned(std::move(result), Access::ConstResult);
}

}  // namespace kavor
