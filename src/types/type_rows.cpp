// The one list of the built-in types: each base type code with the row its type's file
// defines. A new type is its file with its row, plus its line here.
#include "core/type_table.h"

namespace kavor {

extern const TypeOps kDateOps, kTimezoneOps, kDateTimeOps, kTimeOps;
extern const TypeOps kArrayOps, kArray2Ops, kGraphOps;
extern const TypeOps kBoolOps, kCharOps, kOperOps, kSysOps;
extern const TypeOps kIntOps, kRealOps, kStrOps;
extern const TypeOps kFileOps, kDirOps, kErrorOps, kCodeOps;
extern const TypeOps kListOps, kArgsOps, kHashOps, kSetOps, kAny2Ops, kUserOps;

namespace {

constexpr std::pair<TypeCode, const TypeOps*> kBuiltinTypes[] = {
    {'0', &kDateOps},  {'2', &kTimezoneOps}, {'4', &kDateTimeOps}, {'t', &kTimeOps},
    {'a', &kArrayOps}, {'z', &kArray2Ops},   {'g', &kGraphOps},
    {'b', &kBoolOps},  {'c', &kCharOps},     {'o', &kOperOps},     {'n', &kSysOps},
    {'i', &kIntOps},   {'r', &kRealOps},     {'s', &kStrOps},
    {'f', &kFileOps},  {'d', &kDirOps},      {'e', &kErrorOps},    {'x', &kCodeOps},
    {'l', &kListOps},  {'y', &kArgsOps},     {'h', &kHashOps},     {'m', &kSetOps},
    {'u', &kAny2Ops},  {'k', &kUserOps},
};

}  // namespace

constinit const TypeTable kTypeTable = buildTypeTable(kBuiltinTypes);

}  // namespace kavor
