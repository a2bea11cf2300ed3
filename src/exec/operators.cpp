// Operators on basic values: arithmetic through the compound forms, unary plus and minus,
// repetition and comparisons.
#include <compare>

#include "core/containers.h"
#include "core/messages.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "numbers/bigint.h"
#include "numbers/number_theory.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

std::string operatorText(const TreeNode& node) {
  std::string name(1, node.op);
  if (node.op2 && node.op2 != '=') name += node.op2;
  return name;
}

std::string undefinedOperand(const std::string& op, bool left) {
  return fillKey("opeopeistund", {op, message(left ? "lin" : "rec")});
}
std::string emptyOperand(const std::string& op, bool left) {
  return fillKey("opeopeistlee", {op, message(left ? "lin" : "rec")});
}

// `target OP= source` on int values.
std::string compoundInt(char op, const std::string& name, Object& target, Object& source) {
  BigInt& a = target.asInt();
  const BigInt& b = source.asInt();
  if (op == '^' && b.isEmpty()) return emptyOperand(name, false);
  if (b.isEmpty()) return "";
  if (a.isEmpty()) a = BigInt(static_cast<std::int64_t>(0));
  switch (op) {
    case '+': a += b; return "";
    case '-': a -= b; return "";
    case '*': a *= b; return "";
    case '/':
    case '%': {
      Outcome<BigInt> outcome = op == '/' ? divide(a, b) : remainder(a, b);
      if (!outcome.ok()) return outcome.failure;
      a = std::move(outcome.value);
      return "";
    }
    case '^': {
      Outcome<BigInt> outcome = power(a, b);
      if (!outcome.ok()) return outcome.failure;
      a = std::move(outcome.value);
      return "";
    }
    default: return fillKey("openicdeffuedattyp", {name, "int"});
  }
}

std::string compound(char op, const std::string& name, Object& targetIn, Object& sourceIn) {
  Object& target = targetIn.resolve(true);
  Object& source = sourceIn.resolve(true);
  if (!target.isDefined()) return undefinedOperand(name, true);
  if (!source.isDefined()) return undefinedOperand(name, false);
  TypeCode base = target.base();
  switch (base) {
    case 'i':
      if (source.base() != 'i') return fillKey("opeinkdattyp", {name});
      return compoundInt(op, name, target, source);
    case 's':
      if (op != '+') return fillKey("openicdeffuedattyp", {name, typeNameOfCode(base)});
      if (source.base() == 'c') {
        if (!source.isEmpty()) target.asStr().text += static_cast<char>(source.charValue());
      } else if (source.base() == 's') {
        target.asStr().text += source.asStr().text;
      } else {
        return fillKey("opeinkdattyp", {name});
      }
      target.asStr().restartReading();
      return "";
    case 'l':
    case 'y': {
      if (op != '+') return fillKey("openicdeffuedattyp", {name, typeNameOfCode(base)});
      if (source.base() != base) return fillKey("opeinkdattyp", {name});
      ListRecord copy;
      ListRecord& from = source.asList();
      for (size_t i = 0; i < from.size(); ++i) {
        std::string failure = copy.append(from.at(i), Transfer::SameOrCopy);
        if (!failure.empty()) return failure;
      }
      target.asList().appendAll(copy);
      return "";
    }
    default:
      return fillKey("openicdeffuedattyp", {name, typeName(target, true)});
  }
}

// The order of two values of one type: less, equal, greater; nullopt when the type has none.
std::optional<std::strong_ordering> order(Object& a, Object& b) {
  switch (a.base()) {
    case 'i': return a.asInt() <=> b.asInt();
    case 'c': return a.charValue() <=> b.charValue();
    case 's': return a.asStr().text.compare(b.asStr().text) <=> 0;
    default: return std::nullopt;
  }
}

bool compare(Executor& exec, TreeNode& node, const std::string& name, Object& leftIn, Object& rightIn) {
  std::string pair = name;
  if (pair == "==") return equals(leftIn, rightIn, true);
  if (pair == "!=") return !equals(leftIn, rightIn, true);
  if (pair == "@@") return sameTarget(leftIn, rightIn);
  if (pair == "!@") return !sameTarget(leftIn, rightIn);
  if (pair == "??") return referenceEquals(leftIn, rightIn);
  if (pair == "!?") return !referenceEquals(leftIn, rightIn);
  Object& left = leftIn.resolve(true);
  Object& right = rightIn.resolve(true);
  if (!left.isDefined()) exec.raise(node, NameKind::Operator, name, undefinedOperand(name, true));
  if (!right.isDefined()) exec.raise(node, NameKind::Operator, name, undefinedOperand(name, false));
  if (left.base() != right.base()) exec.raise(node, NameKind::Operator, name, fillKey("opeinkdattyp", {name}));
  if ((left.base() == 'i' || left.base() == 'c')) {
    if (left.isEmpty()) exec.raise(node, NameKind::Operator, name, emptyOperand(name, true));
    if (right.isEmpty()) exec.raise(node, NameKind::Operator, name, emptyOperand(name, false));
  }
  auto result = order(left, right);
  if (!result) exec.raise(node, NameKind::Operator, name, fillKey("openicdeffuedattyp", {name, typeName(left, true)}));
  if (pair == "<") return *result < 0;
  if (pair == ">") return *result > 0;
  if (pair == "<=") return *result <= 0;
  return *result >= 0;
}

}  // namespace

std::string applyCompound(Executor&, TreeNode& node, char op, Object& target, Object& source) {
  return compound(op, operatorText(node), target, source);
}

void applyBinaryOperator(Executor& exec, TreeNode& node, Result left, Result right, ResultList& results) {
  std::string name = operatorText(node);
  if (node.op2 != 0 || node.op == '<' || node.op == '>') {
    if (name == "**") {
      BuiltinCall call{exec, node, NameKind::Operator, name};
      ResultList count;
      count.push(right.object, right.access, false);
      call.require(checkType(count, 0, 'i', true));
      const BigInt& n = right.object->resolve(true).asInt();
      auto times = n.toInt64();
      if (!times || *times <= 0) return;
      for (std::int64_t i = 0; i < *times; ++i) {
        auto copy = std::make_unique<Object>('v');
        call.require(transfer(*copy, *left.object, Transfer::ReferenceOrCopy));
        results.pushOwned(std::move(copy), Access::ConstResult);
      }
      return;
    }
    auto value = std::make_unique<Object>('b');
    value->setBool(compare(exec, node, name, *left.object, *right.object));
    results.pushOwned(std::move(value), Access::ConstResult);
    return;
  }
  Object& source = left.object->resolve(true);
  if (!source.isDefined()) exec.raise(node, NameKind::Operator, name, undefinedOperand(name, true));
  auto copy = std::make_unique<Object>();
  copy->constructLike(source);
  std::string failure = compound(node.op, name, *copy, *right.object);
  if (!failure.empty()) exec.raise(node, NameKind::Operator, name, failure);
  results.pushOwned(std::move(copy), Access::ConstResult);
}

void evalComparison(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  std::string name(1, node.op);
  if (node.op2) name += node.op2;
  ResultList left, right;
  evaluateOperand(exec, node, node.left.get(), true, context, left, name);
  evaluateOperand(exec, node, node.right.get(), false, context, right, name);
  auto value = std::make_unique<Object>('b');
  value->setBool(compare(exec, node, name, *left[0].object, *right[0].object));
  results.pushOwned(std::move(value), Access::ConstResult);
}

void applyUnaryOperator(Executor& exec, TreeNode& node, Result operand, ResultList& results) {
  std::string name = node.op == '+' ? "+" : "-";
  Object& value = operand.object->resolve(true);
  if (!value.isDefined()) exec.raise(node, NameKind::Operator, name, undefinedOperand(name, false));
  if (value.base() != 'i') {
    exec.raise(node, NameKind::Operator, name, fillKey("unaopenicdeffuedattyp", {name, typeName(value, true)}));
  }
  if (value.isEmpty()) exec.raise(node, NameKind::Operator, name, emptyOperand(name, false));
  auto result = std::make_unique<Object>('i');
  result->asInt() = node.op == '-' ? -value.asInt() : value.asInt();
  results.pushOwned(std::move(result), Access::ConstResult);
}

}  // namespace kavor
