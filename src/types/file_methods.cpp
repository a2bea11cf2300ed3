// The methods of `file` that treat it as a whole: naming, tests, creating, removing,
// renaming and copying, splitting its contents, and the loop over its lines. The stream
// methods are in file_stream.cpp.
#include "core/messages.h"
#include "core/payloads.h"
#include "core/text_form.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/iteration.h"
#include "exec/token_reader.h"
#include "streams/file_system.h"
#include "types/file_common.h"
#include "types/str_common.h"

namespace kavor {

FILE_DATA& initialisedFile(const MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  FILE_DATA& file = call.object.asFile();
  if (file.name.empty()) call.fail(message("datmusini"));
  return file;
}

const std::string& pathArgument(const MethodCall& call, size_t index, char code) {
  call.require(checkType(call.args, index, code, false));
  const Object& value = call.args[index].object->resolve(true);
  const std::string& path = code == 'f' ? value.asFile().name : value.asDir().path;
  if (path.empty()) call.fail(message(code == 'f' ? "datmusini" : "vermusini"));
  return path;
}

namespace {

// `file(path)`: a file value naming the path; `file()` one without a path.
void fileBuild(MethodCall& call) {
  call.require(checkCountRange(call.args, 0, 1));
  auto made = std::make_unique<Object>('f');
  if (!call.args.empty()) made->asFile().name = textArgument(call, 0, false);
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

// `f.(path)` names another file; `f.(path, mode)` also opens it in that mode. An open
// stream belongs to the old name, so it is closed first.
void fileAssign(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  call.requireModifiable();
  call.require(checkCountRange(call.args, 1, 2));
  std::string path = textArgument(call, 0, false);
  std::string mode = call.args.size() == 2 ? textArgument(call, 1, true) : "";
  FILE_DATA& file = call.object.asFile();
  file.close();
  file.name = std::move(path);
  if (!mode.empty()) call.require(file.open(mode));
}

void fileExists(MethodCall& call) {
  call.out().pushOwned(makeBool(initialisedFile(call).exists()), Access::ConstResult);
}

void fileByteCount(MethodCall& call) {
  Outcome<int64_t> size = fileSize(initialisedFile(call).name);
  call.require(size.failure);
  call.out().pushOwned(makeInt(static_cast<long long>(size.value)), Access::ConstResult);
}

// perm('r'), perm('w'), perm('x'): the owner's permission bits, which say the same for
// every user and so also for a program run by the superuser.
void filePerm(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  call.require(checkType(call.args, 0, 'c', true));
  char which = static_cast<char>(call.args[0].object->resolve(true).charValue());
  if (which != 'r' && which != 'w' && which != 'x') call.fail(message("erwargrwx"));
  call.out().pushOwned(makeBool(fileOwnerMay(file.name, which)), Access::ConstResult);
}

// cmp(other): whether both files hold the same bytes.
void fileCompare(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  Outcome<bool> same = sameContents(file.name, pathArgument(call, 0, 'f'));
  call.require(same.failure);
  call.out().pushOwned(makeBool(same.value), Access::ConstResult);
}

void fileOpen(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  call.require(file.open(textArgument(call, 0, true)));
}

void fileClose(MethodCall& call) { initialisedFile(call).close(); }

// The operations on the file as a whole see what was written: the stream is closed first.
void fileRemove(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  file.close();
  call.require(removeFile(file.name));
}

void fileMove(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  const std::string& target = pathArgument(call, 0, 'f');
  file.close();
  call.require(moveFile(file.name, target));
}

void fileMake(MethodCall& call) { call.require(makeEmptyFile(initialisedFile(call).name)); }

void fileCopy(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  const std::string& target = pathArgument(call, 0, 'f');
  file.close();
  call.require(copyFile(file.name, target));
}

// split, anysplit: the tokens of the whole file, read through a stream of its own so that
// the file's own read position stays where it is.
template <bool Typed>
void fileSplit(MethodCall& call) {
  FILE_DATA& file = initialisedFile(call);
  std::vector<std::string> separators;
  for (size_t i = 0; i < call.args.size(); ++i) {
    separators.push_back(textArgument(call, i, false));
    if (separators.back().empty()) call.fail(message("leezeiketsepunz"));
  }
  if (separators.empty()) separators = standardSeparators();
  if (!isRegularFile(file.name)) call.fail(fillKey("datexinic", {file.name}));
  FILE_DATA reader(file.name);
  call.require(reader.open("i"));
  std::string token;
  for (;;) {
    Outcome<bool, Failure> read = readToken(reader, separators, token);
    call.require(read.failure);
    if (!read.value) break;
    call.out().pushOwned(Typed ? mostSpecificValue(std::move(token)) : makeStr(std::move(token)),
                         Access::ConstResult);
  }
}

// for(variable, {body}) and For: the file is read again from its start, and each line,
// converted to the variable's type, is assigned to the variable.
template <bool Backwards>
void fileLoop(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  call.require(checkCount(call.args, 2));
  call.require(checkVariable(call.args, 0, false));
  call.require(checkType(call.args, 1, 'x', false));
  FILE_DATA& file = initialisedFile(call);
  file.close();
  call.require(file.open("i"));
  std::vector<std::string> lines = readAllLines(file);
  file.close();
  for (size_t step = 0; step < lines.size(); ++step) {
    const std::string& line = lines[Backwards ? lines.size() - 1 - step : step];
    call.require(convertString(line, *call.args[0].object));
    if (runLoopBody(call.exec, call.args[1], call.context, call.results)) break;
  }
}

const MethodEntry kFileMethods[] = {
    {"\xA7", true, true, fileBuild},
    {"\xA7", true, false, fileAssign},
    {"exists\xA7\xA7", false, true, fileExists},
    {"size\xA7\xA7", false, true, fileByteCount},
    {"perm\xA7" "char;\xA7", false, true, filePerm},
    {"cmp\xA7" "file;\xA7", false, true, fileCompare},
    {"split\xA7", true, true, fileSplit<false>},
    {"anysplit\xA7", true, true, fileSplit<true>},
    {"open\xA7str;\xA7", false, false, fileOpen},
    {"close\xA7\xA7", false, false, fileClose},
    {"remove\xA7\xA7", false, false, fileRemove},
    {"move\xA7" "file;\xA7", false, false, fileMove},
    {"make\xA7\xA7", false, false, fileMake},
    {"copy\xA7" "file;\xA7", false, false, fileCopy},
    {"for\xA7", true, false, fileLoop<false>},
    {"For\xA7", true, false, fileLoop<true>},
    {"for\xA7", true, true, fileLoop<false>},
    {"For\xA7", true, true, fileLoop<true>},
};

}  // namespace

void registerFileMethods() {
  registerMethods('f', kFileMethods, std::size(kFileMethods));
  registerFileStreamMethods();
}

}  // namespace kavor
