// The methods of `dir`: naming, the existence test, the entry count, creating, removing,
// renaming and copying whole trees, and the loop over the entries.
#include "core/messages.h"
#include "core/payloads.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/iteration.h"
#include "streams/file_handle.h"
#include "streams/file_system.h"
#include "types/file_common.h"
#include "types/str_common.h"

namespace kavor {

namespace {

// The path of the directory a method works on: defined and given a path ("Directory must be
// initialised").
const std::string& initialisedPath(const MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  const std::string& path = call.object.asDir().path;
  if (path.empty()) call.fail(message("vermusini"));
  return path;
}

// As initialisedPath, and the directory must exist ("Directory '%s' does not exist").
const std::string& existingPath(const MethodCall& call) {
  const std::string& path = initialisedPath(call);
  if (!isDirectory(path)) call.fail(fillKey("verexinic", {path}));
  return path;
}

void dirBuild(MethodCall& call) {
  call.require(checkCountRange(call.args, 0, 1));
  auto made = std::make_unique<Object>('d');
  if (!call.args.empty()) made->asDir().path = textArgument(call, 0, false);
  call.out().pushOwned(std::move(made), Access::ConstResult);
}

void dirAssign(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  call.requireModifiable();
  call.require(checkCount(call.args, 1));
  call.object.asDir().path = textArgument(call, 0, false);
}

void dirExists(MethodCall& call) {
  call.out().pushOwned(makeBool(isDirectory(initialisedPath(call))), Access::ConstResult);
}

void dirSize(MethodCall& call) {
  Outcome<std::vector<DirectoryEntry>> listing = listDirectory(existingPath(call), "*", false);
  call.require(listing.failure);
  call.out().pushOwned(makeInt(static_cast<long long>(listing.value.size())), Access::ConstResult);
}

void dirMake(MethodCall& call) { call.require(makeDirectory(initialisedPath(call))); }
void dirRemove(MethodCall& call) { call.require(removeTree(existingPath(call))); }

void dirMove(MethodCall& call) {
  const std::string& path = existingPath(call);
  call.require(moveDirectory(path, pathArgument(call, 0, 'd')));
}

void dirCopy(MethodCall& call) {
  const std::string& path = existingPath(call);
  call.require(copyTree(path, pathArgument(call, 0, 'd')));
}

// for(pattern, below, variable, {body}) and For: the entries whose names match the shell
// pattern, in name order (For: the reverse), with `below` those of every subdirectory too,
// each right after its directory. The variable's type chooses what it is bound to: a `str`
// gets every entry's path relative to the directory, a `file` the files (as paths joined to
// the directory's), a `dir` the subdirectories.
template <bool Backwards>
void dirLoop(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
  call.require(checkCount(call.args, 4));
  const std::string& pattern = textArgument(call, 0, false);
  call.require(checkType(call.args, 1, 'b', true));
  bool below = call.args[1].object->resolve(true).boolValue();
  call.require(checkVariable(call.args, 2, false));
  call.require(checkType(call.args, 3, 'x', false));
  const std::string path = existingPath(call);
  Outcome<std::vector<DirectoryEntry>> listing = listDirectory(path, pattern, below);
  call.require(listing.failure);
  Object& variable = *call.args[2].object;
  const TypeCode wanted = variable.resolve(true).base();
  const std::string prefix = path.back() == '/' ? path : path + "/";
  std::vector<DirectoryEntry>& entries = listing.value;
  for (size_t step = 0; step < entries.size(); ++step) {
    const DirectoryEntry& entry = entries[Backwards ? entries.size() - 1 - step : step];
    Object bound(wanted == 'f' || wanted == 'd' ? wanted : 's');
    if (wanted == 'f') {
      if (entry.isDirectory) continue;
      bound.asFile().name = prefix + entry.name;
    } else if (wanted == 'd') {
      if (!entry.isDirectory) continue;
      bound.asDir().path = prefix + entry.name;
    } else {
      bound.asStr().text = entry.name;
    }
    call.require(transfer(variable, bound, Transfer::Copy));
    if (runLoopBody(call.exec, call.args[3], call.context, call.results)) break;
  }
}

const MethodEntry kDirMethods[] = {
    {"\xA7", true, true, dirBuild},
    {"\xA7", true, false, dirAssign},
    {"exists\xA7\xA7", false, true, dirExists},
    {"size\xA7\xA7", false, true, dirSize},
    {"make\xA7\xA7", false, false, dirMake},
    {"remove\xA7\xA7", false, false, dirRemove},
    {"move\xA7" "dir;\xA7", false, false, dirMove},
    {"copy\xA7" "dir;\xA7", false, false, dirCopy},
    {"for\xA7", true, false, dirLoop<false>},
    {"For\xA7", true, false, dirLoop<true>},
    {"for\xA7", true, true, dirLoop<false>},
    {"For\xA7", true, true, dirLoop<true>},
};

}  // namespace

void registerDirMethods() { registerMethods('d', kDirMethods, std::size(kDirMethods)); }

}  // namespace kavor
