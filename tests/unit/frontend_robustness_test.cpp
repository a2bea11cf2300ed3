// The front end on hostile input: deep nesting, long chains, garbage and truncated
// programs end with a tree or a syntax error, never with a crash.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/error.h"
#include "frontend/tree_builder.h"
#include "frontend/tree_render.h"

namespace kavor {
namespace {

std::vector<std::string> splitLines(const std::string& program) {
  std::vector<std::string> lines(1);
  for (char c : program) {
    if (c == '\n') lines.emplace_back();
    else lines.back() += c;
  }
  return lines;
}

// "tree" or "error"; a tree is also rendered, so the printer meets the same depth.
std::string outcome(const std::string& program) {
  try {
    auto tree = buildTree("t.kv", splitLines(program), true);
    if (tree) renderTree(tree.get());
    return "tree";
  } catch (const ERROR& error) {
    EXPECT_EQ(error.kind, ErrorKind::Syntax) << error.message;
    return "error";
  }
}

std::string repeat(const std::string& text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

TEST(FrontendRobustness, DeepNestingNeedsNoNativeStack) {
  const int depth = 100000;
  EXPECT_EQ(outcome("x = " + repeat("(", depth) + "1" + repeat(")", depth)), "tree");
  EXPECT_EQ(outcome("x = " + repeat("{", depth) + "a" + repeat("}", depth)), "tree");
  EXPECT_EQ(outcome("x = " + repeat("f(", depth) + "a" + repeat(")", depth)), "tree");
  EXPECT_EQ(outcome("x = " + repeat("(", depth)), "error");
  EXPECT_EQ(outcome(repeat("{", depth)), "error");
  EXPECT_EQ(outcome("x = 1" + repeat(" + 1", depth)), "tree");
  EXPECT_EQ(outcome("x = " + repeat("a = ", depth) + "b"), "tree");
  EXPECT_EQ(outcome("x = " + repeat("!", depth) + "b"), "tree");
  EXPECT_EQ(outcome("x = " + repeat("a::", depth) + "b"), "tree");
  EXPECT_EQ(outcome("f" + repeat("(1)", depth)), "tree");
  EXPECT_EQ(outcome(repeat("if(a)", depth) + "b"), "tree");
  EXPECT_EQ(outcome(repeat("#(", depth) + repeat(")#", depth)), "tree");
  EXPECT_EQ(outcome("x = " + repeat("[", depth)), "error");
}

TEST(FrontendRobustness, GarbageAndTruncationsNeverCrash) {
  const std::string valid =
      "#( a program )#\n"
      "bigtype T (A) {\n    int x\n    proc show() { outl(x) }\n}\n"
      "func f (int a; str s) (int r) {\n    r = a * 2 # double\n}\n"
      "int n = 5, m\nlist l.(1, 2, 3)\n"
      "if(n > 1){ outl(\"big\\n\") }\n    { outl('s') }\n"
      "for(i, 1 .. n, { m += f(i, \"x\") })\n"
      "switch(n, {\n    case(1, {a})\n    case({b})\n})\n"
      "l.for(x, {2 * x}); x = -n ^ 2 .. !b; m::v = a[1] \\\n  + 2\n"
      "while({n > 0}, {n -= 1; if(n == 2)break(1)})\n";
  for (size_t length = 0; length <= valid.size(); ++length) outcome(valid.substr(0, length));

  std::mt19937 random(20240517);
  const std::string alphabet = "ab1_ \t\n\"'\\#()[]{}!$%&*+,-./:;<=>?@^|~`e0\x01\xff";
  for (int round = 0; round < 3000; ++round) {
    std::string program;
    if (round % 2 == 0) {
      std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
      for (int i = 0; i < 40; ++i) program += alphabet[pick(random)];
    } else {
      // A valid program with a few characters replaced keeps most of its structure.
      program = valid;
      std::uniform_int_distribution<size_t> where(0, program.size() - 1);
      std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
      for (int i = 0; i < 3; ++i) program[where(random)] = alphabet[pick(random)];
    }
    outcome(program);
  }
}

}  // namespace
}  // namespace kavor
