#include "exec/range_values.h"

#include <unistd.h>

#include <string>

#include "core/messages.h"
#include "exec/calls.h"

namespace kavor {

namespace {

std::string operatorText(const TreeNode& node) {
  std::string text(1, node.op);
  if (node.op2) text += node.op2;
  return text;
}

}  // namespace

uint64_t holdableValues() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return uint64_t{1} << 28;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 64;
}

RangeValues::RangeValues(Executor& exec, TreeNode& node, Object& fromIn, Object& toIn) {
  Object& from = fromIn.resolve(true);
  Object& to = toIn.resolve(true);
  bool ints = from.base() == 'i' && to.base() == 'i' && from.isDefined() && to.isDefined() && !from.isEmpty() &&
              !to.isEmpty();
  chars_ = from.base() == 'c' && to.base() == 'c' && from.isDefined() && to.isDefined();
  if (!ints && !chars_)
    exec.raise(node, NameKind::Operator, operatorText(node), message("erwintchalinrecpunpunope"));
  // "..": both directions; ".:": ascending only; ":.": descending only.
  bool ascendingAllowed = !(node.op == ':' && node.op2 == '.');
  bool descendingAllowed = !(node.op == '.' && node.op2 == ':');
  if (chars_) {
    int a = from.charValue(), b = to.charValue();
    ascending_ = a < b;
    currentChar_ = a;
    count_ = static_cast<uint64_t>(ascending_ ? b - a : a - b) + 1;
    if (a != b && (ascending_ ? !ascendingAllowed : !descendingAllowed)) count_ = 0;
    return;
  }
  const BigInt& a = from.asInt();
  const BigInt& b = to.asInt();
  auto order = a <=> b;
  ascending_ = order < 0;
  current_ = a;
  if (order != 0 && (ascending_ ? !ascendingAllowed : !descendingAllowed)) return;
  total_ = (b - a).abs();
  ++total_;
  std::int64_t small;
  count_ = total_.toSmall(small) ? static_cast<uint64_t>(small) : UINT64_MAX;
}

void RangeValues::requireHoldable(Executor& exec, TreeNode& node) const {
  if (count_ <= holdableValues()) return;
  exec.raise(node, NameKind::Operator, operatorText(node), fillKey("berzugro", {total_.toText()}));
}

std::unique_ptr<Object> RangeValues::next() {
  if (given_ == count_) return nullptr;
  ++given_;
  if (chars_) {
    auto value = std::make_unique<Object>('c');
    value->setChar(static_cast<unsigned char>(currentChar_));
    currentChar_ += ascending_ ? 1 : -1;
    return value;
  }
  auto value = std::make_unique<Object>('i');
  value->setInt(current_);
  if (ascending_) ++current_;
  else --current_;
  return value;
}

}  // namespace kavor
