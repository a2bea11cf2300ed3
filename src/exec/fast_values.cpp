// Compiling and running the fast programs of pure int and bool expressions.
#include "exec/fast_values.h"

#include <cstdint>

#include "core/object.h"
#include "exec/executor.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"

namespace kavor {

namespace {

// Deeper expressions take the general path: the compiler recurses, and the run keeps its
// stack in a fixed array.
constexpr int kMaxDepth = 24;
constexpr std::int64_t kLimit = BigInt::kSmallLimit;

bool isSmall(std::int64_t value) { return value >= -kLimit && value <= kLimit; }

// The value of a variable's current Object when it is a small defined int.
bool readInt(const TreeNode& definition, std::int64_t& out) {
  Object* variable = currentVariable(definition);
  if (variable == nullptr) return false;
  Object& value = variable->isIndirection() ? variable->resolve(true) : *variable;
  // An int held by an `any` (a list element, say) is an operand like any other int.
  if ((value.typeCode != 'i' && value.typeCode != 'I') || value.value == nullptr) return false;
  return value.readSmallInt(out);
}

bool readBool(const TreeNode& definition, std::int64_t& out) {
  Object* variable = currentVariable(definition);
  if (variable == nullptr) return false;
  Object& value = variable->isIndirection() ? variable->resolve(true) : *variable;
  if ((value.typeCode != 'b' && value.typeCode != 'B') || value.value == nullptr || value.word > 1)
    return false;  // 65535: empty
  out = value.word;
  return true;
}

}  // namespace

std::unique_ptr<FastProgram> FastProgram::compile(const TreeNode& node, bool asCode) {
  auto program = std::make_unique<FastProgram>();
  bool yieldsBool = false;
  if (!program->emit(node, true, asCode, 0, yieldsBool)) return nullptr;
  program->yieldsBool_ = yieldsBool;
  const std::vector<Step>& steps = program->steps_;
  program->variableOpConstant_ = steps.size() == 3 && steps[0].op == Op::IntVariable &&
                                 steps[1].op == Op::Constant && steps[2].op >= Op::Add && steps[2].op != Op::Negate &&
                                 steps[2].op != Op::Not;
  return program;
}

bool FastProgram::emit(const TreeNode& node, bool root, bool asCode, int depth, bool& yieldsBool) {
  if (depth >= kMaxDepth) return false;
  if (node.curlyBlock && !(root && asCode)) return false;
  if (node.isNumber()) {
    std::int64_t value;
    if (!node.constant || node.constant->typeCode != 'i' || !node.constant->readSmallInt(value)) return false;
    steps_.push_back({Op::Constant, value, nullptr});
    yieldsBool = false;
    return true;
  }
  if (isPlainName(node)) {
    if (node.text == "true" || node.text == "false") {
      steps_.push_back({Op::Constant, node.text == "true" ? 1 : 0, nullptr});
      yieldsBool = true;
      return true;
    }
    const TreeNode* definition = node.binding;
    if (definition == nullptr || node.text == "this") return false;
    // An `any` variable is read as an int: when it holds something else the program declines.
    if (definition->varCode != 'i' && definition->varCode != 'b' && definition->varCode != 'v') return false;
    yieldsBool = definition->varCode == 'b';
    steps_.push_back({yieldsBool ? Op::BoolVariable : Op::IntVariable, 0, definition});
    return true;
  }
  if (!node.text.empty() || node.isLiteral() || !node.right) return false;
  Op op;
  bool boolOperands = false, boolResult = false, unary = false;
  char a = node.op, b = node.op2;
  if (b == 0) {
    switch (a) {
      case '+': op = Op::Add; break;
      case '-': op = Op::Subtract; break;
      case '*': op = Op::Multiply; break;
      case '/': op = Op::Divide; break;
      case '%': op = Op::Remainder; break;
      case '^': op = Op::Power; break;
      case '<': op = Op::Less; boolResult = true; break;
      case '>': op = Op::Greater; boolResult = true; break;
      case '!': op = Op::Not; boolOperands = boolResult = unary = true; break;
      default: return false;
    }
  } else if (a == '<' && b == '=') { op = Op::LessEqual; boolResult = true; }
  else if (a == '>' && b == '=') { op = Op::GreaterEqual; boolResult = true; }
  else if (a == '=' && b == '=') { op = Op::Equal; boolResult = true; }
  else if (a == '!' && b == '=') { op = Op::NotEqual; boolResult = true; }
  else if (a == '-' && b == '-') { op = Op::Negate; unary = true; }
  else if (a == '+' && b == '+') { unary = true; op = Op::Add; }  // unary plus: the value itself
  else return false;
  if (unary != !node.left) return false;
  bool operandBool = false;
  if (!unary) {
    if (!emit(*node.left, false, asCode, depth + 1, operandBool) || operandBool != boolOperands) return false;
  }
  if (!emit(*node.right, false, asCode, depth + 1, operandBool) || operandBool != boolOperands) return false;
  if (!(unary && op == Op::Add)) steps_.push_back({op, 0, nullptr});
  yieldsBool = boolResult;
  return true;
}

bool FastProgram::apply(Op op, std::int64_t left, std::int64_t right, std::int64_t& result) {
  switch (op) {
    case Op::Add: return !__builtin_add_overflow(left, right, &result);
    case Op::Subtract: return !__builtin_sub_overflow(left, right, &result);
    case Op::Multiply: return !__builtin_mul_overflow(left, right, &result);
    case Op::Divide:
      if (right == 0 || (left == INT64_MIN && right == -1)) return false;
      result = left / right;  // truncates towards zero, as int division does
      return true;
    case Op::Remainder:
      if (right == 0) return false;
      if (right == -1) {
        result = 0;
        return true;
      }
      result = left % right;
      if (result < 0) result += right < 0 ? -right : right;  // always within 0 .. |right|-1
      return true;
    case Op::Power: {
      if (right <= 0) {
        result = 1;
        return true;
      }
      std::int64_t power = 1;
      for (std::int64_t i = 0; i < right; ++i) {
        if (__builtin_mul_overflow(power, left, &power)) return false;
        if (power == 0 || power == 1) break;  // zero and one stay where they are
        if (power == -1) {
          power = (right % 2 == 0) ? 1 : -1;
          break;
        }
      }
      result = power;
      return true;
    }
    case Op::Less: result = left < right; return true;
    case Op::LessEqual: result = left <= right; return true;
    case Op::Greater: result = left > right; return true;
    case Op::GreaterEqual: result = left >= right; return true;
    case Op::Equal: result = left == right; return true;
    case Op::NotEqual: result = left != right; return true;
    default: return false;
  }
}

bool FastProgram::run(std::int64_t& value) const {
  if (variableOpConstant_) {
    std::int64_t operand;
    return readInt(*steps_[0].definition, operand) && apply(steps_[2].op, operand, steps_[1].constant, value) &&
           isSmall(value);
  }
  std::int64_t stack[kMaxDepth + 2];
  int top = -1;
  for (const Step& step : steps_) {
    switch (step.op) {
      case Op::Constant: stack[++top] = step.constant; continue;
      case Op::IntVariable:
        if (!readInt(*step.definition, stack[++top])) return false;
        continue;
      case Op::BoolVariable:
        if (!readBool(*step.definition, stack[++top])) return false;
        continue;
      case Op::Negate:
        if (stack[top] == INT64_MIN) return false;
        stack[top] = -stack[top];
        continue;
      case Op::Not: stack[top] = !stack[top]; continue;
      default: break;
    }
    std::int64_t right = stack[top--];
    if (!apply(step.op, stack[top], right, stack[top])) return false;
  }
  // Intermediate values use the whole machine range; the value handed on must be small.
  value = stack[top];
  return isSmall(value);
}

bool combineSmallInts(char op, std::int64_t a, std::int64_t b, std::int64_t& result) {
  bool overflow = op == '+'   ? __builtin_add_overflow(a, b, &result)
                  : op == '-' ? __builtin_sub_overflow(a, b, &result)
                              : __builtin_mul_overflow(a, b, &result);
  return !overflow && isSmall(result);
}

FastProgram* fastProgramOf(TreeNode& node, bool asCode) {
  CompiledForm& compiled = node.form();
  if (!compiled.part) {
    auto form = std::make_unique<FastExpressionForm>();
    form->program = FastProgram::compile(node, asCode);
    compiled.part = std::move(form);
  }
  if (compiled.part->kind != CompiledPart::Kind::FastExpression) return nullptr;
  return static_cast<FastExpressionForm*>(compiled.part.get())->program.get();
}

}  // namespace kavor
