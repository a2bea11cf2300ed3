// The table of per-type operations, exercised row by row: every registered type must make
// empty values, copy them into equal and independent values, tell them from its non-empty
// values, read back what it writes, and let loops notice a released payload.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/binary_form.h"
#include "core/containers.h"
#include "core/payloads.h"
#include "core/text_output.h"
#include "core/type_table.h"
#include "frontend/tree_node.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "streams/file_data.h"
#include "streams/str_data.h"
#include "types/graph.h"

namespace kavor {
namespace {

// What the tests need to know of one type beyond its row.
struct Sample {
  // Turns an empty value into a non-empty one; empty for the types that have only their
  // empty value so far.
  std::function<void(Object&)> fill;
  // A text the type's reader must refuse; nullptr where it reads every text or none.
  const char* refusedText = nullptr;
};

std::unique_ptr<Object> intValue(const char* digits) {
  auto number = std::make_unique<Object>('i');
  number->asInt() = *BigInt::fromText(digits);
  return number;
}

std::unique_ptr<Object> strValue(const char* text) {
  auto string = std::make_unique<Object>('s');
  string->asStr().text = text;
  return string;
}

// A part as containers hold it: an any that holds the value.
std::unique_ptr<Object> heldValue(std::unique_ptr<Object> value) {
  auto held = std::make_unique<Object>();
  EXPECT_EQ(held->constructByTransfer(*value, Transfer::Copy).text(), "");
  return held;
}

class TypeTableTest : public ::testing::Test {
 protected:
  TypeTableTest() {
    // A user-defined type `point` whose prototype holds one int member, 0.
    point_.name = "point";
    auto* record = new UserValue();
    record->type = &point_;
    record->groups = std::make_unique<MemberGroups>(1);
    record->groups->front().push_back(std::make_unique<Object>('i'));
    record->groups->front().front()->asInt() = BigInt(0);
    point_.prototype = std::make_unique<Object>();
    point_.prototype->constructUser(record);
  }

  // Every base code with a row of its own (any included).
  static std::vector<TypeCode> registeredCodes() {
    std::vector<TypeCode> codes;
    for (int c = 0; c < 256; ++c) {
      auto code = static_cast<TypeCode>(c);
      if (baseCode(code) == code && hasTypeOps(code)) codes.push_back(code);
    }
    return codes;
  }

  // A fresh empty value of the type; a user value is typed by its record first.
  std::unique_ptr<Object> emptyValue(TypeCode code) {
    auto object = std::make_unique<Object>(code);
    if (code == 'k') {
      object->asUser().type = &point_;
      object->createPayload();
    }
    return object;
  }

  std::unique_ptr<Object> sampleValue(TypeCode code) {
    auto object = emptyValue(code);
    samples_.at(code).fill(*object);
    return object;
  }

  TypeRecord point_;
  TreeNode block_;
  // Every registered type must be listed: a new type gets its sample here.
  const std::map<TypeCode, Sample> samples_ = {
      {'v', {}},
      {'b', {[](Object& o) { o.setBool(false); }, "yes"}},
      {'c', {[](Object& o) { o.setChar('x'); }, "xy"}},
      {'o', {[](Object& o) { o.word = '+' | ('=' << 8); }}},
      {'n', {}},
      {'i', {[](Object& o) { o.asInt() = *BigInt::fromText("-123456789012345678901234567890"); }, "12a"}},
      {'r', {[](Object& o) { o.asReal() = BigReal::fromText("2.5").value; }, "1.2.3"}},
      {'s', {[](Object& o) { o.asStr().text = "two words"; }}},
      {'f', {[](Object& o) { o.asFile().name = "notes.txt"; }}},
      {'d', {[](Object& o) { o.asDir().path = "/tmp"; }}},
      {'e', {[](Object& o) { o.asError().message = "disk full"; }}},
      {'x', {[this](Object& o) { o.asCode().tree = &block_; }}},
      {'l', {[](Object& o) {
         ASSERT_EQ(o.asList().append(*intValue("1"), Transfer::Copy).text(), "");
         ASSERT_EQ(o.asList().append(*strValue("a"), Transfer::Copy).text(), "");
       }}},
      {'y', {[](Object& o) { ASSERT_EQ(o.asList().append(*intValue("7"), Transfer::Copy).text(), ""); }}},
      {'h', {[](Object& o) {
         ASSERT_EQ(o.asHash().insert(*strValue("key"), intValue("1").get(), Transfer::Copy, Transfer::Copy).text(), "");
       }}},
      {'m', {[](Object& o) {
         ASSERT_EQ(o.asHash().insert(*intValue("3"), nullptr, Transfer::Copy, Transfer::Copy).text(), "");
       }}},
      {'u', {[](Object& o) {
         ASSERT_EQ(transfer(o.asAny2().first, *intValue("1"), Transfer::Copy).text(), "");
         ASSERT_EQ(transfer(o.asAny2().second, *strValue("b"), Transfer::Copy).text(), "");
       }}},
      {'k', {[](Object& o) { o.asUser().groups->front().front()->asInt() = BigInt(7); }}},
      {'a', {[](Object& o) {
         arrayOf(o).slots.resize(3);
         arrayOf(o).slots[1] = std::make_unique<Object>();
         ASSERT_EQ(transfer(*arrayOf(o).slots[1], *intValue("5"), Transfer::Copy).text(), "");
       }}},
      {'z', {[](Object& o) {
         arrayOf(o).columns = 2;
         arrayOf(o).slots.resize(4);
         arrayOf(o).slots[3] = std::make_unique<Object>();
         ASSERT_EQ(transfer(*arrayOf(o).slots[3], *strValue("c"), Transfer::Copy).text(), "");
       }}},
      {'g', {[](Object& o) {
         std::vector<std::unique_ptr<Object>> values;
         values.push_back(heldValue(intValue("1")));
         values.push_back(heldValue(strValue("a")));
         GraphRecord& graph = graphOf(o);
         graph.insertNodes(0, values);
         graph.addEdge(graph.node(0), graph.node(1), heldValue(intValue("5")));
       }}},
      {'0', {[](Object& o) { ASSERT_TRUE(typeOps('0').readText("-44-03-15", o)); }, "2023-02-29"}},
      {'2', {[](Object& o) { ASSERT_TRUE(typeOps('2').readText("-09:45", o)); }, "+14:01"}},
      {'4', {[](Object& o) { ASSERT_TRUE(typeOps('4').readText("2024-12-31 23:59:59 +05:30", o)); },
             "2024-12-31 24:00:00 +05:30"}},
      {'t', {[](Object& o) { ASSERT_TRUE(typeOps('t').readText("00:00:00", o)); }, "7:00:00"}},
  };
};

// The Objects a value holds directly, through its row.
std::set<const Object*> partsOf(const Object& object) {
  struct Collect final : PartVisitor {
    std::set<const Object*> parts;
    void visit(Object& part) override { parts.insert(&part); }
  } collect;
  if (typeOps(object.typeCode).visitParts != nullptr) typeOps(object.typeCode).visitParts(object, collect);
  return collect.parts;
}

TEST_F(TypeTableTest, RowsAreCompleteAndNamedOnce) {
  std::set<std::string> names;
  for (TypeCode code : registeredCodes()) {
    SCOPED_TRACE(std::string("type code ") + code);
    EXPECT_TRUE(samples_.count(code)) << "no sample for this type";
    const TypeOps& row = typeOps(code);
    EXPECT_EQ(&typeOps(heldCode(code)), &row);
    EXPECT_TRUE(row.create && row.release && row.copy && row.equals && row.isEmpty && row.makeEmpty);
    EXPECT_TRUE(isValidCode(code));
    // A loop over the elements counts itself, so that changes of the structure are refused
    // while it runs, and it takes at least one loop variable.
    if (row.elementLoop != nullptr) {
      EXPECT_NE(row.loopsRunning, nullptr);
      EXPECT_GE(row.loopVariablesFewest, 1);
      EXPECT_LE(row.loopVariablesFewest, row.loopVariablesMost);
    }
    if (code == 'k') {
      EXPECT_EQ(row.name, nullptr);  // a user-defined value is named by its type record
      continue;
    }
    ASSERT_NE(row.name, nullptr);
    EXPECT_TRUE(names.insert(row.name).second) << row.name << " named twice";
    EXPECT_EQ(typeCodeOf(row.name), code);
    EXPECT_STREQ(typeNameOfCode(code), row.name);
  }
  EXPECT_FALSE(isValidCode('w'));
  EXPECT_STREQ(typeNameOfCode('w'), "?");
}

TEST_F(TypeTableTest, OperatorRowsAreConsistent) {
  for (TypeCode code : registeredCodes()) {
    SCOPED_TRACE(std::string("type code ") + code);
    const TypeOps& row = typeOps(code);
    // The three fields of the compound operators come together.
    bool operators = row.compoundOperators != nullptr;
    EXPECT_EQ(row.acceptsOperand != nullptr, operators);
    EXPECT_EQ(row.compound != nullptr, operators);
    if (operators) {
      EXPECT_TRUE(row.acceptsOperand(code)) << "a type combines with itself";
    }
    // An ordered type orders a value as equal to itself and to its copy, and the sample
    // after its empty value unless the empty value is no value at all.
    if (!row.order || !samples_.at(code).fill) continue;
    auto value = sampleValue(code), copy = emptyValue(code);
    copyValue(*copy, *value);
    EXPECT_TRUE(row.order(*value, *value) == 0);
    EXPECT_TRUE(row.order(*value, *copy) == 0);
    if (!row.emptyIsNoValue) {
      auto empty = emptyValue(code);
      EXPECT_TRUE(row.order(*empty, *value) < 0);
    }
  }
  // Adding to an int reaches the number operations through the row.
  auto sum = sampleValue('i');
  auto before = sampleValue('i');
  EXPECT_FALSE(typeOps('i').compound('+', *sum, *before));
  EXPECT_FALSE(equals(*sum, *before));
}

TEST_F(TypeTableTest, EmptyValuesAreDefinedEqualAndReleasable) {
  for (TypeCode code : registeredCodes()) {
    SCOPED_TRACE(std::string("type code ") + code);
    auto first = emptyValue(code), second = emptyValue(code);
    EXPECT_TRUE(first->isDefined());
    EXPECT_TRUE(first->isEmpty());
    EXPECT_TRUE(equals(*first, *second));
    copyValue(*second, *first);
    EXPECT_TRUE(second->isEmpty());
    EXPECT_TRUE(equals(*first, *second));
    first->makeEmpty();
    EXPECT_TRUE(first->isEmpty());
    first->clear(false);
    EXPECT_FALSE(first->isDefined());
    // A released value takes a value again.
    copyValue(*first, *second);
    EXPECT_TRUE(first->isDefined());
    EXPECT_TRUE(equals(*first, *second));
  }
}

TEST_F(TypeTableTest, CopiesAreEqualAndIndependent) {
  for (TypeCode code : registeredCodes()) {
    if (!samples_.at(code).fill) continue;
    SCOPED_TRACE(std::string("type code ") + code);
    auto source = sampleValue(code);
    auto empty = emptyValue(code);
    EXPECT_FALSE(source->isEmpty());
    EXPECT_FALSE(equals(*source, *empty));
    EXPECT_FALSE(equals(*empty, *source));

    auto copy = emptyValue(code);
    copyValue(*copy, *source);
    EXPECT_TRUE(equals(*copy, *source));
    EXPECT_TRUE(equals(*source, *copy));
    // The copy holds parts of its own, never the source's.
    for (const Object* part : partsOf(*copy)) EXPECT_FALSE(partsOf(*source).count(part));

    // An any takes the value under the held code and compares equal as well.
    Object holder('v');
    copyValue(holder, *source);
    EXPECT_EQ(holder.typeCode, heldCode(code));
    EXPECT_TRUE(equals(holder, *source));

    copy->makeEmpty();
    EXPECT_TRUE(copy->isEmpty());
    EXPECT_TRUE(equals(*copy, *empty));
    EXPECT_FALSE(source->isEmpty());
    EXPECT_TRUE(equals(holder, *source));
  }
}

TEST_F(TypeTableTest, WhatATypeWritesItReadsBack) {
  for (TypeCode code : registeredCodes()) {
    const TypeOps& row = typeOps(code);
    if (row.readText == nullptr) continue;
    SCOPED_TRACE(std::string("type code ") + code);
    ASSERT_NE(row.writeText, nullptr);
    auto source = sampleValue(code);
    auto target = emptyValue(code);
    ASSERT_TRUE(row.readText(textForm(*source), *target));
    EXPECT_TRUE(equals(*target, *source));

    if (const char* refused = samples_.at(code).refusedText) {
      auto untouched = emptyValue(code);
      EXPECT_FALSE(row.readText(refused, *untouched));
      EXPECT_TRUE(untouched->isEmpty());
    }
  }
}

// The count a loop raises before it watches the payload: releases look for watches only
// on payloads whose count is raised.
int32_t& loopCount(Object& object) {
  switch (object.base()) {
    case 'l': case 'y': return object.asList().iterationCount;
    case 'h': case 'm': return object.asHash().iterationCount;
    case 'a': case 'z': return arrayOf(object).iterationCount;
    case 'g': return static_cast<GraphRecord*>(object.value)->iterationCount;
    default: return object.asStr().iterationCount;
  }
}

// The bytes of a string, as binary input.
// The bytes of one item; the reading program knows one user type, the sample's.
struct Bytes final : BinarySource {
  Bytes(std::string text, TypeRecord* known) : text(std::move(text)), known(known) {}
  bool next(char& c) override {
    if (at == text.size()) return false;
    c = text[at++];
    return true;
  }
  TypeRecord* typeNamed(const std::string& name) override { return name == known->name ? known : nullptr; }
  std::string text;
  TypeRecord* known;
  size_t at = 0;
};

// Every type with a binary form reads back its empty and its sample value, and refuses each
// shortened form of the sample's item as input that ends inside a value.
TEST_F(TypeTableTest, WhatATypeWritesInBinaryItReadsBack) {
  for (TypeCode code : registeredCodes()) {
    const TypeOps& row = typeOps(code);
    EXPECT_EQ(row.writeBinary == nullptr, row.readBinary == nullptr);
    if (row.writeBinary == nullptr) continue;
    SCOPED_TRACE(std::string("type code ") + code);
    for (bool filled : {false, true}) {
      auto source = filled ? sampleValue(code) : emptyValue(code);
      std::string item;
      ASSERT_EQ(writeBinary(*source, item).text(), "");
      auto target = emptyValue(code);
      Bytes bytes(item, &point_);
      Outcome<bool, Failure> read = readBinary(bytes, *target);
      ASSERT_EQ(read.failure.text(), "") << item;
      EXPECT_TRUE(read.value);
      EXPECT_TRUE(equals(*target, *source)) << item;
      EXPECT_EQ(bytes.at, item.size());
      for (size_t cut = 1; cut < item.size(); ++cut) {
        Bytes shorter(item.substr(0, cut), &point_);
        auto untouched = emptyValue(code);
        EXPECT_EQ(readBinary(shorter, *untouched).failure.text(), "Binary input ends inside a value") << cut;
        EXPECT_TRUE(untouched->isEmpty());
      }
    }
  }
}

TEST_F(TypeTableTest, ReleasingAWatchedPayloadStopsItsLoop) {
  for (TypeCode code : registeredCodes()) {
    if (typeOps(code).loopsRunning == nullptr) continue;
    SCOPED_TRACE(std::string("type code ") + code);
    auto object = sampleValue(code);
    EXPECT_FALSE(isBeingIterated(*object));
    ++loopCount(*object);
    IterationWatch emptied(object->value);
    EXPECT_TRUE(isBeingIterated(*object));
    object->makeEmpty();
    EXPECT_FALSE(emptied.alive());
    ++loopCount(*object);
    IterationWatch destroyed(object->value);
    object.reset();
    EXPECT_FALSE(destroyed.alive());
  }
}

TEST_F(TypeTableTest, CompoundValuesAreWrittenThroughTheirParts) {
  auto list = sampleValue('l');
  auto hash = sampleValue('h');
  auto pair = sampleValue('u');
  auto user = sampleValue('k');
  EXPECT_EQ(textForm(*list), "(1,a)");
  EXPECT_EQ(textForm(*hash), "[key->1]");
  EXPECT_EQ(textForm(*pair), "1->b");
  EXPECT_EQ(textForm(*sampleValue('a')), "[1->5]");
  EXPECT_EQ(textForm(*sampleValue('z')), "[(1,1)->c]");
  EXPECT_EQ(textForm(*user), "<7>");
  EXPECT_EQ(textForm(*sampleValue('g')), "(1,a){0->1:5}");
  // A list that holds a reference to itself is written once, the cycle as "..".
  Object self('l');
  ASSERT_EQ(transfer(self, *list, Transfer::Reference).text(), "");
  ASSERT_EQ(list->asList().append(self, Transfer::SameOrCopy).text(), "");
  EXPECT_EQ(textForm(*list), "(1,a,..)");
  std::string out;
  EXPECT_EQ(writeText(*sampleValue('x'), out).text(), "Output of type 'code' not allowed");
}

}  // namespace
}  // namespace kavor
