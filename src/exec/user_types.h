// Values of user-defined types at run time: their prototypes, their members and the calls
// of their type procedures and functions.
#pragma once

#include <vector>

#include "exec/executor.h"

namespace kavor {

struct TypeRecord;

// The record of the type named `name` as seen from `node`, or null.
TypeRecord* typeNamed(TreeNode& node, const std::string& name);

// Builds the prototype of every type (its members in their initial state), each after the
// types of its members. Runs once, before the program's first statement; a member whose
// initialisation fails ends the run as an error of the definition.
void buildPrototypes(Executor& exec, const std::vector<TypeRecord*>& types);

// A name bound to a member inside a type's routine: the member of the current object.
void evalMemberVariable(Executor& exec, TreeNode& node, const ExecContext& context, ResultList& results);

// `x.m` on a user value `object` (resolved) reached with access `objectAccess`; `qualifier`
// is the type written in `x.T:m`, or null.
void appendMember(Executor& exec, TreeNode& item, Object& object, int objectAccess, const TypeRecord* qualifier,
                  ResultList& results);

// An item `T:f(...)` or `T:m` right of "." on `object`: true when it was one and has run.
bool applyQualifiedItem(Executor& exec, TreeNode& item, const ExecContext& context, Object& object, int objectAccess,
                        ResultList* results);
// `T:f(...)` standing alone inside a type's routine: the routine of the basic type T on the
// current object. False when `node` is no such form.
bool callQualifiedOnThis(Executor& exec, TreeNode& node, const ExecContext& context, ResultList* results);

// Writes `value` with its type's procedure `out` (no inputs) when it is a user value whose
// type has one; false, with nothing written, otherwise.
bool writeByOutProcedure(Executor& exec, TreeNode& node, Object& value);

}  // namespace kavor
