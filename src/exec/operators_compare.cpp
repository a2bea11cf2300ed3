// Comparisons: equality and identity through the object model, the order of the ordered
// types, and the alternatives "|" and "&" written as an operand of a comparison.
//
// Order: int by value, char by code, str by bytes (unsigned, up to the first zero byte, as
// equality reads strings), set by inclusion (a proper subset is less; two sets of which
// neither contains the other are unordered, so every order comparison of them is false).
// Lists and args are ordered lexicographically: the first pair of elements that differs
// decides, and a list that is a proper prefix of the other is the lesser. The elements are
// compared by the same rules, so they must be of one type pairwise ("incompatible types"
// otherwise); a pair of lists reached again through references while it is being compared
// counts as equal at that point, as equality does.
#include <compare>
#include <set>
#include <utility>
#include <vector>

#include "core/containers.h"
#include "core/messages.h"
#include "core/type_table.h"
#include "exec/calls.h"
#include "exec/dispatch.h"
#include "exec/operators_common.h"

namespace kavor {

namespace {

enum class Relation { Equal, NotEqual, Same, NotSame, ReferenceEqual, NotReferenceEqual, Less, Greater, LessEqual, GreaterEqual };

Relation relationOf(const TreeNode& node) {
  switch (node.op) {
    case '=': return Relation::Equal;
    case '@': return Relation::Same;
    case '?': return Relation::ReferenceEqual;
    case '!':
      if (node.op2 == '=') return Relation::NotEqual;
      return node.op2 == '@' ? Relation::NotSame : Relation::NotReferenceEqual;
    case '<': return node.op2 == '=' ? Relation::LessEqual : Relation::Less;
    default: return node.op2 == '=' ? Relation::GreaterEqual : Relation::Greater;
  }
}

bool isListType(TypeCode base) { return base == 'l' || base == 'y'; }

// One order comparison; its failures are raised as the operator's.
class OrderComparison {
 public:
  OrderComparison(Executor& exec, TreeNode& node, const std::string& name) : exec_(exec), node_(node), name_(name) {}

  std::partial_ordering compare(Object& leftIn, Object& rightIn) {
    Object& left = leftIn.resolve(true);
    Object& right = rightIn.resolve(true);
    checkPair(left, right);
    if (!isListType(left.base())) return valueOrder(left, right);
    return listOrder(left, right);
  }

 private:
  [[noreturn]] void fail(const std::string& failure) { exec_.raise(node_, NameKind::Operator, name_, failure); }

  void checkPair(const Object& left, const Object& right) {
    if (!left.isDefined()) fail(undefinedOperand(name_, true));
    if (!right.isDefined()) fail(undefinedOperand(name_, false));
    if (left.base() != right.base()) fail(incompatibleTypes(name_));
    if (!emptyIsNoValue(left.base())) return;
    if (left.isEmpty()) fail(emptyOperand(name_, true));
    if (right.isEmpty()) fail(emptyOperand(name_, false));
  }

  // Two checked values of one type that is not a list.
  std::partial_ordering valueOrder(Object& left, Object& right) {
    if (auto order = typeOps(left.base()).order) return order(left, right);
    if (left.base() == 'k') {
      if (!sameActualType(left, right)) fail(incompatibleTypes(name_));
      if (userLess(exec_, node_, name_, left, right)) return std::partial_ordering::less;
      if (userLess(exec_, node_, name_, right, left)) return std::partial_ordering::greater;
      return std::partial_ordering::equivalent;
    }
    fail(notDefinedFor(name_, left));
  }

  // Lexicographic order of two checked lists, with an explicit stack instead of native
  // recursion, so that deeply nested lists cannot exhaust the native stack.
  std::partial_ordering listOrder(Object& left, Object& right) {
    struct Frame {
      const ListRecord* left;
      const ListRecord* right;
      size_t next;  // index of the next element pair to compare
    };
    std::vector<Frame> path{{&left.asList(), &right.asList(), 0}};
    // Pairs of nested lists already entered: found again (through references) they count
    // as equal, since a pair that had differed would have ended the comparison.
    std::set<std::pair<const Object*, const Object*>> entered;
    while (!path.empty()) {
      Frame& top = path.back();
      size_t index = top.next++;
      if (index >= top.left->size() || index >= top.right->size()) {
        std::partial_ordering lengths = top.left->size() <=> top.right->size();
        if (lengths != 0) return lengths;
        path.pop_back();
        continue;
      }
      Object& a = top.left->at(index).resolve(true);
      Object& b = top.right->at(index).resolve(true);
      checkPair(a, b);
      if (isListType(a.base())) {
        if (entered.empty()) entered.emplace(&left, &right);
        if (entered.emplace(&a, &b).second) path.push_back({&a.asList(), &b.asList(), 0});
        continue;
      }
      std::partial_ordering order = valueOrder(a, b);
      if (order != 0) return order;
    }
    return std::partial_ordering::equivalent;
  }

  Executor& exec_;
  TreeNode& node_;
  const std::string& name_;
};

bool isAlternatives(const TreeNode* node) {
  return node != nullptr && (node->op == '|' || node->op == '&') && node->op2 == 0 && node->text.empty();
}

// One comparison node being evaluated, with its operands expanded into alternatives.
class ComparisonRun {
 public:
  ComparisonRun(Executor& exec, TreeNode& node, const ExecContext& context)
      : exec_(exec), node_(node), context_(context), relation_(relationOf(node)) {
    name_ += node.op;
    if (node.op2) name_ += node.op2;
  }

  // The left operand's alternatives first; for each of them the right operand's.
  bool leftSide(TreeNode* left, TreeNode* right) {
    if (isAlternatives(left)) return anyOrAll(left, [&](TreeNode* element) { return leftSide(element, right); });
    ResultList value;
    evaluateOperand(exec_, node_, left, true, context_, value, name_);
    return rightSide(*value[0].object, right);
  }

 private:
  bool rightSide(Object& left, TreeNode* right) {
    if (isAlternatives(right)) return anyOrAll(right, [&](TreeNode* element) { return rightSide(left, element); });
    ResultList value;
    evaluateOperand(exec_, node_, right, false, context_, value, name_);
    return holds(left, *value[0].object);
  }

  // "|": some element passes (stops at the first that does); "&": every element passes
  // (stops at the first that does not). The chain's elements are collected without
  // recursion, since a long chain is a deep tree; an element that is a chain of the other
  // operator is one element.
  template <class Test>
  bool anyOrAll(TreeNode* chain, Test test) {
    char op = chain->op;
    std::vector<TreeNode*> pending{chain};
    while (!pending.empty()) {
      TreeNode* element = pending.back();
      pending.pop_back();
      if (isAlternatives(element) && element->op == op) {
        pending.push_back(element->right.get());
        pending.push_back(element->left.get());
        continue;
      }
      bool passes = test(element);
      if (passes == (op == '|')) return passes;
    }
    return op == '&';
  }

  bool holds(Object& left, Object& right) {
    switch (relation_) {
      case Relation::Equal: return equals(left, right, true);
      case Relation::NotEqual: return !equals(left, right, true);
      case Relation::Same: return sameTarget(left, right);
      case Relation::NotSame: return !sameTarget(left, right);
      case Relation::ReferenceEqual: return referenceEquals(left, right);
      case Relation::NotReferenceEqual: return !referenceEquals(left, right);
      default: break;
    }
    std::partial_ordering order = OrderComparison(exec_, node_, name_).compare(left, right);
    switch (relation_) {
      case Relation::Less: return order < 0;
      case Relation::Greater: return order > 0;
      case Relation::LessEqual: return order <= 0;
      default: return order >= 0;
    }
  }

  Executor& exec_;
  TreeNode& node_;
  const ExecContext& context_;
  Relation relation_;
  std::string name_;
};

}  // namespace

void evalComparison(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results) {
  bool value = ComparisonRun(exec, node, context).leftSide(node.left.get(), node.right.get());
  auto result = std::make_unique<Object>('b');
  result->setBool(value);
  results.pushOwned(std::move(result), Access::ConstResult);
}

std::partial_ordering orderOf(Executor& exec, TreeNode& node, Object& left, Object& right) {
  const std::string name = "<";
  return OrderComparison(exec, node, name).compare(left, right);
}

}  // namespace kavor
