// Argument lists and their checks: evaluating arguments and operands, counts, types,
// definedness, and whether a result may be changed.
#include "core/messages.h"
#include "exec/calls.h"
#include "frontend/tree_shapes.h"
#include "numbers/bigint.h"

namespace kavor {

namespace {

std::string position(size_t index) { return std::to_string(index); }

}  // namespace

void evaluateArguments(Executor& exec, TreeNode& call, const ExecContext& context, ResultList& args) {
  if (exec.handedCall == &call) {
    exec.handedCall = nullptr;
    for (size_t i = 0; i < exec.handedArguments.size(); ++i) {
      Result& entry = exec.handedArguments[i];
      args.push(entry.object, entry.access, entry.owned);
      entry.owned = false;
    }
    exec.handedArguments.release();
    return;
  }
  for (TreeNode* argument : argumentsOf(call)) exec.evaluate(*argument, context, args);
}

void evaluateOperand(Executor& exec, TreeNode& operatorNode, TreeNode* side, bool leftSide,
                     const ExecContext& context, ResultList& out, std::string_view operatorName) {
  if (side != nullptr) exec.evaluate(*side, context, out);
  if (out.size() == 1) return;
  std::string failure = checkCount(out, 1).text();
  failure += " ";
  failure += message(leftSide ? "auflinsei" : "aufrecsei");
  exec.raise(operatorNode, NameKind::Operator, operatorName, failure);
}

Failure checkCount(const ResultList& args, size_t count) {
  if (args.size() == count) return Failure::none();
  if (count == 0) return message("erwkeiarg");
  if (count == 1) return message("erwgen1arg");
  return fillKey("erwarg", {std::to_string(count)});
}

Failure checkCountRange(const ResultList& args, long min, long max) {
  long n = static_cast<long>(args.size());
  if (min < 0) {
    if (n <= max) return Failure::none();
    return fillKey(max == 1 ? "erwhoearg" : "erwhoearge", {std::to_string(max)});
  }
  if (max < 0) {
    if (n >= min) return Failure::none();
    return fillKey(min == 1 ? "erwminarg" : "erwminarge", {std::to_string(min)});
  }
  if (n >= min && n <= max) return Failure::none();
  return fillKey("zahargmusberlie", {std::to_string(min), std::to_string(max)});
}

Failure checkDefined(const ResultList& args, size_t index) {
  if (args[index].object->resolve(true).isDefined()) return Failure::none();
  return fillKey("tesargnicdef", {position(index)});
}

Failure checkType(const ResultList& args, size_t index, TypeCode code, bool notEmpty) {
  // The usual case, an argument that passes, with one look at it.
  const Object& argument = args[index].object->resolve(true);
  if (argument.base() == code && argument.isDefined() && !(notEmpty && argument.isEmpty())) return Failure::none();
  if (Failure failure = checkDefined(args, index)) return failure;
  Object& value = args[index].object->resolve(true);
  if (value.base() != code) return fillKey("erwtesargtyp", {position(index), typeNameOfCode(code)});
  if (notEmpty && value.isEmpty()) return fillKey("tesarglee", {position(index)});
  return Failure::none();
}

Failure checkIntMin(const ResultList& args, size_t index, long long min) {
  if (Failure failure = checkType(args, index, 'i', true)) return failure;
  if (args[index].object->resolve(true).asInt() < BigInt(static_cast<std::int64_t>(min)))
    return fillKey("erwintarggro", {std::to_string(min)});
  return Failure::none();
}

Failure checkVariable(const ResultList& args, size_t index, bool mustBeDefined) {
  if (mustBeDefined) {
    if (Failure failure = checkDefined(args, index)) return failure;
  }
  if (args[index].access > Access::ConstObject) return Failure::none();
  return fillKey("erwvartesarg", {position(index)});
}

namespace {

// The message key of the refusal to change `target`; null when it may be changed.
const char* refusalKey(const Result& target) {
  const char* key = nullptr;
  switch (target.access) {
    case Access::Literal: key = "unzfuekonlit"; break;
    case Access::Expression: key = "unzfuekonexpr"; break;
    case Access::ConstInput: key = "unzfuekoninpobj"; break;
    case Access::ConstResult: key = "unzfuekonfunerg"; break;
    case Access::ConstMember: key = "unzfuememkonobj"; break;
    case Access::ConstObject: key = "unzfuekonobj"; break;
    case Access::ArgsInput:
      if (target.object->resolve(true).base() == 'y') key = "unzfueinpobjarg";
      break;
    default: break;
  }
  return key;
}

}  // namespace

bool isModifiable(const Result& target) { return refusalKey(target) == nullptr; }

Failure checkModifiable(const Result& target, const std::string& word) {
  const char* key = refusalKey(target);
  if (key == nullptr) return Failure::none();
  return word + " " + message(key);
}

std::string notDefinedText(const std::string& kindWord, const std::string& name, const std::string& suffix) {
  return kindWord + " '" + name + "'" + suffix + " " + message("nicdef");
}

}  // namespace kavor
