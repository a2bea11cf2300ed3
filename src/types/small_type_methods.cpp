// The methods of the small types `char`, `bool`, `code` and `error`.
#include <cctype>
#include <iterator>
#include <string>

#include "core/error.h"
#include "core/messages.h"
#include "core/payloads.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/method_table.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

Object& heldObject(MethodCall& call) { return call.heldObject(); }
Object& onlyArgument(MethodCall& call) { return call.usedArgument(0); }

// The unnamed calls that set the object: `c.('x')`, `b.(true)`, `k.({...})`.
void assignArgument(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  call.requireModifiable();
  Object& value = onlyArgument(call);
  if (&value != &call.object) copyValue(call.object, value);
}

// `char('x')`, `bool(true)`: a copy of the argument.
void copyArgument(MethodCall& call) {
  Object& value = onlyArgument(call);
  auto copy = std::make_unique<Object>(value.base());
  copyValue(*copy, value);
  call.out().pushOwned(std::move(copy), Access::ConstResult);
}

void pushBool(MethodCall& call, bool value) { call.out().pushOwned(makeBool(value), Access::ConstResult); }

// ---- char --------------------------------------------------------------------------------

unsigned char charOf(MethodCall& call) { return heldObject(call).charValue(); }

template <int (*test)(int)>
void charTest(MethodCall& call) {
  pushBool(call, test(charOf(call)) != 0);
}

// A letter as the str methods count letters: ASCII letters and "_".
void charIsAlpha(MethodCall& call) {
  unsigned char c = charOf(call);
  pushBool(call, c < 128 && (std::isalpha(c) || c == '_'));
}

// The code; a NUL character is stored as the byte 255 and has the code 0.
void charCode(MethodCall& call) {
  unsigned char c = charOf(call);
  call.out().pushOwned(makeInt(c == 0xFF ? 0 : static_cast<long long>(c)), Access::ConstResult);
}

template <int (*change)(int)>
void charChange(MethodCall& call) {
  Object& object = heldObject(call);
  call.requireModifiable();
  unsigned char c = object.charValue();
  if (c < 128) object.setChar(static_cast<unsigned char>(change(c)));
}

int upper(int c) { return std::isupper(c); }
int lower(int c) { return std::islower(c); }
int digit(int c) { return std::isdigit(c); }
int toUpper(int c) { return std::toupper(c); }
int toLower(int c) { return std::tolower(c); }

const MethodEntry kCharMethods[] = {
    {"\xA7" "char;\xA7", false, true, copyArgument},
    {"isupper\xA7\xA7", false, true, charTest<upper>},
    {"islower\xA7\xA7", false, true, charTest<lower>},
    {"isalpha\xA7\xA7", false, true, charIsAlpha},
    {"isdigit\xA7\xA7", false, true, charTest<digit>},
    {"int\xA7\xA7", false, true, charCode},
    {"\xA7" "char;\xA7", false, false, assignArgument},
    {"toupper\xA7\xA7", false, false, charChange<toUpper>},
    {"tolower\xA7\xA7", false, false, charChange<toLower>},
};

const MethodEntry kBoolMethods[] = {
    {"\xA7" "bool;\xA7", false, true, copyArgument},
    {"\xA7" "bool;\xA7", false, false, assignArgument},
};

// ---- code --------------------------------------------------------------------------------

// `k.exec()`: the stored statements run where the call is, as the block would run there.
void codeExec(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  const TreeNode* tree = call.object.asCode().tree;
  if (tree != nullptr) call.exec.executeBlock(const_cast<TreeNode*>(tree), call.context, true);
}

// `k.eval()`: every value the stored expression yields.
void codeEval(MethodCall& call) {
  const TreeNode* tree = heldObject(call).asCode().tree;
  call.exec.evaluateCode(const_cast<TreeNode&>(*tree), call.context, call.out());
}

const MethodEntry kCodeMethods[] = {
    {"\xA7" "code;\xA7", false, false, assignArgument},
    {"exec\xA7\xA7", false, false, codeExec},
    {"eval\xA7\xA7", false, true, codeEval},
};

// ---- error -------------------------------------------------------------------------------

// `error("disk full")`: a new error of the program's own kind, made where the call is.
void errorFromText(MethodCall& call) {
  Object& text = call.args[0].object->resolve(true);
  if (!text.isDefined()) call.fail(fillKey("tesargnicdef", {"1"}));
  auto error = std::make_unique<Object>('e');
  ErrorValue& value = error->asError();
  value.message = text.asStr().text;
  value.kind = ErrorKind::User;
  value.file = call.exec.fileOf(call.node);
  value.line = call.node.line;
  call.out().pushOwned(std::move(error), Access::ConstResult);
}

const ErrorValue& errorOf(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  return call.object.asError();
}

void errorFile(MethodCall& call) { call.out().pushOwned(makeStr(errorOf(call).file), Access::ConstResult); }
void errorLine(MethodCall& call) { call.out().pushOwned(makeInt(errorOf(call).line), Access::ConstResult); }
void errorMessage(MethodCall& call) { call.out().pushOwned(makeStr(errorOf(call).message), Access::ConstResult); }

void errorKind(MethodCall& call) {
  const char* word = "user";
  switch (errorOf(call).kind) {
    case ErrorKind::Syntax: word = "syntax"; break;
    case ErrorKind::System: word = "system"; break;
    case ErrorKind::Analysis: word = "analysis"; break;
    default: break;
  }
  call.out().pushOwned(makeStr(word), Access::ConstResult);
}

// `e.("new text")`: the message replaced, where and what kind it was kept.
void errorSetMessage(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  call.requireModifiable();
  Object& text = call.args[0].object->resolve(true);
  if (!text.isDefined()) call.fail(fillKey("tesargnicdef", {"1"}));
  call.object.asError().message = text.asStr().text;
}

const MethodEntry kErrorMethods[] = {
    {"\xA7str;\xA7", false, true, errorFromText},
    {"file\xA7\xA7", false, true, errorFile},
    {"line\xA7\xA7", false, true, errorLine},
    {"error_type\xA7\xA7", false, true, errorKind},
    {"kind\xA7\xA7", false, true, errorKind},
    {"msg\xA7\xA7", false, true, errorMessage},
    {"\xA7str;\xA7", false, false, errorSetMessage},
};

}  // namespace

void registerSmallTypeMethods() {
  registerMethods('c', kCharMethods, std::size(kCharMethods));
  registerMethods('b', kBoolMethods, std::size(kBoolMethods));
  registerMethods('x', kCodeMethods, std::size(kCodeMethods));
  registerMethods('e', kErrorMethods, std::size(kErrorMethods));
}

}  // namespace kavor
