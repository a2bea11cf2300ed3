#include "types/list_common.h"

#include <vector>

#include "core/messages.h"
#include "core/payloads.h"
#include "exec/calls.h"
#include "exec/fast_values.h"
#include "streams/str_data.h"

namespace kavor {

ListRecord& definedList(const MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  return call.object.asList();
}

ListRecord& changeableList(const MethodCall& call, bool structure) {
  ListRecord& list = definedList(call);
  // The elements of an `args` parameter are the caller's arguments: the callee reads them
  // but neither stores into them through methods nor changes their list.
  if (call.object.base() == 'y') {
    if (call.access == Access::ConstInput || call.access == Access::ArgsInput)
      call.fail(message("nicanwfueinpobjarg"));
    if (call.access == Access::Output || call.access == Access::VariableOutput)
      call.fail(message("nicanwfuevaroutobjarg"));
  }
  call.requireModifiable();
  if (structure && list.iterationCount > 0) call.fail(message("unzwaeite"));
  return list;
}

void requireReleasable(const MethodCall& call, const Object& element) {
  if (anyWithin(element, isBeingIterated)) call.fail(message("unzwaeite"));
}

size_t readIndex(const MethodCall& call, size_t index, bool fromEnd, size_t count, PositionKind kind) {
  std::string shown;
  std::optional<size_t> position = readPosition(call, index, fromEnd, count, kind, shown);
  if (!position) call.fail(fillKey("unzindlislae", {shown, std::to_string(count)}));
  return *position;
}

void pushPlace(const MethodCall& call, Object& element) {
  auto place = std::make_unique<Object>('v');
  if (element.isIndirection()) {
    // Binding a call-alias is allowed only on variables; the place is one for this moment.
    place->scopeVariable = 1;
    Failure failure = transfer(*place, element, Transfer::CallAlias);
    place->scopeVariable = 0;
    call.require(failure);
  } else {
    // A fresh place and a plain element pass every check of the binding.
    place->linkIndirection('j', element);
  }
  // An element of a constant input is part of that input, and is refused as such.
  int access = call.access == Access::ConstInput ? Access::ConstInput
               : call.access <= Access::ConstObject ? Access::ConstMember
                                                   : Access::Member;
  call.out().pushOwned(std::move(place), access);
}

namespace {

Object& variableArgument(const MethodCall& call) {
  call.require(checkCount(call.args, 2));
  call.require(checkVariable(call.args, 0, false));
  call.require(checkType(call.args, 1, 'x', false));
  return *call.args[0].object;
}

TreeNode& codeArgument(const MethodCall& call) {
  const TreeNode* tree = call.args[1].object->resolve(true).asCode().tree;
  if (tree == nullptr) call.fail(message("erwevacod"));
  return *const_cast<TreeNode*>(tree);
}

}  // namespace

ElementCode::ElementCode(const MethodCall& call, bool constant)
    : call_(call), variable_(variableArgument(call)), code_(codeArgument(call)), savedKind_(variable_.transferKind) {
  variable_.transferKind = constant || call.access <= Access::ConstObject ? Access::ConstMember : Access::Variable;
  // Code is compiled by its content, as evaluateCode asks for it.
  const FastProgram* program = fastProgramOf(code_, true);
  // A condition that calls functions runs as code, where its calls are made once.
  if (program != nullptr && program->yieldsBool() && !program->hasCalls()) condition_ = program;
}

ElementCode::~ElementCode() {
  variable_.transferKind = savedKind_;
  // An element destroyed meanwhile has already turned the variable into a plain value.
  if (!bound_ || !isCallAliasCode(variable_.typeCode)) return;
  Object& element = *variable_.target();
  variable_.clear(false);
  // Bound to this element before, the variable takes its type; a refusal (from a destructor,
  // which cannot raise) would only leave it empty.
  (void)transfer(variable_, element, Transfer::Copy);
}

Object& ElementCode::valueFor(Object& element, ResultList& values) {
  call_.require(transfer(variable_, element, Transfer::CallAlias));
  bound_ = true;
  call_.exec.evaluateCode(code_, call_.context, values);
  if (values.size() != 1) call_.fail(message("erwcodmitgeneinwer"));
  return *values[0].object;
}

bool ElementCode::holdsFor(Object& element) {
  if (condition_ != nullptr) {
    call_.require(transfer(variable_, element, Transfer::CallAlias));
    bound_ = true;
    std::int64_t value;
    if (condition_->run(value)) return value != 0;
  }
  ResultList values;
  Object& value = valueFor(element, values).resolve(true);
  if (value.base() != 'b' || !value.isDefined() || value.isEmpty()) call_.fail(message("erwcodmitboower"));
  return value.boolValue();
}

}  // namespace kavor
