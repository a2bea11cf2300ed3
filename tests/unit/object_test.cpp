// The object model: states, type names, the chains of indirections, structural equality
// with cycles, list records and hash tables.
#include <gtest/gtest.h>

#include "core/containers.h"
#include "core/object.h"
#include "core/payloads.h"
#include "numbers/bigint.h"
#include "streams/str_data.h"

namespace kavor {
namespace {

std::unique_ptr<Object> makeInt(long long n) {
  auto object = std::make_unique<Object>('i');
  object->asInt() = BigInt(static_cast<std::int64_t>(n));
  return object;
}

std::unique_ptr<Object> makeStr(const std::string& text) {
  auto object = std::make_unique<Object>('s');
  object->asStr().text = text;
  return object;
}

TEST(ObjectStates, NewValuesAreDefinedAndEmpty) {
  Object flag('b'), letter('c'), number('i'), text('s'), list('l');
  for (Object* object : {&flag, &letter, &number, &text, &list}) {
    EXPECT_TRUE(object->isDefined()) << object->typeCode;
    EXPECT_TRUE(object->isEmpty()) << object->typeCode;
  }
  EXPECT_EQ(flag.word, 65535u);
  Object undefinedAny('V'), emptyAny('v');
  EXPECT_FALSE(undefinedAny.isDefined());
  EXPECT_TRUE(emptyAny.isDefined());
}

TEST(ObjectStates, AnyHoldingListClearsToUndefinedAndEmptiesToNothing) {
  Object list('l');
  Object holder('v');
  ASSERT_EQ(transfer(holder, list, Transfer::Copy).text(), "");
  EXPECT_EQ(holder.typeCode, 'L');
  holder.clear(true);
  EXPECT_EQ(holder.typeCode, 'V');
  ASSERT_EQ(transfer(holder, list, Transfer::Copy).text(), "");
  holder.makeEmpty();
  EXPECT_EQ(holder.typeCode, 'v');
}

TEST(TypeNames, HeldIndirectAndUnknown) {
  Object holder('v');
  auto number = makeInt(5);
  ASSERT_EQ(transfer(holder, *number, Transfer::Copy).text(), "");
  EXPECT_EQ(typeName(holder, false), "any");
  EXPECT_EQ(typeName(holder, true), "int");
  Object reference('i');
  ASSERT_EQ(transfer(reference, *number, Transfer::Reference).text(), "");
  EXPECT_EQ(reference.typeCode, 'p');
  EXPECT_EQ(typeName(reference), "int");
  Object odd('w');
  EXPECT_EQ(typeName(odd), "?");
  EXPECT_EQ(typeCodeOf("need"), 'k');
  EXPECT_EQ(typeCodeOf("datetime"), '4');
}

TEST(Indirections, DestroyingTargetLeavesIndependentEmptyObjects) {
  auto target = makeInt(7);
  Object first('i'), second('i');
  ASSERT_EQ(transfer(first, *target, Transfer::Reference).text(), "");
  ASSERT_EQ(transfer(second, *target, Transfer::Reference).text(), "");
  EXPECT_EQ(target->referenceChain(), &second);
  EXPECT_EQ(second.chainNext(), &first);
  target.reset();
  for (Object* object : {&first, &second}) {
    EXPECT_EQ(object->typeCode, 'i');
    EXPECT_TRUE(object->isDefined());
    EXPECT_TRUE(object->isEmpty());
    EXPECT_EQ(object->chainPrev(), nullptr);
    EXPECT_EQ(object->chainNext(), nullptr);
  }
}

TEST(Indirections, UnlinkFromMiddleOfChainKeepsOthersLinked) {
  auto target = makeInt(1);
  Object a('i'), b('i'), c('i');
  for (Object* object : {&a, &b, &c}) ASSERT_EQ(transfer(*object, *target, Transfer::Reference).text(), "");
  b.clear(false);  // chain was c, b, a
  EXPECT_FALSE(b.isDefined());
  EXPECT_EQ(target->referenceChain(), &c);
  EXPECT_EQ(c.chainNext(), &a);
  EXPECT_EQ(a.chainPrev(), &c);
}

TEST(Indirections, LinksLastOnlyWhileAChainRunsThroughTheObject) {
  auto target = makeInt(3);
  Object reference('i'), alias('i');
  alias.scopeVariable = 1;
  target->scopeVariable = 1;
  ASSERT_EQ(transfer(reference, *target, Transfer::Reference).text(), "");
  ASSERT_EQ(transfer(alias, *target, Transfer::Alias).text(), "");
  EXPECT_TRUE(target->hasLinks());
  reference.clear(false);
  EXPECT_FALSE(reference.hasLinks());
  EXPECT_TRUE(target->hasLinks());
  alias.clear(false);
  EXPECT_FALSE(alias.hasLinks());
  EXPECT_FALSE(target->hasLinks());
  target->setSerial(5);
  EXPECT_EQ(target->serial(), 5);
  target->setSerial(-1);
  EXPECT_FALSE(target->hasLinks());
}

TEST(Indirections, ReferenceChecks) {
  auto x = makeInt(1);
  EXPECT_EQ(transfer(*x, *x, Transfer::Reference).text(), "Self-reference not allowed");
  Object a('i'), b('i');
  a.scopeVariable = b.scopeVariable = 1;
  ASSERT_EQ(transfer(a, b, Transfer::Reference).text(), "");
  EXPECT_EQ(transfer(b, a, Transfer::Reference).text(), "Cascading reference not allowed");
  auto text = makeStr("s");
  Object r('i');
  EXPECT_EQ(transfer(r, *text, Transfer::Reference).text(),
            "Reference assignment only for equal types ('int' <- 'str')");
  Object anyRef('v');
  EXPECT_EQ(transfer(anyRef, *text, Transfer::Reference).text(), "");
  Object element('i');
  EXPECT_EQ(transfer(element, *x, Transfer::Alias).text(), "Alias assignment only allowed for scope variables");
}

TEST(Indirections, MovementLeavesSourceUndefined) {
  auto x = makeInt(42);
  Object y('i');
  EXPECT_EQ(transfer(*x, *x, Transfer::Move).text(), "Self-movement not allowed");
  ASSERT_EQ(transfer(y, *x, Transfer::Move).text(), "");
  EXPECT_FALSE(x->isDefined());
  EXPECT_EQ(y.asInt().toText(), "42");
}

TEST(Equality, StringsCompareUpToEmbeddedZero) {
  auto a = makeStr(std::string("ab\0cd", 5));
  auto b = makeStr(std::string("ab\0xy", 5));
  EXPECT_TRUE(equals(*a, *b));
  auto c = makeStr("abc");
  EXPECT_FALSE(equals(*a, *c));
}

TEST(Equality, ListsReferringToEachOtherTerminate) {
  Object a('l'), b('l');
  Object refToB('v'), refToA('v');
  ASSERT_EQ(transfer(refToB, b, Transfer::Reference).text(), "");
  ASSERT_EQ(transfer(refToA, a, Transfer::Reference).text(), "");
  ASSERT_EQ(a.asList().append(refToB, Transfer::SameOrCopy).text(), "");
  ASSERT_EQ(b.asList().append(refToA, Transfer::SameOrCopy).text(), "");
  EXPECT_TRUE(equals(a, a));
  // Each is a one-element list referring to the other: the two cycles have one shape.
  EXPECT_TRUE(equals(a, b));
  // The comparison leaves no marks behind: the lists compare the same way again.
  EXPECT_TRUE(equals(a, b));
}

TEST(Equality, CopiedListsAreEqualAndIndependent) {
  Object a('l');
  auto one = makeInt(1), two = makeInt(2);
  ASSERT_EQ(a.asList().append(*one, Transfer::Copy).text(), "");
  ASSERT_EQ(a.asList().append(*two, Transfer::Copy).text(), "");
  Object b('l');
  ASSERT_EQ(transfer(b, a, Transfer::Copy).text(), "");
  EXPECT_TRUE(equals(a, b));
  b.asList().at(0).asInt() = BigInt(static_cast<std::int64_t>(9));
  EXPECT_FALSE(equals(a, b));
}

TEST(ListRecord, InsertRemoveAndFrontRemovalStayConsistent) {
  ListRecord list;
  for (int i = 0; i < 100; ++i) ASSERT_EQ(list.append(*makeInt(i), Transfer::Copy).text(), "");
  for (int i = 0; i < 60; ++i) list.remove(0);
  EXPECT_EQ(list.size(), 40u);
  EXPECT_EQ(list.at(0).asInt().toText(), "60");
  ASSERT_EQ(list.insert(0, *makeInt(-1), Transfer::Copy).text(), "");
  ASSERT_EQ(list.insert(5, *makeInt(-5), Transfer::Copy).text(), "");
  EXPECT_EQ(list.at(0).asInt().toText(), "-1");
  EXPECT_EQ(list.at(5).asInt().toText(), "-5");
  EXPECT_EQ(list.at(6).asInt().toText(), "64");
  EXPECT_EQ(list.elementIndex(*makeInt(64), 0, false), 6);
  EXPECT_EQ(list.elementIndex(*makeInt(1000), 0, true), -1);
}

TEST(HashTable, NameHashAndReferenceKeys) {
  EXPECT_EQ(nameHash(""), 0);
  EXPECT_EQ(nameHash("ab"), ('a' + 256 * 'b') % 97);
  HashTable table;
  auto five = makeInt(5);
  Object reference('v');
  ASSERT_EQ(transfer(reference, *five, Transfer::Reference).text(), "");
  ASSERT_EQ(table.insert(*five, nullptr, Transfer::Copy, Transfer::Copy).text(), "");
  EXPECT_TRUE(table.contains(*makeInt(5)));
  EXPECT_FALSE(table.contains(reference));  // a reference key differs from an equal value
  ASSERT_EQ(table.insert(reference, nullptr, Transfer::ReferenceOrCopy, Transfer::Copy).text(), "");
  EXPECT_TRUE(table.contains(reference));
  EXPECT_EQ(table.count, 2);
  EXPECT_TRUE(table.remove(*makeInt(5)));
  EXPECT_EQ(table.entries().size(), 1u);
}

// The side index must find every key after removals shift its probe runs, and the visible
// order stays bucket by bucket, in insertion order within a bucket.
TEST(HashTable, KeysStayFoundThroughRemovalsAndGrowth) {
  HashTable table;
  for (int i = 0; i < 3000; ++i) {
    auto key = i % 2 ? makeInt(i) : makeStr("k" + std::to_string(i));
    ASSERT_EQ(table.insert(*key, makeInt(i).get(), Transfer::Copy, Transfer::Copy).text(), "");
  }
  for (int i = 0; i < 3000; i += 3) {
    auto key = i % 2 ? makeInt(i) : makeStr("k" + std::to_string(i));
    ASSERT_TRUE(table.remove(*key));
  }
  EXPECT_EQ(table.count, 2000);
  for (int i = 0; i < 3000; ++i) {
    auto key = i % 2 ? makeInt(i) : makeStr("k" + std::to_string(i));
    HashEntry* entry = table.find(*key);
    ASSERT_EQ(entry != nullptr, i % 3 != 0) << i;
    if (entry) {
      EXPECT_EQ(entry->value->asInt().toText(), std::to_string(i));
    }
  }
  const std::vector<HashEntry*>& order = table.entries();
  ASSERT_EQ(order.size(), 2000u);
  for (size_t i = 1; i < order.size(); ++i) {
    ASSERT_LE(order[i - 1]->bucket, order[i]->bucket);
    if (order[i - 1]->bucket == order[i]->bucket) {
      EXPECT_LT(*order[i - 1]->value->asInt().toInt64(), *order[i]->value->asInt().toInt64());
    }
  }
  // Strs are equal up to their first zero byte, and so must be their hashes.
  auto withZero = makeStr(std::string("ab\0cd", 5));
  ASSERT_EQ(table.insert(*withZero, makeInt(1).get(), Transfer::Copy, Transfer::Copy).text(), "");
  EXPECT_TRUE(table.contains(*makeStr(std::string("ab\0xy", 5))));
}

}  // namespace
}  // namespace kavor
